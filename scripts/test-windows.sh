#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The core and vapron-cli on Windows, as far as this machine can show it: installs
# MinGW-w64 and Wine, cross-builds the core, vapron-cli and the core's tests, runs the
# tests and vapron-cli under Wine against the in-process simulated controller, then the
# Win32 serial line end to end: Wine's COM5 leads to a vapron-sim pseudo-terminal.
# Usage: scripts/test-windows.sh            (from anywhere; exits non-zero on a failure,
#        77 when Wine itself cannot start here, so nothing could be tested)
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$PWD
WIN=build/win
HOST_TOOLS=${VAPRON_HOST_BUILD:-build/host}
STARTED=$(date +%s)

step() { printf '\n== %s (%ds)\n' "$1" $(($(date +%s) - STARTED)); }
fail() { echo "test-windows: $*" >&2; exit 1; }
not_run() { echo "test-windows: NOT RUN: $*" >&2; exit 77; }
# Every program under Wine has a bound: a hung Wine must not hang the whole run.
WINE_TIMEOUT=${VAPRON_WINE_TIMEOUT:-180}

step "packages"
./scripts/install-deps.sh
PACKAGES=(g++-mingw-w64-x86-64-posix wine wine64 googletest libcli11-dev nlohmann-json3-dev)
missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]} > 0)); then
  SUDO=""
  [[ $(id -u) -ne 0 ]] && SUDO="sudo"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
WINE=/usr/lib/wine/wine64
[[ -x $WINE ]] || WINE=$(command -v wine64 || command -v wine)

step "cross-build"
cmake -S . -B "$WIN" -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
  -DCMAKE_BUILD_TYPE=Release >/dev/null
TEST_TARGETS=(tests_support tests_link tests_sim tests_settings tests_diag tests_writes tests_corrections
  tests_autosetup)
cmake --build "$WIN" -j"$(nproc)" --target vapron-cli "${TEST_TARGETS[@]}"

step "Wine prefix"
export WINEPREFIX=$ROOT/$WIN/wineprefix WINEDEBUG=-all
# No Mono, Gecko or desktop menus: nothing here needs them, and they wait for a screen.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
if [[ ! -f $WINEPREFIX/system.reg ]]; then
  timeout 300 wineboot -i >/dev/null 2>&1 || not_run "wineboot -i did not finish (Wine cannot set up a prefix here)"
  timeout 120 wineserver -w || true  # the registry is on disk once the server has ended
fi
# One Wine server for the whole run: every program then starts in a fraction of a second.
wineserver -p 2>/dev/null || true  # 2: one is already serving this prefix
trap 'wineserver -k 2>/dev/null || true; [[ -n ${SIM_PID:-} ]] && kill "$SIM_PID" 2>/dev/null || true' EXIT

# A program that ends is the last thing a new prefix needs before tests run in it (the
# first test run in a prefix that had never run one did not end under Wine 8).
timeout "$WINE_TIMEOUT" "$WINE" "$ROOT/$WIN/vapron-cli.exe" --version ||
  not_run "the first program under Wine did not run (Wine cannot start programs here)"

step "core tests under Wine"
ctest --test-dir "$WIN" --output-on-failure --timeout 120

