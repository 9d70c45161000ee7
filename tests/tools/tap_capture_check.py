#!/usr/bin/env python3
"""Reads the capture of the tap session test with capinfos and tshark from the Debian archive:
the file is a well-formed pcapng of link type USER0 in strict time order, and the packets of
each direction carry exactly the bytes the simulator logged. Usage: tap_capture_check.py DIR"""
import os
import subprocess
import sys


def run(command):
    done = subprocess.run(command, capture_output=True, text=True, timeout=60)
    if done.returncode != 0:
        sys.exit(f"{' '.join(command)} failed ({done.returncode}): {done.stderr}")
    return done.stdout


def main():
    folder = sys.argv[1]
    capture = os.path.join(folder, "tap_session.pcapng")
    expected = {}
    for name, flag in (("to_panel", "0x00000001"), ("to_control", "0x00000002")):
        with open(os.path.join(folder, "tap_session." + name), "rb") as f:
            expected[flag] = f.read()

    info = run(["capinfos", "-t", "-E", "-o", "-c", capture])
    problems = [f"capinfos does not say {want!r}" for want in ("pcapng", "USER 0", "True") if want not in info]

    fields = run(["tshark", "-r", capture, "-T", "fields", "-e", "frame.packet_flags_direction", "-e", "data"])
    got = {flag: b"" for flag in expected}
    packets = 0
    for line in fields.splitlines():
        flag, _, data = line.partition("\t")
        if flag not in got:
            problems.append(f"packet without an inbound or outbound direction: {line!r}")
            continue
        got[flag] += bytes.fromhex(data)
        packets += 1
    for flag, want in expected.items():
        if got[flag] != want:
            problems.append(f"direction {flag}: tshark read {got[flag]!r}, the simulator logged {want!r}")
    if packets == 0:
        problems.append("tshark read no packet")
    for p in problems:
        print("FAILED", p)
    print(info.strip())
    print(f"tshark: {packets} packets, {len(got['0x00000001'])} bytes to the panel, "
          f"{len(got['0x00000002'])} bytes to the control")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
