#!/usr/bin/env bash
# Builds VarnokP3 for 64-bit and 32-bit Windows and runs every test under Wine.
# Installs what is missing first; a second run with nothing changed rebuilds and reinstalls nothing.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
jobs=$(nproc)

"$root/scripts/prepare.sh" "$root/build/x86_64"

configure() { # <build-dir> <toolchain>
  if [ ! -f "$1/build.ninja" ]; then
    cmake -S "$root" -B "$1" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/$2" >/dev/null
  fi
}

configure build/x86_64 toolchain-x86_64-w64-mingw32.cmake
configure build/i686 toolchain-i686-w64-mingw32.cmake
echo "== build x86_64"
cmake --build build/x86_64 -j "$jobs"
echo "== build i686 (compile and link only)"
cmake --build build/i686 -j "$jobs"

if [ -x "$root/scripts/native-tests.sh" ]; then
  echo "== native tests"
  "$root/scripts/native-tests.sh"
fi

echo "== tests under Wine"
ctest --test-dir build/x86_64 --output-on-failure -j "$jobs"
