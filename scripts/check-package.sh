#!/usr/bin/env bash
# Builds and installs the library, static and shared, into a temporary prefix,
# then builds examples/consumer against each installed package twice (CMake
# find_package and pkg-config) and once with audkit as a subproject (which
# must need neither GoogleTest nor Google Benchmark), and runs every build on
# an example bundle.
#
#   scripts/check-package.sh [extra cmake arguments for the library...]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export OMP_THREAD_LIMIT=${OMP_THREAD_LIMIT:-1} DO_NOT_TRACK=1

# The consumer must exit 1 (the sign-in example has failures) and save the result.
run_consumer() {
    local program=$1 out=$2
    mkdir -p "$out"
    local status=0
    "$program" "$root/examples/sign-in" "$out" >"$out/stdout" || status=$?
    if [[ $status -ne 1 ]] || ! grep -q '^FAIL TouchTargetSize' "$out/stdout" || [[ ! -s "$out/result.json" ]]; then
        echo "check-package: $program exited $status" >&2
        cat "$out/stdout" >&2
        exit 1
    fi
}

for kind in static shared; do
    shared=OFF
    [[ $kind == shared ]] && shared=ON
    build="$root/build-package-$kind"
    prefix="$work/$kind"
    echo "== $kind library"
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=$shared \
        -DAUDKIT_BUILD_TESTS=OFF -DAUDKIT_BUILD_BENCHMARKS=OFF -DCMAKE_INSTALL_PREFIX="$prefix" "$@" >/dev/null
    cmake --build "$build"
    cmake --install "$build" >/dev/null
    libdir=$(find "$prefix" -name 'audkit.pc' -printf '%h\n' | head -n 1)/..

    # Only headers and package files are installed beside the library and tool.
    if find "$prefix" -name '*.cpp' | grep -q .; then
        echo "check-package: sources were installed" >&2
        exit 1
    fi
    [[ $("$prefix/bin/audkit" --version) == *"$(sed -n 's/^Version: //p' "$libdir/pkgconfig/audkit.pc")"* ]]

    echo "== $kind consumer with find_package"
    cmake -S "$root/examples/consumer" -B "$work/consumer-$kind" -G Ninja -DCMAKE_PREFIX_PATH="$prefix" >/dev/null
    cmake --build "$work/consumer-$kind"
    run_consumer "$work/consumer-$kind/consumer" "$work/out-cmake-$kind"

    echo "== $kind consumer with pkg-config"
    static=()
    [[ $kind == static ]] && static=(--static)
    export PKG_CONFIG_PATH="$libdir/pkgconfig"
    # shellcheck disable=SC2046
    c++ -o "$work/consumer-pc-$kind" "$root/examples/consumer/main.cpp" $(pkg-config --cflags audkit) \
        $(pkg-config "${static[@]}" --libs audkit)
    LD_LIBRARY_PATH="$libdir" run_consumer "$work/consumer-pc-$kind" "$work/out-pc-$kind"
done
echo "== consumer with audkit as a subproject"
cmake -S "$root/examples/consumer" -B "$root/build-package-subproject" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DAUDKIT_SOURCE="$root" "$@" >/dev/null
if grep -q -i -E '^(GTest|benchmark)_DIR:' "$root/build-package-subproject/CMakeCache.txt"; then
    echo "check-package: the subproject looked for the test or benchmark libraries" >&2
    exit 1
fi
cmake --build "$root/build-package-subproject" --target consumer
run_consumer "$root/build-package-subproject/consumer" "$work/out-subproject"
echo "check-package: static and shared packages and the subproject build and run consumers"
