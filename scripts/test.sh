#!/usr/bin/env bash
# Builds and runs every test: the normal build and its Debian package
# (scripts/check-package.sh), a few seconds of each fuzz target on its seeds
# (where clang is installed), the whole suite again under AddressSanitizer +
# UndefinedBehaviorSanitizer, and the link tests under ThreadSanitizer. The
# wall-clock runs (label realclock) prove timing and run in the normal build
# only. Any failure or sanitizer report fails the run. Each sanitizer build
# builds only what its tests run. At the end, a table of each stage's seconds.
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
stage_table() {
  local status=$? i
  echo
  printf '%-34s %7s\n' stage seconds
  for i in "${!stage_names[@]}"; do printf '%-34s %7d\n' "${stage_names[$i]}" "${stage_seconds[$i]}"; done
  [ -z "$current" ] || printf '%-34s %7s\n' "$current" FAILED
  printf '%-34s %7d\n' total "$SECONDS"
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
stage "normal tests" ctest_run build
stage "Debian package (checked unpacked)" package
if command -v clang++ >/dev/null 2>&1; then
  stage "fuzz targets on their seeds" env KVT_FUZZ_SCRATCH=1 scripts/fuzz.sh 5
else
  echo "== fuzz targets skipped: clang is not installed"
fi
stage "address + undefined build" scripts/build.sh build-asan -DKVT_SANITIZE=address
stage "address + undefined tests" asan_ctest
stage "thread build (link and tsan tests)" scripts/build.sh build-tsan -DKVT_SANITIZE=thread \
  --target kvt_thread_tests
stage "thread tests" tsan_ctest
