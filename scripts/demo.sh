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
# The configuration's and the build's output go to a log: the demo shows only how far the build is, and when
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
# A first build takes minutes (more on a busy machine): ninja's "[n/m]" steps in the log show how far it is,
# on a terminal in one line rewritten in place, otherwise in a line every 25 s. The watcher stops when the
# build ends, and by itself within a second once the demo is gone however it ended (a signal that reached the
# demo alone), so none is left behind.
watch_build() {
  local step said="" rewritten="" last=$SECONDS nap=""
  trap '[ -z "$nap" ] || kill "$nap" 2>/dev/null; [ -z "$rewritten" ] || echo; exit 0' TERM
  while kill -0 "$$" 2>/dev/null; do
    step=$(grep -o '^\[[0-9]*/[0-9]*\]' "$build_log" | tail -n 1 || true)
    if [ -n "$step" ]; then
      step=${step#[}
      step=${step%]}
      step=${step/\// of }
      if [ -t 1 ]; then
        [ "$step" = "$said" ] || printf '\rdemo: building, step %s\033[K' "$step"
        rewritten=1
      elif [ -z "$said" ] || [ $((SECONDS - last)) -ge 25 ]; then
        echo "demo: building, step $step"
        last=$SECONDS
      fi
      said=$step
    fi
    sleep 1 &
    nap=$!
    wait "$nap"
  done
}
watch_build &
watcher=$!
build_status=0
cmake --build "$build" -j "$(nproc)" >>"$build_log" 2>&1 || build_status=$?
kill "$watcher" 2>/dev/null || true
wait "$watcher" || true
[ "$build_status" -eq 0 ] || build_failed
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
