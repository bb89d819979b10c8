#!/usr/bin/env python3
"""An archive reader and writer of its own, on Python's zlib, to check the player's.

  archive_oracle.py read ARCHIVE        prints "name<TAB>stored<TAB>crc32-of-inflated-bytes" per entry
  archive_oracle.py write ARCHIVE SPEC  SPEC lines "name<TAB>stored(0/1)<TAB>hex bytes"; writes version 102
Names are cp932 in the archive and UTF-8 here.
"""
import struct
import sys
import zlib

KEY = 1803524679


def keystream():
    state = 0
    while True:
        state = (state * 5 + KEY) & 0xFFFFFFFF
        yield state


def read(path):
    data = open(path, "rb").read()
    pos = 0
    version = 0
    if data[:2] == b"vf":
        version = struct.unpack_from("<i", data, 2)[0]
        pos = 6
    count = struct.unpack_from("<i", data, pos)[0]
    pos += 4
    names = []
    keys = keystream()
    for _ in range(count):
        length = struct.unpack_from("<i", data, pos)[0]
        pos += 4
        raw = bytearray(data[pos:pos + length])
        pos += length
        if version > 99:
            for i in range(len(raw)):
                raw[i] ^= next(keys) & 0xFF
        names.append(bytes(raw).decode("cp932"))
    keys = keystream()
    offsets = []
    for _ in range(count + 1):
        if version > 100:
            value = struct.unpack_from("<q", data, pos)[0]
            pos += 8
        else:
            value = struct.unpack_from("<i", data, pos)[0]
            pos += 4
        if version > 99:
            key = next(keys)
            key = key - (1 << 32) if key >= 1 << 31 else key
            value ^= key
        offsets.append(value)
    stored = [0] * count
    if version > 100:
        stored = list(data[pos:pos + count])
    for i, name in enumerate(names):
        body = data[offsets[i]:offsets[i + 1]]
        raw = body if stored[i] else zlib.decompress(body)
        print("%s\t%d\t%08x" % (name, stored[i], zlib.crc32(raw)))


def write(path, spec):
    entries = []
    for line in open(spec, encoding="utf-8"):
        line = line.rstrip("\n")
        if not line:
            continue
        name, stored, hexbytes = line.split("\t")
        entries.append((name.encode("cp932"), stored == "1", bytes.fromhex(hexbytes)))
    head = bytearray(b"vf" + struct.pack("<ii", 102, len(entries)))
    keys = keystream()
    for name, _, _ in entries:
        head += struct.pack("<i", len(name)) + bytes(b ^ (next(keys) & 0xFF) for b in name)
    n = len(entries)
    table = (n + 1) * 8 + n * 10
    bodies = [raw if stored else zlib.compress(raw, 9) for _, stored, raw in entries]
    offset = len(head) + table
    offsets = []
    for body in bodies:
        offsets.append(offset)
        offset += len(body)
    offsets.append(offset)
    keys = keystream()
    for value in offsets:
        key = next(keys)
        key = key - (1 << 32) if key >= 1 << 31 else key
        head += struct.pack("<q", value ^ key)
    head += bytes(1 if stored else 0 for _, stored, _ in entries)
    head += b"".join(struct.pack("<i", 0) for _ in entries)
    head += b"".join(struct.pack("<I", zlib.crc32(body)) for body in bodies)
    head += bytes(n)
    open(path, "wb").write(bytes(head) + b"".join(bodies))


if __name__ == "__main__":
    if sys.argv[1] == "read":
        read(sys.argv[2])
    else:
        write(sys.argv[2], sys.argv[3])
