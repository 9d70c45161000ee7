"""Checks the DLLs each shipped program imports: only KnownDLLs of Windows 7 and later, which
the loader takes from the system folder whatever lies beside the program (no MinGW runtime DLLs,
the programs are static; no api-ms-win-* sets; the other system DLLs are loaded at run time
from the system folder); PE headers that ask for exactly the oldest supported Windows (7, version
6.1) and carry the hardening a binary scanner looks for (ASLR with relocations, high entropy on
x64, DEP); and the stack protector linked in (its symbol, in the build tree's unstripped programs).

Usage: imports_check.py OBJDUMP BUILD_TREE EXE...
The EXEs are relative to BUILD_TREE, or to QUORVEX_PROGRAMS_BUILD's tree where that is set.
"""
import os
import re
import subprocess
import sys

# KnownDLLs of Windows 7 and later that the programs may import (comctl32, mpr, msvfw32 and
# version are not among them); names compare case-insensitively.
KNOWN_DLLS = {
    "advapi32.dll", "gdi32.dll", "kernel32.dll", "msvcrt.dll", "ole32.dll", "shell32.dll", "user32.dll",
}
MINIMUM_WINDOWS = (6, 1)
# DllCharacteristics bits: (name, value, on PE32+ only).
HARDENING = (("DYNAMIC_BASE (ASLR)", 0x40, False), ("NX_COMPAT (DEP)", 0x100, False),
             ("HIGH_ENTROPY_VA (64-bit ASLR)", 0x20, True))


def header_version(dump, major, minor):
    a = re.search(rf"^{major}\s+(\d+)", dump, re.M)
    b = re.search(rf"^{minor}\s+(\d+)", dump, re.M)
    return (int(a.group(1)), int(b.group(1))) if a and b else None


def problems_of(objdump, exe):
    dump = subprocess.run([objdump, "-p", exe], capture_output=True, text=True, check=True).stdout
    dlls = re.findall(r"^\s*DLL Name: (\S+)", dump, re.M)
    print(f"{exe}: {' '.join(dlls)}")
    problems = [f"imports {d}, which is not a KnownDLL: a {d} beside the program would be loaded"
                for d in dlls if d.lower() not in KNOWN_DLLS]
    if not dlls:
        problems.append("no imports found (not a PE file?)")
    for what, major, minor in (("subsystem", "MajorSubsystemVersion", "MinorSubsystemVersion"),
                               ("operating system", "MajorOSystemVersion", "MinorOSystemVersion")):
        version = header_version(dump, major, minor)
        if version is None:
            problems.append(f"no {what} version in its header")
        elif version != MINIMUM_WINDOWS:
            problems.append(f"its header asks for {what} version {version[0]}.{version[1]}, not Windows 7's 6.1")
    return problems + hardening_problems(objdump, exe, dump)


def hardening_problems(objdump, exe, dump):
    problems = []
    found = re.search(r"^DllCharacteristics\s+([0-9a-fA-F]+)", dump, re.M)
    flags = int(found.group(1), 16) if found else 0
    wide = re.search(r"^Magic\s+020b", dump, re.M) is not None
    for name, bit, wide_only in HARDENING:
        if (wide or not wide_only) and not flags & bit:
            problems.append(f"its header lacks {name}")
    relocations = re.search(r"^Entry 5 [0-9a-fA-F]+ ([0-9a-fA-F]+) Base Relocation Directory", dump, re.M)
    if re.search(r"relocations stripped", dump) or not relocations or int(relocations.group(1), 16) == 0:
        problems.append("it has no base relocations, so ASLR cannot move it")
    symbols = subprocess.run([objdump, "-t", exe], capture_output=True, text=True, check=True).stdout
    if "__stack_chk_fail" not in symbols:
        problems.append("no stack protector (__stack_chk_fail) linked in")
    return problems


def main():
    if len(sys.argv) < 4:
        print(__doc__)
        return 2
    tree = os.environ.get("QUORVEX_PROGRAMS_BUILD") or sys.argv[2]
    failed = 0
    for relative in sys.argv[3:]:
        exe = os.path.join(tree, relative)
        for problem in problems_of(sys.argv[1], exe):
            print(f"FAILED {exe}: {problem}")
            failed += 1
    print(f"{len(sys.argv) - 3} programs checked, {failed} problems")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
