#!/usr/bin/env python3
"""Compares a screen capture with Pillow's box (area-average) resize of the full frame.

usage: compare_box_resize.py FRAME.png CAPTURE.png TOLERANCE
Exit 0 when the capture has the resized frame's size and every channel of every pixel is
within TOLERANCE of it; else prints the first difference and exits 1.
"""
import sys

from PIL import Image


def main():
    frame_path, capture_path, tolerance = sys.argv[1], sys.argv[2], int(sys.argv[3])
    capture = Image.open(capture_path).convert("RGB")
    expected = Image.open(frame_path).convert("RGB").resize(capture.size, Image.BOX)
    width, height = capture.size
    got, want = capture.load(), expected.load()
    for y in range(height):
        for x in range(width):
            a, b = got[x, y], want[x, y]
            if any(abs(p - q) > tolerance for p, q in zip(a, b)):
                print(f"pixel {x},{y}: capture {a}, Pillow {b}")
                return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
