#!/usr/bin/env python3
"""Every command example of the README's tool sections and of the shipped README.txt
(installer/README.txt.in), run as written under Wine: the tap session with the real panel (a line
clicked, a key, Alt+F4), the live capture into tshark, the tshark and dump readings of that
capture, the simulator's script, the replay, the tools' --version line; README.txt's getting
started (the controller, the panel, the controller's shut-down ending both) and its headless
example. The programs are started as the README says, through scripts/wine-run. The README's other
examples are listed below with the check that runs them or why none can here. An example that
this check does not know fails it, so a new one cannot go untried.
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
DEMO_DEADLINE_S = 120  # the demo makes its own X server and warms the prefix
TOOLS = {"quorvex-sim.exe": "tools/sim", "quorvex-tap.exe": "tools/tap", "quorvex-headless.exe": "tools/headless",
         "quorvex-dump": "tools/dump", "quorvex.exe": "app"}
COMMAND_WORDS = tuple(TOOLS) + ("tshark", "wine64", "../../../../scripts/wine-run")
# README.txt as the package script fills it in for the x64 build.
README_TXT_VALUES = {"@VERSION@": "1.0.3", "@BUILD@": "64-bit build (x64), for 64-bit Windows",
                     "@MSI@": "quorvex-1.0.3-x64.msi"}
# Examples that other checks of ./scripts/test run, or that cannot run here: what runs them, or why.
ELSEWHERE = {
    "msiexec /i quorvex-1.0.3-x64.msi /qn": "tests/install/msi_install_test.py (msiexec /i, /qn)",
    "msiexec /i quorvex-1.0.3-x64.msi ADDLOCAL=Tools /qn": "tests/install/msi_install_test.py (ADDLOCAL=Tools)",
    "msiexec /x quorvex-1.0.3-x64.msi /qn": "tests/install/msi_install_test.py (msiexec /x)",
    "./scripts/test": "the run itself",
    "./scripts/demo": "not run: a window on the user's desktop, until it is closed",
    "for f in wine-env wine-prefix xvfb; do source scripts/lib/$f.sh; done": "scripts/test's own steps",
    "quorvex_xvfb_start && quorvex_wine_prefix && ctest --test-dir build/win -R NAME": "scripts/test's own steps",
    "build/native/tests/protocol/protocol_script tests/protocol/scripts/*.script":
        "ctest protocol.script.* (one script each)",
    "cmake -S . -B build -G Ninja && cmake --build build": "not run: a build on Windows",
    "quorvex.exe -r NAME": "tests/app/frame_win_test.cpp (-r with names; no remote computer under Wine: tests/link)",
    "quorvex.exe": "tests/app/frame_win_test.cpp (the Connect To dialog)",
    "msiexec /i quorvex-1.0.3-x64.msi STATION=1 /qn": "tests/install/msi_install_test.py (STATION=1, the shortcuts)",
    "quorvex.exe -l -w": "tests/app/station_win_test.cpp (Station.*)",
    # The station's measurement: a minute of waiting by hand; Station.WithNoControl... bounds the same CPU.
    "(cd build/win/app && wine64 quorvex.exe -l -w cpu-probe &); sleep 5": "not run: the minute's CPU measurement",
    "pid=$(pgrep -f '^quorvex.exe -l -w cpu-probe')": "not run: the minute's CPU measurement",
    "awk '{print $14 + $15}' /proc/$pid/stat; sleep 60; awk '{print $14 + $15}' /proc/$pid/stat":
        "not run: the minute's CPU measurement",
    "ctest --test-dir build/win -R 'Station\\.' -V | grep -E 'CPU|greeted|cycles'": "scripts/test's own steps (Station.*)",
}


def readme_examples(readme, tools=True):
    """(kind, text) in README order for the tools section (or, with tools false, for the rest):
    "command" lines (continuations joined) and the simulator script block ("script")."""
    text = open(readme).read()
    begin = text.index("\n## Tools\n")
    end = text.index("\n## ", begin + 1)
    section = text[begin:end] if tools else text[:begin] + text[end:]
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
            if tools and line.startswith(COMMAND_WORDS):
                examples.append(("command", line))
            elif not tools and line and not line.startswith(("#", "{", "|")) and not line[0].isdigit():
                examples.append(("command", line))
    return examples


def readme_txt_examples(template):
    """(kind, text) of the shipped README.txt: the lines indented by four or more that start with a
    program's name (its examples; a table's two-space lines are not), "headless-script" for the
    block of script lines."""
    text = open(template).read()
    for name, value in README_TXT_VALUES.items():
        text = text.replace(name, value)
    examples, script = [], []
    for line in text.splitlines() + [""]:
        example = line.startswith("    ") and line.strip()
        if example and (script or line.strip().startswith("expect ")) and not line.strip().startswith(COMMAND_WORDS):
            script.append(line.strip())
            continue
        if script:
            examples.append(("headless-script", "\n".join(script) + "\n"))
            script = []
        if example and line.strip().startswith(COMMAND_WORDS + ("msiexec",)):
            examples.append(("command", line.strip()))
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

    def run(self, line, cwd=None, deadline_s=DEADLINE_S):
        """A README line to its end: its exit status and output."""
        p = self.start(line, cwd)
        return self.ended(p, deadline_s), p.lines.text()

    def ended(self, p, deadline_s=DEADLINE_S):
        """Its exit status once it has ended and its output is read; None when it did not end in time."""
        try:
            status = p.wait(deadline_s)
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

    def click_line(self, window, line):
        """A click on display line 1 to 20."""
        geometry = dict(line.split("=") for line in self.xdotool("getwindowgeometry", "--shell", window).split())
        x, y = int(geometry["X"]), int(geometry["Y"])
        client_top = int(geometry["HEIGHT"]) - 384 - 22  # the client sits above a status bar of about 22 px
        self.xdotool("mousemove", str(x + 100), str(y + client_top + 13 + (line - 1) * 15 + 7), "click", "1")
        time.sleep(0.3)

    def operate_and_close(self, window):
        """As an operator: a click on display line 4, cursor down, then Alt+F4."""
        self.click_line(window, 4)
        self.xdotool("key", "Down")
        time.sleep(0.3)
        self.xdotool("key", "alt+F4")

    def controller_and_panel(self, sim_line, panel_line, cwd=None):
        """The simulator's controller and a panel on it, ended as the READMEs say: the controller's
        shut-down (display line 9, then ENTER) ends both. Problems, or none."""
        sim = self.start(sim_line, cwd)
        if not self.wait_output(sim, "listening"):
            return [f"{sim_line!r} did not listen:\n{sim.lines.text()}"]
        panel = self.start(panel_line, cwd)
        window = self.panel_window()
        if not window:
            return [f"{panel_line!r}: the panel's window did not appear\n{panel.lines.text()}"]
        time.sleep(1)
        self.click_line(window, 9)
        self.xdotool("key", "Return")
        problems = []
        status = self.ended(sim)
        if status != 0:
            problems.append(f"{sim_line!r}: status {status} after its shut-down entry\n{sim.lines.text()}")
        if self.ended(panel) is None:
            problems.append(f"{panel_line!r}: the panel stayed after the controller's shut-down")
        return problems

    def restore_slot(self):
        """The demo ends its prefix's wineserver on the way out: once that one has gone, start
        the slot's wineserver and desktop keeper again, so that the next test in the slot meets
        the slot as every test does and not a server still going away."""
        script = ("source scripts/lib/wine-env.sh; source scripts/lib/wine-prefix.sh; "
                  "wineserver -w; quorvex_wine_start")
        done = subprocess.run(["bash", "-c", script], cwd=self.root, env=self.env, capture_output=True,
                              text=True, timeout=60)
        return [] if done.returncode == 0 else [f"the slot's Wine did not start again after the demo: {done.stderr}"]

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
            expect("(note)" not in sim.lines.text(), "the README's simulator script draws a note", sim.lines.text())
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


def check_try_it(others, s):
    """The README's first example: the built simulator and panel, started from the checkout."""
    lines = [text for kind, text in others if "scripts/wine-run" in text]
    if len(lines) != 2:
        return [f"the README's Try it has not the two wine-run lines: {lines}"]
    sim_line, panel_line = (line.rstrip(" &") for line in lines)
    relative = os.path.relpath(s.build, s.root)
    if relative != "build/win":
        sim_line, panel_line = (line.replace("build/win", relative) for line in (sim_line, panel_line))
    problems = s.controller_and_panel(sim_line, panel_line, cwd=s.root)
    s.stop_all()
    s.ran.update(lines)
    demo = next((text for kind, text in others if text.startswith("./scripts/demo --headless")), None)
    if demo and relative == "build/win":  # the demo builds and runs build/win
        shot = os.path.join(s.root, demo.split("--screenshot ")[1])
        before = os.path.getmtime(shot) if os.path.exists(shot) else 0
        status, out = s.run(demo, cwd=s.root, deadline_s=DEMO_DEADLINE_S)
        if status != 0 or not os.path.exists(shot) or os.path.getmtime(shot) <= before:
            problems.append(f"{demo!r}: status {status}, no new screenshot\n{out}")
        problems += s.restore_slot()
    return problems


