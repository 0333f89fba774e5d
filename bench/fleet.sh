#!/usr/bin/env bash
# Measures a fleet: LINES lines (default 64) of 8 simulated signs each, every
# line its own simulated RS-485 line on TCP at line rate
# (kvt540m-sign-sim --tcp 127.0.0.1:0 --rs485 --slave 1-8 --line-rate),
# deployed at reply pace with one kvt540m-cli fleet deploy. Prints the wall
# time, the time of one of those lines deployed alone (measured first, in
# the same run), their ratio, and the tool's peak memory, CPU seconds and
# most threads seen.
#
#   bench/fleet.sh [LINES]
#
# Builds into build/ first (scripts/build.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
lines=${1:-64}
case $lines in ''|*[!0-9]*) echo "usage: bench/fleet.sh [LINES]" >&2; exit 2 ;; esac
scripts/build.sh build >/dev/null
cli=$PWD/build/tools/kvt540m-cli
sim=$PWD/build/tools/kvt540m-sign-sim
work=$(mktemp -d)
pids=()
cleanup() { for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done; rm -rf "$work"; }
trap cleanup EXIT
cp tests/data/sample.dat "$work/sample.dat"

for i in $(seq "$lines"); do
  "$sim" --tcp 127.0.0.1:0 --rs485 --slave 1-8 --line-rate >"$work/sim$i.out" 2>&1 &
  pids+=($!)
done
for i in $(seq "$lines"); do
  for _ in $(seq 100); do [ -s "$work/sim$i.out" ] && break; sleep 0.05; done
done

sheet() {  # sheet FILE FIRST LAST: the lines FIRST..LAST, slaves 1..8 each
  echo "port,slave,file,name" >"$1"
  for i in $(seq "$2" "$3"); do
    for s in $(seq 8); do echo "$(head -1 "$work/sim$i.out"),$s,sample.dat,line$i-$s" >>"$1"; done
  done
}

# Runs a deploy of the sheet; prints seconds, peak KiB, CPU seconds, threads.
measure() {
  local start end pid child threads=0 n
  start=$(date +%s.%N)
  /usr/bin/time -f '%M %U %S' -o "$work/time.txt" \
    "$cli" fleet deploy "$1" --pace reply >"$work/table.txt" 2>"$work/err.txt" &
  pid=$!
  while kill -0 "$pid" 2>/dev/null; do
    child=$(pgrep -P "$pid" kvt540m-cli || true)
    if [ -n "$child" ]; then
      n=$(awk '/^Threads:/ {print $2}' /proc/"$child"/status 2>/dev/null || echo 0)
      [ "${n:-0}" -gt "$threads" ] && threads=$n
    fi
    sleep 0.2
  done
  wait "$pid" || { echo "the deploy failed:"; tail -5 "$work/err.txt"; tail -5 "$work/table.txt"; exit 1; }
  end=$(date +%s.%N)
  read -r kib user sys <"$work/time.txt"
  awk -v s="$start" -v e="$end" -v k="$kib" -v u="$user" -v y="$sys" -v t="$threads" \
    'BEGIN { printf "%.2f %d %.2f %d\n", e - s, k, u + y, t }'
}

sheet "$work/one.csv" 1 1
read -r alone _ _ _ < <(measure "$work/one.csv")
sheet "$work/all.csv" 1 "$lines"
read -r wall kib cpu threads < <(measure "$work/all.csv")
ok=$(grep -c ' OK ' "$work/table.txt" || true)

printf '%-28s %s\n' "lines x signs" "$lines x 8 ($ok OK)"
printf '%-28s %.2f s\n' "one line alone" "$alone"
printf '%-28s %.2f s\n' "every line at once" "$wall"
awk -v w="$wall" -v a="$alone" 'BEGIN { printf "%-28s %.3f\n", "ratio", w / a }'
awk -v k="$kib" 'BEGIN { printf "%-28s %.1f MB\n", "peak memory (max RSS)", k / 1024 }'
printf '%-28s %.2f s\n' "CPU (user + system)" "$cpu"
awk -v c="$cpu" -v w="$wall" 'BEGIN { printf "%-28s %.1f %%\n", "CPU share of one core", 100 * c / w }'
printf '%-28s %d\n' "threads (most seen)" "$threads"
