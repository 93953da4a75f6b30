#!/usr/bin/env bash
# Prepares the second Wine prefix of a build tree, "wineprefix-x11", for windows on a real X display (the
# build's own prefix keeps Wine's null display driver): created once, and the build's COM servers registered
# in it every time (registration is by path), with the DTM pointed at this source tree's translation and about
# files as in the build's own prefix. Needs DISPLAY set. Usage: scripts/x11-prefix.sh <build-dir>
set -euo pipefail
build=$(cd "$1" && pwd)
export WINEPREFIX="$build/wineprefix-x11"
export WINEARCH=win64
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
if [ ! -f "$WINEPREFIX/.varnok-x11" ]; then
  echo "creating Wine prefix $WINEPREFIX (X11 driver)"
  wine wineboot -i </dev/null >/dev/null 2>&1
  wine reg add 'HKCU\Software\Wine' /v Version /d win10 /f </dev/null >/dev/null 2>&1
  wineserver -w
  touch "$WINEPREFIX/.varnok-x11"
fi
"$(dirname "$0")/register-servers.sh" "$build"
folder="Z:$(cd "$(dirname "$0")/.." && pwd | tr '/' '\\')\\data"
for view in 64 32; do
  wine reg add 'HKLM\Software\Orvo\VarnokP3 DTM\Files' /ve /d "$folder" /f /reg:$view </dev/null >/dev/null 2>&1
done
