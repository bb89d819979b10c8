#!/usr/bin/env python3
"""Writes the standard MIDI file fixtures of the media tests (nothing binary is made by
hand): a format 0 song with running status, a format 1 song with a tempo change, a SysEx
and a program change, the same format 1 song inside a RIFF "RMID" file, and a format 2
file of two patterns. Run from anywhere; rewrites the files beside this script, and renders
song1 with the fluidsynth program (the oracle) when it is installed."""
import os
import struct
import subprocess

HERE = os.path.dirname(os.path.abspath(__file__))


def number(value):
    out = [value & 0x7F]
    value >>= 7
    while value:
        out.append(0x80 | (value & 0x7F))
        value >>= 7
    return bytes(reversed(out))


def track(events):
    """events: (delta, bytes) pairs; an end-of-track is appended."""
    body = b"".join(number(d) + e for d, e in events) + number(0) + b"\xFF\x2F\x00"
    return b"MTrk" + struct.pack(">I", len(body)) + body


def song(fmt, division, tracks):
    return b"MThd" + struct.pack(">IHHH", 6, fmt, len(tracks), division) + b"".join(tracks)


def write(name, data):
    with open(os.path.join(HERE, name), "wb") as f:
        f.write(data)


# Format 0, 480 ticks a quarter at 120 bpm: C E G as quarter notes, the later notes in
# running status (note-on with velocity 0 as note-off).
song0 = song(0, 480, [track([
    (0, b"\xC0\x00"),
    (0, b"\x90\x3C\x64"), (480, b"\x3C\x00"),
    (0, b"\x40\x64"), (480, b"\x40\x00"),
    (0, b"\x43\x64"), (480, b"\x43\x00"),
])])
write("song0.mid", song0)

# Format 1: a tempo track (120 bpm, then 60 bpm after two quarters) and a melody on
# channel 1 (strings) with a GM-on SysEx and a volume controller.
tempo = track([(0, b"\xFF\x51\x03\x07\xA1\x20"), (960, b"\xFF\x51\x03\x0F\x42\x40")])
melody = track([
    (0, b"\xF0\x05\x7E\x7F\x09\x01\xF7"),
    (0, b"\xC1\x30"), (0, b"\xB1\x07\x70"),
    (0, b"\x91\x45\x60"), (480, b"\x81\x45\x40"),
    (0, b"\x91\x48\x60"), (480, b"\x81\x48\x40"),
    (0, b"\x91\x4C\x60"), (480, b"\x81\x4C\x40"),
    (0, b"\x91\x51\x60"), (480, b"\x81\x51\x40"),
])
song1 = song(1, 480, [tempo, melody])
write("song1.mid", song1)

# The same song inside RIFF RMID.
data = b"data" + struct.pack("<I", len(song1)) + song1 + (b"\0" if len(song1) % 2 else b"")
write("song1.rmi", b"RIFF" + struct.pack("<I", 4 + len(data)) + b"RMID" + data)

# Format 2: two patterns, one after the other (one quarter each).
write("song2.mid", song(2, 96, [
    track([(0, b"\x90\x3C\x50"), (96, b"\x80\x3C\x40")]),
    track([(0, b"\x90\x3E\x50"), (96, b"\x80\x3E\x40")]),
]))

# The oracle: FluidSynth's own player renders song1 with the same sound font and gain;
# sox keeps the first 3.5 s as mono (L + R) / 2, enough for the envelope comparison.
try:
    full = os.path.join(HERE, "song1.full.wav")
    subprocess.run(["fluidsynth", "-ni", "-q", "-g", "0.5", "-r", "44100", "-F", full,
                    "/usr/share/sounds/sf2/default-GM.sf2", os.path.join(HERE, "song1.mid")],
                   check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    subprocess.run(["sox", "-D", full, os.path.join(HERE, "song1.fluidsynth.wav"), "remix", "1-2",
                    "vol", "0.5", "trim", "0", "3.5"], check=True)
    os.remove(full)
except FileNotFoundError:
    pass
