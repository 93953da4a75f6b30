#!/usr/bin/env bash
# Builds the benchmark programs (bench/*) in a build tree (the 64-bit one by default) and runs each under Wine
# in that tree's prefix. Each prints the ratios it measured in its own run.
# Usage: scripts/bench.sh [build-dir]   (a tree named i686, or configured with the i686 toolchain, is the
#        32-bit build with its 32-bit prefix)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/x86_64}

# The tree's own bitness: preparing a 32-bit tree's prefix as a 64-bit one would make it anew, empty.
cpu=x86_64 arch=win64
if grep -qs 'toolchain-i686' "$build/CMakeCache.txt" || [ "$(basename "$build")" = i686 ]; then
  cpu=i686 arch=win32
fi
"$root/scripts/prepare.sh" "$build" "$arch"
if [ ! -f "$build/build.ninja" ]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-$cpu-w64-mingw32.cmake" >/dev/null
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
