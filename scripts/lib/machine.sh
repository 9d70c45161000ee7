# What this machine can do, asked of the machine itself: whether its kernel runs 32-bit (i386)
# programs, without which Wine's 32-bit side, and so every x86 Windows program, cannot run.
quorvex_no_32bit_reason="this kernel cannot run 32-bit programs"

# A 93-byte i386 Linux program that only exits with status 42: Linux's exit system call through
# int 0x80, in one loadable segment, so that it needs no library and no 32-bit loader.
quorvex_write_elf32_probe() {  # path
    printf '\177ELF\001\001\001\000\000\000\000\000\000\000\000\000' >"$1"
    printf '\002\000\003\000\001\000\000\000\124\200\004\010\064\000\000\000\000\000\000\000\000\000\000\000' >>"$1"
    printf '\064\000\040\000\001\000\000\000\000\000\000\000' >>"$1"
    printf '\001\000\000\000\000\000\000\000\000\200\004\010\000\200\004\010\135\000\000\000\135\000\000\000' >>"$1"
    printf '\005\000\000\000\000\020\000\000' >>"$1"
    printf '\061\333\263\052\061\300\100\315\200' >>"$1"
    chmod +x "$1"
}

# Succeeds when this kernel runs 32-bit programs; asked once per shell (QUORVEX_RUNS_32BIT
# carries the answer to child scripts, and a caller may set it to 0 or 1 to try the other road).
quorvex_runs_32bit() {
    if [ -z "${QUORVEX_RUNS_32BIT:-}" ]; then
        local probe rc=0
        probe=$(mktemp "${TMPDIR:-/tmp}/quorvex-elf32.XXXXXX") || return 1
        quorvex_write_elf32_probe "$probe"
        "$probe" 2>/dev/null || rc=$?
        rm -f "$probe"
        QUORVEX_RUNS_32BIT=0
        [ "$rc" -eq 42 ] && QUORVEX_RUNS_32BIT=1
        export QUORVEX_RUNS_32BIT
    fi
    [ "$QUORVEX_RUNS_32BIT" = 1 ]
}

# Succeeds when Wine here runs x86 Windows programs: the kernel runs 32-bit programs and Wine's
# 32-bit loader (wine32:i386) is installed.
quorvex_wine_runs_32bit() {
    quorvex_runs_32bit && [ -x /usr/lib/wine/wine ]
}
