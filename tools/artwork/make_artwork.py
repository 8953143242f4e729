#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Draws every picture of Sentalia's windows into resources/img/ and writes
resources/sentalia.qrc.

Only Pillow is needed (Debian: python3-pil).  Everything is drawn from code,
with fixed random seeds, so a run always gives the same files.

Shapes are drawn at four times their size and scaled down, which gives
smooth edges.  GIF pictures have one-bit transparency, so each icon is laid
over the colours it will sit on in its window (banner, title band, parchment)
before the fully transparent pixels are cut out.
"""

import math
import os
import random
import re
import struct
import sys

from PIL import Image, ImageChops, ImageDraw, ImageFilter, ImageFont, ImageOps

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.normpath(os.path.join(HERE, "..", ".."))
OUT = os.path.join(ROOT, "resources", "img")
QRC = os.path.join(ROOT, "resources", "sentalia.qrc")
ARTWORK_H = os.path.join(ROOT, "src", "skin", "Artwork.h")
# The program's icon for the desktop's icon theme, named after the
# application id that CMakeLists.txt sets.
ICONS = os.path.join(ROOT, "resources", "icons", "hicolor")
APP_ICON_SIZES = (16, 24, 32, 48, 64, 128, 256)

SS = 4  # supersampling factor

FONT_DIRS = ["/usr/share/fonts/opentype/comic-neue", "/usr/share/fonts/truetype/liberation2",
             "/usr/share/fonts/truetype/liberation"]


def font_path(name):
    for folder in FONT_DIRS:
        path = os.path.join(folder, name)
        if os.path.exists(path):
            return path
    sys.exit("font %s not found: install fonts-comic-neue and fonts-liberation2" % name)


COMIC_BOLD = font_path("ComicNeue-Bold.otf")
SANS_BOLD = font_path("LiberationSans-Bold.ttf")
SERIF_BOLD = font_path("LiberationSerif-Bold.ttf")

# ---------------------------------------------------------------- colours

WHITE = (255, 255, 255)
OUTLINE = (66, 112, 170)          # dark steel blue edge of every frame piece
EDGE_LIGHT = (190, 220, 248)
EDGE_MID = (138, 184, 232)
CREAM = (245, 243, 207)           # the controls' cream, also the about panel
RED = (204, 32, 36)
DARK_RED = (120, 10, 14)
GOLD = (236, 176, 40)
SKIN_DARK = (214, 150, 100)


def lerp(a, b, t):
    t = max(0.0, min(1.0, t))
    return tuple(int(round(a[i] + (b[i] - a[i]) * t)) for i in range(len(a)))


def stops_at(stops, t):
    """Colour at t (0..1) along a list of (position, colour) stops."""
    if t <= stops[0][0]:
        return stops[0][1]
    for (p0, c0), (p1, c1) in zip(stops, stops[1:]):
        if t <= p1:
            return lerp(c0, c1, (t - p0) / (p1 - p0) if p1 > p0 else 1.0)
    return stops[-1][1]


def smoothstep(e0, e1, x):
    t = max(0.0, min(1.0, (x - e0) / (e1 - e0)))
    return t * t * (3 - 2 * t)


# ---------------------------------------------------------------- canvas


class Art:
    """An RGBA canvas drawn at SS times the final size.

    Coordinates are given in design units; `design` is the width of the
    design grid (by default the final width in pixels)."""

    def __init__(self, w, h, design=None, bg=(0, 0, 0, 0), ss=SS):
        self.w, self.h = w, h
        self.ss = ss
        self.u = ss * w / (design or w)
        self.img = Image.new("RGBA", (w * ss, h * ss), bg)

    # geometry ------------------------------------------------------
    def p(self, x, y):
        return (x * self.u, y * self.u)

    def pts(self, points):
        return [self.p(x, y) for x, y in points]

    def box(self, x0, y0, x1, y1):
        return [x0 * self.u, y0 * self.u, x1 * self.u - 1, y1 * self.u - 1]

    def mask(self):
        return Image.new("L", self.img.size, 0)

    # painting --------------------------------------------------------
    def paint(self, mask, paint, opacity=1.0):
        """Lays a colour or a full-size RGBA image over the canvas through mask."""
        if isinstance(paint, Image.Image):
            src = paint.copy()
        else:
            src = Image.new("RGBA", self.img.size, tuple(paint[:3]) + (255,))
        alpha = ImageChops.multiply(src.getchannel("A"), mask)
        if opacity < 1.0:
            alpha = alpha.point(lambda v: int(v * opacity))
        src.putalpha(alpha)
        self.img = Image.alpha_composite(self.img, src)

    def vgrad(self, y0, y1, stops):
        """Full-canvas vertical gradient; y0..y1 in design units."""
        W, H = self.img.size
        col = Image.new("RGBA", (1, H))
        a, b = y0 * self.u, y1 * self.u
        for y in range(H):
            t = (y + 0.5 - a) / (b - a) if b != a else 0
            col.putpixel((0, y), tuple(stops_at(stops, t)[:3]) + (255,))
        return col.resize((W, H), Image.NEAREST)

    def hgrad(self, x0, x1, stops):
        W, H = self.img.size
        row = Image.new("RGBA", (W, 1))
        a, b = x0 * self.u, x1 * self.u
        for x in range(W):
            t = (x + 0.5 - a) / (b - a) if b != a else 0
            row.putpixel((x, 0), tuple(stops_at(stops, t)[:3]) + (255,))
        return row.resize((W, H), Image.NEAREST)

    def radial(self, cx, cy, r, inner, outer, fx=0.0, fy=0.0):
        """Full-canvas radial gradient centred at (cx+fx*r, cy+fy*r)."""
        W, H = self.img.size
        size = max(2, int(2 * r * self.u))
        g = Image.radial_gradient("L").resize((size, size), Image.BILINEAR)
        g = g.point(lambda v: min(255, int(v * 255 / 181)))  # 181 ~ radius edge of the 256 ramp
        full = Image.new("L", (W, H), 255)
        ox = int((cx + fx * r) * self.u - size / 2)
        oy = int((cy + fy * r) * self.u - size / 2)
        full.paste(g, (ox, oy))
        return ImageOps.colorize(full, inner[:3], outer[:3]).convert("RGBA")

    # outline helpers ---------------------------------------------------
    def _rank(self, mask, width, kind):
        # A wide square filter is slow; k passes of a 3 x 3 one give the same.
        k = max(1, int(round(width * self.u)))
        if k <= 2:
            return mask.filter(kind(2 * k + 1))
        for _ in range(k):
            mask = mask.filter(kind(3))
        return mask

    def erode(self, mask, width):
        """Shrinks a mask by `width` design units."""
        return self._rank(mask, width, ImageFilter.MinFilter)

    def dilate(self, mask, width):
        return self._rank(mask, width, ImageFilter.MaxFilter)

    def shape(self, mask, fill, outline=None, width=1.0, opacity=1.0):
        """Fills a shape; with an outline, the fill is inset by `width`."""
        if outline is not None:
            self.paint(mask, outline, opacity)
            self.paint(self.erode(mask, width), fill, opacity)
        else:
            self.paint(mask, fill, opacity)

    def shadow(self, mask, dx, dy, blur, opacity, colour=(0, 0, 0)):
        m = Image.new("L", mask.size, 0)
        m.paste(mask, (int(dx * self.u), int(dy * self.u)))
        m = m.filter(ImageFilter.GaussianBlur(blur * self.u))
        self.paint(m, colour, opacity)

    def glow(self, mask, grow, blur, colour, opacity):
        m = self.dilate(mask, grow) if grow > 0 else mask
        m = m.filter(ImageFilter.GaussianBlur(blur * self.u))
        self.paint(m, colour, opacity)

    def result(self):
        return self.img.resize((self.w, self.h), Image.BOX)


# mask drawing ---------------------------------------------------------


def m_ellipse(art, x0, y0, x1, y1, mask=None):
    mask = mask if mask is not None else art.mask()
    ImageDraw.Draw(mask).ellipse(art.box(x0, y0, x1, y1), fill=255)
    return mask


def m_rrect(art, x0, y0, x1, y1, r, mask=None):
    mask = mask if mask is not None else art.mask()
    d = ImageDraw.Draw(mask)
    if r > 0:
        d.rounded_rectangle(art.box(x0, y0, x1, y1), radius=r * art.u, fill=255)
    else:
        d.rectangle(art.box(x0, y0, x1, y1), fill=255)
    return mask


def m_poly(art, points, mask=None):
    mask = mask if mask is not None else art.mask()
    ImageDraw.Draw(mask).polygon(art.pts(points), fill=255)
    return mask


def m_capsule(art, a, b, width, mask=None):
    """A stroke with round ends from a to b."""
    mask = mask if mask is not None else art.mask()
    d = ImageDraw.Draw(mask)
    (x0, y0), (x1, y1) = art.p(*a), art.p(*b)
    r = width * art.u / 2
    dx, dy = x1 - x0, y1 - y0
    n = math.hypot(dx, dy) or 1
    nx, ny = -dy / n * r, dx / n * r
    d.polygon([(x0 + nx, y0 + ny), (x1 + nx, y1 + ny), (x1 - nx, y1 - ny), (x0 - nx, y0 - ny)], fill=255)
    d.ellipse([x0 - r, y0 - r, x0 + r, y0 + r], fill=255)
    d.ellipse([x1 - r, y1 - r, x1 + r, y1 + r], fill=255)
    return mask


def m_polyline(art, points, width, mask=None):
    mask = mask if mask is not None else art.mask()
    for a, b in zip(points, points[1:]):
        m_capsule(art, a, b, width, mask)
    return mask


def m_text(art, text, font_file, size, cx, cy, mask=None):
    """Text centred (by its ink) on cx, cy; size in design units."""
    mask = mask if mask is not None else art.mask()
    font = ImageFont.truetype(font_file, max(1, int(round(size * art.u))))
    d = ImageDraw.Draw(mask)
    x0, y0, x1, y1 = d.textbbox((0, 0), text, font=font)
    px, py = art.p(cx, cy)
    d.text((px - (x0 + x1) / 2, py - (y0 + y1) / 2), text, font=font, fill=255)
    return mask


def qbez(p0, p1, p2, n=24):
    return [((1 - t) ** 2 * p0[0] + 2 * (1 - t) * t * p1[0] + t * t * p2[0],
             (1 - t) ** 2 * p0[1] + 2 * (1 - t) * t * p1[1] + t * t * p2[1])
            for t in (i / n for i in range(n + 1))]


def rotate_pts(points, cx, cy, deg):
    a = math.radians(deg)
    c, s = math.cos(a), math.sin(a)
    return [(cx + (x - cx) * c - (y - cy) * s, cy + (x - cx) * s + (y - cy) * c) for x, y in points]


# ---------------------------------------------------------------- output


def save_bmp(img, name):
    img.convert("RGB").save(os.path.join(OUT, name), "BMP")


def to_palette(rgb, dither):
    pal = rgb.quantize(colors=255 if dither is None else 256, method=Image.Quantize.MEDIANCUT)
    if dither:
        return rgb.quantize(palette=pal, dither=Image.Dither.FLOYDSTEINBERG)
    return pal


def save_gif(img, name, matte=None, dither=False, cut=40):
    """Writes a GIF.  With a matte colour, pixels whose alpha is below `cut`
    become transparent and the rest are laid over the matte."""
    if matte is None:
        to_palette(img.convert("RGB"), Image.Dither.FLOYDSTEINBERG if dither else None) \
            .save(os.path.join(OUT, name), "GIF", optimize=False)
        return
    base = Image.new("RGBA", img.size, tuple(matte) + (255,))
    rgb = Image.alpha_composite(base, img).convert("RGB")
    q = to_palette(rgb, None)
    palette = q.getpalette()[:255 * 3]
    palette += [0] * (255 * 3 - len(palette)) + list(matte)
    q.putpalette(palette)
    alpha = img.getchannel("A")
    hole = alpha.point(lambda v: 255 if v < cut else 0)
    q.paste(255, (0, 0) + img.size, hole)
    q.save(os.path.join(OUT, name), "GIF", transparency=255, optimize=False)


def save_ico(images, name):
    """Writes an icon file with 32-bit images, in the order given."""
    blobs = []
    for im in images:
        w, h = im.size
        im = im.convert("RGBA")
        rows = []
        for y in range(h - 1, -1, -1):
            row = bytearray()
            for x in range(w):
                r, g, b, a = im.getpixel((x, y))
                row += bytes((b, g, r, a))
            rows.append(bytes(row))
        stride = ((w + 31) // 32) * 4
        mask_rows = []
        for y in range(h - 1, -1, -1):
            bits = bytearray(stride)
            for x in range(w):
                if im.getpixel((x, y))[3] < 128:
                    bits[x // 8] |= 0x80 >> (x % 8)
            mask_rows.append(bytes(bits))
        pixels = b"".join(rows) + b"".join(mask_rows)
        header = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, 32, 0, len(pixels), 0, 0, 0, 0)
        blobs.append((w, h, header + pixels))
    out = struct.pack("<HHH", 0, 1, len(blobs))
    offset = 6 + 16 * len(blobs)
    for w, h, data in blobs:
        out += struct.pack("<BBBBHHII", w % 256, h % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    for _, _, data in blobs:
        out += data
    with open(os.path.join(OUT, name), "wb") as f:
        f.write(out)


def save_png(img, name):
    img.save(os.path.join(OUT, name), "PNG", optimize=True)


# ---------------------------------------------------------------- frame pieces

TITLE_ROWS = 41
BOTTOM_ROWS = 21
BANNER_ROWS = 47


def title_row(y):
    """Colour of row y of the light-blue title band (41 rows)."""
    if y == 0:
        return OUTLINE
    if y == 1:
        return (248, 252, 255)
    if y == 39:
        return (118, 164, 216)
    if y == 40:
        return (86, 132, 188)
    return stops_at([(0.0, (226, 240, 254)), (0.5, (196, 224, 250)), (1.0, (160, 202, 242))], (y - 2) / 36)


def bottom_row(y):
    """Colour of row y of the bottom strip (21 rows), also the status bar."""
    if y == 0:
        return (126, 172, 222)
    if y == 1:
        return (248, 252, 255)
    if y == 19:
        return (118, 164, 216)
    if y == 20:
        return OUTLINE
    return stops_at([(0.0, (228, 241, 254)), (1.0, (172, 210, 245))], (y - 2) / 16)


def banner_row(y):
    """Colour of row y of the results window's banner (47 rows)."""
    if y == 0:
        return (250, 253, 255)
    if y == 44:
        return (112, 160, 214)
    if y == 45:
        return (80, 126, 184)
    if y == 46:
        return (62, 106, 164)
    return stops_at([(0.0, (232, 244, 255)), (0.45, (190, 222, 250)), (1.0, (132, 182, 234))], (y - 1) / 42)


