#!/usr/bin/env bash
# Builds the libFuzzer targets of fuzz/ with clang (under the address and undefined-behaviour sanitizers) and
# runs each for SECONDS (default 60), starting from its seed corpus in fuzz/corpus/<target>. New inputs are
# kept in build/fuzz/corpus/<target>; an input that crashes a target or breaks one of its invariants is
# written to build/fuzz/findings/ and fails the run. Prints each target's executions.
#     scripts/fuzz.sh [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
dir=build/fuzz
cmake -S . -B "$dir" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=None -DCMAKE_CXX_FLAGS=-O1 \
      -DCMAKE_UNITY_BUILD=ON -DKVX_FUZZ=ON >/dev/null
cmake --build "$dir" -j"$(nproc)" --target fuzz_targets
mkdir -p "$dir/findings"
export ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1
# The PC's requests are short (the longest, a device name, is under 160 bytes): the simulated devices' target
# takes up to 256 bytes, since longer inputs would only slow it down.
declare -A max_len=([simulator_requests_fuzz]=256)
printf '%-26s %14s %8s\n' target executions seconds
for seeds in fuzz/corpus/*/; do
    target=$(basename "$seeds")
    corpus="$dir/corpus/$target"
    log="$dir/$target.log"
    mkdir -p "$corpus"
    if ! "$dir/fuzz/$target" -max_total_time="$seconds" -max_len="${max_len[$target]:-0}" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
            -artifact_prefix="$dir/findings/$target-" "$corpus" "$seeds" >"$log" 2>&1; then
        tail -n 40 "$log"
        echo "$target: a finding, kept in $dir/findings/" >&2
        exit 1
    fi
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    printf '%-26s %14s %8s\n' "$target" "$runs" "$seconds"
done
