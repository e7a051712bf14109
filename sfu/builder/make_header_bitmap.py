#!/usr/bin/env python3
"""Draws the default header picture of the SFU window, SFUBMP.dib: 353 x 65 pixels, 256
colours, a device-independent bitmap without file header (the form of a bitmap resource).
A blue band that lightens to the right, with a thin light line along the bottom. Run it again
after changing the drawing; the build uses the committed file."""
import os
import struct

WIDTH, HEIGHT = 353, 65
DARK, LIGHT = (16, 42, 104), (104, 160, 224)


def palette():
    # 0..253: the band's shades from dark to light; 254: the line; 255: white.
    shades = []
    for i in range(254):
        t = i / 253
        shades.append(tuple(round(d + (l - d) * t) for d, l in zip(DARK, LIGHT)))
    return shades + [(200, 220, 245), (255, 255, 255)]


def index_at(x, y):
    if y in (HEIGHT - 4, HEIGHT - 3):
        return 254
    # Lighter to the right, a little lighter towards the top.
    t = 0.8 * x / (WIDTH - 1) + 0.2 * (1 - y / (HEIGHT - 1))
    return round(t * 253)


def main():
    stride = (WIDTH + 3) // 4 * 4
    pixels = b""
    for y in reversed(range(HEIGHT)):  # bottom-up
        row = bytes(index_at(x, y) for x in range(WIDTH))
        pixels += row + b"\0" * (stride - WIDTH)
    header = struct.pack("<IiiHHIIiiII", 40, WIDTH, HEIGHT, 1, 8, 0, len(pixels), 2835, 2835, 256, 0)
    colours = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in palette())
    with open(os.path.join(os.path.dirname(os.path.abspath(__file__)), "SFUBMP.dib"), "wb") as f:
        f.write(header + colours + pixels)


if __name__ == "__main__":
    main()
