#!/usr/bin/env bash
# Builds and installs the library, static and shared, into a temporary prefix,
# then builds examples/consumer against each installed package with GCC and
# with clang (CMake find_package and pkg-config) and once with audkit as a
# subproject (which must need neither GoogleTest nor Google Benchmark), and
# runs every build on an example bundle.
#
#   scripts/check-package.sh [extra cmake arguments for the library...]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export OMP_THREAD_LIMIT=${OMP_THREAD_LIMIT:-1} DO_NOT_TRACK=1

# Consumers are built with GCC and with clang: the package names no compiler's
# own libraries.
AUDKIT_SETUP_PACKAGES_ONLY=1 AUDKIT_EXTRA_PACKAGES="clang" "$root/scripts/setup.sh"

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
        -DAUDKIT_BUILD_TESTS=OFF -DAUDKIT_BUILD_BENCHMARKS=OFF -DAUDKIT_BUILD_SERVER=OFF -DCMAKE_INSTALL_PREFIX="$prefix" "$@" >/dev/null
    cmake --build "$build"
    cmake --install "$build" >/dev/null
    libdir=$(find "$prefix" -name 'audkit.pc' -printf '%h\n' | head -n 1)/..

    # Only the public headers and package files are installed beside the library and tool.
    if find "$prefix" -name '*.cpp' | grep -q . || [[ -e "$prefix/include/audkit/platform/ink_image.hpp" ]]; then
        echo "check-package: sources or the library's own headers were installed" >&2
        exit 1
    fi
    # Every installed header compiles on its own.
    for header in $(cd "$prefix/include" && find audkit -name '*.hpp'); do
        echo "#include \"$header\"" | c++ -std=c++20 -fsyntax-only -I"$prefix/include" -x c++ - ||
            { echo "check-package: $header needs a header that is not installed" >&2; exit 1; }
    done
    [[ $("$prefix/bin/audkit" --version) == *"$(sed -n 's/^Version: //p' "$libdir/pkgconfig/audkit.pc")"* ]]

    for compiler in g++ clang++; do
        echo "== $kind consumer with find_package ($compiler)"
        cmake -S "$root/examples/consumer" -B "$work/consumer-$kind-$compiler" -G Ninja \
            -DCMAKE_CXX_COMPILER="$compiler" -DCMAKE_PREFIX_PATH="$prefix" >/dev/null
        cmake --build "$work/consumer-$kind-$compiler"
        run_consumer "$work/consumer-$kind-$compiler/consumer" "$work/out-cmake-$kind-$compiler"

        echo "== $kind consumer with pkg-config ($compiler)"
        static=()
        [[ $kind == static ]] && static=(--static)
        export PKG_CONFIG_PATH="$libdir/pkgconfig"
        # shellcheck disable=SC2046
        "$compiler" -o "$work/consumer-pc-$kind-$compiler" "$root/examples/consumer/main.cpp" \
            $(pkg-config --cflags audkit) $(pkg-config "${static[@]}" --libs audkit)
        LD_LIBRARY_PATH="$libdir" run_consumer "$work/consumer-pc-$kind-$compiler" "$work/out-pc-$kind-$compiler"
    done
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
