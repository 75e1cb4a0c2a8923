#!/usr/bin/env python3
"""The test runner's self-test: checks what brevanto-test-runner reported of the fake driver
(tests/runner/fake_driver.cpp, run with --strict --watchdog 3 and fake_allowances.txt) against
what each fake test does, and writes the checks as a JUnit report for scripts/test."""
import argparse
import os
import sys
import xml.etree.ElementTree as ET
from xml.sax.saxutils import quoteattr, escape

# Each fake test: the outcome the runner must report, and a text its message must hold.
FAKE_TESTS = [
    ("Passes", "passed", None),
    ("Fails", "failed", "fake_driver.cpp:1: Failure"),
    ("SkipsWithACategory", "skipped", "not-applicable: the fake has nothing to apply"),
    ("SkipsWithoutACategory", "failed", "strict run: the skip names no category"),
    ("TakesAListedAllowance", "passed", None),
    ("TakesAnUnlistedAllowance", "failed",
     "an allowance the list of allowances expected under Wine does not hold"),
    ("Crashes", "failed",
     "the driver ended with status 3221225477 (0xC0000005) while this test ran"),
    ("PassesAfterTheCrash", "passed", None),
    ("Hangs", "failed", "no result within 3 s: the runner ended the driver"),
    ("PassesAfterTheHang", "passed", None),
    ("EndsTheDriverWhileRunning", "failed",
     "the driver ended with status 3 (0x00000003) while this test ran"),
    ("PassesAfterTheEnd", "passed", None),
    ("NeverReports", "failed", "never reported a result: the driver ended with status 0"),
]


def reported(junit):
    cases = {}
    for case in ET.parse(junit).getroot().iter("testcase"):
        name = case.get("classname", "") + "." + case.get("name", "")
        failure = case.find("failure")
        skipped = case.find("skipped")
        if failure is not None:
            cases[name] = ("failed", (failure.get("message") or "") + "\n" + (failure.text or ""))
        elif skipped is not None:
            cases[name] = ("skipped", skipped.get("message") or "")
        else:
            cases[name] = ("passed", "")
    return cases


def checks(args):
    output = open(args.output, encoding="utf-8", errors="replace").read().splitlines()
    try:
        cases = reported(args.junit)
    except (OSError, ET.ParseError) as error:
        cases = {}
        yield "WritesItsJunitReport", f"no readable JUnit report: {error}"
    for test, outcome, text in FAKE_TESTS:
        seen = cases.get("x64.Fake." + test)
        if seen is None:
            problem = "not in the JUnit report as x64.Fake." + test
        elif seen[0] != outcome:
            problem = f"reported {seen[0]}, expected {outcome}: {seen[1]}"
        elif text and text not in seen[1]:
            problem = f"its message lacks {text!r}: {seen[1]}"
        else:
            problem = None
        yield f"Counts{test}As{outcome.capitalize()}", problem
    last = output[-1] if output else ""
    yield "EndsWithTheCounts", (None if last == "5 passed, 7 failed, 1 skipped"
                                else f"last line {last!r}")
    yield "ExitsWithOneWhenATestFailed", (None if args.status == 1 else f"exit status {args.status}")
    yield "PrintsTheFactsFirst", (None if len(output) > 2 and output[1].startswith("  System")
                                  else f"begins {output[:2]!r}")
    listed = "Listed allowance not taken (line 3): Fake.Passes\ta listed allowance it does not take"
    yield "NamesAListedAllowanceNoTestTook", (None if any(line.strip() == listed for line in output)
                                              else "no line " + repr(listed))
    evidence = sorted(os.listdir(args.evidence)) if os.path.isdir(args.evidence) else []
    failing = ["x64-Fake.Crashes", "x64-Fake.EndsTheDriverWhileRunning", "x64-Fake.Fails",
               "x64-Fake.Hangs"]
    yield "KeepsEvidenceOfTheTestsThatFailedInTheDriver", (None if evidence == failing
                                                          else f"evidence of {evidence}")
    dropped = os.path.join(args.evidence, "x64-Fake.Fails", "journal-failed.txt")
    yield "KeepsWhatAFailingTestLeftBehind", (None if os.path.isfile(dropped)
                                              else f"no {dropped}")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--status", type=int, required=True)
    parser.add_argument("--output", required=True)
    parser.add_argument("--junit", required=True)
    parser.add_argument("--evidence", required=True)
    parser.add_argument("--report", required=True)
    args = parser.parse_args()
    results = list(checks(args))
    with open(args.report, "w", encoding="utf-8") as report:
        report.write('<?xml version="1.0" encoding="UTF-8"?>\n<testsuites>\n'
                     f'<testsuite name="RunnerSelfTest" tests="{len(results)}">\n')
        for name, problem in results:
            report.write(f'<testcase classname="RunnerSelfTest" name={quoteattr(name)}>')
            if problem:
                report.write(f"<failure message={quoteattr(problem)}>{escape(problem)}</failure>")
                print(f"RunnerSelfTest.{name}: {problem}", file=sys.stderr)
            report.write("</testcase>\n")
        report.write("</testsuite>\n</testsuites>\n")


if __name__ == "__main__":
    main()
