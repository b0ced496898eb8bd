#!/usr/bin/env python3
"""Draws the application's PNG artwork into resources/png/.

Standard library only: shapes are rasterised with 4x4 supersampling for smooth edges and written
as 8-bit RGBA PNG files with zlib and struct. The output is deterministic, so running the script
again leaves the committed files unchanged.

    python3 tools/make_artwork.py [output-directory]
"""

import math
import os
import struct
import sys
import zlib

SUPERSAMPLE = 4


class Canvas:
    """An RGBA image (non-premultiplied, components 0..255 as floats) painted with source-over."""

    def __init__(self, width, height, fill=(0, 0, 0, 0)):
        self.width = width
        self.height = height
        self.pixels = [list(fill) for _ in range(width * height)]

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
        x0, y0, x1, y1 = box if box else (0, 0, self.width, self.height)
        x0, y0 = max(0, int(math.floor(x0))), max(0, int(math.floor(y0)))
        x1, y1 = min(self.width, int(math.ceil(x1))), min(self.height, int(math.ceil(y1)))
        step = 1.0 / SUPERSAMPLE
        offsets = [(i + 0.5) * step for i in range(SUPERSAMPLE)]
        total = SUPERSAMPLE * SUPERSAMPLE
        for y in range(y0, y1):
            for x in range(x0, x1):
                hits = sum(1 for oy in offsets for ox in offsets if inside(x + ox, y + oy))
                self.blend(x, y, colour, hits / total)

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

def band_marker():
    """11 x 11: a light disc with a dark rim and a blue centre, readable over any curve colour."""
    c = Canvas(11, 11)
    c.fill(disc(5.5, 5.5, 5.4), (30, 30, 30))
    c.fill(disc(5.5, 5.5, 4.4), (240, 240, 240))
    c.fill(disc(5.5, 5.5, 1.9), (65, 105, 225))
    return c


def crossover_marker(letter, face, rim, ink):
    """16 x 16: a rounded tile carrying the filter's letter (H for high-pass, L for low-pass)."""
    c = Canvas(16, 16)
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


def close_glyph():
    """32 x 32: a light cross on transparent; the button supplies any hover background."""
    c = Canvas(32, 32)
    ink = (225, 225, 225)
    c.fill(stroke(10, 10, 22, 22, 2.6), ink)
    c.fill(stroke(22, 10, 10, 22, 2.6), ink)
    return c


def minimise_glyph():
    """32 x 32: a light bar on transparent."""
    c = Canvas(32, 32)
    c.fill(stroke(10, 20, 22, 20, 2.6), (225, 225, 225))
    return c


def scene_background():
    """563 x 311: the scene manager's dark background with a 2-pixel grey border."""
    w, h = 563, 311
    c = Canvas(w, h)
    for y in range(h):
        t = y / (h - 1)
        shade = [72 - 22 * t, 72 - 22 * t, 74 - 22 * t, 255]
        for x in range(w):
            c.pixels[y * w + x] = list(shade)
    # A slightly lighter heading band, then the border.
    for y in range(2, 44):
        for x in range(2, w - 2):
            c.pixels[y * w + x] = [82, 82, 84, 255]
    for y in range(44, 46):
        for x in range(2, w - 2):
            c.pixels[y * w + x] = [100, 100, 102, 255]
    border = [150, 150, 150, 255]
    for y in range(h):
        for x in range(w):
            if x < 2 or y < 2 or x >= w - 2 or y >= h - 2:
                c.pixels[y * w + x] = list(border)
    return c


def images():
    normal = dict(face=(72, 72, 73), rim=(200, 200, 200), ink=(255, 255, 255))
    active = dict(face=(0, 128, 0), rim=(255, 255, 255), ink=(255, 255, 255))
    return {
        "Marker.png": band_marker(),
        "H_Nor.png": crossover_marker("H", **normal),
        "H_On.png": crossover_marker("H", **active),
        "L_Nor.png": crossover_marker("L", **normal),
        "L_On.png": crossover_marker("L", **active),
        "MainClose.png": close_glyph(),
        "MainMin.png": minimise_glyph(),
        "SenceManage.png": scene_background(),
    }


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "resources", "png")
    os.makedirs(out, exist_ok=True)
    for name, canvas in images().items():
        with open(os.path.join(out, name), "wb") as f:
            f.write(canvas.png())
        print(f"{name}: {canvas.width} x {canvas.height}")


if __name__ == "__main__":
    main()
