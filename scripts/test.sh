#!/usr/bin/env bash
# Builds and runs every test: the normal build and its Debian package
# (scripts/check-package.sh), a few seconds of each fuzz target on its seeds
# (where clang is installed), the whole suite again under AddressSanitizer +
# UndefinedBehaviorSanitizer, and the link tests under ThreadSanitizer. The
# wall-clock runs (label realclock) prove timing and run in the normal build
# only. Any failure or sanitizer report fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh

export QT_QPA_PLATFORM=offscreen
jobs=$(nproc)

echo "== normal build"
scripts/build.sh build
ctest --test-dir build --output-on-failure -j "$jobs"

echo "== Debian package (checked unpacked, not installed)"
scripts/package.sh
scripts/check-package.sh

if command -v clang++ >/dev/null 2>&1; then
  echo "== fuzz targets on their seeds"
  KVT_FUZZ_SCRATCH=1 scripts/fuzz.sh 5
else
  echo "== fuzz targets skipped: clang is not installed"
fi

echo "== address + undefined sanitizers"
scripts/build.sh build-asan -DKVT_SANITIZE=address
ASAN_OPTIONS="halt_on_error=1:abort_on_error=1:detect_leaks=1" \
LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0" \
UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1" \
  ctest --test-dir build-asan --output-on-failure -j "$jobs" -LE realclock

echo "== thread sanitizer (the link, the reply pump and the Qt boxes)"
scripts/build.sh build-tsan -DKVT_SANITIZE=thread
TSAN_OPTIONS="halt_on_error=1:second_deadlock_stack=1" \
  ctest --test-dir build-tsan --output-on-failure -j "$jobs" -L 'link|tsan' -LE realclock
