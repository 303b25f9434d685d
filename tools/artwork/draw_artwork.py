#!/usr/bin/python3
"""Draws the screen artwork of Quillmere into qml/Images/, and its icon for
the desktop's menu into packaging/icons/.

Every picture is drawn from vector shapes on a canvas several times larger
than the result and then scaled down, which gives smooth edges. Each picture
is written at its base size and at twice and three times that size, under
Qt's high-DPI names (name@2x.png, name@3x.png). The icon is written from the
same shapes as SVG and as PNG at the sizes of the desktop's icon theme.

Usage: /usr/bin/python3 tools/artwork/draw_artwork.py [output directory [icon directory]]
"""

import math
import os
import sys

from PIL import Image, ImageDraw, ImageFont

SUPERSAMPLE = 4
BLUE = (56, 83, 164, 255)
YELLOW = (224, 224, 0, 255)
TREND_RED = (237, 28, 36, 255)
BUTTON_RED = (214, 40, 40, 255)
WHITE = (255, 255, 255, 255)
NAVY = (18, 40, 86, 255)
FONT_DIR = "/usr/share/fonts/truetype/dejavu"

MAKER = "Brenlow"
PRODUCT = "Quillmere"


def font(size, bold=True):
    name = "DejaVuSans-Bold.ttf" if bold else "DejaVuSans.ttf"
    path = os.path.join(FONT_DIR, name)
    if os.path.exists(path):
        return ImageFont.truetype(path, size)
    return ImageFont.load_default()


