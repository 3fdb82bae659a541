#!/usr/bin/env bash
# Builds the Debian package with CPack: a Release build (with all of Debian's hardening flags, without the tests) in
# build/package, then build/package/packages/korvelux_VERSION_ARCH.deb. Prints the package's path.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
dir=build/package
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
export CXXFLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
export LDFLAGS="$(dpkg-buildflags --get LDFLAGS)"
cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DKVX_BUILD_TESTS=OFF
cmake --build "$dir" -j"$(nproc)"
(cd "$dir" && cpack -G DEB -B packages)
ls "$dir"/packages/korvelux_*.deb
