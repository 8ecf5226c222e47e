#!/usr/bin/env bash
# The tests: set-up, build, and the whole suite through ctest; then the tests labelled "asan"
# again in a separate AddressSanitizer and UndefinedBehaviorSanitizer build, and the tests
# labelled "tsan" in a ThreadSanitizer build.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

bootstrap
configure "$BUILD_DIR"
build "$BUILD_DIR" all

say "running the test suite"
ctest --test-dir "$BUILD_DIR" --output-on-failure -j"${GRIBB_JOBS:-2}" --timeout 900

ASAN_DIR="${GRIBB_ASAN_BUILD_DIR:-$ROOT/build-asan}"
configure "$ASAN_DIR" -DGRIBB_ASAN=ON -DGRIBB_BUILD_BENCHMARKS=OFF
build "$ASAN_DIR" gribb_asan_tests
if [ -n "$(ctest --test-dir "$ASAN_DIR" -N -L asan | grep -E '^ +Test +#')" ]; then
  say "running the AddressSanitizer and UndefinedBehaviorSanitizer tests"
  UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1" \
    ctest --test-dir "$ASAN_DIR" --output-on-failure -L asan -j"${GRIBB_JOBS:-2}" --timeout 900
fi

TSAN_DIR="${GRIBB_TSAN_BUILD_DIR:-$ROOT/build-tsan}"
configure "$TSAN_DIR" -DGRIBB_TSAN=ON -DGRIBB_BUILD_BENCHMARKS=OFF
build "$TSAN_DIR" gribb_tsan_tests
if [ -n "$(ctest --test-dir "$TSAN_DIR" -N -L tsan | grep -E '^ +Test +#')" ]; then
  say "running the ThreadSanitizer tests"
  # A report fails its test (exit code 66); reports inside JUCE are suppressed one by one, with reasons.
  TSAN_OPTIONS="suppressions=$ROOT/tests/support/tsan-suppressions.txt:second_deadlock_stack=1:exitcode=66" \
    ctest --test-dir "$TSAN_DIR" --output-on-failure -L tsan -j1 --timeout 900
fi
