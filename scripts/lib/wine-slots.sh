# Test slots for the Windows tests: each slot is an X display and a Wine prefix of its own (so a
# wineserver of its own: pipe names, windows, focus and input of one slot never meet another's).
# ctest hands each Windows test one slot (RESOURCE_GROUPS wine:1, see tests/CMakeLists.txt) and
# scripts/wine-run reads the slot's settings, so that ctest -j runs that many side by side.
# Source after wine-env.sh, wine-prefix.sh and xvfb.sh.
quorvex_slots_dir="$quorvex_root/build/wine-slots"

# Starts `count` slots and writes the resource file for ctest --resource-spec-file.
quorvex_slots_start() {
    local count=$1 base=$WINEPREFIX i prefix start
    start=$(quorvex_now)
    rm -rf "$quorvex_slots_dir"
    mkdir -p "$quorvex_slots_dir"
    local ids=()
    for i in $(seq 0 $((count - 1))); do
        quorvex_xvfb_start $((90 + i * 10)) || return 1
        prefix=$base
        [ "$i" -gt 0 ] && prefix=$base-$i
        printf 'export WINEPREFIX=%q\nexport DISPLAY=%q\nquorvex_slot_xvfb=%q\n' "$prefix" "$DISPLAY" \
            "${quorvex_xvfb_pids[-1]}" >"$quorvex_slots_dir/$i.env"
        if [ "$i" -gt 0 ]; then
            quorvex_wine_prefix_copy "$base" "$prefix" || return 1
        fi
        WINEPREFIX=$prefix quorvex_wine_prefix || return 1
        ids+=("{\"id\": \"$i\", \"slots\": 1}")
        echo "slot $i: DISPLAY=$DISPLAY WINEPREFIX=$prefix"
    done
    echo "$count Wine test slots ready in $(quorvex_seconds_since "$start") s"
    local list
    list=$(IFS=,; echo "${ids[*]}")
    printf '{"version": {"major": 1, "minor": 0}, "local": [{"wine": [%s]}]}\n' "$list" >"$quorvex_slots_dir/resources.json"
}

# Ends the slots' Wine processes and X servers, also when another shell started them.
quorvex_slots_stop() {
    local env
    for env in "$quorvex_slots_dir"/*.env; do
        [ -f "$env" ] && (source "$env" && wineserver -k 2>/dev/null; kill "$quorvex_slot_xvfb" 2>/dev/null)
    done
    quorvex_xvfb_stop
}
