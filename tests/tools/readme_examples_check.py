#!/usr/bin/env python3
"""Every command example of the README's tool sections, run as written under Wine: the tap
session with the real panel (a line clicked, a key, Alt+F4), the live capture into tshark, the
tshark and dump readings of that capture, the simulator's script, the replay, and the tools'
--version line. The programs are started as the README says, through scripts/wine-run. An
example that this check does not know fails it, so a new one cannot go untried.
Usage: readme_examples_check.py ROOT WINDOWS_BUILD"""
import os
import re
import shlex
import subprocess
import sys
import tempfile
import time

from wine_session import Lines, wine_environment

DEADLINE_S = 25  # for each step that waits
TOOLS = {"quorvex-sim.exe": "tools/sim", "quorvex-tap.exe": "tools/tap", "quorvex-headless.exe": "tools/headless",
         "quorvex-dump": "tools/dump", "quorvex.exe": "app"}
COMMAND_WORDS = tuple(TOOLS) + ("tshark", "wine64", "../../../../scripts/wine-run")


def readme_examples(readme):
    """(kind, text) in README order for the tools section: "command" lines (continuations joined)
    and the simulator script block ("script")."""
    text = open(readme).read()
    section = text[text.index("\n## Tools\n"):]
    section = section[:section.index("\n## ", 1)]
    examples, pending = [], ""
    for block in re.findall(r"(?:^    .*\n)+", section, flags=re.M):
        lines = [line[4:] for line in block.splitlines()]
        if lines[0].startswith("expect PPK"):
            examples.append(("script", "\n".join(lines) + "\n"))
            continue
        for line in lines:
            line = pending + (line.lstrip() if pending else line)
            if line.endswith("\\"):
                pending = line[:-1].rstrip() + " "
                continue
            pending = ""
            line = re.split(r" {2,}", line)[0]  # what follows two spaces explains the command
            if line.startswith(COMMAND_WORDS):
                examples.append(("command", line))
    return examples


class Session:
    def __init__(self, root, build, work):
        self.root, self.build, self.work = root, build, work
        self.env = wine_environment(root)
        self.env["TMPDIR"] = work
        self.processes = []
        self.ran = set()
        # The README's program names, as its readers run them under Wine.
        functions = []
        for name, folder in TOOLS.items():
            exe = os.path.join(build, folder, name if name.endswith(".exe") else name + ".exe")
            if name == "quorvex.exe":  # a window is started from its own folder
                call = f'(cd {shlex.quote(os.path.dirname(exe))} && exec "$WINE_RUN" {name} "$@")'
            else:
                call = f'"$WINE_RUN" {shlex.quote(exe)} "$@"'
            functions.append(f"{name}() {{ {call}; }}")
        self.prelude = "\n".join(functions) + "\n"
        self.env["WINE_RUN"] = os.path.join(root, "scripts", "wine-run")
        os.symlink(os.path.join(build, "tools", "wireshark", "quorvex.lua"), os.path.join(work, "quorvex.lua"))

    def start(self, line, cwd=None):
        """A README line in the background, its output read as it comes."""
        self.ran.add(line)
        p = subprocess.Popen(["bash", "-c", self.prelude + line], cwd=cwd or self.work, env=self.env,
                             stdin=subprocess.DEVNULL, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                             start_new_session=True)
        self.processes.append(p)
        p.lines = Lines(p.stdout)
        return p

    def run(self, line, cwd=None):
        """A README line to its end: its exit status and output."""
        p = self.start(line, cwd)
        return self.ended(p), p.lines.text()

    def ended(self, p):
        """Its exit status once it has ended and its output is read; None when it did not end in time."""
        try:
            status = p.wait(DEADLINE_S)
        except subprocess.TimeoutExpired:
            return None
        p.lines.thread.join(5)
        return status

    def wait_output(self, p, text):
        return p.lines.wait_for(text, time.monotonic() + DEADLINE_S) is not None

    def xdotool(self, *args):
        return subprocess.run(["xdotool", *args], env=self.env, capture_output=True, text=True, timeout=10).stdout

    def panel_window(self):
        deadline = time.monotonic() + DEADLINE_S
        while time.monotonic() < deadline:
            found = self.xdotool("search", "--name", "^LOCAL - Quorvex$").split()
            if found:
                return found[0]
            time.sleep(0.2)
        return None

    def operate_and_close(self, window):
        """As an operator: a click on display line 4, cursor down, then Alt+F4."""
        geometry = dict(line.split("=") for line in self.xdotool("getwindowgeometry", "--shell", window).split())
        x, y = int(geometry["X"]), int(geometry["Y"])
        client_top = int(geometry["HEIGHT"]) - 384 - 22  # the client sits above a status bar of about 22 px
        self.xdotool("mousemove", str(x + 100), str(y + client_top + 13 + 3 * 15 + 7), "click", "1")
        time.sleep(0.3)
        self.xdotool("key", "Down")
        time.sleep(0.3)
        self.xdotool("key", "alt+F4")

    def stop_all(self):
        for p in self.processes:
            if p.poll() is None:
                os.killpg(p.pid, 9)
                p.wait()
        self.processes.clear()


