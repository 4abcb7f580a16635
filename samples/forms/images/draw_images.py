#!/usr/bin/env python3
"""Draws the small pictures the sample forms show (24-bit BMP files), so that they are made from
source rather than kept as opaque files: next.bmp, an arrow for a graphic button."""
import os
import struct

def write_bmp(path, width, height, pixel):
    row = (width * 3 + 3) & ~3
    data = bytearray()
    for y in range(height - 1, -1, -1):  # bottom-up rows
        line = bytearray()
        for x in range(width):
            r, g, b = pixel(x, y)
            line += bytes((b, g, r))
        line += bytes(row - len(line))
        data += line
    header = struct.pack('<2sIHHI', b'BM', 54 + len(data), 0, 0, 54)
    info = struct.pack('<IiiHHIIiiII', 40, width, height, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open(path, 'wb') as out:
        out.write(header + info + data)

def arrow(x, y):
    # A right-pointing arrow: a shaft and a head, blue on the button face.
    face = (240, 240, 240)
    blue = (30, 80, 200)
    shaft = 4 <= x <= 12 and 9 <= y <= 14
    head = 12 <= x <= 20 and abs(y - 11.5) <= (20 - x) * 0.75
    return blue if shaft or head else face

here = os.path.dirname(os.path.abspath(__file__))
write_bmp(os.path.join(here, 'next.bmp'), 24, 24, arrow)
