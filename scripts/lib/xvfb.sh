# Starts private Xvfb servers on free displays (DISPLAY names the last one) and stops them all.
# quorvex_xvfb_start [FIRST_DISPLAY [SCREEN]]; SCREEN as Xvfb takes it, 1600x1200x24 unless given (room for the panel at 200 %).
quorvex_xvfb_pids=()
quorvex_xvfb_start() {
    local n=${1:-90} screen=${2:-1600x1200x24} pid
    for _ in $(seq 20); do
        while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
        Xvfb ":$n" -screen 0 "$screen" -nolisten tcp </dev/null >/dev/null 2>&1 &
        pid=$!
        for _ in $(seq 50); do
            if [ -e "/tmp/.X11-unix/X$n" ] && kill -0 "$pid" 2>/dev/null; then
                quorvex_xvfb_pids+=("$pid")
                export DISPLAY=":$n"
                return 0
            fi
            kill -0 "$pid" 2>/dev/null || break  # another server took this display first
            sleep 0.1
        done
        kill "$pid" 2>/dev/null || true
        n=$((n + 1))
    done
    echo "Xvfb did not start" >&2
    return 1
}
quorvex_xvfb_stop() {
    local pid
    # An Xvfb that is gone already, or ends by the signal, is no failure of the caller's.
    for pid in "${quorvex_xvfb_pids[@]}"; do { kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null; } || true; done
    quorvex_xvfb_pids=()
}
