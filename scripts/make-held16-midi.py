#!/usr/bin/env python3
"""Writes the MIDI file of the speed comparison: sixteen notes held for 30 seconds, one per
channel (notes 40, 43, ... 85 on channels 1 to 16, velocity 100), as a standard MIDI file of
format 0. With --no-notes it writes the same 30 seconds without a note, for the idle case.

    scripts/make-held16-midi.py [--no-notes] [OUT]    (default OUT: benchmarks/held16.mid)
"""
import os
import struct
import sys

TICKS_PER_QUARTER = 480
TEMPO_US_PER_QUARTER = 500000  # 120 BPM: 960 ticks a second
HELD_SECONDS = 30


def variable_length(value):
    out = [value & 0x7F]
    value >>= 7
    while value:
        out.insert(0, 0x80 | (value & 0x7F))
        value >>= 7
    return bytes(out)


def track_events(with_notes=True):
    events = [(0, bytes([0xFF, 0x51, 0x03]) + TEMPO_US_PER_QUARTER.to_bytes(3, "big"))]
    notes = [(channel, 40 + 3 * channel) for channel in range(16)] if with_notes else []
    events += [(0, bytes([0x90 | ch, note, 100])) for ch, note in notes]
    end = HELD_SECONDS * TICKS_PER_QUARTER * 1000000 // TEMPO_US_PER_QUARTER
    events += [(end if i == 0 else 0, bytes([0x80 | ch, note, 0])) for i, (ch, note) in enumerate(notes)]
    # The end of the track marks the 30 seconds, also when no note does.
    events.append((0 if notes else end, bytes([0xFF, 0x2F, 0x00])))
    return b"".join(variable_length(delta) + data for delta, data in events)


def main():
    args = sys.argv[1:]
    with_notes = "--no-notes" not in args
    args = [a for a in args if a != "--no-notes"]
    if len(args) > 1 or any(a.startswith("-") for a in args):
        sys.exit(__doc__)
    here = os.path.dirname(os.path.abspath(__file__))
    out = args[0] if args else os.path.join(here, "..", "benchmarks", "held16.mid")
    track = track_events(with_notes)
    data = (b"MThd" + struct.pack(">IHHH", 6, 0, 1, TICKS_PER_QUARTER)
            + b"MTrk" + struct.pack(">I", len(track)) + track)
    with open(out, "wb") as f:
        f.write(data)
    print(out)


if __name__ == "__main__":
    main()