class Canvas:
    """A drawing surface in units of the base size, rendered at any scale."""

    def __init__(self, width, height, scale, background=(0, 0, 0, 0)):
        # Large pictures need less oversampling for the same smoothness.
        self.k = scale * max(2, min(SUPERSAMPLE, 4000 // (width * scale)))
        self.size = (round(width * scale), round(height * scale))
        self.image = Image.new("RGBA", (round(width * self.k), round(height * self.k)), background)
        self.draw = ImageDraw.Draw(self.image)

    def p(self, points):
        return [(x * self.k, y * self.k) for x, y in points]

    def polygon(self, points, fill):
        self.draw.polygon(self.p(points), fill=fill)

    def line(self, points, fill, width):
        w = max(1, round(width * self.k))
        self.draw.line(self.p(points), fill=fill, width=w, joint="curve")
        r = width / 2
        for x, y in points:  # round caps
            self.ellipse((x - r, y - r, x + r, y + r), fill)

    def ellipse(self, box, fill):
        self.draw.ellipse([c * self.k for c in box], fill=fill)

    def rectangle(self, box, fill, radius=0):
        self.draw.rounded_rectangle([c * self.k for c in box], radius=radius * self.k, fill=fill)

    def text(self, xy, text, size, fill, bold=True, anchor="la"):
        # Glyph edges are antialiased: lay the colour over the picture through
        # the glyphs' coverage, so that partly covered pixels keep the colour.
        mask = Image.new("L", self.image.size, 0)
        ImageDraw.Draw(mask).text((xy[0] * self.k, xy[1] * self.k), text,
                                  font=font(round(size * self.k), bold), fill=255, anchor=anchor)
        layer = Image.new("RGBA", self.image.size, fill)
        layer.putalpha(mask.point(lambda v: v * fill[3] // 255))
        self.image.alpha_composite(layer)

    def result(self):
        # Area averaging: smooth edges without the overshoot of sharper
        # filters, premultiplied so that edges keep their colour.
        return self.image.convert("RGBa").resize(self.size, Image.BOX).convert("RGBA")


# ---- tab icons, 48 x 48, one flat colour ----

def icon_chart(c, colour):
    c.line([(5, 36), (14, 20), (22, 30), (31, 10), (38, 26), (44, 16)], colour, 4.5)


def icon_data(c, colour):
    for i in range(4):
        y = 8 + i * 9.5
        c.rectangle((6, y, 42, y + 5.5), colour, radius=2)


def icon_settings(c, colour):
    cx, cy, teeth = 24, 24, 8
    points = []
    for i in range(teeth * 4):
        angle = 2 * math.pi * i / (teeth * 4)
        radius = 21 if (i % 4) in (1, 2) else 16
        points.append((cx + radius * math.cos(angle), cy + radius * math.sin(angle)))
    c.polygon(points, colour)
    c.ellipse((cx - 6.5, cy - 6.5, cx + 6.5, cy + 6.5), (0, 0, 0, 0))


def icon_help(c, colour):
    c.text((24, 25), "?", 42, colour, anchor="mm")


# ---- delete icon, 32 x 32 ----

def icon_delete(c):
    c.ellipse((1, 1, 31, 31), BUTTON_RED)
    c.line([(10.5, 10.5), (21.5, 21.5)], WHITE, 3.6)
    c.line([(21.5, 10.5), (10.5, 21.5)], WHITE, 3.6)


# ---- trend arrows, 286 x 286 ----

def arrow(c, angle_deg, cx=143, cy=143, length=230, shaft=36, head=96, head_len=90):
    """An arrow through (cx, cy) pointing at angle_deg (0 right, 90 up)."""
    a = math.radians(angle_deg)
    dx, dy = math.cos(a), -math.sin(a)
    nx, ny = -dy, dx
    tail = (cx - dx * length / 2, cy - dy * length / 2)
    tip = (cx + dx * length / 2, cy + dy * length / 2)
    base = (tip[0] - dx * head_len, tip[1] - dy * head_len)

    def off(pt, d):
        return (pt[0] + nx * d, pt[1] + ny * d)

    c.polygon([off(tail, shaft / 2), off(base, shaft / 2), off(base, head / 2), tip,
               off(base, -head / 2), off(base, -shaft / 2), off(tail, -shaft / 2)], TREND_RED)


def trend_none(c):
    c.rectangle((38, 128, 128, 158), TREND_RED, radius=4)
    c.rectangle((158, 128, 248, 158), TREND_RED, radius=4)


def trend_pair(c, angle):
    arrow(c, angle, cx=88, shaft=30, head=78, head_len=76)
    arrow(c, angle, cx=198, shaft=30, head=78, head_len=76)


TRENDS = {
    "Trend_None": trend_none,
    "Trend_Steady": lambda c: arrow(c, 0),
    "Trend_Rising": lambda c: arrow(c, 45),
    "Trend_Rising Fast": lambda c: arrow(c, 90),
    "Trend_Rising Very Fast": lambda c: trend_pair(c, 90),
    "Trend_Falling": lambda c: arrow(c, -45),
    "Trend_Falling Fast": lambda c: arrow(c, -90),
    "Trend_Falling Very Fast": lambda c: trend_pair(c, -90),
}


# ---- maker branding ----

def trace_points(x0, y0, width, height):
    points = []
    for i in range(61):
        t = i / 60
        y = math.sin(t * 5.0) * 0.35 + math.sin(t * 13.0) * 0.12 - t * 0.3
        points.append((x0 + t * width, y0 + height / 2 - y * height))
    return points


def barograph_trace(c, x0, y0, width, height, colour, stroke):
    c.line(trace_points(x0, y0, width, height), colour, stroke)


def banner(c):
    # Left 800 px: the maker (opens its home page); right 485 px: the USB
    # barometer (opens its page); the middle names the program.
    c.rectangle((0, 0, 1800, 218), NAVY)
    c.rectangle((0, 0, 800, 218), (27, 58, 120, 255))
    c.ellipse((40, 34, 190, 184), WHITE)
    barograph_trace(c, 56, 70, 118, 78, BLUE, 9)
    c.text((225, 62), MAKER, 84, WHITE)
    c.text((228, 158), "marine instruments", 38, (200, 214, 240, 255), bold=False)
    c.text((1057, 109), PRODUCT, 70, WHITE, anchor="mm")
    c.rectangle((1315, 0, 1800, 218), (236, 196, 0, 255))
    c.rectangle((1360, 64, 1560, 154), NAVY, radius=16)
    c.rectangle((1560, 90, 1610, 128), NAVY, radius=6)
    c.text((1460, 109), "hPa", 40, (236, 196, 0, 255), anchor="mm")
    c.text((1710, 82), "USB", 46, NAVY, anchor="mm")
    c.text((1710, 138), "barometer", 28, NAVY, bold=False, anchor="mm")


def logo(c):
    c.rectangle((0, 0, 1725, 506), (0, 0, 0, 0))
    c.ellipse((60, 78, 410, 428), NAVY)
    c.ellipse((84, 102, 386, 404), WHITE)
    barograph_trace(c, 110, 170, 250, 160, TREND_RED, 18)
    c.text((470, 200), PRODUCT, 190, NAVY, anchor="lm")
    c.text((478, 370), "by " + MAKER, 96, BLUE, bold=False, anchor="lm")


# ---- the program's icon, 256 x 256: a barograph's dial on navy ----

ICON_SIZES = (16, 24, 32, 48, 64, 128, 256)
ICON_SHAPES = [
    ("rect", (12, 12, 244, 244), NAVY, 52),
    ("ellipse", (36, 36, 220, 220), WHITE),
    ("line", [(62, 186), (194, 186)], BLUE, 7),
    ("line", trace_points(62, 56, 132, 96), TREND_RED, 14),
]


def draw_shapes(c, shapes, unit):
    for kind, where, colour, *size in shapes:
        if kind == "rect":
            c.rectangle([v * unit for v in where], colour, radius=size[0] * unit)
        elif kind == "ellipse":
            c.ellipse([v * unit for v in where], colour)
        else:
            c.line([(x * unit, y * unit) for x, y in where], colour, size[0] * unit)


def svg_shapes(shapes):
    def rgb(colour):
        return "#%02x%02x%02x" % colour[:3]
    out = ['<svg xmlns="http://www.w3.org/2000/svg" width="256" height="256" viewBox="0 0 256 256">']
    for kind, where, colour, *size in shapes:
        if kind == "rect":
            x0, y0, x1, y1 = where
            out.append(f'  <rect x="{x0}" y="{y0}" width="{x1 - x0}" height="{y1 - y0}" rx="{size[0]}" fill="{rgb(colour)}"/>')
        elif kind == "ellipse":
            x0, y0, x1, y1 = where
            out.append(f'  <ellipse cx="{(x0 + x1) / 2}" cy="{(y0 + y1) / 2}" rx="{(x1 - x0) / 2}" '
                       f'ry="{(y1 - y0) / 2}" fill="{rgb(colour)}"/>')
        else:
            points = " ".join(f"{x:.1f},{y:.1f}" for x, y in where)
            out.append(f'  <polyline points="{points}" fill="none" stroke="{rgb(colour)}" stroke-width="{size[0]}" '
                       'stroke-linecap="round" stroke-linejoin="round"/>')
    return "\n".join(out + ["</svg>", ""])


def save_icon(directory):
    os.makedirs(directory, exist_ok=True)
    with open(os.path.join(directory, "quillmere.svg"), "w") as svg:
        svg.write(svg_shapes(ICON_SHAPES))
    for size in ICON_SIZES:
        c = Canvas(size, size, 1)
        draw_shapes(c, ICON_SHAPES, size / 256)
        c.result().save(os.path.join(directory, f"quillmere-{size}.png"), optimize=True)


def save(directory, name, width, height, painter, background=(0, 0, 0, 0)):
    for scale, suffix in ((1, ""), (2, "@2x"), (3, "@3x")):
        c = Canvas(width, height, scale, background)
        painter(c)
        stem, ext = os.path.splitext(name)
        c.result().save(os.path.join(directory, stem + suffix + ext), optimize=True)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "..", "qml", "Images")
    os.makedirs(out, exist_ok=True)
    tabs = [("tab_graph_blue~universal.png", "tab_graph_yellow~universal.png", icon_chart),
            ("Data_blue~universal.png", "Data_yellow~universal.png", icon_data),
            ("settings_tab~universal.png", "settings_tab_yellow~universal.png", icon_settings),
            ("help_tab~universal.png", "help_tab_yellow~universal.png", icon_help)]
    for blue_name, yellow_name, painter in tabs:
        save(out, blue_name, 48, 48, lambda c, p=painter: p(c, BLUE))
        save(out, yellow_name, 48, 48, lambda c, p=painter: p(c, YELLOW))
    save(out, "delete.png", 32, 32, icon_delete)
    for stem, painter in TRENDS.items():
        save(out, stem + "~universal.png", 286, 286, painter)
    save(out, "USB_banner.png", 1800, 218, banner)
    save(out, "barograph_logo~universal.png", 1725, 506, logo)
    save_icon(sys.argv[2] if len(sys.argv) > 2 else os.path.join(here, "..", "..", "packaging", "icons"))


if __name__ == "__main__":
    main()
