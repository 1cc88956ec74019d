#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Soak test of live recording over a faulty line: vapron-sim on a pseudo-terminal at
# 38 400 baud loses 10 % of its replies, damages 5 % and holds some back until the next
# request; `vapron-cli record` records for the given time and is stopped with SIGINT, as
# a user stops it. Then the recording is checked: every sample the recorder reported is
# in the file, no line is damaged, the sample indexes increase. Prints the figures; the
# exit code is 0 only when every check holds.
#
# Usage: scripts/soak.sh [SECONDS]   (default 600)
# Environment: BUILD (default build/soak, a Release build made here), DROP (0.1),
#   CORRUPT (0.05), STALE (0.05), SEED (random), KEEP=1 keeps the work folder.
set -uo pipefail
cd "$(dirname "$0")/.." || exit 2
DURATION=${1:-600}
BUILD=${BUILD:-build/soak}
DROP=${DROP:-0.1}
CORRUPT=${CORRUPT:-0.05}
STALE=${STALE:-0.05}
SEED=${SEED:-$((RANDOM * 32768 + RANDOM))}

if ! [[ $DURATION =~ ^[1-9][0-9]*$ ]]; then
  echo "usage: $0 [SECONDS]" >&2
  exit 2
fi

cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVAPRON_SANITIZE=OFF \
  -DVAPRON_BUILD_TESTS=OFF -DVAPRON_BUILD_UI=OFF >/dev/null || exit 3
cmake --build "$BUILD" --target vapron-sim vapron-cli >/dev/null || exit 3

work=$(mktemp -d /tmp/vapron-soak.XXXXXX)
recording=$work/soak.lpgd
sim_pid=
# shellcheck disable=SC2317  # run by the EXIT trap
cleanup() {
  if [[ -n $sim_pid ]]; then kill "$sim_pid" 2>/dev/null && wait "$sim_pid" 2>/dev/null; fi
  if [[ ${KEEP:-0} == 1 ]]; then echo "work folder: $work"; else rm -rf "$work"; fi
}
trap cleanup EXIT

# The simulator prints its terminal's path as its first line.
mkfifo "$work/sim.out"
"$BUILD/vapron-sim" --profile drive --drop "$DROP" --corrupt "$CORRUPT" --stale "$STALE" \
  --seed "$SEED" >"$work/sim.out" 2>"$work/sim.err" &
sim_pid=$!
exec 3<"$work/sim.out"
if ! read -r -t 10 pty <&3; then
  echo "FAIL: vapron-sim printed no terminal" >&2
  cat "$work/sim.err" >&2
  exit 3
fi

echo "soak: ${DURATION}s, drop $DROP, corrupt $CORRUPT, stale $STALE, seed $SEED, $pty"
"$BUILD/vapron-cli" --json --port "$pty" record "$recording" >"$work/record.json" \
  2>"$work/record.err" &
cli_pid=$!
sleep "$DURATION" &
wait $! 2>/dev/null
kill -INT "$cli_pid" 2>/dev/null
wait "$cli_pid"
record_code=$?
"$BUILD/vapron-cli" --json inspect "$recording" >"$work/inspect.json" 2>"$work/inspect.err"
inspect_code=$?

# A number of the flat JSON object a command printed.
field() {
  grep -o "\"$2\": *[0-9.e+-]*" "$work/$1.json" 2>/dev/null | head -1 | sed 's/.*: *//'
}
reported=$(field record samples)
exchanges=$(field record exchanges)
failed=$(field record failedExchanges)
seconds=$(field record seconds)
inspected=$(field inspect samples)
unread=$(field inspect unreadLines)

# The file itself: every line 18 unsigned fields ending in CR LF, indexes rising.
read -r lines damaged not_rising first last < <(awk -F'\t' '
  function whole(line,   i) {
    if (NF != 18 || $18 !~ /^[0-9]+\r$/) return 0
    for (i = 1; i < 18; i++) if ($i !~ /^[0-9]+$/) return 0
    return 1
  }
  { n++
    if (!whole()) { bad++; next }
    if (seen && $1 + 0 <= prev) down++
    if (!seen) first = $1 + 0
    prev = $1 + 0; seen = 1
  }
  END { printf "%d %d %d %d %d\n", n, bad, down, first, prev }' "$recording")
# A last line without its line feed is a damaged line too.
if [[ -s $recording && $(tail -c1 "$recording" | od -An -c | tr -d ' ') != '\n' ]]; then
  damaged=$((damaged + 1))
fi

printf 'record:  exit %s, %s s, %s samples, %s exchanges, %s failed' "$record_code" \
  "$seconds" "$reported" "$exchanges" "$failed"
if [[ $exchanges =~ ^[0-9]+$ && $exchanges -gt 0 ]]; then
  awk -v f="$failed" -v e="$exchanges" -v s="$seconds" -v n="$reported" \
    'BEGIN { printf " (%.1f %%), %.1f samples/s", 100 * f / e, n / s }'
fi
echo
echo "inspect: exit $inspect_code, $inspected samples, $unread unread lines"
echo "file:    $lines lines, $damaged damaged, $not_rising not rising, indexes $first - $last"

status=0
check() {  # check CONDITION-RESULT TEXT
  if [[ $1 == 0 ]]; then echo "ok:   $2"; else echo "FAIL: $2"; status=1; fi
}
[[ $record_code == 0 ]]; check $? "the recorder stopped on SIGINT without an error"
[[ $inspect_code == 0 ]]; check $? "inspect read the recording"
[[ $reported =~ ^[0-9]+$ && $reported -gt 0 ]]; check $? "samples were recorded"
[[ $reported == "$lines" && $reported == "$inspected" ]]
check $? "every reported sample is in the file (reported $reported, file $lines, inspect $inspected)"
[[ $damaged == 0 && $unread == 0 ]]; check $? "no line is damaged"
[[ $not_rising == 0 ]]; check $? "indexes increase"
if [[ $status != 0 ]]; then
  sed 's/^/record: /' "$work/record.err" >&2
  sed 's/^/inspect: /' "$work/inspect.err" >&2
fi
exit $status
