#!/usr/bin/env bash
# Checks that the demo tells why a build failed: it breaks one source file of the 64-bit build for a moment,
# runs the demo, and wants the compiler's error, the demo's own word that the build failed, and a non-zero
# exit. The file comes back as it was (its time stamp too, so nothing needs building again).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
victim="$root/values/Bytes.cpp"
marker="deliberately broken to check the demo's report"
saved=$(mktemp)
cp -p "$victim" "$saved"
trap 'cp -p "$saved" "$victim"; rm -f "$saved"' EXIT
printf '\n#error "%s"\n' "$marker" >>"$victim"

set +e
output=$("$root/scripts/demo.sh" </dev/null 2>&1)
status=$?
set -e
failed=0
[ "$status" -ne 0 ] || { echo "check-demo: the demo answered 0 for a failed build" >&2; failed=1; }
grep -q "error: #error \"$marker\"" <<<"$output" || { echo "check-demo: the compiler's error is missing" >&2; failed=1; }
grep -q '^demo: the build failed' <<<"$output" || { echo "check-demo: the demo did not say the build failed" >&2; failed=1; }
if [ "$failed" -ne 0 ]; then
  echo "check-demo: the demo printed:" >&2
  echo "$output" >&2
  exit 1
fi
echo "check-demo: a failed build shows its error and ends the demo with status $status"
