#!/usr/bin/env python3
"""Writes the table-database test vectors from oracles nobody here wrote.

  round.tsv    real text, Python's round() (ties to even) clamped to the 32-bit range
  cut.tsv      cp932 text (hex), byte limit, the longest start of whole characters that fits
               (Python's cp932 codec splits the characters)
  sort.tsv     rows (int, real, string bytes) and, per key list, the row order SQLite's
               ORDER BY gives over INTEGER / REAL / BLOB columns (rowid breaks ties)
  partial.tsv  field text, value text (hex), ignore case, SQLite's instr(value, field) > 0
  section.tsv  a game section packed with struct, and the values it holds
  random_items.tsv / random_items.expected
               a TSV file of random cp932 rows (two-byte characters whose second byte is
               "\\", quotes, backslashes, line breaks inside fields), and each field's text as
               the table must hold it: Python's csv module splits the lines at TABs and the
               cp932 codec cuts the texts to whole characters

Run from this folder: python3 gen_db_vectors.py
"""
import random
import sqlite3
import struct

random.seed(23)


def cp(text):
    return text.encode("cp932")


def upper_ascii(text):
    # Upper-cases ASCII letters only; two-byte characters stay as they are.
    return "".join(c.upper() if "a" <= c <= "z" else c for c in text)


def write_round():
    values = [0.5, 1.5, 2.5, 3.5, -0.5, -1.5, -2.5, 2.4, 2.6, -2.6, 1e10, -1e10, 2147483647.5,
              2147483646.5, -2147483648.5, -2147483647.5, 123456.5, 7.0, -0.0, 0.49999]
    with open("round.tsv", "w") as f:
        for v in values:
            r = max(-2**31, min(2**31 - 1, round(v)))
            f.write(f"{v!r}\t{r}\n")


def write_cut():
    texts = ["あいう", "aあいう", "abc", "表n", "ｱｲｳ", "漢字かなカナ", "x", ""]
    with open("cut.tsv", "w") as f:
        for t in texts:
            for n in range(0, len(cp(t)) + 2):
                kept = b""
                for c in t:
                    if len(kept) + len(cp(c)) > n:
                        break
                    kept += cp(c)
                f.write(f"{cp(t).hex()}\t{n}\t{kept.hex()}\n")


def write_sort():
    words = ["apple", "Apple", "banana", "あいう", "アイウ", "表", "z", "", "apple2", "Zebra"]
    rows = []
    for i in range(40):
        rows.append((random.randint(-3, 3), random.randint(-20, 20) / 4.0, cp(random.choice(words))))
    db = sqlite3.connect(":memory:")
    db.execute("CREATE TABLE t (i INTEGER, r REAL, s BLOB)")
    db.executemany("INSERT INTO t VALUES (?, ?, ?)", rows)
    specs = [
        ("i", [("i", 0)]),
        ("i:desc", [("i", 1)]),
        ("r", [("r", 0)]),
        ("s", [("s", 0)]),
        ("s:desc", [("s", 1)]),
        ("i:desc,s", [("i", 1), ("s", 0)]),
        ("r:desc,i,s:desc", [("r", 1), ("i", 0), ("s", 1)]),
    ]
    with open("sort.tsv", "w") as f:
        for i, r, s in rows:
            f.write(f"row\t{i}\t{r!r}\t{s.hex()}\n")
        for name, keys in specs:
            order = ", ".join(f"{k} {'DESC' if d else 'ASC'}" for k, d in keys)
            ids = [row[0] - 1 for row in db.execute(f"SELECT rowid FROM t ORDER BY {order}, rowid")]
            f.write(f"order\t{name}\t{','.join(map(str, ids))}\n")


def write_partial():
    pairs = [("bcd", "abcdef"), ("abcdefg", "abcdef"), ("", "abc"), ("BCD", "abcdef"), ("い", "あいう"),
             ("ア", "あいう"), ("n", "表n"), ("\\", "表"), ("a", "ア"), ("表", "代表者")]
    db = sqlite3.connect(":memory:")
    with open("partial.tsv", "w") as f:
        for field, value in pairs:
            for ignore in (0, 1):
                a, b = (upper_ascii(field), upper_ascii(value)) if ignore else (field, value)
                hit = db.execute("SELECT instr(?, ?) > 0", (cp(b), cp(a))).fetchone()[0]
                f.write(f"{cp(field).hex()}\t{cp(value).hex()}\t{ignore}\t{hit}\n")


