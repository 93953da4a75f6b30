#!/usr/bin/env bash
# Builds VarnokP3 for 64-bit and 32-bit Windows and runs every test of both builds under Wine, each build in
# a prefix of its own (the 32-bit one a 32-bit prefix). Installs what is missing first; a second run with
# nothing changed rebuilds and reinstalls nothing. A bitness that fails to configure or build does not stop the
# other one. The last line is the verdict, however the run ends: everything passed, or what failed.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
jobs=$(nproc)

# The builds and their Wine architectures.
builds=(x86_64 i686)
declare -A wine_arch=([x86_64]=win64 [i686]=win32)

failed=()  # what failed, in the verdict's words
declare -A suites=()  # the Wine test suites still running: each build's session
logs=""
finished=0
verdict() {
  local status=$? pid
  for pid in "${suites[@]}"; do
    kill -TERM -- "-$pid" 2>/dev/null || true
  done
  [ -z "$logs" ] || rm -rf "$logs"
  # A signal or an unforeseen error ends the run before its steps are done: the verdict says so, not the
  # last tool's line.
  [ "$finished" -eq 1 ] || failed+=("test.sh itself, stopped before its end (status $status)")
  if [ ${#failed[@]} -eq 0 ]; then
    echo "== every test of both builds (${builds[*]}) passed"
    exit 0
  fi
  local list
  printf -v list '%s; ' "${failed[@]}"
  echo "== failed: ${list%; }"
  exit $((status != 0 ? status : 1))  # a signal's status stays visible to the caller
}
trap verdict EXIT
trap 'exit 129' HUP
trap 'exit 130' INT
trap 'exit 143' TERM

configured=()
for b in "${builds[@]}"; do
  if ! "$root/scripts/prepare.sh" "build/$b" "${wine_arch[$b]}"; then
    failed+=("the preparation of $b")
    continue
  fi
  if [ ! -f "build/$b/build.ninja" ] && ! cmake -S "$root" -B "build/$b" -G Ninja \
      -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-$b-w64-mingw32.cmake" >/dev/null; then
    failed+=("the configuration of $b")
    continue
  fi
  configured+=("$b")
done
built=()
for b in "${configured[@]}"; do
  echo "== build $b"
  start=$SECONDS
  if cmake --build "build/$b" -j "$jobs"; then
    built+=("$b")
    echo "== build $b: $((SECONDS - start)) s"
  else
    failed+=("the build of $b")
    echo "== build $b failed after $((SECONDS - start)) s"
  fi
done

if [ -x "$root/scripts/native-tests.sh" ]; then
  echo "== native tests"
  "$root/scripts/native-tests.sh" || failed+=("the native tests")
fi

# The two suites run side by side, each in its own prefix with its own wineserver (so neither takes the
# other's keyboard focus), and both run to the end even when one fails. They take minutes, and a test program
# up to a minute and a half: each one's start and result lines are shown as they come, marked with its build
# (the first result comes only after the longest programs, which ctest starts first), and the whole log of a suite that failed
# (its failed tests' output) once both are done. Each suite is a session of its own that the verdict ends if
# the run stops early: commands started in the background ignore Ctrl-C.
logs=$(mktemp -d)
[ ${#built[@]} -eq 0 ] || echo "== tests under Wine (${built[*]}): each test program as it starts and ends"
for b in "${built[@]}"; do
  # shellcheck disable=SC2016  # the arguments expand in the suite's shell
  setsid bash -c 'ctest --test-dir "build/$1" --output-on-failure -j "$2" 2>&1 | tee "$3" |
                    sed -n -u -E "s/^ *((Start +[0-9]+:|[0-9]+\/[0-9]+ Test +#).*)/$4\1/p"
                  exit "${PIPESTATUS[0]}"' \
    suite "$b" "$(( (jobs + 1) / 2 ))" "$logs/$b.log" "$(printf '%-7s' "$b")" &
  suites[$b]=$!
done
declare -A suite_failed=()
for b in "${built[@]}"; do
  wait "${suites[$b]}" || suite_failed[$b]=1
  unset "suites[$b]"
done
for b in "${built[@]}"; do
  echo "== tests under Wine, $b"
  if [ -n "${suite_failed[$b]:-}" ]; then
    failed+=("the Wine tests of $b")
    cat "$logs/$b.log"
  else
    # The start and result lines were shown as they came; what is left is the summary.
    grep -v -E '^ *(Start +[0-9]+:|[0-9]+/[0-9]+ Test +#)' "$logs/$b.log" || true
  fi
done
finished=1
