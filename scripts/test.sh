#!/usr/bin/env bash
# The tests: set-up, build, and the whole suite through ctest; then the tests labelled "asan"
# again in a separate AddressSanitizer build.
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
  say "running the AddressSanitizer tests"
  ctest --test-dir "$ASAN_DIR" --output-on-failure -L asan -j"${GRIBB_JOBS:-2}" --timeout 900
fi
