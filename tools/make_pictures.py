#!/usr/bin/env python3
"""Draws the sample pictures of the pictures/ folder (pictogram icons as 24-bit .bmp, a
thermometer as .png) with the standard library only, so that they can be made again and
changed in one place. Usage: python3 tools/make_pictures.py [FOLDER]"""
import math
import os
import struct
import sys
import zlib

WHITE = (255, 255, 255)
BLACK = (0, 0, 0)


def canvas(width, height, colour=WHITE):
    return [[colour] * width for _ in range(height)]  # rows from the top


def disc(pixels, cx, cy, r, colour, ring=None):
    for y, row in enumerate(pixels):
        for x in range(len(row)):
            d = math.hypot(x + 0.5 - cx, y + 0.5 - cy)
            if d <= r:
                row[x] = colour
            if ring and r - 1.5 <= d <= r:
                row[x] = ring


def box(pixels, x1, y1, x2, y2, colour):
    for y in range(y1, y2):
        for x in range(x1, x2):
            pixels[y][x] = colour


def write_bmp(path, pixels):
    height, width = len(pixels), len(pixels[0])
    stride = (width * 3 + 3) & ~3
    data = bytearray()
    for row in reversed(pixels):  # bottom-up
        line = bytearray()
        for r, g, b in row:
            line += bytes((b, g, r))
        data += line + bytes(stride - len(line))
    header = struct.pack("<2sIHHI", b"BM", 54 + len(data), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(header + info + data)


def write_png(path, pixels):
    height, width = len(pixels), len(pixels[0])
    raw = b"".join(b"\x00" + bytes(c for px in row for c in px) for row in pixels)

    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))

    png = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b"")
    with open(path, "wb") as f:
        f.write(png)


def lamp(colour):
    p = canvas(32, 32)
    disc(p, 16, 16, 14, colour, ring=BLACK)
    disc(p, 11, 11, 3, WHITE)  # highlight
    return p


def valve(colour):
    p = canvas(32, 32)
    for y in range(6, 26):
        half = abs(y - 16)  # two triangles meeting in the middle
        for x in range(4, 28):
            if abs(x - 16) >= half * 0.75 + 1 and abs(x - 16) <= 12:
                p[y][x] = colour
    box(p, 15, 2, 17, 16, BLACK)  # the stem
    box(p, 10, 2, 22, 4, BLACK)  # the handle
    return p


def thermometer():
    """A 40 x 160 glass tube with a bulb and a scale; the column's inner rectangle is
    x 16..24, y 20..130 from the top (offsets 16..24, 30..140 from the lower-left corner)."""
    p = canvas(40, 160)
    box(p, 14, 16, 26, 134, (200, 200, 200))  # the tube
    box(p, 16, 18, 24, 132, WHITE)
    disc(p, 20, 142, 12, (200, 30, 30), ring=BLACK)  # the bulb
    for k in range(11):  # scale ticks every 11 pixels
        y = 130 - k * 11
        box(p, 28, y, 34 if k % 5 == 0 else 31, y + 1, BLACK)
    return p


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "pictures")
    os.makedirs(folder, exist_ok=True)
    for name, colour in (("off", (150, 150, 150)), ("on", (250, 220, 40)), ("fault", (220, 40, 40))):
        write_bmp(os.path.join(folder, f"lamp_{name}.bmp"), lamp(colour))
    write_bmp(os.path.join(folder, "valve_open.bmp"), valve((40, 170, 60)))
    write_bmp(os.path.join(folder, "valve_closed.bmp"), valve((200, 40, 40)))
    write_png(os.path.join(folder, "thermometer.png"), thermometer())


if __name__ == "__main__":
    main()
