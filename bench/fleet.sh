#!/usr/bin/env bash
# Measures a fleet: LINES lines (default 64) of 8 simulated signs each, every
# line its own simulated RS-485 line on TCP at line rate, all of them served
# by one simulated sign process
# (kvt540m-sign-sim --tcp 127.0.0.1:0 --lines LINES --rs485 --slave 1-8
# --line-rate), every sign given a settings file of its own, deployed at
# reply pace with one kvt540m-cli fleet deploy under a soft limit of 1024
# open files. Prints the wall time, the time of the first line deployed
# alone (measured first, in the same run), their ratio, and the tool's peak
# memory, CPU seconds, most threads and most descriptors seen, and the
# simulated sign's time on a core and waiting for one; then checks
# the simulated sign's logs: every sign must have received exactly its own
# file's commands. A deploy that fails, or a sign that received another's
# commands, is said and ends it with status 1.
#
#   bench/fleet.sh [LINES]
#
# Builds the two programs into build/ first (scripts/build.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
lines=${1:-64}
case $lines in ''|*[!0-9]*|0) echo "usage: bench/fleet.sh [LINES]" >&2; exit 2 ;; esac
scripts/build.sh build --target kvt540m-cli kvt540m-sign-sim >/dev/null
cli=$PWD/build/tools/kvt540m-cli
sim=$PWD/build/tools/kvt540m-sign-sim
work=$(mktemp -d)
sim_pid=""
cleanup() { [ -z "$sim_pid" ] || kill "$sim_pid" 2>/dev/null || true; rm -rf "$work"; }
trap cleanup EXIT
# The usual soft limit of open files, where the hard limit allows it (the
# simulated sign raises its own to the hard limit).
ulimit -Sn 1024 2>/dev/null || true
limit=$(ulimit -Sn)

# Sign K (line I, slave S: K = 8 (I - 1) + S) has the sample's settings with
# K in the display times of pages 1 to 3 (two digits each), which the
# display time command carries as PTCT followed by K in six digits.
mkdir "$work/signs"
awk -v lines="$lines" -v dir="$work/signs" '
  { row[NR] = $0 }
  END {
    for (i = 1; i <= lines; i++)
      for (s = 1; s <= 8; s++) {
        k = 8 * (i - 1) + s; file = dir "/" i "-" s ".dat"
        for (n = 1; n <= NR; n++) {
          if (n == 705) printf "%d\r\n", int(k / 10000) > file
          else if (n == 706) printf "%d\r\n", int(k / 100) % 100 > file
          else if (n == 707) printf "%d\r\n", k % 100 > file
          else print row[n] > file
        }
        close(file)
      }
  }' tests/data/sample.dat

: >"$work/sim.out"  # there before the simulated sign's shell opens it
"$sim" --tcp 127.0.0.1:0 --lines "$lines" --rs485 --slave 1-8 --line-rate --log "$work/sim.log" \
  >"$work/sim.out" 2>"$work/sim.err" &
sim_pid=$!
for _ in $(seq 200); do
  [ "$(wc -l <"$work/sim.out")" -ge "$lines" ] && break
  kill -0 "$sim_pid" 2>/dev/null || { echo "the simulated sign did not start:"; cat "$work/sim.err"; exit 1; }
  sleep 0.05
done
[ "$(wc -l <"$work/sim.out")" -ge "$lines" ] || { echo "the simulated sign did not start in 10 s"; exit 1; }

sheet() {  # sheet FILE FIRST LAST: the lines FIRST..LAST, slaves 1..8 each
  awk -v first="$2" -v last="$3" '
    BEGIN { print "port,slave,file,name" }
    FNR >= first && FNR <= last {
      for (s = 1; s <= 8; s++) printf "%s,%d,signs/%d-%d.dat,line%d-%d\n", $0, s, FNR, s, FNR, s
    }' "$work/sim.out" >"$1"
}

# Deploys the sheet; writes seconds, peak KiB, CPU seconds, threads and
# descriptors to NAME.figures, the table to NAME.table and standard error
# to NAME.err. Returns the tool's exit status.
measure() {
  local name=$1 start end pid child threads=0 fds=0 n status=0
  start=$(date +%s.%N)
  /usr/bin/time -f '%M %U %S' -o "$work/$name.time" \
    "$cli" fleet deploy "$work/$name.csv" --pace reply >"$work/$name.table" 2>"$work/$name.err" &
  pid=$!
  while kill -0 "$pid" 2>/dev/null; do
    child=$(pgrep -P "$pid" kvt540m-cli || true)
    if [ -n "$child" ]; then
      n=$(awk '/^Threads:/ {print $2}' /proc/"$child"/status 2>/dev/null || echo 0)
      [ "${n:-0}" -gt "$threads" ] && threads=$n
      n=$(ls /proc/"$child"/fd 2>/dev/null | wc -l) || true
      [ "$n" -gt "$fds" ] && fds=$n
    fi
    sleep 0.2
  done
  wait "$pid" || status=$?
  end=$(date +%s.%N)
  # /usr/bin/time's own line comes first when the tool did not exit 0.
  read -r kib user sys < <(tail -1 "$work/$name.time")
  awk -v s="$start" -v e="$end" -v k="$kib" -v u="$user" -v y="$sys" -v t="$threads" -v f="$fds" \
    'BEGIN { printf "%.2f %d %.2f %d %d\n", e - s, k, u + y, t, f }' >"$work/$name.figures"
  return "$status"
}

