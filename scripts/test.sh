#!/usr/bin/env bash
# Builds VarnokP3 for 64-bit and 32-bit Windows and runs every test of both builds under Wine, each build in
# a prefix of its own (the 32-bit one a 32-bit prefix). Installs what is missing first; a second run with
# nothing changed rebuilds and reinstalls nothing.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
jobs=$(nproc)

# The builds and their Wine architectures.
builds=(x86_64 i686)
declare -A wine_arch=([x86_64]=win64 [i686]=win32)

for b in "${builds[@]}"; do
  "$root/scripts/prepare.sh" "build/$b" "${wine_arch[$b]}"
  if [ ! -f "build/$b/build.ninja" ]; then
    cmake -S "$root" -B "build/$b" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-$b-w64-mingw32.cmake" >/dev/null
  fi
done
for b in "${builds[@]}"; do
  echo "== build $b"
  start=$SECONDS
  cmake --build "build/$b" -j "$jobs"
  echo "== build $b: $((SECONDS - start)) s"
done

if [ -x "$root/scripts/native-tests.sh" ]; then
  echo "== native tests"
  "$root/scripts/native-tests.sh"
fi

# Both suites run even when the first fails; the status tells whether either did.
status=0
for b in "${builds[@]}"; do
  echo "== tests under Wine, $b"
  start=$SECONDS
  ctest --test-dir "build/$b" --output-on-failure -j "$jobs" || status=1
  echo "== $b tests: $((SECONDS - start)) s"
done
exit $status
