#!/usr/bin/env python3
"""Adds up the JUnit-style XML files that the test runs wrote and prints 'N passed, M failed'.

A step that failed without writing a result of its own still counts as one failure, so a
crash before any XML is written can never pass for success.
"""
import pathlib
import sys
import xml.etree.ElementTree as ElementTree


def count(results_dir: pathlib.Path):
    passed = failed = skipped = 0
    for path in sorted(results_dir.rglob("*.xml")):
        try:
            root = ElementTree.parse(path).getroot()
        except ElementTree.ParseError:
            print(f"unreadable result file: {path}", file=sys.stderr)
            failed += 1
            continue
        for case in root.iter("testcase"):
            if case.find("failure") is not None or case.find("error") is not None:
                failed += 1
            elif case.find("skipped") is not None or case.get("result") == "skipped" \
                    or case.get("status") == "notrun":
                skipped += 1
            else:
                passed += 1
    return passed, failed, skipped


def main():
    results_dir = pathlib.Path(sys.argv[1])
    step_failures = int(sys.argv[2]) if len(sys.argv) > 2 else 0
    passed, failed, skipped = count(results_dir)
    # A failed step whose cases were all counted as passed (a crash after writing, a
    # non-zero exit) must still fail the run.
    if step_failures and failed == 0:
        failed = step_failures
    line = f"{passed} passed, {failed} failed"
    if skipped:
        line += f", {skipped} skipped"
    print(line)
    return 0 if failed == 0 and step_failures == 0 else 1


if __name__ == "__main__":
    sys.exit(main())
