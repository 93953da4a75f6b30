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

# The two suites run side by side, each in its own prefix with its own wineserver (so neither takes the
# other's keyboard focus), and both run to the end even when one fails; the status tells whether either did.
logs=$(mktemp -d)
pids=()
for b in "${builds[@]}"; do
  (
    start=$SECONDS
    status=0
    ctest --test-dir "build/$b" --output-on-failure -j "$(( (jobs + 1) / 2 ))" >"$logs/$b.log" 2>&1 || status=1
    echo "== $b tests: $((SECONDS - start)) s" >>"$logs/$b.log"
    exit $status
  ) &
  pids+=($!)
done
status=0
failed=()
for i in "${!builds[@]}"; do
  wait "${pids[$i]}" || { status=1; failed+=("${builds[$i]}"); }
  echo "== tests under Wine, ${builds[$i]}"
  cat "$logs/${builds[$i]}.log"
done
rm -rf "$logs"
if [ "$status" -eq 0 ]; then
  echo "== every test of both builds (${builds[*]}) passed"
else
  echo "== tests failed in the ${failed[*]} build (see the lists above)"
fi
exit $status
