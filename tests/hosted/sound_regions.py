#!/usr/bin/env python3
"""Lists the stretches of sound in a recorded WAV file (16-bit PCM, first channel), one line each:

    START END DURATION LEVEL_DB RISE FREQUENCY RISE_AT

in seconds, dBFS (RMS of the loudest 10 ms), the largest 10 ms level after the note's first
0.3 s relative to its level at 0.3 to 0.5 s (1.0 for a note that starts once and holds; a note
started again while it sounds rises to well above), the pitch in Hz from the zero crossings
of the region's first 0.4 s after its attack, and when that largest level comes, in seconds
after the region's start. Sound is where the 10 ms RMS is above -70 dBFS;
gaps under 50 ms do not split a region. A first line, after "#", gives the length, the number
of regions and the loudest 10 ms of the silence between them (-200 for digital silence), with
its time. The silence leaves out the 0.5 s after each region (its release's last tail) and the
50 ms before it: a window that ends a few samples into a note's attack holds only the attack's
first, quiet samples, so it is neither sound nor silence.
    sound_regions.py FILE.wav
With "--profile FROM TO" it prints instead the 10 ms levels from FROM to TO seconds, one
"TIME LEVEL_DB" line each, to show how a level rose.
"""
import math
import struct
import sys
import wave

WINDOW = 0.010
THRESHOLD_DB = -70.0
MAX_GAP = 0.050


def read_first_channel(path):
    with wave.open(path, "rb") as w:
        if w.getsampwidth() != 2:
            sys.exit(f"{path}: expected 16-bit PCM, got {8 * w.getsampwidth()}-bit")
        channels, rate, frames = w.getnchannels(), w.getframerate(), w.getnframes()
        data = w.readframes(frames)
    samples = struct.unpack(f"<{len(data) // 2}h", data)[::channels]
    return [s / 32768.0 for s in samples], rate


def db(x):
    return 20.0 * math.log10(x) if x > 0 else -200.0


def main():
    samples, rate = read_first_channel(sys.argv[1])
    n = int(WINDOW * rate)
    levels = []
    for i in range(0, len(samples) - n + 1, n):
        block = samples[i:i + n]
        levels.append(math.sqrt(sum(s * s for s in block) / n))

    if len(sys.argv) == 5 and sys.argv[2] == "--profile":
        first, last = float(sys.argv[3]), float(sys.argv[4])
        for k, level in enumerate(levels):
            if first <= k * WINDOW <= last:
                print(f"{k * WINDOW:.2f} {db(level):.1f}")
        return

    regions, start, last = [], None, None
    for k, level in enumerate(levels):
        if db(level) > THRESHOLD_DB:
            if start is None or (k - last) * WINDOW > MAX_GAP:
                if start is not None:
                    regions.append((start, last))
                start = k
            last = k
    if start is not None:
        regions.append((start, last))

    # The silence between the notes: from 0.5 s after each one's end to 50 ms before the next.
    after, before = int(0.5 / WINDOW), int(MAX_GAP / WINDOW)
    near = set(k for a, b in regions for k in range(a - before, b + after + 1))
    silence = [(level, k) for k, level in enumerate(levels) if k not in near]
    loudest, at = max(silence, default=(0.0, 0))
    print(f"# {len(samples) / rate:.2f} s at {rate} Hz, {len(regions)} regions; "
          f"between them, at most {db(loudest):.1f} dBFS (at {at * WINDOW:.2f} s)")
    for a, b in regions:
        t0, t1 = a * WINDOW, (b + 1) * WINDOW
        peak = max(levels[a:b + 1])
        plateau = sorted(levels[a + 30:a + 50])
        after = levels[a + 30:b + 1]
        rise = max(after) / plateau[len(plateau) // 2] if plateau and plateau[len(plateau) // 2] > 0 else 0.0
        rise_at = (30 + after.index(max(after))) * WINDOW if after else 0.0
        first = samples[int((t0 + 0.02) * rate):int((t0 + 0.42) * rate)]
        crossings = sum(1 for x, y in zip(first, first[1:]) if (x < 0) != (y < 0))
        frequency = crossings / 2.0 / (len(first) / rate) if first else 0.0
        print(f"{t0:.3f} {t1:.3f} {t1 - t0:.3f} {db(peak):.1f} {rise:.3f} {frequency:.1f} {rise_at:.2f}")


if __name__ == "__main__":
    main()
