#!/usr/bin/env bash
# Builds the fuzz harnesses of tests/fuzz with clang's libFuzzer, AddressSanitizer
# and UndefinedBehaviorSanitizer (installing clang when it is missing), then runs
# each for SECONDS from its seed corpus. Fails on the first crash, leak, or
# undefined behaviour; the input that caused it is kept in BUILD_DIR/artifacts.
#
#   scripts/fuzz.sh [SECONDS] [BUILD_DIR]     (CI runs 30 seconds each; try 600 locally)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-30}
build=${2:-"$root/build-fuzz"}

# The library's packages and clang with its libFuzzer; nothing is configured here.
AUDKIT_SETUP_PACKAGES_ONLY=1 AUDKIT_EXTRA_PACKAGES="clang libclang-rt-dev" "$root/scripts/setup.sh"

CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DAUDKIT_FUZZERS=ON -DAUDKIT_WERROR=ON \
    -DAUDKIT_BUILD_TESTS=OFF -DAUDKIT_BUILD_BENCHMARKS=OFF -DAUDKIT_BUILD_SERVER=OFF >/dev/null
harnesses=(capture_bundle result_document png http_replies accessibility_dump command_inputs)
cmake --build "$build" --target "${harnesses[@]/#/fuzz_}"

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
mkdir -p "$build/artifacts"
for name in "${harnesses[@]}"; do
  # New inputs go to a scratch corpus, never into the repository's seeds.
  scratch="$build/corpus/$name"
  mkdir -p "$scratch"
  echo "audkit fuzz: fuzz_$name for ${seconds}s" >&2
  "$build/tests/fuzz/fuzz_$name" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=2560 -print_final_stats=1 \
      -artifact_prefix="$build/artifacts/$name-" "$scratch" "$root/tests/fuzz/corpus/$name" 2>&1 | tail -n 25
  [[ ${PIPESTATUS[0]} -eq 0 ]] || { echo "audkit fuzz: fuzz_$name failed" >&2; exit 1; }
done
