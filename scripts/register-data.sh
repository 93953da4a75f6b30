#!/usr/bin/env bash
# Points the DTM of a build tree at the translation and about files of this source tree: writes the data
# folder, as Wine reaches it (Z:), into the default value of HKLM "Software\Orvo\VarnokP3 DTM\Files" in the
# build tree's Wine prefix, for 64-bit and 32-bit processes alike. The DTM appends the backslash itself.
# Usage: scripts/register-data.sh <build-dir>   (the prefix must exist: run scripts/prepare.sh first)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:?usage: scripts/register-data.sh <build-dir>}" && pwd)
folder="Z:$(printf '%s' "$root/data" | tr '/' '\\')"

# The build's own runner once CMake has written it; before that the same environment by hand, with the
# prefix's architecture as scripts/prepare.sh passes it on.
run() {
  if [ -x "$build/wine-run" ]; then
    "$build/wine-run" "$@"
  else
    WINEPREFIX="$build/wineprefix" WINEARCH="${WINEARCH:-win64}" WINEDEBUG=-all \
      WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d" wine "$@"
  fi
}
for view in 64 32; do
  run reg add 'HKLM\Software\Orvo\VarnokP3 DTM\Files' /ve /d "$folder" /f /reg:$view </dev/null >/dev/null 2>&1
done
