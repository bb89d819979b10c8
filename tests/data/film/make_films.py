#!/usr/bin/env python3
"""Writes the film fixtures of the film tests from the stored layout, independently of the
player's own writer, and the easing table computed with Python's math.sin and round.

Each versions/vNNN.mmt holds one track of every kind with distinct values, so a test can tell
which fields a version carries. Run from anywhere; it rewrites the files beside itself."""
import math
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))


def i32(v):
    return struct.pack('<i', v)


def u8(v):
    return struct.pack('<B', v)


def f64(v):
    return struct.pack('<d', v)


def pt(x, y):
    return i32(x) + i32(y)


def s(text):
    b = text.encode('cp932') if isinstance(text, str) else text
    return i32(len(b)) + b


def crop(base):
    return pt(base, base + 1) + pt(base + 2, base + 3) + pt(base + 4, base + 5) + pt(base + 6, base + 7) + u8(1) + u8(2)


def common(parent=-1, length=30, unnamed=77, start=0, loop=0, prio=5, fh=1, fv=0, other=0):
    return i32(parent) + i32(length) + i32(unnamed) + i32(start) + i32(loop) + i32(prio) + u8(fh) + u8(fv) + u8(other)


def image_record(v, base=(3, 4), pos=((10, 20), (110, 220)), angle=(0, 90), zx=(1.0, 2.0), alpha=(0, 128),
                 zy=(0.5, 1.5), ab=(1, 2, 3, 4)):
    out = pt(*base) + pt(*pos[0]) + pt(*pos[1]) + u8(0) + u8(2)
    out += i32(angle[0]) + i32(angle[1]) + f64(zx[0]) + f64(zx[1]) + u8(1)
    out += i32(alpha[0]) + i32(alpha[1]) + u8(0)
    if v > 100:
        out += crop(40)
    if v >= 105:
        out += f64(zy[0]) + f64(zy[1]) + u8(2)
    if v >= 109:
        out += b''.join(i32(x) for x in ab)
    return out


def header(v, kind='MobuMotion', screen=(640, 480), back=0x123456, relative=1, origin=(7, 8), loop_start=12):
    out = (kind + '%03d' % v).encode('ascii') + pt(*screen) + i32(back)
    if v > 101:
        out += u8(relative)
    if v > 103:
        out += pt(*origin)
    if v > 105:
        out += i32(loop_start)
    return out


def every_kind(v):
    tracks = []
    # 0 image
    tracks.append(u8(0) + common() + image_record(v) + s('pic\\a.fsk'))
    # 1 label (kind byte with its high bit set: ignored)
    lab = u8(0x81) + common(start=2) + image_record(v) + s('ラベル') + u8(1) + s('') + i32(24)
    if v >= 103:
        lab += i32(6)
    lab += u8(1) + i32(0x00FF00)
    if v > 102:
        lab += u8(9)
    tracks.append(lab)
    # 2 box
    box = u8(2) + common(length=11) + pt(0, 0) + pt(100, 50) + u8(0) + u8(0)
    box += i32(0) + i32(0) + i32(10) + i32(20) + i32(30) + i32(40)
    box += i32(0x000000) + i32(0x0A141E) + i32(1) + i32(3) + i32(0xFFFFFF) + i32(0x000000)
    if v > 100:
        box += crop(60)
    if v >= 109:
        box += i32(5) + i32(6) + i32(7) + i32(8)
    tracks.append(box)
    # 3 transition
    wipe = u8(3) + common(length=20, start=4) + u8(1)
    if v > 100:
        wipe += s('mask.fsk') + i32(11) + i32(22) + u8(1)
    tracks.append(wipe)
    # 4 sound
    tracks.append(u8(4) + common(length=40) + s('se\\hit.ogg') + i32(500) + i32(-1000) + i32(-30) + i32(30) + u8(0) + u8(1))
    # 5 tile
    tile = u8(5) + common() + image_record(v) + s('tile.fsk')
    tile += i32(16) + i32(17) + i32(18) + i32(19) + i32(0) + i32(0) + i32(64) + i32(32) + u8(1) + u8(2) + i32(2) + i32(3)
    if v >= 101:
        tile += crop(80)
    tracks.append(tile)
    # 6 particles
    part = u8(6) + common() + s('star.fsk') + u8(2) + i32(15) + i32(100) + i32(50) + i32(10) + i32(4)
    part += i32(1) + i32(2) + i32(3) + i32(4) + i32(5) + i32(6) + i32(7) + i32(8) + u8(0) + u8(1)
    part += f64(0.5) + f64(1.5) + f64(2.5) + f64(3.5) + f64(4.5) + f64(5.5)
    part += pt(9, 10) + pt(11, 12) + u8(0) + u8(0) + i32(20) + i32(21) + i32(22) + i32(23) + crop(100) + i32(200) + i32(100)
    tracks.append(part)
    # 7 fire
    fire = u8(7) + common() + pt(1, 2) + pt(3, 4) + u8(0) + u8(0) + i32(160) + i32(30) + i32(170) + i32(40)
    fire += crop(120) + f64(4.0) + f64(4.0) + f64(2.0) + f64(3.0) + u8(0) + u8(0) + i32(90)
    tracks.append(fire)
    return header(v) + i32(len(tracks)) + b''.join(tracks)


