# Shared by the tests that drive Ardour 7 headless through ardour7-lua (sourced, not run).

# require_ardour: exits 77 (skipped) when ardour7-lua or python3 is missing.
require_ardour() {
  local tool
  for tool in ardour7-lua python3; do
    if ! command -v "$tool" >/dev/null 2>&1; then
      echo "SKIPPED: $tool is not installed. On Debian 12: apt-get install ardour (then: ctest -L ardour)"
      exit 77
    fi
  done
}

# ardour_workspace NAME BUNDLE: a private plug-in folder, configuration and scan cache in a new
# folder $work (removed on exit unless GRIBB_KEEP_ARDOUR_WORK is set), so that nothing of the
# user's is read or written. The VST3 BUNDLE is copied there and scanned by Ardour's own scanner,
# as the GUI does (the Lua tool only reads Ardour's plug-in cache); exits 1 if it is refused.
ardour_workspace() {
  local name="$1" bundle="$2"
  work="$(mktemp -d "${TMPDIR:-/tmp}/gribb-$name.XXXXXX")"
  [ -n "${GRIBB_KEEP_ARDOUR_WORK:-}" ] || trap 'rm -rf "$work"' EXIT
  mkdir -p "$work/vst3"
  cp -r "$bundle" "$work/vst3/"
  # Ardour's scanner dates its cache entry a few seconds after the module; a module younger than
  # that would leave the entry in the future, which Ardour does not trust.
  find "$work/vst3" -exec touch -d '-1 minute' {} +
  export VST3_PATH="$work/vst3" XDG_CONFIG_HOME="$work/config" XDG_CACHE_HOME="$work/cache"

  local libs scanner
  libs="$(sed -n 's/^export ARDOUR_DLL_PATH=//p' "$(command -v ardour7-lua)")"
  scanner="${libs:-/usr/lib/ardour7}/ardour-vst3-scanner"
  if ! LD_LIBRARY_PATH="${libs:-/usr/lib/ardour7}" "$scanner" "$work/vst3/$(basename "$bundle")" >"$work/scan.log" 2>&1; then
    echo "FAIL: Ardour's VST3 scanner does not accept the bundle:"
    tail -n 20 "$work/scan.log"
    exit 1
  fi
  echo "Ardour: $(ardour7-lua --version 2>/dev/null | head -n 1)"
}

# run_phase LUA SHOWN PHASE [ARGS...]: one run of ardour7-lua with the script LUA, PHASE and ARGS
# (GRIBB_ARDOUR_LUA_DIR names LUA's folder, where the script finds ardour_common.lua);
# the output's lines that start with one of the words in SHOWN (a pattern such as "BLOCK|REGION"),
# FAIL or DONE are shown. Before each run the function prepare_phase PHASE is called, if the test
# defines one. Ardour 7.3's headless tool now and then crashes while shutting down; such a run is
# repeated once, and the output says so. A phase named in crash_after_done_ok (set by the test)
# whose work is complete when it prints "DONE <phase>" is taken as it is after such a crash.
run_phase() {
  local lua="$1" shown="$2" phase="$3" attempt status log
  shift 3
  for attempt in 1 2; do
    log="$work/$phase-$attempt.log"
    if declare -F prepare_phase >/dev/null; then prepare_phase "$phase"; fi
    GRIBB_ARDOUR_LUA_DIR="$(dirname "$lua")" ardour7-lua "$lua" "$phase" "$@" >"$log" 2>&1
    status=$?
    grep -E "^($shown|FAIL|DONE)" "$log" | sed "s/^/  [$phase] /"
    if grep -q '^FAIL' "$log"; then
      echo "FAIL: ardour7-lua reported a failure in phase '$phase'; its output:"
      tail -n 40 "$log"
      return 1
    fi
    if [ "$status" -eq 0 ] && grep -q "^DONE $phase" "$log"; then
      return 0
    fi
    if grep -q "^DONE $phase" "$log" && [[ " ${crash_after_done_ok:-} " == *" $phase "* ]]; then
      echo "NOTE: ardour7-lua exited with status $status after finishing phase '$phase' (a crash while shutting down); its work is complete"
      return 0
    fi
    if [ "$attempt" -eq 1 ]; then
      echo "NOTE: ardour7-lua exited with status $status in phase '$phase' (a crash while shutting down); retrying once"
    fi
  done
  echo "FAIL: ardour7-lua crashed twice in phase '$phase'; last output:"
  tail -n 40 "$log"
  return 1
}
