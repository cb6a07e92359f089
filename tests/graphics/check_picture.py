#!/usr/bin/env python3
"""--picture: console mode writes what the graphics area shows (layer 2 over layer 1, white
transparent) as a PNG of the bitmap's size after the run, also when the run stops with an error.
Usage: check_picture.py PROGRAM"""
import os
import struct
import subprocess
import sys
import tempfile
import zlib

SCRIPT = """SetCoordinateSystem(0, 0, 400, 250, 0, 1, 2)
PixelWrite(10, 10, clRed)
PixelWrite(20, 20, clBlue)
PixelWrite(20, 20, clLime, 2)
PixelWrite(30, 30, clWhite, 2)
x = 1 / 0
"""


def read_png(path):
    """Width, height and rows of (r, g, b) of an 8-bit RGB or RGBA PNG without interlacing."""
    data = open(path, "rb").read()
    assert data[:8] == b"\x89PNG\r\n\x1a\n", "not a PNG"
    pos, idat, header = 8, b"", None
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            idat += body
        pos += 12 + length
    width, height, depth, colour, _, _, interlace = header
    assert depth == 8 and colour in (2, 6) and interlace == 0, header
    channels = 3 if colour == 2 else 4
    raw, stride, rows, previous = zlib.decompress(idat), width * channels, [], bytearray(width * channels)
    for y in range(height):
        kind, line = raw[y * (stride + 1)], bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            left = line[i - channels] if i >= channels else 0
            up, corner = previous[i], previous[i - channels] if i >= channels else 0
            if kind == 1:
                line[i] = (line[i] + left) & 255
            elif kind == 2:
                line[i] = (line[i] + up) & 255
            elif kind == 3:
                line[i] = (line[i] + (left + up) // 2) & 255
            elif kind == 4:
                p = left + up - corner
                pa, pb, pc = abs(p - left), abs(p - up), abs(p - corner)
                line[i] = (line[i] + (left if pa <= pb and pa <= pc else up if pb <= pc else corner)) & 255
        rows.append([tuple(line[x * channels:x * channels + 3]) for x in range(width)])
        previous = line
    return width, height, rows


def main():
    program = sys.argv[1]
    failures = []
    with tempfile.TemporaryDirectory(prefix="tressaly-picture-") as home:
        script, picture = os.path.join(home, "draw.txt"), os.path.join(home, "out.png")
        with open(script, "w", encoding="utf-8") as f:
            f.write(SCRIPT)
        env = dict(os.environ, TRESSALY_HOME=home, LANG="C", LC_ALL="")
        run = subprocess.run([program, "--console", "--picture", picture, script], env=env,
                             capture_output=True, timeout=60, stdin=subprocess.DEVNULL)
        if run.returncode != 1:
            failures.append(f"exit status {run.returncode}, expected 1 (the division by zero)")
        if not os.path.exists(picture):
            failures.append("no picture written after the error")
        else:
            width, height, rows = read_png(picture)
            if (width, height) != (400, 250):
                failures.append(f"picture {width}x{height}, expected the bitmap's 400x250")
            # Pixel (x, y) is column x, row 250 - y - 1.
            expected = {(10, 10): (255, 64, 32), (20, 20): (0, 255, 0), (30, 30): (255, 255, 255),
                        (40, 40): (255, 255, 255)}
            for (x, y), colour in expected.items():
                got = rows[250 - y - 1][x]
                if got != colour:
                    failures.append(f"pixel ({x}, {y}) is {got}, expected {colour}")

        bad = subprocess.run([program, "--console", "--picture", os.path.join(home, "no", "such", "dir.png"), script],
                             env=env, capture_output=True, timeout=60, stdin=subprocess.DEVNULL)
        if bad.returncode != 1 or b"--picture" not in bad.stderr:
            failures.append(f"an unwritable picture: status {bad.returncode}, stderr {bad.stderr!r}")
    for f in failures:
        print(f)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
