#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs every fuzz target with libFuzzer, AddressSanitizer and UndefinedBehaviorSanitizer
# for the given number of seconds each (default 60), starting from its seed corpus:
#   scripts/fuzz.sh [SECONDS [TARGET...]]    (default: every fuzz/*_fuzz.cpp)
set -euo pipefail
cd "$(dirname "$0")/.."
SECONDS_EACH=${1:-60}
./scripts/install-deps.sh
BUILD=build/fuzz
CC=clang CXX=clang++ cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVAPRON_SANITIZE=ON -DVAPRON_LIBFUZZER=ON -DVAPRON_BUILD_UI=OFF >/dev/null
shift || true
targets=${*:-$(cd fuzz && ls *_fuzz.cpp | sed 's/\.cpp$//')}
cmake --build "$BUILD" -j"$(nproc)" --target $targets
for t in $targets; do
  work="fuzz-out/$t"
  mkdir -p "$work"
  echo "== $t for ${SECONDS_EACH}s"
  "$BUILD/fuzz/$t" -max_total_time="$SECONDS_EACH" -print_final_stats=1 \
    "$work" "fuzz/corpus/$t"
done
