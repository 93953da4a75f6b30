#!/usr/bin/env bash
# Builds the benchmark programs (bench/*) in the 64-bit build tree and runs each under Wine in that tree's
# prefix. Each prints the ratios it measured in its own run.
# Usage: scripts/bench.sh [build-dir]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/x86_64}

"$root/scripts/prepare.sh" "$build"
if [ ! -f "$build/build.ninja" ]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-x86_64-w64-mingw32.cmake" >/dev/null
fi

targets=$(cd "$root/bench" && for d in */; do [ -f "$d/CMakeLists.txt" ] && echo "bench_${d%/}"; done)
[ -n "$targets" ] || { echo "bench: no benchmarks"; exit 0; }
# shellcheck disable=SC2086
cmake --build "$build" -j "$(nproc)" --target $targets
status=0
for target in $targets; do
  echo "== $target"
  "$build/wine-run" "$build/bench/${target#bench_}/$target.exe" </dev/null || status=1
done
exit $status
