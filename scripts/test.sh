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

# The SARIF validator the tests run: Microsoft's SARIF multitool from npm, at a
# pinned version whose checksum is checked, fetched once.
tools=${AUDKIT_TEST_TOOLS:-/usr/local/share/audkit/test-tools}
export AUDKIT_SARIF_MULTITOOL="$tools/sarif-multitool/Sarif.Multitool"
if [[ ! -x "$AUDKIT_SARIF_MULTITOOL" ]]; then
  echo "audkit tests: fetching the SARIF validator into $tools" >&2
  sudo=""
  [[ $(id -u) -eq 0 ]] || sudo=sudo
  command -v npm >/dev/null ||
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends npm >/dev/null
  fetched=$(mktemp -d)
  trap 'rm -rf "$fetched"' EXIT
  (cd "$fetched" && npm pack --silent @microsoft/sarif-multitool-linux@5.7.0 >/dev/null)
  echo "27d8e3e96dde578a23b7c45035b8d741fece5731e2700aa068015b8c44d1514e  $fetched/microsoft-sarif-multitool-linux-5.7.0.tgz" |
    sha256sum --check --quiet
  tar -xzf "$fetched/microsoft-sarif-multitool-linux-5.7.0.tgz" -C "$fetched"
  chmod +x "$fetched/package/Sarif.Multitool"
  $sudo mkdir -p "$tools"
  # Copied beside, then renamed: an interrupted fetch leaves no half tool.
  $sudo rm -rf "$tools/.sarif-multitool.part" "$tools/sarif-multitool"
  $sudo cp -r "$fetched/package" "$tools/.sarif-multitool.part"
  $sudo mv "$tools/.sarif-multitool.part" "$tools/sarif-multitool"
fi
# One recognition thread: Tesseract's extra threads only slow it down on small machines.
export OMP_THREAD_LIMIT=${OMP_THREAD_LIMIT:-1}
# Tests never send telemetry to the real analytics and usage hosts.
export DO_NOT_TRACK=1
ctest --test-dir "$build" --output-on-failure --parallel "$(nproc)" --timeout 600
