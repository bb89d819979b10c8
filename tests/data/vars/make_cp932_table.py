#!/usr/bin/env python3
"""Generates cp932_table.tsv: expected results of the character routines over a table of
code page 932 strings, computed with Python's own cp932 codec (and NFKC for the half-width /
full-width pairs where the two agree). Run from this folder: python3 make_cp932_table.py"""

import random
import unicodedata

random.seed(932)

# Characters chosen to stress the walk: ASCII, blanks, delimiters, backslash, half-width
# katakana with voiced marks, hiragana, katakana with a 0x5C trail byte, kanji, full-width
# forms whose trail byte has a lead-byte value (0x81 0x81, 0x82 0x81, 0x82 0x9A).
ALPHABET = list("abcXYZ019 ,;\\\t") + ["ｶ", "ﾞ", "ﾊ", "ﾟ", "ｱ", "ｰ", "｡"] + \
    list("あいうアソ表能十ｱ漢　＝ａｚ、ー…") + ["\u3000"]


def enc(s):
    return s.encode("cp932")


def hx(b):
    return b.hex() if b else "-"


def random_text(max_len=12):
    return "".join(random.choice(ALPHABET) for _ in range(random.randint(0, max_len)))


def char_byte_positions(chars):
    """1-based byte position of every character, plus the position past the end."""
    positions, pos = [], 1
    for c in chars:
        positions.append(pos)
        pos += len(enc(c))
    positions.append(pos)
    return positions


lines = []
texts = [random_text() for _ in range(120)] + ["", "a", "あ", "aあb", "あいうえお", "　 ab 　", "\tab\t"]
for text in texts:
    chars = list(text)
    b = enc(text)
    n = len(chars)
    lines.append(f"len\t{hx(b)}\t{n}")
    positions = char_byte_positions(chars)
    for k in range(-1, n + 3):
        c2b = positions[min(max(k, 1), n + 1) - 1]
        lines.append(f"c2b\t{hx(b)}\t{k}\t{c2b}")
        if 1 <= k <= n:
            cb = enc(chars[k - 1])
            code = cb[0] if len(cb) == 1 else cb[0] * 256 + cb[1]
            lines.append(f"code\t{hx(b)}\t{k}\t{code}")
    trail_positions = set(p + 1 for c, p in zip(chars, positions) if len(enc(c)) == 2)
    for p in range(1, len(b) + 1):
        lines.append(f"trail\t{hx(b)}\t{p}\t{1 if p in trail_positions else 0}")
    for _ in range(6):
        start = random.randint(-2, n + 2)
        count = random.randint(-2, n + 2)
        # JCopy: characters max(from,1) .. from+count-1, at least one when inside.
        first = max(start, 1)
        if first > n:
            copied = ""
        else:
            last = min(max(start + count - 1, first), n)
            copied = "".join(chars[first - 1:last])
        lines.append(f"copy\t{hx(b)}\t{start}\t{count}\t{hx(enc(copied))}")
        # JDelete
        first = max(start, 1)
        if first > n:
            deleted = text
        else:
            stop = first - 1 + max(count, 0)
            deleted = "".join(chars[:first - 1] + chars[stop:])
        lines.append(f"del\t{hx(b)}\t{start}\t{count}\t{hx(enc(deleted))}")
        # JInsert
        piece = random_text(3)
        first = max(start, 1)
        inserted = text + piece if first > n else "".join(chars[:first - 1]) + piece + "".join(chars[first - 1:])
        lines.append(f"ins\t{hx(enc(piece))}\t{hx(b)}\t{start}\t{hx(enc(inserted))}")
        # JPos: a piece taken from the text, or a random one.
        if n and random.random() < 0.6:
            a = random.randint(0, n - 1)
            piece = "".join(chars[a:a + random.randint(1, 3)])
        else:
            piece = random_text(2)
        found = text.find(piece) + 1 if piece else 0
        lines.append(f"pos\t{hx(enc(piece))}\t{hx(b)}\t{found}")
    # JTrim: half-width and full-width spaces only.
    lines.append(f"trim\t{hx(b)}\t{hx(enc(text.strip(' ' + chr(0x3000))))}")
    # CutToken with one-byte delimiters.
    for delimiters in [",", ",;", "\\", " ", ""]:
        if not delimiters:
            token, rest = text, ""
        else:
            at = min((i for i, c in enumerate(chars) if c in delimiters), default=-1)
            token, rest = (text, "") if at < 0 else ("".join(chars[:at]), "".join(chars[at + 1:]))
        lines.append(f"cut\t{hx(b)}\t{hx(enc(delimiters))}\t{hx(enc(token))}\t{hx(enc(rest))}")

# Half-width to full-width: NFKC of the full-width form gives back the half-width character,
# except where the conversion table deliberately differs from NFKC (quotes, backslash, grave
# accent, the lone voiced marks).
differs = {'"', "'", "\\", "`", "\uff9e", "\uff9f"}
for byte in list(range(0x20, 0x7F)) + list(range(0xA1, 0xE0)):
    half = bytes([byte]).decode("cp932")
    if half in differs:
        continue
    full = None
    for code in range(0x8140, 0x83A0):
        try:
            candidate = bytes([code >> 8, code & 0xFF]).decode("cp932")
        except UnicodeDecodeError:
            continue
        if unicodedata.normalize("NFKC", candidate) == unicodedata.normalize("NFKC", half) and candidate != half:
            full = bytes([code >> 8, code & 0xFF])
            break
    if byte == 0x20:
        full = enc("\u3000")
    lines.append(f"h2z\t{hx(bytes([byte]))}\t{hx(full)}")
    lines.append(f"z2h\t{hx(full)}\t{hx(bytes([byte]))}")
# Voiced and semi-voiced katakana: NFKC composes the half-width pair into one character.
for base in list(range(0xB6, 0xC5)) + list(range(0xCA, 0xCF)):
    for mark in ([0xDE, 0xDF] if base >= 0xCA else [0xDE]):
        pair = bytes([base, mark])
        full = enc(unicodedata.normalize("NFKC", pair.decode("cp932")))
        lines.append(f"h2z\t{hx(pair)}\t{hx(full)}")
        lines.append(f"z2h\t{hx(full)}\t{hx(pair)}")

with open("cp932_table.tsv", "w", encoding="ascii") as out:
    out.write("\n".join(lines) + "\n")
print(len(lines), "cases")
