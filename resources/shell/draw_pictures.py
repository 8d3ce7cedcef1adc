#!/usr/bin/python3
"""Draws the designer's toolbar and parts-palette button pictures and its
program icon into pictures/ beside this script.

Buttons are 18 x 16 pixels (and twice that for high-density screens, saved
as NAME@2x.png so that Qt picks them up by itself). Every picture is drawn
from the same 18 x 16 coordinates, scaled; run it again after a change:

    /usr/bin/python3 resources/shell/draw_pictures.py
"""
import os

from PIL import Image, ImageDraw

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "pictures")

INK = (40, 40, 48, 255)
PAPER = (255, 255, 255, 255)
BLUE = (38, 96, 190, 255)
LIGHT_BLUE = (170, 200, 240, 255)
RED = (200, 40, 40, 255)
YELLOW = (240, 200, 60, 255)
GREEN = (60, 150, 70, 255)
GREY = (150, 150, 160, 255)


class Pen:
    """Draws in 18 x 16 button units on a canvas scaled by `s`."""

    def __init__(self, image, s):
        self.d = ImageDraw.Draw(image)
        self.s = s

    def box(self, x0, y0, x1, y1, fill=None, outline=INK):
        s = self.s
        self.d.rectangle([x0 * s, y0 * s, (x1 + 1) * s - 1, (y1 + 1) * s - 1], fill=fill)
        if outline is not None:
            for (a, b, c, e) in ((x0, y0, x1, y0), (x0, y1, x1, y1), (x0, y0, x0, y1), (x1, y0, x1, y1)):
                self.line(a, b, c, e, outline)

    def line(self, x0, y0, x1, y1, colour=INK, width=1):
        s = self.s
        off = (s - 1) / 2
        self.d.line([x0 * s + off, y0 * s + off, x1 * s + off, y1 * s + off], fill=colour, width=width * s)

    def dot(self, x, y, colour=INK):
        self.box(x, y, x, y, fill=colour, outline=None)

    def ellipse(self, x0, y0, x1, y1, fill, outline, width=1):
        s = self.s
        self.d.ellipse([x0 * s, y0 * s, (x1 + 1) * s - 1, (y1 + 1) * s - 1], fill=fill, outline=outline,
                       width=width * s)

    def poly(self, points, fill, outline=INK):
        s = self.s
        off = (s - 1) / 2
        self.d.polygon([(x * s + off, y * s + off) for x, y in points], fill=fill, outline=outline)


def page(p, x0=3, y0=1, x1=13, y1=14):
    # A sheet with its top right corner folded.
    p.poly([(x0, y0), (x1 - 3, y0), (x1, y0 + 3), (x1, y1), (x0, y1)], PAPER)
    p.line(x1 - 3, y0, x1 - 3, y0 + 3)
    p.line(x1 - 3, y0 + 3, x1, y0 + 3)


def new(p):
    page(p)
    p.line(14, 10, 16, 10, YELLOW)
    p.line(15, 9, 15, 11, YELLOW)


def open_(p):
    p.poly([(1, 4), (6, 4), (7, 5), (14, 5), (14, 14), (1, 14)], YELLOW)
    p.poly([(3, 8), (17, 8), (14, 14), (1, 14)], (250, 225, 120, 255))
    p.line(12, 1, 15, 1, BLUE)
    p.line(15, 1, 15, 5, BLUE)
    p.line(14, 4, 15, 5, BLUE)
    p.line(16, 4, 15, 5, BLUE)


def save(p):
    p.box(2, 1, 15, 14, fill=BLUE)
    p.box(5, 1, 12, 6, fill=PAPER)
    p.box(5, 9, 12, 14, fill=GREY)
    p.box(10, 10, 11, 13, fill=INK, outline=None)


def cut(p):
    p.line(5, 1, 11, 9)
    p.line(12, 1, 6, 9)
    p.box(3, 10, 6, 14, fill=None, outline=RED)
    p.box(11, 10, 14, 14, fill=None, outline=RED)


