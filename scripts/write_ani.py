#!/usr/bin/env python3
"""Writes an animated cursor file (RIFF "ACON") from cursor or icon files.

The layout follows the format's public description: "RIFF" size "ACON", an "anih" chunk of
36 bytes (header size, frame count, step count, width, height, bit count, planes, default
rate in jiffies of 1/60 s, flags: 1 = frames are icon/cursor files, 2 = a "seq " chunk is
present), optional "rate" and "seq " chunks of one 32-bit value per step, and "LIST" "fram"
holding one "icon" chunk per frame. Every chunk is padded to an even size.

usage: write_ani.py OUT.ani --frames a.cur b.cur ... [--rate R] [--rates r1 r2 ...]
                    [--seq i1 i2 ...] [--frame-count N] [--step-count N]
--frame-count and --step-count write a different count into the header than the lists hold,
to make damaged files for the reader's tests.
"""
import argparse
import struct


def chunk(tag, data):
    pad = b"\0" if len(data) % 2 else b""
    return tag + struct.pack("<I", len(data)) + data + pad


def write_ani(frames, rate=6, rates=None, seq=None, frame_count=None, step_count=None):
    steps = len(seq) if seq is not None else (len(rates) if rates is not None else len(frames))
    flags = 1 | (2 if seq is not None else 0)
    header = struct.pack("<9I", 36, len(frames) if frame_count is None else frame_count,
                         steps if step_count is None else step_count, 0, 0, 0, 0, rate, flags)
    body = b"ACON" + chunk(b"anih", header)
    if rates is not None:
        body += chunk(b"rate", struct.pack("<%dI" % len(rates), *rates))
    if seq is not None:
        body += chunk(b"seq ", struct.pack("<%dI" % len(seq), *seq))
    body += chunk(b"LIST", b"fram" + b"".join(chunk(b"icon", f) for f in frames))
    return b"RIFF" + struct.pack("<I", len(body)) + body


def main():
    p = argparse.ArgumentParser()
    p.add_argument("out")
    p.add_argument("--frames", nargs="+", required=True)
    p.add_argument("--rate", type=int, default=6)
    p.add_argument("--rates", type=int, nargs="+")
    p.add_argument("--seq", type=int, nargs="+")
    p.add_argument("--frame-count", type=int)
    p.add_argument("--step-count", type=int)
    a = p.parse_args()
    frames = [open(f, "rb").read() for f in a.frames]
    with open(a.out, "wb") as out:
        out.write(write_ani(frames, a.rate, a.rates, a.seq, a.frame_count, a.step_count))


if __name__ == "__main__":
    main()
