#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, builds a Release and starts the program.
# `./run.sh --simulate` runs against the simulated controller; no hardware is needed.
# Other options: --port PATH (a serial device to try first), --help.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install-deps.sh
BUILD=build/release
cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVAPRON_BUILD_TESTS=OFF >/dev/null
cmake --build "$BUILD" -j"$(nproc)"
exec "$BUILD/vapron" "$@"
