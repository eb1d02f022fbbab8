#!/usr/bin/python3
"""Draws the program's pictures: the two About screens, the four busy-indicator
frames and the menu icon set (16 x 16 and 32 x 32).

Everything is drawn from code with Pillow and DejaVu fonts, without random
input, so running the script again reproduces the committed files byte for byte.

    /usr/bin/python3 app/resources/make_art.py [output-folder]
"""

import math
import os
import sys

from PIL import Image, ImageChops, ImageDraw, ImageFilter, ImageFont

FONT_DIR = "/usr/share/fonts/truetype/dejavu"


def font(name, size):
    return ImageFont.truetype(os.path.join(FONT_DIR, name), size)


def lerp(a, b, t):
    return a + (b - a) * t


def mix(c1, c2, t):
    return tuple(int(round(lerp(a, b, t))) for a, b in zip(c1, c2))


def with_alpha(rgb, alpha):
    return tuple(rgb[:3]) + (alpha,)


def save_png(image, path):
    # No metadata chunks: the file depends on the pixels only.
    image.save(path, format="PNG", optimize=True)


# ---------------------------------------------------------------- shapes


def trefoil(draw, cx, cy, radius, angle_deg, fill, hub_fill=None):
    """Radiation trefoil: hub of radius radius/5, three 60-degree blades from
    1.5 to 5 hub radii; angle_deg turns the whole sign (0 = one blade down)."""
    hub = radius / 5.0
    inner, outer = 1.5 * hub, radius
    for blade in range(3):
        middle = math.radians(90 + angle_deg + 120 * blade)
        steps = 24
        points = []
        for i in range(steps + 1):
            a = middle - math.radians(30) + math.radians(60) * i / steps
            points.append((cx + outer * math.cos(a), cy + outer * math.sin(a)))
        for i in range(steps, -1, -1):
            a = middle - math.radians(30) + math.radians(60) * i / steps
            points.append((cx + inner * math.cos(a), cy + inner * math.sin(a)))
        draw.polygon(points, fill=fill)
    draw.ellipse((cx - hub, cy - hub, cx + hub, cy + hub), fill=hub_fill or fill)


# Segments a..g of a seven-segment digit.
SEGMENTS = {
    "0": "abcdef", "1": "bc", "2": "abdeg", "3": "abcdg", "4": "bcfg",
    "5": "acdfg", "6": "acdefg", "7": "abc", "8": "abcdefg", "9": "abcdfg",
}


def seven_segment(draw, x, y, width, height, thick, text, fill, ghost, slant=0.12):
    """Draws an LCD number; ',' becomes a decimal comma. Unlit segments are
    drawn in ghost so the display reads as a real LCD."""
    gap = thick * 0.18
    half = height / 2.0

    def skew(px, py):
        return (px + (height - py) * slant, py)

    def horizontal(x0, yc):
        t = thick / 2.0
        return [
            (x0 + gap, yc), (x0 + gap + t, yc - t), (x0 + width - gap - t, yc - t),
            (x0 + width - gap, yc), (x0 + width - gap - t, yc + t), (x0 + gap + t, yc + t),
        ]

    def vertical(xc, y0, y1):
        t = thick / 2.0
        return [
            (xc, y0 + gap), (xc + t, y0 + gap + t), (xc + t, y1 - gap - t),
            (xc, y1 - gap), (xc - t, y1 - gap - t), (xc - t, y0 + gap + t),
        ]

    def shapes(x0):
        t = thick / 2.0
        return {
            "a": horizontal(x0, t),
            "g": horizontal(x0, half),
            "d": horizontal(x0, height - t),
            "f": vertical(x0 + t, t, half),
            "b": vertical(x0 + width - t, t, half),
            "e": vertical(x0 + t, half, height - t),
            "c": vertical(x0 + width - t, half, height - t),
        }

    cursor = 0.0
    for char in text:
        if char == ",":
            base = [(cursor + thick * 0.2, height - thick), (cursor + thick * 1.1, height - thick),
                    (cursor + thick * 0.6, height + thick * 0.7), (cursor + thick * 0.1, height + thick * 0.7)]
            draw.polygon([(x + px + (height - py) * slant, y + py) for px, py in base], fill=fill)
            cursor += thick * 1.6
            continue
        lit = SEGMENTS[char]
        for name, poly in shapes(cursor).items():
            colour = fill if name in lit else ghost
            if colour is None:
                continue
            draw.polygon([(x + sx, y + sy) for sx, sy in (skew(px, py) for px, py in poly)], fill=colour)
        cursor += width + thick * 0.9


