#!/usr/bin/env python3
"""Draws the pictures the data control shows at design time (32 x 32 pixels, 24 bits): a
database drum with a check mark when its dictionary is loaded (resource 222), a grey drum with a
cross when not (resource 115). The files are kept in the repository; run this again only to
change a picture."""

import os
import struct

SIZE = 32
BACK = (212, 208, 200)
WHITE = (255, 255, 255)
BLACK = (0, 0, 0)


def drum(pixels, body, top):
    """A cylinder: an elliptic top, a body, and an elliptic bottom edge."""
    cx, rx, ry = 15.5, 11, 4
    for y in range(SIZE):
        for x in range(SIZE):
            dx = (x - cx) / rx
            in_body = abs(dx) <= 1 and 7 <= y <= 24
            in_bottom = ((x - cx) / rx) ** 2 + ((y - 24) / ry) ** 2 <= 1
            in_top = ((x - cx) / rx) ** 2 + ((y - 7) / ry) ** 2 <= 1
            if in_top:
                pixels[y][x] = top
            elif in_body or in_bottom:
                pixels[y][x] = body
    for x in range(SIZE):  # bands across the drum
        for y in (13, 19):
            if abs((x - cx) / rx) <= 0.95:
                pixels[y][x] = BLACK


def check(pixels, colour):
    points = [(18, 25), (19, 26), (20, 27), (21, 26), (22, 25), (23, 24), (24, 23), (25, 22),
              (26, 21), (27, 20), (28, 19), (17, 24), (16, 23)]
    for x, y in points:
        for dy in (0, 1):
            pixels[y + dy][x] = colour


def cross(pixels, colour):
    for i in range(10):
        for d in (0, 1):
            pixels[18 + i][18 + i + d] = colour
            pixels[18 + i][27 - i + d] = colour


def write_bmp(path, pixels):
    row_size = (SIZE * 3 + 3) & ~3
    image = b""
    for y in range(SIZE - 1, -1, -1):  # bottom-up rows
        row = b"".join(struct.pack("BBB", b, g, r) for (r, g, b) in pixels[y])
        image += row + b"\0" * (row_size - len(row))
    header = struct.pack("<2sIHHI", b"BM", 54 + len(image), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE, 1, 24, 0, len(image), 2835, 2835, 0, 0)
    with open(path, "wb") as out:
        out.write(header + info + image)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    loaded = [[BACK] * SIZE for _ in range(SIZE)]
    drum(loaded, (0, 64, 160), (96, 160, 224))
    check(loaded, (0, 160, 0))
    write_bmp(os.path.join(here, "DataControlLoaded.bmp"), loaded)
    empty = [[BACK] * SIZE for _ in range(SIZE)]
    drum(empty, (128, 128, 128), (192, 192, 192))
    cross(empty, (192, 0, 0))
    write_bmp(os.path.join(here, "DataControlEmpty.bmp"), empty)


if __name__ == "__main__":
    main()
