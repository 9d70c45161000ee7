# Installs the Debian packages the project needs, only when some are missing; arguments name
# packages wanted besides the common ones (a script's own tools). The x86 programs need the i686
# MinGW-w64, and to run them Wine's 32-bit support (wine32:i386), which is wanted only where
# this kernel runs 32-bit programs; the installers need wixl and msitools, signing osslsigncode,
# the picture generator zlib.
# A package that cannot be installed fails the call with its name and apt's own error lines.
source "$(dirname "${BASH_SOURCE[0]}")/machine.sh"
quorvex_packages=(
    cmake ninja-build g++ clang libclang-rt-14-dev googletest libgtest-dev libgmock-dev libbenchmark-dev zlib1g-dev
    g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 g++-mingw-w64-i686-posix binutils-mingw-w64-i686
    wine64 xvfb xauth imagemagick xdotool zip python3 fonts-liberation fonts-wine
    tshark wixl msitools osslsigncode openssl
)
quorvex_package_missing() {
    dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed' && return 1
    return 0
}

# apt's error and warning lines of a log, for the reader.
quorvex_apt_errors() {  # log
    grep -E '^(E|W|Err):|broken packages|Depends:|unexpected size' "$1" | head -n 20 | sed 's/^/  apt: /' >&2
}

quorvex_install_packages() {
    local wanted=("${quorvex_packages[@]}" "$@") missing=() p
    quorvex_runs_32bit && wanted+=(wine32:i386)
    for p in "${wanted[@]}"; do
        quorvex_package_missing "$p" && missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "installing: ${missing[*]}"
    local sudo="" log
    [ "$(id -u)" -ne 0 ] && sudo=sudo
    log=$(mktemp "${TMPDIR:-/tmp}/quorvex-apt.XXXXXX")
    if [[ " ${missing[*]} " == *:i386* ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
        $sudo dpkg --add-architecture i386 || { echo "could not add the i386 architecture (dpkg)" >&2; return 1; }
    fi
    # One index that fails (a mirror mid-sync) leaves the others usable: say so and go on.
    if ! $sudo apt-get update -q >"$log" 2>&1; then
        echo "apt-get update failed for some package index; installing from what it has:" >&2
        quorvex_apt_errors "$log"
    fi
    local install=(env DEBIAN_FRONTEND=noninteractive apt-get install -y -q) codename
    if ! $sudo "${install[@]}" --no-install-recommends "${missing[@]}" >"$log" 2>&1; then
        # Without an index that is mid-sync, a library's twins of two architectures can come
        # from different suites; the release's own suite holds both.
        codename=$(. /etc/os-release 2>/dev/null && echo "${VERSION_CODENAME:-}")
        if [ -n "$codename" ]; then
            echo "apt-get install failed; trying once more from the release's suite ($codename):" >&2
            quorvex_apt_errors "$log"
            $sudo "${install[@]}" --no-install-recommends -t "$codename" "${missing[@]}" >"$log" 2>&1
        fi
    fi
    local failed=()
    for p in "${missing[@]}"; do
        quorvex_package_missing "$p" && failed+=("$p")
    done
    if [ ${#failed[@]} -eq 0 ]; then
        rm -f "$log"
        return 0
    fi
    echo "could not install: ${failed[*]}" >&2
    quorvex_apt_errors "$log"
    rm -f "$log"
    [[ " ${failed[*]} " == *" wine32:i386 "* ]] &&
        echo "without wine32:i386 this Wine cannot run the x86 (32-bit) programs, and their tests cannot run" >&2
    return 1
}
