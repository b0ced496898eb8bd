#!/usr/bin/env python3
"""Draws the application's artwork: the PNG images in resources/png/ (each also at twice the
size as name@2x.png, which Qt picks on high-DPI screens) and the application icon in
packaging/icons/ (a scalable SVG plus PNG sizes, from the same shapes).

Standard library only: shapes are rasterised with 4x4 supersampling for smooth edges and written
as 8-bit RGBA PNG files with zlib and struct. The output is deterministic, so running the script
again leaves the committed files unchanged.

    python3 tools/make_artwork.py [png-directory [icon-directory]]
"""

import math
import os
import struct
import sys
import zlib

SUPERSAMPLE = 4


class Canvas:
    """An RGBA image (non-premultiplied, components 0..255 as floats) painted with source-over.

    Shapes are given in logical units; the image holds scale pixels per unit."""

    def __init__(self, width, height, fill=(0, 0, 0, 0), scale=1):
        self.scale = scale
        self.width = width * scale
        self.height = height * scale
        self.pixels = [list(fill) for _ in range(self.width * self.height)]

    def blend(self, x, y, colour, coverage):
        if coverage <= 0.0:
            return
        r, g, b = colour[:3]
        a = (colour[3] / 255.0 if len(colour) > 3 else 1.0) * min(coverage, 1.0)
        dst = self.pixels[y * self.width + x]
        da = dst[3] / 255.0
        out_a = a + da * (1.0 - a)
        if out_a <= 0.0:
            return
        for i, c in enumerate((r, g, b)):
            dst[i] = (c * a + dst[i] * da * (1.0 - a)) / out_a
        dst[3] = out_a * 255.0

    def fill(self, inside, colour, box=None):
        """Paints colour wherever inside(px, py) is true, weighted by supersampled coverage."""
        k = self.scale
        x0, y0, x1, y1 = [v * k for v in box] if box else (0, 0, self.width, self.height)
        x0, y0 = max(0, int(math.floor(x0))), max(0, int(math.floor(y0)))
        x1, y1 = min(self.width, int(math.ceil(x1))), min(self.height, int(math.ceil(y1)))
        step = 1.0 / SUPERSAMPLE
        offsets = [(i + 0.5) * step for i in range(SUPERSAMPLE)]
        total = SUPERSAMPLE * SUPERSAMPLE
        for y in range(y0, y1):
            for x in range(x0, x1):
                hits = sum(1 for oy in offsets for ox in offsets
                           if inside((x + ox) / k, (y + oy) / k))
                self.blend(x, y, colour, hits / total)

    def set_rows(self, shade_of_row):
        """Fills every pixel row with an opaque colour chosen by its logical y (a float)."""
        for y in range(self.height):
            shade = shade_of_row((y + 0.5) / self.scale)
            for x in range(self.width):
                self.pixels[y * self.width + x] = list(shade)

    def set_rect(self, x0, y0, x1, y1, colour):
        """Sets the pixels of a rectangle given in whole logical units (no blending)."""
        k = self.scale
        for y in range(y0 * k, y1 * k):
            for x in range(x0 * k, x1 * k):
                self.pixels[y * self.width + x] = list(colour)

    def png(self):
        rows = []
        for y in range(self.height):
            row = bytearray([0])  # filter type: none
            for x in range(self.width):
                row.extend(int(round(max(0.0, min(255.0, c)))) for c in self.pixels[y * self.width + x])
            rows.append(bytes(row))
        raw = b"".join(rows)

        def chunk(kind, data):
            body = kind + data
            return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

        header = struct.pack(">IIBBBBB", self.width, self.height, 8, 6, 0, 0, 0)
        return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
                chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


# ---- shapes: each returns a point test ----

def disc(cx, cy, r):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def rounded_rect(x0, y0, x1, y1, r):
    def inside(x, y):
        if x < x0 or x > x1 or y < y0 or y > y1:
            return False
        cx = min(max(x, x0 + r), x1 - r)
        cy = min(max(y, y0 + r), y1 - r)
        return (x - cx) ** 2 + (y - cy) ** 2 <= r * r
    return inside


