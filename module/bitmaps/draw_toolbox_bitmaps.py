#!/usr/bin/env python3
"""Draws the controls' toolbox bitmaps (16 x 15 pixels, 24 bits, the bottom-left pixel is the
transparent colour) and writes them as BMP files beside this script. The files are kept in the
repository; run this again only to change a picture."""

import os
import struct

WIDTH, HEIGHT = 16, 15

BACK = (192, 192, 192)   # toolbox background, transparent
WHITE = (255, 255, 255)
BLACK = (0, 0, 0)
DARK = (128, 128, 128)
FACE = (212, 208, 200)
BLUE = (0, 0, 160)
LIGHT_BLUE = (96, 160, 224)
YELLOW = (255, 208, 0)
GREEN = (0, 128, 0)
RED = (192, 0, 0)


class Canvas:
    def __init__(self):
        self.pixels = [[BACK] * WIDTH for _ in range(HEIGHT)]

    def dot(self, x, y, colour):
        if 0 <= x < WIDTH and 0 <= y < HEIGHT:
            self.pixels[y][x] = colour

    def fill(self, x0, y0, x1, y1, colour):
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                self.dot(x, y, colour)

    def frame(self, x0, y0, x1, y1, colour):
        for x in range(x0, x1 + 1):
            self.dot(x, y0, colour)
            self.dot(x, y1, colour)
        for y in range(y0, y1 + 1):
            self.dot(x0, y, colour)
            self.dot(x1, y, colour)

    def sunken(self, x0, y0, x1, y1, inside=WHITE):
        self.fill(x0, y0, x1, y1, inside)
        self.frame(x0, y0, x1, y1, DARK)
        for x in range(x0 + 1, x1 + 1):
            self.dot(x, y1, WHITE)
        for y in range(y0 + 1, y1 + 1):
            self.dot(x1, y, WHITE)

    def raised(self, x0, y0, x1, y1):
        self.fill(x0, y0, x1, y1, FACE)
        for x in range(x0, x1 + 1):
            self.dot(x, y0, WHITE)
            self.dot(x, y1, BLACK)
        for y in range(y0, y1 + 1):
            self.dot(x0, y, WHITE)
            self.dot(x1, y, BLACK)
        for x in range(x0 + 1, x1):
            self.dot(x, y1 - 1, DARK)
        for y in range(y0 + 1, y1):
            self.dot(x1 - 1, y, DARK)

    def arrow_down(self, cx, cy):
        for row, half in enumerate((2, 1, 0)):
            for x in range(cx - half, cx + half + 1):
                self.dot(x, cy + row, BLACK)

    def arrow_up(self, cx, cy):
        for row, half in enumerate((0, 1, 2)):
            for x in range(cx - half, cx + half + 1):
                self.dot(x, cy + row, BLACK)

    def arrow_left(self, cx, cy):
        for col, half in enumerate((0, 1, 2)):
            for y in range(cy - half, cy + half + 1):
                self.dot(cx + col, y, BLACK)

    def arrow_right(self, cx, cy):
        for col, half in enumerate((2, 1, 0)):
            for y in range(cy - half, cy + half + 1):
                self.dot(cx + col, y, BLACK)

    def text_lines(self, x0, y0, x1, rows, colour=BLACK):
        for y in rows:
            for x in range(x0, x1 + 1):
                self.dot(x, y, colour)

    def funnel(self, x0, y0):
        """The filter mark of the extended list controls."""
        for row, (a, b) in enumerate(((0, 6), (1, 5), (2, 4), (3, 3), (3, 3))):
            for x in range(x0 + a, x0 + b + 1):
                self.dot(x, y0 + row, YELLOW)
        self.dot(x0, y0, BLACK)
        self.dot(x0 + 6, y0, BLACK)

    def write(self, path):
        row_bytes = (WIDTH * 3 + 3) // 4 * 4
        image = bytearray()
        for y in range(HEIGHT - 1, -1, -1):
            row = bytearray()
            for (r, g, b) in self.pixels[y]:
                row += bytes((b, g, r))
            row += bytes(row_bytes - len(row))
            image += row
        header = struct.pack("<IiiHHIIiiII", 40, WIDTH, HEIGHT, 1, 24, 0, len(image), 2835,
                             2835, 0, 0)
        offset = 14 + len(header)
        file_header = struct.pack("<2sIHHI", b"BM", offset + len(image), 0, 0, offset)
        with open(path, "wb") as out:
            out.write(file_header + header + image)


