#!/usr/bin/env bash
# The Standalone's command line answers without a display, and without one the app says so and
# exits instead of waiting for ever.
#   standalone_command_line_test.sh <Standalone program>
set -uo pipefail
app="$1"
fail() { echo "FAIL: $*" >&2; exit 1; }

run() { # run ARGS...: the app without a display, stopped after 30 s; sets out and code
  out=$(env -u DISPLAY -u WAYLAND_DISPLAY timeout 30 "$app" "$@" 2>&1)
  code=$?
}

run --help
[ "$code" -eq 0 ] || fail "--help exited with $code: $out"
grep -q '^usage: gribb-tazo' <<<"$out" || fail "--help printed: $out"

run --version
[ "$code" -eq 0 ] || fail "--version exited with $code: $out"
grep -qx 'Gribb Tazo [0-9.]*' <<<"$out" || fail "--version printed: $out"

run
[ "$code" -ne 124 ] || fail "without a display the app hangs"
[ "$code" -eq 1 ] || fail "without a display the app exited with $code: $out"
grep -q 'gribb-tazo: error: no display' <<<"$out" || fail "without a display the app said: $out"
echo "PASS: --help, --version and no display"