def stroke(ax, ay, bx, by, width):
    """A segment with round caps."""
    dx, dy = bx - ax, by - ay
    length2 = dx * dx + dy * dy
    half = width / 2.0

    def inside(x, y):
        t = 0.0 if length2 == 0 else max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / length2))
        px, py = ax + t * dx, ay + t * dy
        return (x - px) ** 2 + (y - py) ** 2 <= half * half
    return inside


def rect(x0, y0, x1, y1):
    return lambda x, y: x0 <= x <= x1 and y0 <= y <= y1


# ---- the images ----

def band_marker(scale):
    """11 x 11: a light disc with a dark rim and a blue centre, readable over any curve colour."""
    c = Canvas(11, 11, scale=scale)
    c.fill(disc(5.5, 5.5, 5.4), (30, 30, 30))
    c.fill(disc(5.5, 5.5, 4.4), (240, 240, 240))
    c.fill(disc(5.5, 5.5, 1.9), (65, 105, 225))
    return c


def crossover_marker(letter, face, rim, ink, scale):
    """16 x 16: a rounded tile carrying the filter's letter (H for high-pass, L for low-pass)."""
    c = Canvas(16, 16, scale=scale)
    c.fill(rounded_rect(0.2, 0.2, 15.8, 15.8, 4.0), rim)
    c.fill(rounded_rect(1.4, 1.4, 14.6, 14.6, 3.0), face)
    if letter == "H":
        c.fill(rect(4.5, 4.0, 6.3, 12.0), ink)
        c.fill(rect(9.7, 4.0, 11.5, 12.0), ink)
        c.fill(rect(6.3, 7.1, 9.7, 8.9), ink)
    else:
        c.fill(rect(5.0, 4.0, 6.8, 12.0), ink)
        c.fill(rect(6.8, 10.2, 11.2, 12.0), ink)
    return c


def close_glyph(scale):
    """32 x 32: a light cross on transparent; the button supplies any hover background."""
    c = Canvas(32, 32, scale=scale)
    ink = (225, 225, 225)
    c.fill(stroke(10, 10, 22, 22, 2.6), ink)
    c.fill(stroke(22, 10, 10, 22, 2.6), ink)
    return c


def minimise_glyph(scale):
    """32 x 32: a light bar on transparent."""
    c = Canvas(32, 32, scale=scale)
    c.fill(stroke(10, 20, 22, 20, 2.6), (225, 225, 225))
    return c


def scene_background(scale):
    """563 x 311: the scene manager's dark background with a 2-pixel grey border."""
    w, h = 563, 311
    c = Canvas(w, h, scale=scale)

    def shade(y):
        if 2 <= y < 44:  # a slightly lighter heading band
            return [82, 82, 84, 255]
        if 44 <= y < 46:
            return [100, 100, 102, 255]
        t = min(max((y - 0.5) / (h - 1), 0.0), 1.0)
        return [72 - 22 * t, 72 - 22 * t, 74 - 22 * t, 255]
    c.set_rows(shade)
    border = [150, 150, 150, 255]
    for box in ((0, 0, w, 2), (0, h - 2, w, h), (0, 0, 2, h), (w - 2, 0, w, h)):
        c.set_rect(*box, border)
    return c


def images(scale):
    normal = dict(face=(72, 72, 73), rim=(200, 200, 200), ink=(255, 255, 255), scale=scale)
    active = dict(face=(0, 128, 0), rim=(255, 255, 255), ink=(255, 255, 255), scale=scale)
    return {
        "Marker.png": band_marker(scale),
        "H_Nor.png": crossover_marker("H", **normal),
        "H_On.png": crossover_marker("H", **active),
        "L_Nor.png": crossover_marker("L", **normal),
        "L_On.png": crossover_marker("L", **active),
        "MainClose.png": close_glyph(scale),
        "MainMin.png": minimise_glyph(scale),
        "SenceManage.png": scene_background(scale),
    }


