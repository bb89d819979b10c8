#!/usr/bin/env python3
# Writes the seed inputs of save_entry_fuzz: the first byte picks the reader (0 a game-save
# entry, 1 the status data, 2 the history formats with the second byte giving the version).
import os
import struct

here = os.path.dirname(os.path.abspath(__file__))


def s(text):
    return struct.pack('<i', len(text)) + text


def i32(*values):
    return b''.join(struct.pack('<i', v) for v in values)


def history(version):
    out = b''
    if version < 113:
        out += s(b'old')
    if version > 112:
        out += i32(2) + s(b'a.msb') + i32(3, 0, 300, 200) + s(b'') + i32(5, 1, 300, 200)
    else:
        out += i32(2) + s(b'a.msb') + s(b'') + i32(3, 5) + i32(0, 1) + i32(300, 200, 300, 200)
    out += s(b'b.msb') + i32(7, 0, 300, 200) + s(b'mes')
    if version > 112:
        out += i32(10) + i32(16, 1, 1, 400, 300, 4) + i32(0, 20)
        entry = s(b'a.msb') + i32(3, 0, 20, 24) + (s(b'x=1') if version > 123 else b'')
        out += i32(1) + i32(1) + entry + i32(24)
    if version > 123:
        out += s(b'x=1')
    return out


def formats(version):
    if version < 135:
        return history(version)
    return i32(2) + s(b'') + i32(0) * 6 + history(version) + s(b'log') + i32(16, 1, 1, 400, 300, 4) + history(version)


seeds = {
    'game_140_cut': b'\x00' + i32(140) + s(b'caption') + s(b'') + i32(0) + b'\x02\x00\x00\x00',
    'game_106': b'\x00' + i32(106) + s(b'old'),
    'status_tagged': b'\x01' + b'Status103' + i32(0) * 4,
    'status_untagged': b'\x01' + i32(0) * 4,
}
for version in (107, 112, 113, 123, 124, 134, 135, 140):
    seeds['history_%d' % version] = b'\x02' + bytes([(version - 107) % 34]) + formats(version)
for name, data in seeds.items():
    with open(os.path.join(here, name), 'wb') as f:
        f.write(data)
