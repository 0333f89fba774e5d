#!/usr/bin/env bash
# Builds and runs every test: the normal build and its Debian package
# (scripts/check-package.sh), a few seconds of each fuzz target on its seeds
# (where clang is installed), the whole suite again under AddressSanitizer +
# UndefinedBehaviorSanitizer, and the link tests under ThreadSanitizer. The
# wall-clock runs (label realclock) prove timing and run in the normal build
# only. Any failure or sanitizer report fails the run. Each sanitizer build
# builds only what its tests run; while tests run (they mostly wait), the
# next build goes on beside them at a lower priority. At the end, a table of
# each stage's seconds.
set -euo pipefail
cd "$(dirname "$0")/.."

export QT_QPA_PLATFORM=offscreen
# Tests spend most of their time waiting for replies and timers: two at a
# time a core.
test_jobs=$(( $(nproc) * 2 ))

# stage NAME COMMAND...: runs one stage and keeps its seconds for the table.
stage_names=() stage_seconds=() current=
stage() {
  current=$1; shift
  echo "== $current"
  local start=$SECONDS
  "$@"
  stage_names+=("$current") stage_seconds+=($((SECONDS - start)))
  current=
}
# beside NAME COMMAND...: starts a stage in the background at a lower
# priority, its output kept until joined; joined: waits for it and shows it.
beside_name= beside_pid= beside_start= beside_log=
beside() {
  beside_name=$1 beside_start=$SECONDS beside_log=$(mktemp); shift
  echo "== $beside_name (beside the next stage)"
  nice -n 19 "$@" >"$beside_log" 2>&1 &
  beside_pid=$!
}
joined() {
  local status=0
  wait "$beside_pid" || status=$?
  cat "$beside_log"; rm -f "$beside_log"
  if [ "$status" -ne 0 ]; then current=$beside_name; return "$status"; fi
  stage_names+=("$beside_name (beside)") stage_seconds+=($((SECONDS - beside_start)))
  beside_pid=
}
stage_table() {
  local status=$? i
  [ -z "$beside_pid" ] || kill "$beside_pid" 2>/dev/null || true
  echo
  printf '%-44s %7s\n' stage seconds
  for i in "${!stage_names[@]}"; do printf '%-44s %7d\n' "${stage_names[$i]}" "${stage_seconds[$i]}"; done
  [ -z "$current" ] || printf '%-44s %7s\n' "$current" FAILED
  printf '%-44s %7d\n' total "$SECONDS"
  return "$status"
}
trap stage_table EXIT

ctest_run() { ctest --test-dir "$1" --output-on-failure -j "$test_jobs" "${@:2}"; }
asan_ctest() {
  ASAN_OPTIONS="halt_on_error=1:abort_on_error=1:detect_leaks=1" \
  LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0" \
  UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1" \
    ctest_run build-asan -LE realclock
}
tsan_ctest() {
  TSAN_OPTIONS="halt_on_error=1:second_deadlock_stack=1" ctest_run build-tsan -L 'link|tsan' -LE realclock
}
package() { scripts/package.sh && scripts/check-package.sh; }

stage "packages (apt-get)" scripts/deps.sh
stage "normal build" scripts/build.sh build
fuzz=0
if command -v clang++ >/dev/null 2>&1; then fuzz=1; else echo "== fuzz targets skipped: clang is not installed"; fi
[ "$fuzz" = 0 ] || beside "fuzz targets' build" scripts/fuzz.sh 0
stage "normal tests" ctest_run build
[ "$fuzz" = 0 ] || joined
stage "Debian package (checked unpacked)" package
[ "$fuzz" = 0 ] || stage "fuzz targets on their seeds" env KVT_FUZZ_SCRATCH=1 scripts/fuzz.sh 5
stage "address + undefined build" scripts/build.sh build-asan -DKVT_SANITIZE=address
beside "thread build (link and tsan tests)" scripts/build.sh build-tsan -DKVT_SANITIZE=thread \
  --target kvt_thread_tests
stage "address + undefined tests" asan_ctest
joined
stage "thread tests" tsan_ctest
