#!/usr/bin/env bash
# The tests that scan on several threads at once (batches on two workers, two
# recognition engines sharing a screen, a text detector per worker) under
# ThreadSanitizer. Run after scripts/test.sh, which installs what they need.
#
#   scripts/tsan.sh [BUILD_DIR]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-"$root/build-tsan"}
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DAUDKIT_THREAD_SANITIZE=ON \
  -DAUDKIT_BUILD_BENCHMARKS=OFF -DAUDKIT_WERROR=ON >/dev/null
cmake --build "$build" --target test_platform test_tools
export TSAN_OPTIONS="halt_on_error=1:second_deadlock_stack=1:suppressions=$root/scripts/tsan-suppressions.txt"
export OMP_THREAD_LIMIT=1 DO_NOT_TRACK=1
"$build/tests/test_platform" --gtest_filter='TesseractRecognizer.*:LineDetector.*'
"$build/tests/test_tools" --gtest_filter='BatchScan.*:ExampleVerdicts.TheLineDetectorReadsThemAsWell'
