#!/usr/bin/env bash
# Installs what is needed, builds, and starts the window on its built-in simulated devices. Without a
# display it says so and writes a screenshot of the demo instead.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build/demo -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build/demo -j"$(nproc)" --target korvelux
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    shot=build/demo/korvelux-demo.png
    echo "No display found: writing a screenshot of the demo to $shot instead."
    QT_QPA_PLATFORM=offscreen build/demo/src/korvelux --demo --screenshot "$shot"
    exit 0
fi
exec build/demo/src/korvelux --demo
