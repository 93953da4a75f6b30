#!/usr/bin/env bash
# Checks that ctest times a Wine test by its own program, in each built tree given (both by default):
# a test program that starts its prefix's desktop must be reported when it ends, while another windowed
# program (Wine's notepad) keeps that desktop in use, and the desktop must not have a pipe or a socket as its
# output. A Wine process that outlives a test and keeps the test's output pipe makes ctest charge the test
# until that process ends, which in a suite can be minutes.
# Takes about 5 s a tree (25 s where the test is held). Leaves the prefix's persistent wineserver and services running, as the suites do.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
test=test_values  # a windowed test program of under a second alone
program_in_tree=tests/values/$test.exe
hold=20           # seconds the other program keeps the desktop in use, at most
limit=8           # seconds within which ctest must report the test
work=$(mktemp -d "${TMPDIR:-/tmp}/varnok-wine-output.XXXXXX")
pids=()
cleanup() {
  local pid
  for pid in "${pids[@]}"; do kill -TERM "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 129' HUP
trap 'exit 130' INT
trap 'exit 143' TERM

# The desktop process of a prefix (explorer.exe /desktop, with the prefix in its environment), if it runs.
desktop_of() {
  local pid
  for pid in $(pgrep -f 'explorer\.exe /desktop' || true); do
    if tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qxF "WINEPREFIX=$1"; then
      echo "$pid"
      return
    fi
  done
}

running() { [ -r "/proc/$1/status" ] && ! grep -q '^State:[[:space:]]*Z' "/proc/$1/status"; }

# A program's output, its standard error and its status reach the reader as they left the program, also
# when the output is a pipe (the way the runner relays it then): apart, or as one stream in the order the
# program wrote them. Lines written in turns to both streams show a lost order in most runs; eight runs.
check_relay() {
  local name status=0 out err expected="" lines="" i
  name=$(basename "$1")
  out=$("$1/wine-run" cmd /c "echo out& echo err 1>&2& exit 7" 2>"$work/$name.err") || status=$?
  # cmd ends its lines with CR LF, and its echo keeps the blank before a redirection.
  err=$(tr -d '\r' <"$work/$name.err" | sed 's/ *$//')
  out=$(printf '%s' "$out" | tr -d '\r' | sed 's/ *$//')
  if [ "$status" -ne 7 ] || [ "$out" != out ] || [ "$err" != err ]; then
    echo "check-wine-output ($name): a program that printed 'out', 'err' to its standard error and ended" \
      "with 7 gave status $status, output '$out', standard error '$err'" >&2
    return 1
  fi
  for i in $(seq 1 20); do
    lines+="echo $i& echo -$i 1>&2& "
    expected+="$i -$i "
  done
  for i in $(seq 1 8); do
    out=$("$1/wine-run" cmd /c "${lines%& }" 2>&1 | tr -d '\r ' | tr '\n' ' ')
    if [ "$out" != "$expected" ]; then
      echo "check-wine-output ($name): lines written in turns to output and standard error came as '$out'" >&2
      return 1
    fi
  done
}

# Checks one build tree; prints what it saw and answers non-zero on a failure, 2 where notepad did not join
# the test's desktop in time, so that nothing was checked.
check_tree() {
  local build name prefix program dir
  name=$(basename "$1")
  build=$(cd "$1" && pwd)
  prefix="$build/wineprefix"
  program="$build/$program_in_tree"
  dir="$work/$name"
  # The test must be the program that starts the desktop: wait for the last one to close.
  local waited=0
  while [ -n "$(desktop_of "$prefix")" ]; do
    if [ "$waited" -ge 60 ]; then
      echo "check-wine-output ($name): the prefix's desktop is still in use after 60 s" >&2
      return 1
    fi
    sleep 1
    waited=$((waited + 1))
  done

  # ctest as it runs the suites: through the build tree's wine-run, reading the test's output.
  mkdir -p "$dir"
  printf 'add_test(%s "%s" "%s" "--gtest_brief=1")\n' "$test" "$build/wine-run" "$program" >"$dir/CTestTestfile.cmake"
  ctest --test-dir "$dir" --output-on-failure >"$dir/ctest.log" 2>&1 &
  local suite=$!
  pids+=("$suite")

  local desktop="" tries=0
  while [ -z "$desktop" ] && [ "$tries" -lt 300 ] && kill -0 "$suite" 2>/dev/null; do
    sleep 0.05
    tries=$((tries + 1))
    desktop=$(desktop_of "$prefix")
  done
  if [ -z "$desktop" ]; then
    wait "$suite" || true
    echo "check-wine-output ($name): $test started no desktop, so nothing was checked; ctest printed:" >&2
    cat "$dir/ctest.log" >&2
    return 1
  fi
  local outputs
  outputs="$(readlink "/proc/$desktop/fd/1" || echo closed) and $(readlink "/proc/$desktop/fd/2" || echo closed)"
  "$build/wine-run" notepad </dev/null >/dev/null 2>&1 &
  local holder=$!
  pids+=("$holder")
  local start=$SECONDS
  while kill -0 "$suite" 2>/dev/null && [ $((SECONDS - start)) -lt "$hold" ]; do sleep 0.2; done
  # A desktop nobody uses closes within a second or two: still there now, it was notepad's all along.
  sleep 3
  local kept=0
  ! running "$desktop" || kept=1
  kill -TERM "$holder" 2>/dev/null || true
  local suite_status=0
  wait "$suite" || suite_status=$?
  wait "$holder" 2>/dev/null || true
  if [ "$kept" -eq 0 ]; then
    echo "check-wine-output ($name): the desktop closed before notepad used it" >&2
    return 2
  fi

  local reported
  reported=$(sed -n -E "s/.*Test +#1: $test .* ([0-9.]+) sec.*/\\1/p" "$dir/ctest.log")
  echo "check-wine-output ($name): $test started the desktop, whose output is $outputs;" \
    "ctest reported it after ${reported:-?} s while notepad kept the desktop in use"
  local failed=0
  if [[ $outputs == *pipe:* || $outputs == *socket:* ]]; then
    echo "check-wine-output ($name): the desktop holds the test's output pipe" >&2
    failed=1
  fi
  if [ "$suite_status" -ne 0 ] || [ -z "$reported" ] ||
      ! awk -v t="$reported" -v l="$limit" 'BEGIN { exit !(t < l) }'; then
    echo "check-wine-output ($name): ctest must report $test passed within $limit s; it printed:" >&2
    cat "$dir/ctest.log" >&2
    failed=1
  fi
  return "$failed"
}

trees=("$@")
[ ${#trees[@]} -gt 0 ] || trees=("$root/build/x86_64" "$root/build/i686")
failures=0
for tree in "${trees[@]}"; do
  if [ ! -x "$tree/wine-run" ] || [ ! -f "$tree/$program_in_tree" ]; then
    echo "check-wine-output: $tree holds no built tree" >&2
    failures=$((failures + 1))
    continue
  fi
  check_relay "$tree" || { failures=$((failures + 1)); continue; }
  attempt=1
  while :; do
    status=0
    check_tree "$tree" || status=$?
    [ "$status" -eq 2 ] && [ "$attempt" -lt 3 ] || break
    attempt=$((attempt + 1))
  done
  [ "$status" -eq 0 ] || failures=$((failures + 1))
done
[ "$failures" -eq 0 ] && echo "check-wine-output: every test was reported when its program ended"
exit $((failures != 0))
