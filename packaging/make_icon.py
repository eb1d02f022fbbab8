#!/usr/bin/python3
"""Draws the program icon for the desktop, in the hicolor theme's layout: the dosimeter of the About picture
on its navy-to-teal ground, as a scalable SVG and as PNGs of 16 to 256 pixels
(the two smallest show only the amber trefoil, which stays legible there).

One list of shapes feeds both outputs, so the SVG and the PNGs agree. The
colours come from the About picture's own script. Deterministic: running it
again rewrites the same bytes.

    /usr/bin/python3 packaging/make_icon.py [output-folder]
"""

import math
import os
import sys

from PIL import Image, ImageDraw

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "app", "resources"))
import make_art  # noqa: E402  (colours and the gradient helper of the About picture)

NAME = "dravo-explorer"
UNITS = 256  # the drawing's own coordinates
SIZES = (16, 24, 32, 48, 64, 128, 256)
SMALL = 24  # at and below this size only the sign is drawn
SUPERSAMPLE = 8

BODY = (58, 64, 74)
FACE = ((70, 77, 88), (34, 38, 45))
BEZEL = (18, 20, 24)
GLASS = ((206, 228, 196), (170, 200, 160))
LCD_INK = (30, 44, 32)
KEY_RIM = (26, 29, 34)
KEY = (100, 108, 120)
SMALL_KEY = (84, 92, 104)
BARS = (6, 9, 7, 12, 9, 15, 11, 9, 17)


def trefoil(cx, cy, radius, fill):
    """The radiation sign as three blade polygons and a hub circle, with the
    proportions of the About picture's trefoil."""
    hub = radius / 5.0
    inner = 1.5 * hub
    shapes = []
    for blade in range(3):
        middle = math.radians(90 + 120 * blade)
        arc = [middle - math.radians(30) + math.radians(60) * i / 12 for i in range(13)]
        outer_points = [(cx + radius * math.cos(a), cy + radius * math.sin(a)) for a in arc]
        inner_points = [(cx + inner * math.cos(a), cy + inner * math.sin(a)) for a in reversed(arc)]
        shapes.append(("polygon", outer_points + inner_points, fill))
    shapes.append(("circle", (cx, cy, hub), fill))
    return shapes


def ground():
    return [("rrect", (8, 8, 248, 248, 52), (make_art.NAVY, make_art.TEAL))]


def device():
    shapes = [
        ("rrect", (75, 26, 181, 230, 22), BODY),
        ("rrect", (78, 29, 178, 227, 19), FACE),
        ("rrect", (124, 37, 168, 45, 4), make_art.AMBER),
        ("rrect", (86, 55, 170, 137, 7), BEZEL),
        ("rrect", (91, 60, 165, 132, 4), GLASS),
    ]
    shapes += trefoil(103, 73, 8, LCD_INK)
    for index, height in enumerate(BARS):
        x = 97 + index * 7.5
        shapes.append(("rrect", (x, 125 - 2 * height, x + 5, 125, 0), LCD_INK))
    shapes += [
        ("circle", (128, 176, 25), KEY_RIM),
        ("circle", (128, 176, 21), KEY),
    ]
    shapes += trefoil(128, 176, 14, make_art.AMBER)
    shapes += [
        ("rrect", (88, 205, 112, 215, 5), SMALL_KEY),
        ("rrect", (144, 205, 168, 215, 5), SMALL_KEY),
    ]
    return shapes


def full_icon():
    faint = (255, 255, 255, 22)
    return ground() + trefoil(128, 128, 112, faint) + device()


def small_icon():
    return ground() + trefoil(128, 128, 104, make_art.AMBER)


# ---------------------------------------------------------------- PNG


