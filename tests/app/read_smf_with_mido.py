#!/usr/bin/env python3
"""Reads the Standard MIDI File of `vpt64 export-mid --smf-sysex` with mido, a MIDI file reader
of its own, and checks it against the dump it was made from: one track, the eight dump blocks
as SysEx events 300 ms apart, then End of Track.

Usage: read_smf_with_mido.py VPT64 DUMP.syx"""
import os
import subprocess
import sys
import tempfile

import mido

BLOCK_SIZE = 265
DELAY_MS = 300


def main(vpt64, dump_path):
    with open(dump_path, "rb") as f:
        dump = f.read()
    blocks = [dump[i:i + BLOCK_SIZE] for i in range(0, len(dump), BLOCK_SIZE)]
    with tempfile.TemporaryDirectory() as folder:
        path = os.path.join(folder, "bank.mid")
        subprocess.run([vpt64, "export-mid", dump_path, path, "--smf-sysex",
                        "--delay", str(DELAY_MS)], check=True, capture_output=True)
        midi = mido.MidiFile(path)
    assert midi.type == 0, midi.type
    assert len(midi.tracks) == 1, len(midi.tracks)
    events = list(midi.tracks[0])
    assert [e.type for e in events] == ["sysex"] * 8 + ["end_of_track"], events
    for n, (event, block) in enumerate(zip(events, blocks)):
        assert bytes(event.bytes()) == block, n
        assert event.time == (0 if n == 0 else DELAY_MS), (n, event.time)
    assert abs(midi.length - 7 * DELAY_MS / 1000) < 1e-9, midi.length
    print("eight blocks, %d ms apart, %.1f s in all" % (DELAY_MS, midi.length))


if __name__ == "__main__":
    main(*sys.argv[1:])
