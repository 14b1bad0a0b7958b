#!/usr/bin/env python3
"""Regenerate the bitmaps and icons used by the resource scripts.

Standard library only; every file is written byte by byte so the output
is identical on every run.  Run from anywhere: paths are relative to the
repository root (the parent of this script's folder).
"""

import math
import os
import re
import struct

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))

# ---------------------------------------------------------------------------
# keyboard.bmp layout.  The picture sits at dialog units (0, 1) and is shown
# at its natural size, so dialog units map to pixels by these factors.
# ---------------------------------------------------------------------------
KB_W, KB_H = 201, 177
DU_X = 201.0 / 135.0          # px per horizontal dialog unit (Tahoma 8)
DU_Y = 177.0 / 111.0          # px per vertical dialog unit
PIC_Y_DU = 1                  # picture control's top in dialog units
LABEL_GAP = 2                 # px between a label's bottom and its button

KB_GROUND = (30, 60, 140)
KB_LABEL = (236, 240, 248)
KB_ARC = (170, 190, 230)
ARC_WIDTH = 1.3               # px
ARC_DROP_DU = 2.5             # arc runs this far below row 3's buttons

# The key labels of the palette's first three rows, in button order: button n
# sits just below label n, so each label is drawn above its button.
KB_LABELS = [
    ["Q", "W", "E", "R", "T", "Y", "U", "I", "O", "P"],
    ["A", "S", "D", "F", "G", "H", "J", "K", "L", "up"],
    ["Z", "X", "C", "V", "B", "N", "M", "ret", "down"],
]


def palette_button_rects():
    """Button n's (x, y, w, h) in dialog units, as the palette dialog of
    palette/Kadenza.rc places it: the one place the positions are typed."""
    with open(os.path.join(ROOT, "palette", "Kadenza.rc"), encoding="utf-8") as f:
        rc = f.read()
    start = rc.index("IDD_PALETTE DIALOG")
    body = rc[start:rc.index("\nEND", start)]
    rects = {}
    pattern = (r'CONTROL\s+"(?:[^"\\]|\\.)*"\s*,\s*IDC_BUTTON1\s*\+\s*(\d+)\s*,.*,'
               r'\s*(\d+)\s*,\s*(\d+)\s*,\s*(\d+)\s*,\s*(\d+)\s*$')
    for line in body.splitlines():
        m = re.match(pattern, line.strip())
        if m:
            n = int(m.group(1)) + 1
            rects[n] = tuple(int(v) for v in m.groups()[1:])
    if sorted(rects) != list(range(1, 39)):
        raise SystemExit("Kadenza.rc: the palette dialog does not place buttons 1 to 38")
    return rects


def keyboard_rows():
    """(glyph, x, y, w, h) in dialog units for the labelled rows."""
    rects = palette_button_rects()
    rows, n = [], 1
    for labels in KB_LABELS:
        row = []
        for name in labels:
            row.append((name,) + rects[n])
            n += 1
        rows.append(row)
    return rows