def paint(canvas, shape, scale):
    kind, geometry, fill = shape
    layer = Image.new("RGBA", canvas.size, (0, 0, 0, 0))
    mask = Image.new("L", canvas.size, 0)
    draw = ImageDraw.Draw(mask)
    if kind == "rrect":
        x0, y0, x1, y1, radius = (v * scale for v in geometry)
        box = (x0, y0, x1, y1)
        if radius:
            draw.rounded_rectangle(box, radius=radius, fill=255)
        else:
            draw.rectangle(box, fill=255)
    elif kind == "circle":
        cx, cy, r = (v * scale for v in geometry)
        draw.ellipse((cx - r, cy - r, cx + r, cy + r), fill=255)
    else:
        draw.polygon([(x * scale, y * scale) for x, y in geometry], fill=255)
    if isinstance(fill[0], tuple):
        top, bottom = geometry[1] * scale, geometry[3] * scale
        stops = [(0.0, fill[0]), (1.0, fill[1])]
        gradient = make_art.vertical_gradient((canvas.size[0], int(bottom - top) + 1), stops)
        layer.paste(gradient.convert("RGBA"), (0, int(top)))
        alpha = mask
    else:
        opacity = fill[3] if len(fill) == 4 else 255
        layer.paste(make_art.with_alpha(fill, opacity), (0, 0, *canvas.size))
        alpha = mask.point(lambda a: a * opacity // 255)
    layer.putalpha(alpha)
    canvas.alpha_composite(layer)


def render_png(shapes, size):
    big = size * SUPERSAMPLE
    canvas = Image.new("RGBA", (big, big), (0, 0, 0, 0))
    for shape in shapes:
        paint(canvas, shape, big / UNITS)
    return canvas.resize((size, size), Image.LANCZOS)


# ---------------------------------------------------------------- SVG


def colour(fill):
    return "#%02x%02x%02x" % fill[:3]


def svg_shape(shape, gradients):
    kind, geometry, fill = shape
    if isinstance(fill[0], tuple):
        gradients.append(fill)
        paint_attr = 'fill="url(#g%d)"' % (len(gradients) - 1)
    else:
        paint_attr = 'fill="%s"' % colour(fill)
        if len(fill) == 4:
            paint_attr += ' fill-opacity="%.3f"' % (fill[3] / 255)
    if kind == "rrect":
        x0, y0, x1, y1, radius = geometry
        return '<rect x="%g" y="%g" width="%g" height="%g" rx="%g" %s/>' % (
            x0, y0, x1 - x0, y1 - y0, radius, paint_attr)
    if kind == "circle":
        return '<circle cx="%g" cy="%g" r="%g" %s/>' % (*geometry, paint_attr)
    points = " ".join("%.2f,%.2f" % point for point in geometry)
    return '<polygon points="%s" %s/>' % (points, paint_attr)


def render_svg(shapes):
    gradients = []
    body = [svg_shape(shape, gradients) for shape in shapes]
    defs = [
        '<linearGradient id="g%d" x1="0" y1="0" x2="0" y2="1">'
        '<stop offset="0" stop-color="%s"/><stop offset="1" stop-color="%s"/></linearGradient>'
        % (index, colour(top), colour(bottom))
        for index, (top, bottom) in enumerate(gradients)
    ]
    head = '<svg xmlns="http://www.w3.org/2000/svg" width="%d" height="%d" viewBox="0 0 %d %d">'
    lines = [head % ((UNITS,) * 4), "<defs>"] + defs + ["</defs>"] + body + ["</svg>"]
    return "\n".join(lines) + "\n"


def main():
    out_dir = sys.argv[1] if len(sys.argv) > 1 else os.path.join(HERE, "icons")
    for size in SIZES:
        folder = os.path.join(out_dir, "%dx%d" % (size, size), "apps")
        os.makedirs(folder, exist_ok=True)
        shapes = small_icon() if size <= SMALL else full_icon()
        make_art.save_png(render_png(shapes, size), os.path.join(folder, NAME + ".png"))
    folder = os.path.join(out_dir, "scalable", "apps")
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, NAME + ".svg"), "w", encoding="ascii") as svg:
        svg.write(render_svg(full_icon()))


if __name__ == "__main__":
    main()
