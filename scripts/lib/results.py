#!/usr/bin/env python3
"""Counts test results from the runners' XML reports: GoogleTest's (--gtest_output=xml) and
ctest's JUnit report (--output-junit). Prints "passed failed skipped" for all files together,
then, on stderr, one line per failed or skipped case. A file that is missing or unreadable
counts as one failure: a runner that died wrote none."""
import sys
import xml.etree.ElementTree as ET


def cases(path):
    root = ET.parse(path).getroot()
    for case in root.iter("testcase"):
        name = case.get("classname", "") + "." + case.get("name", "")
        if case.find("failure") is not None or case.find("error") is not None:
            yield name, "failed"
        elif (case.find("skipped") is not None or case.get("result") == "skipped"
              or case.get("status") in ("notrun", "disabled")):
            yield name, "skipped"
        else:
            yield name, "passed"


def main(paths):
    counts = {"passed": 0, "failed": 0, "skipped": 0}
    for path in paths:
        try:
            results = list(cases(path))
        except (OSError, ET.ParseError) as error:
            print(f"  no readable report {path}: {error}", file=sys.stderr)
            counts["failed"] += 1
            continue
        for name, result in results:
            counts[result] += 1
            if result != "passed":
                print(f"  {result}: {name} ({path})", file=sys.stderr)
    print(counts["passed"], counts["failed"], counts["skipped"])


if __name__ == "__main__":
    main(sys.argv[1:])
