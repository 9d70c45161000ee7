#!/usr/bin/env python3
"""scripts/include-check on a small tree with one planted fault of each kind, and on the real tree."""
import os
import subprocess
import sys
import tempfile

CHECK = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "scripts", "include-check")

# (file, its text, the fault it must be reported with or None)
FILES = [
    ("support/ring.h", '#include <cstdint>\n#include "support/other.h"\n', None),
    ("protocol/table.h", '#include "support/ring.h"\n#include "display/screen.h"\n',
     'protocol/table.h:2: includes display/screen.h, from a layer above (display/)'),
    ("display/screen.h", '#include "protocol/table.h"\n#include "link/queue.h"\n',
     'display/screen.h:2: includes link/queue.h, from a sibling layer (link/)'),
    ("link/queue.h", '#include "tests/peer.h"\n', 'link/queue.h:1: includes tests/peer.h, from tests/ on top of the core'),
    ("keypad/keys.cpp", '#include <windows.h>\n', 'keypad/keys.cpp:1: a portable file includes windows.h'),
    ("keypad/keys_win.cpp", '#include <windows.h>\n#include "support/window_win.h"\n', None),
    ("app/frame_win.cpp", '#include "display/screen.h"\n#include "link/queue.h"\n', None),
]


def run(root):
    done = subprocess.run([sys.executable, CHECK, root], capture_output=True, text=True, timeout=60)
    return done.returncode, done.stdout.splitlines()


def main():
    problems = []
    with tempfile.TemporaryDirectory() as root:
        for name, text, _ in FILES:
            os.makedirs(os.path.join(root, os.path.dirname(name)), exist_ok=True)
            with open(os.path.join(root, name), "w") as f:
                f.write(text)
        status, lines = run(root)
        wanted = [fault for _, _, fault in FILES if fault]
        if status != 1:
            problems.append(f"planted faults: exit {status}, not 1")
        if lines[:-1] != wanted:
            problems.append(f"planted faults reported as {lines[:-1]}, not {wanted}")
    status, lines = run(os.path.join(os.path.dirname(CHECK), ".."))
    if status != 0:
        problems.append(f"the tree itself: exit {status}: {lines}")
    for p in problems:
        print("FAILED", p)
    print("include check:", "failed" if problems else "passed")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
