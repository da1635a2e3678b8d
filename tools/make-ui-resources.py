#!/usr/bin/env python3
"""Draws the program's pixel-art resources into ui/resources/ as PNG files.

  pickup.png      the colour-pick cursor: an eye-dropper whose tip, the hot
                  spot, is pixel (0, 0); black outline and white fill, so that
                  it shows on light and dark pictures alike
  mainicon.png    the program icon, 32 x 32: a few coloured pixel blocks over
                  a sheet with a plotted graph
  mainicon16.png  the same motif drawn again for 16 x 16, the window's icon

The icons keep to the classic 16-colour Windows palette. All three are
indexed PNGs whose palette entry 0 is fully transparent. Run it again to
redraw them; the output is the same every time. An argument names another
folder to write to.
"""
import os
import struct
import sys
import zlib

# The classic 16-colour Windows palette, by the letters the drawings use.
VGA = {
    "k": (0, 0, 0),        # black
    "m": (128, 0, 0),      # maroon
    "g": (0, 128, 0),      # green
    "o": (128, 128, 0),    # olive
    "n": (0, 0, 128),      # navy
    "p": (128, 0, 128),    # purple
    "t": (0, 128, 128),    # teal
    "s": (192, 192, 192),  # silver
    "d": (128, 128, 128),  # grey
    "r": (255, 0, 0),      # red
    "l": (0, 255, 0),      # lime
    "y": (255, 255, 0),    # yellow
    "b": (0, 0, 255),      # blue
    "f": (255, 0, 255),    # fuchsia
    "a": (0, 255, 255),    # aqua
    "w": (255, 255, 255),  # white
}
CLEAR = "."

# The cursor, drawn along the diagonal: the glass tube runs from the tip down
# to a collar, then comes the rubber bulb. "#" is black, "o" white.
PICKUP = """
##..............................
#o##............................
.#oo#...........................
.#ooo#..........................
..#ooo#.........................
...#ooo#........................
....#ooo#.......................
.....#ooo#......................
......#ooo#.....................
.......#ooo#....................
........#ooo#...................
.........#ooo#..................
..........#ooo#.................
...........#ooo#.##.............
............#ooo#oo#............
.............#o#oo#.............
..............#oo####...........
.............#oo##ooo##.........
.............#o##oooooo##.......
..............#.#oooooooo#......
................#ooooooooo#.....
.................#ooooooooo#....
.................#oooooooooo#...
..................#ooooooooo#...
..................#oooooooooo#..
...................#ooooooooo#..
....................#ooooooooo#.
.....................#oooooooo#.
......................##oooooo#.
........................##ooo#..
..........................###...
................................
"""


class Canvas:
    """A square of palette letters, CLEAR to begin with."""

    def __init__(self, size):
        self.size = size
        self.px = [[CLEAR] * size for _ in range(size)]

    def set(self, x, y, colour):
        if 0 <= x < self.size and 0 <= y < self.size:
            self.px[y][x] = colour

    def rect(self, x0, y0, x1, y1, colour):  # corners included
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                self.set(x, y, colour)

    def line(self, x0, y0, x1, y1, colour):  # Bresenham, ends included
        dx, dy = abs(x1 - x0), -abs(y1 - y0)
        sx, sy = (1 if x0 < x1 else -1), (1 if y0 < y1 else -1)
        err = dx + dy
        while True:
            self.set(x0, y0, colour)
            if (x0, y0) == (x1, y1):
                return
            twice = 2 * err  # both steps are judged by the error before either
            if twice >= dy:
                err += dy
                x0 += sx
            if twice <= dx:
                err += dx
                y0 += sy

    def sheet(self, x0, y0, x1, y1, ear):
        """A white page with a black edge, a grey shadow to the lower right
        and its top-right corner folded down by `ear` pixels."""
        self.rect(x0 + 1, y0 + 1, x1 + 1, y1 + 1, "d")
        self.rect(x0, y0, x1, y1, "k")
        self.rect(x0 + 1, y0 + 1, x1 - 1, y1 - 1, "w")
        fold = x1 - ear
        for i in range(ear + 1):
            for x in range(fold + i, x1 + 2):  # the corner cut away, its shadow too
                self.set(x, y0 + i, CLEAR)
        for i in range(ear + 1):
            self.set(fold + i, y0 + i, "k")  # the crease
            self.set(fold, y0 + i, "k")  # the flap's edges
            self.set(fold + i, y0 + ear, "k")
            for x in range(fold + 1, fold + i):  # the back of the flap
                self.set(x, y0 + i, "s")
        self.set(x1 + 1, y0 + ear, "d")

    def blocks(self, x0, y0, cell, colours, lines):
        """Rows of coloured cells, `cell` pixels square, in a black frame;
        with `lines`, black lines between the cells too."""
        gap = 1 if lines else 0
        side = len(colours) * (cell + gap) + 2 - gap
        self.rect(x0, y0, x0 + side - 1, y0 + side - 1, "k")
        for j, row in enumerate(colours):
            for i, colour in enumerate(row):
                x = x0 + 1 + i * (cell + gap)
                y = y0 + 1 + j * (cell + gap)
                self.rect(x, y, x + cell - 1, y + cell - 1, colour)


