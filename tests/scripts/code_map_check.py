#!/usr/bin/env python3
"""The README's code map (its Layout section) names every file of the core and of res/."""
import os
import re
import runpy
import sys

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..")
# The core's folders, as the include check's layers name them.
FOLDERS = [f for layer in runpy.run_path(os.path.join(ROOT, "scripts", "include-check"))["LAYERS"] for f in layer]


def main():
    with open(os.path.join(ROOT, "README.md"), encoding="utf-8") as f:
        readme = f.read()
    layout = readme[readme.index("## Layout\n"):]
    named = set(re.findall(r"`([^`]+)`", layout))
    missing = []
    for folder in FOLDERS:
        for name in sorted(os.listdir(os.path.join(ROOT, folder))):
            stem, ext = os.path.splitext(name)
            if ext not in (".h", ".cpp", ".rc", ".in"):
                continue
            if not named & {stem, name, f"{folder}/{name}", f"{folder}/{stem}"}:
                missing.append(f"{folder}/{name}")
    for m in missing:
        print("FAILED the README's Layout does not name", m)
    print(f"code map: {len(missing)} files not named")
    return 1 if missing else 0


if __name__ == "__main__":
    sys.exit(main())
