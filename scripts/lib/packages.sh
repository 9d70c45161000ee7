# Installs the Debian packages the project needs, quietly and only when some are missing;
# arguments name packages wanted besides the common ones (a script's own tools).
quorvex_packages=(
    cmake ninja-build g++ clang libclang-rt-14-dev googletest libgtest-dev libgmock-dev libbenchmark-dev
    g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 wine64 xvfb xauth imagemagick xdotool zip python3 fonts-liberation fonts-wine
    tshark
)
quorvex_install_packages() {
    local missing=()
    for p in "${quorvex_packages[@]}" "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo=sudo
    $sudo apt-get update -qq >/dev/null 2>&1
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null 2>&1 \
        || DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}" >/dev/null
}
