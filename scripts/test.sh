#!/usr/bin/env bash
# Sets everything up, builds, and runs the whole test suite.
#
#   scripts/test.sh [BUILD_DIR] [extra cmake arguments...]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-"$root/build"}
shift || true
# The HTML report is tested in a real browser.
export AUDKIT_EXTRA_PACKAGES="${AUDKIT_EXTRA_PACKAGES:-} chromium"
"$root/scripts/setup.sh" "$build" "$@"
# One recognition thread: Tesseract's extra threads only slow it down on small machines.
export OMP_THREAD_LIMIT=${OMP_THREAD_LIMIT:-1}
# Tests never send telemetry to the real analytics and usage hosts.
export DO_NOT_TRACK=1
ctest --test-dir "$build" --output-on-failure --parallel "$(nproc)" --timeout 600