def copy(p):
    page(p, 1, 1, 10, 11)
    page(p, 6, 4, 16, 15)
    for y in (8, 10, 12):
        p.line(8, y, 14, y, GREY)


def paste(p):
    p.box(2, 2, 12, 14, fill=(190, 140, 80, 255))
    p.box(5, 1, 9, 3, fill=GREY)
    page(p, 7, 5, 16, 15)


def delete(p):
    p.line(3, 2, 14, 13, RED, 2)
    p.line(14, 2, 3, 13, RED, 2)


def display_image(p):
    page(p, 1, 1, 12, 14)
    for y in (5, 7, 9):
        p.line(3, y, 9, y, GREY)
    p.d.ellipse([9 * p.s, 6 * p.s, 15 * p.s - 1, 12 * p.s - 1], fill=LIGHT_BLUE, outline=INK, width=p.s)
    p.line(14, 11, 16, 14, INK, 2)


def print_image(p):
    p.box(5, 1, 12, 6, fill=PAPER)
    p.box(1, 6, 16, 12, fill=GREY)
    p.box(4, 10, 13, 15, fill=PAPER)
    p.line(6, 12, 11, 12, GREY)
    p.dot(14, 8, GREEN)


def printer_badge(p, x0=9, y0=9):
    # A small printer in the lower right corner: the command prints.
    p.box(x0 + 2, y0, x0 + 6, y0 + 2, fill=PAPER)
    p.box(x0, y0 + 2, x0 + 8, y0 + 5, fill=GREY)
    p.box(x0 + 2, y0 + 4, x0 + 6, y0 + 6, fill=PAPER)


def design_sheet(p):
    # Graph paper: the design sheet is the grid the form is drawn on.
    page(p, 1, 1, 12, 14)
    for x in (3, 5, 7, 9):
        p.line(x, 3, x, 12, BLUE)
    for y in (3, 5, 7, 9, 11):
        p.line(2, y, 10, y, BLUE)
    printer_badge(p)


def entry_sheet(p):
    # Boxes to write in and a pencil: the entry sheet is filled in by hand.
    page(p, 1, 1, 12, 14)
    p.box(3, 3, 9, 5, fill=PAPER, outline=BLUE)
    p.box(3, 7, 9, 9, fill=PAPER, outline=BLUE)
    p.box(3, 11, 6, 13, fill=PAPER, outline=BLUE)
    p.poly([(16, 4), (17, 5), (11, 12), (9, 13), (10, 11)], YELLOW)
    p.line(15, 5, 16, 6, RED, 1)
    p.dot(9, 13)


def about(p):
    p.d.ellipse([2 * p.s, 1 * p.s, 16 * p.s - 1, 15 * p.s - 1], fill=BLUE)
    p.box(8, 3, 9, 4, fill=PAPER, outline=None)
    p.box(8, 6, 9, 12, fill=PAPER, outline=None)
    p.line(7, 6, 8, 6, PAPER)
    p.line(7, 12, 10, 12, PAPER)


def form_info(p):
    # The form's own settings: a page with its size marked by arrows across
    # and down, and its title band.
    page(p, 5, 1, 16, 12)
    p.box(7, 3, 12, 4, fill=BLUE, outline=None)
    for y in (7, 9):
        p.line(7, y, 14, y, GREY)
    p.line(2, 1, 2, 12, RED)
    p.line(1, 2, 3, 2, RED)
    p.line(1, 11, 3, 11, RED)
    p.line(5, 14, 16, 14, RED)
    p.line(6, 13, 6, 15, RED)
    p.line(15, 13, 15, 15, RED)


def range_select(p):
    for x in range(1, 16, 2):
        p.dot(x, 2)
        p.dot(x, 13)
    for y in range(2, 14, 2):
        p.dot(1, y)
        p.dot(15, y)
    p.poly([(7, 5), (7, 15), (9, 13), (11, 16), (12, 15), (11, 12), (14, 12)], PAPER)


