#!/usr/bin/env bash
# Measures the all-items transfer and the read-back against the simulated
# sign on a line of real speed (38400 bit/s, 11 bits a byte, 5 ms to
# answer), with timed pacing and with reply pacing (gap 0 and the default
# gap), and prints for each run: seconds, bytes on the line both ways, the
# floor (the line's time for those bytes plus the answer delay and the gap
# for every reply) and the ratio of seconds to floor.
#
#   bench/transfer.sh [--no-timed]    (--no-timed skips the 82 s of timed runs)
#
# Builds into build/ first (scripts/build.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh build >/dev/null
cli=$PWD/build/tools/kvt540m-cli
sim=$PWD/build/tools/kvt540m-sign-sim
sample=$PWD/tests/data/sample.dat
answer_ms=5
work=$(mktemp -d)
sim_pid=""
cleanup() { [ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null; rm -rf "$work"; }
trap cleanup EXIT

policies=("reply 0" "reply 20")
[ "${1:-}" = "--no-timed" ] || policies=("timed 0" "${policies[@]}")

printf '%-10s %-6s %5s %9s %9s %8s %8s %6s\n' run pace gap_ms seconds bytes_out bytes_in floor_s ratio
for what in send read; do
  for policy in "${policies[@]}"; do
    read -r pace gap <<<"$policy"
    "$sim" --link "$work/sign" --line-rate --answer-delay "$answer_ms" --stats --load "$sample" \
      >"$work/sim.out" &
    sim_pid=$!
    for _ in $(seq 50); do [ -e "$work/sign" ] && break; sleep 0.1; done
    if [ "$what" = send ]; then
      args=(send "$sample")
    else
      args=(read "$work/out.dat")
    fi
    start=$(date +%s.%N)
    "$cli" "${args[@]}" --port "$work/sign" --pace "$pace" --gap "$gap" >/dev/null 2>"$work/cli.err" ||
      { echo "the $what run failed:"; cat "$work/cli.err"; exit 1; }
    end=$(date +%s.%N)
    kill -TERM "$sim_pid"; wait "$sim_pid" || true; sim_pid=""
    read -r _ bytes_out _ _ lines _ _ bytes_in _ < <(sed 's/,//' "$work/sim.out" | tail -1)
    rm -f "$work/sign"
    awk -v s="$start" -v e="$end" -v o="$bytes_out" -v i="$bytes_in" -v n="$lines" \
        -v d="$answer_ms" -v g="$gap" -v run="$what" -v pace="$pace" 'BEGIN {
      secs = e - s
      floor = (o + i) * 11 / 38400 + n * (d + g) / 1000
      label = run == "send" ? "all-items" : "read-back"
      printf "%-10s %-6s %5d %9.2f %9d %9d %8.2f %6.2f\n", label, pace, g, secs, o, i, floor, secs / floor
    }'
  done
done

# A whole bus: the all-items transfer to 8 slaves on one line at reply pace,
# against what the timed pace takes (8 x 30.5 s).
"$sim" --link "$work/bus" --line-rate --answer-delay "$answer_ms" --rs485 --slave 1-8 >/dev/null &
sim_pid=$!
for _ in $(seq 50); do [ -e "$work/bus" ] && break; sleep 0.1; done
start=$(date +%s.%N)
"$cli" deploy "$sample" --slaves 1-8 --port "$work/bus" --pace reply >"$work/deploy.out" 2>/dev/null ||
  { echo "the deploy failed:"; cat "$work/deploy.out"; exit 1; }
end=$(date +%s.%N)
awk -v s="$start" -v e="$end" 'BEGIN {
  printf "deploy to 8 slaves at reply pace: %.1f s (timed pace: 8 x 30.5 s = 244.0 s, %.1fx faster)\n", e - s, 244 / (e - s)
}'
