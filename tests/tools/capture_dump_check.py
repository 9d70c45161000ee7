#!/usr/bin/env python3
"""quorvex-dump on session captures written here independently of the tools' own writer:
both directions in time order as lines and as JSON, the screen at the end and at a moment, the
inbound bytes, classic pcap files in both byte orders, a cut file and broken ones.
Usage: capture_dump_check.py QUORVEX_DUMP"""
import json
import struct
import subprocess
import sys
import tempfile


def block(kind, body):
    body += b"\0" * (-len(body) % 4)
    return struct.pack("<II", kind, len(body) + 12) + body + struct.pack("<I", len(body) + 12)


def option(code, value):
    return struct.pack("<HH", code, len(value)) + value + b"\0" * (-len(value) % 4)


def capture(packets):
    """packets: (microseconds, 1 inbound or 2 outbound, bytes), written in the order given."""
    out = block(0x0A0D0D0A, struct.pack("<IHHq", 0x1A2B3C4D, 1, 0, -1) + option(0, b""))
    out += block(1, struct.pack("<HHI", 147, 0, 0) + option(9, b"\x06") + option(0, b""))
    for us, direction, data in packets:
        body = struct.pack("<IIIII", 0, us >> 32, us & 0xFFFFFFFF, len(data), len(data))
        body += data + b"\0" * (-len(data) % 4) + option(2, struct.pack("<I", direction)) + option(0, b"")
        out += block(6, body)
    return out


