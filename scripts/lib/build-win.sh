# Configures (once) and builds the Windows build in build/win; targets as arguments.
quorvex_build_windows() {
    local root
    root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
    if [ ! -f "$root/build/win/build.ninja" ]; then
        cmake -S "$root" -B "$root/build/win" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" \
            >"$root/build/win.configure.log" 2>&1 || { cat "$root/build/win.configure.log"; return 1; }
    fi
    cmake --build "$root/build/win" -j "${QUORVEX_JOBS:-2}" --target "$@" >"$root/build/win.build.log" 2>&1 \
        || { grep -E 'error' "$root/build/win.build.log" | head -30; return 1; }
}
