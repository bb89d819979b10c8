#!/usr/bin/env python3
"""Generates integer expressions over * / % + - << >> & ^ | with their expected values.

The values come from Python's own integers through Int32, a class that wraps every result to
32 bits and truncates division toward zero, as the script language does. Precedence groups
(highest first): * / %, + -, << >>, &, ^, |; every operator associates to the left. A "-"
right after another operator is a sign on the operand that follows; a leading "-" subtracts
from zero in the + - group. Division or remainder by zero has no value ("none").

Writes int_expressions.tsv: expression <TAB> value or "none". Run from this folder:
    python3 gen_int_expressions.py
"""
import random


class Int32:
    def __init__(self, value):
        value &= 0xFFFFFFFF
        self.v = value - (1 << 32) if value >= 1 << 31 else value

    def __add__(self, o): return Int32(self.v + o.v)
    def __sub__(self, o): return Int32(self.v - o.v)
    def __mul__(self, o): return Int32(self.v * o.v)

    def __truediv__(self, o):
        if o.v == 0:
            raise ZeroDivisionError
        q = abs(self.v) // abs(o.v)
        return Int32(q if (self.v < 0) == (o.v < 0) else -q)

    def __mod__(self, o):
        if o.v == 0:
            raise ZeroDivisionError
        r = abs(self.v) % abs(o.v)
        return Int32(-r if self.v < 0 else r)

    def __lshift__(self, o): return Int32((self.v & 0xFFFFFFFF) << (o.v & 31))
    def __rshift__(self, o): return Int32((self.v & 0xFFFFFFFF) >> (o.v & 31))
    def __and__(self, o): return Int32(self.v & o.v)
    def __xor__(self, o): return Int32(self.v ^ o.v)
    def __or__(self, o): return Int32(self.v | o.v)


GROUPS = [["*", "/", "%"], ["+", "-"], ["<<", ">>"], ["&"], ["^"], ["|"]]
APPLY = {
    "*": Int32.__mul__, "/": Int32.__truediv__, "%": Int32.__mod__, "+": Int32.__add__, "-": Int32.__sub__,
    "<<": Int32.__lshift__, ">>": Int32.__rshift__, "&": Int32.__and__, "^": Int32.__xor__, "|": Int32.__or__,
}
OPERATORS = list(APPLY)


def literal_value(text):
    if text.startswith("$"):
        return Int32(int(text[1:], 16))
    return Int32(int(text))


def evaluate(tokens):
    """tokens: operands (Int32 or nested token lists) and operator strings."""
    items = [evaluate(t) if isinstance(t, list) else t for t in tokens]
    # Signs: from the second-to-last token down to the second.
    i = len(items) - 2
    while i >= 1:
        if items[i] in ("+", "-") and isinstance(items[i - 1], str):
            if items[i] == "+":
                del items[i]
            else:
                items[i:i + 2] = [Int32(0) - items[i + 1]]
        i -= 1
    while len(items) > 1:
        for group in GROUPS:
            index = next((k for k, t in enumerate(items) if isinstance(t, str) and t in group), None)
            if index is not None:
                break
        if index == 0:
            items[0:2] = [APPLY[items[0]](Int32(0), items[1])]
        else:
            items[index - 1:index + 2] = [APPLY[items[index]](items[index - 1], items[index + 1])]
    return items[0]


def random_literal(rng):
    kind = rng.random()
    if kind < 0.35:
        return str(rng.randint(0, 9))
    if kind < 0.6:
        return str(rng.randint(0, 100000))
    if kind < 0.75:
        return str(rng.choice([2147483647, 65536, 46341, 31, 32, 33, 255, 1 << 30]))
    if kind < 0.85:
        return "$" + format(rng.randint(0, 0xFFFFFFFF), "X")
    return str(rng.randint(0, 2147483647))


def random_expression(rng, depth):
    tokens, text = [], []
    for k in range(rng.randint(1, 5)):
        if k:
            op = rng.choice(OPERATORS)
            tokens.append(op)
            text.append(" " + op + " ")
        if k and rng.random() < 0.15:
            tokens.append("-")
            text.append("-")
        if depth < 2 and rng.random() < 0.25:
            inner_tokens, inner_text = random_expression(rng, depth + 1)
            tokens.append(inner_tokens)
            text.append("(" + inner_text + ")")
        else:
            lit = random_literal(rng)
            tokens.append(literal_value(lit))
            text.append(lit)
    if rng.random() < 0.1:
        tokens.insert(0, "-")
        text.insert(0, "-")
    return tokens, "".join(text)


def main():
    rng = random.Random(20261210)
    lines = []
    fixed = ["(-2147483647 - 1) / -1", "(-2147483647 - 1) % -1", "7 / 0", "7 % 0", "-7 / 2", "-7 % 2", "7 % -2",
             "1 << 32", "1 << 33", "1 << -1", "-1 >> 1", "-1 >> 32", "-8 >> 1", "2147483647 + 1", "65536 * 65536",
             "46341 * 46341", "$FFFFFFFF", "$80000000 / 2", "10 - 4 - 3", "1 + 2 * 3", "(1 + 2) * 3", "2 - -1",
             "1 | 2 ^ 3 & 4", "1 << 2 + 3", "-5 * 2", "3 * -2"]
    seen = set()
    cases = []
    for text in fixed:
        cases.append(text)
    while len(cases) < 1200:
        _, text = random_expression(rng, 0)
        if text not in seen:
            seen.add(text)
            cases.append(text)
    for text in cases:
        tokens = tokenize(text)
        try:
            value = str(evaluate(tokens).v)
        except ZeroDivisionError:
            value = "none"
        lines.append(text + "\t" + value)
    with open("int_expressions.tsv", "w", newline="\n") as out:
        out.write("\n".join(lines) + "\n")


def tokenize(text):
    """Parses the generated text back into nested token lists (groups in parentheses)."""
    pos = 0

    def parse():
        nonlocal pos
        tokens = []
        while pos < len(text):
            c = text[pos]
            if c == " ":
                pos += 1
            elif c == "(":
                pos += 1
                tokens.append(parse())
            elif c == ")":
                pos += 1
                return tokens
            elif text.startswith("<<", pos) or text.startswith(">>", pos):
                tokens.append(text[pos:pos + 2])
                pos += 2
            elif c in "*/%+-&^|":
                tokens.append(c)
                pos += 1
            else:
                end = pos
                while end < len(text) and (text[end].isalnum() or text[end] == "$"):
                    end += 1
                tokens.append(literal_value(text[pos:end]))
                pos = end
        return tokens

    return parse()


if __name__ == "__main__":
    main()
