#!/usr/bin/env bash
# Installs what is missing, builds a Release and starts the program.
# `./run.sh --simulate` runs against the simulated controller; no hardware is needed.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install-deps.sh
BUILD=build/release
cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$BUILD" -j"$(nproc)"
if [[ -x "$BUILD/vapron" ]]; then
  exec "$BUILD/vapron" "$@"
fi
echo "The window program is not built yet; starting the command-line tool instead." >&2
if [[ "${1:-}" == "--simulate" ]]; then
  shift
  "$BUILD/vapron-sim" --no-pacing >"$BUILD/sim.out" &
  SIM=$!
  trap 'kill $SIM 2>/dev/null || true' EXIT
  for _ in $(seq 50); do [[ -s "$BUILD/sim.out" ]] && break; sleep 0.1; done
  PORT=$(head -n1 "$BUILD/sim.out")
  echo "Simulated controller on $PORT" >&2
  "$BUILD/vapron-cli" --port "$PORT" "${@:-info}"
else
  exec "$BUILD/vapron-cli" "$@"
fi
