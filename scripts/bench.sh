#!/usr/bin/env bash
# Builds the benchmark programs (optimised) and prints their figures as one table. Nothing here passes or
# fails: the figures are for docs/performance.md. Every *_bench program of bench/ adds its rows. Uses the
# machine's loopback (UDP ports 7000 and 7001).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
programs=$(cd bench && ls *_bench.cpp | sed 's/\.cpp$//')
cmake --build build/bench -j"$(nproc)" --target $programs >/dev/null
export QT_QPA_PLATFORM=offscreen
echo "| measure | figure | target |"
echo "|---|---|---|"
# What a program says besides its rows (the window toolkit's notes) is kept in build/bench/PROGRAM.log and
# shown only when the program fails.
for program in $programs; do
    if ! "build/bench/bench/$program" 2>"build/bench/$program.log"; then
        cat "build/bench/$program.log" >&2
        exit 1
    fi
done
