#!/usr/bin/env bash
# Registers the COM servers a build tree has linked so far (the MSXML stand-in, the DTM and the user-interface
# test server) in the Wine prefix that WINEPREFIX names: for a prefix made after the tree was built, since the
# build registers each server only when it links it (registration is by path).
# Usage: WINEPREFIX=... scripts/register-servers.sh <build-dir>
set -euo pipefail
build=$(cd "${1:?usage: scripts/register-servers.sh <build-dir>}" && pwd)
: "${WINEPREFIX:?WINEPREFIX names the prefix to register in}"
for dll in "$build/standins/msxml/msxml_standin.dll" "$build/module/VarnokP3.dll" \
           "$build/tests/classlib/ui_test_server.dll"; do
  if [ -f "$dll" ]; then wine regsvr32 /s "$dll" </dev/null >/dev/null 2>&1; fi
done
