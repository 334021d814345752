# Sourced by scripts/run, scripts/test and .ci/run: installs, on a Debian 12
# machine, whatever of the project's tools is missing. Nothing is installed
# twice.

# The shipped IKWDev.exe is 32-bit. Wine runs it only with its 32-bit half
# (wine32:i386), which sees printers only through the 32-bit CUPS library; the
# 32-bit fuzz build needs the i386 C and C++ development files.
IKW_FOREIGN_ARCHITECTURES=(i386)
IKW_PACKAGES=(
    cmake ninja-build g++ libgtest-dev python3 clang libclang-rt-14-dev
    libc6-dev-i386 lib32stdc++-12-dev linux-libc-dev:i386
    g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix binutils-mingw-w64-i686 binutils-mingw-w64-x86-64
    wine wine64 wine32:i386 libcups2:i386
    xvfb x11-utils imagemagick fonts-ipafont-gothic time
    cups-daemon cups-client
    fp-utils libchm-bin wixl zip
)

ikw_as_root() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

# Makes dpkg take packages of IKW_FOREIGN_ARCHITECTURES. apt-get update must
# follow, or apt knows no package of a newly added architecture.
ikw_add_foreign_architectures() {
    local known
    known=$(dpkg --print-foreign-architectures)
    for architecture in "${IKW_FOREIGN_ARCHITECTURES[@]}"; do
        grep -qx "$architecture" <<<"$known" || ikw_as_root dpkg --add-architecture "$architecture"
    done
}

ikw_install_dependencies() {
    local missing=()
    for package in "${IKW_PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "== installing: ${missing[*]}"
    ikw_add_foreign_architectures
    ikw_as_root apt-get update -q
    ikw_as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
}
