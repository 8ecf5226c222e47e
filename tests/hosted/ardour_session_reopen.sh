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

for tool in ardour7-lua python3; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "SKIPPED: $tool is not installed. On Debian 12: apt-get install ardour (then: ctest -L ardour)"
    exit 77
  fi
done

if [ ! -f "$bundle/Contents/x86_64-linux/$(basename "$bundle" .vst3).so" ]; then
  echo "FAIL: no VST3 module in $bundle"
  exit 1
fi

# A private plug-in folder, configuration and scan cache: nothing of the user's is read or written.
work="$(mktemp -d "${TMPDIR:-/tmp}/gribb-ardour.XXXXXX")"
[ -n "${GRIBB_KEEP_ARDOUR_WORK:-}" ] || trap 'rm -rf "$work"' EXIT
mkdir -p "$work/vst3"
cp -r "$bundle" "$work/vst3/"
# Ardour's scanner dates its cache entry a few seconds after the module; a module younger than
# that would leave the entry in the future, which Ardour does not trust.
find "$work/vst3" -exec touch -d '-1 minute' {} +
export VST3_PATH="$work/vst3" XDG_CONFIG_HOME="$work/config" XDG_CACHE_HOME="$work/cache"

# The Lua tool only reads Ardour's plug-in cache; Ardour's own scanner fills it, as the GUI does.
ardour_libs="$(sed -n 's/^export ARDOUR_DLL_PATH=//p' "$(command -v ardour7-lua)")"
scanner="${ardour_libs:-/usr/lib/ardour7}/ardour-vst3-scanner"
if ! LD_LIBRARY_PATH="${ardour_libs:-/usr/lib/ardour7}" "$scanner" "$work/vst3/$(basename "$bundle")" >"$work/scan.log" 2>&1; then
  echo "FAIL: Ardour's VST3 scanner does not accept the bundle:"
  tail -n 20 "$work/scan.log"
  exit 1
fi

# run_phase PHASE: one ardour7-lua run. Ardour 7.3's headless tool now and then crashes while
# shutting down; such a run is repeated once, and the output says so.
run_phase() {
  local phase="$1" attempt status log
  for attempt in 1 2; do
    log="$work/$phase-$attempt.log"
    [ "$phase" = build ] && rm -rf "$work/session"
    ardour7-lua "$here/ardour_session_reopen.lua" "$phase" "$work/session" >"$log" 2>&1
    status=$?
    grep -E '^(PROGRAM|SET|PRESET|FAIL|DONE)' "$log" | sed "s/^/  [$phase] /"
    if grep -q '^FAIL' "$log"; then
      echo "FAIL: ardour7-lua reported a failure in phase '$phase'; its output:"
      tail -n 40 "$log"
      return 1
    fi
    if [ "$status" -eq 0 ] && grep -q "^DONE $phase" "$log"; then
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

echo "Ardour: $(ardour7-lua --version 2>/dev/null | head -n 1)"
run_phase build || exit 1
cp "$work/session/reopen.ardour" "$work/saved.ardour"
run_phase reopen || exit 1

python3 - "$work/saved.ardour" "$work/session/reopened.ardour" <<'PY'
import base64, struct, sys
import xml.etree.ElementTree as ET

# Program 20's own values of the hand-set parameters: the reopened values must not fall back to them.
PROGRAM_20 = {"cutoff": 1600.0, "fmIndex": 18.0, "lfoShape": 3.0}

def plugin_state(path):
    root = ET.parse(path).getroot()
    node = next(n for n in root.iter("vst3") if n.find("chunk") is not None)
    ports = {p.get("id"): float(p.get("value")) for p in node.findall("Port")}
    blob = base64.b64decode(node.find("chunk").text.strip())
    # Ardour's container: "VST3", version, class ID (32 bytes), offset of the chunk list.
    list_offset = struct.unpack_from("<q", blob, 40)[0]
    assert blob[list_offset:list_offset + 4] == b"List"
    count = struct.unpack_from("<i", blob, list_offset + 4)[0]
    for i in range(count):
        cid, offset, size = struct.unpack_from("<4sqq", blob, list_offset + 8 + 20 * i)
        if cid == b"Comp":
            comp = blob[offset:offset + size]
            break
    else:
        raise SystemExit("no component state in the chunk")
    # The plug-in's block: "VC2!", the text length, the XML text.
    length = struct.unpack_from("<I", comp, 4)[0]
    params = ET.fromstring(comp[8:8 + length].decode("utf-8"))
    values = {p.get("id"): float(p.get("value")) for p in params.findall("PARAM")}
    return ports, values, int(params.get("currentProgram"))

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
