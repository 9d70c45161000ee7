# Starts a private Xvfb server on a free display and stops it again.
quorvex_xvfb_start() {
    local n=${1:-90}
    while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
    Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp </dev/null >/dev/null 2>&1 &
    quorvex_xvfb_pid=$!
    export DISPLAY=":$n"
    for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && return 0; sleep 0.1; done
    echo "Xvfb did not start on :$n" >&2
    return 1
}
quorvex_xvfb_stop() {
    [ -n "${quorvex_xvfb_pid:-}" ] && kill "$quorvex_xvfb_pid" 2>/dev/null && wait "$quorvex_xvfb_pid" 2>/dev/null
    quorvex_xvfb_pid=""
}
