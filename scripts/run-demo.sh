#!/usr/bin/env bash
# Installs what is needed, builds, and runs the program on its built-in simulated devices.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build/demo -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build/demo -j"$(nproc)"
exec build/demo/tools/korvelux-ctl discover --demo
