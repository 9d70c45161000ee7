"""Adds up ctest JUnit reports into the closing line: N passed, N failed[, N skipped]. A check
that did not run is listed with its reason first, and counted as skipped, never as passed."""
import sys
import xml.etree.ElementTree as ET

passed = failed = skipped = 0
not_run = []
for path in sys.argv[1:]:
    try:
        root = ET.parse(path).getroot()
    except (OSError, ET.ParseError):
        failed += 1
        print(f"missing or unreadable report: {path}")
        continue
    for case in root.iter("testcase"):
        status = case.get("status", "")
        skip = case.find("skipped")
        if case.find("failure") is not None or case.find("error") is not None or status == "fail":
            failed += 1
            print(f"FAILED: {case.get('name')}")
        elif skip is not None or status in ("notrun", "disabled"):
            skipped += 1
            reason = skip.get("message") if skip is not None else None
            not_run.append(f"{case.get('name')} ({reason or status})")
        else:
            passed += 1
for line in not_run:
    print(f"NOT RUN: {line}")
line = f"{passed} passed, {failed} failed"
if skipped:
    line += f", {skipped} skipped"
print(line)
sys.exit(1 if failed else 0)
