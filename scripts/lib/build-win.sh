# Configures and builds the Windows builds, each configured one way whichever script comes first:
# release at -O2 without debug information, so that the build tested is the build packaged and
# benchmarked. build/win is x64, build/win32 x86.
quorvex_windows_flags=(-DCMAKE_BUILD_TYPE=Release "-DCMAKE_CXX_FLAGS_RELEASE=-O2 -DNDEBUG"
                       "-DCMAKE_C_FLAGS_RELEASE=-O2 -DNDEBUG")

# Configures DIR for ARCH (x64 or x86) when it has no build or one of another build type, then
# builds the targets (or "all").
quorvex_build_windows_in() {  # dir, arch, targets...
    local root dir=$1 toolchain
    root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
    case "$2" in
        x64) toolchain=$root/cmake/mingw-w64.cmake ;;
        x86) toolchain=$root/cmake/mingw-w64-i686.cmake ;;
        *) echo "quorvex_build_windows_in: no architecture $2" >&2; return 2 ;;
    esac
    shift 2
    case "$dir" in /*) ;; *) dir=$root/$dir ;; esac
    if [ ! -f "$dir/build.ninja" ] || ! grep -qx 'CMAKE_BUILD_TYPE:STRING=Release' "$dir/CMakeCache.txt" 2>/dev/null; then
        mkdir -p "$dir"
        cmake -S "$root" -B "$dir" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" "${quorvex_windows_flags[@]}" \
            >"$dir.configure.log" 2>&1 || { tail -n 40 "$dir.configure.log" >&2; return 1; }
    fi
    cmake --build "$dir" -j "${QUORVEX_JOBS:-2}" --target "$@" >"$dir.build.log" 2>&1 ||
        { grep -E 'error|Error' "$dir.build.log" | head -40 >&2; echo "the build failed; see $dir.build.log" >&2; return 1; }
}

# The x64 build in build/win; targets as arguments.
quorvex_build_windows() {
    quorvex_build_windows_in build/win x64 "$@"
}
