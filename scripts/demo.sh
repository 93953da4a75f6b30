#!/usr/bin/env bash
# The demo: builds and registers VarnokP3 and drives it from our frame host.
# Installs what is missing first.
#   scripts/demo.sh        the frame's conversation with the DTM, step by step, on the console
#   scripts/demo.sh --ui   opens the parameterization window for real on the desktop ($DISPLAY), through
#                          the DTM's function 1, in a Wine prefix with the X11 driver
set -euo pipefail
mode=${1:-}
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
build="$root/build/x86_64"
"$root/scripts/prepare.sh" "$build"
# The configuration's and the build's output go to a log: the demo stays quiet while it builds, and when
# either fails it shows CMake's errors and the failed steps (the compiler's and the linker's errors), from the
# first of them on, wherever they stand in the log.
echo "demo: building VarnokP3 in $build (a first build takes a few minutes)"
build_log="$build/demo-build.log"
: >"$build_log"
build_failed() {
  local first
  first=$(grep -n -m1 -E '^(CMake Error|FAILED: )' "$build_log" | cut -d: -f1 || true)
  if [ -n "$first" ]; then
    tail -n "+$first" "$build_log" >&2
  else
    tail -n 40 "$build_log" >&2
  fi
  echo "demo: the build failed (its whole output is in $build_log)" >&2
  exit 1
}
if [ ! -f "$build/build.ninja" ]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-x86_64-w64-mingw32.cmake" \
      >>"$build_log" 2>&1 || build_failed
fi
cmake --build "$build" -j "$(nproc)" >>"$build_log" 2>&1 || build_failed
if [ "$mode" = "--ui" ]; then
  [ -n "${DISPLAY:-}" ] || { echo "demo: --ui needs a desktop (DISPLAY)" >&2; exit 2; }
  "$root/scripts/x11-prefix.sh" "$build"
  WINEPREFIX="$build/wineprefix-x11" WINEDEBUG=-all exec wine "$build/frame/framehost.exe" ui 1
fi
if [ -f "$build/frame/framehost.exe" ]; then
  exec "$build/wine-run" "$build/frame/framehost.exe" demo
fi
"$build/wine-run" regsvr32 /s "$build/module/VarnokP3.dll"
echo "VarnokP3.dll built and registered in $build/wineprefix. Its exports:"
x86_64-w64-mingw32-objdump -p "$build/module/VarnokP3.dll" | sed -n '/Ordinal\/Name Pointer/,/^$/p' | sed 1d
