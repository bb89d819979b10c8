#!/usr/bin/env python3
"""Reference layout of tagged message text in em squares, written from the layout rules
(break opportunities, units, rows and pages), for random texts of Japanese, both
punctuation sets, Latin words, NOBR, RUBY, BR and CLEAR. Writes layout_vectors.json:
each case has the text, width, height, size and the expected pages of rows. The file is
lines of tab-separated fields (UTF-8): "case SIZE WIDTH HEIGHT TEXT" (HEIGHT "-" without
paging), then "page", then "row Y WIDTH HEIGHT TEXT" for each row.

The texts use only the tags these rules need; every character is one em of the size.
A row holding only a line break is one em high, and a unit without width never closes a
row (the player's choices where the rules are silent).

Usage: layout_reference.py [OUT.txt]   (seeded: the same vectors every run)
"""
import random
import sys

NO_BEGIN = set("。、｣」』)）､｡!?！？】")
NO_END = set("｢「『（([<【")


def is_latin(ch):
    b = ch.encode("cp932")
    return len(b) == 1 and 32 < b[0] < 256


class G:
    def __init__(self, kind, ch="", nobr=False, ruby="", newpage=False):
        self.kind, self.ch, self.nobr, self.ruby, self.newpage = kind, ch, nobr, ruby, newpage


def parse(text):
    """The few tags of the vectors: NOBR, RUBY VALUE=x, BR, CLEAR."""
    glyphs, nobr, ruby, i = [], False, "", 0
    while i < len(text):
        if text[i] == "<":
            j = text.index(">", i)
            tag = text[i + 1:j]
            name = tag.split(" ")[0].upper()
            if name == "NOBR":
                nobr = True
            elif name == "/NOBR":
                nobr = False
            elif name == "RUBY":
                ruby = tag.split("=", 1)[1]
            elif name == "/RUBY":
                ruby = ""
            elif name == "BR":
                glyphs.append(G("br"))
            elif name == "CLEAR":
                glyphs.append(G("br", newpage=True))
            i = j + 1
        else:
            glyphs.append(G("ch", text[i], nobr, ruby))
            i += 1
    return glyphs


def break_allowed(glyphs, k):
    if k <= 0:
        return True
    a, b = glyphs[k], glyphs[k - 1]
    if a.kind != "ch":
        return True
    if b.kind == "ch" and a.nobr and b.nobr:
        return False
    if b.kind == "ch" and a.ruby and a.ruby == b.ruby:
        return False
    if b.kind == "ch" and is_latin(a.ch) and is_latin(b.ch):
        return False
    if a.ch == " " and not (b.kind == "ch" and b.ch == " "):
        return False
    if a.ch in NO_BEGIN:
        return False
    return True


def unit_end(glyphs, s):
    if glyphs[s].kind == "br":
        return s + 1
    j = s + 1
    while j < len(glyphs) and glyphs[j - 1].kind != "br" and not break_allowed(glyphs, j):
        j += 1
    if j == s + 1 and j < len(glyphs) and glyphs[s].ch in NO_END and glyphs[j].kind != "br":
        j += 1
        while j < len(glyphs) and glyphs[j - 1].kind != "br" and not break_allowed(glyphs, j):
            j += 1
    return j


def layout(glyphs, width, height, size, paging):
    def gw(g):
        return size if g.kind == "ch" else 0

    def gh(g):
        return size + (max(1, size // 2) if g.kind == "ch" and g.ruby else 0) if g.kind == "ch" else 0

    pages, page, row, y, newpage = [], None, None, 0, False

    def row_height(r):
        chars = [gh(g) for g in r["g"] if g.kind == "ch"]
        if chars:
            return max(chars)
        return size if any(g.kind == "br" for g in r["g"]) else 0

    def open_row(first):
        nonlocal page, row, y, newpage
        if page is None or newpage:
            page = []
            pages.append(page)
            y, newpage = 0, False
        row = {"g": [], "y": y, "first": first, "w": 0}
        page.append(row)

    def close_row():
        nonlocal row, y
        if row is not None:
            y += row_height(row)
            row = None

    i = 0
    while i < len(glyphs):
        e = unit_end(glyphs, i)
        uw = sum(gw(g) for g in glyphs[i:e])
        if row is not None and width and row["g"] and uw > 0 and width < row["w"] + uw:
            close_row()
        if row is None:
            open_row(i)
        restarted = False
        for k in range(i, e):
            g = glyphs[k]
            row["g"].append(g)
            row["w"] += gw(g)
            if paging and len(page) > 1 and y + row_height(row) > height:
                i = row["first"]
                page.pop()
                row = None
                page = []
                pages.append(page)
                y, newpage = 0, False
                restarted = True
                break
            if g.kind == "br":
                close_row()
                if g.newpage:
                    newpage = True
        if restarted:
            continue
        i = e
    out = []
    for p in pages:
        rows = []
        for r in p:
            text = "".join(g.ch for g in r["g"] if g.kind == "ch")
            rows.append({"text": text, "y": r["y"], "width": r["w"], "height": row_height(r)})
        out.append(rows)
    return out


JAPANESE = "あいうえおかきくけこさしすせそ日本語漢字駅列車時計"
PUNCT = "。、｣」』)）､｡!?！？】｢「『（([【"
WORDS = ["hello", "world", "mobu", "a", "station", "train", "ok"]


def random_text(rnd):
    parts = []
    for _ in range(rnd.randint(3, 14)):
        r = rnd.random()
        if r < 0.35:
            parts.append("".join(rnd.choice(JAPANESE) for _ in range(rnd.randint(1, 6))))
        elif r < 0.55:
            parts.append(rnd.choice(PUNCT))
        elif r < 0.72:
            parts.append(rnd.choice(WORDS) + (" " if rnd.random() < 0.6 else ""))
        elif r < 0.8:
            parts.append("<NOBR>" + "".join(rnd.choice(JAPANESE) for _ in range(rnd.randint(2, 4))) + "</NOBR>")
        elif r < 0.87:
            parts.append("<RUBY VALUE=かな>" + "".join(rnd.choice(JAPANESE) for _ in range(rnd.randint(1, 3))) + "</RUBY>")
        elif r < 0.95:
            parts.append("<BR>")
        else:
            parts.append("<CLEAR>")
    return "".join(parts)


def main():
    out_path = sys.argv[1] if len(sys.argv) > 1 else "layout_vectors.txt"
    rnd = random.Random(14)
    cases = []
    for _ in range(300):
        text = random_text(rnd)
        size = rnd.choice([10, 12, 16])
        width = rnd.choice([0, size * 3, size * 5 + 3, size * 8, size * 13])
        paged = rnd.random() < 0.5
        height = rnd.choice([size * 2, size * 3 + 5, size * 5]) if paged else 0
        cases.append({"text": text, "size": size, "width": width, "height": height if paged else None,
                      "pages": layout(parse(text), width, height, size, paged)})
    with open(out_path, "w", encoding="utf-8") as f:
        for case in cases:
            height = "-" if case["height"] is None else str(case["height"])
            f.write("case\t%d\t%d\t%s\t%s\n" % (case["size"], case["width"], height, case["text"]))
            for page in case["pages"]:
                f.write("page\n")
                for row in page:
                    f.write("row\t%d\t%d\t%d\t%s\n" % (row["y"], row["width"], row["height"], row["text"]))


if __name__ == "__main__":
    main()