def check_readme_txt(examples, s):
    """The shipped README.txt: getting started and the headless example, run as written."""
    problems = []
    commands = [text for kind, text in examples if kind == "command"]
    if "quorvex-sim.exe" in commands and "quorvex.exe -l" in commands:
        problems += s.controller_and_panel("quorvex-sim.exe", "quorvex.exe -l")
        s.stop_all()
    else:
        problems.append("README.txt's getting started has no quorvex-sim.exe and quorvex.exe -l")
    script = next((text for kind, text in examples if kind == "headless-script"), None)
    run = next((c for c in commands if c.startswith("quorvex-headless.exe") and "params.txt" in c), None)
    if script and run:
        with open(os.path.join(s.work, "params.txt"), "w") as f:
            f.write(script)
        sim = s.start("quorvex-sim.exe")
        if s.wait_output(sim, "listening"):
            status, out = s.run(run)
            if status != 0 or "(note)" in out:
                problems.append(f"README.txt's headless example: status {status}\n{script}{out}\n{sim.lines.text()}")
            if s.ended(sim) != 0:
                problems.append(f"README.txt's headless example did not shut the controller down\n{sim.lines.text()}")
        s.stop_all()
    else:
        problems.append("README.txt has no headless script with its quorvex-headless.exe line")
    return problems


def unrun(examples, s, where):
    """The examples that neither ran here nor are listed with what runs them."""
    return [f"{where}: an example this check does not know: {text!r}" for kind, text in examples
            if kind == "command" and text not in s.ran and text not in ELSEWHERE]


def main():
    root, build = sys.argv[1:3]
    examples = readme_examples(os.path.join(root, "README.md"))
    others = readme_examples(os.path.join(root, "README.md"), tools=False)
    shipped = readme_txt_examples(os.path.join(root, "installer", "README.txt.in"))
    with tempfile.TemporaryDirectory() as work:
        s = Session(root, os.path.abspath(build), work)
        try:
            problems = check(examples, s) + check_try_it(others, s) + check_readme_txt(shipped, s)
            problems += unrun(others, s, "README.md") + unrun(shipped, s, "README.txt")
        finally:
            s.stop_all()
    for problem in problems:
        print("FAILED", problem)
    if not problems:
        print(f"{len(examples) + len(others) + len(shipped)} README and README.txt examples ran or are run elsewhere")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
