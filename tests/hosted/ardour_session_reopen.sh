#!/usr/bin/env bash
# A saved project reopens as the musician left it, in Ardour 7 itself: ardour_session_reopen.lua
# builds a session with the VST3 (factory program 20 from Ardour's preset list, then three
# parameters set by hand), saves it, and reopens it in a fresh ardour7-lua. The plug-in's own
# values (from the state chunk Ardour saves) and Ardour's copy of each parameter (its "Port"
# values) must be the same after reopening as when the session was saved.
#
# Usage: ardour_session_reopen.sh VST3_BUNDLE
# Exit codes: 0 pass, 1 fail, 77 skipped (ardour7-lua or python3 not installed).
set -uo pipefail

bundle="${1:?usage: ardour_session_reopen.sh VST3_BUNDLE}"
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"

source "$here/ardour_common.sh"
require_ardour

if [ ! -f "$bundle/Contents/x86_64-linux/$(basename "$bundle" .vst3).so" ]; then
  echo "FAIL: no VST3 module in $bundle"
  exit 1
fi

ardour_workspace ardour "$bundle"
# The build starts with no session.
prepare_phase() {
  [ "$1" = build ] && rm -rf "$work/session"
  return 0
}
lua="$here/ardour_session_reopen.lua"

run_phase "$lua" "PROGRAM|SET|PRESET" build "$work/session" || exit 1
cp "$work/session/reopen.ardour" "$work/saved.ardour"
run_phase "$lua" "PROGRAM|SET|PRESET" reopen "$work/session" || exit 1

PYTHONPATH="$here" PYTHONDONTWRITEBYTECODE=1 python3 - "$work/saved.ardour" "$work/session/reopened.ardour" <<'PY'
import sys
import xml.etree.ElementTree as ET
from ardour_vst3_chunk import component_parameters, plugin_node

# Program 20's own values of the hand-set parameters: the reopened values must not fall back to them.
PROGRAM_20 = {"cutoff": 1600.0, "fmIndex": 18.0, "lfoShape": 3.0}

def plugin_state(path):
    node = plugin_node(ET.parse(path))
    ports = {p.get("id"): float(p.get("value")) for p in node.findall("Port")}
    values, program = component_parameters(node)
    return ports, values, program

saved_ports, saved, saved_program = plugin_state(sys.argv[1])
ports, reopened, program = plugin_state(sys.argv[2])

ok = len(saved) == 22 and saved_program == 19
print(f"{'parameter':<14} {'saved':>12} {'reopened':>12}")
for key in saved:
    same = abs(saved[key] - reopened.get(key, float("nan"))) <= 1e-6 * max(1.0, abs(saved[key]))
    hand = " (set by hand)" if key in PROGRAM_20 else ""
    print(f"{key:<14} {saved[key]:>12.6g} {reopened.get(key, float('nan')):>12.6g}  {'ok' if same else 'DIFFERENT'}{hand}")
    ok = ok and same
for key, value in PROGRAM_20.items():
    if abs(saved[key] - value) < 1e-6:
        print(f"the saved {key} equals program 20's value: the session does not test anything")
        ok = False
print(f"currentProgram  saved {saved_program}  reopened {program}")
ok = ok and program == saved_program
port_diffs = [k for k in saved_ports if abs(saved_ports[k] - ports.get(k, float("nan"))) > 1e-6]
print(f"Ardour's copy: {len(saved_ports)} values, {len(port_diffs)} different after reopening")
ok = ok and not port_diffs
print("PASS: the reopened session holds all 22 values and the program" if ok else "FAIL: the reopened session lost values")
sys.exit(0 if ok else 1)
PY
