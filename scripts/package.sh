#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds a Release of vapron, vapron-cli and vapron-sim and makes a Debian package of
# them with CPack (the libraries they need are declared as its dependencies):
#   scripts/package.sh [BUILD_DIR]      (default build/package)
# then `sudo apt install ./build/package/vapron_*.deb`. CTest checks the package's
# contents whenever build/package holds one.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
BUILD=${1:-build/package}
cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVAPRON_BUILD_TESTS=OFF \
  -DVAPRON_SANITIZE=OFF >/dev/null
cmake --build "$BUILD" --target vapron vapron-cli vapron-sim man_pages debian_changelog -j"$(nproc)"
rm -f "$BUILD"/vapron_*.deb
(cd "$BUILD" && cpack -G DEB >/dev/null)
ls "$BUILD"/vapron_*.deb
