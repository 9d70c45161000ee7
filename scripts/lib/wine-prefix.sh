# Creates the project's Wine prefix once (wineboot, no window manager delays) and pre-starts wineserver.
# Source after wine-env.sh; safe to run again.
quorvex_wine_prefix() {
    if [ ! -f "$WINEPREFIX/.quorvex-ready" ]; then
        mkdir -p "$WINEPREFIX"
        wineboot -i </dev/null >/dev/null 2>&1
        wine64 reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1
        wineserver -w
        touch "$WINEPREFIX/.quorvex-ready"
    fi
    # Background Wine processes must not inherit a caller's pipes (ctest would wait for them for ever).
    (wineserver -p; wine64 cmd /c exit) </dev/null >/dev/null 2>&1
}
