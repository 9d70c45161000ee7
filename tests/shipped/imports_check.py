"""Checks the DLLs each shipped program imports: only KnownDLLs of Windows 7 and later, which
the loader takes from the system folder whatever lies beside the program (no MinGW runtime DLLs,
the programs are static; no api-ms-win-* sets; the other system DLLs are loaded at run time
from the system folder), and PE headers that the oldest supported Windows (7, version 6.1) loads.

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
        elif version > MINIMUM_WINDOWS:
            problems.append(f"its header asks for {what} version {version[0]}.{version[1]}, newer than Windows 7")
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
