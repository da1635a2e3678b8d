#!/usr/bin/env python3
"""Draws samples/rastrel-sample.bmp, the bitmap that `make run` converts.

A small chart in a 16-colour palette: flat areas (the page, filled bars, a
shaded band), fine detail (a one-pixel grid, tick marks, a thin curve, dots)
and white, the default key colour, around it all. Run it again to redraw the
file; the output is the same every time.
"""
import math
import struct
import sys

WIDTH, HEIGHT = 96, 64
PALETTE = [  # (red, green, blue)
    (255, 255, 255),  # 0 white page
    (0, 0, 0),        # 1 axes and ticks
    (208, 208, 208),  # 2 grid
    (32, 80, 200),    # 3 curve
    (230, 120, 30),   # 4 bars
    (250, 200, 120),  # 5 bar highlight
    (200, 30, 40),    # 6 dots
    (170, 220, 190),  # 7 band
    (60, 140, 80),    # 8 band edge
]
PALETTE += [(0, 0, 0)] * (16 - len(PALETTE))


def draw():
    px = [[0] * WIDTH for _ in range(HEIGHT)]
    left, bottom = 10, HEIGHT - 9
    for x in range(left, WIDTH - 2, 8):          # vertical grid lines
        for y in range(4, bottom):
            px[y][x] = 2
    for y in range(bottom, 3, -8):               # horizontal grid lines
        for x in range(left, WIDTH - 2):
            px[y][x] = 2
    for x in range(left, WIDTH - 2):             # a shaded band
        mid = 30 + 6 * math.sin(x / 9.0)
        for y in range(int(mid - 4), int(mid + 4)):
            px[y][x] = 7
        px[int(mid - 5)][x] = px[int(mid + 4)][x] = 8
    for i, h in enumerate([12, 20, 16, 27, 9, 23]):  # bars
        x0 = left + 4 + i * 13
        for y in range(bottom - h, bottom):
            for x in range(x0, x0 + 7):
                px[y][x] = 5 if x == x0 else 4
    for x in range(left, WIDTH - 2):             # a thin curve
        y = int(round(22 - 14 * math.sin((x - left) / 11.0) * math.exp(-(x - left) / 70.0)))
        px[y][x] = 3
    for x, y in [(20, 12), (37, 40), (52, 18), (66, 33), (81, 14)]:  # dots
        for dx, dy in [(0, 0), (1, 0), (0, 1), (1, 1)]:
            px[y + dy][x + dx] = 6
    for y in range(3, bottom + 1):               # axes with ticks
        px[y][left] = 1
    for x in range(left, WIDTH - 1):
        px[bottom][x] = 1
    for x in range(left, WIDTH - 2, 8):
        px[bottom + 1][x] = px[bottom + 2][x] = 1
    for y in range(bottom, 3, -8):
        px[y][left - 1] = px[y][left - 2] = 1
    return px


def encode(px):
    stride = (WIDTH * 4 + 31) // 32 * 4
    rows = b""
    for row in reversed(px):                     # bottom-up, as usual
        packed = bytes((row[x] << 4) | row[x + 1] for x in range(0, WIDTH, 2))
        rows += packed + b"\0" * (stride - len(packed))
    palette = b"".join(bytes((b, g, r, 0)) for r, g, b in PALETTE)
    offset = 14 + 40 + len(palette)
    header = struct.pack("<2sIHHI", b"BM", offset + len(rows), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, WIDTH, HEIGHT, 1, 4, 0, len(rows), 2835, 2835, 16, 0)
    return header + info + palette + rows


if __name__ == "__main__":
    out = sys.argv[1] if len(sys.argv) > 1 else "samples/rastrel-sample.bmp"
    with open(out, "wb") as f:
        f.write(encode(draw()))
