#!/usr/bin/env bash
# Builds and runs the native (host compiler) unit tests of the portable code in
# build-native/. Idempotent: a second run only rebuilds what changed.
# Exit status: non-zero when configuring, building or any test fails.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$root/build-native"

need=()
command -v cmake >/dev/null || need+=(cmake)
command -v ninja >/dev/null || need+=(ninja-build)
command -v g++ >/dev/null || need+=(g++)
[ -f /usr/src/googletest/CMakeLists.txt ] || need+=(googletest)
if [ ${#need[@]} -gt 0 ]; then
    echo "native-tests: installing ${need[*]}"
    apt-get install -y --no-install-recommends "${need[@]}" >/dev/null
fi

if [ ! -f "$build/build.ninja" ]; then
    cmake -S "$root/tests/native" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug >/dev/null
fi
cmake --build "$build"
cd "$build"
ctest --output-on-failure -j "$(nproc)"
