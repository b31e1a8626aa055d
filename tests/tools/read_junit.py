#!/usr/bin/env python3
"""Reads a JUnit XML report with a real consumer (python3-junitparser) and
prints what it understood as JSON: per suite its counts, per case its class,
name, result kind and message, and its properties."""
import json
import sys

from junitparser import JUnitXml

report = {"suites": {}, "cases": []}
for suite in JUnitXml.fromfile(sys.argv[1]):
    report["suites"][suite.name] = {"tests": suite.tests, "failures": suite.failures, "skipped": suite.skipped}
    for case in suite:
        kinds = [type(outcome).__name__ for outcome in case.result]
        report["cases"].append({
            "suite": suite.name,
            "classname": case.classname,
            "name": case.name,
            "result": kinds[0] if kinds else "Passed",
            "message": case.result[0].message if case.result else None,
            # junitparser reads properties of suites only; a case's are read from its element.
            "properties": {p.get("name"): p.get("value") for p in case._elem.iterfind("properties/property")},
        })
print(json.dumps(report))
