#!/usr/bin/env python3
"""Draws the loader stub's icon, MAINICON.ico: a blue rounded square with a white "K", at
16 x 16 and 32 x 32 in 16 colours. Run it again after changing the drawing; the build uses the
committed file."""
import math
import os
import struct

# The usual 16-colour palette (r, g, b).
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128), (0, 128, 128),
    (128, 128, 128), (192, 192, 192), (255, 0, 0), (0, 255, 0), (255, 255, 0), (0, 0, 255),
    (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
NAVY, BLUE, WHITE, TRANSPARENT = 4, 12, 15, None

# The "K" on a 32-unit grid: one upright and two arms, as line segments.
STROKES = [((10.5, 7), (10.5, 25)), ((12, 16), (22, 7)), ((14, 14.5), (22.5, 25))]


def distance_to_segment(px, py, a, b):
    (ax, ay), (bx, by) = a, b
    dx, dy = bx - ax, by - ay
    t = max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy)))
    return math.hypot(px - (ax + t * dx), py - (ay + t * dy))


def colour_at(x, y, size):
    # Pixel centre on the 32-unit grid.
    u, v = (x + 0.5) * 32 / size, (y + 0.5) * 32 / size
    corner = 6
    cx, cy = min(max(u, 1 + corner), 31 - corner), min(max(v, 1 + corner), 31 - corner)
    inside = math.hypot(u - cx, v - cy)
    if inside > corner:
        return TRANSPARENT
    stroke = 2.0 if size == 32 else 2.4
    if any(distance_to_segment(u, v, a, b) <= stroke for a, b in STROKES):
        return WHITE
    return NAVY if inside > corner - 32 / size * 1.2 else BLUE


def image(size):
    rows = [[colour_at(x, y, size) for x in range(size)] for y in range(size)]
    xor = b""
    mask = b""
    for row in reversed(rows):  # bottom-up
        nibbles = [0 if c is None else c for c in row]
        line = bytes((nibbles[i] << 4) | nibbles[i + 1] for i in range(0, size, 2))
        xor += line + b"\0" * (-len(line) % 4)
        bits = 0
        for c in row:
            bits = (bits << 1) | (c is None)
        line = bits.to_bytes(size // 8, "big")
        mask += line + b"\0" * (-len(line) % 4)
    header = struct.pack("<IiiHHIIiiII", 40, size, 2 * size, 1, 4, 0, len(xor) + len(mask), 0, 0, 16, 0)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)
    return header + palette + xor + mask


def main():
    images = [image(16), image(32)]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in zip((16, 32), images):
        out += struct.pack("<BBBBHHII", size, size, 16, 0, 1, 4, len(data), offset)
        offset += len(data)
    out += b"".join(images)
    with open(os.path.join(os.path.dirname(os.path.abspath(__file__)), "MAINICON.ico"), "wb") as f:
        f.write(out)


if __name__ == "__main__":
    main()