# ---- the application icon: one list of shapes, drawn as SVG and as PNG ----

ICON_UNITS = 64
CHANNEL_COLOURS = [(255, 0, 0), (255, 246, 0), (0, 0, 255), (0, 255, 0), (0, 255, 255),
                   (255, 180, 0)]
ICON_BAR_TOPS = [30, 20, 14, 22, 32, 40]  # six channel bars under a response curve


def icon_shapes():
    """(kind, geometry, colour) in a 64-unit square: rounded rectangles and round-capped lines."""
    shapes = [("rrect", (2, 2, 62, 62, 12), (150, 150, 150)),
              ("rrect", (4, 4, 60, 60, 10), (45, 45, 47))]
    for i, top in enumerate(ICON_BAR_TOPS):
        x = 11 + 7.5 * i
        shapes.append(("rrect", (x, top, x + 5, 52, 2), CHANNEL_COLOURS[i]))
    points = [(8, 34), (13.5, 26), (21, 16), (28.5, 11), (36, 18), (43.5, 28), (51, 36), (56, 40)]
    for (ax, ay), (bx, by) in zip(points, points[1:]):
        shapes.append(("line", (ax, ay, bx, by, 2.6), (255, 255, 255)))
    return shapes


def icon_svg():
    out = ['<svg xmlns="http://www.w3.org/2000/svg" width="%d" height="%d" viewBox="0 0 %d %d">'
           % (ICON_UNITS, ICON_UNITS, ICON_UNITS, ICON_UNITS)]
    for kind, g, (r, gr, b) in icon_shapes():
        colour = "#%02x%02x%02x" % (r, gr, b)
        if kind == "rrect":
            x0, y0, x1, y1, rad = g
            out.append('  <rect x="%g" y="%g" width="%g" height="%g" rx="%g" fill="%s"/>'
                       % (x0, y0, x1 - x0, y1 - y0, rad, colour))
        else:
            ax, ay, bx, by, width = g
            out.append('  <line x1="%g" y1="%g" x2="%g" y2="%g" stroke="%s" stroke-width="%g" '
                       'stroke-linecap="round"/>' % (ax, ay, bx, by, colour, width))
    out.append("</svg>")
    return "\n".join(out) + "\n"


def icon_png(size):
    c = Canvas(size, size)
    k = size / ICON_UNITS
    for kind, g, colour in icon_shapes():
        if kind == "rrect":
            x0, y0, x1, y1, rad = g
            c.fill(rounded_rect(x0 * k, y0 * k, x1 * k, y1 * k, rad * k), colour,
                   (x0 * k - 1, y0 * k - 1, x1 * k + 1, y1 * k + 1))
        else:
            ax, ay, bx, by, width = g
            pad = width * k
            c.fill(stroke(ax * k, ay * k, bx * k, by * k, width * k), colour,
                   (min(ax, bx) * k - pad, min(ay, by) * k - pad,
                    max(ax, bx) * k + pad, max(ay, by) * k + pad))
    return c


ICON_SIZES = [16, 24, 32, 48, 64, 128, 256]


def write(path, data):
    with open(path, "wb") as f:
        f.write(data)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "resources", "png")
    icons = sys.argv[2] if len(sys.argv) > 2 else os.path.join(here, "..", "packaging", "icons")
    os.makedirs(out, exist_ok=True)
    os.makedirs(icons, exist_ok=True)
    for scale, suffix in ((1, ""), (2, "@2x")):
        for name, canvas in images(scale).items():
            stem, ext = os.path.splitext(name)
            write(os.path.join(out, stem + suffix + ext), canvas.png())
            print(f"{stem + suffix + ext}: {canvas.width} x {canvas.height}")
    write(os.path.join(icons, "tarn80x.svg"), icon_svg().encode())
    for size in ICON_SIZES:
        write(os.path.join(icons, f"tarn80x_{size}.png"), icon_png(size).png())
        print(f"tarn80x_{size}.png")


if __name__ == "__main__":
    main()
