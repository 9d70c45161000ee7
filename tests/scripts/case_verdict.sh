# What the scripts' checks share: each case's expected texts and its verdict line.
failures=0

# Adds to `problem` each expected text that the output lacks.
quorvex_expect_texts() {  # output, expected texts...
    local out=$1 e
    shift
    for e; do
        [ -z "$e" ] || grep -qF -- "$e" <<<"$out" || problem="$problem; no \"$e\" in the output"
    done
}

# Prints the case's verdict (with the output when it failed) and counts the failures.
quorvex_case_verdict() {  # name, output
    if [ -n "$problem" ]; then
        printf 'FAILED %s: %s\n%s\n' "$1" "${problem#; }" "$2"
        failures=$((failures + 1))
    else
        printf 'passed %s\n' "$1"
    fi
}
