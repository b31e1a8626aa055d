#!/usr/bin/env bash
# Sets everything up, builds, and runs the main job: a scan of a bundled example.
# The scan exits 1 when it finds failures, which is its normal answer here.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh" "$root/build"
status=0
"$root/build/audkit" scan "$root/examples/${1:-sign-in}" || status=$?
if ((status > 1)); then exit "$status"; fi
echo "audkit: scan completed ($([[ $status -eq 0 ]] && echo 'no failures' || echo 'failures found'))." >&2
