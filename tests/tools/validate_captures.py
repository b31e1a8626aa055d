#!/usr/bin/env python3
"""Validates capture documents against docs/capture.schema.json with a real
JSON Schema validator (python3-jsonschema): every example bundle (and its
after-change snapshot), and every dump of ../shared/real-screens imported with
the audkit binary. Exit 1 naming each document that does not validate.

    validate_captures.py SOURCE_DIR AUDKIT_BINARY
"""
import json
import pathlib
import subprocess
import sys
import tempfile

import jsonschema

source, audkit = pathlib.Path(sys.argv[1]), sys.argv[2]
schema = json.loads((source / "docs" / "capture.schema.json").read_text())
jsonschema.Draft202012Validator.check_schema(schema)
full = jsonschema.Draft202012Validator(schema)
snapshot = jsonschema.Draft202012Validator({"$defs": schema["$defs"], "$ref": "#/$defs/snapshot"})

problems, checked = [], 0


def check(validator, path):
    global checked
    checked += 1
    for error in validator.iter_errors(json.loads(path.read_text())):
        problems.append(f"{path}: {'/'.join(map(str, error.absolute_path))}: {error.message}")


for capture in sorted(source.glob("examples/*/capture.json")):
    check(full, capture)
    settings = json.loads(capture.read_text()).get("settings") or {}
    if settings.get("afterLargerText"):
        check(snapshot, capture.parent / settings["afterLargerText"])

# A document that breaks the schema must be caught, or the check proves nothing.
broken = json.loads((source / "examples" / "sign-in" / "capture.json").read_text())
next(iter(broken["elements"].values()))["attributes"]["XC_kAXXCAttributeIsVisble"] = 1
if not list(full.iter_errors(broken)):
    problems.append("a misspelt attribute key passed the schema")

real = source.parent / "shared" / "real-screens"
with tempfile.TemporaryDirectory() as out:
    for dump in sorted(list(real.glob("*/*.xml")) + list(real.glob("*/*.txt"))):
        bundle = pathlib.Path(out) / dump.stem
        command = [audkit, "import", str(dump), "--output", str(bundle)]
        if dump.with_suffix(".png").exists():
            command += ["--screenshot", str(dump.with_suffix(".png"))]
        run = subprocess.run(command, capture_output=True, text=True)
        if run.returncode != 0:
            problems.append(f"{dump}: import failed: {run.stderr.strip()}")
            continue
        check(full, bundle / "capture.json")

print(f"{checked} capture documents checked against the schema")
for problem in problems:
    print(problem, file=sys.stderr)
sys.exit(1 if problems else 0)