def band(width, rows, row_colour):
    img = Image.new("RGB", (1, rows))
    for y in range(rows):
        img.putpixel((0, y), row_colour(y))
    return img.resize((width, rows), Image.NEAREST)


def rounded_corner_piece(width, rows, row_colour, top):
    """A left corner piece: the band with its outer corner rounded (radius 10,
    as the window outline) and a one-pixel edge line along the curve."""
    big = band(width, rows, row_colour).resize((width * SS, rows * SS), Image.NEAREST).convert("RGBA")
    W, H = big.size
    r = 10 * SS
    outer = Image.new("L", (W, H), 0)
    inner = Image.new("L", (W, H), 0)
    if top:
        ImageDraw.Draw(outer).rounded_rectangle([0, 0, W + 2 * r, H + 2 * r], radius=r, fill=255)
        ImageDraw.Draw(inner).rounded_rectangle([SS, SS, W + 2 * r, H + 2 * r], radius=r - SS, fill=255)
    else:
        ImageDraw.Draw(outer).rounded_rectangle([0, -2 * r, W + 2 * r, H - 1], radius=r, fill=255)
        ImageDraw.Draw(inner).rounded_rectangle([SS, -2 * r, W + 2 * r, H - 1 - SS], radius=r - SS, fill=255)
    img = Image.new("RGBA", (W, H), WHITE + (255,))
    img.paste(Image.new("RGBA", (W, H), OUTLINE + (255,)), (0, 0), outer)
    img.paste(big, (0, 0), inner)
    return img.resize((width, rows), Image.BOX).convert("RGB")


def make_frame_pieces():
    save_bmp(band(222, TITLE_ROWS, title_row), "title_strip.bmp")
    tl = rounded_corner_piece(16, TITLE_ROWS, title_row, top=True)
    save_bmp(tl, "corner_top_left.bmp")
    save_bmp(ImageOps.mirror(tl), "corner_top_right.bmp")
    save_bmp(band(228, BOTTOM_ROWS, bottom_row), "bottom_strip.bmp")
    bl = rounded_corner_piece(16, BOTTOM_ROWS, bottom_row, top=False)
    save_bmp(bl, "corner_bottom_left.bmp")
    save_bmp(ImageOps.mirror(bl), "corner_bottom_right.bmp")
    left = Image.new("RGB", (3, 140))
    for x, c in enumerate([OUTLINE, EDGE_LIGHT, EDGE_MID]):
        ImageDraw.Draw(left).line([(x, 0), (x, 139)], fill=c)
    save_bmp(left, "border_left.bmp")
    save_bmp(ImageOps.mirror(left), "border_right.bmp")


# ---------------------------------------------------------------- parchment


def smooth_noise(rng, w, h, cells_x, cells_y):
    small = Image.new("L", (cells_x, cells_y))
    small.putdata([rng.randint(0, 255) for _ in range(cells_x * cells_y)])
    return list(small.resize((w, h), Image.BICUBIC).getdata())


