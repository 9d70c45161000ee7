# Makes the project's Wine prefix once and readies it for use; source after wine-env.sh.
source "$quorvex_root/scripts/lib/machine.sh"
# A new prefix gets no window-manager delays, the faces of fonts-wine that dialogs ("MS Sans
# Serif") and caption buttons (Marlett) ask for, and a warm-up run of a small GUI program, so
# that the first test meets the same prefix as the later ones.
quorvex_wine_fonts=(tahoma.ttf tahomabd.ttf marlett.ttf sserife.fon)
quorvex_warmup_exe="$quorvex_root/build/prefix_warmup.exe"

# Builds the warm-up program when it is missing or older than its source.
quorvex_build_warmup() {
    local src="$quorvex_root/scripts/lib/prefix_warmup_win.cpp"
    [ -x "$quorvex_warmup_exe" ] && [ "$quorvex_warmup_exe" -nt "$src" ] && return 0
    mkdir -p "$(dirname "$quorvex_warmup_exe")"
    x86_64-w64-mingw32-g++-posix -std=c++17 -O1 -static -s -o "$quorvex_warmup_exe" "$src" -lgdi32
}

quorvex_now() { date +%s.%N; }
quorvex_seconds_since() { awk -v a="$1" -v b="$(quorvex_now)" 'BEGIN { printf "%.1f", b - a }'; }

# Creates $WINEPREFIX when it is not ready, says how long that and its warm-up took, then
# pre-starts its wineserver and the desktop keeper. Needs DISPLAY. Where Wine runs x86 programs,
# a prefix made before its 32-bit side was installed has no 32-bit system files and is made
# again; where it cannot (see machine.sh), no prefix ever has them and none is remade for it.
quorvex_wine_prefix() {
    quorvex_build_warmup || return 1
    local need32=""
    quorvex_wine_runs_32bit && need32=1
    if [ ! -f "$WINEPREFIX/.quorvex-ready" ] ||
            { [ -n "$need32" ] && [ ! -f "$WINEPREFIX/drive_c/windows/syswow64/kernel32.dll" ]; }; then
        local start warm
        start=$(quorvex_now)
        # wineboot only updates an existing prefix: one without the 32-bit files is made anew,
        # but only one of the project's own.
        if [ -d "$WINEPREFIX/drive_c" ]; then
            case "$WINEPREFIX" in
                "$quorvex_root"/build/*) wineserver -k 2>/dev/null || true; rm -rf "$WINEPREFIX" ;;
                *) echo "$WINEPREFIX is not ready (no 32-bit Windows files): remove it or use another WINEPREFIX" >&2
                   return 1 ;;
            esac
        fi
        mkdir -p "$WINEPREFIX"
        # Debian's wine64 has no wineboot command of its own; under the loader it is a program.
        if ! wine64 wineboot -i </dev/null >"$WINEPREFIX/wineboot.log" 2>&1; then
            echo "wine64 wineboot -i failed for $WINEPREFIX; see $WINEPREFIX/wineboot.log" >&2
            return 1
        fi
        wine64 reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1
        local fonts="$WINEPREFIX/drive_c/windows/Fonts"
        mkdir -p "$fonts"
        for f in "${quorvex_wine_fonts[@]}"; do
            cp "/usr/share/wine/fonts/$f" "$fonts/" || { echo "missing /usr/share/wine/fonts/$f (fonts-wine)" >&2; return 1; }
        done
        warm=$(quorvex_now)
        # Files, not the caller's pipes: Wine's background processes outlive this step.
        if ! timeout 120 wine64 "$quorvex_warmup_exe" </dev/null >"$WINEPREFIX/warmup.log" 2>&1; then
            echo "the prefix warm-up failed; see $WINEPREFIX/warmup.log" >&2
            return 1
        fi
        local warmed
        warmed=$(quorvex_seconds_since "$warm")
        wineserver -w
        touch "$WINEPREFIX/.quorvex-ready"
        echo "Wine prefix made in $(quorvex_seconds_since "$start") s (warm-up $warmed s): $WINEPREFIX"
        sed 's/^/  /' "$WINEPREFIX/warmup.log"
    fi
    quorvex_wine_start
}

# Pre-starts wineserver and keeps the desktop open, and returns once it is held (a program that
# starts while the desktop is being made meets a half-made one); background Wine processes must
# not inherit a caller's pipes (ctest would wait for them for ever).
quorvex_wine_start() {
    (wineserver -p; wine64 cmd /c exit) </dev/null >/dev/null 2>&1
    local log="$WINEPREFIX/keeper.log"
    rm -f "$log"
    (wine64 "$quorvex_warmup_exe" --hold </dev/null >"$log" 2>&1 &)
    for _ in $(seq 300); do
        grep -q 'holding the desktop' "$log" 2>/dev/null && return 0
        sleep 0.1
    done
    echo "the desktop keeper did not start; see $log" >&2
    return 1
}

# Copies a ready prefix (from, to) when the copy is missing or older; the large folders of
# Windows' own files, which nothing writes, become hard links.
quorvex_wine_prefix_copy() {
    local from=$1 to=$2 big="drive_c/windows/system32 drive_c/windows/syswow64 drive_c/windows/winsxs"
    [ -f "$to/.quorvex-ready" ] && [ "$to/.quorvex-ready" -nt "$from/.quorvex-ready" ] && return 0
    rm -rf "$to"
    mkdir -p "$to"
    local excludes=()
    for d in $big; do excludes+=(--exclude="./$d"); done
    (cd "$from" && tar cf - "${excludes[@]}" .) | (cd "$to" && tar xf -) || return 1
    for d in $big; do
        [ -d "$from/$d" ] && { cp -al "$from/$d" "$to/$d" || return 1; }
    done
    touch "$to/.quorvex-ready"
}
