#!/usr/bin/env python3
"""Generates the wave surface's phases and row displacements.

Per case (delay, frame ms, amp, wave length, rows): the accumulator gains ms * 256 each
frame, steps = accumulator // delay, accumulator %= delay, phase = (phase - steps) mod 255
(a true modulo, so any number of steps stays in 0..254); displacement of row i =
round(amp * sin(2 pi (phase / 256 + i / wave_len))) with Python's math and round (halves to
even). Writes wave.txt: "case delay ms amp wavelen rows frames", then per frame the phase
followed by the row displacements. Run from this folder: python3 gen_wave_vectors.py
"""
import math


def main():
    with open("wave.txt", "w") as f:
        for delay in (1, 2, 100, 2000):
            for ms in (15, 16):
                amp, wave_len, rows, frames = 10, 200, 12, 6
                if delay == 100:
                    amp, wave_len = -7, 5
                f.write("case %d %d %d %d %d %d\n" % (delay, ms, amp, wave_len, rows, frames))
                phase, acc = 0, 0
                for _ in range(frames):
                    acc += ms * 256
                    steps, acc = acc // delay, acc % delay
                    phase = (phase - steps) % 255
                    shifts = [round(amp * math.sin(2 * math.pi * (phase / 256 + i / wave_len))) for i in range(rows)]
                    f.write("%d %s\n" % (phase, " ".join(map(str, shifts))))


if __name__ == "__main__":
    main()
