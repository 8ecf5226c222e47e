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

# sanitized DIR LABEL CMAKE_OPTION [VAR=VALUE...]: builds the tests labelled LABEL in DIR with the
# sanitizer option on, and runs them with the given environment.
sanitized() {
  local dir="$1" label="$2" option="$3"; shift 3
  configure "$dir" "-D$option=ON" -DGRIBB_BUILD_BENCHMARKS=OFF
  build "$dir" "gribb_${label}_tests"
  if [ -n "$(ctest --test-dir "$dir" -N -L "$label" | grep -E '^ +Test +#')" ]; then
    say "running the tests labelled $label in $(basename "$dir")"
    env "$@" ctest --test-dir "$dir" --output-on-failure -L "$label" -j"${GRIBB_JOBS:-2}" --timeout 900
  fi
}

# AddressSanitizer with UndefinedBehaviorSanitizer: any report fails its test.
sanitized "${GRIBB_ASAN_BUILD_DIR:-$ROOT/build-asan}" asan GRIBB_ASAN "UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1"

# ThreadSanitizer: a report fails its test (exit code 66); reports inside JUCE are suppressed one
# by one, with their reasons.
sanitized "${GRIBB_TSAN_BUILD_DIR:-$ROOT/build-tsan}" tsan GRIBB_TSAN \
  "TSAN_OPTIONS=suppressions=$ROOT/tests/support/tsan-suppressions.txt:second_deadlock_stack=1:exitcode=66"