# The same little mosaic in both icons.
MOSAIC = ["ryb", "yar", "brl"]


def main_icon():
    c = Canvas(32)
    c.sheet(9, 4, 29, 29, 5)
    c.blocks(0, 0, 3, MOSAIC, lines=True)
    left, bottom = 14, 26  # the axes, with ticks
    c.line(left, 14, left, bottom, "k")
    c.line(left, bottom, 27, bottom, "k")
    for y in (14, 18, 22):
        c.set(left - 1, y, "k")
    for x in (18, 22, 26):
        c.set(x, bottom + 1, "k")
    points = [(16, 23), (19, 18), (22, 21), (26, 11)]
    for (xa, ya), (xb, yb) in zip(points, points[1:]):  # two pixels thick
        c.line(xa, ya, xb, yb, "b")
        c.line(xa, ya - 1, xb, yb - 1, "b")
    for x, y in points:
        c.rect(x, y - 1, x + 1, y, "r")
    return c


def main_icon16():
    c = Canvas(16)
    c.sheet(4, 2, 14, 14, 3)
    c.blocks(0, 0, 2, MOSAIC, lines=False)  # lines would leave no room for colour
    left, bottom = 6, 12
    c.line(left, 9, left, bottom, "k")
    c.line(left, bottom, 12, bottom, "k")
    points = [(7, 11), (9, 8), (11, 10), (13, 6)]  # markers would break so thin a line
    for (xa, ya), (xb, yb) in zip(points, points[1:]):
        c.line(xa, ya, xb, yb, "b")
    return c


def chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))


def encode_png(rows, palette, depth):
    """An indexed PNG of `rows` (lists of palette indices) whose entry 0 is
    transparent."""
    height, width = len(rows), len(rows[0])
    raw = b""
    for row in rows:
        packed = bytearray((width * depth + 7) // 8)
        for x, index in enumerate(row):
            bit = x * depth
            packed[bit // 8] |= index << (8 - depth - bit % 8)
        raw += b"\0" + bytes(packed)  # filter type 0: none
    header = struct.pack(">IIBBBBB", width, height, depth, 3, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header)
            + chunk(b"PLTE", b"".join(bytes(c) for c in palette))
            + chunk(b"tRNS", b"\0")
            + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def cursor_png():
    rows = PICKUP.strip().split("\n")
    assert len(rows) == 32 and all(len(r) == 32 for r in rows)
    assert rows[0][0] == "#"  # the hot spot is the tip
    index = {".": 0, "#": 1, "o": 2}
    palette = [(255, 255, 255), (0, 0, 0), (255, 255, 255)]
    return encode_png([[index[c] for c in r] for r in rows], palette, 2)


def icon_png(canvas):
    # Only the colours in use, so that the transparent entry fits in 16.
    used = [k for k in VGA if any(k in row for row in canvas.px)]
    assert len(used) <= 15
    letters = [CLEAR] + used
    palette = [(255, 255, 255)] + [VGA[k] for k in used]
    return encode_png([[letters.index(c) for c in row] for row in canvas.px], palette, 4)


if __name__ == "__main__":
    folder = sys.argv[1] if len(sys.argv) > 1 else "ui/resources"
    os.makedirs(folder, exist_ok=True)
    for name, data in [("pickup.png", cursor_png()),
                       ("mainicon.png", icon_png(main_icon())),
                       ("mainicon16.png", icon_png(main_icon16()))]:
        with open(os.path.join(folder, name), "wb") as f:
            f.write(data)