def box_track(parent=-1, length=11, start=0, pos=((0, 0), (100, 50)), size=(10, 20, 30, 40), colours=(0, 0x0A141E),
              easing=(0, 0), v=109):
    out = u8(2) + common(parent=parent, length=length, start=start, prio=0, fh=0)
    out += pt(*pos[0]) + pt(*pos[1]) + u8(easing[0]) + u8(easing[1]) + i32(255) + i32(255)
    out += b''.join(i32(x) for x in size) + i32(colours[0]) + i32(colours[1])
    out += i32(0) + i32(0) + i32(-1) + i32(-1)
    if v > 100:
        out += crop(0)[:0] + pt(0, 0) * 4 + u8(0) + u8(0)
    if v >= 109:
        out += i32(0) * 4
    return out


def film(tracks, v=109, kind='MobuMotion', **kw):
    return header(v, kind=kind, **kw) + i32(len(tracks)) + b''.join(tracks)


def easing_table():
    """b e c d mode value, by the three easing formulas with Python's sin and round."""
    def trunc_div(a, b):
        q = abs(a) // abs(b)
        return q if (a >= 0) == (b > 0) else -q

    def ease(b, e, d, c, mode):
        if d <= 0 or c <= 1:
            return b
        if d >= c - 1:
            return e
        if mode == 1:
            return e - round((e - b) * math.sin((c - d - 1) * (math.pi / 2) / c))
        if mode == 2:
            return b + round(math.sin(d * (math.pi / 2) / c) * (e - b))
        return b + trunc_div(d * (e - b), c - 1)

    rows = []
    for b, e in ((0, 100), (100, 0), (-50, 75), (3, 4), (0, 255), (-1000000, 1000000), (7, 7), (2000000000, -2000000000)):
        for c in (1, 2, 3, 7, 11, 60, 301):
            for d in sorted({0, 1, c // 3, c // 2, c - 2, c - 1}):
                if d < 0:
                    continue
                for mode in (0, 1, 2):
                    rows.append('%d %d %d %d %d %d' % (b, e, c, d, mode, ease(b, e, d, c, mode)))
    return '\n'.join(rows) + '\n'


def main():
    os.makedirs(os.path.join(HERE, 'versions'), exist_ok=True)
    for v in range(100, 110):
        with open(os.path.join(HERE, 'versions', 'v%d.mmt' % v), 'wb') as f:
            f.write(every_kind(v))
    edge = {
        # Track 1 follows track 0 (ends at 11) with 2 as its start values come from track 0.
        'follower.mmt': film([box_track(), box_track(parent=0, length=5, pos=((999, 999), (200, 60)),
                                                     size=(1, 1, 50, 60), colours=(0xFFFFFF, 0x1E140A))],
                             relative=0),
        # Track 0 is its own parent; tracks 1 and 2 point at each other.
        'cycle.mmt': film([box_track(parent=0), box_track(parent=2, length=5), box_track(parent=1, length=7)]),
        'no_tracks.mmt': film([]),
        'empty_track.mmt': film([box_track(length=0)]),
        'unknown_kind.mmt': film([box_track(), u8(9) + common()]),
        'unknown_magic.mmt': b'MobuPicture109' + b'\0' * 40,
        'bad_version.mmt': b'MobuMotion1x9' + b'\0' * 40,
        'future_version.mmt': film([], v=110) if False else b'MobuMotion110' + pt(1, 1) + i32(0) + u8(0) + pt(0, 0) + i32(0) + i32(0),
        'huge_count.mmt': header(109) + i32(0x7FFFFFFF),
        'huge_string.mmt': header(109) + i32(1) + u8(0) + common() + image_record(109) + i32(0x7FFFFFF0),
        # Times stored at half resolution up to 106, loop start 12 -> 24.
        'v106_times.mmt': film([box_track(length=10, start=3)], v=106),
        'v107_times.mmt': film([box_track(length=10, start=3)], v=107),
        # A 1-step track: the start value holds.
        'one_step.mmt': film([box_track(length=1, pos=((5, 6), (500, 600)))]),
        # A repeating walk for the headless tests: 60 units, loop start 20.
        'walk.mmt': film([box_track(length=60, pos=((0, 0), (590, 295)), size=(10, 10, 70, 40),
                                    colours=(0x0000FF, 0xFF0000))], loop_start=20, relative=0),
        'relative_walk.mmt': film([box_track(length=30, pos=((0, 0), (290, 0)))], relative=1, origin=(0, 0)),
        # A picture of the test's own making (dot.fsk beside the film) moved 60 to the right;
        # the frames take turns by their durations.
        'picture_walk.mmt': film([u8(0) + common(length=30, prio=4, fh=1, unnamed=0)
                                  + image_record(109, base=(2, 3), pos=((0, 0), (58, 29)), angle=(0, -90),
                                                 zx=(1.0, 2.0), zy=(1.0, 0.5), alpha=(0, 55), ab=(0, 0, 0, 0))
                                  + s('dot.fsk')], relative=0),
        # A cinema that plays into its own list (it has a transition track): a box for 20
        # units, the picture for 30, a fade from unit 10 to 20, and a sound.
        'cinema.mmt': film([box_track(length=20, pos=((0, 0), (190, 0))),
                            u8(0) + common(length=30, prio=2, fh=0, unnamed=0) + image_record(109, base=(0, 0))
                            + s('dot.fsk'),
                            u8(3) + common(length=10, start=10, prio=0, fh=0) + u8(1) + s('') + i32(0) + i32(0) + u8(0),
                            u8(4) + common(length=30, prio=0, fh=0) + s('se.ogg') + i32(1000) + i32(500) + i32(0)
                            + i32(0) + u8(0) + u8(0)],
                           kind='MobuCinema', screen=(320, 240), back=-1, relative=0),
        # A cinema that plays straight into the game's screen.
        'direct.mmt': film([box_track(length=20)], kind='MobuCinema', screen=(100, 100), back=-1, relative=0),
        # A cinema showing two lines of text for 20 units.
        'label_cinema.mmt': film([u8(1) + common(length=20, prio=1, fh=0, unnamed=0)
                                  + image_record(109, base=(0, 0), angle=(0, 0), zx=(1.0, 1.0), zy=(1.0, 1.0),
                                                 alpha=(0, 0), ab=(0, 0, 0, 0))
                                  + s('AB\r\nC') + u8(1) + s('') + i32(16) + i32(4) + u8(0) + i32(0xFFFFFF) + u8(0)],
                                 kind='MobuCinema', screen=(320, 240), back=-1, relative=0),
    }
    whole = every_kind(109)
    edge['truncated.mmt'] = whole[:len(whole) - 3]
    for name, data in edge.items():
        with open(os.path.join(HERE, name), 'wb') as f:
            f.write(data)
    with open(os.path.join(HERE, 'easing.txt'), 'w') as f:
        f.write(easing_table())


if __name__ == '__main__':
    main()