def data_control(c):
    # A database drum with the record arrow.
    c.fill(2, 3, 11, 11, LIGHT_BLUE)
    for x in range(3, 11):
        c.dot(x, 2, LIGHT_BLUE)
        c.dot(x, 12, BLUE)
    c.text_lines(3, 4, 10, (4,), BLUE)
    c.text_lines(3, 7, 10, (7,), BLUE)
    c.frame(2, 3, 11, 11, BLUE)
    c.arrow_right(12, 7)


def edit(c):
    c.sunken(0, 2, 15, 12)
    c.text_lines(2, 5, 2, (5, 6, 7, 8, 9))      # caret
    c.text_lines(4, 7, 9, (7, 9), BLUE)       # text
    c.dot(4, 8, BLUE)
    c.dot(9, 8, BLUE)


def button(c):
    c.raised(0, 2, 15, 12)
    c.text_lines(4, 7, 11, (7,))


def combo_box(c, mark=False):
    c.sunken(0, 3, 15, 11)
    c.raised(10, 4, 14, 10)
    c.arrow_down(12, 6)
    c.text_lines(2, 7, 7, (7,), BLUE)
    if mark:
        c.funnel(1, 0)


def list_box(c, mark=False):
    c.sunken(0, 0, 15, 14)
    c.raised(11, 1, 14, 13)
    c.text_lines(2, 3, 9, (3, 6, 9, 12), BLUE)
    c.fill(2, 5, 9, 7, BLUE)
    c.text_lines(2, 6, 9, (6,), WHITE)
    if mark:
        c.funnel(3, 9)


def h_scroll(c):
    c.fill(0, 3, 15, 11, WHITE)
    c.raised(0, 3, 5, 11)
    c.raised(10, 3, 15, 11)
    c.raised(6, 3, 8, 11)
    c.arrow_left(1, 7)
    c.arrow_right(11, 7)


def v_scroll(c):
    c.fill(3, 0, 11, 14, WHITE)
    c.raised(3, 0, 11, 4)
    c.raised(3, 10, 11, 14)
    c.raised(3, 6, 11, 8)
    c.arrow_up(7, 1)
    c.arrow_down(7, 11)


def check_box(c):
    c.sunken(1, 3, 9, 11)
    for x, y in ((3, 6), (3, 7), (4, 7), (4, 8), (5, 8), (5, 9), (6, 7), (6, 8), (7, 6),
                 (7, 7), (8, 5), (8, 6)):
        c.dot(x, y, BLACK)
    c.text_lines(11, 7, 15, (7,))


def option_button(c):
    circle = ["..###..", ".#...#.", "#.....#", "#..#..#", "#.....#", ".#...#.", "..###.."]
    for y, line in enumerate(circle):
        for x, ch in enumerate(line):
            if ch == "#":
                c.dot(1 + x, 4 + y, DARK if y < 3 else BLACK)
    c.fill(2, 5, 6, 9, WHITE)
    c.fill(3, 6, 5, 8, BLACK)
    c.text_lines(10, 7, 15, (7,))


def grid(c):
    c.fill(0, 0, 15, 14, WHITE)
    c.fill(0, 0, 15, 3, FACE)
    c.fill(0, 0, 4, 14, FACE)
    for y in (0, 3, 7, 11, 14):
        c.text_lines(0, y, 15, (y,), DARK)
    for x in (0, 4, 10, 15):
        for y in range(15):
            c.dot(x, y, DARK)


def picture(c):
    c.sunken(0, 0, 15, 14, inside=(200, 232, 255))
    c.fill(10, 2, 12, 4, YELLOW)
    for x in range(1, 15):
        top = 12 - min(abs(x - 5), 6) if x < 10 else 12 - min(abs(x - 11), 4)
        for y in range(max(top, 5), 14):
            c.dot(x, y, GREEN)


BITMAPS = {
    1: ("ZelBtr", data_control),
    2: ("ZelBtn", button),
    3: ("ZelEdit", edit),
    4: ("ZelComboBox", combo_box),
    5: ("ZelListBox", list_box),
    6: ("ZelHScroll", h_scroll),
    7: ("ZelVScroll", v_scroll),
    8: ("ZelCheck", check_box),
    10: ("ZelOptBtn", option_button),
    11: ("ZelGrid", grid),
    12: ("ZelPic", picture),
    13: ("ZelExComboBox", lambda c: combo_box(c, mark=True)),
    14: ("ZelExListBox", lambda c: list_box(c, mark=True)),
}


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    for _, (name, draw) in sorted(BITMAPS.items()):
        canvas = Canvas()
        draw(canvas)
        canvas.dot(0, HEIGHT - 1, BACK)  # the transparent colour stays at bottom left
        canvas.write(os.path.join(here, name + ".bmp"))


if __name__ == "__main__":
    main()
