#!/usr/bin/env python3
"""Generates real_table.tsv: decimal texts, the 10 stored bytes of the nearest 80-bit x87
real (64-bit significand, round half to even, computed exactly with Python integers), and the
text of that real in the general format (15 significant digits, computed with Decimal).
Run from this folder: python3 make_real_table.py"""

import random
from decimal import Decimal, getcontext, ROUND_HALF_EVEN
from fractions import Fraction

random.seed(80)
getcontext().prec = 6000


def to_x87(value):
    """Nearest 80-bit extended real of a Fraction (normal range only), as 10 bytes."""
    if value == 0:
        return bytes(10)
    sign = 1 if value < 0 else 0
    value = abs(value)
    exponent = value.numerator.bit_length() - value.denominator.bit_length()
    if Fraction(2) ** exponent > value:
        exponent -= 1
    while Fraction(2) ** (exponent + 1) <= value:
        exponent += 1
    scaled = value / Fraction(2) ** (exponent - 63)  # in [2^63, 2^64)
    mantissa = scaled.numerator // scaled.denominator
    remainder = scaled - mantissa
    if remainder > Fraction(1, 2) or (remainder == Fraction(1, 2) and mantissa % 2 == 1):
        mantissa += 1
    if mantissa == 1 << 64:
        mantissa >>= 1
        exponent += 1
    biased = exponent + 16383
    return mantissa.to_bytes(8, "little") + (biased | (sign << 15)).to_bytes(2, "little")


def from_x87(raw):
    mantissa = int.from_bytes(raw[:8], "little")
    top = int.from_bytes(raw[8:], "little")
    if mantissa == 0:
        return Fraction(0)
    value = Fraction(mantissa) * Fraction(2) ** ((top & 0x7FFF) - 16383 - 63)
    return -value if top >> 15 else value


def general_text(value):
    if value == 0:
        return "0"
    d = Decimal(value.numerator) / Decimal(value.denominator)
    sign = "-" if d < 0 else ""
    d = abs(d)
    exponent = d.adjusted()
    rounded = d.quantize(Decimal(1).scaleb(exponent - 14), rounding=ROUND_HALF_EVEN)
    if rounded.adjusted() != exponent:
        exponent = rounded.adjusted()
        rounded = d.quantize(Decimal(1).scaleb(exponent - 14), rounding=ROUND_HALF_EVEN)
    digits = str(rounded.scaleb(-(exponent - 14)).to_integral_value()).rstrip("0") or "0"
    before = exponent + 1
    if before > 15 or before < -4:
        mantissa = digits[0] + ("." + digits[1:] if len(digits) > 1 else "")
        return f"{sign}{mantissa}E{'-' if exponent < 0 else ''}{abs(exponent)}"
    if before <= 0:
        return f"{sign}0.{'0' * -before}{digits}"
    if len(digits) <= before:
        return sign + digits + "0" * (before - len(digits))
    return f"{sign}{digits[:before]}.{digits[before:]}"


lines = []
texts = ["0", "1", "-1", "0.1", "0.5", "2.5", "1e20", "1.5e-7", "0.00001", "0.000001", "123456789012345",
         "1234567890123456", "999999999999999.5", "0.3333333333333333333333", "3.14159265358979323846",
         "1e-4000", "1.18e4932", "-7.25E+3"]
for _ in range(300):
    digits = str(random.randint(1, 10 ** random.randint(1, 25)))
    point = random.randint(0, len(digits))
    text = ("-" if random.random() < 0.3 else "") + digits[:point] + "." + digits[point:]
    if not digits[:point]:
        text = text.replace(".", "0.", 1)
    if random.random() < 0.5:
        text += f"e{random.randint(-40, 40)}"
    texts.append(text)
for text in texts:
    raw = to_x87(Fraction(Decimal(text)))
    lines.append(f"{text}\t{raw.hex()}\t{general_text(from_x87(raw))}")

with open("real_table.tsv", "w", encoding="ascii") as out:
    out.write("\n".join(lines) + "\n")
print(len(lines), "cases")
