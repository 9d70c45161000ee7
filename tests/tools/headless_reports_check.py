#!/usr/bin/env python3
"""The headless panel's CI reports from a real run under Wine against the simulator's controller:
a script that passes and one that fails, each with --junit FILE and --json. Python's XML parser
must read the JUnit file (one test case; a failure element with the line and the screen where
the run failed) and json.tool the object that --json printed on standard output.
Usage: headless_reports_check.py ROOT SIM HEADLESS"""
import json
import os
import subprocess
import sys
import tempfile
import time
import xml.etree.ElementTree as ElementTree

from wine_session import Lines, wine_environment, windows_path

DEADLINE_S = 40
SCRIPTS = {
    "passed": "expect MAIN MENU within 10000\nkey DOWN\nexpect > 2  Parameters\n",
    "failed": "expect MAIN MENU within 10000\nexpect NO SUCH TEXT within 300\n",
}


def run_headless(root, headless, env, folder, name):
    script = os.path.join(folder, name + ".txt")
    with open(script, "w") as f:
        f.write(SCRIPTS[name])
    junit = os.path.join(folder, name + ".xml")
    run = subprocess.run([os.path.join(root, "scripts", "wine-run"), os.path.basename(headless), "-l", "--script",
                          windows_path(script), "--junit", windows_path(junit), "--json"],
                         cwd=os.path.dirname(headless), env=env, capture_output=True, timeout=DEADLINE_S)
    return run.returncode, run.stdout.decode("latin-1"), junit


def check(root, sim_exe, headless, env, folder):
    problems = []
    sim = subprocess.Popen([os.path.join(root, "scripts", "wine-run"), os.path.basename(sim_exe), "--device", "4",
                            "--timeout", str(DEADLINE_S * 1000)], cwd=os.path.dirname(sim_exe), env=env,
                           stdin=subprocess.DEVNULL, stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
    try:
        log = Lines(sim.stdout)
        if log.wait_for("listening", time.monotonic() + DEADLINE_S) is None:
            return ["the simulator did not listen:\n" + log.text()]
        for name, status_due in (("passed", 0), ("failed", 1)):
            status, out, junit = run_headless(root, headless, env, folder, name)
            if status != status_due:
                problems.append(f"{name}: exit status {status}, {status_due} due\n{out}")
            tool = subprocess.run([sys.executable, "-m", "json.tool"], input=out, capture_output=True, text=True)
            if tool.returncode != 0:
                problems.append(f"{name}: json.tool refused the standard output: {tool.stderr}\n{out}")
            elif json.loads(out).get("result") != name:
                problems.append(f"{name}: the JSON result is not {name!r}: {out}")
            try:
                cases = ElementTree.parse(junit).getroot().findall("./testsuite/testcase")
            except (OSError, ElementTree.ParseError) as e:
                problems.append(f"{name}: the JUnit file does not read: {e}")
                continue
            failures = [c.find("failure") for c in cases if c.find("failure") is not None]
            if len(cases) != 1 or len(failures) != (name == "failed"):
                problems.append(f"{name}: {len(cases)} test cases, {len(failures)} failures")
            elif failures and not ("line 2" in failures[0].text and "MAIN MENU" in failures[0].text):
                problems.append(f"{name}: the failure names neither the line nor the screen: {failures[0].text}")
    finally:
        sim.kill()
        sim.wait()
    return problems


def main():
    root, sim_exe, headless = sys.argv[1:4]
    env = wine_environment(root)
    with tempfile.TemporaryDirectory() as folder:
        problems = check(root, sim_exe, headless, env, folder)
    for problem in problems:
        print("FAILED", problem)
    print("reports read" if not problems else f"{len(problems)} problems")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
