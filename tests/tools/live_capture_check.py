#!/usr/bin/env python3
"""quorvex-tap --capture - read live by tshark: the simulator's script, the tap writing pcapng to
standard output into `tshark -i -` with the Quorvex dissector, and the headless panel, all under
Wine. The first screen must reach tshark while the session still runs (the panel waits before
its last key), every packet the tap recorded must reach tshark, and the tap's messages go to
standard error. Usage: live_capture_check.py ROOT LUA SIM TAP HEADLESS (LUA: the dissector the build wrote)"""
import os
import subprocess
import sys
import tempfile
import time

from wine_session import Lines, wine_environment, windows_path

DEADLINE_S = 60
PAUSE_MS = 3000  # the panel's wait between the first screen and its last key

SIM_SCRIPT = r"""expect PPK within 15000
send \x01\@0,0LIVE SESSION\@2,0> WAITING\x1A
expect VFD within 5000
expect K within 20000
send \@19,0DONE
close
"""
PANEL_SCRIPT = f"""expect LIVE SESSION within 15000
wait {PAUSE_MS}
key UP
expect DONE within 5000
"""


def main():
    root, lua, sim_exe, tap_exe, headless_exe = sys.argv[1:6]
    env = wine_environment(root)
    problems = []
    with tempfile.TemporaryDirectory() as tmp:
        env["TMPDIR"] = tmp  # tshark -i - keeps its own copy of the capture there
        sim_script = os.path.join(tmp, "sim.txt")
        panel_script = os.path.join(tmp, "panel.txt")
        for path, text in ((sim_script, SIM_SCRIPT), (panel_script, PANEL_SCRIPT)):
            with open(path, "w") as f:
                f.write(text)

        def wine(exe, *args, **kw):
            return subprocess.Popen(["wine64", os.path.basename(exe), *args], cwd=os.path.dirname(exe), env=env,
                                    stdin=subprocess.DEVNULL, **kw)

        deadline = time.monotonic() + DEADLINE_S
        processes = []
        try:
            sim = wine(sim_exe, "--device", "7", "--timeout", "40000", "--script", windows_path(sim_script),
                       stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
            processes.append(sim)
            sim_log = Lines(sim.stdout)
            # The control first, as the README says: the tap refuses a pipe pair offered half.
            if sim_log.wait_for("waiting for a panel", deadline) is None:
                sys.exit("FAILED the simulator did not offer its pipes:\n" + sim_log.text())
            tap = wine(tap_exe, "--listen", "6", "--control", "7", "--capture", "-",
                       stdout=subprocess.PIPE, stderr=subprocess.PIPE)
            processes.append(tap)
            tshark = subprocess.Popen(["tshark", "-l", "-i", "-", "-X", "lua_script:" + lua, "-T", "fields",
                                       "-e", "frame.len", "-e", "quorvex.direction", "-e", "_ws.col.Info"],
                                      stdin=tap.stdout, stdout=subprocess.PIPE, stderr=subprocess.PIPE, env=env)
            processes.append(tshark)
            tap.stdout.close()  # tshark holds the read end now
            packets, tap_messages, tshark_errors = Lines(tshark.stdout), Lines(tap.stderr), Lines(tshark.stderr)
            if tap_messages.wait_for("offering device 6", deadline) is None:
                sys.exit("FAILED the tap did not offer device 6:\n" + tap_messages.text() + "\n" + sim_log.text())
            # tshark says so once it has read the capture's header from the pipe.
            if tshark_errors.wait_for("Capturing on", deadline) is None:
                sys.exit("FAILED tshark did not start capturing:\n" + tshark_errors.text())
            panel = wine(headless_exe, "-l", "--script", windows_path(panel_script), "--timeout", "30000",
                         stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
            processes.append(panel)
            panel_log = Lines(panel.stdout)

            first_screen = packets.wait_for("LIVE SESSION", deadline)
            last_screen = packets.wait_for('"DONE"', deadline) if first_screen else None
            for name, p in (("panel", panel), ("simulator", sim), ("tap", tap), ("tshark", tshark)):
                try:
                    status = p.wait(max(1, deadline - time.monotonic()))
                except subprocess.TimeoutExpired:
                    problems.append(f"{name} did not end within {DEADLINE_S} s")
                    continue
                if status != 0:
                    problems.append(f"{name} exit status {status}")
            for lines in (packets, tap_messages, tshark_errors, sim_log, panel_log):
                lines.thread.join(5)
        finally:
            for p in processes:
                if p.poll() is None:
                    p.kill()
                    p.wait()

        if first_screen is None:
            problems.append("tshark showed no packet with the first screen")
        elif last_screen is None or last_screen - first_screen < PAUSE_MS / 2000:
            problems.append("the first screen reached tshark only with the end of the session, not while it ran")
        rows = [line.split("\t") for _, line in packets.lines]
        recorded = next((line for _, line in tap_messages.lines if "capture standard output:" in line), "")
        if not recorded.endswith(f": {len(rows)} packets"):
            problems.append(f"tshark read {len(rows)} packets; the tap says {recorded!r}")
        inbound = sum(int(r[0]) for r in rows if len(r) > 1 and r[1] == "in")
        outbound = sum(int(r[0]) for r in rows if len(r) > 1 and r[1] == "out")
        ended = next((line for _, line in tap_messages.lines if "session ended" in line), "")
        if f"forwarded {inbound} bytes" not in ended or f", {outbound} bytes" not in ended:
            problems.append(f"tshark read {inbound} bytes in and {outbound} out; the tap says {ended!r}")
        print("tshark, live:\n" + packets.text())
        print("tap (standard error):\n" + tap_messages.text())
        if problems:
            print("simulator:\n" + sim_log.text() + "\npanel:\n" + panel_log.text() + "\ntshark:\n" +
                  tshark_errors.text())
    for problem in problems:
        print("FAILED", problem)
    if not problems and first_screen is not None:
        print(f"tshark showed the first screen {last_screen - first_screen:.2f} s before the last one")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
