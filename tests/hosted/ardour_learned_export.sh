#!/usr/bin/env bash
# A learned controller in a MIDI region sounds in Ardour 7's export as it does in gribb-render:
# ardour_learned_export.lua records a chord and a sweep of controller 21 into a MIDI track with
# the VST3 (driven headless by ardour7-lua, "None (Dummy)" backend). The plug-in's state in the
# saved session is replaced by the one `gribb-render --learn 21=cutoff --save-state` writes (the
# defaults and the binding), the session is reopened and exported, and the export is compared with
# gribb-render's render of the region's own MIDI file with that state, at Ardour's block size.
#
# Usage: ardour_learned_export.sh VST3_BUNDLE GRIBB_RENDER
# Exit codes: 0 pass, 1 fail, 77 skipped (ardour7-lua or python3 not installed).
set -uo pipefail

bundle="${1:?usage: ardour_learned_export.sh VST3_BUNDLE GRIBB_RENDER}"
render="${2:?usage: ardour_learned_export.sh VST3_BUNDLE GRIBB_RENDER}"
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"

source "$here/ardour_common.sh"
require_ardour
ardour_workspace ardour-learn "$bundle"
mkdir -p "$work/config/ardour7/export" "$work/export"

# Ardour's own 32-bit float format (no dither, no normalisation), named by a preset of ours.
cat >"$work/config/ardour7/export/gribb-float.preset" <<'XML'
<?xml version="1.0" encoding="UTF-8"?>
<ExportPreset id="6b1f3d52-7a8e-4c1f-9b0e-3a6e0c8d2f11" name="Gribb float">
  <ExportFormat id="20b4ab09-6452-4cb3-bd66-b921cdbd2942"/>
  <ExportFilename>
    <Folder relative="1" path="export"/>
    <Field name="label" enabled="1"/>
    <Field name="session" enabled="0"/>
    <Field name="snapshot" enabled="0"/>
    <Field name="timespan" enabled="0"/>
    <Field name="revision" enabled="0"/>
    <Field name="time" enabled="0" value="T_None"/>
    <Field name="date" enabled="0" value="D_None"/>
  </ExportFilename>
</ExportPreset>
XML

# Each phase starts clean: the recording with no session, the export with no WAV file.
prepare_phase() {
  [ "$1" = record ] && rm -rf "$work/session"
  [ "$1" = export ] && rm -f "$work/export/"*.wav
  return 0
}
lua="$here/ardour_learned_export.lua"
# The export's file is complete when the script says "DONE export"; Ardour 7.3's tool may crash
# while closing a session it has exported (under valgrind such a run shows no bad read or write
# of the plug-in's), which costs nothing of the export.
crash_after_done_ok="export"

"$render" --plugin "$bundle" --learn 21=cutoff --save-state "$work/learned.state" >/dev/null || { echo "FAIL: gribb-render cannot save the state"; exit 1; }
"$render" --plugin "$bundle" --save-state "$work/unlearned.state" >/dev/null || exit 1

run_phase "$lua" "BLOCK|REGION" record "$work/session" "$work/export" || exit 1
block="$(sed -n 's/^BLOCK //p' "$work/record-"*.log | tail -n 1)"
midi="$(find "$work/session/interchange" -name "*.mid" | head -n 1)"
[ -n "$midi" ] || { echo "FAIL: Ardour recorded no MIDI file"; exit 1; }

# The session's plug-in state becomes the saved one with the binding.
PYTHONPATH="$here" PYTHONDONTWRITEBYTECODE=1 python3 - "$work/session/learned.ardour" "$work/learned.state" <<'PY' || { echo "FAIL: cannot put the state into the session"; exit 1; }
import sys
import xml.etree.ElementTree as ET
from ardour_vst3_chunk import plugin_node, read_chunks, write_chunks

session, state = sys.argv[1], open(sys.argv[2], "rb").read()
tree = ET.parse(session)
node = plugin_node(tree)
header, chunks = read_chunks(node)
assert any(cid == b"Comp" for cid, _ in chunks)
write_chunks(node, header, [(cid, state if cid == b"Comp" else data) for cid, data in chunks])
tree.write(session, encoding="UTF-8", xml_declaration=True)
PY

run_phase "$lua" "BLOCK|REGION" export "$work/session" "$work/export" || exit 1
exported="$(ls "$work/export/"*.wav 2>/dev/null | head -n 1)"
[ -n "$exported" ] || { echo "FAIL: Ardour exported no WAV file"; exit 1; }

for state in learned unlearned; do
  "$render" --plugin "$bundle" --state "$work/$state.state" --midi "$midi" --block "$block" --rate 48000 \
    --tail 4 --out "$work/$state.wav" >/dev/null || { echo "FAIL: gribb-render cannot render the region's MIDI"; exit 1; }
done

python3 - "$exported" "$work/learned.wav" "$work/unlearned.wav" "$block" <<'PY'
import struct, sys

def read_wav(path):
    data = open(path, "rb").read()
    pos, fmt, samples = 12, None, None
    while pos + 8 <= len(data):
        cid, size = data[pos:pos + 4], struct.unpack_from("<I", data, pos + 4)[0]
        body = data[pos + 8:pos + 8 + size]
        if cid == b"fmt ":
            fmt = struct.unpack_from("<HHIIHH", body)
        elif cid == b"data":
            samples = body
        pos += 8 + size + (size & 1)
    tag, channels, rate, _, _, bits = fmt
    assert bits == 32 and tag in (3, 0xFFFE), f"{path}: not 32-bit float"
    values = struct.unpack(f"<{len(samples) // 4}f", samples)
    return [values[c::channels] for c in range(channels)], rate

(ardour, rate), (learned, _), (unlearned, _) = read_wav(sys.argv[1]), read_wav(sys.argv[2]), read_wav(sys.argv[3])
block = int(sys.argv[4])
n = min(len(ardour[0]), len(learned[0]))
def compare(theirs):
    diff = max(abs(a - b) for c in range(2) for a, b in zip(ardour[c][:n], theirs[c][:n]))
    same = sum(1 for c in range(2) for a, b in zip(ardour[c][:n], theirs[c][:n]) if a == b)
    return diff, same
def rms(x, start, length):
    part = x[start:start + length]
    return (sum(v * v for v in part) / max(1, len(part))) ** 0.5

diff, same = compare(learned)
diff_unlearned, _ = compare(unlearned)
peak = max(abs(v) for v in ardour[0][:n])
print(f"export: {len(ardour[0])} samples at {rate} Hz, block {block}; compared {n} samples per channel, peak {peak:.4f}")
print(f"against gribb-render --state (learned): max difference {diff:.3g}, identical samples {same} of {2 * n}")
print(f"against the same render without the binding: max difference {diff_unlearned:.3g}")
print("RMS per 100 ms (channel 0): ardour / gribb-render")
window = rate // 10
for w in range(0, n // window):
    print(f"  {w / 10:4.1f} s  {rms(ardour[0], w * window, window):.6f}  {rms(learned[0], w * window, window):.6f}")

if peak < 0.01:
    print("FAIL: the export is silent")
    sys.exit(1)
if diff == 0.0:
    print("PASS: the export equals gribb-render's render bit for bit")
    sys.exit(0)
if diff <= 1e-4 * peak and diff_unlearned > 100 * diff:
    print("PASS: the export equals gribb-render's render within float rounding of the host's mix")
    sys.exit(0)
print("FAIL: the export differs from gribb-render's render")
sys.exit(1)
PY
