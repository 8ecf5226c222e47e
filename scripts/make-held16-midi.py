#!/usr/bin/env python3
"""Writes the MIDI file of the speed comparison: sixteen notes held for 30 seconds, one per
channel (notes 40, 43, ... 85 on channels 1 to 16), as a standard MIDI file of format 0.

    scripts/make-held16-midi.py [OUT]      (default: benchmarks/held16.mid)
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


def track_events():
    events = [(0, bytes([0xFF, 0x51, 0x03]) + TEMPO_US_PER_QUARTER.to_bytes(3, "big"))]
    notes = [(channel, 40 + 3 * channel) for channel in range(16)]
    events += [(0, bytes([0x90 | ch, note, 100])) for ch, note in notes]
    end = HELD_SECONDS * TICKS_PER_QUARTER * 1000000 // TEMPO_US_PER_QUARTER
    events += [(end if i == 0 else 0, bytes([0x80 | ch, note, 0])) for i, (ch, note) in enumerate(notes)]
    events.append((0, bytes([0xFF, 0x2F, 0x00])))
    return b"".join(variable_length(delta) + data for delta, data in events)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "benchmarks", "held16.mid")
    track = track_events()
    data = (b"MThd" + struct.pack(">IHHH", 6, 0, 1, TICKS_PER_QUARTER)
            + b"MTrk" + struct.pack(">I", len(track)) + track)
    with open(out, "wb") as f:
        f.write(data)
    print(out)


if __name__ == "__main__":
    main()
