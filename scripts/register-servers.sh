#!/usr/bin/env bash
# Registers the COM servers a build tree has linked so far in the Wine prefix that WINEPREFIX names: for a
# prefix made after the tree was built, since the build registers each server only when it links it
# (registration is by path). The build lists its servers in com-servers.txt, in the order it declares them.
# Usage: WINEPREFIX=... scripts/register-servers.sh <build-dir>
set -euo pipefail
build=$(cd "${1:?usage: scripts/register-servers.sh <build-dir>}" && pwd)
: "${WINEPREFIX:?WINEPREFIX names the prefix to register in}"
[ -f "$build/com-servers.txt" ] || exit 0
while IFS= read -r dll; do
  if [ -n "$dll" ] && [ -f "$dll" ]; then wine regsvr32 /s "$dll" </dev/null >/dev/null 2>&1; fi
done <"$build/com-servers.txt"
