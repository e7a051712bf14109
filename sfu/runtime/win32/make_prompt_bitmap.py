#!/usr/bin/env python3
"""Draws the picture of the piece prompt, FORM2_IMAGELIST1.bmp: one 34 x 34 image with 256
colours, a floppy disk (the prompt asks for the next piece, often on another disk). The
background is the grey (192, 192, 192) that the core maps to the dialog's face colour when it
loads the picture. Run it again after changing the drawing; the build uses the committed file."""
import os
import struct

SIZE = 34
BACKGROUND = (192, 192, 192)
OUTLINE = (20, 35, 80)
BODY = (40, 70, 140)
SHUTTER = (170, 176, 188)
SLOT = (60, 62, 72)
LABEL = (250, 250, 250)
RULE = (150, 160, 196)


def colour_at(x, y):
    left, top, right, bottom = 2, 2, 31, 31
    inside = left <= x <= right and top <= y <= bottom and (x - (right - 4)) <= (y - top)  # cut corner
    if not inside:
        return BACKGROUND
    edge = x in (left, right) or y in (top, bottom) or (x - (right - 4)) == (y - top)
    if edge:
        return OUTLINE
    if 9 <= x <= 24 and y <= 11:
        return SLOT if 19 <= x <= 22 and 4 <= y <= 9 else SHUTTER
    if 6 <= x <= 27 and y >= 16:
        return RULE if y in (20, 24, 28) and 8 <= x <= 25 else LABEL
    return BODY


def main():
    pixels = [[colour_at(x, y) for x in range(SIZE)] for y in range(SIZE)]
    palette = sorted({c for row in pixels for c in row})
    index = {c: i for i, c in enumerate(palette)}
    stride = (SIZE + 3) // 4 * 4
    bits = b"".join(bytes(index[c] for c in row) + b"\0" * (stride - SIZE) for row in reversed(pixels))
    colours = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in palette)
    colours += b"\0" * (4 * 256 - len(colours))
    info = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE, 1, 8, 0, len(bits), 2835, 2835, 256, 0)
    offset = 14 + len(info) + len(colours)
    header = struct.pack("<2sIHHI", b"BM", offset + len(bits), 0, 0, offset)
    path = os.path.join(os.path.dirname(os.path.abspath(__file__)), "FORM2_IMAGELIST1.bmp")
    with open(path, "wb") as f:
        f.write(header + info + colours + bits)


if __name__ == "__main__":
    main()
