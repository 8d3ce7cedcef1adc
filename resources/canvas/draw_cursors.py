#!/usr/bin/env python3
"""Draws the canvas's cursors as XPM text: the four resize arrows, the move
cross and the magnifier. Black strokes with a white outline, 32 x 32, so they
show on the white page and on the grey desk alike. Run it after a change and
commit the .xpm files it writes."""
import math
import os

SIZE = 32
HERE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "cursors")


def blank():
    return [[" "] * SIZE for _ in range(SIZE)]


def dot(grid, x, y):
    if 0 <= x < SIZE and 0 <= y < SIZE:
        grid[y][x] = "#"


def line(grid, x0, y0, x1, y1):
    steps = max(abs(x1 - x0), abs(y1 - y0), 1)
    for i in range(steps + 1):
        dot(grid, round(x0 + (x1 - x0) * i / steps), round(y0 + (y1 - y0) * i / steps))


def arrow_head(grid, tipx, tipy, dx, dy):
    # A filled triangle pointing along (dx, dy), five pixels long.
    length = math.hypot(dx, dy)
    ux, uy = dx / length, dy / length
    for k in range(6):
        bx, by = tipx - ux * k, tipy - uy * k
        for s in range(-k, k + 1):
            dot(grid, round(bx - uy * s * 0.8), round(by + ux * s * 0.8))


def double_arrow(grid, x0, y0, x1, y1):
    line(grid, x0, y0, x1, y1)
    arrow_head(grid, x0, y0, x0 - x1, y0 - y1)
    arrow_head(grid, x1, y1, x1 - x0, y1 - y0)


def outlined(grid):
    out = [row[:] for row in grid]
    for y in range(SIZE):
        for x in range(SIZE):
            if grid[y][x] == "#":
                continue
            near = any(
                0 <= x + i < SIZE and 0 <= y + j < SIZE and grid[y + j][x + i] == "#"
                for i in (-1, 0, 1)
                for j in (-1, 0, 1)
            )
            if near:
                out[y][x] = "."
    return out


def write(name, grid, hotx, hoty):
    rows = ["".join(r) for r in outlined(grid)]
    text = [
        "/* XPM */",
        f"static const char *{name}[] = {{",
        f'"{SIZE} {SIZE} 3 1 {hotx} {hoty}",',
        '"  c None",',
        '"# c #000000",',
        '". c #FFFFFF",',
    ]
    text += [f'"{r}",' for r in rows[:-1]] + [f'"{rows[-1]}"', "};", ""]
    with open(os.path.join(HERE, name + ".xpm"), "w") as f:
        f.write("\n".join(text))


def main():
    os.makedirs(HERE, exist_ok=True)
    c = 15
    g = blank()
    double_arrow(g, c, 3, c, 27)
    write("resize_ns", g, c, c)
    g = blank()
    double_arrow(g, 3, c, 27, c)
    write("resize_we", g, c, c)
    g = blank()
    double_arrow(g, 6, 6, 24, 24)
    write("resize_nwse", g, c, c)
    g = blank()
    double_arrow(g, 24, 6, 6, 24)
    write("resize_nesw", g, c, c)
    g = blank()
    double_arrow(g, c, 3, c, 27)
    double_arrow(g, 3, c, 27, c)
    write("move", g, c, c)
    g = blank()
    cx, cy, r = 12, 12, 8
    for a in range(0, 360, 2):
        dot(g, round(cx + r * math.cos(math.radians(a))), round(cy + r * math.sin(math.radians(a))))
    for w in (0, 1):
        line(g, 18 + w, 18, 27 + w, 27)
        line(g, 18, 18 + w, 27, 27 + w)
    line(g, 9, 12, 15, 12)
    line(g, 12, 9, 12, 15)
    write("magnifier", g, cx, cy)


if __name__ == "__main__":
    main()