def check(examples, s):
    problems = []
    commands = [text for kind, text in examples if kind == "command"]

    def first(prefix):
        line = next((c for c in commands if c.startswith(prefix)), None)
        if line is None:
            problems.append(f"the README has no example starting {prefix!r}")
        return line

    def expect(ok, what, *outputs):
        if not ok:
            problems.append(what + "".join("\n" + o for o in outputs if o))
        return ok

    version = first("../../../../scripts/wine-run")
    if version:
        status, out = s.run(version, cwd=os.path.join(s.build, "tools", "sim"))
        expect(status == 0 and "1.0.3" in out, f"{version!r}: status {status}", out)

    # The tap session: control, tap, panel; the panel operated and closed.
    sim_line, tap_line = first("quorvex-sim.exe --device"), first("quorvex-tap.exe --listen 2 --control 3 --capture session")
    panel_line = first("quorvex.exe -l")
    if sim_line and tap_line and panel_line:
        sim = s.start(sim_line)
        if expect(s.wait_output(sim, "listening"), "the simulator did not listen", sim.lines.text()):
            tap = s.start(tap_line)
            if expect(s.wait_output(tap, "offering device 2"), "the tap did not offer device 2", tap.lines.text()):
                s.start(panel_line)
                window = s.panel_window()
                if expect(window, "the panel's window did not appear through the tap", tap.lines.text()):
                    time.sleep(1)
                    s.operate_and_close(window)
                    expect(s.wait_output(tap, "session ended"), "the tap session did not end", tap.lines.text())
        s.stop_all()
    capture = os.path.join(s.work, "session.pcapng")
    if not expect(os.path.exists(capture), "no session.pcapng was written"):
        return problems

    for kind, text in examples:
        if kind != "command" or not text.startswith(("tshark", "quorvex-dump")):
            continue
        status, out = s.run(text)
        written = os.path.join(s.work, "in.bin")
        got = out.strip() or (text.endswith("> in.bin") and os.path.getsize(written) > 0)
        expect(status == 0 and got, f"{text!r}: status {status}, nothing shown" if status == 0 else
               f"{text!r}: status {status}", out)
    status, out = s.run("tshark -X lua_script:quorvex.lua -r session.pcapng -T fields -e quorvex.command")
    expect("SelectLine" in out and "CursorKey" in out, "the session holds no line click and no cursor key", out)

    # The same session live: the pipe into tshark while the panel runs.
    live = first("quorvex-tap.exe --listen 2 --control 3 --capture - |")
    if sim_line and live and panel_line:
        sim = s.start(sim_line)
        if s.wait_output(sim, "listening"):
            pipe = s.start(live)
            if expect(s.wait_output(pipe, "Capturing on"), "tshark did not start reading the tap", pipe.lines.text()):
                s.start(panel_line)
                window = s.panel_window()
                if expect(window, "the panel's window did not appear through the live tap"):
                    time.sleep(1)
                    s.operate_and_close(window)
                    status = s.ended(pipe)
                    # tshark buffers its lines into a pipe; tap.live.tshark shows them arriving live.
                    expect(status == 0 and "Quorvex" in pipe.lines.text(),
                           f"the live pipe ended with status {status} or showed no Quorvex packet", pipe.lines.text())
        s.stop_all()

    # The simulator's script, against the panel.
    script = next((text for kind, text in examples if kind == "script"), None)
    if expect(script, "the README has no simulator script example"):
        with open(os.path.join(s.work, "start.txt"), "w") as f:
            f.write(script)
        sim = s.start("quorvex-sim.exe --device 2 --script start.txt --timeout 20000")
        s.ran.discard("quorvex-sim.exe --device 2 --script start.txt --timeout 20000")
        if s.wait_output(sim, "steps on"):
            s.start(panel_line)
            status = s.ended(sim)
            expect(status == 0, f"the README's simulator script ended with status {status}", sim.lines.text())
        s.stop_all()

    # The replay of the session into a second panel.
    replay = first("quorvex-sim.exe --replay")
    if replay and panel_line:
        sim = s.start(replay)
        if expect(s.wait_output(sim, "replay "), "the replay did not start", sim.lines.text()):
            s.start(panel_line)
            window = s.panel_window()
            if expect(window, "the panel's window did not appear for the replay", sim.lines.text()):
                expect(s.wait_output(sim, "replay done"), "the replay did not play to its end", sim.lines.text())
                s.operate_and_close(window)
                status = s.ended(sim)
                expect(status == 0, f"the replay ended with status {status} after the panel closed", sim.lines.text())
        s.stop_all()

    # The headless example runs in the ReadmeExample test; every other command must have run here.
    for text in commands:
        if text not in s.ran and not text.startswith("quorvex-headless.exe"):
            problems.append(f"a README example this check does not run: {text!r}")
    return problems


def main():
    root, build = sys.argv[1:3]
    examples = readme_examples(os.path.join(root, "README.md"))
    with tempfile.TemporaryDirectory() as work:
        s = Session(root, os.path.abspath(build), work)
        try:
            problems = check(examples, s)
        finally:
            s.stop_all()
    for problem in problems:
        print("FAILED", problem)
    if not problems:
        print(f"{len(examples)} README examples ran")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
