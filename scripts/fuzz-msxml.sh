#!/usr/bin/env bash
# Builds the libFuzzer target of the MSXML stand-in core (clang, with
# AddressSanitizer and UndefinedBehaviorSanitizer) in build-fuzz/ and runs it
# for the given number of seconds (default 60), seeded with the schema files,
# the sample documents and the fuzz seeds. Prints the executions it ran and
# the executions per second. Exit status: non-zero on a finding or a failed build.
set -euo pipefail

seconds="${1:-60}"
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$root/build-fuzz"

need=()
command -v clang++ >/dev/null || need+=(clang)
ls /usr/lib/llvm-*/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a >/dev/null 2>&1 || need+=(libclang-rt-dev)
command -v cmake >/dev/null || need+=(cmake)
command -v ninja >/dev/null || need+=(ninja-build)
if [ ${#need[@]} -gt 0 ]; then
    echo "fuzz-msxml: installing ${need[*]}"
    apt-get install -y --no-install-recommends "${need[@]}" >/dev/null
fi

if [ ! -f "$build/build.ninja" ]; then
    CXX=clang++ cmake -S "$root/tests/native" -B "$build" -G Ninja -DVARNOK_FUZZ=ON \
        -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build "$build" --target msxml_core_fuzzer

# The working corpus grows between runs; the seeds come from the repository.
corpus="$build/corpus"
mkdir -p "$corpus"
seeds=("$root/data/schemas" "$root/tests/data/xml/fuzz-seeds")
while IFS= read -r -d '' folder; do
    seeds+=("$folder")
done < <(find "$root/tests/data/xml" -mindepth 1 -type d ! -path '*/fuzz-seeds*' -print0)

log="$build/fuzz.log"
set +e
"$build/msxml_core_fuzzer" -max_total_time="$seconds" -max_len=16384 -timeout=10 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="$build/" "$corpus" "${seeds[@]}" >"$log" 2>&1
status=$?
set -e

runs="$(grep -E '^stat::number_of_executed_units:' "$log" | awk '{print $2}' | tail -1)"
rate="$(grep -E '^stat::average_exec_per_sec:' "$log" | awk '{print $2}' | tail -1)"
echo "fuzz-msxml: ${runs:-0} executions in ${seconds} s (${rate:-0} exec/s)"
if [ $status -ne 0 ]; then
    echo "fuzz-msxml: the fuzzer stopped with status $status; last lines of $log:" >&2
    tail -n 40 "$log" >&2
    exit $status
fi
