#!/usr/bin/env bash
# Installs what is needed, builds, and runs every test: once plainly, once under the address and
# undefined-behaviour sanitizers, the tests that run threads under the thread sanitizer, and every fuzz target
# for a few seconds (so that they keep building and running). Warnings are errors here.
set -euo pipefail
cd "$(dirname "$0")/.."
# Prints how long each step took, so that the whole run's time can be followed step by step.
step() {
    local started=$SECONDS
    "$@"
    echo "== $* took $((SECONDS - started)) s" >&2
}
step scripts/install-deps.sh
jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen
# run_suite DIR PARALLEL_TESTS OPTIMISATION [CMAKE OPTIONS]: one build and its tests. Every build is a unity
# build (each test folder one program, its files compiled a few at a time) without debug information, which
# keeps three builds quick on two cores. Tests mostly wait (on sockets, timers, other processes), so twice as
# many run as there are cores.
run_suite() {
    local dir=$1 parallel=$2 optimise=$3; shift 3
    cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=None -DCMAKE_CXX_FLAGS="$optimise" -DKVX_WERROR=ON \
        -DCMAKE_UNITY_BUILD=ON "$@" >/dev/null
    step cmake --build "$dir" -j"$jobs"
    (cd "$dir" && step ctest --output-on-failure -j"$parallel" --timeout 300)
}
run_suite build/test $((2 * jobs)) -O1
# The sanitizer builds use clang, which compiles under them twice as fast as GCC (and warns about other
# things); the address and undefined-behaviour build is not optimised, since that costs build time and the
# sanitizers check no less. The leak suppressions name only system libraries that keep buffers for the life
# of the process.
ASAN_OPTIONS=detect_leaks=1 LSAN_OPTIONS="suppressions=$PWD/tests/lsan-suppressions.txt" \
    UBSAN_OPTIONS=print_stacktrace=1 \
    run_suite build/test-sanitize $((2 * jobs)) -O0 -DCMAKE_CXX_COMPILER=clang++ -DKVX_SANITIZE=ON
# The thread-sanitizer build holds only the tests that run threads. Any race report fails the test it came
# from; the suppressions name nothing but Qt's own libraries, which are not built with the sanitizer.
TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 suppressions=$PWD/tests/tsan-suppressions.txt" \
    run_suite build/test-thread $((2 * jobs)) -O1 -DCMAKE_CXX_COMPILER=clang++ -DKVX_SANITIZE_THREAD=ON
step scripts/fuzz.sh 5
