#!/usr/bin/env bash
# Sets everything up, builds, and runs the main job on the bundled example.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh" "$root/build"
"$root/build/audkit" inspect "$root/examples/sign-in"