def classic(packets, big=False, nano=False, link_type=147):
    """The same packets as a classic pcap file, which has no directions."""
    order = ">" if big else "<"
    out = struct.pack(order + "IHHiIII", 0xA1B23C4D if nano else 0xA1B2C3D4, 2, 4, 0, 0, 262144, link_type)
    for us, _, data in packets:
        fraction = us % 1_000_000 * (1000 if nano else 1)
        out += struct.pack(order + "IIII", us // 1_000_000, fraction, len(data), len(data)) + data
    return out


T0 = 1_700_000_000_000_000
SESSION = [
    (T0, 1, b"\x01MENU\x82\x80> STATUS\x1a"),
    (T0 + 1500, 2, b"PPK"),
    (T0 + 1600, 2, b"VF"),
    (T0 + 250_000, 1, b"\x82\x80  STATUS\x83\x80> PARAMS"),
    (T0 + 1800, 2, b"D"),  # recorded late, happened before the second screen
    (T0 + 300_000, 2, b"p4\nQqSTA"),
    (T0 + 300_001, 2, b"TUS\nW:5\n"),
    (T0 + 2_000_000, 1, b"\x16"),
    (T0 + 2_000_100, 1, b"late"),
]

EVENTS = """\
   0.000000 in  Clear ClearScreen
   0.000000 in  Text 4 "MENU"
   0.000000 in  CursorAddress 2 0
   0.000000 in  Text 8 "> STATUS"
   0.000000 in  IdentificationRequest
   0.001500 out ExitKey
   0.001500 out ExitKey
   0.001500 out CursorKey up
   0.001800 out IdentificationAnswer
   0.250000 in  CursorAddress 2 0
   0.250000 in  Text 8 "  STATUS"
   0.250000 in  CursorAddress 3 0
   0.250000 in  Text 8 "> PARAMS"
   0.300000 out SelectLine 4
   0.300000 out Adjust up fast
   0.300001 out Branch "STATUS"
   0.300001 out Adjust down fast
   0.300001 out Key :
   0.300001 out Key 5
   0.300001 out Key ENTER
   2.000000 in  ControlExited
"""
IGNORED = "4 inbound bytes after the exit notice ignored"
IN_ORDER = sorted(SESSION, key=lambda p: p[0])

JSON_EVENTS = [
    {"time": 0.0, "direction": "in", "kind": "ClearScreen"},
    {"time": 0.0, "direction": "in", "kind": "Text", "row": 0, "column": 0, "text": "MENU"},
    {"time": 0.0, "direction": "in", "kind": "CursorAddress", "row": 2, "column": 0},
    {"time": 0.0, "direction": "in", "kind": "Text", "row": 2, "column": 0, "text": "> STATUS"},
    {"time": 0.0, "direction": "in", "kind": "IdentificationRequest"},
    {"time": 0.0015, "direction": "out", "kind": "ExitKey", "key": "EXIT"},
    {"time": 0.0015, "direction": "out", "kind": "ExitKey", "key": "EXIT"},
    {"time": 0.0015, "direction": "out", "kind": "CursorKey", "key": "UP"},
    {"time": 0.0018, "direction": "out", "kind": "IdentificationAnswer", "text": "VFD"},
    {"time": 0.25, "direction": "in", "kind": "CursorAddress", "row": 2, "column": 0},
    {"time": 0.25, "direction": "in", "kind": "Text", "row": 2, "column": 0, "text": "  STATUS"},
    {"time": 0.25, "direction": "in", "kind": "CursorAddress", "row": 3, "column": 0},
    {"time": 0.25, "direction": "in", "kind": "Text", "row": 3, "column": 0, "text": "> PARAMS"},
    {"time": 0.3, "direction": "out", "kind": "SelectLine", "line": 4},
    {"time": 0.3, "direction": "out", "kind": "Adjust", "key": "ADJUST UP", "adjust": "up", "speed": "fast"},
    {"time": 0.300001, "direction": "out", "kind": "Branch", "text": "STATUS"},
    {"time": 0.300001, "direction": "out", "kind": "Adjust", "key": "ADJUST DOWN", "adjust": "down", "speed": "fast"},
    {"time": 0.300001, "direction": "out", "kind": "Key", "key": ":"},
    {"time": 0.300001, "direction": "out", "kind": "Key", "key": "5"},
    {"time": 0.300001, "direction": "out", "kind": "Key", "key": "ENTER"},
    {"time": 2.0, "direction": "in", "kind": "ControlExited"},
]


def json_lines(objects):
    return "".join(json.dumps(o, separators=(",", ":")) + "\n" for o in objects)


def with_first_block_length(data, length):
    """The first packet block (after the 32-byte section header and interface description) given `length`."""
    return data[:68] + struct.pack("<I", length) + data[72:]



def screen(rows, cursor):
    lines = [(rows.get(i, "")).ljust(40) for i in range(20)]
    return "\n".join(lines) + "\n" + "cursor line %d column %d\n" % (cursor[0] + 1, cursor[1] + 1)


CASES = [
    # name, file bytes, arguments, exit status, expected output, text expected on standard error
    ("events", capture(SESSION), [], 0, EVENTS, IGNORED),
    ("events as JSON", capture(SESSION), ["--json"], 0, JSON_EVENTS, IGNORED),
    ("classic pcap", classic(IN_ORDER), [], 0, EVENTS, "a classic pcap records no directions"),
    ("classic pcap, big-endian, nanoseconds", classic(IN_ORDER, big=True, nano=True), [], 0, EVENTS,
     "a classic pcap records no directions"),
    ("classic pcap of another link type", classic(IN_ORDER, link_type=1), [], 1, "",
     "offset 0: link type 1: the link type is not USER0 (147)"),
    ("classic pcap cut in its last record", classic(IN_ORDER)[:-2], ["--screen"], 0,
     screen({0: "MENU", 2: "  STATUS", 3: "> PARAMS"}, (3, 8)), "cut off"),
    ("bare pcapng magic", b"\x0a\x0d\x0d\x0a", [], 1, "", "offset 0: the file ends inside its header"),
    # The first 100 bytes of a capture the tap wrote end inside its interface block.
    ("pcapng cut inside its interface block", capture(SESSION)[:50], [], 1, "",
     "offset 32: the file ends inside its header"),
    ("pcapng section header alone", capture(SESSION)[:32], [], 1, "", "offset 32: the file ends inside its header"),
    ("bare classic magic", b"\xd4\xc3\xb2\xa1", [], 1, "", "offset 0: the file ends inside its header"),
    ("impossible block length", with_first_block_length(capture(SESSION), 0xFFFFFFF0), [], 1, "",
     "offset 64: impossible block length"),
    ("raw stream: request and exit notice", b"AB\x1a\x16more", [], 0,
     'Text 2 "AB"\nIdentificationRequest\nControlExited\n', IGNORED),
    ("screen at the end", capture(SESSION), ["--screen"], 0,
     screen({0: "MENU", 2: "  STATUS", 3: "> PARAMS"}, (3, 8)), IGNORED),
    ("screen at a moment", capture(SESSION), ["--at", "0.1"], 0, screen({0: "MENU", 2: "> STATUS"}, (2, 8)), ""),
    ("inbound bytes", capture(SESSION), ["--raw"], 0,
     b"".join(d for _, direction, d in SESSION if direction == 1).decode("latin-1"), ""),
    ("cut in the last block", capture(SESSION)[:-5], ["--screen"], 0,
     screen({0: "MENU", 2: "  STATUS", 3: "> PARAMS"}, (3, 8)), "cut off"),
    ("broken link type", capture(SESSION).replace(struct.pack("<HH", 147, 0), struct.pack("<HH", 1, 0), 1), [], 1,
     "", "offset 32: link type 1: the link type is not USER0 (147)"),
    ("no times in a stream", b"\x01AB", ["--at", "1"], 2, "", "--at needs a capture"),
    ("bad moment", capture(SESSION), ["--at", "1.2.3"], 2, "", "usage"),
    ("moment given with =", capture(SESSION), ["--at=0.1"], 0, screen({0: "MENU", 2: "> STATUS"}, (2, 8)), ""),
]


# Command lines: arguments, exit status, the stream that answers and a text it holds.
COMMAND_LINES = [
    (["--help"], 0, "stdout", "usage: quorvex-dump"),
    (["--version"], 0, "stdout", "quorvex-dump 1."),
    (["--bogus"], 2, "stderr", "quorvex-dump: --bogus: unknown option"),
    (["--at=1.2.3"], 2, "stderr", "--at=1.2.3: seconds must be"),
    (["--screen", "--raw"], 2, "stderr", "--raw: --json, --screen, --at and --raw exclude each other"),
    (["a.pcapng", "b.pcapng"], 2, "stderr", "b.pcapng: unexpected argument"),
]


def main():
    tool = sys.argv[1]
    failed = 0
    for args, status, stream, text in COMMAND_LINES:
        run = subprocess.run([tool] + args, capture_output=True, timeout=30)
        said = (run.stdout if stream == "stdout" else run.stderr).decode("latin-1")
        if run.returncode != status or text not in said:
            failed += 1
            print(f"FAILED {' '.join(args)}: exit {run.returncode} (expected {status}), {stream} {said!r}")
    for name, data, args, status, expected, error in CASES:
        with tempfile.NamedTemporaryFile(suffix=".pcapng") as f:
            f.write(data)
            f.flush()
            run = subprocess.run([tool, f.name] + args, capture_output=True, timeout=30)
        out = run.stdout.decode("latin-1")
        err = run.stderr.decode("latin-1")
        problems = []
        if isinstance(expected, list):
            try:
                out = [json.loads(line) for line in out.splitlines()]
            except ValueError as e:
                problems.append(f"not one JSON object a line: {e}")
        if run.returncode != status:
            problems.append(f"exit {run.returncode}, expected {status}")
        if out != expected:
            shown = json_lines(out) if isinstance(out, list) else out
            want = json_lines(expected) if isinstance(expected, list) else expected
            problems.append(f"output:\n{shown}expected:\n{want}")
        if error not in err or (not error and err):
            problems.append(f"standard error {err!r}, expected {error!r}")
        if problems:
            failed += 1
            print(f"FAILED {name}: " + "; ".join(problems))
    total = len(CASES) + len(COMMAND_LINES)
    print(f"{total - failed} of {total} cases passed")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