# Says what a deploy that did not succeed left: the results and its most
# frequent errors.
explain() {  # explain NAME STATUS WHAT
  echo "the deploy of $3 ended with exit status $2:"
  awk 'NR == 1 { at = index($0, "result"); next }
       { r = substr($0, at); sub(/ +[0-9.]+$/, "", r); count[r]++ }
       END { for (r in count) printf "  %d %s\n", count[r], r }' "$work/$1.table" | sort -rn
  # Its messages counted by their reason (after the last ": "), each with
  # the first one in full.
  grep -v ' step [0-9]*$' "$work/$1.err" | awk '
    { reason = $0; sub(/.*: /, "", reason); if (!count[reason]++) first[reason] = $0 }
    END { for (r in count) printf "  %d %s (the first: %s)\n", count[r], r, first[r] }' |
    sort -rn | head -3
}

failed=0
sheet "$work/one.csv" 1 1
measure one || { explain one $? "one line alone"; failed=1; }
read -r alone _ _ _ _ <"$work/one.figures"
sheet "$work/all.csv" 1 "$lines"
# The simulated sign's time on a core and waiting for one (runnable, on a
# busy machine) meanwhile: it serves every line from one thread.
read -r sim_cpu0 sim_wait0 _ </proc/"$sim_pid"/schedstat
measure all || { explain all $? "every line at once"; failed=1; }
read -r sim_cpu1 sim_wait1 _ </proc/"$sim_pid"/schedstat
read -r wall kib cpu threads fds <"$work/all.figures"
ok=$(grep -c ' OK ' "$work/all.table" || true)

# Every sign's commands in the logs: its file's, as the tool's dry run
# writes them for sign 1, with its own display times; line 1 twice (alone,
# then with the others).
"$cli" send "$work/signs/1-1.dat" --dry-run --rs485 --slave 1 | tr -d '\r' | cut -c3- >"$work/sent.txt"
read -r exact missing repeated wrong < <(awk -v lines="$lines" -v work="$work" '
  { want[++n] = $0; if ($0 ~ /^PTCT/) times = n }
  END {
    for (i = 1; i <= lines; i++) {
      file = work "/sim." i ".log"
      split("", got); split("", bad)
      while ((getline row < file) > 0) {
        text = substr(row, index(row, " ") + 1)
        s = substr(text, 1, 2) + 0; p = got[s]++ % n + 1
        expect = p == times ? sprintf("PTCT%06d", 8 * (i - 1) + s) substr(want[p], 11) : want[p]
        if (substr(text, 3) != expect) bad[s] = 1
      }
      close(file)
      for (s = 1; s <= 8; s++)
        if (bad[s]) wrong++
        else if (got[s] == (i == 1 ? 2 : 1) * n) exact++
        else if (got[s] < (i == 1 ? 2 : 1) * n) missing++
        else repeated++
    }
    printf "%d %d %d %d\n", exact, missing, repeated, wrong
  }' "$work/sent.txt")

printf '%-28s %s\n' "lines x signs" "$lines x 8 ($ok OK)"
printf '%-28s %.2f s\n' "one line alone" "$alone"
printf '%-28s %.2f s\n' "every line at once" "$wall"
awk -v w="$wall" -v a="$alone" 'BEGIN { printf "%-28s %.3f\n", "ratio", w / a }'
awk -v k="$kib" 'BEGIN { printf "%-28s %.1f MB\n", "peak memory (max RSS)", k / 1024 }'
printf '%-28s %.2f s\n' "CPU (user + system)" "$cpu"
awk -v c="$cpu" -v w="$wall" 'BEGIN { printf "%-28s %.1f %%\n", "CPU share of one core", 100 * c / w }'
printf '%-28s %d\n' "threads (most seen)" "$threads"
printf '%-28s %d (soft limit %s)\n' "descriptors (most seen)" "$fds" "$limit"
awk -v c=$((sim_cpu1 - sim_cpu0)) -v w=$((sim_wait1 - sim_wait0)) \
  'BEGIN { printf "%-28s %.2f s on a core, %.2f s waiting for one\n", "simulated sign", c / 1e9, w / 1e9 }'
printf '%-28s %d of %d signs' "own commands exactly" "$exact" $((lines * 8))
[ "$missing" -eq 0 ] || printf ', %d missing some or all' "$missing"
[ "$repeated" -eq 0 ] || printf ', %d with some twice' "$repeated"
[ "$wrong" -eq 0 ] || printf ', %d WITH ANOTHER SIGN'"'"'S' "$wrong"
printf '\n'
[ "$failed" -eq 0 ] && [ "$wrong" -eq 0 ] && [ "$exact" -eq $((lines * 8)) ]