def string(b):
    return struct.pack("<i", len(b)) + b


def real80(v):
    # x87 extended: 64-bit mantissa with the explicit integer bit, 15-bit exponent, sign.
    if v == 0:
        return bytes(10)
    sign = 0x8000 if v < 0 else 0
    m, e = abs(v), 0
    while m >= 2:
        m /= 2
        e += 1
    while m < 1:
        m *= 2
        e -= 1
    mantissa = int(m * (1 << 63))
    return struct.pack("<QH", mantissa, sign | (e + 16383))


def write_section():
    fields = [(4, b"id", 1), (10, b"price", 2), (1, b"owned", 3), (6, cp("名前"), 4)]
    records = [(7, 1.5, 1, cp("あい")), (-3, -2.25, 0, b"sword")]
    body = b"\x00" + string(b"items") + b"\x00" + struct.pack("<i", len(fields))
    for width, name, kind in fields:
        body += struct.pack("<i", width) + string(name) + bytes([kind])
    body += struct.pack("<i", len(records))
    for i, r, flag, s in records:
        body += struct.pack("<i", i) + real80(r) + bytes([flag]) + s + bytes(6 - len(s))
    body += struct.pack("<i", 1)
    empty = b"\x00" + string(b"Empty") + b"\x00" + struct.pack("<i", 0) + struct.pack("<i", 0) + struct.pack("<i", -1)
    section = struct.pack("<ii", 100, 2) + body + empty + string(b"ITEMS")
    with open("section.tsv", "w") as f:
        f.write(f"bytes\t{section.hex()}\n")
        for n, (i, r, flag, s) in enumerate(records):
            f.write(f"record\t{n}\t{i}\t{r!r}\t{flag}\t{s.hex()}\n")


def write_tsv():
    import csv
    import io
    alphabet = ["a", "Z", "表", "ソ", "能", "あ", "ｱ", '"', "\\", " ", "\r\n", "1", "-", "x"]
    header = [("name", "str", 6), ("price", "int", None), ("note", "", None), ("memo", "str", 12)]
    def escape(text):
        return text.replace("\\", "\\\\").replace('"', '\\"').replace("\r\n", "\\n")
    rows = []
    for _ in range(60):
        row = ["".join(random.choice(alphabet) for _ in range(random.randint(0, 9))) for _ in header]
        row[1] = str(random.randint(-1000, 1000))
        row = row[: random.randint(1, len(header))]
        if any(row):  # an empty line is no record
            rows.append(row)
    head = "\t".join(f"{n} {t} {l}" if l else (f"{n} {t}" if t else n) for n, t, l in header)
    lines = [head] + ["\t".join(escape(v) for v in row) for row in rows]
    text = ("\r\n".join(lines[:20]) + "\n" + "\n\n".join(lines[20:40]) + "\r" + "\r".join(lines[40:])).encode("cp932")
    with open("random_items.tsv", "wb") as f:
        f.write(text)
    # The oracle: the csv module splits each record line (its escapes undone) at TABs.
    with open("random_items.expected", "w") as f:
        for r, row in enumerate(rows):
            line = "\t".join(escape(v) for v in row)
            # Line breaks stand in as U+0001 while csv splits, so each record stays one line.
            unescaped = line.replace("\\\\", "\x02").replace("\\n", "\x01").replace('\\"', '"').replace("\x02", "\\")
            pieces = [p.replace("\x01", "\r\n") for p in
                      next(csv.reader(io.StringIO(unescaped), delimiter="\t", quoting=csv.QUOTE_NONE))]
            for k, (name, kind, length) in enumerate(header):
                value = pieces[k] if k < len(pieces) else ""
                if kind == "int":
                    value = str(int(value)) if value else "0"
                limit = length if length else 80
                kept = b""
                for c in value:
                    if len(kept) + len(cp(c)) > limit:
                        break
                    kept += cp(c)
                f.write(f"{r}\t{k}\t{kept.hex()}\n")


write_round()
write_cut()
write_tsv()
write_sort()
write_partial()
write_section()
