# Sourced by scripts/run and scripts/test: installs, on a Debian 12 machine,
# whatever of the project's tools is missing. Nothing is installed twice.

IKW_PACKAGES=(
    cmake ninja-build g++ libgtest-dev python3 clang libclang-rt-14-dev
    g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix binutils-mingw-w64-i686 binutils-mingw-w64-x86-64
    wine wine64
    xvfb x11-utils imagemagick fonts-ipafont-gothic time
    cups-daemon cups-client
    fp-utils libchm-bin wixl zip
)

ikw_install_dependencies() {
    local missing=()
    for package in "${IKW_PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "== installing: ${missing[*]}"
    local sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    "${sudo[@]}" apt-get update -q
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
}
