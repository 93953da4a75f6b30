#!/usr/bin/env bash
# The demo: builds and registers VarnokP3 and drives it from our frame host.
# Installs what is missing first.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
build="$root/build/x86_64"
"$root/scripts/prepare.sh" "$build"
[ -f "$build/build.ninja" ] || cmake -S "$root" -B "$build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-x86_64-w64-mingw32.cmake" >/dev/null
cmake --build "$build" -j "$(nproc)" >/dev/null
if [ -f "$build/frame/framehost.exe" ]; then
  exec "$build/wine-run" "$build/frame/framehost.exe" demo
fi
"$build/wine-run" regsvr32 /s "$build/module/VarnokP3.dll"
echo "VarnokP3.dll built and registered in $build/wineprefix. Its exports:"
x86_64-w64-mingw32-objdump -p "$build/module/VarnokP3.dll" | sed -n '/Ordinal\/Name Pointer/,/^$/p' | sed 1d
