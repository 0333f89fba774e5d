#!/usr/bin/env bash
# Builds the libFuzzer targets of the core (clang, address + undefined
# sanitizers) in build-fuzz and runs each for SECONDS (default 60) on its
# corpus, starting from seeds that the program's own code writes. Prints the
# executions and the coverage of each target. A crash input is kept in
# build-fuzz/crashes/TARGET/ and fails the run.
#
#   scripts/fuzz.sh [SECONDS]
#
# SECONDS 0 builds the targets and runs none.
# With KVT_FUZZ_SCRATCH=1 each target starts from its seeds alone and what
# it finds is thrown away afterwards (the test command's short runs);
# otherwise the corpus grows in build-fuzz/corpus/TARGET/ from run to run.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
case $seconds in
  ''|*[!0-9]*) echo "usage: scripts/fuzz.sh [SECONDS]" >&2; exit 2 ;;
esac
dir=build-fuzz
# The targets as fuzz/CMakeLists.txt lists them.
read -r -a targets <<<"$(sed -n '/^set(KVT_FUZZ_TARGETS/,/)/p' fuzz/CMakeLists.txt |
  tr '()\n' '   ' | sed 's/set *KVT_FUZZ_TARGETS//')"

# Quiet unless the build fails.
build_log=$(mktemp)
if ! scripts/build.sh "$dir" -DCMAKE_CXX_COMPILER=clang++ -DKVT_FUZZ=ON >"$build_log" 2>&1; then
  cat "$build_log" >&2
  exit 1
fi
rm -f "$build_log"
[ "$seconds" -gt 0 ] || exit 0

rm -rf "$dir/seeds"
"$dir/fuzz/kvt540m-fuzz-seeds" "$dir/seeds"
work=$dir/corpus
if [ "${KVT_FUZZ_SCRATCH:-0}" = 1 ]; then
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
fi

# fuzz_target T: runs one target; its status goes to $dir/T.status.
fuzz_target() {
  local t=$1 log=$dir/$1.log
  mkdir -p "$work/$t" "$dir/crashes/$t"
  # Leaks count as failures too (ASan's leak check at the end of each input).
  if "$dir/fuzz/${t}_fuzzer" -max_total_time="$seconds" -print_final_stats=1 \
      -artifact_prefix="$dir/crashes/$t/" "$work/$t" "$dir/seeds/$t" >"$log" 2>&1; then
    echo ok >"$dir/$t.status"
  else
    echo "FAILED (see $log; input in $dir/crashes/$t/)" >"$dir/$t.status"
  fi
}

# As many targets at once as there are cores.
running=0
for t in "${targets[@]}"; do
  if [ "$running" -ge "$(nproc)" ]; then wait -n; running=$((running - 1)); fi
  fuzz_target "$t" &
  running=$((running + 1))
done
wait

failed=()
printf '%-18s %12s %8s %8s  %s\n' target executions cov ft result
for t in "${targets[@]}"; do
  log=$dir/$t.log
  status=$(cat "$dir/$t.status")
  [ "$status" = ok ] || failed+=("$t")
  execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  cov=$(grep -o ' cov: [0-9]*' "$log" | tail -1 | tr -dc 0-9)
  ft=$(grep -o ' ft: [0-9]*' "$log" | tail -1 | tr -dc 0-9)
  printf '%-18s %12s %8s %8s  %s\n' "$t" "${execs:-?}" "${cov:-?}" "${ft:-?}" "$status"
done
if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzzing failed: ${failed[*]}" >&2
  exit 1
fi
