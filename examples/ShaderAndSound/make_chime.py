#!/usr/bin/env python3
"""Writes Data/Chime.wav, the example's sound: a bell-like chime of two tones dying away, 0.8 s of
16-bit mono at 22050 Hz. Deterministic; run it again rather than editing the file by hand."""
import math
import os
import struct

rate = 22050
frames = int(rate * 0.8)
samples = []
for i in range(frames):
    t = i / rate
    # A soft start keeps the first sample from clicking.
    attack = min(1.0, t / 0.005)
    value = attack * (0.55 * math.exp(-4.0 * t) * math.sin(2 * math.pi * 880 * t) +
                      0.30 * math.exp(-6.0 * t) * math.sin(2 * math.pi * 1320 * t) +
                      0.15 * math.exp(-9.0 * t) * math.sin(2 * math.pi * 2640 * t))
    samples.append(int(round(value * 26000)))
data = struct.pack("<%dh" % frames, *samples)
fmt = struct.pack("<HHIIHH", 1, 1, rate, rate * 2, 2, 16)
body = b"WAVE" + b"fmt " + struct.pack("<I", len(fmt)) + fmt + b"data" + struct.pack("<I", len(data)) + data
path = os.path.join(os.path.dirname(os.path.abspath(__file__)), "Data", "Chime.wav")
with open(path, "wb") as out:
    out.write(b"RIFF" + struct.pack("<I", len(body)) + body)
