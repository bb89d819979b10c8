#!/usr/bin/env python3
"""Writes the preview-menu (.mmt) fixtures of every version 100-106 with struct, and beside
each its source text as `mobupack mmt` prints it (UTF-8: a [menu] section, then one [button]
section per record with "key = value" lines of only the fields the version holds), plus
damaged files. Run from this folder:
    python3 make_mmt_fixtures.py
"""
import struct

# (key, kind, first version holding it), in file order.
FIELDS = [
    ("x", "i", 100), ("y", "i", 100), ("normal", "s", 100), ("capture_mask", "b", 100), ("name", "s", 100),
    ("hover", "s", 100), ("leave", "s", 100), ("click", "s", 100), ("disabled", "s", 101),
    ("disabled_hover", "s", 103), ("disabled_leave", "s", 103), ("hover_overlay", "s", 100),
    ("leave_overlay", "s", 100), ("click_overlay", "s", 100), ("disabled_hover_overlay", "s", 102),
    ("disabled_leave_overlay", "s", 102), ("overlay_x", "i", 100), ("overlay_y", "i", 100), ("cursor", "s", 100),
    ("checked", "s", 104), ("checked_hover", "s", 104), ("checked_leave", "s", 104),
    ("checked_hover_overlay", "s", 104), ("checked_leave_overlay", "s", 104), ("group", "i", 104),
    ("check_overlay", "s", 105), ("uncheck_overlay", "s", 106),
]


def value(button, key, kind, index):
    if kind == "i":
        return [-7, 120, 3, -2][(index + button) % 4] * (button + 1) + index
    if kind == "b":
        return button == 1
    if key == "name":
        return ["start", "", "\u6708\u5149"][button]  # the second has none; the third is 月光
    if (index + button) % 5 == 0:
        return ""
    return "cg\\b%d_%s.fsk" % (button, key)


def text(v):
    return v.encode("cp932")


def write(version, width, height, buttons):
    out = b"MobuPrevMenu" + str(version).encode("ascii") + struct.pack("<iii", width, height, len(buttons))
    for record in buttons:
        for key, kind, first in FIELDS:
            if version < first:
                continue
            v = record[key]
            if kind == "i":
                out += struct.pack("<i", v)
            elif kind == "b":
                out += struct.pack("<B", 1 if v else 0)
            else:
                out += struct.pack("<i", len(text(v))) + text(v)
    return out


def listing(version, width, height, buttons):
    lines = ["[menu]", "version = %d" % version, "width = %d" % max(width, 0), "height = %d" % max(height, 0)]
    for record in buttons:
        lines.append("")
        lines.append("[button]")
        for key, kind, first in FIELDS:
            if version < first:
                continue
            v = record[key]
            shown = ("yes" if v else "no") if kind == "b" else str(v)
            lines.append("%s = %s" % (key, shown) if shown != "" else "%s =" % key)
    return ("\n".join(lines) + "\n").encode("utf-8")


def main():
    for version in range(100, 107):
        buttons = []
        for b in range(3):
            buttons.append({key: value(b, key, kind, i) for i, (key, kind, _) in enumerate(FIELDS)})
        width, height = (640, 480) if version != 103 else (-5, -1)
        with open("v%d.mmt" % version, "wb") as f:
            f.write(write(version, width, height, buttons))
        with open("v%d.txt" % version, "wb") as f:
            f.write(listing(version, width, height, buttons))
    good = write(106, 10, 10, [])
    with open("bad_version.mmt", "wb") as f:
        f.write(b"MobuPrevMenu107" + good[15:])
    with open("bad_magic.mmt", "wb") as f:
        f.write(b"MobuPrevMenX106" + good[15:])
    with open("huge_count.mmt", "wb") as f:
        f.write(b"MobuPrevMenu106" + struct.pack("<iii", 1, 1, 0x7FFFFFFF))
    with open("long_string.mmt", "wb") as f:
        f.write(b"MobuPrevMenu100" + struct.pack("<iiiii", 1, 1, 1, 0, 0) + struct.pack("<i", 1000) + b"abc")


if __name__ == "__main__":
    main()