def field(p):
    p.box(1, 4, 16, 11, fill=LIGHT_BLUE)
    # A letter A followed by a text cursor.
    p.line(4, 10, 6, 5)
    p.line(6, 5, 8, 10)
    p.line(5, 8, 7, 8)
    p.line(11, 5, 11, 10, RED)
    p.line(10, 5, 12, 5, RED)
    p.line(10, 10, 12, 10, RED)


def line_tool(p):
    p.line(2, 13, 15, 2, INK, 1)
    p.dot(2, 13, RED)
    p.dot(15, 2, RED)


def rectangle(p):
    p.box(2, 3, 15, 12, fill=LIGHT_BLUE)
    p.box(3, 4, 14, 11, fill=None, outline=BLUE)


def bitmap(p):
    p.box(1, 2, 16, 13, fill=(200, 230, 255, 255))
    p.poly([(2, 12), (7, 6), (10, 9), (12, 7), (15, 12)], GREEN, None)
    p.d.ellipse([11 * p.s, 3 * p.s, 14 * p.s - 1, 6 * p.s - 1], fill=YELLOW)
    p.box(1, 2, 16, 13, fill=None)


def barcode(p):
    # Bars of several widths over a white label, with the digits' line below.
    p.box(1, 2, 16, 13, fill=PAPER)
    for x, w in ((3, 1), (5, 2), (8, 1), (10, 1), (12, 2)):
        p.box(x, 4, x + w - 1, 9, fill=INK, outline=None)
    p.line(3, 11, 13, 11, GREY)


BUTTONS = {
    "new": new,
    "open": open_,
    "save": save,
    "cut": cut,
    "copy": copy,
    "paste": paste,
    "delete": delete,
    "display-image": display_image,
    "print-image": print_image,
    "design-sheet": design_sheet,
    "entry-sheet": entry_sheet,
    "about": about,
    "form-info": form_info,
    "range-select": range_select,
    "field": field,
    "line": line_tool,
    "rectangle": rectangle,
    "bitmap": bitmap,
    "barcode": barcode,
}


def program_icon(size):
    # A form on a grid with a blue title band and a red pencil: drawn large,
    # then reduced, so that the small sizes stay smooth.
    big = 256
    image = Image.new("RGBA", (big, big), (0, 0, 0, 0))
    d = ImageDraw.Draw(image)
    d.rounded_rectangle([24, 12, 212, 244], 14, fill=PAPER, outline=INK, width=8)
    d.rectangle([24 + 8, 12 + 8, 212 - 8, 64], fill=BLUE)
    for x in range(56, 212, 32):
        d.line([x, 72, x, 236], fill=LIGHT_BLUE, width=4)
    for y in range(96, 244, 28):
        d.line([32, y, 204, y], fill=LIGHT_BLUE, width=4)
    d.rectangle([56, 124, 176, 152], outline=BLUE, width=6)
    d.polygon([(236, 92), (252, 108), (140, 220), (116, 228), (124, 204)], fill=RED, outline=INK)
    d.polygon([(116, 228), (124, 204), (140, 220)], fill=(240, 210, 170, 255), outline=INK)
    return image.resize((size, size), Image.LANCZOS)


def save_pictures(pictures, width, height):
    """Draws each picture at its size and at twice it (NAME@2x.png)."""
    os.makedirs(OUT, exist_ok=True)
    for name, draw in pictures.items():
        for scale, suffix in ((1, ""), (2, "@2x")):
            image = Image.new("RGBA", (width * scale, height * scale), (0, 0, 0, 0))
            draw(Pen(image, scale))
            image.save(os.path.join(OUT, f"{name}{suffix}.png"), optimize=True)


def main():
    save_pictures(BUTTONS, 18, 16)
    for size in (16, 32, 48, 64, 128):
        program_icon(size).save(os.path.join(OUT, f"tabrik-{size}.png"), optimize=True)


if __name__ == "__main__":
    main()
