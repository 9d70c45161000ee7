#!/usr/bin/env bash
# The steps that scripts/bench, soak, demo, screenshots and package share, called the way bench
# calls them under `set -eu`: packages, Xvfb, the prefix, a Wine program and the session's end
# twice (the second time with no wineserver and no Xvfb left) run to the end; a prefix without
# 32-bit files is not made anew where 32-bit programs cannot run; a failing step stops the script
# with a line naming the step and the command. Runs in a copy of the prefix of its ctest slot.
set -u
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
source "$root/tests/scripts/case_verdict.sh"
source "$root/scripts/lib/wine-env.sh"
if [ -n "${CTEST_RESOURCE_GROUP_0_WINE:-}" ]; then
    slot=${CTEST_RESOURCE_GROUP_0_WINE#id:}
    source "$root/build/wine-slots/${slot%%,*}.env"
fi
source "$root/scripts/lib/wine-prefix.sh"
[ -f "$WINEPREFIX/.quorvex-ready" ] || { echo "FAILED: no ready prefix at $WINEPREFIX to copy"; exit 1; }
work=$(mktemp -d)
trap 'WINEPREFIX=$work/prefix wineserver -k 2>/dev/null; rm -rf "$work"' EXIT
quorvex_wine_prefix_copy "$WINEPREFIX" "$work/prefix" || { echo "FAILED: copying $WINEPREFIX"; exit 1; }
# What a prefix has where 32-bit programs cannot run, and a mark that a remade prefix loses.
rm -rf "$work/prefix/drive_c/windows/syswow64"
touch "$work/prefix/kept-mark"

header='set -eu
cd "$1"
source scripts/lib/packages.sh
source scripts/lib/wine-env.sh
source scripts/lib/wine-prefix.sh
source scripts/lib/xvfb.sh
source scripts/lib/session.sh
quorvex_stop_on_errors session-check
'
# name | script body | expected status (0, or "fails") | expected in the output (|-separated)
cases=(
    "the shared steps as bench runs them|quorvex_step packages
quorvex_install_packages
trap quorvex_session_stop EXIT
quorvex_session_start 170
wine64 cmd /c exit
quorvex_session_stop
quorvex_session_stop
echo reached the end|0|reached the end"
    "a failing step says which|quorvex_step \"the failing step\"
ls /no/such/folder
echo reached the end|fails|stopped in step \"the failing step\"|ls /no/such/folder"
)
for row in "${cases[@]}"; do
    IFS='|' read -r -d '' name body want rest <<<"$row"
    IFS='|' read -r -a expects <<<"${rest%$'\n'}"
    out=$(WINEPREFIX="$work/prefix" QUORVEX_RUNS_32BIT=0 timeout 120 bash -c "$header$body" - "$root" 2>&1)
    status=$?
    problem=""
    if [ "$want" = fails ]; then
        [ $status -ne 0 ] && [ $status -ne 124 ] || problem="status $status, not a failure"
        grep -q 'reached the end' <<<"$out" && problem="$problem; went on after the failing step"
    else
        [ $status -eq "$want" ] || problem="status $status, not $want"
    fi
    quorvex_expect_texts "$out" "${expects[@]}"
    [ -f "$work/prefix/kept-mark" ] || problem="$problem; the prefix was made anew"
    quorvex_case_verdict "$name" "$out"
done
[ $failures -eq 0 ]
