#!/usr/bin/env python3
"""Writes the fuzzers' seed corpora into fuzz/corpus/<target>/.

Small inputs that reach each target's main paths, so that the fuzzers start
from there rather than from nothing: one bitmap of every kind the decoder
reads, typical launch arguments and typed numbers, and a few conversions.
Run it again to rewrite them; the output is the same every time.
"""
import os
import random
import struct

CORPUS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "corpus")

# A 3 x 2 picture in palette indices, bottom row first as stored.
PIXELS = [[0, 1, 1], [2, 2, 3]]
PALETTE = [(255, 255, 255), (200, 30, 40), (32, 80, 200), (0, 0, 0)]


def pad(row):
    return row + b"\0" * (-len(row) % 4)


def packed(bits):
    """The picture's rows as `bits`-bit indices (cut to fit), the leftmost
    pixel highest."""
    rows = b""
    for row in PIXELS:
        value, count = 0, 0
        out = bytearray()
        for index in row:
            value = value << bits | index & ((1 << bits) - 1)
            count += bits
            if count == 8:
                out.append(value)
                value, count = 0, 0
        if count:
            out.append(value << (8 - count))
        rows += pad(bytes(out))
    return rows


def direct(encode):
    return b"".join(pad(b"".join(encode(PALETTE[i]) for i in row)) for row in PIXELS)


def bmp(header, palette=b"", pixels=b"", masks=b""):
    off_bits = 14 + len(header) + len(masks) + len(palette)
    size = off_bits + len(pixels)
    return b"BM" + struct.pack("<IHHI", size, 0, 0, off_bits) + header + masks + palette + pixels


def info_header(bits, compression=0, height=len(PIXELS), size=40, colors=0, image_size=0):
    header = struct.pack("<IiiHHIIiiII", size, len(PIXELS[0]), height, 1, bits, compression,
                         image_size, 2835, 2835, colors, 0)
    return header + b"\0" * (size - 40) if size >= 40 else header[:size]


def quad_palette(count):
    return b"".join(struct.pack("BBBB", b, g, r, 0) for r, g, b in PALETTE[:count])


def bitmaps():
    bgr = lambda c: bytes((c[2], c[1], c[0]))
    rgb555 = lambda c: struct.pack("<H", (c[0] >> 3) << 10 | (c[1] >> 3) << 5 | c[2] >> 3)
    rgb565 = lambda c: struct.pack("<H", (c[0] >> 3) << 11 | (c[1] >> 2) << 5 | c[2] >> 3)
    yield "rgb1", bmp(info_header(1), quad_palette(2), packed(1))
    yield "rgb2", bmp(info_header(2), quad_palette(4), packed(2))
    yield "rgb4", bmp(info_header(4, colors=4), quad_palette(4), packed(4))
    yield "rgb8", bmp(info_header(8, colors=4), quad_palette(4), packed(8))
    yield "rgb8-top-down", bmp(info_header(8, height=-2, colors=4), quad_palette(4), packed(8))
    yield "rgb16", bmp(info_header(16), pixels=direct(rgb555))
    yield "rgb24", bmp(info_header(24), pixels=direct(bgr))
    yield "rgb32", bmp(info_header(32), pixels=direct(lambda c: bgr(c) + b"\0"))
    yield "bitfields16", bmp(info_header(16, 3), pixels=direct(rgb565),
                             masks=struct.pack("<III", 0xF800, 0x07E0, 0x001F))
    v5 = bytearray(info_header(32, 3, size=124))
    v5[40:52] = struct.pack("<III", 0x00FF0000, 0x0000FF00, 0x000000FF)
    yield "bitfields32-v5", bmp(bytes(v5), pixels=direct(lambda c: bgr(c) + b"\xff"))
    # RLE8: a run, literals, a delta, end of line and of picture.
    rle8 = bytes([2, 1, 0, 0, 0, 3, 2, 2, 3, 0, 0, 2, 1, 0, 0, 1])
    yield "rle8", bmp(info_header(8, 1, colors=4), quad_palette(4), rle8)
    rle4 = bytes([3, 0x12, 0, 0, 0, 3, 0x23, 0x10, 0, 1])
    yield "rle4", bmp(info_header(4, 2, colors=4), quad_palette(4), rle4)
    core = struct.pack("<IHHHH", 12, len(PIXELS[0]), len(PIXELS), 1, 8)
    yield "os2-core", bmp(core, b"".join(bgr(c) for c in PALETTE), packed(8))
    yield "os2-cut", bmp(info_header(24, size=16), pixels=direct(bgr))


# Arguments separated by NUL bytes, as the launch-arguments fuzzer splits them.
LAUNCHES = {
    "none": [],
    "one": ["photo.bmp"],
    "ngraph": ["2000", "12000", "3000", "10500", "/tmp/rastrel.ngp"],
    "reversed": ["12000", "2000", "10500", "3000", "s"],
    "units": ["120mm", " 20", "+5", "-5x", "s"],
    "extremes": ["-2147483648", "2147483647", "99999999999", "-99999999999", "s"],
    "six": ["1", "2", "3", "4", "s", "x"],
}

NUMBERS = {
    "decimal": "120", "unit": "120mm", "space-sign": " \t-42", "plus": "+7",
    "hex-colour": "ff0000", "hex-prefix": "0x1F", "prefix-alone": "0xg",
    "int-max": "2147483647", "int-overflow": "2147483648", "int-min": "-2147483648",
    "hex-max": "ffffffff", "hex-overflow": "100000000", "hex-negative": "-ff",
}


def write(target, name, data):
    folder = os.path.join(CORPUS, target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as out:
        out.write(data)


def main():
    for name, data in bitmaps():
        write("bmp_decoder", name + ".bmp", data)
    for name, arguments in LAUNCHES.items():
        write("launch_arguments", name, "\0".join(arguments).encode())
    for name, text in NUMBERS.items():
        write("number_scan", name, text.encode())
    # The conversion fuzzer reads its input through FuzzedDataProvider, so
    # any bytes make a picture and settings; these are of a few lengths.
    generator = random.Random(20261211)
    for length in (16, 64, 256, 1024):
        write("conversion", "random-%d" % length, bytes(generator.getrandbits(8)
                                                        for _ in range(length)))


if __name__ == "__main__":
    main()