def parchment(w, h, seed, edge=1.0, burn=0.0):
    """A sheet of parchment: warm cream with soft blotches, a fine grain,
    faint fibres and darker edges."""
    rng = random.Random(seed)
    n1 = smooth_noise(rng, w, h, max(3, w // 90), max(3, h // 90))
    n2 = smooth_noise(rng, w, h, max(4, w // 30), max(4, h // 30))
    n3 = smooth_noise(rng, w, h, max(6, w // 28), max(6, h // 28))
    light, dark, rim = (250, 243, 222), (232, 214, 174), (176, 134, 84)
    half = min(w, h) / 2
    data = []
    i = 0
    for y in range(h):
        for x in range(w):
            d = min(x, w - 1 - x, y, h - 1 - y) / half
            cx, cy = (x / (w - 1) - 0.5) * 2, (y / (h - 1) - 0.5) * 2
            corner = max(0.0, (cx * cx + cy * cy) - 1.1) * 0.35
            wobble = (n3[i] - 128) / 128 * 0.03
            e = (1 - smoothstep(0.0, 0.34, d + wobble)) ** 1.6 * edge + corner * edge
            v = 0.30 + (n1[i] - 128) / 128 * 0.34 + (n2[i] - 128) / 128 * 0.12 + e * 0.9
            c = lerp(light, dark, v)
            if burn:
                b = (1 - smoothstep(0.0, 0.09, d + wobble)) ** 1.5 * burn
                c = lerp(c, rim, b)
            g = rng.randint(-3, 3)
            data.append((c[0] + g, c[1] + g, c[2] + g))
            i += 1
    img = Image.new("RGB", (w, h))
    img.putdata(data)
    # faint fibres
    fib = Image.new("RGBA", (w, h), (0, 0, 0, 0))
    d = ImageDraw.Draw(fib)
    for _ in range(int(w * h / 2500)):
        x, y = rng.uniform(0, w), rng.uniform(0, h)
        ang = rng.uniform(0, math.pi)
        ln = rng.uniform(6, 22)
        bend = rng.uniform(-3, 3)
        p0 = (x, y)
        p2 = (x + math.cos(ang) * ln, y + math.sin(ang) * ln)
        p1 = ((p0[0] + p2[0]) / 2 + bend, (p0[1] + p2[1]) / 2 - bend)
        tone = rng.choice([(150, 120, 80, 18), (255, 255, 245, 34)])
        d.line(qbez(p0, p1, p2, 8), fill=tone, width=1)
    img = Image.alpha_composite(img.convert("RGBA"), fib)
    return img.convert("RGB")


PARCHMENT_MATTE = (242, 231, 204)


def make_parchments():
    save_gif(parchment(450, 294, seed=11, edge=0.8), "backdrop.gif", dither=True)
    save_bmp(parchment(707, 527, seed=23, edge=1.0, burn=0.55), "parchment.bmp")


# ---------------------------------------------------------------- logo


def draw_guillemet(art, cx, cy, size, width, colour, right, single=False):
    """« (or » when right) centred on cx, cy; size is its height.  Single
    draws one chevron, for the smallest icons."""
    h = size / 2
    w = size * 0.42
    gap = size * 0.42
    for k in ((0.0,) if single else (-0.5, 0.5)):
        x = cx + k * gap
        if right:
            pts = [(x - w / 2, cy - h), (x + w / 2, cy), (x - w / 2, cy + h)]
        else:
            pts = [(x + w / 2, cy - h), (x - w / 2, cy), (x + w / 2, cy + h)]
        art.paint(m_polyline(art, pts, width), colour)


def draw_book(art, cx, cy, W, detail=2, aspect=0.62, thin=0.0):
    """The program's logo: an open book whose pages carry « and ».  Thin is the
    thinnest outline, in design units (a whole pixel for the smallest icons)."""
    H = W * aspect
    cover_col = [(0.0, (70, 130, 210)), (1.0, (28, 66, 140))]

    def page(sign, grow=0.0, drop=0.0):
        st = (cx, cy - H * 0.28 + drop)
        sb = (cx, cy + H * 0.44 + drop)
        ot = (cx + sign * (W * 0.47 + grow), cy - H * 0.46 + drop * 0.3)
        ob = (cx + sign * (W * 0.47 + grow), cy + H * 0.30 + drop)
        top = qbez(st, (cx + sign * W * 0.22, cy - H * 0.60 + drop * 0.5), ot)
        bottom = qbez(ob, (cx + sign * W * 0.22, cy + H * 0.22 + drop), sb)
        return top + bottom

    cover = art.mask()
    for s in (-1, 1):
        m_poly(art, page(s, grow=W * 0.035, drop=H * 0.10), cover)
    art.shadow(cover, W * 0.015, W * 0.03, W * 0.03, 0.35)
    art.shape(cover, art.vgrad(cy - H * 0.5, cy + H * 0.6, cover_col), outline=(20, 44, 100),
              width=max(0.6, W * 0.02, thin))
    if detail >= 1:
        # page block edges beneath the top pages
        for s in (-1, 1):
            pm = m_poly(art, page(s, grow=W * 0.012, drop=H * 0.05))
            art.shape(pm, (226, 214, 186), outline=(120, 104, 80), width=max(0.5, W * 0.012, thin * 0.75))
    for s in (-1, 1):
        pm = m_poly(art, page(s))
        shade = art.hgrad(cx, cx + s * W * 0.47, [(0.0, (222, 208, 176)), (0.25, (250, 244, 226)),
                                                   (1.0, (255, 252, 242))])
        art.shape(pm, shade, outline=(112, 96, 72), width=max(0.5, W * 0.016, thin))
        if detail >= 2:
            for k in range(5):
                yy = cy - H * 0.20 + k * H * 0.11
                x0 = cx + s * W * 0.08
                x1 = cx + s * W * 0.40
                line = qbez((x0, yy), ((x0 + x1) / 2, yy - H * 0.06), (x1, yy - H * 0.08), 10)
                art.paint(m_polyline(art, line, max(0.5, W * 0.012)), (196, 186, 166))
    # spine
    art.paint(m_capsule(art, (cx, cy - H * 0.27), (cx, cy + H * 0.43), max(0.5, W * 0.02, thin)), (120, 100, 72))
    # the quotation marks
    single = detail < 1
    gw = W * (0.055 if not single else 0.085)
    gs = W * (0.20 if not single else 0.30)
    draw_guillemet(art, cx - W * 0.24, cy - H * 0.04, gs, gw, RED, False, single)
    draw_guillemet(art, cx + W * 0.24, cy - H * 0.04, gs, gw, RED, True, single)
    if detail >= 1:
        # bookmark ribbon hanging from the spine
        rib = [(cx - W * 0.02, cy + H * 0.40), (cx + W * 0.05, cy + H * 0.40),
               (cx + W * 0.06, cy + H * 0.72), (cx + W * 0.025, cy + H * 0.64),
               (cx - W * 0.01, cy + H * 0.74)]
        art.shape(m_poly(art, rib), (214, 40, 44), outline=DARK_RED, width=max(0.4, W * 0.008, thin * 0.75))


def icon_main(size):
    art = Art(size, size, design=32)
    if size >= 32:
        draw_book(art, 16, 15.2, 31, detail=2, aspect=0.74)
    else:
        draw_book(art, 16, 14.6, 32, detail=0, aspect=0.8)
    return art.result()


def app_id():
    text = open(os.path.join(ROOT, "CMakeLists.txt"), encoding="utf-8").read()
    return re.search(r"set\(SENTALIA_APP_ID\s+([\w.]+)\)", text).group(1)


def app_icon(size):
    """The desktop icon at one size.  From 48 pixels up it is the main
    window's book; smaller, the book is drawn for its size: no lines of
    text, one bold chevron a page below 32 pixels, and outlines at least a
    whole pixel wide so the shape holds on a panel or in a menu."""
    if size >= 48:
        return icon_main(size)
    art = Art(size, size, design=32)
    pixel = 32 / size
    if size >= 32:
        draw_book(art, 16, 15.2, 31, detail=1, aspect=0.74, thin=pixel)
    else:
        draw_book(art, 16, 14.6, 32, detail=0, aspect=0.8, thin=pixel)
    return art.result()


def svg_colour(c):
    return "#%02x%02x%02x" % tuple(c[:3])


def svg_number(v):
    return ("%.3f" % v).rstrip("0").rstrip(".")


class SvgBook:
    """The book of draw_book(detail=2) as scalable vector graphics, shape for
    shape with the same geometry, gradients and colours, so the icon theme's
    SVG and PNGs are one picture.  An outline lies inside its shape, as on
    the raster: a stroke twice as wide, clipped to the shape."""

    def __init__(self, cx, cy, W, aspect):
        self.cx, self.cy, self.W, self.H = cx, cy, W, W * aspect
        self.defs, self.body, self.ids = [], [], 0

    def new_id(self, kind):
        self.ids += 1
        return "%s%d" % (kind, self.ids)

    @staticmethod
    def pt(p):
        return "%s,%s" % (svg_number(p[0]), svg_number(p[1]))

    def page_parts(self, sign, grow=0.0, drop=0.0):
        cx, cy, W, H = self.cx, self.cy, self.W, self.H
        st = (cx, cy - H * 0.28 + drop)
        sb = (cx, cy + H * 0.44 + drop)
        ot = (cx + sign * (W * 0.47 + grow), cy - H * 0.46 + drop * 0.3)
        ob = (cx + sign * (W * 0.47 + grow), cy + H * 0.30 + drop)
        top_ctrl = (cx + sign * W * 0.22, cy - H * 0.60 + drop * 0.5)
        bottom_ctrl = (cx + sign * W * 0.22, cy + H * 0.22 + drop)
        return st, top_ctrl, ot, ob, bottom_ctrl, sb

    def page(self, sign, grow=0.0, drop=0.0):
        st, tc, ot, ob, bc, sb = self.page_parts(sign, grow, drop)
        return "M%s Q%s %s L%s Q%s %s Z" % tuple(self.pt(p) for p in (st, tc, ot, ob, bc, sb))

    def both_pages(self, grow=0.0, drop=0.0):
        """The outline of the two pages together, without the spine between."""
        lst, ltc, lot, lob, lbc, lsb = self.page_parts(-1, grow, drop)
        rst, rtc, rot, rob, rbc, rsb = self.page_parts(1, grow, drop)
        return "M%s Q%s %s Q%s %s L%s Q%s %s Q%s %s Z" % tuple(
            self.pt(p) for p in (lot, ltc, lst, rtc, rot, rob, rbc, rsb, lbc, lob))

    def gradient(self, a, b, stops, vertical):
        gid = self.new_id("g")
        x1, y1, x2, y2 = (0, a, 0, b) if vertical else (a, 0, b, 0)
        self.defs.append('<linearGradient id="%s" gradientUnits="userSpaceOnUse" x1="%s" y1="%s" x2="%s" y2="%s">%s'
                         '</linearGradient>' % (gid, *(svg_number(v) for v in (x1, y1, x2, y2)), "".join(
                             '<stop offset="%s" stop-color="%s"/>' % (svg_number(o), svg_colour(c))
                             for o, c in stops)))
        return "url(#%s)" % gid

    def shape(self, d, fill, outline, width):
        cid = self.new_id("c")
        self.defs.append('<clipPath id="%s"><path d="%s"/></clipPath>' % (cid, d))
        self.body.append('<path d="%s" fill="%s"/>' % (d, fill))
        self.body.append('<path d="%s" fill="none" stroke="%s" stroke-width="%s" stroke-linejoin="round" '
                         'clip-path="url(#%s)"/>' % (d, svg_colour(outline), svg_number(2 * width), cid))

    def stroke(self, points, width, colour):
        d = "M" + " L".join(self.pt(p) for p in points)
        self.body.append('<path d="%s" fill="none" stroke="%s" stroke-width="%s" stroke-linecap="round" '
                         'stroke-linejoin="round"/>' % (d, svg_colour(colour), svg_number(width)))

    def draw(self):
        cx, cy, W, H = self.cx, self.cy, self.W, self.H
        cover = self.both_pages(grow=W * 0.035, drop=H * 0.10)
        fid = self.new_id("f")
        self.defs.append('<filter id="%s" x="-20%%" y="-20%%" width="140%%" height="140%%">'
                         '<feGaussianBlur stdDeviation="%s"/></filter>' % (fid, svg_number(W * 0.03)))
        self.body.append('<path d="%s" fill="#000000" opacity="0.35" transform="translate(%s %s)" filter="url(#%s)"/>'
                         % (cover, svg_number(W * 0.015), svg_number(W * 0.03), fid))
        self.shape(cover, self.gradient(cy - H * 0.5, cy + H * 0.6, [(0.0, (70, 130, 210)), (1.0, (28, 66, 140))],
                                        True), (20, 44, 100), max(0.6, W * 0.02))
        for s in (-1, 1):
            self.shape(self.page(s, grow=W * 0.012, drop=H * 0.05), svg_colour((226, 214, 186)), (120, 104, 80),
                       max(0.5, W * 0.012))
        for s in (-1, 1):
            shade = self.gradient(cx, cx + s * W * 0.47, [(0.0, (222, 208, 176)), (0.25, (250, 244, 226)),
                                                          (1.0, (255, 252, 242))], False)
            self.shape(self.page(s), shade, (112, 96, 72), max(0.5, W * 0.016))
            for k in range(5):
                yy = cy - H * 0.20 + k * H * 0.11
                x0, x1 = cx + s * W * 0.08, cx + s * W * 0.40
                self.stroke(qbez((x0, yy), ((x0 + x1) / 2, yy - H * 0.06), (x1, yy - H * 0.08), 10),
                            max(0.5, W * 0.012), (196, 186, 166))
        self.stroke([(cx, cy - H * 0.27), (cx, cy + H * 0.43)], max(0.5, W * 0.02), (120, 100, 72))
        size, width = W * 0.20, W * 0.055
        for gx, right in ((cx - W * 0.24, False), (cx + W * 0.24, True)):
            h, w, gap = size / 2, size * 0.42, size * 0.42
            for k in (-0.5, 0.5):
                x = gx + k * gap
                tip, back = (x + w / 2, x - w / 2) if right else (x - w / 2, x + w / 2)
                self.stroke([(back, cy - H * 0.04 - h), (tip, cy - H * 0.04), (back, cy - H * 0.04 + h)], width, RED)
        rib = [(cx - W * 0.02, cy + H * 0.40), (cx + W * 0.05, cy + H * 0.40), (cx + W * 0.06, cy + H * 0.72),
               (cx + W * 0.025, cy + H * 0.64), (cx - W * 0.01, cy + H * 0.74)]
        self.shape("M" + " L".join(self.pt(p) for p in rib) + " Z", svg_colour((214, 40, 44)), DARK_RED,
                   max(0.4, W * 0.008))

    def document(self, size):
        self.draw()
        return "\n".join(['<?xml version="1.0" encoding="UTF-8"?>',
                          "<!-- SPDX-License-Identifier: GPL-3.0-or-later -->",
                          "<!-- Written by tools/artwork/make_artwork.py: the book of the PNG icons. -->",
                          '<svg xmlns="http://www.w3.org/2000/svg" width="%d" height="%d" viewBox="0 0 32 32">'
                          % (size, size),
                          "<title>Sentalia</title>",
                          "<defs>"] + self.defs + ["</defs>"] + self.body + ["</svg>", ""])


def make_app_icons():
    """The book at the sizes of the desktop's icon theme, and scalable."""
    for size in APP_ICON_SIZES:
        folder = os.path.join(ICONS, "%dx%d" % (size, size), "apps")
        os.makedirs(folder, exist_ok=True)
        app_icon(size).save(os.path.join(folder, app_id() + ".png"), "PNG", optimize=True)
    folder = os.path.join(ICONS, "scalable", "apps")
    os.makedirs(folder, exist_ok=True)
    # The same placement as icon_main at 32 pixels and up.
    with open(os.path.join(folder, app_id() + ".svg"), "w", encoding="utf-8") as f:
        f.write(SvgBook(16, 15.2, 31, 0.74).document(256))


# ---------------------------------------------------------------- small icons


def icon_close(size):
    art = Art(size, size, design=32)
    disc = m_ellipse(art, 1.5, 1.5, 30.5, 30.5)
    art.shadow(disc, 0.6, 0.9, 0.9, 0.35)
    art.shape(disc, art.vgrad(1.5, 30.5, [(0.0, (255, 120, 100)), (0.5, (222, 40, 30)),
                                          (1.0, (150, 12, 10))]), outline=(110, 10, 10), width=1.1)
    gloss = m_ellipse(art, 6, 3.2, 26, 15)
    art.paint(gloss, art.vgrad(3.2, 15, [(0.0, (255, 255, 255)), (1.0, (255, 170, 160))]), 0.55)
    cross = art.mask()
    t = 4.3 if size >= 32 else 5.0
    m_capsule(art, (10.5, 10.5), (21.5, 21.5), t, cross)
    m_capsule(art, (21.5, 10.5), (10.5, 21.5), t, cross)
    art.shadow(cross, 0.5, 0.7, 0.6, 0.45, (90, 0, 0))
    art.paint(cross, WHITE)
    return art.result()


def draw_magnifier(art, cx, cy, r, handle_to, ring, lens_col=(214, 236, 255), letter=None):
    hx, hy = handle_to
    ang = math.atan2(hy - cy, hx - cx)
    start = (cx + math.cos(ang) * (r + ring * 0.3), cy + math.sin(ang) * (r + ring * 0.3))
    handle = m_capsule(art, start, (hx, hy), ring * 1.55)
    lens = m_ellipse(art, cx - r - ring / 2, cy - r - ring / 2, cx + r + ring / 2, cy + r + ring / 2)
    whole = ImageChops.lighter(handle, lens)
    art.shadow(whole, ring * 0.35, ring * 0.5, ring * 0.5, 0.35)
    art.shape(handle, art.vgrad(cy, hy, [(0.0, (120, 76, 40)), (1.0, (60, 32, 14))]),
              outline=(36, 20, 8), width=max(0.5, ring * 0.25))
    collar = m_capsule(art, start, (start[0] + math.cos(ang) * ring * 1.2, start[1] + math.sin(ang) * ring * 1.2),
                       ring * 1.7)
    art.shape(collar, (150, 156, 170), outline=(60, 64, 80), width=max(0.5, ring * 0.22))
    art.shape(lens, art.vgrad(cy - r, cy + r, [(0.0, (214, 220, 232)), (0.5, (120, 130, 150)),
                                                (1.0, (70, 78, 96))]), outline=(40, 44, 60),
              width=max(0.5, ring * 0.25))
    glass = m_ellipse(art, cx - r + ring / 2, cy - r + ring / 2, cx + r - ring / 2, cy + r - ring / 2)
    art.paint(glass, art.radial(cx, cy, r * 1.1, (250, 253, 255), lens_col, -0.3, -0.35))
    if letter:
        art.paint(m_text(art, letter, SANS_BOLD, r * 1.45, cx, cy + r * 0.02), (28, 70, 150))
    shine = art.mask()
    ImageDraw.Draw(shine).arc(art.box(cx - r * 0.72, cy - r * 0.72, cx + r * 0.72, cy + r * 0.72),
                              200, 260, fill=255, width=max(1, int(ring * 0.45 * art.u)))
    art.paint(shine, WHITE, 0.9)


def icon_search(size):
    art = Art(size, size, design=32)
    if size >= 32:
        draw_magnifier(art, 13, 13, 9.5, (28.5, 28.5), 3.0, letter="A")
    else:
        draw_magnifier(art, 12.5, 12.5, 9.0, (28.5, 28.5), 4.2, letter="A")
    return art.result()


def draw_page(art, x0, y0, x1, y1, fold, lines=0, line_col=(150, 178, 220), outline=(96, 116, 150)):
    body = [(x0, y0), (x1 - fold, y0), (x1, y0 + fold), (x1, y1), (x0, y1)]
    m = m_poly(art, body)
    art.shadow(m, 0.8, 1.0, 0.9, 0.35)
    art.shape(m, art.vgrad(y0, y1, [(0.0, (255, 255, 255)), (1.0, (232, 238, 248))]), outline=outline,
              width=max(0.6, (x1 - x0) / 26))
    for k in range(lines):
        yy = y0 + fold + 2.5 + k * (y1 - y0 - fold - 4) / max(1, lines)
        art.paint(m_capsule(art, (x0 + 3, yy), (x1 - 3 - (4 if k == lines - 1 else 0), yy), 0.9), line_col)
    flap = m_poly(art, [(x1 - fold, y0), (x1 - fold, y0 + fold), (x1, y0 + fold)])
    art.shape(flap, art.vgrad(y0, y0 + fold, [(0.0, (250, 250, 252)), (1.0, (196, 206, 222))]),
              outline=outline, width=max(0.6, (x1 - x0) / 26))


def draw_pencil(art, a, b, width):
    """A yellow pencil from its tip a to its end b."""
    ax, ay = a
    bx, by = b
    L = math.hypot(bx - ax, by - ay)
    ux, uy = (bx - ax) / L, (by - ay) / L
    nx, ny = -uy * width / 2, ux * width / 2
    tip_len = width * 1.3
    t = (ax + ux * tip_len, ay + uy * tip_len)
    e = (bx - ux * width * 0.9, by - uy * width * 0.9)
    body = m_poly(art, [(t[0] + nx, t[1] + ny), (e[0] + nx, e[1] + ny), (e[0] - nx, e[1] - ny),
                        (t[0] - nx, t[1] - ny)])
    wood = m_poly(art, [(ax, ay), (t[0] + nx, t[1] + ny), (t[0] - nx, t[1] - ny)])
    eraser = m_poly(art, [(e[0] + nx, e[1] + ny), (bx + nx, by + ny), (bx - nx, by - ny), (e[0] - nx, e[1] - ny)])
    whole = ImageChops.lighter(ImageChops.lighter(body, wood), eraser)
    art.shadow(whole, 0.7, 0.9, 0.8, 0.35)
    ow = max(0.5, width * 0.16)
    art.paint(whole, (70, 50, 20))
    art.paint(art.erode(body, ow), (250, 196, 40))
    stripe = m_capsule(art, (t[0] + nx * 0.1, t[1] + ny * 0.1), (e[0] + nx * 0.1, e[1] + ny * 0.1), width * 0.22)
    art.paint(ImageChops.multiply(stripe, art.erode(body, ow)), (255, 230, 130))
    art.paint(art.erode(wood, ow), (240, 206, 160))
    lead = m_poly(art, [(ax, ay), (ax + ux * tip_len * 0.4 + nx * 0.4, ay + uy * tip_len * 0.4 + ny * 0.4),
                        (ax + ux * tip_len * 0.4 - nx * 0.4, ay + uy * tip_len * 0.4 - ny * 0.4)])
    art.paint(lead, (50, 50, 60))
    art.paint(art.erode(eraser, ow), (236, 120, 130))


def icon_new(size):
    art = Art(size, size, design=32)
    if size >= 32:
        draw_page(art, 4, 2, 24, 29, 6, lines=5)
        draw_pencil(art, (14, 26), (29.5, 7), 5.2)
        draw_star(art, 6.5, 25.5, 4.2, GOLD)
    else:
        draw_page(art, 3, 1.5, 23, 30, 7, lines=3, line_col=(120, 150, 210))
        draw_pencil(art, (15, 27), (30.5, 6), 7.0)
    return art.result()


def draw_star(art, cx, cy, r, colour, points=5, inner=0.45, outline=(150, 96, 10)):
    pts = []
    for k in range(points * 2):
        rr = r if k % 2 == 0 else r * inner
        a = -math.pi / 2 + k * math.pi / points
        pts.append((cx + math.cos(a) * rr, cy + math.sin(a) * rr))
    m = m_poly(art, pts)
    art.shape(m, art.vgrad(cy - r, cy + r, [(0.0, (255, 240, 150)), (1.0, colour)]), outline=outline,
              width=max(0.4, r * 0.12))


def icon_user(size):
    art = Art(size, size, design=32)
    body = m_ellipse(art, 4, 18, 28, 42)
    body = ImageChops.multiply(body, m_rrect(art, 0, 0, 32, 30.5, 0))
    head = m_ellipse(art, 9.5, 2, 22.5, 16)
    art.shadow(ImageChops.lighter(body, head), 0.6, 0.8, 0.8, 0.3)
    art.shape(body, art.vgrad(18, 31, [(0.0, (96, 156, 230)), (1.0, (34, 80, 160))]), outline=(20, 44, 100),
              width=1.0 if size >= 32 else 1.6)
    collar = m_poly(art, [(12.5, 18.6), (16, 24.5), (19.5, 18.6)])
    art.paint(collar, WHITE)
    art.shape(head, art.radial(16, 9, 7.5, (255, 230, 200), SKIN_DARK, -0.25, -0.3), outline=(120, 70, 40),
              width=1.0 if size >= 32 else 1.6)
    hair = ImageChops.multiply(head, m_ellipse(art, 8.5, 0.8, 23.5, 10.5))
    hair = ImageChops.subtract(hair, m_ellipse(art, 10, 6.2, 22, 16))
    art.paint(hair, (110, 66, 30))
    return art.result()


# ---------------------------------------------------------------- banner and counter


def banner_background(w, h, y_offset):
    """The piece of the banner a tool picture will lie on."""
    img = band(w, BANNER_ROWS, banner_row).crop((0, y_offset, w, y_offset + h))
    return img.convert("RGBA")


def make_banner():
    save_bmp(band(360, BANNER_ROWS, banner_row), "banner_middle.bmp")
    for name, right in (("banner_left.bmp", False), ("banner_right.bmp", True)):
        art = Art(43, 47)
        art.img = band(43, BANNER_ROWS, banner_row).resize((43 * SS, 47 * SS), Image.NEAREST).convert("RGBA")
        cx, cy, r = 21.5, 22.5, 16.5
        disc = m_ellipse(art, cx - r, cy - r, cx + r, cy + r)
        art.shadow(disc, 0.8, 1.2, 1.2, 0.35, (20, 50, 100))
        art.shape(disc, art.vgrad(cy - r, cy + r, [(0.0, (120, 170, 230)), (1.0, (44, 92, 166))]),
                  outline=(30, 62, 120), width=1.0)
        face = m_ellipse(art, cx - r + 3, cy - r + 3, cx + r - 3, cy + r - 3)
        art.shape(face, art.radial(cx, cy, r, (255, 255, 255), (226, 236, 248), -0.2, -0.3),
                  outline=(150, 180, 220), width=0.8)
        draw_guillemet(art, cx + (0.6 if right else -0.6), cy, 15, 3.3, RED, right)
        save_bmp(art.result(), name)


COUNTER_TOP = 13      # rows of the counter frame hidden above its box
COUNTER_BOTTOM = 44   # last row of the tab


def counter_piece(width, left_end):
    """Left end (or middle when not left_end) of the counter box's frame: a
    light tab hanging below the banner with rounded lower corners."""
    art = Art(width, 47, bg=WHITE + (255,))
    x0 = 3 if left_end else -20
    tab = m_rrect(art, x0, -20, width + 20, COUNTER_BOTTOM + 1, 11)
    art.shadow(tab, 1.0, 1.2, 1.0, 0.28, (40, 60, 90))
    art.shape(tab, OUTLINE, outline=None)
    inner = art.erode(tab, 1.0)
    art.paint(inner, art.vgrad(COUNTER_TOP, COUNTER_BOTTOM, [(0.0, (250, 252, 255)), (0.55, (226, 239, 253)),
                                                               (1.0, (192, 220, 248))]))
    hl = ImageChops.subtract(inner, art.erode(tab, 2.0))
    art.paint(hl, WHITE, 0.7)
    return art.result()


def make_counter():
    left = counter_piece(62, True)
    save_bmp(left, "counter_left.bmp")
    save_bmp(ImageOps.mirror(left), "counter_right.bmp")
    mid = counter_piece(20, False)
    col = mid.crop((10, 0, 11, 47))
    save_bmp(col.resize((221, 47), Image.NEAREST), "counter_middle.bmp")


# ---------------------------------------------------------------- tool pictures


def tool_new():
    art = Art(36, 40)
    draw_page(art, 7, 4, 29, 37, 7)
    draw_star(art, 7.5, 8.5, 5.0, GOLD)
    return art


def printer_art(hot):
    art = Art(40, 40)
    body = m_rrect(art, 3.5, 14, 36.5, 30.5, 3.5)
    paper_in = m_rrect(art, 11, 3.5, 29, 17, 0.8)
    tray = m_poly(art, [(8, 27), (32, 27), (34.5, 37), (5.5, 37)])
    whole = ImageChops.lighter(ImageChops.lighter(body, paper_in), tray)
    if hot:
        art.glow(whole, 1.5, 2.2, (255, 246, 170), 0.95)
        art.glow(whole, 0.3, 1.0, (255, 255, 235), 0.9)
    else:
        art.shadow(whole, 0.8, 1.1, 1.0, 0.35)
    if hot:
        body_col = [(0.0, (150, 196, 250)), (0.35, (70, 130, 220)), (1.0, (24, 62, 150))]
        edge = (14, 36, 96)
        line_cols = [(210, 40, 40), (40, 110, 210), (40, 150, 70)]
        led = (60, 230, 80)
    else:
        body_col = [(0.0, (236, 236, 238)), (0.35, (196, 198, 204)), (1.0, (120, 122, 130))]
        edge = (64, 66, 74)
        line_cols = [(150, 152, 158)] * 3
        led = (120, 150, 120)
    art.shape(paper_in, art.vgrad(3.5, 17, [(0.0, WHITE), (1.0, (226, 230, 236))]), outline=(120, 124, 134),
              width=0.8)
    for k in range(3):
        y = 7 + k * 2.6
        art.paint(m_capsule(art, (14, y), (26 - (4 if k == 2 else 0), y), 0.9), line_cols[k] if hot else (170, 172, 180))
    art.shape(body, art.vgrad(14, 30.5, body_col), outline=edge, width=1.0)
    top_panel = ImageChops.multiply(art.erode(body, 1.0), m_rrect(art, 0, 0, 40, 18.5, 0))
    art.paint(top_panel, WHITE, 0.35)
    art.paint(m_rrect(art, 8, 24.5, 32, 27.5, 1.2), (40, 42, 50) if not hot else (12, 30, 80))
    art.shape(m_ellipse(art, 29.3, 18.8, 32.7, 22.2), led, outline=(30, 40, 30), width=0.6)
    if hot:
        art.paint(m_ellipse(art, 28.3, 17.8, 33.7, 23.2), (200, 255, 200), 0.35)
    art.shape(tray, art.vgrad(27, 37, [(0.0, (255, 255, 255)), (1.0, (236, 240, 246))]), outline=(110, 114, 126),
              width=0.8)
    for k in range(3):
        y = 30.2 + k * 2.2
        art.paint(m_capsule(art, (10.5, y), (29.5 - (5 if k == 2 else 0), y), 0.9), line_cols[k])
    return art


def tool_search():
    art = Art(36, 40)
    draw_magnifier(art, 15, 15, 10, (31, 34), 3.2)
    return art


def tool_close():
    art = Art(32, 35)
    cross = art.mask()
    m_capsule(art, (7, 8.5), (25, 26.5), 7.2, cross)
    m_capsule(art, (25, 8.5), (7, 26.5), 7.2, cross)
    art.shadow(cross, 0.9, 1.2, 1.0, 0.4)
    art.shape(cross, art.vgrad(4, 31, [(0.0, (255, 110, 100)), (0.5, (220, 30, 30)), (1.0, (150, 8, 8))]),
              outline=DARK_RED, width=1.0)
    shine = art.mask()
    m_capsule(art, (9, 10), (14, 15), 1.6, shine)
    m_capsule(art, (23, 10), (20.5, 12.5), 1.6, shine)
    art.paint(shine, WHITE, 0.55)
    return art


def make_tools():
    # The tool bar shows the banner at its own size; the pictures sit 3 px
    # (the close cross 5 px) below its top.
    save_icon_gif_on(tool_new().result(), banner_background(36, 40, 3), "tool_new.gif")
    save_icon_gif_on(printer_art(False).result(), banner_background(40, 40, 3), "tool_print.gif")
    save_icon_gif_on(printer_art(True).result(), banner_background(40, 40, 3), "tool_print_hot.gif")
    save_icon_gif_on(tool_search().result(), banner_background(36, 40, 3), "tool_search.gif")
    save_icon_gif_on(tool_close().result(), banner_background(32, 35, 5), "tool_close.gif")


def cut_out(over_bg, icon, cut=8):
    """Keeps the icon's pixels laid over its background and makes the rest
    transparent."""
    img = over_bg.copy()
    img.putalpha(icon.getchannel("A").point(lambda v: 255 if v >= cut else 0))
    return img


def save_icon_gif_on(icon, background, name):
    laid = Image.alpha_composite(background.convert("RGBA"), icon)
    save_gif(cut_out(laid, icon), name, matte=background.convert("RGB").getpixel((0, 0)), cut=128)


# ---------------------------------------------------------------- message icons


def bubble(art, x0, y0, x1, y1, tail, glyph, glyph_col, glyph_font, glyph_size):
    body = m_ellipse(art, x0, y0, x1, y1)
    m_poly(art, tail, body)
    art.shadow(body, 0.8, 1.1, 1.0, 0.35, (90, 70, 40))
    art.shape(body, art.vgrad(y0, y1, [(0.0, (255, 255, 255)), (0.6, (232, 242, 255)), (1.0, (196, 220, 250))]),
              outline=(40, 84, 160), width=1.3)
    cx, cy = (x0 + x1) / 2, (y0 + y1) / 2
    g = m_text(art, glyph, glyph_font, glyph_size, cx, cy)
    art.shadow(g, 0.5, 0.6, 0.3, 0.25)
    art.paint(g, glyph_col)


def make_message_icons():
    back = Image.new("RGB", (1, 1), PARCHMENT_MATTE)
    art = Art(36, 36)
    bubble(art, 2, 1.5, 34, 27.5, [(8, 22), (16, 25), (5, 34.5)], "?", (30, 70, 170), SANS_BOLD, 19)
    save_icon_gif_on(art.result(), back.resize((36, 36)), "bubble_question.gif")
    art = Art(34, 34)
    bubble(art, 2, 1.5, 32, 26, [(8, 20.5), (15.5, 24), (5, 32.5)], "i", (20, 130, 80), SERIF_BOLD, 19)
    save_icon_gif_on(art.result(), back.resize((34, 34)), "bubble_info.gif")
    save_icon_gif_on(waving_hand(), back.resize((37, 46)), "waving_hand.gif")


def hand_shapes(art, palm, fingers, thumb, tf=lambda pts: pts):
    """Masks of a hand: palm polygon, finger capsules (a, b, width) and a
    thumb, with the points moved by tf."""
    palm_m = m_poly(art, tf(palm))
    finger_ms = [m_capsule(art, *tf([a, b]), w) for a, b, w in fingers]
    thumb_m = m_capsule(art, *tf([thumb[0], thumb[1]]), thumb[2])
    union = palm_m
    for m in finger_ms + [thumb_m]:
        union = ImageChops.lighter(union, m)
    return union, palm_m, finger_ms, thumb_m


def paint_hand(art, palm_m, finger_ms, thumb_m, outline, fill, ow):
    """Outlines every part on its own, so the fingers stay apart, then covers
    the finger roots with the palm."""
    art.paint(art.dilate(palm_m, ow), outline)
    art.paint(art.dilate(thumb_m, ow), outline)
    art.paint(thumb_m, fill)
    for m in finger_ms:
        art.paint(art.dilate(m, ow), outline)
        art.paint(m, fill)
    art.paint(palm_m, fill)


def waving_hand():
    art = Art(37, 46)

    def tf(pts):
        # tilt the hand, shrink it a little and move it right of centre
        pts = rotate_pts(pts, 18, 36, -12)
        return [(18 + (x - 18) * 0.93 + 3.2, 36 + (y - 36) * 0.93 + 2.2) for x, y in pts]

    palm = [(9.5, 22), (27.5, 21), (27, 33), (23, 38.5), (14, 38.5), (10, 34)]
    fingers = [((25.8, 21.5), (29.0, 11.5), 4.2),
               ((21.8, 20.5), (23.6, 7.5), 4.6),
               ((17.3, 20.5), (17.5, 6.2), 4.6),
               ((12.6, 21.5), (11.3, 8.6), 4.4)]
    thumb = ((11, 31), (4.6, 22.4), 4.8)
    union, palm_m, finger_ms, thumb_m = hand_shapes(art, palm, fingers, thumb, tf)
    art.shadow(art.dilate(union, 0.8), 0.8, 1.0, 0.9, 0.3, (90, 60, 30))
    shade = art.hgrad(6, 30, [(0.0, (255, 232, 204)), (1.0, (244, 190, 140))])
    paint_hand(art, palm_m, finger_ms, thumb_m, (150, 88, 48), shade, 0.9)
    crease = qbez(*tf([(14, 29), (18, 32), (23, 29.5)]), 10)
    art.paint(m_polyline(art, crease, 0.8), (214, 150, 104))
    cuff = m_poly(art, tf([(12.5, 37.5), (25, 37.5), (25.5, 48), (12, 48)]))
    art.shape(cuff, art.vgrad(37, 46, [(0.0, (110, 160, 230)), (1.0, (40, 86, 170))]), outline=(20, 44, 110),
              width=0.9)
    # motion strokes either side of the fingers
    for pts in ([(5.2, 6.5), (3.0, 10.5), (2.6, 15)], [(2.2, 18), (1.4, 20.5), (1.6, 23)],
                [(32.4, 9.5), (34.6, 13.5), (34.6, 18)], [(34.8, 21), (35.6, 23.5), (35.2, 26)]):
        art.paint(m_polyline(art, qbez(*pts, 8), 1.2), (60, 110, 190))
    return art.result()


# ---------------------------------------------------------------- help badge, splash


def help_badge():
    art = Art(32, 35)
    tails = art.mask()
    m_poly(art, [(9, 21), (15, 24), (12.5, 34.5), (9.5, 31.5), (6, 33.5)], tails)
    m_poly(art, [(23, 21), (17, 24), (19.5, 34.5), (22.5, 31.5), (26, 33.5)], tails)
    art.shadow(tails, 0.6, 0.8, 0.6, 0.3)
    art.shape(tails, art.vgrad(21, 34, [(0.0, (236, 70, 60)), (1.0, (160, 16, 16))]), outline=DARK_RED, width=0.8)
    pts = []
    for k in range(48):
        a = k * math.pi / 24
        rr = 14.5 if k % 2 == 0 else 13.3
        pts.append((16 + math.cos(a) * rr, 15 + math.sin(a) * rr))
    rosette = m_poly(art, pts)
    art.shadow(rosette, 0.6, 0.8, 0.8, 0.35)
    art.shape(rosette, art.vgrad(0, 30, [(0.0, (255, 226, 120)), (1.0, (214, 150, 20))]), outline=(130, 84, 10),
              width=0.8)
    disc = m_ellipse(art, 5, 4, 27, 26)
    art.shape(disc, art.vgrad(4, 26, [(0.0, (110, 170, 240)), (1.0, (26, 70, 160))]), outline=(16, 40, 100),
              width=0.9)
    art.paint(m_ellipse(art, 8, 5.2, 24, 14), WHITE, 0.3)
    q = m_text(art, "?", SANS_BOLD, 15.5, 16, 15.3)
    art.shadow(q, 0.4, 0.6, 0.3, 0.45)
    art.paint(q, WHITE)
    return art.result()


def splash_frame():
    w, h, band_h, side = 275, 224, 46, 6
    art = Art(w, h, bg=WHITE + (255,))
    outer = m_rrect(art, 0, 0, w, h, 10)
    art.paint(outer, OUTLINE)
    inner = art.erode(outer, 1.0)
    art.paint(inner, art.vgrad(1, band_h, [(0.0, (240, 248, 255)), (0.5, (200, 226, 251)),
                                           (1.0, (158, 200, 242))]))
    # lower frame keeps the light blue of the band's foot
    lower = ImageChops.multiply(inner, m_rrect(art, 0, band_h, w, h, 0))
    art.paint(lower, art.hgrad(0, w, [(0.0, (170, 206, 244)), (0.5, (186, 216, 248)), (1.0, (170, 206, 244))]))
    hole = m_rrect(art, side, band_h, w - side, h - side, 3)
    art.paint(art.dilate(hole, 1.0), (96, 140, 196))
    art.paint(hole, (0, 0, 0))
    # white sparkle line along the top of the band
    art.paint(ImageChops.subtract(inner, art.erode(outer, 2.0)), WHITE, 0.8)
    return art.result().convert("RGB")


def splash_deco():
    art = Art(30, 30)
    draw_star(art, 15, 15.5, 13.5, GOLD, inner=0.48)
    art.paint(m_ellipse(art, 11, 9, 16, 14), WHITE, 0.45)
    return art.result()


# ---------------------------------------------------------------- about box


def draw_quill(art, base, ctrl, tip, width):
    """A feather quill: nib at base, the shaft bending through ctrl to the
    plume's tip."""
    shaft = qbez(base, ctrl, tip, 40)
    left, right = [], []
    notches = ((0.42, 0.47), (0.66, 0.70), (0.55, 0.585))
    for k, (x, y) in enumerate(shaft):
        t = k / 40
        a = shaft[min(k + 1, 40)]
        b = shaft[max(k - 1, 0)]
        dx, dy = a[0] - b[0], a[1] - b[1]
        n = math.hypot(dx, dy) or 1
        nx, ny = -dy / n, dx / n
        prof = 0.0 if t < 0.2 else math.sin(min(1.0, (t - 0.2) / 0.8) * math.pi) ** 0.6
        wl = width * prof * (0.8 + 0.2 * t)
        wr = width * 0.62 * prof
        for lo, hi in notches[:2]:
            if lo < t < hi:
                wl *= 0.72
        if notches[2][0] < t < notches[2][1]:
            wr *= 0.6
        left.append((x + nx * wl, y + ny * wl))
        right.append((x - nx * wr, y - ny * wr))
    vane = m_poly(art, left + list(reversed(right)))
    art.shadow(vane, 5, 7, 6, 0.22, (80, 60, 30))
    art.shape(vane, art.hgrad(base[0], tip[0], [(0.0, (255, 255, 255)), (0.6, (236, 240, 250)),
                                                (1.0, (196, 208, 232))]),
              outline=(96, 108, 140), width=width * 0.05)
    for k in range(10, 39, 3):
        x, y = shaft[k]
        for side in (left, right):
            ex, ey = side[min(k + 3, 40)]
            art.paint(m_capsule(art, (x, y), (x + (ex - x) * 0.9, y + (ey - y) * 0.9), width * 0.04),
                      (176, 188, 214), 0.8)
    art.paint(m_polyline(art, shaft[5:], width * 0.07), (168, 146, 110))
    nib = m_polyline(art, shaft[:7], width * 0.12)
    art.paint(nib, (64, 56, 48))


def about_picture():
    """The picture beside the author's details: an open book, an inkwell and
    a quill in a gilt oval."""
    w, h = 456, 412
    art = Art(w, h, ss=2)
    oval = m_ellipse(art, 6, 6, w - 6, h - 6)
    art.shadow(oval, 3, 5, 5, 0.35, (90, 70, 40))
    art.shape(oval, art.vgrad(6, h - 6, [(0.0, (255, 232, 150)), (0.5, (214, 160, 50)), (1.0, (150, 100, 24))]),
              outline=(110, 72, 16), width=2)
    art.paint(m_ellipse(art, 22, 22, w - 22, h - 22), (120, 80, 20))
    inner = m_ellipse(art, 25, 25, w - 25, h - 25)
    art.paint(inner, art.vgrad(25, h - 25, [(0.0, (200, 226, 252)), (0.6, (246, 242, 222)),
                                            (1.0, (232, 214, 176))]))
    art.paint(ImageChops.multiply(inner, m_ellipse(art, 120, 40, 340, 250).filter(
        ImageFilter.GaussianBlur(40 * art.u))), (255, 252, 236), 0.9)

    def clipped(draw_fn):
        layer = Art(w, h, ss=art.ss)
        draw_fn(layer)
        img = layer.img.copy()
        img.putalpha(ImageChops.multiply(layer.img.getchannel("A"), inner))
        art.img = Image.alpha_composite(art.img, img)

    def desk(a):
        top = m_poly(a, [(0, 318), (w, 306), (w, h), (0, h)])
        a.paint(top, a.vgrad(306, h, [(0.0, (196, 140, 86)), (1.0, (130, 84, 44))]))
        a.paint(m_capsule(a, (0, 318), (w, 306), 2.5), (236, 196, 140))

    def book(a):
        draw_book(a, 178, 288, 232, detail=2)

    def inkwell(a):
        a.shadow(m_ellipse(a, 300, 318, 400, 334), 0, 0, 5, 0.4)
        pot = m_rrect(a, 306, 258, 394, 328, 20)
        m_rrect(a, 330, 236, 370, 266, 6, pot)
        a.shape(pot, a.hgrad(306, 394, [(0.0, (50, 70, 130)), (0.35, (110, 140, 210)), (1.0, (20, 30, 70))]),
                outline=(10, 16, 40), width=2.5)
        a.paint(m_rrect(a, 318, 272, 330, 316, 6), WHITE, 0.35)
        a.shape(m_ellipse(a, 330, 229, 370, 243), (20, 20, 30), outline=(10, 10, 20), width=2)

    def quill(a):
        draw_quill(a, (352, 238), (330, 140), (262, 52), 30)

    clipped(desk)
    clipped(book)
    clipped(inkwell)
    clipped(quill)
    for x, y, r in ((96, 150, 10), (128, 112, 6), (404, 176, 8), (176, 86, 5)):
        clipped(lambda a, x=x, y=y, r=r: draw_star(a, x, y, r, GOLD, points=4, inner=0.3))
    save_icon_gif_on(art.result(), Image.new("RGB", (w, h), CREAM), "about_picture.gif")


def about_panel():
    w, h = 198, 165
    art = Art(w, h, bg=CREAM + (255,))
    card = m_rrect(art, 1, 1, w - 1, h - 1, 8)
    art.shape(card, art.vgrad(0, h, [(0.0, (253, 252, 240)), (1.0, (246, 242, 214))]), outline=(168, 196, 230),
              width=1.0)
    art.paint(ImageChops.subtract(m_rrect(art, 5, 5, w - 5, h - 5, 6), m_rrect(art, 6, 6, w - 6, h - 6, 5)),
              (200, 218, 240))
    mark = m_text(art, "\u00bb", SERIF_BOLD, 150, w / 2, h / 2)
    art.paint(mark, (238, 230, 202))
    for x, y in ((20, 20), (w - 20, 20), (20, h - 20), (w - 20, h - 20)):
        draw_star(art, x, y, 5, (250, 214, 140), points=4, inner=0.35, outline=(214, 180, 120))
    save_gif(art.result(), "about_panel.gif", dither=True)


# ---------------------------------------------------------------- background


def background():
    w, h = 1024, 768
    big = Image.new("RGB", (1700, 1500), WHITE)
    d = ImageDraw.Draw(big)
    font = ImageFont.truetype(COMIC_BOLD, 30)
    step_x, step_y = 190, 64
    for row in range(0, 1500 // step_y + 1):
        offset = (row % 2) * step_x / 2
        for col in range(-1, 1700 // step_x + 1):
            d.text((col * step_x + offset, row * step_y), "Sentalia", font=font,
                   fill=(228, 236, 248) if row % 2 == 0 else (242, 232, 222))
    big = big.rotate(18, resample=Image.BICUBIC, fillcolor=WHITE)
    img = big.crop(((1700 - w) // 2, (1500 - h) // 2, (1700 - w) // 2 + w, (1500 - h) // 2 + h))
    # the logo in the middle, on a soft white halo so it stands clear of the pattern
    size = 400
    art = Art(size, size, ss=2)
    halo = m_ellipse(art, 20, 40, 380, 330).filter(ImageFilter.GaussianBlur(26 * art.u))
    art.paint(halo, WHITE, 0.95)
    draw_book(art, 200, 178, 250, detail=2)
    name = m_text(art, "Sentalia", COMIC_BOLD, 58, 200, 318)
    art.shadow(name, 2, 3, 1.5, 0.25)
    art.paint(name, art.vgrad(296, 340, [(0.0, (80, 140, 220)), (1.0, (30, 70, 150))]))
    logo = art.result()
    faded = logo.copy()
    faded.putalpha(logo.getchannel("A").point(lambda v: int(v * 0.85)))
    base = img.convert("RGBA")
    base.alpha_composite(faded, ((w - size) // 2, (h - size) // 2 - 10))
    save_bmp(base, "background.bmp")


# ---------------------------------------------------------------- cursors


def cursor_hand():
    art = Art(32, 32)
    palm = [(8.4, 15.0), (23.8, 14.2), (24.2, 21.5), (21.6, 27.6), (11.0, 27.6), (8.0, 22.8)]
    fingers = [((22.0, 14.0), (22.0, 17.0), 3.8),
               ((18.4, 12.6), (18.4, 16.0), 4.0),
               ((14.6, 11.8), (14.6, 15.5), 4.0),
               ((10.5, 4.1), (10.5, 16.0), 4.4)]
    thumb = ((10.2, 23.4), (5.0, 17.0), 3.9)
    union, palm_m, finger_ms, thumb_m = hand_shapes(art, palm, fingers, thumb)
    art.shadow(art.dilate(union, 1.0), 1.0, 1.2, 0.8, 0.35)
    paint_hand(art, palm_m, finger_ms, thumb_m, (0, 0, 0), WHITE, 1.0)
    cuff = m_rrect(art, 10.0, 26.0, 22.6, 30.6, 1.0)
    art.shape(cuff, (60, 110, 200), outline=(0, 0, 0), width=1.0)
    return art.result()


def cursor_arrow():
    art = Art(32, 32)
    pts = [(2.0, 2.0), (2.0, 21.5), (6.6, 17.2), (10.0, 24.8), (13.4, 23.3), (10.1, 15.9), (16.2, 15.9)]
    outer = m_poly(art, pts)
    ImageDraw.Draw(outer).line(art.pts(pts + [pts[0]]), fill=255, width=int(1.6 * art.u), joint="curve")
    art.shadow(outer, 1.3, 1.5, 0.8, 0.4)
    art.paint(outer, (0, 0, 0))
    art.paint(art.erode(outer, 1.1), art.vgrad(2, 24, [(0.0, (255, 246, 150)), (1.0, (246, 190, 0))]))
    return art.result()


# ---------------------------------------------------------------- checks, qrc


EXPECTED_ICO = {
    "close.ico": [(32, 32), (48, 48), (16, 16)],
    "icon_main.ico": [(32, 32), (16, 16)],
    "icon_search.ico": [(32, 32), (16, 16)],
    "icon_new.ico": [(32, 32), (16, 16)],
    "icon_user.ico": [(32, 32), (16, 16)],
}


def listed_pictures():
    """(file name, width, height) for every picture named in Artwork.h."""
    text = open(ARTWORK_H, encoding="utf-8").read()
    found = []
    for line in text.splitlines():
        m = re.search(r'":/img/([\w.]+)"', line)
        if not m:
            continue
        size = re.search(r"//[^\d]*(\d+)\s*x\s*(\d+)", line)
        found.append((m.group(1), int(size.group(1)) if size else None, int(size.group(2)) if size else None))
    return found


def ico_sizes(path):
    data = open(path, "rb").read()
    _, kind, count = struct.unpack_from("<HHH", data, 0)
    assert kind == 1
    return [((data[6 + 16 * i] or 256), (data[7 + 16 * i] or 256)) for i in range(count)]


def check():
    problems = []
    for name, w, h in listed_pictures():
        path = os.path.join(OUT, name)
        if not os.path.exists(path):
            problems.append("%s: missing" % name)
            continue
        with Image.open(path) as im:
            im.load()
            kind = {"bmp": "BMP", "gif": "GIF", "ico": "ICO", "png": "PNG"}[name.rsplit(".", 1)[1]]
            if im.format != kind:
                problems.append("%s: is %s" % (name, im.format))
            if kind == "BMP" and im.mode != "RGB":
                problems.append("%s: mode %s, not 24-bit" % (name, im.mode))
            if kind == "ICO":
                if ico_sizes(path) != EXPECTED_ICO[name]:
                    problems.append("%s: images %s" % (name, ico_sizes(path)))
            elif w and im.size != (w, h):
                problems.append("%s: %dx%d, want %dx%d" % (name, im.size[0], im.size[1], w, h))
            if kind == "PNG" and im.size != (32, 32):
                problems.append("%s: cursor is %dx%d" % (name, *im.size))
    for size in APP_ICON_SIZES:
        path = os.path.join(ICONS, "%dx%d" % (size, size), "apps", app_id() + ".png")
        with Image.open(path) as im:
            if im.size != (size, size) or im.mode != "RGBA":
                problems.append("%s: %dx%d %s" % (path, im.size[0], im.size[1], im.mode))
    if not os.path.exists(os.path.join(ICONS, "scalable", "apps", app_id() + ".svg")):
        problems.append("the scalable icon is missing")
    return problems


def write_qrc():
    names = sorted(n for n, _, _ in listed_pictures())
    lines = ['<!DOCTYPE RCC>', '<RCC version="1.0">', '<qresource prefix="/img">']
    lines += ['    <file alias="%s">img/%s</file>' % (n, n) for n in names]
    lines += ['</qresource>', '</RCC>', '']
    with open(QRC, "w", encoding="utf-8") as f:
        f.write("\n".join(lines))


def main():
    os.makedirs(OUT, exist_ok=True)
    make_frame_pieces()
    make_parchments()
    save_ico([icon_close(32), icon_close(48), icon_close(16)], "close.ico")
    save_ico([icon_main(32), icon_main(16)], "icon_main.ico")
    save_ico([icon_search(32), icon_search(16)], "icon_search.ico")
    save_ico([icon_new(32), icon_new(16)], "icon_new.ico")
    save_ico([icon_user(32), icon_user(16)], "icon_user.ico")
    title_back = band(32, TITLE_ROWS, title_row).crop((0, 2, 32, 37))
    save_icon_gif_on(help_badge(), title_back, "help_badge.gif")
    make_banner()
    make_tools()
    make_counter()
    make_message_icons()
    frame = splash_frame()
    save_gif(frame, "splash_frame.gif")
    save_icon_gif_on(splash_deco(), frame.crop((232, 8, 262, 38)), "splash_deco.gif")
    about_picture()
    about_panel()
    background()
    save_png(cursor_hand(), "cursor_hand.png")
    save_png(cursor_arrow(), "cursor_arrow.png")
    write_qrc()
    make_app_icons()
    problems = check()
    for p in problems:
        print("problem:", p)
    if problems:
        sys.exit(1)
    print("wrote %d pictures to %s" % (len(listed_pictures()), OUT))


if __name__ == "__main__":
    main()
