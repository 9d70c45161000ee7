# What the scripts that run programs under Wine share: stopping with a line that says in which
# step and at which command, and the session of a private Xvfb with the project's Wine prefix.
# Source after wine-env.sh, wine-prefix.sh and xvfb.sh.
quorvex_current_step="start"

# Names the step under way, for the line a stop prints.
quorvex_step() {
    quorvex_current_step=$*
}

# Ends the script at the first command that fails outside a test (errexit, also inside
# functions), saying on standard error which step, which command and its status.
quorvex_stop_on_errors() {  # the script's name
    quorvex_script=$1
    set -eE
    trap 'quorvex_report_stop $? "$BASH_COMMAND" "$LINENO"' ERR
}
quorvex_report_stop() {  # status, command, line
    printf '%s: stopped in step "%s": `%s` failed with status %s (line %s)\n' \
        "${quorvex_script:-script}" "$quorvex_current_step" "$2" "$1" "$3" >&2
}

# A private Xvfb on a free display from FIRST on (SCREEN as Xvfb takes it), the prefix made or
# readied, its wineserver and desktop keeper started.
quorvex_session_start() {  # first display, [screen]
    quorvex_step "Xvfb"
    quorvex_xvfb_start "$@" || return 1
    quorvex_step "the Wine prefix $WINEPREFIX"
    quorvex_wine_prefix || return 1
}

# Ends the prefix's Wine processes and the Xvfb; nothing running is no failure.
quorvex_session_stop() {
    wineserver -k 2>/dev/null || true
    quorvex_xvfb_stop
}
