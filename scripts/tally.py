#!/usr/bin/env python3
"""Sums the test results of every tree into one line: N passed, N failed.

Each tree's folder holds the GoogleTest XML of its test programs and ctest's
JUnit file. A program that failed without writing failures (a crash, a hang
killed by the timeout) counts as one failed test."""
import os
import sys
import xml.etree.ElementTree as ET



def parse(path):
    """The XML of a file whose test output may hold bytes of code page 932,
    which are no UTF-8: read with those bytes replaced, never refused."""
    with open(path, "rb") as f:
        text = f.read().decode("utf-8", errors="replace")
    text = text.replace("\x00", "")
    try:
        return ET.fromstring(text)
    except ET.ParseError:
        return None


passed = failed = skipped = 0
failures = []
for tree in sorted(os.listdir(sys.argv[1])):
    folder = os.path.join(sys.argv[1], tree)
    gtest_failed = {}
    for name in sorted(os.listdir(folder)):
        if not name.endswith(".xml") or name == "ctest.xml":
            continue
        program = name[:-4]
        root = parse(os.path.join(folder, name))
        if root is None:
            continue
        count = 0
        for case in root.iter("testcase"):
            if case.find("failure") is not None:
                failed += 1
                count += 1
                failures.append(f"{tree}: {case.get('classname')}.{case.get('name')}")
            elif case.get("result") == "skipped" or case.get("status") == "notrun" or case.find("skipped") is not None:
                skipped += 1
            else:
                passed += 1
        gtest_failed[program] = count
    junit = os.path.join(folder, "ctest.xml")
    junit_root = parse(junit) if os.path.exists(junit) else None
    if os.path.exists(junit) and junit_root is None:
        failed += 1
        failures.append(f"{tree}: ctest's results could not be read")
    if junit_root is not None:
        for case in junit_root.iter("testcase"):
            program = case.get("name").split(".", 1)[-1]
            if case.get("status") == "fail" or case.find("failure") is not None:
                if gtest_failed.get(program, 0) == 0:
                    failed += 1
                    failures.append(f"{tree}: {case.get('name')} ended without reporting its failures")
            elif program not in gtest_failed and case.get("status") == "run":
                # A program without test cases of its own (a fuzz target over its corpus).
                passed += 1

for line in failures:
    print("FAILED", line)
if skipped:
    print(f"({skipped} skipped)")
print(f"{passed} passed, {failed} failed")
sys.exit(1 if failed else 0)
