#!/usr/bin/env python3
"""Generates the fire surface's decay tables and heat steps with their expected values.

Decay: d[n] = round(n / (x - ((1023 - n) / 1023)^3 * 0.05)) computed exactly with fractions
(the decimal constants taken as written), rounded half to even, 255 and above kept as 254;
x = (128 - p) / 128 * 1.2825 + 4.2175 for power p, 4.5 when no power is set.

Steps: a plain model of the heat buffer. Setup fills every cell with 16, takes one jitter
value 0..8 per cell (here from Python's random, written to the file so the player's test can
hand the same values over), row order i mod height, column order i mod width, offsets 0.
A step: r = row_order[r + 1]; c = column_order[c + 1] when r % 8 == 0; the bottom four rows
(those that exist) get 254; then for y = 0 .. h - 3 top down and x = 1 .. w - 2 in place
h(x, y) = clamp[d[h(x-1, y+1) + h(x+1, y+1) + h(x, y) + h(x, y+2)] - jitter[...]] with the
clamp index kept inside 0..255 and clamp[i] = 16 below 16, i otherwise.

Writes fire_decay.txt ("power p" then 1024 values; p = "unset" for none) and
fire_steps.txt (per case: "case w h steps power", the jitter line, then the cells after
every step, one line each). Run from this folder: python3 gen_fire_vectors.py
"""
import random
from fractions import Fraction


def decay_table(power):
    if power is None:
        x = Fraction(9, 2)
    else:
        x = Fraction(128 - power, 128) * Fraction("1.2825") + Fraction("4.2175")
    table = []
    for n in range(1024):
        fall = Fraction(1023 - n, 1023)
        value = Fraction(n) / (x - fall ** 3 * Fraction("0.05"))
        r = round(value)  # Fraction rounds halves to even
        table.append(254 if r >= 255 else r)
    return table


def clamp_table():
    return [16 if i < 16 else i for i in range(256)]


def run_fire(w, h, steps, power, jitter):
    d = decay_table(power)
    c_table = clamp_table()
    cells = [16] * (w * h)
    row_order = [i % h for i in range(2 * h)] if h else []
    col_order = [i % w for i in range(2 * w)] if w else []
    r = c = 0
    out = []
    for _ in range(steps):
        if w and h:
            r = row_order[r + 1]
            if r % 8 == 0:
                c = col_order[c + 1]
            for y in range(max(h - 4, 0), h):
                for x in range(w):
                    cells[y * w + x] = 254
            if w >= 3 and h >= 3:
                for y in range(0, h - 2):
                    for x in range(1, w - 1):
                        s = cells[y * w + x - 1 + w] + cells[y * w + x + 1 + w] + cells[y * w + x] + cells[(y + 2) * w + x]
                        j = jitter[col_order[c + x] + row_order[r + y] * w]
                        cells[y * w + x] = c_table[min(max(d[s] - j, 0), 255)]
        out.append(list(cells))
    return out


def main():
    with open("fire_decay.txt", "w") as f:
        for power in (None, 0, 128, 255, 200, 37):
            f.write("power %s\n" % ("unset" if power is None else power))
            f.write(" ".join(map(str, decay_table(power))) + "\n")
    rng = random.Random(25)
    cases = [(0, 0, 3, 100), (1, 1, 3, 100), (2, 5, 3, 100), (5, 2, 3, 100), (3, 3, 5, 100),
             (3, 4, 5, 0), (7, 10, 20, None), (16, 20, 30, 255), (13, 9, 17, 128)]
    with open("fire_steps.txt", "w") as f:
        for w, h, steps, power in cases:
            jitter = [rng.randrange(9) for _ in range(w * h)]
            f.write("case %d %d %d %s\n" % (w, h, steps, "unset" if power is None else power))
            f.write(" ".join(map(str, jitter)) + "\n")
            for cells in run_fire(w, h, steps, power, jitter):
                f.write(" ".join(map(str, cells)) + "\n")


if __name__ == "__main__":
    main()
