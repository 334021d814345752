# shellcheck shell=bash
# Sourced by scripts/run, scripts/test, scripts/fuzz, scripts/package and
# .ci/run: finds out what this machine can execute, then installs, on a
# Debian 12 machine, whatever of the project's tools is missing and of use
# here. Nothing is installed twice.

ikw_lib=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$ikw_lib/steps.sh"

# What every machine needs: the host and both cross builds, 64-bit Wine, the
# virtual display, CUPS, and the help and package tools.
IKW_PACKAGES=(
    cmake ninja-build g++ libgtest-dev python3 clang libclang-rt-14-dev
    g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix binutils-mingw-w64-i686 binutils-mingw-w64-x86-64
    wine wine64
    xvfb x11-utils evilwm imagemagick fonts-ipafont-gothic time
    cups-daemon cups-client
    fp-utils libchm-bin wixl msitools osslsigncode openssl zip
)
# Wine runs the shipped 32-bit IKWDev.exe only with its 32-bit half
# (wine32:i386), which sees printers only through the 32-bit CUPS library.
IKW_WINE32_PACKAGES=(wine32:i386 libcups2:i386)
# The 32-bit fuzz build: the i386 C and C++ development files.
IKW_FUZZ32_PACKAGES=(libc6-dev-i386 lib32stdc++-12-dev linux-libc-dev:i386)

# ikw_probe_32bit: sets and exports IKW_32BIT (native, emulated or none) and
# IKW_32BIT_REASON, as scripts/lib/probe-32bit answers, for everything this
# run starts.
ikw_probe_32bit() {
    local answer
    answer=$("$ikw_lib/probe-32bit") || return
    IKW_32BIT=$(sed -n 1p <<<"$answer")
    IKW_32BIT_REASON=$(sed -n 2p <<<"$answer")
    export IKW_32BIT IKW_32BIT_REASON
}

# ikw_report_32bit: one line on what this machine does with 32-bit programs.
ikw_report_32bit() {
    case "$IKW_32BIT" in
        native) echo "== this machine runs 32-bit programs: the shipped 32-bit IKWDev.exe is tested in full" ;;
        *) echo "== this machine cannot run 32-bit programs natively ($IKW_32BIT_REASON):" \
                "the 32-bit Windows tests, fuzzing and a smoke set of the 32-bit program run under emulation where it is available (scripts/test --all-32bit runs every 32-bit test); what cannot run is skipped" ;;
    esac
}

# Fills IKW_PACKAGES with what this machine can use. A machine that cannot
# run 32-bit programs gets 32-bit Wine and the 32-bit fuzz build only where
# they can run under emulation, with qemu-user when no handler of its own
# runs i386 programs (scripts/lib/i386-emulation).
ikw_choose_packages() {
    ikw_probe_32bit || return
    case "$IKW_32BIT" in
        native) IKW_PACKAGES+=("${IKW_WINE32_PACKAGES[@]}" "${IKW_FUZZ32_PACKAGES[@]}") ;;
        emulated) IKW_PACKAGES+=("${IKW_WINE32_PACKAGES[@]}" "${IKW_FUZZ32_PACKAGES[@]}") ;;
        none)
            IKW_PACKAGES+=(qemu-user)
            if "$ikw_lib/i386-emulation" can-register 2>/dev/null; then
                IKW_PACKAGES+=("${IKW_WINE32_PACKAGES[@]}" "${IKW_FUZZ32_PACKAGES[@]}")
            fi
            ;;
    esac
}

ikw_as_root() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

# Makes dpkg take i386 packages when one is wanted. apt-get update must
# follow, or apt knows no package of a newly added architecture.
ikw_add_foreign_architectures() {
    if printf '%s\n' "${IKW_PACKAGES[@]}" | grep -q ':i386$' &&
        ! dpkg --print-foreign-architectures | grep -qx i386; then
        ikw_as_root dpkg --add-architecture i386
    fi
}

# Installs what is missing of what this machine can use.
ikw_install_dependencies() {
    ikw_choose_packages || return
    ikw_report_32bit
    local missing=()
    for package in "${IKW_PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
    done
    [ ${#missing[@]} -gt 0 ] || return 0
    ikw_add_foreign_architectures
    ikw_as_root apt-get update -q
    echo "== installing: ${missing[*]}"
    ikw_as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
}
