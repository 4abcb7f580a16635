#!/usr/bin/env python3
"""Draws the small pictures of the samples, so that they are made from source rather than kept
as opaque files:
  forms/images/next.bmp    an arrow for a graphic button (24-bit bitmap)
  sales/images/pen.bmp     the product pictures the picture box shows, one of each kind the box
  sales/images/note.bmp    reads: a 24-bit bitmap, a 256-colour bitmap, a placeable metafile
  sales/images/stapler.wmf and an icon
  sales/images/eraser.ico
Run it again after a change and commit the files it writes."""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
PRODUCTS = os.path.join(HERE, '..', '..', 'sales', 'images')


def bmp_file(width, height, bits, data, colours=()):
    palette = b''.join(bytes((b, g, r, 0)) for (r, g, b) in colours)
    offset = 54 + len(palette)
    header = struct.pack('<2sIHHI', b'BM', offset + len(data), 0, 0, offset)
    info = struct.pack('<IiiHHIIiiII', 40, width, height, 1, bits, 0, len(data), 2835, 2835,
                       len(colours), 0)
    return header + info + palette + data


def rows_24(width, height, pixel):
    """Bottom-up rows of 24-bit pixels, each padded to 4 bytes."""
    stride = (width * 3 + 3) & ~3
    data = bytearray()
    for y in range(height - 1, -1, -1):
        line = bytearray()
        for x in range(width):
            r, g, b = pixel(x, y)
            line += bytes((b, g, r))
        data += line + bytes(stride - len(line))
    return bytes(data)


def write(path, content):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, 'wb') as out:
        out.write(content)


def arrow(x, y):
    # A right-pointing arrow: a shaft and a head, blue on the button face.
    face = (240, 240, 240)
    blue = (30, 80, 200)
    shaft = 4 <= x <= 12 and 9 <= y <= 14
    head = 12 <= x <= 20 and abs(y - 11.5) <= (20 - x) * 0.75
    return blue if shaft or head else face


def pen(x, y):
    # A ballpoint pen lying from the lower left to the upper right.
    along = (x + (47 - y)) / 2.0          # position along the pen
    across = abs((x - (47 - y)) / 2.0)    # distance from its axis
    if along < 4 or along > 44 or across > 4:
        return (255, 255, 255)
    if along < 9:
        return (60, 60, 60) if across < 4 - (9 - along) * 0.6 else (255, 255, 255)  # the tip
    if along > 38:
        return (20, 40, 160)              # the cap
    return (70, 120, 230) if across < 3 else (30, 60, 180)


def note(width, height):
    """A notebook in 256 colours: a green cover, a white page with ruled blue lines."""
    colours = [(255, 255, 255), (40, 140, 70), (120, 150, 220), (30, 30, 30)]
    colours += [(0, 0, 0)] * (256 - len(colours))
    stride = (width + 3) & ~3
    data = bytearray()
    for y in range(height - 1, -1, -1):
        line = bytearray()
        for x in range(width):
            if x < 6 or x >= width - 2 or y < 2 or y >= height - 2:
                index = 1                      # the cover around the page
            elif x == 10:
                index = 3                      # the margin
            elif y % 6 == 0:
                index = 2                      # a ruled line
            else:
                index = 0
            line.append(index)
        data += line + bytes(stride - len(line))
    return bmp_file(width, height, 8, bytes(data), colours)


def wmf_record(function, *words):
    return struct.pack('<IH', 3 + len(words), function) + struct.pack('<%dH' % len(words), *words)


def stapler():
    """A placeable metafile: a grey stapler drawn with a pen, brushes, rectangles and polygons."""
    def brush(colour):
        r, g, b = colour
        return wmf_record(0x02FC, 0, r | g << 8, b, 0)  # BS_SOLID, COLORREF, hatch

    records = [
        wmf_record(0x020B, 0, 0),        # SetWindowOrg(0, 0): y first
        wmf_record(0x020C, 600, 1000),   # SetWindowExt(1000, 600)
        wmf_record(0x02FA, 0, 20, 0, 0, 0),  # a black pen 20 units wide
        wmf_record(0x012D, 0),
        brush((255, 255, 255)),
        wmf_record(0x012D, 1),
        wmf_record(0x041B, 600, 1000, 0, 0),        # the white background
        brush((110, 110, 120)),
        wmf_record(0x012D, 2),
        wmf_record(0x041B, 520, 920, 440, 80),      # the base
        brush((200, 40, 40)),
        wmf_record(0x012D, 3),
        wmf_record(0x0324, 4, 80, 420, 880, 300, 900, 380, 80, 440),  # the red top arm
        wmf_record(0x041B, 440, 200, 380, 120),     # the hinge
        wmf_record(0x0000),
    ]
    body = b''.join(records)
    words = (18 + len(body)) // 2
    largest = max(len(r) // 2 for r in records)
    header = struct.pack('<HHHIHIH', 1, 9, 0x0300, words, 4, largest, 0)
    bounds = (0, 0, 1000, 600)
    fields = struct.pack('<IHhhhhHI', 0x9AC6CDD7, 0, *bounds, 1000, 0)
    checksum = 0
    for (word,) in struct.iter_unpack('<H', fields):
        checksum ^= word
    return fields + struct.pack('<H', checksum) + header + body


def eraser(size):
    """An icon: a pink and blue eraser, tilted, on a transparent background."""
    pixels = bytearray()
    mask = bytearray()  # 1 bits: transparent, for those that read no alpha channel
    mask_stride = ((size + 31) // 32) * 4
    for y in range(size - 1, -1, -1):
        row = bytearray(mask_stride)
        for x in range(size):
            u = (x + y) / 2.0 - size / 2.0   # along the eraser
            v = (x - y) / 2.0                 # across it
            if abs(u) <= 13 and abs(v) <= 6:
                r, g, b = (240, 140, 170) if u < 2 else (60, 110, 210)
                pixels += bytes((b, g, r, 255))
            else:
                pixels += bytes((0, 0, 0, 0))
                row[x // 8] |= 0x80 >> (x % 8)
        mask += row
    mask = bytes(mask)
    info = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, len(pixels) + len(mask),
                       0, 0, 0, 0)
    image = info + bytes(pixels) + mask
    directory = struct.pack('<HHH', 0, 1, 1)
    entry = struct.pack('<BBBBHHII', size, size, 0, 0, 1, 32, len(image), 6 + 16)
    return directory + entry + image


write(os.path.join(HERE, 'next.bmp'), bmp_file(24, 24, 24, rows_24(24, 24, arrow)))
write(os.path.join(PRODUCTS, 'pen.bmp'), bmp_file(48, 48, 24, rows_24(48, 48, pen)))
write(os.path.join(PRODUCTS, 'note.bmp'), note(40, 48))
write(os.path.join(PRODUCTS, 'stapler.wmf'), stapler())
write(os.path.join(PRODUCTS, 'eraser.ico'), eraser(32))
