#!/usr/bin/env python3
"""Writes prop_motion.tsv: the values a property motion gives per 15 ms frame.

Columns: type (0 linear, 1 sine in, 2 sine out), start, target, time (ms), elapsed (ms),
value (17 significant digits), and the value truncated to an integer as an int property
takes it. Formulas: linear start + (target - start) * e / t; type 1
target - sin((t - e - 1) * pi / (2t)) * (target - start); type 2 start + sin(e * pi / (2t)) *
(target - start); e = 0 gives start; e >= t - 1 gives target.
"""
import math
import sys


def value(kind, start, target, time, elapsed):
    if time <= 0:
        return target
    if elapsed == 0:
        return start
    if elapsed >= time - 1:
        return target
    if kind == 1:
        return target - math.sin((time - elapsed - 1) * math.pi / (2 * time)) * (target - start)
    if kind == 2:
        return start + math.sin(elapsed * math.pi / (2 * time)) * (target - start)
    return start + (target - start) * elapsed / time


rows = []
for kind in (0, 1, 2):
    for start, target, time in ((10, 310, 1000), (500, -40, 250), (0, 77, 7)):
        elapsed = 0
        while True:
            v = value(kind, start, target, time, elapsed)
            rows.append(f"{kind}\t{start}\t{target}\t{time}\t{elapsed}\t{v:.17g}\t{math.trunc(v)}")
            if elapsed != 0 and elapsed >= time - 1:
                break
            elapsed += 15
sys.stdout.write("\n".join(rows) + "\n")
