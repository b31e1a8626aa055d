#!/usr/bin/env bash
# Installs the Debian packages audkit needs (only the missing ones), then
# configures and builds. Safe to run again: a second run installs nothing and
# rebuilds only what changed.
#
#   scripts/setup.sh [BUILD_DIR] [extra cmake arguments...]
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-"$root/build"}
shift || true

packages=(
  build-essential cmake ninja-build pkg-config ccache
  zlib1g-dev nlohmann-json3-dev libcurl4-openssl-dev libspng-dev libturbojpeg0-dev
  libtesseract-dev libleptonica-dev tesseract-ocr tesseract-ocr-eng tesseract-ocr-jpn tesseract-ocr-chi-sim
  tesseract-ocr-deu libutf8proc-dev libcli11-dev libpugixml-dev
  libgtest-dev libgmock-dev libcpp-httplib-dev libbenchmark-dev openssl python3-jsonschema libxml2-utils python3-junitparser
)
# Other scripts add what only they need (the fuzz build: clang).
read -r -a extra <<<"${AUDKIT_EXTRA_PACKAGES:-}"
packages+=("${extra[@]}")

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$p")
done

if ((${#missing[@]})); then
  echo "audkit set-up: installing ${missing[*]}" >&2
  sudo=""
  [[ $(id -u) -eq 0 ]] || sudo=sudo
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# Other scripts only want the packages (the fuzz build configures its own).
[[ "${AUDKIT_SETUP_PACKAGES_ONLY:-0}" == 1 ]] && exit 0

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
cmake --build "$build"
