#!/usr/bin/env python3
"""Writes the project-file and install-data fixtures of tests/project from a description
of their fields, using Python's struct and cp932 codec (an encoder independent of the
player's own writer). Run from anywhere; the files land beside this script."""
import os
import struct
from fractions import Fraction

HERE = os.path.dirname(os.path.abspath(__file__))


def i32(v):
    return struct.pack('<i', v)


def i64(v):
    return struct.pack('<q', v)


def s(text):
    b = text.encode('cp932') if isinstance(text, str) else text
    return i32(len(b)) + b


def flag(v):
    return bytes([1 if v else 0])


def real80(value):
    """x87 extended layout of a dyadic rational: 64-bit mantissa with explicit top bit,
    15-bit exponent biased by 16383, sign bit on top."""
    value = Fraction(value)
    if value == 0:
        return bytes(10)
    sign = 0x8000 if value < 0 else 0
    value = abs(value)
    exponent = 0
    while value >= 2:
        value /= 2
        exponent += 1
    while value < 1:
        value *= 2
        exponent -= 1
    mantissa = value * (1 << 63)
    assert mantissa.denominator == 1
    return struct.pack('<QH', int(mantissa), sign | (exponent + 16383))


def variable(kind, name, value=None):
    out = bytes([kind]) + s(name)
    if kind == 1:
        out += i32(value)
    elif kind == 2:
        out += real80(value)
    elif kind == 3:
        out += flag(value)
    elif kind == 4:
        out += s(value)
    return out


def disk_map(entries):
    out = i32(len(entries))
    for folder, disk in entries:
        out += s(folder) + i32(disk)
    return out


def project(version, title, start, variables, disks, exit_page='', flags=None):
    flags = flags or {}
    out = i32(version) + s(title) + i32(640) + i32(480) + i32(800) + i32(600) + s(start)
    if version >= 110:
        out += s(exit_page)
    out += s('Software\\Mobu\\Demo') + i32(0x12345678)
    if version >= 104:
        out += flag(flags.get('write_status', True))
    if version >= 106:
        out += flag(flags.get('throttle', True))
    if version >= 109:
        out += s(flags.get('streamed', '.wav.ogg'))
    if version >= 113:
        out += flag(flags.get('pause', True))
    if version >= 114:
        out += flag(flags.get('first_disk', True))
    if version >= 116:
        out += flag(flags.get('toolbar', False))
    out += s('ディスク%dを入れて') + s('おしまい')
    out += i32(len(variables)) + b''.join(variables)
    out += disk_map(disks)
    return out


def install(version, disk_index, title, created, no_disk, records=1):
    wide = (version or 0) > 99
    num = i64 if wide else i32
    out = b'' if version is None else b'is%03d' % version
    v = version or 0
    out += i32(disk_index) + s(title)
    out += s('a1') + s('a2') + s('a3') + bytes([7]) + s('b') + bytes([8])
    out += i32(records)
    out += s('c') + i32(-5) + bytes([1, 2]) + s('c1') + s('c2')
    for r in range(records):
        out += b''.join(num(n) for n in (r, -1 - r, 100 + r, -(2 ** 31)))
    out += b''.join(num(n) for n in (11, 12, -13, 14))
    out += bytes([9])
    if v > 100:
        out += bytes([10])
    if v > 101:
        out += i32(len(created)) + b''.join(s(c) for c in created)
    if v > 102:
        out += flag(no_disk)
    if v > 103:
        out += bytes([11])
    if v > 104:
        out += bytes([12])
    if v > 105:
        out += i32(2) + s('h1') + s('h2')
    if v > 106:
        out += s('i')
    if v > 107:
        out += s('j1') + s('j2')
    return out


def write(name, data):
    with open(os.path.join(HERE, name), 'wb') as f:
        f.write(data)


variables = [
    variable(1, 'クリア回数', -7),
    variable(2, 'rate', Fraction(5, 2)),
    variable(3, 'seen', True),
    variable(4, '名前', '太郎\\表'),
    variable(9, 'odd'),
    variable(2, 'neg', Fraction(-3, 4)),
]
disks = [('CG', 2), ('bgm', 2), ('表\\sub', 3)]

write('v103.mpb', project(103, 'もぶデモ', 'start.msb', variables, disks))
write('v116.mpb', project(116, 'もぶデモ', 'start.msb', variables, disks, exit_page='exit.msb'))
write('install_is108.dat', install(108, 1, 'もぶデモ', ['save1.fsk', 'cg\\shot.fsk'], True, records=2))
write('install_is102.dat', install(102, 0, 'もぶデモ', ['a.fsk'], False))
write('install_is099.dat', install(99, 2, 'もぶデモ', [], False))
write('install_plain.dat', install(None, 3, 'もぶデモ', [], False))
