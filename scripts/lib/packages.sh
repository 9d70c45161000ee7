# Installs the Debian packages the project needs, quietly and only when some are missing;
# arguments name packages wanted besides the common ones (a script's own tools). The x86 programs
# need the i686 MinGW-w64 and Wine's 32-bit support (wine32:i386, architecture i386), the
# installers wixl and msitools, signing osslsigncode. A package that cannot be installed fails
# the call with its name.
quorvex_packages=(
    cmake ninja-build g++ clang libclang-rt-14-dev googletest libgtest-dev libgmock-dev libbenchmark-dev
    g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 g++-mingw-w64-i686-posix binutils-mingw-w64-i686
    wine64 wine32:i386 xvfb xauth imagemagick xdotool zip python3 fonts-liberation fonts-wine
    tshark wixl msitools osslsigncode openssl
)
quorvex_package_missing() {
    dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed' && return 1
    return 0
}
quorvex_install_packages() {
    local missing=() p
    for p in "${quorvex_packages[@]}" "$@"; do
        quorvex_package_missing "$p" && missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo=sudo
    if [[ " ${missing[*]} " == *:i386* ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
        $sudo dpkg --add-architecture i386 || { echo "could not add the i386 architecture (dpkg)" >&2; return 1; }
    fi
    $sudo apt-get update -qq >/dev/null 2>&1
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null 2>&1 \
        || DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}" >/dev/null
    local failed=()
    for p in "${missing[@]}"; do
        quorvex_package_missing "$p" && failed+=("$p")
    done
    [ ${#failed[@]} -eq 0 ] && return 0
    echo "could not install: ${failed[*]}" >&2
    [[ " ${failed[*]} " == *" wine32:i386 "* ]] &&
        echo "without wine32:i386 this Wine cannot run the x86 (32-bit) programs, and their tests cannot run" >&2
    return 1
}
