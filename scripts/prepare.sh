#!/usr/bin/env bash
# Prepares this machine for building and testing VarnokP3, and the Wine prefix of one build tree.
# Usage: scripts/prepare.sh [build-dir [win64|win32]]
#   win64 (the default) for the x86_64 build, win32 for the i686 build: each build tree has a prefix of its
#   own, and the i686 one is a 32-bit prefix.
# Idempotent: installs only missing Debian packages, creates the prefix only when it is absent or the
# installed Wine changed, and always leaves a persistent wineserver plus one warmed-up process behind.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/x86_64}
arch=${2:-win64}
case "$arch" in
  win64 | win32) ;;
  *) echo "prepare: unknown Wine architecture '$arch' (win64 or win32)" >&2; exit 2 ;;
esac
mkdir -p "$build"
build=$(cd "$build" && pwd)  # Wine wants an absolute prefix path

as_root=""
[ "$(id -u)" -eq 0 ] || as_root="sudo"

packages=(cmake ninja-build g++ clang libclang-rt-14-dev googletest
          g++-mingw-w64-x86-64 g++-mingw-w64-i686 mingw-w64-tools libwine-dev
          wine wine64 wine32:i386 fonts-wine xvfb imagemagick)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "prepare: installing ${missing[*]}"
  # wine32:i386 runs the 32-bit build; its packages exist only once i386 is a dpkg architecture, and the
  # package lists must be read again after adding it.
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $as_root dpkg --add-architecture i386
  fi
  export DEBIAN_FRONTEND=noninteractive
  $as_root apt-get update -qq
  $as_root apt-get install -y -qq "${missing[@]}" >/dev/null
fi

export WINEPREFIX="$build/wineprefix"
export WINEARCH=$arch
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

# A prefix made under other Wine packages stops working ("could not load kernel32.dll"), and one made before
# wine32 was installed cannot run 32-bit programs: rebuild it then. Packages are all in place by now.
fingerprint="$arch $(env -u WINEPREFIX wine --version 2>/dev/null) $(dpkg-query -W -f='${Version}' wine64 2>/dev/null) \
$(dpkg-query -W -f='${Version} ${Status}' wine32:i386 2>/dev/null || true)"
stamp="$WINEPREFIX/.varnok-prefix"
if [ ! -f "$stamp" ] || [ "$(cat "$stamp")" != "$fingerprint" ]; then
  echo "prepare: creating Wine prefix $WINEPREFIX"
  wineserver -k >/dev/null 2>&1 || true
  rm -rf "$WINEPREFIX"
  mkdir -p "$build"
  wine wineboot -i </dev/null >/dev/null 2>&1
  # Null display driver: dialogs, controls, timers and messages work without an X display.
  wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f </dev/null >/dev/null 2>&1
  wine reg add 'HKCU\Software\Wine' /v Version /d win10 /f </dev/null >/dev/null 2>&1
  # A tree built before keeps its DLLs, but the new prefix lacks their registrations.
  "$root/scripts/register-servers.sh" "$build"
  wineserver -w
  echo "$fingerprint" >"$stamp"
fi

# A persistent server and the prefix's services, started here with their output on /dev/null: the first
# test does not pay for starting them (and the build's wine-run keeps them off a test's output in any case).
# (-p answers 1 when a server for this prefix already runs; that is fine.)
wineserver -p </dev/null >/dev/null 2>&1 || true
wine cmd /c exit </dev/null >/dev/null 2>&1

# The DTM finds its translation and about files through the registry: point it at this source tree.
data_stamp="$WINEPREFIX/.varnok-data"
if [ -x "$root/scripts/register-data.sh" ] && [ "$(cat "$data_stamp" 2>/dev/null)" != "$root/data" ]; then
  "$root/scripts/register-data.sh" "$build"
  echo "$root/data" >"$data_stamp"
fi
