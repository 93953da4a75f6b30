#!/usr/bin/env bash
# Pictures of the user interfaces that exist, for the README: framehost.exe opens each one for real under
# Xvfb with Wine's X11 driver, in a second Wine prefix beside the build tree's headless one (which keeps its
# null display driver), and ImageMagick's import takes the screen, trimmed to the window.
# Usage: scripts/screenshots.sh [build-dir] [output-dir]      (after a build of that tree)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build/x86_64}" && pwd)
out=${2:-$root/docs/screenshots}
mkdir -p "$out"
out=$(cd "$out" && pwd)

# Each user interface: the picture's name, what framehost.exe opens (a ProgID; ui:<function id> for a
# function of the DTM; page:<ProgID> for a property page hosted alone, online to the simulated flowmeter
# after an upload, as the parameterization window hosts it), and what the script does first (words joined
# by '|' stand for the script's lines).
shots=(
  "test-control QuelkUiTest.Control"
  "baseorvo VarnokP3.BaseOrvo text|1206|1;text|1208|26;click|1403"
  "measured-values ui:5"
  "diagnosis ui:4"
  "trend ui:8"
  "about ui:6 focus|1001;key|DOWN;wait|300"
  "srvlogin VarnokP3.SrvLogin text|6184|ozq"
  "page-p1-root page:VarnokP3.P1_Root"
  "page-p2-pbdevinfo page:VarnokP3.P2_PBDevInfo"
  "page-p3-pbdiagnosis page:VarnokP3.P3_PBDiagnosis"
  "page-p4-tbmassflow page:VarnokP3.P4_TBMassFlow"
  "page-tbextra page:VarnokP3.TBExtra"
  "page-q1-aifbflow page:VarnokP3.Q1_AIFBFlow"
  "page-q3-aifbtotal page:VarnokP3.Q3_AIFBTotal"
  "page-p5-tbtemp page:VarnokP3.P5_TBTemp"
  "page-p6-tbcal1 page:VarnokP3.P6_TBCal1"
  "page-p7-tbcal2 page:VarnokP3.P7_TBCal2"
  "page-p8-tbextts page:VarnokP3.P8_TBExtTS"
  "page-p9-tboutput page:VarnokP3.P9_TBOutPut"
  "page-q2-aifbtemp page:VarnokP3.Q2_AIFBTemp"
  "tree-frame-offline ui:1 wait|1500;focus|6001;key|DOWN;wait|500"
  "tree-frame-online ui:2 wait|8000;focus|6001;key|DOWN;key|DOWN;key|DOWN;wait|1000"
)

export WINEPREFIX="$build/wineprefix-x11"
export WINEARCH=win64
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

display=":$(( 90 + RANDOM % 9 ))"
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp </dev/null >/dev/null 2>&1 &
xvfb=$!
work=$(mktemp -d)
cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  kill "$xvfb" >/dev/null 2>&1 || true
  rm -rf "$work"
}
trap cleanup EXIT
export DISPLAY="$display"
sleep 1

"$root/scripts/x11-prefix.sh" "$build"

for shot in "${shots[@]}"; do
  read -r name control steps <<<"$shot"
  # The script says when the window is up (print-focus), and the picture is taken two seconds later.
  { [ -z "${steps:-}" ] || echo "$steps" | tr ';|' '\n ' | sed 's/ *$//;/^$/d'; printf 'print-focus\nwait 8000\nclose\n'; } \
    >"$work/script.txt"
  : >"$work/out.txt"
  verb=open
  case "$control" in
    page:*) verb=page control=${control#page:} ;;
    ui:*) verb=ui control=${control#ui:} ;;
  esac
  wine "$build/frame/framehost.exe" "$verb" "$control" "$(winepath -w "$work/script.txt")" </dev/null \
    >"$work/out.txt" 2>/dev/null &
  host=$!
  for _ in $(seq 1 120); do grep -q focus "$work/out.txt" && break; sleep 0.5; done
  sleep 2
  import -display "$display" -window root "$work/screen.png"
  wait "$host" || { echo "screenshots: framehost.exe could not open $control" >&2; exit 1; }
  # The desktop is black without a window manager: trimming leaves the window.
  convert "$work/screen.png" -trim +repage "$out/$name.png"
  echo "screenshots: $out/$name.png"
done

# The trend-chart stand-in in its test dialog, fed three pens: it paints itself into a bitmap file in the
# build tree's headless prefix, no X server needed.
"$build/wine-run" "$build/tests/standins/trendchart/trend_chart_picture.exe" "Z:$work/trend-chart.bmp" \
  </dev/null >/dev/null 2>&1 || { echo "screenshots: the trend chart's picture failed" >&2; exit 1; }
convert "$work/trend-chart.bmp" "$out/trend-chart-standin.png"
echo "screenshots: $out/trend-chart-standin.png"
