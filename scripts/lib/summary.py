"""Adds up ctest JUnit reports into the closing line: N passed, N failed[, N skipped]."""
import sys
import xml.etree.ElementTree as ET

passed = failed = skipped = 0
for path in sys.argv[1:]:
    try:
        root = ET.parse(path).getroot()
    except (OSError, ET.ParseError):
        failed += 1
        print(f"missing or unreadable report: {path}")
        continue
    for case in root.iter("testcase"):
        status = case.get("status", "")
        if case.find("failure") is not None or case.find("error") is not None or status == "fail":
            failed += 1
            print(f"FAILED: {case.get('name')}")
        elif case.find("skipped") is not None or status in ("notrun", "disabled"):
            skipped += 1
        else:
            passed += 1
line = f"{passed} passed, {failed} failed"
if skipped:
    line += f", {skipped} skipped"
print(line)
sys.exit(1 if failed else 0)
