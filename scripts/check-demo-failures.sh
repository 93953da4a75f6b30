#!/usr/bin/env bash
# Checks that the demo tells why a build failed, as a new user meets it, in a copy of the source tree (the
# tracked files as they stand here); this tree is never touched, however the check ends:
#   1. a CMake error in a fresh tree (the configuration the demo runs first),
#   2. a CMake error in a configured tree (the configuration ninja runs again),
#   3. a compiler error.
# Each time it wants the tool's own error, the demo's word that the build failed, and a non-zero exit.
# Then scripts/test.sh in the same copy, with the 32-bit configuration and the native tests' configuration
# broken as well: it must still build the 64-bit tree, show the compiler's error, exit non-zero and end with
# its own verdict naming all three failures (not with ninja's or CMake's last line). Failing this early costs
# seconds, where a test of a whole build and suite would take many minutes.
# Each run is bounded (DEMO_CHECK_LIMIT seconds, 600 by default). A signal ends the runs' processes, the copy's
# Wine servers and the copy itself.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
limit=${DEMO_CHECK_LIMIT:-600}
copy=$(mktemp -d "${TMPDIR:-/tmp}/varnok-demo-check.XXXXXX")
build="$copy/build/x86_64"
run_pid=""

cleanup() {
  if [ -n "$run_pid" ]; then
    kill -TERM "$run_pid" 2>/dev/null || true  # timeout passes it on to the script's whole process group
    wait "$run_pid" 2>/dev/null || true
  fi
  local prefix
  for prefix in "$copy"/build/*/wineprefix*; do
    [ ! -d "$prefix" ] || WINEPREFIX="$prefix" wineserver -k >/dev/null 2>&1 || true
  done
  rm -rf "$copy"
}
trap cleanup EXIT
trap 'exit 129' HUP
trap 'exit 130' INT
trap 'exit 143' TERM

git -C "$root" ls-files -z | tar -C "$root" --null -T - -cf - | tar -C "$copy" -xf -

# Runs a script of the copy in the background (so that a signal is taken at once) and keeps its output.
run_in_copy() {
  timeout --kill-after=10 "$limit" "$copy/scripts/$1" </dev/null >"$copy/run.out" 2>&1 &
  run_pid=$!
  local status=0
  wait "$run_pid" || status=$?
  run_pid=""
  return "$status"
}

failures=0
# Runs the demo and wants `expected` (a fixed string) in its output, its report and a non-zero exit.
expect_failure() {
  local case=$1 expected=$2 status=0
  run_in_copy demo.sh || status=$?
  local failed=0
  [ "$status" -ne 124 ] || { echo "check-demo ($case): the demo took longer than $limit s" >&2; failed=1; }
  [ "$status" -ne 0 ] || { echo "check-demo ($case): the demo answered 0 for a failed build" >&2; failed=1; }
  grep -qF -- "$expected" "$copy/run.out" || { echo "check-demo ($case): '$expected' is missing" >&2; failed=1; }
  grep -q '^demo: the build failed' "$copy/run.out" ||
    { echo "check-demo ($case): the demo did not say the build failed" >&2; failed=1; }
  if [ "$failed" -ne 0 ]; then
    echo "check-demo ($case): the demo printed:" >&2
    cat "$copy/run.out" >&2
    failures=$((failures + 1))
  else
    echo "check-demo: $case shows its error and ends the demo with status $status"
  fi
}

cmake_typo="varnok_deliberately_unknown_command()"
cmake_error="Unknown CMake command \"varnok_deliberately_unknown_command\""
compile_marker="deliberately broken to check the demo's report"

printf '\n%s\n' "$cmake_typo" >>"$copy/CMakeLists.txt"
expect_failure "a CMake error in a fresh tree" "$cmake_error"

cp "$root/CMakeLists.txt" "$copy/CMakeLists.txt"
cmake -S "$copy" -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$copy/cmake/toolchain-x86_64-w64-mingw32.cmake" \
    >"$copy/configure.out" 2>&1 || { cat "$copy/configure.out" >&2; echo "check-demo: the copy does not configure" >&2; exit 1; }
printf '\n%s\n' "$cmake_typo" >>"$copy/CMakeLists.txt"
expect_failure "a CMake error in a configured tree" "$cmake_error"

cp "$root/CMakeLists.txt" "$copy/CMakeLists.txt"
# A header every part includes: the first files compiled fail.
printf '\n#error "%s"\n' "$compile_marker" >>"$copy/classlib/HResult.h"
expect_failure "a compiler error" "error: #error \"$compile_marker\""

printf '\n%s\n' "$cmake_typo" >>"$copy/cmake/toolchain-i686-w64-mingw32.cmake"
printf '\n%s\n' "$cmake_typo" >>"$copy/tests/native/CMakeLists.txt"
verdict="== failed: the configuration of i686; the build of x86_64; the native tests"
status=0
run_in_copy test.sh || status=$?
last=$(tail -n 1 "$copy/run.out")
if [ "$status" -eq 0 ] || [ "$status" -eq 124 ] || [ "$last" != "$verdict" ] ||
    ! grep -qF -- "error: #error \"$compile_marker\"" "$copy/run.out"; then
  echo "check-demo (test.sh): wanted the compiler's error and '$verdict' last with a non-zero status;" \
    "status $status, test.sh printed:" >&2
  cat "$copy/run.out" >&2
  failures=$((failures + 1))
else
  echo "check-demo: test.sh names what failed in its last line and ends with status $status"
fi

exit $((failures != 0))
