#!/usr/bin/env python3
"""Generates expected values for the particle motion rules and the emitter's timing.

particle_motion.txt: for each case a line "case rule P0 P1 P2 left top pw ph steps..." then
the R values handed to Init ("r ..."), then after Init and after each Step(a) a line
"left top X0 Y0 zoom prio finished E0 .. E6". The rules are modelled with Python's math
(sin, cos, hypot, pow), round() (halves to even) and int() (toward zero).

emitter_counts.txt: "case delay warmup duration motion frames" (delay "none" when the
expression yields nothing) then the number of emissions in each frame (15 ms frames),
modelled as a state machine: state 0 sets the accumulator to warmup % 16, the countdown to
0 and emits warmup // 16 steps; state 1 adds the frame's time, emits accumulator // 16 steps,
keeps the remainder and counts the duration down (when positive; at <= 0 state 2); an emit
of n steps takes n * 16 from the countdown and, with a motion other than 0, creates one piece
for each interval while the countdown is <= 0 (interval max(2, delay), 16 with no delay).
Run from this folder: python3 gen_particle_vectors.py
"""
import math
import random

TWO_PI = 2 * math.pi
I32 = 2147483647


def sat(v):
    if v != v:
        return 0
    return max(-I32 - 1, min(I32, int(v)))


def rnd(v):
    if v != v:
        return 0
    if math.isinf(v):
        return sat(v)
    return round(v)


def trunc(v):
    if v != v:
        return 0
    if math.isinf(v):
        return sat(v)
    return int(v)


class Body:
    def __init__(s, rule, p, left, top):
        s.rule, s.P, s.E = rule, list(p), [0.0] * 7
        s.X0 = s.Y0 = 0
        s.left, s.top = left, top
        s.zoom, s.prio, s.finished = 256, 0, False

    def init(s, pw, ph, R):
        P, E = s.P, s.E
        if s.rule == 1:
            s.X0, s.Y0 = s.left, s.top
            E[2] = 0.0
            E[3] = R() * 0.02 + 0.02
            if P[0] <= 0:
                P[0] = 0.1
            if P[2] > P[1]:
                E[2] = R() * (P[2] - P[1])
        elif s.rule == 2:
            s.X0, s.Y0 = s.left, s.top
            E[4] = R() * TWO_PI
            E[5] = P[0] + 0.1
            s.left = sat(s.X0 + rnd(E[5] * math.cos(E[4])))
            s.top = sat(s.Y0 + rnd(E[5] * math.sin(E[4])))
            ex = 0 if s.X0 >= pw / 2 else pw
            ey = 0 if s.Y0 >= ph / 2 else ph
            E[6] = math.hypot(abs(ey - s.Y0), abs(ex - s.X0))
            P[2] = R() * (0.3 * P[2]) + 0.7 * P[2]
        elif s.rule == 3:
            P[1] = (P[2] - P[1]) * R() + P[1]
            E[0] = float(s.left)
            s.Y0 = s.top
        elif s.rule == 4:
            s.X0 = s.left
            E[1] = float(s.top)
            E[2] = R() * (0.05 * P[1] / 2) + 0.95 * P[1] / 2
            E[5] = R() * (P[2] / 2) + P[2] / 2

    def step(s, a):
        P, E = s.P, s.E
        if s.rule == 1:
            E[4] = E[4] + E[3] * a
            s.left = sat(s.X0 + rnd(math.sin(E[4]) * (P[1] + E[2])))
            E[1] = E[1] + a * P[0]
            if E[1] >= 1:
                w = trunc(E[1])
                s.top = sat(s.top + w)
                E[1] = E[1] - w
        elif s.rule == 2:
            if a > 1:
                try:
                    E[5] = E[5] * P[1] ** (a - 1)
                except OverflowError:  # beyond doubles; the 80-bit real holds it, still out of range
                    E[5] = math.inf
            if not (-I32 <= E[5] <= I32):
                s.finished = True
                return
            s.left = sat(s.X0 + rnd(math.cos(E[4]) * E[5]))
            s.top = sat(s.Y0 + rnd(math.sin(E[4]) * E[5]))
            E[5] = E[5] * P[1]
            if E[5] >= E[6]:
                s.finished = True
            E[4] = E[4] + P[2]
        elif s.rule == 3:
            E[0] = E[0] + a * P[1]
            s.left = trunc(E[0])
            E[1] = E[1] + a
            s.top = sat(s.Y0 - trunc(P[0] * E[1] * E[1]))
        elif s.rule == 4:
            E[4] = E[4] + a * E[5]
            if E[4] > TWO_PI:
                E[4] = E[4] - TWO_PI
            g = abs(math.cos(E[4] / 2)) / 2 + 0.5
            s.zoom = rnd(g * 256)
            s.left = sat(s.X0 + trunc(g * math.sin(E[4]) * E[2]))
            E[1] = E[1] - P[0]
            s.top = trunc(E[1])
            s.prio = rnd((g - 0.5) / 0.5 * 2000 - 1000)
        else:
            s.finished = True

    def line(s):
        return "%d %d %d %d %d %d %d %s" % (s.left, s.top, s.X0, s.Y0, s.zoom, s.prio, int(s.finished),
                                            " ".join(repr(e) for e in s.E))


