#!/usr/bin/env bash
# Installs the Debian 12 packages that building, running, testing and packaging need (nothing when all are
# there): the package test runs cpack (dpkg-shlibdeps from dpkg-dev), desktop-file-validate, appstreamcli,
# man and lintian.
set -euo pipefail
packages=(cmake ninja-build g++ pkg-config libgtest-dev libgmock-dev qt6-base-dev libgl-dev
          fonts-dejavu-core iproute2 procps xvfb x11-xserver-utils clang libclang-rt-14-dev
          dpkg-dev file desktop-file-utils appstream man-db lintian)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
