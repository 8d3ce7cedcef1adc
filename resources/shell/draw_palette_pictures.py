#!/usr/bin/python3
"""Draws the edit palette's button pictures into pictures/ beside this script:
the font button raised and pressed, the magnifier button off and on.

Each picture is the whole button, face and edges included, 24 x 22 pixels
(and twice that as NAME@2x.png for high-density screens). Run it again after
a change:

    /usr/bin/python3 resources/shell/draw_palette_pictures.py
"""
from draw_pictures import BLUE, INK, RED, Pen, save_pictures

W, H = 24, 22

FACE = (224, 224, 224, 255)
FACE_PRESSED = (204, 204, 204, 255)
LIGHT = (255, 255, 255, 255)
SHADE = (128, 128, 128, 255)
DARK = (64, 64, 64, 255)
LIGHT_BLUE = (200, 224, 250, 255)
BROWN = (150, 100, 50, 255)


def button(p, pressed):
    """The button's face and edges; returns the offset of its contents."""
    p.box(0, 0, W - 1, H - 1, fill=FACE_PRESSED if pressed else FACE, outline=None)
    if pressed:
        p.line(0, 0, W - 1, 0, DARK)
        p.line(0, 0, 0, H - 1, DARK)
        p.line(1, 1, W - 2, 1, SHADE)
        p.line(1, 1, 1, H - 2, SHADE)
        p.line(0, H - 1, W - 1, H - 1, LIGHT)
        p.line(W - 1, 0, W - 1, H - 1, LIGHT)
        return 1
    p.line(0, 0, W - 2, 0, LIGHT)
    p.line(0, 0, 0, H - 2, LIGHT)
    p.line(1, H - 2, W - 2, H - 2, SHADE)
    p.line(W - 2, 1, W - 2, H - 2, SHADE)
    p.line(0, H - 1, W - 1, H - 1, DARK)
    p.line(W - 1, 0, W - 1, H - 1, DARK)
    return 0


def font(p, pressed):
    o = button(p, pressed)
    # A large serif A beside a small one, over a coloured bar.
    p.line(4 + o, 15 + o, 9 + o, 3 + o, INK, 2)
    p.line(9 + o, 3 + o, 14 + o, 15 + o, INK, 2)
    p.line(6 + o, 11 + o, 12 + o, 11 + o, INK)
    p.line(3 + o, 16 + o, 6 + o, 16 + o, INK)
    p.line(12 + o, 16 + o, 16 + o, 16 + o, INK)
    p.line(15 + o, 15 + o, 17 + o, 9 + o, BLUE)
    p.line(17 + o, 9 + o, 19 + o, 15 + o, BLUE)
    p.line(16 + o, 13 + o, 18 + o, 13 + o, BLUE)
    p.box(4 + o, 18 + o, 19 + o, 18 + o, fill=RED, outline=None)


def magnifier(p, on):
    o = button(p, on)
    p.ellipse(4 + o, 2 + o, 14 + o, 12 + o, LIGHT_BLUE if on else LIGHT, INK, 1)
    p.line(13 + o, 11 + o, 18 + o, 17 + o, BROWN, 2)
    if on:
        # Zooming in: a plus in the glass.
        p.line(6 + o, 7 + o, 12 + o, 7 + o, BLUE)
        p.line(9 + o, 4 + o, 9 + o, 10 + o, BLUE)


PICTURES = {
    "font-normal": lambda p: font(p, False),
    "font-pressed": lambda p: font(p, True),
    "magnifier-off": lambda p: magnifier(p, False),
    "magnifier-on": lambda p: magnifier(p, True),
}


def main():
    save_pictures(PICTURES, W, H)


if __name__ == "__main__":
    main()