def motion_cases(f):
    rng = random.Random(2025)
    cases = [
        (1, (0.0, 10.0, 30.0), 100, 0), (1, (2.5, 20.0, 5.0), 7, 3), (1, (1e15, 4.0, 8.0), 50, 50),
        (2, (3.0, 1.08, 0.02), 320, 240), (2, (0.0, 1.5, -0.1), 10, 470), (2, (1.0, 1e200, 0.0), 100, 100),
        (3, (0.05, -1.0, 2.0), 200, 400), (3, (1e30, 1.0, 1.0), 10, 10), (3, (0.01, 3.0, -2.0), 600, 300),
        (4, (1.5, 80.0, 0.2), 320, 470), (4, (0.5, 40.0, 0.07), 100, 200), (0, (1.0, 1.0, 1.0), 5, 5),
    ]
    for rule, p, left, top in cases:
        steps = [rng.choice([1, 1, 2, 3, 5]) for _ in range(8)]
        rs = [rng.random() for _ in range(3)]
        it = iter(rs)
        b = Body(rule, p, left, top)
        f.write("case %d %s %d %d 640 480 %s\n" % (rule, " ".join(repr(x) for x in p), left, top,
                                                   " ".join(map(str, steps))))
        f.write("r %s\n" % " ".join(repr(x) for x in rs))
        b.init(640, 480, lambda: next(it))
        f.write(b.line() + "\n")
        for a in steps:
            if not b.finished:
                b.step(a)
            f.write(b.line() + "\n")


def emitter_counts(delay, warmup, duration, motion, frames, frame_ms=15):
    state, acc, countdown, counts = 0, 0, 0, []

    def emit(n, emitting):
        nonlocal countdown
        made = 0
        if emitting:
            countdown -= n * 16
        if not emitting or motion == 0:
            return 0
        while countdown <= 0:
            interval = 16 if delay is None else max(2, delay)
            countdown += interval
            made += 1
        return made

    for _ in range(frames):
        made = 0
        if state == 0:
            state, acc, countdown = 1, warmup % 16, 0
            made = emit(warmup // 16, True)
        elif state == 1:
            acc += frame_ms
            made = emit(acc // 16, True)
            acc %= 16
            if duration > 0:
                duration -= frame_ms
                if duration <= 0:
                    state = 2
        counts.append(made)
    return counts


def main():
    with open("particle_motion.txt", "w") as f:
        motion_cases(f)
    with open("emitter_counts.txt", "w") as f:
        for delay in (None, 1, 2, 16, 50):
            for warmup in (0, 1000):
                for duration, motion in ((0, 1), (100, 1), (0, 0)):
                    frames = 20
                    f.write("case %s %d %d %d %d\n" % ("none" if delay is None else delay, warmup, duration,
                                                       motion, frames))
                    f.write(" ".join(map(str, emitter_counts(delay, warmup, duration, motion, frames))) + "\n")


if __name__ == "__main__":
    main()
