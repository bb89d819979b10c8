#!/usr/bin/env python3
"""Renders the reference masks of map-image regions with ImageMagick's -draw.

Each case becomes regions/<name>.gray (raw 8-bit rows, 0 or 255) and one line of
regions/cases.txt: name width height shape numbers...  Shapes: "ellipse l t r b"
(inclusive box, as stored in a map file) and "polygon x1 y1 x2 y2 ...".

ImageMagick puts pixel centres on integer coordinates, the player on x + 0.5, so every
coordinate is shifted by -0.5 before drawing. Polygons use the nonzero winding rule.
Run from anywhere: python3 tests/data/images/make_region_fixtures.py
"""
import os
import subprocess

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "regions")

CASES = [
    ("ellipse_wide", 48, 36, "ellipse", [3, 4, 40, 28]),
    ("ellipse_tall", 48, 36, "ellipse", [10, 2, 17, 33]),
    ("ellipse_full", 48, 36, "ellipse", [0, 0, 47, 35]),
    ("ellipse_small", 16, 16, "ellipse", [5, 5, 8, 9]),
    ("ellipse_clipped", 32, 32, "ellipse", [-10, 12, 20, 45]),
    ("triangle", 48, 36, "polygon", [4, 30, 24, 3, 44, 33]),
    ("concave_arrow", 48, 36, "polygon", [2, 12, 26, 12, 26, 3, 45, 18, 26, 33, 26, 24, 2, 24]),
    # Self-intersecting star: the centre pentagon is filled under the winding rule
    # (an even-odd fill would leave it empty).
    ("pentagram", 48, 48, "polygon", [24, 2, 37, 43, 3, 17, 45, 17, 11, 43]),
    # The same square traced twice in one direction: winding 2, still filled.
    ("square_twice", 32, 32, "polygon", [4, 4, 28, 4, 28, 28, 4, 28, 4, 4, 28, 4, 28, 28, 4, 28]),
    ("diamond_clipped", 32, 32, "polygon", [16, -8, 40, 16, 16, 40, -8, 16]),
]


def shifted(values):
    return [v - 0.5 for v in values]


def mvg(shape, numbers):
    if shape == "ellipse":
        left, top, right, bottom = numbers
        rx = (right + 1 - left) / 2
        ry = (bottom + 1 - top) / 2
        cx, cy = shifted([left + rx, top + ry])
        return f"ellipse {cx},{cy} {rx},{ry} 0,360"
    points = shifted(numbers)
    pairs = " ".join(f"{points[i]},{points[i + 1]}" for i in range(0, len(points), 2))
    return f"fill-rule nonzero polygon {pairs}"


def main():
    os.makedirs(OUT, exist_ok=True)
    lines = []
    for name, width, height, shape, numbers in CASES:
        target = os.path.join(OUT, name + ".gray")
        subprocess.run(["convert", "-size", f"{width}x{height}", "xc:black", "+antialias", "-fill", "white",
                        "-stroke", "none", "-draw", mvg(shape, numbers), "-depth", "8", f"gray:{target}"],
                       check=True)
        lines.append(" ".join([name, str(width), str(height), shape] + [str(n) for n in numbers]))
    with open(os.path.join(OUT, "cases.txt"), "w") as f:
        f.write("\n".join(lines) + "\n")


if __name__ == "__main__":
    main()
