#!/usr/bin/env python3
"""Runs quorvex-dump on a case and compares its output and exit status with the expected ones.

Case input (.in): tokens separated by blanks; "text" is literal ASCII (\\" and \\\\ escaped),
a two-digit hex number is one byte, and either may be followed by *N to repeat it; # starts
a comment to the end of the line.
"""
import argparse
import re
import subprocess
import sys
import tempfile

TOKEN = re.compile(r'\s*(?:(#[^\n]*)|"((?:[^"\\]|\\.)*)"|([0-9a-fA-F]{2})(?![0-9a-fA-F]))(?:\*(\d+))?')


def parse_input(text):
    data = bytearray()
    at = 0
    while at < len(text):
        if text[at:].strip() == "":
            break
        m = TOKEN.match(text, at)
        if not m or m.end() == at:
            sys.exit(f"bad input near: {text[at:at + 20]!r}")
        at = m.end()
        if m.group(1):
            continue
        piece = bytes.fromhex(m.group(3)) if m.group(3) else re.sub(r"\\(.)", r"\1", m.group(2)).encode("ascii")
        data += piece * int(m.group(4) or 1)
    return bytes(data)


def main():
    p = argparse.ArgumentParser()
    p.add_argument("tool")
    p.add_argument("input", help="case input, or a path that does not exist")
    p.add_argument("--expected", help="expected standard output")
    p.add_argument("--stdin", action="store_true", help="feed the bytes on standard input as -")
    p.add_argument("--exit", type=int, default=0, help="expected exit status")
    p.add_argument("--arg", action="append", default=[], help="a further argument for the tool")
    a = p.parse_args()

    with tempfile.TemporaryDirectory() as tmp:
        stdin = None
        path = a.input
        if a.input.endswith(".in"):
            with open(a.input, encoding="ascii") as f:
                data = parse_input(f.read())
            path = f"{tmp}/stream.bin"
            with open(path, "wb") as f:
                f.write(data)
            if a.stdin:
                stdin, path = data, "-"
        run = subprocess.run([a.tool, path, *a.arg], input=stdin, capture_output=True, timeout=60)

    ok = True
    if run.returncode != a.exit:
        print(f"exit status {run.returncode}, expected {a.exit}; stderr: {run.stderr.decode(errors='replace')}")
        ok = False
    if a.expected:
        with open(a.expected, "rb") as f:
            want = f.read()
        if run.stdout != want:
            print("output differs:\n--- expected\n" + want.decode(errors="replace") +
                  "--- got\n" + run.stdout.decode(errors="replace"))
            ok = False
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main())