def vertical_gradient(size, stops):
    """stops: list of (position 0..1, rgb)."""
    w, h = size
    column = Image.new("RGB", (1, h))
    for yy in range(h):
        t = yy / max(1, h - 1)
        for (p0, c0), (p1, c1) in zip(stops, stops[1:]):
            if p0 <= t <= p1:
                column.putpixel((0, yy), mix(c0, c1, (t - p0) / max(1e-9, p1 - p0)))
                break
    return column.resize((w, h), Image.NEAREST)


def horizontal_shade(size, left, right):
    w, h = size
    row = Image.new("RGBA", (w, 1))
    for xx in range(w):
        row.putpixel((xx, 0), mix(left, right, xx / max(1, w - 1)))
    return row.resize((w, h), Image.NEAREST)


# ---------------------------------------------------------------- About screens

ABOUT_SIZE = (516, 363)
ABOUT_SCALE = 3  # drawn three times larger, then reduced: smooth edges
HEADER_BOTTOM = 200  # the version label sits below, at 212..253
NAVY = (12, 34, 60)
TEAL = (18, 92, 116)
AMBER = (244, 170, 32)
INK = (28, 40, 54)

ABOUT_TEXTS = {
    "ru": {
        "tagline": "Программа для дозиметров K310 и K520",
        "features": ["Измерение", "История", "Настройки", "Обновление"],
        "copyright": "© 2023 Dravo. Все права защищены.",
    },
    "en": {
        "tagline": "Companion program for the K310 and K520 dosimeters",
        "features": ["Measurement", "History", "Settings", "Firmware"],
        "copyright": "© 2023 Dravo. All rights reserved.",
    },
}


def dose_trace(count):
    """A plausible background dose-rate record: slow drift, ripple, two peaks."""
    values = []
    for i in range(count):
        t = i / (count - 1)
        v = 0.35 + 0.08 * math.sin(t * 9.0) + 0.05 * math.sin(t * 23.0 + 1.3)
        v += 0.035 * math.sin(t * 61.0 + 0.4)
        v += 0.38 * math.exp(-((t - 0.56) / 0.035) ** 2) + 0.2 * math.exp(-((t - 0.83) / 0.05) ** 2)
        values.append(v)
    return values


def draw_header(canvas, s):
    w, _ = canvas.size
    header_h = HEADER_BOTTOM * s
    header = vertical_gradient((w, header_h), [(0.0, NAVY), (1.0, TEAL)]).convert("RGBA")
    # Darker on the left, where the title sits.
    header.alpha_composite(horizontal_shade((w, header_h), (6, 18, 34, 120), (6, 18, 34, 0)))

    overlay = Image.new("RGBA", header.size, (0, 0, 0, 0))
    d = ImageDraw.Draw(overlay)
    step = 20 * s
    for x in range(0, w, step):
        d.line([(x, 0), (x, header_h)], fill=(170, 220, 240, 18), width=s)
    for y in range(0, header_h, step):
        d.line([(0, y), (w, y)], fill=(170, 220, 240, 18), width=s)

    values = dose_trace(180)
    base = header_h - 14 * s
    points = [(i * w / (len(values) - 1), base - v * 95 * s) for i, v in enumerate(values)]
    d.polygon(points + [(w, header_h), (0, header_h)], fill=(90, 200, 230, 26))
    d.line(points, fill=(120, 220, 245, 90), width=2 * s, joint="curve")
    header.alpha_composite(overlay)

    # A large, faint trefoil behind the device.
    mark = Image.new("RGBA", header.size, (0, 0, 0, 0))
    trefoil(ImageDraw.Draw(mark), 430 * s, 96 * s, 120 * s, 0, (255, 255, 255, 14))
    header.alpha_composite(mark)
    canvas.alpha_composite(header, (0, 0))

    d = ImageDraw.Draw(canvas)
    d.rectangle((0, header_h - 3 * s, w, header_h), fill=AMBER)


