#!/usr/bin/env bash
# quorvex_install_packages against a fake apt and dpkg: nothing to do, an index mid-sync (the
# update fails, the plain install cannot resolve, the release's suite can), a package that does
# not exist, and Wine's 32-bit side wanted only where 32-bit programs run.
set -u
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
source "$root/tests/scripts/case_verdict.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/bin"

# Fakes: dpkg-query answers from $work/installed, apt-get logs its calls and acts by $FAKE_APT.
cat >"$work/bin/dpkg-query" <<'FAKE'
#!/bin/sh
for last; do :; done
grep -qx "$last" "$FAKE_STATE/installed" && printf 'install ok installed'
exit 0
FAKE
cat >"$work/bin/dpkg" <<'FAKE'
#!/bin/sh
echo "dpkg $*" >>"$FAKE_STATE/calls"
[ "$1" = --print-foreign-architectures ] && cat "$FAKE_STATE/arches" 2>/dev/null
[ "$1" = --add-architecture ] && echo "$2" >>"$FAKE_STATE/arches"
exit 0
FAKE
cat >"$work/bin/apt-get" <<'FAKE'
#!/bin/sh
echo "apt-get $*" >>"$FAKE_STATE/calls"
case "$1" in update)
    [ "$FAKE_APT" = mid-sync ] || exit 0
    echo "E: Failed to fetch http://mirror/i386/Packages.xz  File has unexpected size (374820 != 376004). Mirror sync in progress?"
    exit 100 ;;
esac
release=""
for a; do [ "$a" = -t ] && release=1; done
case "$FAKE_APT" in
    mid-sync) [ -n "$release" ] || { echo "E: Unable to correct problems, you have held broken packages."; exit 100; } ;;
    missing) echo "E: Unable to locate package no-such-package"; exit 100 ;;
esac
for a; do case "$a" in -*|install|bookworm|[a-z]*=*) ;; *) echo "$a" >>"$FAKE_STATE/installed" ;; esac; done
exit 0
FAKE
chmod +x "$work/bin"/*

# name | fake apt | kernel runs 32-bit | extra package | expected status | expected in output (|-separated)
cases=(
    "nothing missing|ok|0||0|"
    "index mid-sync|mid-sync|0|tshark|0|apt-get update failed|unexpected size|trying once more from the release's suite|held broken packages"
    "no such package|missing|0|no-such-package|1|could not install: no-such-package|apt: E: Unable to locate package"
    "32-bit Wine where it runs|ok|1||0|installing: wine32:i386"
)
source "$root/scripts/lib/packages.sh"  # for the package list
for row in "${cases[@]}"; do
    IFS='|' read -r name mode runs32 extra want_status _ <<<"$row"
    IFS='|' read -r -a expects <<<"$(cut -d'|' -f6- <<<"$row")"
    state="$work/$name"
    mkdir -p "$state"
    printf '%s\n' "${quorvex_packages[@]}" >"$state/installed"
    : >"$state/calls"
    [ "$mode" = mid-sync ] && sed -i '/^tshark$/d' "$state/installed"
    out=$(PATH="$work/bin:$PATH" FAKE_STATE=$state FAKE_APT=$mode QUORVEX_RUNS_32BIT=$runs32 timeout 30 bash -c \
        'source "$1/scripts/lib/packages.sh"; quorvex_install_packages $2' - "$root" "$extra" 2>&1)
    status=$?
    problem=""
    [ "$status" -eq "$want_status" ] || problem="status $status, not $want_status"
    quorvex_expect_texts "$out" "${expects[@]}"
    [ "$name" = "nothing missing" ] && [ -s "$state/calls" ] && problem="$problem; called $(head -n 1 "$state/calls")"
    [ "$runs32" = 0 ] && grep -q 'wine32' "$state/calls" && problem="$problem; asked for wine32:i386 where 32-bit programs cannot run"
    if [ "$runs32" = 1 ]; then
        grep -qx 'dpkg --add-architecture i386' "$state/calls" || problem="$problem; the i386 architecture was not added"
    fi
    quorvex_case_verdict "$name" "$out"
done
[ $failures -eq 0 ]