# Hand-made label font: '#' is ink.  All glyphs are 7 rows high.
GLYPHS = {
    "A": [".###.", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"],
    "B": ["####.", "#...#", "#...#", "####.", "#...#", "#...#", "####."],
    "C": [".###.", "#...#", "#....", "#....", "#....", "#...#", ".###."],
    "D": ["###..", "#..#.", "#...#", "#...#", "#...#", "#..#.", "###.."],
    "E": ["#####", "#....", "#....", "####.", "#....", "#....", "#####"],
    "F": ["#####", "#....", "#....", "####.", "#....", "#....", "#...."],
    "G": [".###.", "#...#", "#....", "#.###", "#...#", "#...#", ".####"],
    "H": ["#...#", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"],
    "I": ["###", ".#.", ".#.", ".#.", ".#.", ".#.", "###"],
    "J": ["..###", "...#.", "...#.", "...#.", "...#.", "#..#.", ".##.."],
    "K": ["#...#", "#..#.", "#.#..", "##...", "#.#..", "#..#.", "#...#"],
    "L": ["#....", "#....", "#....", "#....", "#....", "#....", "#####"],
    "M": ["#...#", "##.##", "#.#.#", "#.#.#", "#...#", "#...#", "#...#"],
    "N": ["#...#", "#...#", "##..#", "#.#.#", "#..##", "#...#", "#...#"],
    "O": [".###.", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."],
    "P": ["####.", "#...#", "#...#", "####.", "#....", "#....", "#...."],
    "Q": [".###.", "#...#", "#...#", "#...#", "#.#.#", "#..#.", ".##.#"],
    "R": ["####.", "#...#", "#...#", "####.", "#.#..", "#..#.", "#...#"],
    "S": [".####", "#....", "#....", ".###.", "....#", "....#", "####."],
    "T": ["#####", "..#..", "..#..", "..#..", "..#..", "..#..", "..#.."],
    "U": ["#...#", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."],
    "V": ["#...#", "#...#", "#...#", ".#.#.", ".#.#.", "..#..", "..#.."],
    "W": ["#...#", "#...#", "#...#", "#.#.#", "#.#.#", "##.##", "#...#"],
    "X": ["#...#", "#...#", ".#.#.", "..#..", ".#.#.", "#...#", "#...#"],
    "Y": ["#...#", "#...#", ".#.#.", "..#..", "..#..", "..#..", "..#.."],
    "Z": ["#####", "....#", "...#.", "..#..", ".#...", "#....", "#####"],
    "up": ["..#..", ".###.", "#.#.#", "..#..", "..#..", "..#..", "..#.."],
    "down": ["..#..", "..#..", "..#..", "..#..", "#.#.#", ".###.", "..#.."],
    "ret": ["......#", "......#", "..#...#", ".##...#", "#######",
            ".##....", "..#...."],
}

# 5-row symbols for the palette icon
SYMBOLS = {
    "~": [".....", ".#...", "#.#.#", "...#.", "....."],
    "{": [".##", ".#.", "#..", ".#.", ".##"],
    "}": ["##.", ".#.", "..#", ".#.", "##."],
    "O": [".###.", "#...#", "#...#", ".#.#.", "##.##"],   # omega
    "+": ["..#..", "#####", "..#..", ".....", "#####"],   # plus-minus
    "p": ["#####", ".#.#.", ".#.#.", ".#.#.", ".#..#"],   # pi
    "<": ["..#.#", ".#.#.", "#.#..", ".#.#.", "..#.#"],   # guillemets
    "v": ["....#", "....#", "#..#.", ".#.#.", "..#.."],   # root
    ">": ["#.#..", ".#.#.", "..#.#", ".#.#.", "#.#.."],
}

TRANSPARENT = None


# ---------------------------------------------------------------------------
# Canvas with coverage-based (supersampled) drawing
# ---------------------------------------------------------------------------
class Canvas:
    def __init__(self, w, h, fill=TRANSPARENT):
        self.w, self.h = w, h
        # each pixel: (r, g, b) floats, or None when transparent
        self.px = [[fill for _ in range(w)] for _ in range(h)]

    def blend(self, x, y, rgb, a):
        if not (0 <= x < self.w and 0 <= y < self.h) or a <= 0.0:
            return
        old = self.px[y][x]
        if old is None:
            # icons use a 1-bit mask: keep mostly covered pixels only
            if a >= 0.5:
                self.px[y][x] = tuple(float(c) for c in rgb)
            return
        a = min(a, 1.0)
        self.px[y][x] = tuple(o + (c - o) * a for o, c in zip(old, rgb))

    def put(self, x, y, rgb):
        self.blend(x, y, rgb, 1.0)

    def shape(self, inside, colour, box=None, ss=4):
        """Fill where inside(x, y) holds; colour is rgb or f(x, y)."""
        x0, y0, x1, y1 = box or (0, 0, self.w, self.h)
        x0, y0 = max(0, int(math.floor(x0))), max(0, int(math.floor(y0)))
        x1, y1 = min(self.w, int(math.ceil(x1))), min(self.h, int(math.ceil(y1)))
        offs = [(i + 0.5) / ss for i in range(ss)]
        for py in range(y0, y1):
            for px in range(x0, x1):
                hit = 0
                for oy in offs:
                    for ox in offs:
                        if inside(px + ox, py + oy):
                            hit += 1
                if hit:
                    c = colour(px + 0.5, py + 0.5) if callable(colour) else colour
                    self.blend(px, py, c, hit / (ss * ss))

    # primitives -----------------------------------------------------------
    def rect(self, x0, y0, x1, y1, colour):
        self.shape(lambda x, y: x0 <= x < x1 and y0 <= y < y1, colour,
                   (x0, y0, x1, y1), ss=1)

    def rrect(self, x0, y0, x1, y1, r, colour, ss=4):
        def inside(x, y):
            if not (x0 <= x <= x1 and y0 <= y <= y1):
                return False
            cx = min(max(x, x0 + r), x1 - r)
            cy = min(max(y, y0 + r), y1 - r)
            return (x - cx) ** 2 + (y - cy) ** 2 <= r * r
        self.shape(inside, colour, (x0, y0, x1 + 1, y1 + 1), ss)

    def disc(self, cx, cy, r, colour, ss=4):
        self.shape(lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r,
                   colour, (cx - r - 1, cy - r - 1, cx + r + 1, cy + r + 1), ss)

    def ring(self, cx, cy, r0, r1, colour, ss=4):
        def inside(x, y):
            d = (x - cx) ** 2 + (y - cy) ** 2
            return r0 * r0 <= d <= r1 * r1
        self.shape(inside, colour,
                   (cx - r1 - 1, cy - r1 - 1, cx + r1 + 1, cy + r1 + 1), ss)

    def line(self, ax, ay, bx, by, width, colour, ss=4):
        dx, dy = bx - ax, by - ay
        ll = dx * dx + dy * dy or 1e-9
        hw = width / 2.0

        def inside(x, y):
            t = max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / ll))
            qx, qy = ax + t * dx - x, ay + t * dy - y
            return qx * qx + qy * qy <= hw * hw
        self.shape(inside, colour, (min(ax, bx) - hw - 1, min(ay, by) - hw - 1,
                                    max(ax, bx) + hw + 1, max(ay, by) + hw + 1), ss)

    def poly(self, pts, colour, ss=4):
        def inside(x, y):
            c = False
            j = len(pts) - 1
            for i in range(len(pts)):
                xi, yi = pts[i]
                xj, yj = pts[j]
                if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
                    c = not c
                j = i
            return c
        xs = [p[0] for p in pts]
        ys = [p[1] for p in pts]
        self.shape(inside, colour, (min(xs) - 1, min(ys) - 1, max(xs) + 1, max(ys) + 1), ss)

    def glyph(self, name, x, y, colour, font=GLYPHS):
        for gy, row in enumerate(font[name]):
            for gx, ch in enumerate(row):
                if ch == "#":
                    self.put(x + gx, y + gy, colour)


def vgrad(y0, y1, top, bottom):
    def f(x, y):
        t = min(1.0, max(0.0, (y - y0) / float(y1 - y0 or 1)))
        return tuple(a + (b - a) * t for a, b in zip(top, bottom))
    return f


# ---------------------------------------------------------------------------
# Palettes and file writers
# ---------------------------------------------------------------------------
def rgb8(c):
    return tuple(int(round(min(255.0, max(0.0, v)))) for v in c)


def build_palette(canvases, size=256):
    """Exact colours if they fit, else coarser grids until they do."""
    step = 1
    while True:
        def q(c):
            if step == 1:
                return c
            return tuple(min(255, (v // step) * step + step // 2) for v in c)
        seen = {}
        for cv in canvases:
            for row in cv.px:
                for p in row:
                    if p is not None:
                        seen.setdefault(q(rgb8(p)), None)
        if len(seen) + 1 <= size:
            # index 0 stays black: icon transparent pixels use it
            pal = [(0, 0, 0)] + sorted(c for c in seen if c != (0, 0, 0))
            return pal + [(0, 0, 0)] * (size - len(pal)), q
        step *= 2


def nearest(pal, c, cache):
    if c not in cache:
        cache[c] = min(range(len(pal)), key=lambda i: sum(
            (a - b) ** 2 for a, b in zip(pal[i], c)))
    return cache[c]


def indices(cv, pal, quant, bg=(255, 255, 255)):
    cache = {}
    out = []
    for row in cv.px:
        out.append([0 if p is None and bg is None else
                    nearest(pal, quant(rgb8(p if p is not None else bg)), cache)
                    for p in row])
    return out


def pack_rows(idx, bpp):
    """Bottom-up rows, each padded to a 4-byte boundary."""
    data = bytearray()
    for row in reversed(idx):
        bits = 0
        nbits = 0
        line = bytearray()
        for v in row:
            bits = (bits << bpp) | v
            nbits += bpp
            if nbits == 8:
                line.append(bits)
                bits = nbits = 0
        if nbits:
            line.append(bits << (8 - nbits))
        while len(line) % 4:
            line.append(0)
        data += line
    return bytes(data)


def info_header(w, h, bpp, image_size, colours):
    return struct.pack("<IiiHHIIiiII", 40, w, h, 1, bpp, 0, image_size,
                       2835, 2835, colours, 0)


def pal_bytes(pal):
    return b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in pal)


def bmp_bytes(cv, bpp, pal=None):
    if pal is None:
        pal, quant = build_palette([cv], 1 << bpp)
    else:
        quant = lambda c: c  # noqa: E731
    idx = indices(cv, pal, quant)
    pixels = pack_rows(idx, bpp)
    palette = pal_bytes(pal)
    off = 14 + 40 + len(palette)
    head = struct.pack("<2sIHHI", b"BM", off + len(pixels), 0, 0, off)
    return head + info_header(cv.w, cv.h, bpp, len(pixels), len(pal)) + palette + pixels


def ico_bytes(canvases):
    """8 bpp images with a 1-bit AND mask; one shared palette."""
    pal, quant = build_palette(canvases, 256)
    images = []
    for cv in canvases:
        idx = indices(cv, pal, quant, bg=None)
        xor = pack_rows(idx, 8)
        mask = pack_rows([[1 if p is None else 0 for p in row] for row in cv.px], 1)
        images.append(info_header(cv.w, cv.h * 2, 8, len(xor) + len(mask), 256)
                      + pal_bytes(pal) + xor + mask)
    out = struct.pack("<HHH", 0, 1, len(images))
    off = 6 + 16 * len(images)
    for cv, img in zip(canvases, images):
        out += struct.pack("<BBBBHHII", cv.w % 256, cv.h % 256, 0, 0, 1, 8,
                           len(img), off)
        off += len(img)
    return out + b"".join(images)


def write(rel, data):
    path = os.path.join(ROOT, rel)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)
    print("%-32s %6d bytes" % (rel, len(data)))


# ---------------------------------------------------------------------------
# Keyboard drawings
# ---------------------------------------------------------------------------
BODY_EDGE = (40, 42, 52)
BODY = (96, 100, 116)
BODY_TOP = (132, 136, 152)
KEY = (240, 242, 248)
KEY_SHADE = (176, 180, 196)


def keyboard32(c, x0, y0, edge=BODY_EDGE, body=BODY, top=BODY_TOP,
               key=KEY, shade=KEY_SHADE):
    """28 x 15 keyboard, top-left at (x0, y0); integer-aligned pixels."""
    c.rect(x0 + 1, y0, x0 + 27, y0 + 15, edge)
    c.rect(x0, y0 + 1, x0 + 28, y0 + 14, edge)
    c.rect(x0 + 1, y0 + 1, x0 + 27, y0 + 14, body)
    c.rect(x0 + 1, y0 + 1, x0 + 27, y0 + 2, top)
    rows = [(2, 2, 8), (5, 3, 7), (8, 2, 8)]
    for ry, rx, n in rows:
        for k in range(n):
            kx = x0 + rx + 3 * k
            c.rect(kx, y0 + ry, kx + 2, y0 + ry + 2, key)
            c.rect(kx, y0 + ry + 1, kx + 2, y0 + ry + 2, shade)
    # row 2 ends in a wide key, then the space bar row
    c.rect(x0 + 24, y0 + 5, x0 + 26, y0 + 7, key)
    c.rect(x0 + 24, y0 + 6, x0 + 26, y0 + 7, shade)
    c.rect(x0 + 2, y0 + 11, x0 + 5, y0 + 13, key)
    c.rect(x0 + 6, y0 + 11, x0 + 22, y0 + 13, key)
    c.rect(x0 + 23, y0 + 11, x0 + 26, y0 + 13, key)
    for sx0, sx1 in ((2, 5), (6, 22), (23, 26)):
        c.rect(x0 + sx0, y0 + 12, x0 + sx1, y0 + 13, shade)


def keyboard16(c, x0, y0):
    """15 x 11 keyboard: one-pixel keys, odd width keeps rows centred."""
    c.rect(x0 + 1, y0, x0 + 14, y0 + 11, BODY_EDGE)
    c.rect(x0, y0 + 1, x0 + 15, y0 + 10, BODY_EDGE)
    c.rect(x0 + 1, y0 + 1, x0 + 14, y0 + 10, BODY)
    for k in range(6):
        c.put(x0 + 2 + 2 * k, y0 + 2, KEY)
        c.put(x0 + 2 + 2 * k, y0 + 6, KEY)
    for k in range(5):
        c.put(x0 + 3 + 2 * k, y0 + 4, KEY)
    c.rect(x0 + 4, y0 + 8, x0 + 11, y0 + 9, KEY)


# 16 colours for the 4 bpp state bitmaps
PAL16 = [
    (0, 0, 0), (255, 255, 255), BODY_EDGE, BODY, BODY_TOP, KEY, KEY_SHADE,
    (220, 20, 20), (140, 0, 0), (255, 220, 0), (255, 140, 0),
    (192, 192, 192), (128, 128, 128), (0, 128, 0), (0, 0, 128), (255, 255, 192),
]


def make_kbdoff():
    c = Canvas(32, 32, (255, 255, 255))
    keyboard32(c, 2, 9)
    red = PAL16[7]
    c.ring(16, 16, 12.2, 15.2, red, ss=1)
    a = math.radians(45)
    dx, dy = math.cos(a) * 13, math.sin(a) * 13
    c.line(16 - dx, 16 - dy, 16 + dx, 16 + dy, 3.2, red, ss=1)
    return c


def make_kbdon():
    c = Canvas(32, 32, (255, 255, 255))
    keyboard32(c, 2, 9)
    yellow, orange = PAL16[9], PAL16[10]
    # rays drawn pixel by pixel: 4 bpp has no room for smoothing
    ray_up = [
        (yellow, [(15, y) for y in range(1, 7)] + [(16, y) for y in range(1, 7)]),
        (orange, [(10 - i, 6 - i) for i in range(4)] + [(9 - i, 6 - i) for i in range(4)]),
        (orange, [(21 + i, 6 - i) for i in range(4)] + [(22 + i, 6 - i) for i in range(4)]),
        (yellow, [(3, 7), (2, 6), (1, 5)]),
        (yellow, [(28, 7), (29, 6), (30, 5)]),
    ]
    for colour, pts in ray_up:
        for x, y in pts:
            c.put(x, y, colour)
            c.put(x, 31 - y, colour)
    c.rect(0, 15, 2, 17, orange)
    c.rect(30, 15, 32, 17, orange)
    return c


def make_about():
    c = Canvas(32, 32, (255, 255, 255))
    c.shape(lambda x, y: True, vgrad(0, 32, (226, 236, 252), (255, 255, 255)))
    # handheld behind the keyboard
    c.rrect(15.5, 1.5, 28.5, 21.5, 2.2, (52, 56, 70))
    c.rrect(16.5, 2.5, 27.5, 20.5, 1.5, (110, 116, 134))
    c.rect(18, 4, 26, 15, (30, 60, 140))
    c.shape(lambda x, y: True, vgrad(4, 15, (120, 170, 235), (60, 100, 190)),
            (18, 4, 26, 15), ss=1)
    c.rect(19, 5, 22, 6, (230, 240, 255))
    c.rect(19, 7, 24, 8, (200, 220, 250))
    c.disc(20.5, 17.5, 1.1, (190, 196, 210))
    c.disc(24.5, 17.5, 1.1, (190, 196, 210))
    # stylus leaning on the left
    c.line(4.0, 2.5, 13.0, 15.5, 2.0, (200, 60, 40))
    c.line(4.0, 2.5, 5.5, 4.7, 2.0, (240, 230, 220))
    c.line(13.0, 15.5, 14.2, 17.2, 0.9, (60, 60, 60))
    # soft drop shadow then the keyboard
    c.rrect(2.5, 17.5, 31.5, 31.5, 2.0, (150, 160, 185))
    c.rrect(1.5, 15.5, 29.5, 29.5, 2.0, BODY_EDGE)
    c.shape(lambda x, y: True, vgrad(16, 29, (150, 156, 176), (80, 84, 100)),
            (2, 16, 29, 29), ss=1)
    c.rect(2, 16, 29, 17, (180, 186, 204))
    rows = [(18, 3, 9), (21, 4, 8), (24, 3, 9)]
    for ry, rx, n in rows:
        for k in range(n):
            kx = rx + 3 * k
            c.rect(kx, ry, kx + 2, ry + 2, KEY)
            c.rect(kx, ry + 1, kx + 2, ry + 2, KEY_SHADE)
            c.rect(kx + 2, ry, kx + 3, ry + 2, (60, 64, 80))
    c.rect(4, 27, 8, 28, KEY)
    c.rect(9, 27, 22, 28, KEY)
    c.rect(23, 27, 28, 28, KEY)
    # the gap rows between keys stay dark; a blue accent key
    c.rect(27, 21, 28, 23, (120, 170, 235))
    return c


def icon_keyboard32():
    c = Canvas(32, 32)
    keyboard32(c, 2, 9)
    return c


def icon_keyboard16():
    c = Canvas(16, 16)
    keyboard16(c, 0, 2)
    return c


def power_mark(c, cx, cy, r):
    c.disc(cx, cy, r + 1, (255, 255, 255))
    c.disc(cx, cy, r, (20, 150, 40))
    c.disc(cx, cy - r * 0.3, r * 0.75, (60, 200, 80))
    c.disc(cx, cy, r * 0.8, (30, 170, 50))
    s = r * 0.55
    c.poly([(cx - s * 0.6, cy - s), (cx - s * 0.6, cy + s), (cx + s, cy)],
           (255, 255, 255))


def icon_starter32():
    c = Canvas(32, 32)
    keyboard32(c, 0, 4)
    power_mark(c, 24, 24, 6.5)
    return c


def icon_starter16():
    c = Canvas(16, 16)
    keyboard16(c, 0, 0)
    c.disc(11.5, 11.5, 4.5, (255, 255, 255))
    c.disc(11.5, 11.5, 3.7, (30, 160, 50))
    # hand-placed triangle: smoothing blurs it at this size
    for x, y0, y1 in ((10, 9, 13), (11, 10, 12), (12, 11, 11)):
        for y in range(y0, y1 + 1):
            c.put(x, y, (255, 255, 255))
    return c


PAL_EDGE = (20, 40, 110)
PAL_CELL = (60, 110, 210)
PAL_CELL_HI = (90, 140, 230)
PAL_GRID = (200, 220, 255)
PAL_INK = (255, 255, 255)


# cell spans (first, last pixel) of the palette grids
GRID32 = [(2, 10), (12, 19), (21, 29)]
GRID16 = [(1, 7), (9, 14)]


def palette_board(c, size, grid, radius):
    c.rrect(0.5, 0.5, size - 0.5, size - 0.5, radius, PAL_EDGE)
    lo, hi = grid[0][0], grid[-1][1] + 1
    c.shape(lambda x, y: True, vgrad(lo, hi, PAL_CELL_HI, PAL_CELL),
            (lo, lo, hi, hi), ss=1)
    for (_, end), _ in zip(grid, grid[1:]):
        c.rect(end + 1, lo, end + 2, hi, PAL_GRID)
        c.rect(lo, end + 1, hi, end + 2, PAL_GRID)


def put_symbol(c, name, cell_x, cell_y):
    g = SYMBOLS[name]
    gw, gh = len(g[0]), len(g)
    x = cell_x[0] + (cell_x[1] - cell_x[0] + 1 - gw + 1) // 2
    y = cell_y[0] + (cell_y[1] - cell_y[0] + 1 - gh + 1) // 2
    c.glyph(name, x, y, PAL_INK, SYMBOLS)


def icon_palette32():
    c = Canvas(32, 32)
    palette_board(c, 32, GRID32, 3.0)
    names = ["{", "~", "}", "O", "+", "p", "<", "v", ">"]
    for i, name in enumerate(names):
        put_symbol(c, name, GRID32[i % 3], GRID32[i // 3])
    # the centre cell is the selected one: frame it on the grid lines
    gold = (255, 210, 60)
    c.rect(11, 11, 21, 12, gold)
    c.rect(11, 20, 21, 21, gold)
    c.rect(11, 11, 12, 21, gold)
    c.rect(20, 11, 21, 21, gold)
    return c


def icon_palette16():
    c = Canvas(16, 16)
    palette_board(c, 16, GRID16, 1.5)
    for i, name in enumerate(["~", "O", "{", "}"]):
        put_symbol(c, name, GRID16[i % 2], GRID16[i // 2])
    return c


def make_keyboard_bmp():
    c = Canvas(KB_W, KB_H, KB_GROUND)

    def px_x(du):
        return du * DU_X

    def px_y(du):
        return (du - PIC_Y_DU) * DU_Y

    kb_rows = keyboard_rows()
    for row in kb_rows:
        for name, x, y, w, h in row:
            g = GLYPHS[name]
            gw, gh = len(g[0]), len(g)
            centre = px_x(x + w / 2.0)
            left = int(math.floor(centre - gw / 2.0 + 0.5))
            bottom = int(math.floor(px_y(y))) - 1 - LABEL_GAP
            c.glyph(name, left, bottom - gh + 1, KB_LABEL)

    # arc: a parabola just under row 3's button bottoms, highest in the middle
    row3 = kb_rows[2]
    xl = px_x(row3[0][1])
    xr = px_x(row3[-1][1] + row3[-1][3])
    xm = (xl + xr) / 2.0
    y_end = px_y(max(b[2] + b[4] for b in row3) + ARC_DROP_DU)
    y_mid = px_y(min(b[2] + b[4] for b in row3) + ARC_DROP_DU)
    k = (y_end - y_mid) / ((xl - xm) ** 2)

    def inside(x, y):
        if not (xl <= x <= xr):
            return False
        f = y_mid + k * (x - xm) ** 2
        slope = 2 * k * (x - xm)
        return abs(y - f) / math.sqrt(1 + slope * slope) <= ARC_WIDTH / 2.0
    c.shape(inside, KB_ARC, (xl, y_mid - 2, xr, y_end + 2))
    return c


def main():
    write("controlpanel/res/kbdoff.bmp", bmp_bytes(make_kbdoff(), 4, PAL16))
    write("controlpanel/res/kbdon.bmp", bmp_bytes(make_kbdon(), 4, PAL16))
    write("controlpanel/res/about.bmp", bmp_bytes(make_about(), 8))
    write("controlpanel/res/pelorin.ico", ico_bytes([icon_keyboard16(), icon_keyboard32()]))
    write("starter/res/starter.ico", ico_bytes([icon_starter16(), icon_starter32()]))
    write("palette/res/kadenza.ico", ico_bytes([icon_palette16(), icon_palette32()]))
    write("palette/res/keyboard.bmp", bmp_bytes(make_keyboard_bmp(), 8))


if __name__ == "__main__":
    main()