def draw_device(s):
    """The hand-held dosimeter, upright, on its own transparent layer."""
    bw, bh = 92 * s, 172 * s
    pad = 14 * s
    layer = Image.new("RGBA", (bw + 2 * pad, bh + 2 * pad + 14 * s), (0, 0, 0, 0))
    d = ImageDraw.Draw(layer)
    x0, y0 = pad, pad + 14 * s
    x1, y1 = x0 + bw, y0 + bh

    # Lanyard eye.
    d.rounded_rectangle((x0 + 12 * s, y0 - 14 * s, x0 + 34 * s, y0 + 8 * s), radius=8 * s,
                        outline=(48, 54, 62), width=5 * s)

    # Body with a lighter rim and a darker face.
    body = Image.new("RGBA", layer.size, (0, 0, 0, 0))
    bd = ImageDraw.Draw(body)
    bd.rounded_rectangle((x0, y0, x1, y1), radius=18 * s, fill=(58, 64, 74))
    face = vertical_gradient((bw, bh), [(0.0, (70, 77, 88)), (1.0, (34, 38, 45))]).convert("RGBA")
    mask = Image.new("L", layer.size, 0)
    ImageDraw.Draw(mask).rounded_rectangle((x0 + 3 * s, y0 + 3 * s, x1 - 3 * s, y1 - 3 * s),
                                           radius=15 * s, fill=255)
    face_full = Image.new("RGBA", layer.size, (0, 0, 0, 0))
    face_full.paste(face, (x0, y0))
    body.paste(face_full, (0, 0), mask)
    # Soft highlight along the left edge.
    gloss = Image.new("RGBA", layer.size, (0, 0, 0, 0))
    ImageDraw.Draw(gloss).rounded_rectangle((x0 + 5 * s, y0 + 8 * s, x0 + 9 * s, y1 - 16 * s),
                                            radius=2 * s, fill=(255, 255, 255, 40))
    body.alpha_composite(gloss)
    layer.alpha_composite(body)
    d = ImageDraw.Draw(layer)

    # Amber sensor window at the top.
    d.rounded_rectangle((x0 + 42 * s, y0 + 9 * s, x1 - 12 * s, y0 + 16 * s), radius=3 * s, fill=AMBER)

    # Display: bezel, backlit glass, readings.
    lx0, ly0, lx1, ly1 = x0 + 9 * s, y0 + 24 * s, x1 - 9 * s, y0 + 98 * s
    d.rounded_rectangle((lx0, ly0, lx1, ly1), radius=6 * s, fill=(18, 20, 24))
    gx0, gy0, gx1, gy1 = lx0 + 4 * s, ly0 + 4 * s, lx1 - 4 * s, ly1 - 4 * s
    glass = vertical_gradient((gx1 - gx0, gy1 - gy0), [(0.0, (206, 228, 196)), (1.0, (170, 200, 160))])
    glass_mask = Image.new("L", glass.size, 0)
    ImageDraw.Draw(glass_mask).rounded_rectangle((0, 0, glass.size[0] - 1, glass.size[1] - 1),
                                                 radius=3 * s, fill=255)
    layer.paste(glass, (gx0, gy0), glass_mask)
    lcd_ink = (30, 44, 32)
    ghost = (184, 208, 174)
    trefoil(d, gx0 + 8 * s, gy0 + 8 * s, 5 * s, 0, lcd_ink)
    # Battery.
    d.rectangle((gx1 - 17 * s, gy0 + 4 * s, gx1 - 5 * s, gy0 + 11 * s), outline=lcd_ink, width=s)
    d.rectangle((gx1 - 5 * s, gy0 + 6 * s, gx1 - 4 * s, gy0 + 9 * s), fill=lcd_ink)
    for i in range(3):
        bx = gx1 - 15 * s + i * 3 * s
        d.rectangle((bx, gy0 + 6 * s, bx + 2 * s, gy0 + 9 * s), fill=lcd_ink)
    seven_segment(d, gx0 + 6 * s, gy0 + 17 * s, 11 * s, 21 * s, 3 * s, "0,12", lcd_ink, ghost)
    d.text((gx1 - 4 * s, gy0 + 47 * s), "µSv/h", font=font("DejaVuSans-Bold.ttf", 8 * s),
           fill=lcd_ink, anchor="rs")
    # Bar graph of the last minutes.
    bars = [3, 4, 3, 5, 4, 6, 5, 4, 7, 5, 4, 5]
    for i, b in enumerate(bars):
        bx = gx0 + 4 * s + i * 5 * s
        d.rectangle((bx, gy1 - 4 * s - b * s, bx + 3 * s, gy1 - 4 * s), fill=lcd_ink)

    # Keys: a large round one and two small ones.
    cx, cy = (x0 + x1) // 2, y0 + 128 * s
    d.ellipse((cx - 17 * s, cy - 17 * s, cx + 17 * s, cy + 17 * s), fill=(26, 29, 34))
    d.ellipse((cx - 14 * s, cy - 14 * s, cx + 14 * s, cy + 14 * s), fill=(84, 92, 104))
    d.ellipse((cx - 12 * s, cy - 13 * s, cx + 12 * s, cy + 11 * s), fill=(100, 108, 120))
    trefoil(d, cx, cy, 8 * s, 0, AMBER)
    for sx in (x0 + 18 * s, x1 - 18 * s):
        sy = y0 + 157 * s
        d.rounded_rectangle((sx - 9 * s, sy - 4 * s, sx + 9 * s, sy + 4 * s), radius=4 * s,
                            fill=(84, 92, 104), outline=(26, 29, 34), width=s)
    return layer


