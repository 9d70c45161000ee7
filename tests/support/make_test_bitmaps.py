#!/usr/bin/env python3
"""Writes the DIB tests' bitmaps into a folder: dib8.bmp (7 x 5, 8 bits, 256 colours) and
dib24.bmp (5 x 3, 24 bits). The colours follow the formulas of dib_win_test.cpp."""
import struct
import sys


def color8(i):
    return (i, (i * 5) & 255, 255 - i)


def index8(x, y):
    return (x * 37 + y * 11 + 5) & 255


def pixel24(x, y):
    return (40 * x + 10, 60 * y + 20, (30 * x * y + 7) & 255)


def bmp(width, height, bits, colors, row):
    """row(y) gives the bytes of row y, counted from the top."""
    table = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in colors)
    rows = b""
    for y in reversed(range(height)):  # stored bottom-up
        data = row(y)
        rows += data + b"\0" * (((len(data) + 3) & ~3) - len(data))
    header = struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, 0, len(rows), 2835, 2835, len(colors), 0)
    offset = 14 + len(header) + len(table)
    return b"BM" + struct.pack("<IHHI", offset + len(rows), 0, 0, offset) + header + table + rows


def main(folder):
    with open(f"{folder}/dib8.bmp", "wb") as f:
        f.write(bmp(7, 5, 8, [color8(i) for i in range(256)], lambda y: bytes(index8(x, y) for x in range(7))))
    with open(f"{folder}/dib24.bmp", "wb") as f:
        f.write(bmp(5, 3, 24, [], lambda y: b"".join(bytes(reversed(pixel24(x, y))) for x in range(5))))


if __name__ == "__main__":
    main(sys.argv[1])
