#!/usr/bin/env python3
"""Writes tests/data/text_field/cp932_rows.tsv: one line per cp932 row (ASCII, half-width
katakana and every lead byte Python's cp932 codec knows, NEC and IBM extensions among them),
each a text of the characters of that row that the codec decodes, as hex bytes, then the
byte length of each character as the codec splits them, then the text as UTF-8 hex."""
import pathlib

rows = []
rows.append(bytes(range(0x20, 0x7F)))
rows.append(bytes(range(0xA1, 0xE0)))
for lead in list(range(0x81, 0xA0)) + list(range(0xE0, 0xFD)):
    text = b""
    for trail in list(range(0x40, 0x7F)) + list(range(0x80, 0xFD)):
        pair = bytes([lead, trail])
        try:
            pair.decode("cp932")
        except UnicodeDecodeError:
            continue
        text += pair
    if text:
        # Mixed with single bytes so boundaries are tested between widths too.
        rows.append(b"a" + text[:40] + b"\xb1" + text[-40:] + b"z")
out = pathlib.Path(__file__).resolve().parent.parent / "tests" / "data" / "text_field" / "cp932_rows.tsv"
with open(out, "w") as f:
    for row in rows:
        chars = row.decode("cp932")
        lengths = " ".join(str(len(c.encode("cp932"))) for c in chars)
        f.write(f"{row.hex()}\t{lengths}\t{chars.encode('utf-8').hex()}\n")
print(f"{len(rows)} rows")
