#!/usr/bin/env python3
"""Runs the HeadlessReport tests of TOOLS_TEST in a scratch folder and reads the reports they
leave there with Python's own parsers: each JUnit file is XML with one test case (a failure or
error element where the run did not pass), each JSON file is one object that json.tool accepts.
Usage: report_check.py TOOLS_TEST"""
import json
import os
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ElementTree


def main():
    with tempfile.TemporaryDirectory(prefix="headless_report_") as folder:
        return check(folder)


def check(folder):
    run = subprocess.run([os.path.abspath(sys.argv[1]), "--gtest_filter=HeadlessReport.*"], cwd=folder, capture_output=True,
                         text=True, timeout=60)
    if run.returncode != 0:
        sys.exit(f"the HeadlessReport tests failed:\n{run.stdout}")
    problems = []
    for name, outcome in (("failed", "failure"), ("passed", None), ("error", "error")):
        root = ElementTree.parse(os.path.join(folder, f"headless_report_{name}.xml")).getroot()
        cases = root.findall("./testsuite/testcase")
        if root.tag != "testsuites" or len(cases) != 1:
            problems.append(f"{name}.xml: not one test case in a suite")
            continue
        found = [child.tag for child in cases[0] if child.tag in ("failure", "error")]
        if found != ([outcome] if outcome else []):
            problems.append(f"{name}.xml: {found} where {outcome} was due")
        if outcome == "failure" and "cursor line 1 column 41" not in cases[0].find("failure").text:
            problems.append("failed.xml: the failure does not hold the screen")
    for name in ("failed", "error"):
        path = os.path.join(folder, f"headless_report_{name}.json")
        tool = subprocess.run([sys.executable, "-m", "json.tool", path], capture_output=True, text=True)
        if tool.returncode != 0:
            problems.append(f"{name}.json: json.tool refused it: {tool.stderr}")
            continue
        with open(path, encoding="ascii") as f:
            result = json.load(f)
        if result["result"] != name:
            problems.append(f"{name}.json: result {result['result']!r}")
    for p in problems:
        print(p)
    print("reports read" if not problems else f"{len(problems)} problems")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
