#!/usr/bin/env python3
"""Writes the WAV fuzzer's seed corpus into tests/fuzz/wav-corpus: small well-formed files of the
formats SDL decodes, and the malformed kinds the sound tests name. Deterministic; run it again
rather than editing the files by hand."""
import os
import random
import struct

here = os.path.join(os.path.dirname(os.path.abspath(__file__)), "wav-corpus")


def chunk(ident, data):
    return ident + struct.pack("<I", len(data)) + data + (b"\0" if len(data) % 2 else b"")


def wav(tag, channels, rate, bits, data, extra=b"", fmt_extra=None):
    align = channels * ((bits + 7) // 8)
    fmt = struct.pack("<HHIIHH", tag, channels, rate, rate * align, align, bits)
    if fmt_extra is not None:
        fmt += struct.pack("<H", len(fmt_extra)) + fmt_extra
    body = b"WAVE" + chunk(b"fmt ", fmt) + extra + chunk(b"data", data)
    return b"RIFF" + struct.pack("<I", len(body)) + body


def write(name, data):
    with open(os.path.join(here, name), "wb") as out:
        out.write(data)


os.makedirs(here, exist_ok=True)
pcm16 = b"".join(struct.pack("<h", (i * 997) % 30000 - 15000) for i in range(64))
write("pcm16-mono.wav", wav(1, 1, 8000, 16, pcm16))
write("pcm16-stereo-list.wav", wav(1, 2, 44100, 16, pcm16, chunk(b"LIST", b"INFOIART\x03\0\0\0ab\0")))
write("pcm8-odd.wav", wav(1, 1, 11025, 8, bytes(range(100, 133))))
write("float32.wav", wav(3, 1, 22050, 32, b"".join(struct.pack("<f", i / 16.0 - 1) for i in range(32))))
write("alaw.wav", wav(6, 1, 8000, 8, bytes(range(0, 256, 7)), fmt_extra=b""))
write("mulaw.wav", wav(7, 2, 8000, 8, bytes(range(1, 255, 5)), fmt_extra=b""))
# IMA ADPCM: one block of 256 bytes per channel, 505 samples each.
ima_block = struct.pack("<hBB", 0, 0, 0) + bytes(random.Random(1).randrange(256) for _ in range(252))
ima = struct.pack("<HHIIHH", 0x11, 1, 8000, 4055, 256, 4) + struct.pack("<HH", 2, 505)
write("ima-adpcm.wav", b"RIFF" + struct.pack("<I", 4 + 8 + 20 + 8 + 4 + 8 + 256) + b"WAVE" +
      chunk(b"fmt ", ima) + chunk(b"fact", struct.pack("<I", 505)) + chunk(b"data", ima_block))
valid = wav(1, 1, 8000, 16, pcm16)
write("truncated-header.wav", valid[:30])
beyond = bytearray(valid)
beyond[40:44] = struct.pack("<I", len(pcm16) * 4)
write("data-beyond-end.wav", bytes(beyond))
write("random-bytes.bin", bytes(random.Random(7).randrange(256) for _ in range(300)))
write("empty.wav", b"")
