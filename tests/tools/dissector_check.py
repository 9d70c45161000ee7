#!/usr/bin/env python3
"""The Wireshark dissector tools/wireshark/quorvex.lua in tshark against quorvex-dump --json on the
same captures: every display event and command with its fields, in order, from the protocol
tree (-T pdml); the kinds per packet from -T fields; and -Y filters on the fields.

Usage: dissector_check.py LUA DUMP [--emulator CMD] [CAPTURE ...]
Without captures it writes its own: every control code, address form, split address and
command, a run longer than a read, the exit notice with bytes after it, and the same packets as
a classic pcap (directions guessed by both tools)."""
import argparse
import json
import os
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from capture_dump_check import capture, classic  # noqa: E402

T0 = 1_700_000_000_000_000


def every_code_and_command():
    """(microseconds, direction, bytes) in time order."""
    codes = b"".join(b"x" + bytes([c]) for c in range(32) if c != 0x16)
    addresses = b"\x85\x8aAT 5,10\x93\xa7Z\x80\xa8dropped\xc1\xc5\xc1\x85\x85A\x85\x0d\x8a\x8b\x7f"
    printable = bytes(b for b in range(0x20, 0x7F) if b not in b"pqV")
    packets = [
        (1, codes), (2, b"PPK"), (1, addresses), (2, b"V"), (2, b"FD"), (1, b"\x01MENU\x84"), (1, b"\x85 AT 4,5"),
        (2, printable + b"\n"), (2, b"p1"), (2, b"2\n"), (2, b"qBRA"), (2, b"NCH\n"), (2, b"p\npXVXp1234567890\n"),
        (2, b"q" + b"A" * 70 + b"\n"), (2, b"\x01\x1b"), (1, b"\x0b" + b"T" * 3000), (1, b"\x15END\x16after"),
        (2, b"P"), (1, b"late"),
    ]
    return [(T0 + 1000 * i, d, data) for i, (d, data) in enumerate(packets)]


def run(command, **kw):
    done = subprocess.run(command, capture_output=True, timeout=120, **kw)
    if done.returncode != 0:
        sys.exit(f"{' '.join(command)} failed ({done.returncode}): {done.stderr.decode(errors='replace')}")
    return done.stdout.decode("latin-1")


def tshark(lua, path, *args):
    return run(["tshark", "-X", "lua_script:" + lua, "-r", path, *args])


FIELDS = {"quorvex.row": "row", "quorvex.column": "column", "quorvex.line": "line", "quorvex.text": "text",
          "quorvex.key": "key", "quorvex.adjust": "adjust", "quorvex.speed": "speed"}
NUMBERS = {"row", "column", "line"}


def from_tree(lua, path):
    """The events and commands of the dissector's protocol tree as quorvex-dump --json shows them."""
    items = []
    for packet in ET.fromstring(tshark(lua, path, "-T", "pdml")).iter("packet"):
        time = direction = None
        for field in packet.iter("field"):
            if field.get("name") == "frame.time_relative":
                time = round(float(field.get("show")), 6)
            elif field.get("name") == "quorvex.direction":
                direction = field.get("show")
        proto = packet.find("proto[@name='quorvex']")
        if proto is None:
            continue
        for item in proto:
            if item.get("name") not in ("quorvex.event", "quorvex.command"):
                continue
            obj = {"time": time, "direction": direction, "kind": item.get("show")}
            for child in item:
                name = FIELDS.get(child.get("name"))
                if name:
                    obj[name] = int(child.get("show")) if name in NUMBERS else child.get("show")
            items.append(obj)
    return items


def shown(text):
    """A text as tshark shows a string: bytes outside the printable range as \\x and hex digits."""
    return "".join(c if 0x20 <= ord(c) < 0x7F else "\\x%x" % ord(c) for c in text)


def check(lua, dump, path, problems):
    dumped = [json.loads(line) for line in run(dump + [path, "--json"]).splitlines()]
    dissected = from_tree(lua, path)
    name = os.path.basename(path)
    for i in range(max(len(dumped), len(dissected))):
        a = dumped[i] if i < len(dumped) else None
        if a and "text" in a:
            a = dict(a, text=shown(a["text"]))
        b = dissected[i] if i < len(dissected) else None
        if a != b:
            problems.append(f"{name}: item {i}: quorvex-dump {a}, dissector {b}")
            break

    # -T fields: the kinds of each packet, in order.
    kinds = []
    for line in tshark(lua, path, "-T", "fields", "-E", "aggregator=|", "-e", "quorvex.event",
                       "-e", "quorvex.command").splitlines():
        kinds += [k for k in line.replace("\t", "|").split("|") if k]
    if kinds != [d["kind"] for d in dumped]:
        problems.append(f"{name}: -T fields kinds {kinds}, quorvex-dump {[d['kind'] for d in dumped]}")

    # -Y filters on the fields.
    filters = [
        ('quorvex.command == "SelectLine"', "quorvex.line", lambda d: d["kind"] == "SelectLine", "line"),
        ('quorvex.command == "Adjust" && quorvex.speed == "fast"', "quorvex.adjust",
         lambda d: d["kind"] == "Adjust" and d["speed"] == "fast", "adjust"),
        ('quorvex.event == "Text" && quorvex.row == 2', "quorvex.column",
         lambda d: d["kind"] == "Text" and d["row"] == 2, "column"),
        ('quorvex.key == "ENTER"', "quorvex.key", lambda d: d.get("key") == "ENTER", "key"),
        ('quorvex.command == "Branch"', "quorvex.text", lambda d: d["kind"] == "Branch", "text"),
    ]
    for display_filter, field, wanted, key in filters:
        out = tshark(lua, path, "-Y", display_filter, "-T", "fields", "-E", "aggregator=|", "-e", field)
        got = len(out.splitlines())
        frames = {}
        for d in dumped:  # one line per packet that holds a match
            if wanted(d):
                frames.setdefault((d["time"], d["direction"]), []).append(str(d[key]))
        if got != len(frames):
            problems.append(f"{name}: -Y '{display_filter}' matched {got} packets, quorvex-dump shows {len(frames)}")
        elif any(str(v) not in out for vs in frames.values() for v in vs):
            problems.append(f"{name}: -Y '{display_filter}' -e {field}: {out!r}, quorvex-dump {frames}")
    return len(dumped)


def main():
    p = argparse.ArgumentParser()
    p.add_argument("lua")
    p.add_argument("dump")
    p.add_argument("--emulator", help="runs the dump (a Windows build under Wine)")
    p.add_argument("captures", nargs="*")
    a = p.parse_intermixed_args()
    dump = ([a.emulator] if a.emulator else []) + [a.dump]
    problems = []
    with tempfile.TemporaryDirectory() as tmp:
        captures = list(a.captures)
        if not captures:
            packets = every_code_and_command()
            for name, data in (("every.pcapng", capture(packets)), ("every.pcap", classic(packets))):
                captures.append(os.path.join(tmp, name))
                with open(captures[-1], "wb") as f:
                    f.write(data)
        for path in captures:
            count = check(a.lua, dump, path, problems)
            print(f"{os.path.basename(path)}: {count} events and commands compared")
    for problem in problems:
        print("FAILED", problem)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