step "vapron-cli under Wine, simulated controller in the program"
CLI=$ROOT/$WIN/vapron-cli.exe
WORK=$(mktemp -d)
export VAPRON_HOME=$WORK/home
cli() { (cd "$WORK" && timeout "$WINE_TIMEOUT" "$WINE" "$CLI" "$@"); }
expect() {  # expect PATTERN COMMAND…: the command succeeds and prints PATTERN
  local pattern=$1 out
  shift
  out=$(cli "$@" 2>&1) || fail "vapron-cli $* failed:"$'\n'"$out"
  # Wine reports a crash on the way out yet may still exit with 0.
  ! grep -q "Unhandled exception" <<<"$out" || fail "vapron-cli $* crashed:"$'\n'"$out"
  grep -qE "$pattern" <<<"$out" || fail "vapron-cli $*: no '$pattern' in:"$'\n'"$out"
  printf '$ vapron-cli.exe %s\n%s\n' "$*" "$out"
}
expect '^vapron-cli [0-9]' --version
help=$(cli --help 2>&1) || fail "vapron-cli --help failed"
grep -qF '(1 = COM1)' <<<"$help" || fail "--help does not name port 1 as COM1:"$'\n'"$help"
expect '^identyfikator: SIM' --simulate info
expect '' --simulate eeprom read sim.eeprom
[[ $(stat -c %s "$WORK/sim.eeprom") == 512 ]] || fail "sim.eeprom is not 512 bytes"
expect '^pr.*bki: [1-9]' --simulate record --seconds 2 sim.lpgd
expect '^nieodczytane wiersze: 0' inspect sim.lpgd
# Large enough to be read ahead in stretches, by offset, on worker threads.
awk 'BEGIN { for (i = 1; i <= 40000; i++)
  printf "%d\t1\t3\t15\t%d\t2400\t300\t20\t3\t200\t120\t150\t130\t95\t%d\t90\t81\t60\r\n",
    i, 2400 + i % 3000, i % 256 }' >"$WORK/long.lpgd"
expect '^pr.*bki: 40000' inspect long.lpgd
expect '^nieodczytane wiersze: 0' inspect long.lpgd
expect '"id": "SIM' --simulate --json info

step "the old program's files: found under Program Files and copied"
OLD="$WINEPREFIX/drive_c/Program Files/Vapron"
mkdir -p "$OLD/Dane" "$OLD/Ustawienia/v4.5/Škoda/Fabia"
echo "stara jazda" >"$OLD/Dane/stara jazda.lpgd"
echo "ustawienia" >"$OLD/Ustawienia/v4.5/Škoda/Fabia/1.4.settings"
expect 'skopiowane do .*: 2,' legacy --copy
cmp "$OLD/Ustawienia/v4.5/Škoda/Fabia/1.4.settings" \
  "$VAPRON_HOME/Ustawienia/v4.5/Škoda/Fabia/1.4.settings" || fail "the library was not copied"
rm -rf "$OLD"

step "the Win32 serial line: COM5 → vapron-sim on a pseudo-terminal"
if [[ ! -x $ROOT/build/test/vapron-sim || ! -x $ROOT/build/test/vapron-cli ]]; then
  cmake -S . -B "$HOST_TOOLS" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVAPRON_BUILD_UI=OFF \
    -DVAPRON_BUILD_TESTS=OFF >/dev/null
  cmake --build "$HOST_TOOLS" -j"$(nproc)" --target vapron-sim vapron-cli
  HOST=$ROOT/$HOST_TOOLS
else
  HOST=$ROOT/build/test
fi
exec 3< <("$HOST/vapron-sim")
SIM_PID=$!
read -r -t 10 PTY <&3 || fail "vapron-sim printed no terminal"
ln -sfn "$PTY" "$WINEPREFIX/dosdevices/com5"
expect '^identyfikator: SIM' --port COM5 info
# Not "com5.eeprom": Windows takes COM5 with any extension for the device itself.
expect '' --port COM5 eeprom read port5.eeprom
cmp "$WORK/sim.eeprom" "$WORK/port5.eeprom" || fail "the EEPROM read over COM5 differs"
expect '^wymiany: [1-9]' --port COM5 record --seconds 5 port5.lpgd
expect '^nieodczytane wiersze: 0' inspect port5.lpgd
echo "\$ vapron-cli --port $PTY record --seconds 5 (termios, for comparison)"
"$HOST/vapron-cli" --port "$PTY" record --seconds 5 "$WORK/linux.lpgd"
out=$(cli --port COM9 info 2>&1) && fail "a missing COM9 was accepted"
# A Wine that has not answered within its time prints nothing: asked once more.
[[ -n $out ]] || { out=$(cli --port COM9 info 2>&1) && fail "a missing COM9 was accepted"; }
grep -q "Nie ma portu COM9" <<<"$out" || fail "no advice for a missing port:"$'\n'"$out"
printf '$ vapron-cli.exe --port COM9 info\n%s\n' "$out"
rm -rf "$WORK"

step "done"
