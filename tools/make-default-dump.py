#!/usr/bin/env python3
"""Writes the built-in default bank as an eight-block SysEx dump (device id 0)."""
import sys


def label(text, mode):
    # Stored as the editor stores a label: the text, one zero byte, then spaces.
    body = text.encode("ascii")
    return (bytes([ord(mode)]) + body + b"\0").ljust(16, b" ")


def default_record():
    rec = bytearray(2048)
    groups = [(91, "Reverb", "b"), (93, "Chorus", "b"), (74, "CutOff", "c"), (7, "Volume", "b")]
    for g, (cc, name, mode) in enumerate(groups):
        for ch in range(16):
            n = 16 * g + ch
            rec[4 * n:4 * n + 4] = bytes([0x30 + ch, cc, 0, 127])
            rec[0x400 + 16 * n:0x400 + 16 * n + 16] = label("%s #%2d" % (name, ch + 1), mode)
    notes = [(ch, 60) for ch in range(16)]
    notes += [(0, n) for n in (60, 61, 62, 63, 124, 125, 126, 127)]
    notes += [(0, n) for n in range(40, 79)]
    notes += [(15, 79)]
    for i, (ch, note) in enumerate(notes):
        rec[0x100 + 4 * i:0x100 + 4 * i + 4] = bytes([0x10 + ch, note, 127, 0])
    rec[0x240:0x250] = bytes([0x0F] * 16)
    rec[0x250:0x256] = bytes([0x47, 0x11, 0x00, 0x00, 0x00, 0x04])
    rec[0x268:0x26A] = bytes([0x00, 0x04])
    rec[0x26A:0x27A] = b"Sample Bank     "
    rec[0x27A:0x27C] = bytes([2, 0])
    for k in range(1, 9):
        rec[0x27E + 2 * (k - 1)] = k
    return rec


def dump(rec):
    out = bytearray()
    for b in range(8):
        data = rec[256 * b:256 * b + 256]
        out += bytes([0xF0, 0x00, 0x00, 0x7E, 0x43, 0x04, b]) + data
        out += bytes([(-(b + sum(data))) & 0x7F, 0xF7])
    return out


if __name__ == "__main__":
    d = dump(default_record())
    assert len(d) == 2120
    print(" ".join("%02X" % d[265 * b + 263] for b in range(8)), file=sys.stderr)
    with open(sys.argv[1], "wb") as f:
        f.write(d)
