#!/usr/bin/python3
"""Draws the rendering benchmark's page content (render.json from
make_render_bench.py) N times with ReportLab and reports pages per second:
one drawString per text run, plus the fills and line segments of the form.

The IPA faces stand in for the form's faces, as in the runtime. The measured
time covers drawing and writing the PDF, not reading the JSON or loading
the fonts.

Usage: reportlab_pages.py LAYOUT_JSON PAGES OUT_PDF
"""
import argparse
import json
import subprocess
import sys
import time

from reportlab.lib.colors import HexColor
from reportlab.lib.units import mm
from reportlab.pdfbase import pdfmetrics
from reportlab.pdfbase.ttfonts import TTFont
from reportlab.pdfgen import canvas

FACES = {"mincho": ("IPAMincho", "/usr/share/fonts/opentype/ipafont-mincho/ipam.ttf"),
         "gothic": ("IPAGothic", "/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf")}


def font_file(family, fallback):
    """The file fontconfig gives for the family; the Debian path when it cannot say."""
    try:
        out = subprocess.run(["fc-match", "-f", "%{file}", f"{family}:style=Regular"],
                             capture_output=True, text=True, check=True).stdout.strip()
        if out and family.lower() in subprocess.run(
                ["fc-query", "-f", "%{family}", out], capture_output=True, text=True).stdout.lower():
            return out
    except (OSError, subprocess.CalledProcessError):
        pass
    return fallback


def register_fonts():
    for key, (family, fallback) in FACES.items():
        pdfmetrics.registerFont(TTFont(key, font_file(family, fallback)))


def draw_page(c, height, runs, fills, segments, colors):
    c.setStrokeColor(colors["#000000"])
    for x, y, w, h, color in fills:
        c.setFillColor(colors[color])
        c.rect(x * mm, height - (y + h) * mm, w * mm, h * mm, stroke=0, fill=1)
    current = None
    for x1, y1, x2, y2, width, dash in segments:
        style = (width, tuple(dash) if dash else None)
        if style != current:
            c.setLineWidth(width * mm)
            c.setDash([d * mm for d in dash] if dash else [])
            current = style
        c.line(x1 * mm, height - y1 * mm, x2 * mm, height - y2 * mm)
    font = None
    fill = None
    for face, size, scale, x, y, space, text, color in runs:
        if (face, size) != font:
            c.setFont(face, size)
            font = (face, size)
        if color != fill:
            c.setFillColor(colors[color])
            fill = color
        if scale == 1:
            c.drawString(x * mm, height - y * mm, text, charSpace=space)
        else:
            # Double width: the run drawn under a horizontal scale.
            c.saveState()
            c.translate(x * mm, height - y * mm)
            c.scale(scale, 1)
            c.drawString(0, 0, text, charSpace=space)
            c.restoreState()
            font = None
            fill = None


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("layout")
    parser.add_argument("pages", type=int)
    parser.add_argument("out")
    args = parser.parse_args()

    with open(args.layout, encoding="utf-8") as f:
        layout = json.load(f)
    register_fonts()
    width, height = (v * mm for v in layout["paper_mm"])
    pages = layout["pages"]
    color_names = {"#000000"} | {fill[4] for fill in layout["fills"]} | {
        run[7] for page in pages for run in page}
    colors = {name: HexColor(name) for name in color_names}

    start = time.perf_counter()
    c = canvas.Canvas(args.out, pagesize=(width, height), pageCompression=1)
    c.setTitle("render benchmark")
    for page in range(args.pages):
        draw_page(c, height, pages[page % len(pages)], layout["fills"], layout["segments"], colors)
        c.showPage()
    c.save()
    seconds = time.perf_counter() - start
    runs = sum(len(pages[p % len(pages)]) for p in range(args.pages))
    print(f"reportlab: {args.pages} pages, {runs} drawString calls in {seconds:.2f} s = "
          f"{args.pages / seconds:.1f} pages/s")


if __name__ == "__main__":
    sys.exit(main())