def paste_device(canvas, s):
    device = draw_device(s)
    device = device.resize((device.size[0] * 7 // 8, device.size[1] * 7 // 8), Image.LANCZOS)
    device = device.rotate(-9, resample=Image.BICUBIC, expand=True)
    shadow_alpha = device.getchannel("A").point(lambda a: a * 110 // 255)
    shadow = Image.new("RGBA", device.size, (0, 8, 16, 0))
    shadow.putalpha(shadow_alpha)
    shadow = shadow.filter(ImageFilter.GaussianBlur(6 * s))
    x = canvas.size[0] - device.size[0] - 16 * s
    y = 10 * s
    canvas.alpha_composite(shadow, (x + 6 * s, y + 8 * s))
    canvas.alpha_composite(device, (x, y))


def wrap(draw, text, face, width):
    """One line if it fits, otherwise the two-line split with the shorter
    longest line, so no word is left alone on the second line."""
    if draw.textlength(text, font=face) <= width:
        return [text]
    words = text.split()
    splits = [(" ".join(words[:i]), " ".join(words[i:])) for i in range(1, len(words))]
    return list(min(splits, key=lambda pair: max(draw.textlength(t, font=face) for t in pair)))


def draw_titles(canvas, s, texts):
    d = ImageDraw.Draw(canvas)
    left = 30 * s
    title_bold = font("DejaVuSans-Bold.ttf", 40 * s)
    title_light = font("DejaVuSans-ExtraLight.ttf", 40 * s)
    baseline = 86 * s
    d.text((left, baseline), "Dravo", font=title_bold, fill=(255, 255, 255), anchor="ls")
    x = left + d.textlength("Dravo ", font=title_bold)
    d.text((x, baseline), "Explorer", font=title_light, fill=(255, 214, 120), anchor="ls")

    d.rectangle((left, baseline + 14 * s, left + 46 * s, baseline + 16 * s), fill=AMBER)
    tag_face = font("DejaVuSans.ttf", 14 * s)
    y = baseline + 40 * s
    for line in wrap(d, texts["tagline"], tag_face, 320 * s):
        d.text((left, y), line, font=tag_face, fill=(206, 228, 238), anchor="ls")
        y += 20 * s


def draw_footer(canvas, s, texts):
    w = canvas.size[0]
    d = ImageDraw.Draw(canvas)
    # Feature strip: small trefoil bullets between the four words.
    face = font("DejaVuSans.ttf", 12 * s)
    words = texts["features"]
    gap = 26 * s
    total = sum(d.textlength(wd, font=face) for wd in words) + gap * (len(words) - 1)
    x = (w - total) / 2
    y = 292 * s
    for i, word in enumerate(words):
        d.text((x, y), word, font=face, fill=(60, 84, 104), anchor="lm")
        x += d.textlength(word, font=face)
        if i < len(words) - 1:
            trefoil(d, x + gap / 2, y, 4.5 * s, 0, AMBER)
            x += gap
    d.line([(30 * s, 318 * s), (w - 30 * s, 318 * s)], fill=(204, 214, 222), width=s)
    small = font("DejaVuSans.ttf", 10 * s)
    d.text((30 * s, 340 * s), texts["copyright"], font=small, fill=(112, 128, 142), anchor="lm")
    d.text((w - 30 * s, 340 * s), "RDK-310 · RDK-520", font=small, fill=(112, 128, 142), anchor="rm")


def make_about(language):
    s = ABOUT_SCALE
    w, h = ABOUT_SIZE[0] * s, ABOUT_SIZE[1] * s
    canvas = vertical_gradient((w, h), [(0.0, (250, 251, 252)), (0.55, (246, 248, 250)),
                                        (1.0, (228, 235, 241))]).convert("RGBA")
    draw_header(canvas, s)
    paste_device(canvas, s)
    draw_titles(canvas, s, ABOUT_TEXTS[language])
    draw_footer(canvas, s, ABOUT_TEXTS[language])
    return canvas.convert("RGB").resize(ABOUT_SIZE, Image.LANCZOS)


def save_about(out_dir):
    for language in ("ru", "en"):
        path = os.path.join(out_dir, "about_%s.jpg" % language)
        make_about(language).save(path, format="JPEG", quality=90, progressive=False,
                                  optimize=False, subsampling="4:2:0")


# ---------------------------------------------------------------- busy indicator

BUSY_SIZE = 81
BUSY_SCALE = 8
BUSY_FRAMES = 4
# Colours of the twelve beads from the leading one backwards; three leaders
# run round 120 degrees apart, like the blades of the trefoil they circle.
BEAD_SHADES = [NAVY, (30, 110, 140), (96, 160, 184), (168, 196, 210)]


def hard_edged(layer, size):
    """Reduces an RGBA drawing and gives every pixel either full or no cover.
    The indicator window keys out pure white, so a soft edge would leave a pale
    fringe around the shapes; the colours inside keep their smoothing."""
    small = layer.resize((size, size), Image.BOX)
    alpha = small.getchannel("A").point(lambda a: 255 if a >= 128 else 0)
    small.putalpha(alpha)
    frame = Image.new("RGBA", (size, size), (255, 255, 255, 255))
    frame.alpha_composite(small)
    return frame.convert("RGB")


def make_busy_frame(index):
    s = BUSY_SCALE
    size = BUSY_SIZE * s
    layer = Image.new("RGBA", (size, size), (0, 0, 0, 0))
    d = ImageDraw.Draw(layer)
    c = size / 2.0
    disc = 28.5 * s
    d.ellipse((c - disc, c - disc, c + disc, c + disc), fill=INK)
    inner = disc - 3 * s
    d.ellipse((c - inner, c - inner, c + inner, c + inner), fill=(250, 196, 28))
    trefoil(d, c, c, inner - 3.5 * s, 30 * index, INK)

    orbit, bead = 35.5 * s, 3.6 * s
    for slot in range(12):
        lag = (index - slot) % 4  # 0 for the three leaders of this frame
        angle = math.radians(-90 + 30 * slot)
        bx, by = c + orbit * math.cos(angle), c + orbit * math.sin(angle)
        r = bead if lag == 0 else bead * (1.0 - 0.12 * lag)
        d.ellipse((bx - r, by - r, bx + r, by + r), fill=BEAD_SHADES[lag])
    return hard_edged(layer, BUSY_SIZE)


def save_busy(out_dir):
    for index in range(BUSY_FRAMES):
        save_png(make_busy_frame(index), os.path.join(out_dir, "busy_%d.png" % (index + 1)))


# ---------------------------------------------------------------- icons
#
# Icons are drawn on a 16-unit grid at eight times their size and reduced with
# a box filter; edges on whole units land on pixel edges, so the 16 x 16 icons
# stay crisp. Every part gets a one-unit dark outline outside its fill, which
# keeps the small shapes apart and gives the set its common look.

ICON_SUPERSAMPLE = 8
OUTLINE = (40, 52, 66)
PAPER = (255, 255, 255)
PAPER_FOLD = (214, 222, 230)
TEXT_LINE = (150, 166, 184)
BLUE = (46, 122, 204)
GREEN = (46, 158, 82)
RED = (212, 52, 48)
STEEL = (146, 158, 172)
WOOD = (186, 122, 66)
CLEAR = None


class Pen:
    """ImageDraw in icon units."""

    def __init__(self, image, unit):
        self.draw = ImageDraw.Draw(image)
        self.u = unit

    def _xy(self, points):
        return [(x * self.u, y * self.u) for x, y in points]

    def rect(self, x0, y0, x1, y1, radius=0):
        box = (x0 * self.u, y0 * self.u, x1 * self.u - 1, y1 * self.u - 1)
        if radius:
            self.draw.rounded_rectangle(box, radius=radius * self.u, fill=255)
        else:
            self.draw.rectangle(box, fill=255)

    def circle(self, cx, cy, r):
        self.ellipse(cx - r, cy - r, cx + r, cy + r)

    def ellipse(self, x0, y0, x1, y1):
        self.draw.ellipse((x0 * self.u, y0 * self.u, x1 * self.u - 1, y1 * self.u - 1), fill=255)

    def polygon(self, *points):
        self.draw.polygon(self._xy(points), fill=255)

    def line(self, width, *points):
        self.draw.line(self._xy(points), fill=255, width=int(round(width * self.u)), joint="curve")

    def arc(self, cx, cy, r, start, end, width):
        box = ((cx - r) * self.u, (cy - r) * self.u, (cx + r) * self.u, (cy + r) * self.u)
        self.draw.arc(box, start, end, fill=255, width=int(round(width * self.u)))


def dilate(mask, radius):
    """Grows a mask by radius pixels in every direction (a round pen)."""
    grown = mask.copy()
    for ring in (radius, radius * 0.5):
        for step in range(0, 360, 10):
            a = math.radians(step)
            dx, dy = int(round(ring * math.cos(a))), int(round(ring * math.sin(a)))
            shifted = Image.new("L", mask.size, 0)
            shifted.paste(mask, (dx, dy))
            grown = ImageChops.lighter(grown, shifted)
    return grown


class IconCanvas:
    def __init__(self, size):
        self.size = size
        self.unit = size * ICON_SUPERSAMPLE // 16
        self.image = Image.new("RGBA", (size * ICON_SUPERSAMPLE,) * 2, (0, 0, 0, 0))

    def mask(self, shape):
        m = Image.new("L", self.image.size, 0)
        shape(Pen(m, self.unit))
        return m

    def part(self, shape, fill, outline=True, clip=None):
        """Paints one shape. fill CLEAR punches a hole through what is below;
        otherwise the fill is lightened towards the top for a little depth."""
        m = self.mask(shape)
        if clip is not None:
            m = ImageChops.multiply(m, self.mask(clip))
        if outline:
            self.image.paste(with_alpha(OUTLINE, 255), (0, 0), dilate(m, self.unit))
        if fill is CLEAR:
            self.image.paste((0, 0, 0, 0), (0, 0), m)
            return
        w, h = self.image.size
        paint = vertical_gradient((w, h), [(0.0, mix(fill, (255, 255, 255), 0.28)), (1.0, fill)])
        self.image.paste(paint.convert("RGBA"), (0, 0), m)

    def result(self):
        return self.image.resize((self.size, self.size), Image.BOX)


def document(c):
    c.part(lambda p: p.polygon((2, 1), (9, 1), (13, 5), (13, 15), (2, 15)), PAPER)
    c.part(lambda p: p.polygon((9, 1), (9, 5), (13, 5)), PAPER_FOLD)
    for y, right in ((4, 8), (6, 11), (8, 11)):
        c.part(lambda p, y=y, right=right: p.rect(4, y, right, y + 1), TEXT_LINE, outline=False)


def eye(c):
    c.part(lambda p: p.polygon(*[(10.5 + 5 * math.cos(math.radians(a)),
                                  11.5 + 3.6 * math.sin(math.radians(a)) * abs(math.sin(math.radians(a))) ** 0.2)
                                 for a in range(0, 360, 10)]), PAPER)
    c.part(lambda p: p.circle(10.5, 11.5, 2.2), BLUE, outline=False)
    c.part(lambda p: p.circle(10.5, 11.5, 0.9), OUTLINE, outline=False)


def icon_exit(c):
    c.part(lambda p: p.rect(2, 1, 10, 15), WOOD)
    c.part(lambda p: p.rect(3, 2, 9, 7), mix(WOOD, (255, 255, 255), 0.2), outline=False)
    c.part(lambda p: p.rect(7, 8, 8, 10), OUTLINE, outline=False)
    c.part(lambda p: p.polygon((6, 7), (10, 7), (10, 4), (14.5, 8.5), (10, 13), (10, 10), (6, 10)), GREEN)


def icon_device(c):
    c.part(lambda p: p.rect(3, 1, 13, 15, radius=2), (84, 94, 108))
    c.part(lambda p: p.rect(4, 3, 12, 8), (196, 226, 176), outline=False)
    c.part(lambda p: p.rect(5, 4, 9, 7), (60, 84, 56), outline=False)
    c.part(lambda p: p.rect(10, 6, 11, 7), (60, 84, 56), outline=False)
    c.part(lambda p: p.circle(8, 11.5, 2.5), AMBER, outline=False)
    c.part(lambda p: trefoil(p.draw, 8 * p.u, 11.5 * p.u, 2.1 * p.u, 0, 255), OUTLINE, outline=False)


def icon_log_show(c):
    document(c)
    eye(c)


def icon_log_hide(c):
    document(c)
    eye(c)
    c.part(lambda p: p.line(1.4, (6.5, 7.5), (14.5, 15)), RED)


def icon_log_clear(c):
    document(c)

    def eraser(p, t0, t1):
        # A slanted block from t0 to t1 along its length (0 = tip, 1 = end).
        ax, ay, bx, by = 7.5, 14, 14.5, 7
        nx, ny = 1.9, 1.9
        x0, y0 = lerp(ax, bx, t0), lerp(ay, by, t0)
        x1, y1 = lerp(ax, bx, t1), lerp(ay, by, t1)
        p.polygon((x0 - nx, y0 - ny), (x1 - nx, y1 - ny), (x1 + nx, y1 + ny), (x0 + nx, y0 + ny))

    c.part(lambda p: eraser(p, 0, 1), BLUE)
    c.part(lambda p: eraser(p, 0, 0.42), (236, 120, 138), outline=False)
    c.part(lambda p: p.line(0.7, (lerp(7.5, 14.5, 0.42) - 1.9, lerp(14, 7, 0.42) - 1.9),
                            (lerp(7.5, 14.5, 0.42) + 1.9, lerp(14, 7, 0.42) + 1.9)), OUTLINE, outline=False)


def icon_refresh(c):
    def arrow(p):
        r, end = 5.2, 290
        p.arc(8, 8.5, r, 10, end, 2.4)
        t = math.radians(end)
        nx, ny = math.cos(t), math.sin(t)
        tip_x, tip_y = 8 + r * nx, 8.5 + r * ny
        p.polygon((tip_x - 2.8 * nx, tip_y - 2.8 * ny), (tip_x + 2.8 * nx, tip_y + 2.8 * ny),
                  (tip_x - 3.6 * ny, tip_y + 3.6 * nx))

    c.part(arrow, GREEN)


def icon_globe(c):
    c.part(lambda p: p.circle(8, 8, 6.5), BLUE)
    land = (96, 186, 96)
    c.part(lambda p: p.polygon((4, 4), (7, 3), (8, 5), (6, 7), (6.5, 10), (4.5, 11), (3, 8)), land, outline=False)
    c.part(lambda p: p.polygon((9.5, 9), (12.5, 8.5), (13, 11), (11, 13.5), (9.5, 12)), land, outline=False)
    lines = (214, 236, 252)

    def grid(p):
        p.arc(8, 8, 6.5, 0, 360, 0.9)
        p.line(0.9, (1.5, 8), (14.5, 8))
        p.line(0.9, (8, 1.5), (8, 14.5))
        p.draw.ellipse((4.6 * p.u, 1.5 * p.u, 11.4 * p.u, 14.5 * p.u), outline=255, width=int(0.9 * p.u))

    c.part(grid, lines, outline=False, clip=lambda p: p.circle(8, 8, 6.0))


def icon_save(c):
    c.part(lambda p: p.polygon((2, 2), (12, 2), (14, 4), (14, 14), (2, 14)), BLUE)
    c.part(lambda p: p.rect(5, 2, 11, 6), (214, 220, 228), outline=False)
    c.part(lambda p: p.rect(9, 3, 10, 5), OUTLINE, outline=False)
    c.part(lambda p: p.rect(4, 9, 12, 14), PAPER, outline=False)
    c.part(lambda p: p.rect(5, 10, 11, 11), TEXT_LINE, outline=False)
    c.part(lambda p: p.rect(5, 12, 10, 13), TEXT_LINE, outline=False)


def icon_local(c):
    c.part(lambda p: p.rect(7, 11, 9, 13), STEEL)
    c.part(lambda p: p.rect(4, 13, 12, 14), STEEL)
    c.part(lambda p: p.rect(1, 2, 15, 11, radius=0.8), (206, 212, 220))
    c.part(lambda p: p.rect(2, 3, 14, 10), (56, 132, 214), outline=False)
    c.part(lambda p: p.polygon((2, 10), (9, 3), (14, 3), (14, 4), (7, 10)), (92, 160, 228), outline=False)


def icon_settings(c):
    def gear(p):
        points = []
        for tooth in range(8):
            a = tooth * 45
            for r, da in ((4.9, -15), (6.6, -8), (6.6, 8), (4.9, 15)):
                t = math.radians(a + da)
                points.append((8 + r * math.cos(t), 8 + r * math.sin(t)))
        p.polygon(*points)

    c.part(gear, STEEL)
    c.part(lambda p: p.circle(8, 8, 2.0), CLEAR)


def icon_flag_ru(c):
    c.part(lambda p: p.rect(1, 2, 15, 14), PAPER)
    c.part(lambda p: p.rect(1, 6, 15, 10), (0, 70, 180), outline=False)
    c.part(lambda p: p.rect(1, 10, 15, 14), (214, 40, 40), outline=False)


def icon_flag_en(c):
    field = lambda p: p.rect(1, 2, 15, 14)
    c.part(field, (18, 48, 128))
    c.part(lambda p: (p.line(3.0, (1, 2), (15, 14)), p.line(3.0, (15, 2), (1, 14))), PAPER,
           outline=False, clip=field)
    c.part(lambda p: (p.line(1.0, (1, 2), (15, 14)), p.line(1.0, (15, 2), (1, 14))), (206, 32, 48),
           outline=False, clip=field)
    c.part(lambda p: (p.rect(6, 2, 10, 14), p.rect(1, 6, 15, 10)), PAPER, outline=False)
    c.part(lambda p: (p.rect(7, 2, 9, 14), p.rect(1, 7, 15, 9)), (206, 32, 48), outline=False)


ICONS = [
    icon_exit, icon_device, icon_log_show, icon_log_hide, icon_log_clear, icon_refresh,
    icon_globe, icon_save, icon_local, icon_settings, icon_flag_ru, icon_flag_en,
]


def make_icon(index, size):
    canvas = IconCanvas(size)
    ICONS[index](canvas)
    return canvas.result()


def save_icons(out_dir):
    for index in range(len(ICONS)):
        base = os.path.join(out_dir, "icons", "icon_%02d" % index)
        save_png(make_icon(index, 16), base + ".png")
        save_png(make_icon(index, 32), base + "@2x.png")


def main():
    out_dir = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.abspath(__file__))
    os.makedirs(os.path.join(out_dir, "icons"), exist_ok=True)
    save_about(out_dir)
    save_busy(out_dir)
    save_icons(out_dir)


if __name__ == "__main__":
    main()
