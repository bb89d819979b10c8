#!/usr/bin/env python3
"""Expected results of the J functions, from Python's cp932 codec: random texts mixing ASCII,
half-width katakana and double-byte characters (some with trail bytes 0x5C or letters).

jtext.tsv: hex(text) <TAB> JLength <TAB> from <TAB> count <TAB> hex(JCopy) <TAB> hex(piece) <TAB> JPos
Run from this folder: python3 gen_jtext.py
"""
import random

ALPHABET = list("abcXYZ019 ,.\\") + ["\uff76", "\uff9e"] + list("\u3042\u3044\u30bd\u8868\u80fd\u30fc\u6f22\u5b57\uff21")


def main():
    rng = random.Random(932)
    with open("jtext.tsv", "w", newline="\n") as out:
        for _ in range(300):
            chars = [rng.choice(ALPHABET) for _ in range(rng.randint(0, 12))]
            text = "".join(chars)
            length = len(chars)
            start = rng.randint(1, length + 2)
            count = rng.randint(1, 6)
            copied = "".join(chars[start - 1:start - 1 + count])
            if chars and rng.random() < 0.7:
                a = rng.randint(0, length - 1)
                piece = "".join(chars[a:a + rng.randint(1, 3)])
            else:
                piece = rng.choice(ALPHABET)
            position = 0
            for k in range(length):
                if "".join(chars[k:]).startswith(piece):
                    position = k + 1
                    break
            enc = lambda s: s.encode("cp932").hex()
            out.write(f"{enc(text)}\t{length}\t{start}\t{count}\t{enc(copied)}\t{enc(piece)}\t{position}\n")


if __name__ == "__main__":
    main()
