#!/usr/bin/env python3
"""Draws the program's own pictures and icons and writes them under
src/base/resources/images/ (paths as listed in src/base/resources/images.qrc).

Pure Python (zlib and struct only): shapes are signed distance functions,
anti-aliased by their distance to the pixel centre. The output is
deterministic, so running the script again gives the same bytes.

    python3 scripts/make-images.py [output-root] [--sheet contact-sheet.png]
"""

import math
import os
import struct
import sys
import zlib

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), os.pardir,
                    "src", "app", "resources", "images")


# ---------------------------------------------------------------- geometry

def clamp(v, lo=0.0, hi=1.0):
    return lo if v < lo else hi if v > hi else v


def sd_circle(px, py, cx, cy, r):
    return math.hypot(px - cx, py - cy) - r


def sd_segment(px, py, ax, ay, bx, by, r):
    """Capsule: a segment from a to b with round ends of radius r."""
    dx, dy = bx - ax, by - ay
    t = clamp(((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy))
    return math.hypot(px - ax - t * dx, py - ay - t * dy) - r


def sd_polygon(px, py, pts):
    """Signed distance to a simple polygon (negative inside)."""
    d = float("inf")
    inside = False
    n = len(pts)
    for i in range(n):
        ax, ay = pts[i]
        bx, by = pts[i - 1]
        ex, ey = bx - ax, by - ay
        t = clamp(((px - ax) * ex + (py - ay) * ey) / (ex * ex + ey * ey))
        d = min(d, math.hypot(px - ax - t * ex, py - ay - t * ey))
        if (ay > py) != (by > py) and px < ax + (py - ay) * ex / ey:
            inside = not inside
    return -d if inside else d


def sd_arc(px, py, cx, cy, r, a0, a1, w):
    """Arc of radius r from angle a0 to a1 (radians, y down), stroke width w."""
    ang = math.atan2(py - cy, px - cx)
    mid = (a0 + a1) / 2
    half = (a1 - a0) / 2
    rel = (ang - mid + math.pi) % (2 * math.pi) - math.pi
    if abs(rel) <= half:
        d = abs(math.hypot(px - cx, py - cy) - r)
    else:
        d = min(math.hypot(px - cx - r * math.cos(a), py - cy - r * math.sin(a))
                for a in (a0, a1))
    return d - w / 2


def sd_round_rect(px, py, x0, y0, x1, y1, r):
    """Rectangle from (x0, y0) to (x1, y1) with corners rounded by r."""
    cx, cy = (x0 + x1) / 2, (y0 + y1) / 2
    hx, hy = (x1 - x0) / 2 - r, (y1 - y0) / 2 - r
    qx, qy = abs(px - cx) - hx, abs(py - cy) - hy
    outside = math.hypot(max(qx, 0.0), max(qy, 0.0))
    return outside + min(max(qx, qy), 0.0) - r


def coverage(sd):
    return clamp(0.5 - sd)


def mix(c0, c1, t):
    return tuple(a + (b - a) * t for a, b in zip(c0, c1))


class Canvas:
    """Straight-alpha RGBA float canvas."""

    def __init__(self, w, h):
        self.w, self.h = w, h
        self.px = [[(0.0, 0.0, 0.0, 0.0)] * w for _ in range(h)]

    def paint(self, sdf, color, alpha=1.0):
        """Composites colour (r, g, b in 0..255 or a function of x, y) over
        the canvas where the distance function is negative."""
        for y in range(self.h):
            row = self.px[y]
            for x in range(self.w):
                cx, cy = x + 0.5, y + 0.5
                a = coverage(sdf(cx, cy)) * alpha
                if a <= 0.0:
                    continue
                c = color(cx, cy) if callable(color) else color
                r0, g0, b0, a0 = row[x]
                ao = a + a0 * (1 - a)
                rgb = tuple((c[i] * a + (r0, g0, b0)[i] * a0 * (1 - a)) / ao
                            for i in range(3))
                row[x] = (rgb[0], rgb[1], rgb[2], ao)

    def rgba_rows(self):
        for row in self.px:
            out = bytearray()
            for r, g, b, a in row:
                out += bytes((round(clamp(r, 0, 255)), round(clamp(g, 0, 255)),
                              round(clamp(b, 0, 255)), round(a * 255)))
            yield bytes(out)


# ---------------------------------------------------------------- PNG

def png_bytes(canvas):
    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data
                + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))

    raw = b"".join(b"\x00" + row for row in canvas.rgba_rows())
    ihdr = struct.pack(">IIBBBBB", canvas.w, canvas.h, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", ihdr)
            + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


# ---------------------------------------------------------------- GIF

def lzw_encode(indices, min_size):
    clear, eoi = 1 << min_size, (1 << min_size) + 1
    out = bytearray()
    acc = nbits = 0

    def emit(code, size):
        nonlocal acc, nbits
        acc |= code << nbits
        nbits += size
        while nbits >= 8:
            out.append(acc & 0xFF)
            acc >>= 8
            nbits -= 8

    def fresh():
        return {bytes((i,)): i for i in range(clear)}, eoi + 1, min_size + 1

    table, next_code, size = fresh()
    emit(clear, size)
    w = bytes((indices[0],))
    for k in indices[1:]:
        wk = w + bytes((k,))
        if wk in table:
            w = wk
            continue
        emit(table[w], size)
        if next_code < 4096:
            table[wk] = next_code
            next_code += 1
            if next_code > (1 << size) and size < 12:
                size += 1
        else:
            emit(clear, size)
            table, next_code, size = fresh()
        w = bytes((k,))
    emit(table[w], size)
    emit(eoi, size)
    if nbits:
        out.append(acc & 0xFF)
    return bytes(out)


def gif_bytes(w, h, palette, frames, delay_cs):
    """frames: lists of palette indices, index 0 is transparent."""
    out = bytearray(b"GIF89a")
    out += struct.pack("<HHBBB", w, h, 0xF7, 0, 0)
    for i in range(256):
        out += bytes(palette[i] if i < len(palette) else (0, 0, 0))
    out += b"\x21\xFF\x0BNETSCAPE2.0\x03\x01\x00\x00\x00"
    for frame in frames:
        out += b"\x21\xF9\x04" + struct.pack("<BHB", (2 << 2) | 1, delay_cs, 0) + b"\x00"
        out += b"\x2C" + struct.pack("<HHHHB", 0, 0, w, h, 0)
        data = lzw_encode(frame, 8)
        out += b"\x08"
        for i in range(0, len(data), 255):
            block = data[i:i + 255]
            out += bytes((len(block),)) + block
        out += b"\x00"
    out += b"\x3B"
    return bytes(out)


# ---------------------------------------------------------------- pictures

def draw_logo(size=96):
    c = Canvas(size, size)
    s = size / 96.0
    mid = size / 2

    def badge(x, y):
        t = clamp((x + y) / (2 * size))
        return mix((38, 112, 196), (16, 50, 110), t)

    c.paint(lambda x, y: sd_circle(x, y, mid, mid, 44 * s), (10, 32, 72))
    c.paint(lambda x, y: sd_circle(x, y, mid, mid, 41 * s), badge)
    # The letter Z: two bars and a diagonal.
    white = (255, 255, 255)
    w = 5.0 * s
    c.paint(lambda x, y: sd_segment(x, y, 30 * s, 31 * s, 62 * s, 31 * s, w), white)
    c.paint(lambda x, y: sd_segment(x, y, 62 * s, 31 * s, 32 * s, 67 * s, w), white)
    c.paint(lambda x, y: sd_segment(x, y, 32 * s, 67 * s, 66 * s, 67 * s, w), white)
    # Radio waves from the upper right corner of the letter.
    for r, a in ((10, 1.0), (17, 0.75)):
        c.paint(lambda x, y, r=r: sd_arc(x, y, 64 * s, 31 * s, r * s,
                                         -math.pi / 2, 0.0, 3.2 * s),
                (255, 196, 64), a)
    return c


def draw_warning(size=64):
    c = Canvas(size, size)
    s = size / 64.0
    tri = [(32 * s, 7 * s), (59 * s, 55 * s), (5 * s, 55 * s)]

    def body(x, y):
        t = clamp(y / size)
        return mix((255, 214, 64), (240, 160, 16), t)

    c.paint(lambda x, y: sd_polygon(x, y, tri) - 3.5 * s, (120, 72, 0))
    c.paint(lambda x, y: sd_polygon(x, y, tri) - 1.0 * s, body)
    dark = (40, 30, 20)
    c.paint(lambda x, y: sd_segment(x, y, 32 * s, 22 * s, 32 * s, 38 * s, 3.6 * s), dark)
    c.paint(lambda x, y: sd_circle(x, y, 32 * s, 47 * s, 3.8 * s), dark)
    return c


def draw_pencil(size=16):
    c = Canvas(size, size)
    s = size / 16.0
    # Pencil along the diagonal from the lower left tip to the upper right end.
    ux, uy = math.sqrt(0.5), -math.sqrt(0.5)      # along the pencil
    vx, vy = -uy, ux                              # across it
    ox, oy = 2.4 * s, 13.6 * s                    # tip point
    half = 2.4 * s

    def at(a, b):
        return (ox + ux * a + vx * b, oy + uy * a + vy * b)

    def quad(a0, a1):
        return [at(a0, -half), at(a1, -half), at(a1, half), at(a0, half)]

    length = 15.2 * s
    body = quad(5.0 * s, length - 3.5 * s)
    band = quad(length - 3.5 * s, length - 2.6 * s)
    eraser = quad(length - 2.6 * s, length)
    wood = [at(0.8 * s, 0), at(5.0 * s, -half), at(5.0 * s, half)]
    lead = [at(0, 0), at(2.2 * s, -half * 0.45), at(2.2 * s, half * 0.45)]
    outline = (70, 50, 30)
    c.paint(lambda x, y: sd_polygon(x, y, body + [at(0, 0)]) - 0.6 * s, outline)
    c.paint(lambda x, y: sd_polygon(x, y, eraser) - 0.6 * s, outline)
    c.paint(lambda x, y: sd_polygon(x, y, body), (250, 196, 40))
    c.paint(lambda x, y: sd_polygon(x, y, wood), (238, 200, 150))
    c.paint(lambda x, y: sd_polygon(x, y, lead), (60, 60, 66))
    c.paint(lambda x, y: sd_polygon(x, y, band), (170, 170, 180))
    c.paint(lambda x, y: sd_polygon(x, y, eraser), (236, 120, 140))
    return c


def draw_spinner(size=64, dots=12, delay_cs=8):
    """A ring of dots with a bright head and a fading tail. Edges are blended
    against the dialogs' light grey, since GIF transparency is on or off."""
    matte = (239, 239, 239)
    ink = (30, 100, 190)
    palette = [(255, 0, 255)]  # index 0: transparent
    levels = 255
    for i in range(levels):
        palette.append(tuple(round(v) for v in mix(matte, ink, i / (levels - 1))))
    mid = size / 2
    ring = size * 0.34
    dot_r = size * 0.075
    frames = []
    for f in range(dots):
        shade = [[0.0] * size for _ in range(size)]
        cover = [[0.0] * size for _ in range(size)]
        for d in range(dots):
            ang = 2 * math.pi * d / dots - math.pi / 2
            cx, cy = mid + ring * math.cos(ang), mid + ring * math.sin(ang)
            age = (f - d) % dots
            strength = max(0.18, 1.0 - age / (dots * 0.75))
            for y in range(int(cy - dot_r - 2), int(cy + dot_r + 3)):
                for x in range(int(cx - dot_r - 2), int(cx + dot_r + 3)):
                    if 0 <= x < size and 0 <= y < size:
                        a = coverage(sd_circle(x + 0.5, y + 0.5, cx, cy, dot_r))
                        if a > cover[y][x]:
                            cover[y][x] = a
                            shade[y][x] = strength
        frame = []
        for y in range(size):
            for x in range(size):
                a = cover[y][x]
                if a < 0.35:
                    frame.append(0)
                else:
                    t = shade[y][x] * min(1.0, a * 1.3)
                    frame.append(1 + round(t * (levels - 1)))
        frames.append(frame)
    return gif_bytes(size, size, palette, frames, delay_cs)


def draw_save(size=16):
    """A floppy disk: dark body, light label, metal shutter."""
    c = Canvas(size, size)
    s = size / 16.0
    body = [(1.5 * s, 1.5 * s), (12.0 * s, 1.5 * s), (14.5 * s, 4.0 * s),
            (14.5 * s, 14.5 * s), (1.5 * s, 14.5 * s)]
    c.paint(lambda x, y: sd_polygon(x, y, body), (30, 60, 120))
    c.paint(lambda x, y: sd_round_rect(x, y, 4.0 * s, 1.5 * s, 11.0 * s, 6.0 * s, 0.4 * s),
            (200, 205, 215))
    c.paint(lambda x, y: sd_round_rect(x, y, 8.5 * s, 2.3 * s, 10.0 * s, 5.2 * s, 0.2 * s),
            (60, 70, 90))
    c.paint(lambda x, y: sd_round_rect(x, y, 3.5 * s, 8.5 * s, 12.5 * s, 14.5 * s, 0.6 * s),
            (250, 250, 250))
    for yy in (10.5, 12.5):
        c.paint(lambda x, y, yy=yy: sd_segment(x, y, 5.0 * s, yy * s, 11.0 * s, yy * s, 0.35 * s),
                (150, 160, 180))
    return c


# Device pictures: 64 x 64, straight alpha, a soft shadow under a body.

def device_canvas():
    return Canvas(64, 64)


def shadow(c, x0, y0, x1, y1, r):
    c.paint(lambda x, y: sd_round_rect(x, y, x0 + 2, y0 + 3, x1 + 2, y1 + 3, r) - 1.5,
            (0, 0, 0), 0.25)


def shaded(top, bottom, y0, y1):
    return lambda x, y: mix(top, bottom, clamp((y - y0) / (y1 - y0)))


def draw_contact_sensor():
    """Sensor body with an LED and the separate magnet beside it."""
    c = device_canvas()
    shadow(c, 8, 10, 36, 56, 5)
    shadow(c, 42, 16, 56, 50, 4)
    c.paint(lambda x, y: sd_round_rect(x, y, 8, 10, 36, 56, 5), (150, 150, 155))
    c.paint(lambda x, y: sd_round_rect(x, y, 9, 11, 35, 55, 4.2),
            shaded((252, 252, 252), (214, 216, 222), 10, 56))
    c.paint(lambda x, y: sd_round_rect(x, y, 42, 16, 56, 50, 4), (150, 150, 155))
    c.paint(lambda x, y: sd_round_rect(x, y, 43, 17, 55, 49, 3.2),
            shaded((250, 250, 250), (210, 212, 218), 16, 50))
    c.paint(lambda x, y: sd_circle(x, y, 22, 20, 2.6), (40, 190, 70))
    c.paint(lambda x, y: sd_segment(x, y, 15, 46, 29, 46, 1.0), (170, 172, 180))
    return c


def draw_call_point(body, inner, mark, lid=False):
    """A square box of the given colour with a white window and a round
    push mark; `lid` adds a clear hinged cover."""
    c = device_canvas()
    shadow(c, 6, 6, 58, 58, 6)
    c.paint(lambda x, y: sd_round_rect(x, y, 6, 6, 58, 58, 6), mix(body, (0, 0, 0), 0.35))
    c.paint(lambda x, y: sd_round_rect(x, y, 7, 7, 57, 57, 5.2),
            shaded(mix(body, (255, 255, 255), 0.15), body, 7, 57))
    c.paint(lambda x, y: sd_round_rect(x, y, 16, 16, 48, 48, 3), inner)
    c.paint(lambda x, y: sd_circle(x, y, 32, 32, 9), mix(body, (0, 0, 0), 0.15))
    c.paint(lambda x, y: sd_circle(x, y, 32, 32, 6.5), mark)
    if lid:
        c.paint(lambda x, y: abs(sd_round_rect(x, y, 12, 12, 52, 52, 4)) - 0.9,
                (230, 240, 255), 0.9)
        c.paint(lambda x, y: sd_segment(x, y, 20, 10, 44, 10, 1.4), (90, 90, 100))
    return c


def draw_key_fob():
    """A key fob with a ring hole and a red button."""
    c = device_canvas()
    outline = [(20, 8), (44, 8), (52, 18), (52, 50), (44, 58), (20, 58), (12, 50), (12, 18)]
    c.paint(lambda x, y: sd_polygon(x + 2, y - 3, outline) - 1.5, (0, 0, 0), 0.25)
    c.paint(lambda x, y: sd_polygon(x, y, outline) - 0.5, (25, 25, 30))
    c.paint(lambda x, y: sd_polygon(x, y, outline) + 1.0, shaded((90, 92, 100), (45, 46, 52), 8, 58))
    c.paint(lambda x, y: abs(sd_circle(x, y, 32, 15, 3.5)) - 1.0, (160, 160, 170))
    c.paint(lambda x, y: sd_circle(x, y, 32, 37, 11), (120, 20, 20))
    c.paint(lambda x, y: sd_circle(x, y, 32, 37, 9.5),
            lambda x, y: mix((250, 80, 70), (190, 20, 20), clamp((y - 27) / 20)))
    c.paint(lambda x, y: sd_circle(x, y, 32, 52, 1.6), (60, 200, 90))
    return c


# ---------------------------------------------------------------- shape kit
# Shapes are distance functions of (x, y); these combine and place them.

BLUE = (38, 112, 196)
GREEN = (46, 158, 72)
RED = (212, 48, 44)
ORANGE = (236, 136, 28)
YELLOW = (246, 196, 48)
GREY = (128, 134, 146)
DARK = (50, 56, 66)
LCD = (178, 196, 170)
METAL = (176, 180, 190)
PAPER = (250, 250, 252)
WHITE = (255, 255, 255)


def darker(c, t=0.4):
    return mix(c, (0, 0, 0), t)


def lighter(c, t=0.35):
    return mix(c, (255, 255, 255), t)


def union(*fs):
    return lambda x, y: min(f(x, y) for f in fs)


def subtract(a, b):
    return lambda x, y: max(a(x, y), -b(x, y))


def intersect(a, b):
    return lambda x, y: max(a(x, y), b(x, y))


def stroke(f, w):
    """A line of width w along the edge of shape f."""
    return lambda x, y: abs(f(x, y)) - w / 2


def circle(cx, cy, r):
    return lambda x, y: sd_circle(x, y, cx, cy, r)


def rrect(x0, y0, x1, y1, r=0.0):
    return lambda x, y: sd_round_rect(x, y, x0, y0, x1, y1, r)


def polygon(pts):
    return lambda x, y: sd_polygon(x, y, pts)


def polyline(pts, r):
    """Round-ended line through the points, half width r."""
    return lambda x, y: min(sd_segment(x, y, *pts[i], *pts[i + 1], r)
                            for i in range(len(pts) - 1))


def arc(cx, cy, r, a0, a1, w):
    return lambda x, y: sd_arc(x, y, cx, cy, r, a0, a1, w)


def sd_ellipse(px, py, cx, cy, rx, ry):
    """Distance to an ellipse to first order: good enough for edge smoothing."""
    ux, uy = (px - cx) / rx, (py - cy) / ry
    k = math.hypot(ux, uy)
    g = math.hypot(ux / rx, uy / ry)
    if g == 0.0:
        return -min(rx, ry)
    return (k - 1) * k / g


def ellipse(cx, cy, rx, ry):
    return lambda x, y: sd_ellipse(x, y, cx, cy, rx, ry)


def gear(cx, cy, r_body, r_tip, teeth, tooth_w, hole=0.0):
    """A cogwheel: a disc with rectangular teeth, optionally a centre hole."""
    sector = 2 * math.pi / teeth

    def f(px, py):
        dx, dy = px - cx, py - cy
        r = math.hypot(dx, dy)
        a = (math.atan2(dy, dx) + sector / 2) % sector - sector / 2
        u, v = r * math.cos(a), r * math.sin(a)
        tooth = sd_round_rect(u, v, r_body - 1.0, -tooth_w / 2, r_tip, tooth_w / 2, 0.6)
        d = min(r - r_body, tooth)
        return max(d, hole - r) if hole else d
    return f


def arrow_points(x0, y0, x1, y1, shaft, head_len, head_w):
    """Outline of a straight arrow from (x0, y0) with its tip at (x1, y1)."""
    n = math.hypot(x1 - x0, y1 - y0)
    ux, uy = (x1 - x0) / n, (y1 - y0) / n
    vx, vy = -uy, ux
    bx, by = x1 - ux * head_len, y1 - uy * head_len

    def off(x, y, d):
        return (x + vx * d, y + vy * d)
    return [off(x0, y0, shaft / 2), off(bx, by, shaft / 2), off(bx, by, head_w / 2),
            (x1, y1), off(bx, by, -head_w / 2), off(bx, by, -shaft / 2),
            off(x0, y0, -shaft / 2)]


def arc_head(cx, cy, r, a, length, width, sign=1):
    """Arrow head at angle a of a circle, pointing along it (sign 1: with
    growing angle, i.e. clockwise on screen)."""
    px, py = cx + r * math.cos(a), cy + r * math.sin(a)
    tx, ty = -math.sin(a) * sign, math.cos(a) * sign
    nx, ny = math.cos(a), math.sin(a)
    return polygon([(px + nx * width / 2, py + ny * width / 2),
                    (px + tx * length, py + ty * length),
                    (px - nx * width / 2, py - ny * width / 2)])


def drop(cx, cy, r, apex_y):
    """A water drop: a disc with a point straight above it."""
    d = cy - apex_y
    a = math.acos(r / d)
    tx, ty = r * math.sin(a), -r * math.cos(a)
    return union(circle(cx, cy, r),
                 polygon([(cx - tx, cy + ty), (cx, apex_y), (cx + tx, cy + ty), (cx, cy)]))


SEVEN_SEGMENTS = {
    "0": "abcdef", "1": "bc", "2": "abged", "3": "abgcd", "4": "fgbc",
    "5": "afgcd", "6": "afgedc", "7": "abc", "8": "abcdefg", "9": "abcdfg",
}


def seven_segment(text, x, y, w, h, r, pitch):
    """Digits as a segment display shows them, the first one's top left at (x, y)."""
    parts = []
    gap = r * 1.2
    for i, ch in enumerate(text):
        x0, x1 = x + i * pitch, x + i * pitch + w
        ym, y1 = y + h / 2, y + h
        ends = {
            "a": ((x0 + gap, y), (x1 - gap, y)), "d": ((x0 + gap, y1), (x1 - gap, y1)),
            "g": ((x0 + gap, ym), (x1 - gap, ym)),
            "f": ((x0, y + gap), (x0, ym - gap)), "b": ((x1, y + gap), (x1, ym - gap)),
            "e": ((x0, ym + gap), (x0, y1 - gap)), "c": ((x1, ym + gap), (x1, y1 - gap)),
        }
        for s in SEVEN_SEGMENTS[ch]:
            parts.append(polyline(list(ends[s]), r))
    return union(*parts)


def vertical(top, bottom, y0, y1):
    return lambda x, y: mix(top, bottom, clamp((y - y0) / (y1 - y0)))


def shade(color, y0, y1, t=0.3):
    """The colour lit from above: lighter at y0, itself at y1."""
    return vertical(lighter(color, t), color, y0, y1)


class Sketch:
    """A canvas addressed in grid units, so a picture drawn on a `grid`-unit
    square comes out the same at any pixel size."""

    def __init__(self, size, grid=32):
        self.canvas = Canvas(size, size)
        self.k = size / grid

    def fill(self, f, color, alpha=1.0):
        k = self.k
        col = (lambda x, y: color(x / k, y / k)) if callable(color) else color
        self.canvas.paint(lambda x, y: f(x / k, y / k) * k, col, alpha)

    def body(self, f, color, rim=None, width=1.0):
        """Fills f with a darker rim of the given width just inside its edge."""
        if rim is None:
            rim = darker(color((0, 0)) if callable(color) else color)
        self.fill(f, rim)
        self.fill(lambda x, y: f(x, y) + width, color)

    def ink(self, f, color):
        """A dark line or shape with a faint light halo, so it still shows
        on a dark toolbar."""
        self.fill(lambda x, y: f(x, y) - 0.9, WHITE, 0.55)
        self.fill(f, color)

    def shadow(self, f, dx=2, dy=3, grow=1.5, alpha=0.25):
        self.fill(lambda x, y: f(x - dx, y - dy) - grow, (0, 0, 0), alpha)

    def case(self, f, top=(252, 252, 252), bottom=(214, 216, 222), rim=(150, 150, 155),
             y0=0, y1=64):
        """A device housing: soft shadow, grey rim and a body lit from above."""
        self.shadow(f)
        self.body(f, vertical(top, bottom, y0, y1), rim)


# ---------------------------------------------------------------- icons
# Toolbar, menu and button icons, drawn on a 32-unit grid.

def icon_disc(color, size):
    sk = Sketch(size)
    sk.body(circle(16, 16, 14.5), shade(color, 2, 30), darker(color, 0.35))
    return sk


def icon_confirm(size=32):
    sk = icon_disc(GREEN, size)
    sk.fill(polyline([(9, 16.5), (14, 21.5), (23.5, 11)], 2.0), WHITE)
    return sk.canvas


def icon_cancel(size=32):
    sk = icon_disc(RED, size)
    sk.fill(union(polyline([(10.5, 10.5), (21.5, 21.5)], 2.0),
                  polyline([(21.5, 10.5), (10.5, 21.5)], 2.0)), WHITE)
    return sk.canvas


def icon_remove(size=32):
    sk = icon_disc(RED, size)
    sk.fill(polyline([(9, 16), (23, 16)], 2.2), WHITE)
    return sk.canvas


def plus(r=2.1, c=16, half=7):
    return union(polyline([(c, c - half), (c, c + half)], r),
                 polyline([(c - half, c), (c + half, c)], r))


def icon_add(size=32):
    sk = icon_disc(GREEN, size)
    sk.fill(plus(), WHITE)
    return sk.canvas


def icon_add_button(size=32):
    sk = Sketch(size)
    sk.body(rrect(2.5, 2.5, 29.5, 29.5, 6), shade(GREEN, 2, 30), darker(GREEN, 0.35))
    sk.fill(plus(2.3, 16, 7.5), WHITE)
    return sk.canvas


def icon_close(size=64):
    sk = Sketch(size)
    sk.ink(union(polyline([(8, 8), (24, 24)], 2.6), polyline([(24, 8), (8, 24)], 2.6)), DARK)
    return sk.canvas


def icon_arrow(size=32):
    sk = Sketch(size)
    sk.body(polygon(arrow_points(3.5, 16, 29, 16, 9, 12, 22)), shade(GREEN, 5, 27),
            darker(GREEN, 0.35))
    return sk.canvas


def icon_download(size=32):
    sk = Sketch(size)
    sk.ink(polyline([(4.5, 18.5), (4.5, 27.5), (27.5, 27.5), (27.5, 18.5)], 1.8), DARK)
    sk.body(polygon(arrow_points(16, 2.5, 16, 23.5, 7.5, 10, 18)), shade(BLUE, 2, 24),
            darker(BLUE, 0.35))
    return sk.canvas


def icon_direction(size=32):
    """Exit: an open door with an arrow leading out."""
    sk = Sketch(size)
    sk.ink(stroke(rrect(4, 3, 20, 29.5, 0.5), 2.2), DARK)
    sk.fill(rrect(5, 4, 19, 28.5), (90, 96, 108))
    wood = (176, 116, 60)
    sk.body(polygon([(4.5, 3.5), (13, 6.5), (13, 31), (4.5, 29)]), shade(wood, 4, 30),
            darker(wood, 0.4))
    sk.fill(circle(11, 18, 1.1), (250, 214, 120))
    sk.body(polygon(arrow_points(14, 16, 31, 16, 5.5, 8, 14)), RED, darker(RED, 0.35))
    return sk.canvas


def icon_about(size=32):
    ink = (34, 36, 42)
    sk = Sketch(size)
    sk.body(circle(16, 16, 14.5), shade(ink, 2, 30, 0.25), (8, 8, 10))
    sk.fill(circle(16, 9.2, 2.4), WHITE)
    sk.fill(polyline([(16, 14.5), (16, 24)], 2.2), WHITE)
    return sk.canvas


def icon_help(size=32):
    sk = icon_disc(BLUE, size)
    sk.fill(union(arc(16, 12.5, 5.2, -math.pi, 0.2 * math.pi, 3.8),
                  polyline([(20.2, 15.6), (16.2, 18.4), (16.2, 19.6)], 1.9)), WHITE)
    sk.fill(circle(16.2, 24.6, 2.1), WHITE)
    return sk.canvas


def icon_bluetooth(size=32):
    sk = Sketch(size)
    sk.body(rrect(6, 1.5, 26, 30.5, 9.5), shade(BLUE, 2, 30), darker(BLUE, 0.35))
    sk.fill(polyline([(10.5, 11), (21, 20.5), (16, 25.5), (16, 6.5), (21, 11.5), (10.5, 21)],
                     1.35), WHITE)
    return sk.canvas


def icon_capslock(size=32):
    sk = Sketch(size)
    sk.body(polygon([(16, 2.5), (29.5, 16), (22, 16), (22, 22), (10, 22), (10, 16),
                     (2.5, 16)]), shade(YELLOW, 3, 22), darker(YELLOW, 0.45), 1.4)
    sk.ink(rrect(10, 25, 22, 29.5, 1), DARK)
    return sk.canvas


def icon_cogwheel(size=32):
    sk = Sketch(size)
    sk.body(gear(16, 16, 10.5, 15, 8, 5.6, 4.6), shade(GREY, 2, 30), darker(GREY, 0.45))
    return sk.canvas


def icon_gear(size=32):
    """Two meshing gears: a machine at work."""
    sk = Sketch(size)
    sk.body(gear(12, 12, 7.6, 11, 8, 4.2, 3.0), shade(GREY, 1, 23), darker(GREY, 0.45))
    sk.body(gear(23.2, 23.2, 5.0, 8.2, 6, 3.6, 2.0), shade(ORANGE, 15, 31),
            darker(ORANGE, 0.4))
    return sk.canvas


def icon_settings(size=32):
    """Sliders of a settings panel."""
    sk = Sketch(size)
    for y, knob in ((7.5, 20), (16, 10), (24.5, 23)):
        sk.fill(polyline([(3.5, y), (28.5, y)], 1.4), GREY)
        sk.body(circle(knob, y, 3.8), shade(BLUE, y - 4, y + 4), darker(BLUE, 0.35))
    return sk.canvas


def plug(sk, color, x=0.0, y=0.0):
    sk.ink(polyline([(1.5 + x, 16 + y), (9 + x, 16 + y)], 2.2), DARK)
    sk.body(rrect(7.5 + x, 7.5 + y, 20 + x, 24.5 + y, 3), shade(color, 8 + y, 24 + y),
            darker(color, 0.4))
    for py in (11, 18):
        sk.body(rrect(19.5 + x, py + y, 28.5 + x, py + 3 + y, 0.8), METAL, darker(METAL, 0.35))


def icon_connection(size=32):
    sk = Sketch(size)
    plug(sk, GREEN, 1.5, 0)
    return sk.canvas


def icon_interface(size=32):
    """Close device: the plug, pulled out."""
    sk = Sketch(size)
    plug(sk, GREY, 0, -5)
    sk.body(circle(24, 24, 7.2), shade(RED, 17, 31), darker(RED, 0.35))
    sk.fill(union(polyline([(21, 21), (27, 27)], 1.3), polyline([(27, 21), (21, 27)], 1.3)),
            WHITE)
    return sk.canvas


def icon_technology(size=32):
    """Open device: a microchip."""
    sk = Sketch(size)
    for p in (10.2, 14.1, 17.9, 21.8):
        for f in (rrect(p - 1.1, 2.5, p + 1.1, 29.5, 0.6), rrect(2.5, p - 1.1, 29.5, p + 1.1, 0.6)):
            sk.body(f, METAL, darker(METAL, 0.35), 0.8)
    chip = (64, 70, 82)
    sk.body(rrect(7, 7, 25, 25, 2), shade(chip, 7, 25, 0.2), (24, 26, 30))
    sk.fill(circle(11, 11, 1.3), (150, 156, 168))
    sk.fill(circle(16, 16, 3.2), GREEN)
    return sk.canvas


def icon_database(size=32):
    sk = Sketch(size)
    rim = darker(BLUE, 0.4)
    sk.body(union(rrect(5.5, 7, 26.5, 25), ellipse(16, 25, 10.5, 4.5)),
            vertical(lighter(BLUE, 0.2), darker(BLUE, 0.1), 6, 30), rim)
    for yy in (13, 19):
        sk.fill(intersect(stroke(ellipse(16, yy, 10.5, 4.5), 1.3),
                          lambda x, y, yy=yy: yy - y), rim)
    sk.body(ellipse(16, 7, 10.5, 4.5), lighter(BLUE, 0.45), rim)
    return sk.canvas


def icon_list(size=32):
    sk = Sketch(size)
    for y in (7.5, 16, 24.5):
        sk.body(circle(6.5, y, 3), shade(BLUE, y - 3, y + 3), darker(BLUE, 0.35))
        sk.ink(polyline([(12.5, y), (28.5, y)], 1.8), DARK)
    return sk.canvas


def icon_nearby_search(size=32):
    """A magnifier over a radio source."""
    sk = Sketch(size)
    sk.fill(circle(13, 13, 9), (214, 232, 250))
    sk.fill(circle(13, 16.5, 1.8), BLUE)
    for r in (3.8, 6.6):
        sk.fill(arc(13, 16.5, r, -0.78 * math.pi, -0.22 * math.pi, 1.7), BLUE)
    sk.ink(union(stroke(circle(13, 13, 9), 3.0), polyline([(20, 20), (28, 28)], 2.8)), DARK)
    return sk.canvas


def folder(sk, dx=0.0, dy=0.0, k=1.0):
    def p(pts):
        return [(dx + x * k, dy + y * k) for x, y in pts]
    back = (222, 164, 44)
    sk.body(polygon(p([(3, 6.5), (12, 6.5), (14.5, 9.5), (27, 9.5), (27, 26), (3, 26)])),
            back, darker(back, 0.4))
    sk.fill(polygon(p([(6, 12), (25, 12), (25, 24), (6, 24)])), PAPER)
    sk.body(polygon(p([(7.5, 14), (30.5, 14), (26, 27), (2, 27)])),
            shade(YELLOW, dy + 14 * k, dy + 27 * k), darker(YELLOW, 0.45))


def icon_open(size=32):
    sk = Sketch(size)
    folder(sk)
    return sk.canvas


def icon_open_configuration(size=32):
    """A settings document."""
    sk = Sketch(size)
    sk.body(polygon([(5, 2.5), (18.5, 2.5), (25, 9), (25, 29.5), (5, 29.5)]), PAPER, GREY)
    sk.body(polygon([(18.5, 2.5), (18.5, 9), (25, 9)]), (214, 218, 226), GREY)
    for y, x1 in ((13, 21.5), (17, 21.5), (21, 15.5), (25, 13.5)):
        sk.fill(polyline([(8.5, y), (x1, y)], 0.9), (120, 150, 190))
    sk.body(gear(23.5, 23.5, 4.6, 7.2, 7, 2.9, 1.8), shade(ORANGE, 16, 31), darker(ORANGE, 0.4))
    return sk.canvas


def icon_pause(size=32):
    sk = Sketch(size)
    for x in (7.5, 18.5):
        sk.body(rrect(x, 5, x + 6, 27, 1.8), shade(BLUE, 5, 27), darker(BLUE, 0.35))
    return sk.canvas


def icon_play(size=32):
    sk = Sketch(size)
    tri = polygon([(9.5, 6.5), (25.5, 16), (9.5, 25.5)])
    sk.body(lambda x, y: tri(x, y) - 2.0, shade(GREEN, 4, 28), darker(GREEN, 0.35))
    return sk.canvas


def icon_remove_all(size=32):
    """Delete all devices: the device list, struck out."""
    sk = Sketch(size)
    for y in (4, 12, 20):
        sk.body(rrect(2.5, y, 25, y + 6, 1.5), shade(GREY, y, y + 6), darker(GREY, 0.45))
    sk.body(circle(23, 23, 8), shade(RED, 15, 31), darker(RED, 0.35))
    sk.fill(union(polyline([(19.8, 19.8), (26.2, 26.2)], 1.4),
                  polyline([(26.2, 19.8), (19.8, 26.2)], 1.4)), WHITE)
    return sk.canvas


def icon_restart(size=32):
    sk = Sketch(size)
    a0, a1 = -math.pi / 2 + 0.5, 1.5 * math.pi - 1.15
    sk.body(union(arc(16, 16.5, 10.5, a0, a1, 4.4), arc_head(16, 16.5, 10.5, a1, 8, 12)),
            shade(BLUE, 3, 30), darker(BLUE, 0.35))
    return sk.canvas


def icon_updateall(size=32):
    """Two arrows chasing round: refresh everything."""
    sk = Sketch(size)
    parts = []
    for a0 in (-math.pi + 0.35, 0.35):
        a1 = a0 + math.pi - 1.2
        parts += [arc(16, 16, 10.5, a0, a1, 4.0), arc_head(16, 16, 10.5, a1, 7, 11)]
    sk.body(union(*parts), shade(GREEN, 3, 29), darker(GREEN, 0.35))
    return sk.canvas


def icon_updated(size=32):
    """Update check: a down arrow out of a cloud."""
    sk = Sketch(size)
    cloud = union(circle(9.5, 19.5, 6.5), circle(17, 13.5, 8.5), circle(24.5, 19.5, 6),
                  rrect(9.5, 17, 24.5, 26, 0))
    sk.body(cloud, shade(BLUE, 5, 26), darker(BLUE, 0.35))
    sk.fill(polygon(arrow_points(17, 10, 17, 30.5, 4, 7, 12)), darker(BLUE, 0.45))
    sk.fill(polygon(arrow_points(17, 11, 17, 29, 2.2, 5.5, 9)), WHITE)
    return sk.canvas


def icon_rssi(size=32):
    sk = Sketch(size)
    for i, h in enumerate((8, 13.5, 19.5, 26)):
        x0 = 3 + i * 7
        sk.body(rrect(x0, 29 - h, x0 + 5.5, 29, 1), shade(GREEN, 29 - h, 29),
                darker(GREEN, 0.4))
    return sk.canvas


def icon_scanning(size=32):
    """A radar screen with its sweep."""
    sk = Sketch(size)
    screen = (22, 74, 44)
    glow = (120, 230, 140)
    sk.body(circle(16, 16, 14.5), screen, darker(screen, 0.5), 1.4)
    for r in (4.5, 9):
        sk.fill(stroke(circle(16, 16, r), 1.0), glow, 0.45)
    sk.fill(union(polyline([(16, 3), (16, 29)], 0.45), polyline([(3, 16), (29, 16)], 0.45)),
            glow, 0.45)
    a0, a1 = -math.pi / 2, -math.pi / 2 + 1.1
    wedge = [(16, 16)] + [(16 + 14 * math.cos(a0 + (a1 - a0) * i / 6),
                           16 + 14 * math.sin(a0 + (a1 - a0) * i / 6)) for i in range(7)]
    sk.fill(intersect(polygon(wedge), circle(16, 16, 13.2)), glow, 0.55)
    sk.fill(polyline([(16, 16), (16 + 13 * math.cos(a1), 16 + 13 * math.sin(a1))], 1.0), glow)
    sk.fill(circle(11, 21, 1.8), (220, 255, 220))
    return sk.canvas


def icon_sleep(size=32):
    sk = Sketch(size)
    moon = (250, 204, 70)
    sk.body(subtract(circle(13.5, 18, 12), circle(20, 12.5, 9.5)), shade(moon, 6, 30),
            darker(moon, 0.45))
    ink = (52, 78, 150)
    for x, y, s in ((19, 3, 6.5), (26.2, 11.5, 4.5)):
        sk.fill(polyline([(x, y), (x + s, y), (x, y + s), (x + s, y + s)], 1.15), ink)
    return sk.canvas


def icon_barcode_scanner(size=32):
    sk = Sketch(size)
    sk.body(rrect(2.5, 5.5, 29.5, 26.5, 2.5), PAPER, GREY)
    x = 6.0
    for w in (1.6, 0.9, 2.2, 0.9, 1.6, 2.6, 0.9, 1.6, 0.9, 2.2):
        sk.fill(rrect(x, 9, x + w, 23), DARK)
        x += w + 1.0
    sk.fill(polyline([(1.5, 16), (30.5, 16)], 1.2), RED, 0.9)
    return sk.canvas


def icon_eye(size=32):
    sk = Sketch(size)
    almond = intersect(circle(16, 27.5, 16.5), circle(16, 4.5, 16.5))
    sk.body(almond, WHITE, DARK, 1.7)
    sk.fill(intersect(circle(16, 16, 5.6), lambda x, y: almond(x, y) + 1.2), BLUE)
    sk.fill(circle(16, 16, 2.6), (20, 22, 28))
    sk.fill(circle(14.3, 14.2, 1.1), WHITE)
    return sk.canvas


def icon_garbage(size=32):
    sk = Sketch(size)
    rim = darker(GREY, 0.45)
    sk.fill(stroke(rrect(12, 3, 20, 8, 1.4), 1.8), rim)
    sk.body(rrect(5.5, 6.5, 26.5, 10, 1.2), shade(GREY, 6, 10), rim)
    sk.body(polygon([(7.5, 11), (24.5, 11), (22.5, 29.5), (9.5, 29.5)]), shade(GREY, 11, 30), rim)
    for x0, x1 in ((12.3, 12.8), (16, 16), (19.7, 19.2)):
        sk.fill(polyline([(x0, 14.5), (x1, 26)], 0.95), lighter(GREY, 0.55))
    return sk.canvas


def icon_password(size=32):
    """A key."""
    sk = Sketch(size)
    key = union(subtract(circle(10.5, 10.5, 7.8), circle(8.6, 8.6, 2.4)),
                polyline([(14, 14), (27.5, 27.5)], 2.1),
                polyline([(21.5, 21.5), (25, 18)], 1.8),
                polyline([(25.5, 25.5), (28.5, 22.5)], 1.8))
    sk.body(key, shade(YELLOW, 3, 29), darker(YELLOW, 0.5), 1.2)
    return sk.canvas


def chevrons(ys, down):
    d = 7 if down else -7
    return union(*(polyline([(8.5, y), (16, y + d), (23.5, y)], 2.3) for y in ys))


def icon_expand(size=32):
    sk = Sketch(size)
    sk.body(chevrons((5.5, 16), True), shade(BLUE, 4, 28), darker(BLUE, 0.35))
    return sk.canvas


def icon_collapse(size=32):
    sk = Sketch(size)
    sk.body(chevrons((12.5, 23.5), False), shade(BLUE, 4, 28), darker(BLUE, 0.35))
    return sk.canvas


# ---------------------------------------------------------------- more devices
# 64 x 64 like the ones above, one per model family.

def device_sketch():
    return Sketch(64, 64)


def led(sk, x, y, color, r=2.2):
    sk.body(circle(x, y, r), shade(color, y - r, y + r, 0.45), darker(color, 0.35), 0.7)


def lens(sk, f, y0, y1, facets=()):
    """The dark window of an infrared or flame detector, with its facets."""
    glass = (80, 92, 112)
    sk.body(f, vertical((118, 130, 150), glass, y0, y1), (44, 50, 62))
    for facet in facets:
        sk.fill(intersect(facet, lambda x, y: f(x, y) + 2), (200, 214, 235), 0.35)


def draw_expander():
    sk = device_sketch()
    sk.shadow(polyline([(47, 4), (47, 16)], 2.2))
    sk.fill(polyline([(47, 5), (47, 16)], 2.2), DARK)
    sk.fill(circle(47, 4.5, 3), DARK)
    sk.case(rrect(6, 14, 58, 56, 5), y0=14, y1=56)
    sk.body(rrect(12, 21, 52, 37, 2), (40, 48, 60), (20, 24, 30))
    for y, x1 in ((26.5, 38), (31.5, 30)):
        sk.fill(polyline([(16, y), (x1, y)], 1.2), (120, 200, 230))
    for x, color in ((17, GREEN), (24, GREEN), (31, YELLOW), (38, RED)):
        led(sk, x, 45.5, color)
    sk.fill(rrect(44, 43, 52, 48, 1), BLUE)
    return sk.canvas


def draw_repeater():
    sk = device_sketch()
    mast = (84, 90, 102)
    for x in (22, 42):
        sk.body(union(polyline([(x, 8), (x, 22)], 2), circle(x, 7.5, 2.6)), mast,
                darker(mast, 0.4), 0.8)
    for cx, a in ((22, math.pi), (42, 0.0)):
        for r in (6, 10.5):
            sk.fill(arc(cx, 8, r, a - 0.7, a + 0.7, 2.2), BLUE)
    sk.case(rrect(16, 20, 48, 60, 5), y0=20, y1=60)
    led(sk, 25, 28, GREEN)
    led(sk, 32, 28, GREEN)
    sk.fill(rrect(22, 44, 42, 50, 1.5), BLUE)
    return sk.canvas


def draw_socket():
    sk = device_sketch()
    sk.case(rrect(6, 6, 58, 58, 9), y0=6, y1=58)
    sk.fill(circle(32, 32, 19.5), (150, 154, 162))
    sk.fill(circle(32, 32, 18.5), vertical((206, 208, 214), (236, 238, 242), 14, 50))
    for y in (13.5, 46.5):
        sk.body(rrect(29, y, 35, y + 4, 1), METAL, darker(METAL, 0.35), 0.8)
    for x in (24.5, 39.5):
        sk.fill(circle(x, 32, 3.8), (30, 32, 38))
    led(sk, 51, 51, GREEN, 1.8)
    return sk.canvas


def draw_sign():
    sk = device_sketch()
    sk.case(rrect(3, 13, 61, 51, 4), (236, 238, 242), (196, 200, 208), y0=13, y1=51)
    lit = (34, 168, 84)
    sk.body(rrect(7, 17, 57, 47, 2), shade(lit, 17, 47, 0.2), darker(lit, 0.35))
    sk.fill(stroke(rrect(43.5, 22, 52.5, 42.5, 0.5), 2.4), WHITE)
    sk.fill(polygon(arrow_points(12, 32, 39.5, 32, 5, 9, 14)), WHITE)
    return sk.canvas


def draw_sounder():
    sk = device_sketch()
    sk.case(circle(32, 32, 27.5), y0=4, y1=60)
    for r in (17, 22):
        sk.fill(stroke(circle(32, 32, r), 1.8), (150, 154, 162))
    sk.body(circle(32, 32, 11.5), lambda x, y: mix((255, 120, 100), (190, 24, 20),
                                                     clamp((x + y - 42) / 30)),
            (130, 20, 16))
    sk.fill(circle(28, 28, 3), WHITE, 0.6)
    return sk.canvas


def draw_ceiling_detector():
    """Round ceiling detector seen from below: smoke chamber vents round a
    sensing centre."""
    sk = device_sketch()
    sk.case(circle(32, 32, 27.5), y0=4, y1=60)
    for i in range(12):
        a = 2 * math.pi * i / 12
        c, s = math.cos(a), math.sin(a)
        sk.fill(polyline([(32 + 16 * c, 32 + 16 * s), (32 + 22.5 * c, 32 + 22.5 * s)], 1.4),
                (140, 144, 152))
    sk.body(circle(32, 32, 11), vertical((255, 255, 255), (228, 230, 236), 21, 43),
            (170, 172, 180))
    led(sk, 38, 32, RED, 1.8)
    return sk.canvas


def draw_flame_detector():
    sk = device_sketch()
    sk.case(rrect(10, 6, 54, 58, 6), (240, 242, 246), (196, 202, 212), y0=6, y1=58)
    lens(sk, circle(32, 27, 13.5), 13, 41)
    flame = union(circle(32, 32, 5.8), polygon([(26.4, 30.5), (32, 16.5), (37.6, 30.5)]))
    sk.fill(flame, vertical((255, 214, 64), (240, 96, 20), 17, 38))
    sk.fill(union(circle(32, 33.5, 2.8), polygon([(29.4, 33), (32, 26), (34.6, 33)])),
            (255, 244, 170))
    led(sk, 32, 49.5, GREEN)
    return sk.canvas


def draw_climate_sensor():
    """Temperature, humidity and CO: a box with a segment display."""
    sk = device_sketch()
    sk.case(rrect(8, 6, 56, 58, 6), y0=6, y1=58)
    sk.body(rrect(13, 13, 51, 36, 2), vertical(lighter(LCD, 0.2), LCD, 13, 36),
            darker(LCD, 0.4))
    ink = (40, 46, 40)
    sk.fill(seven_segment("23", 15.5, 17.5, 7, 14, 1.2, 9.5), ink)
    sk.fill(circle(34.2, 31.6, 1.5), ink)
    sk.fill(seven_segment("5", 37, 17.5, 7, 14, 1.2, 9.5), ink)
    for y in (43, 47, 51):
        sk.fill(polyline([(17, y), (47, y)], 1.0), (160, 164, 172))
    return sk.canvas


def pir_facets(x0, x1, ys):
    return [polyline([(x0, y), (x1, y)], 0.7) for y in ys]


def draw_motion_detector():
    sk = device_sketch()
    sk.case(rrect(16, 4, 48, 60, 12), y0=4, y1=60)
    lens(sk, rrect(20, 9, 44, 33, 9), 9, 33, pir_facets(20, 44, (15, 21, 27)))
    led(sk, 32, 41, RED)
    sk.fill(polyline([(26, 51), (38, 51)], 1.0), (170, 172, 180))
    return sk.canvas


def draw_ceiling_motion_detector():
    sk = device_sketch()
    sk.case(circle(32, 32, 27.5), y0=4, y1=60)
    lens(sk, circle(32, 30, 13), 17, 43,
         [stroke(circle(32, 30, r), 1.2) for r in (5, 9)])
    led(sk, 32, 51, RED, 2)
    return sk.canvas


def draw_curtain_motion_detector():
    sk = device_sketch()
    sk.case(rrect(14, 6, 50, 58, 8), (252, 250, 244), (220, 216, 206), y0=6, y1=58)
    lens(sk, rrect(18, 11, 46, 28, 7), 11, 28,
         [polyline([(x, 11), (x, 28)], 0.7) for x in (25, 32, 39)])
    led(sk, 32, 37, RED)
    sk.fill(rrect(19, 47, 45, 51, 2), BLUE)
    return sk.canvas


def draw_dual_motion_detector():
    sk = device_sketch()
    sk.case(rrect(17, 2, 47, 62, 10), y0=2, y1=62)
    for y0 in (7, 30):
        lens(sk, rrect(21, y0, 43, y0 + 18, 8), y0, y0 + 18,
             pir_facets(21, 43, (y0 + 6, y0 + 12)))
    led(sk, 32, 55, RED)
    return sk.canvas


def draw_shift_sensor():
    """A small box under a rocking arrow: it notices being moved or tilted."""
    sk = device_sketch()
    sk.case(rrect(14, 28, 50, 56, 6), y0=28, y1=56)
    led(sk, 22, 35, GREEN)
    sk.fill(polyline([(26, 48), (38, 48)], 1.0), (170, 172, 180))
    a0, a1 = -0.8 * math.pi, -0.2 * math.pi
    tilt = union(arc(32, 42, 25, a0, a1, 3.6),
                 arc_head(32, 42, 25, a1, 8, 11), arc_head(32, 42, 25, a0, 8, 11, -1))
    sk.body(tilt, shade(ORANGE, 14, 30), darker(ORANGE, 0.35))
    return sk.canvas


def draw_acoustic_sensor():
    """Round body with a microphone grille."""
    sk = device_sketch()
    sk.case(circle(32, 32, 26.5), y0=5, y1=59)
    sk.fill(stroke(circle(32, 28, 14), 1.4), (180, 182, 190))
    holes = []
    for row in range(-3, 4):
        for col in range(-3, 4):
            x = 32 + col * 4.2 + (2.1 if row % 2 else 0)
            y = 28 + row * 3.64
            if math.hypot(x - 32, y - 28) <= 11:
                holes.append(circle(x, y, 1.35))
    sk.fill(union(*holes), (60, 64, 74))
    led(sk, 32, 49, GREEN)
    return sk.canvas


def draw_leak_sensor():
    sk = device_sketch()
    for x in (16, 42):
        sk.body(rrect(x, 44, x + 6, 57, 1.5), METAL, darker(METAL, 0.35), 0.8)
    sk.case(rrect(9, 14, 55, 50, 12), y0=14, y1=50)
    sk.body(drop(32, 36, 7.5, 20), vertical((120, 186, 250), (30, 100, 200), 20, 44),
            (20, 70, 150))
    sk.fill(circle(29.5, 37.5, 2), WHITE, 0.55)
    return sk.canvas


def draw_leak_probe():
    """Leak sensor on a lead: a small housing and a separate probe plate."""
    sk = device_sketch()
    sk.fill(polyline([(32, 32), (32, 40), (28, 44), (32, 48)], 1.6), DARK)
    sk.case(rrect(18, 6, 46, 34, 7), y0=6, y1=34)
    sk.body(drop(32, 24, 5.5, 12), vertical((120, 186, 250), (30, 100, 200), 12, 30),
            (20, 70, 150))
    for x in (21, 37):
        sk.body(rrect(x, 52, x + 6, 59, 1), METAL, darker(METAL, 0.35), 0.8)
    sk.case(rrect(16, 46, 48, 55, 3), (110, 116, 128), (70, 74, 84), (40, 42, 48), 46, 55)
    return sk.canvas


def draw_relay_module(case_top, case_bottom, relay, block):
    """Two relays above a terminal block."""
    sk = device_sketch()
    sk.case(rrect(6, 8, 58, 56, 4), case_top, case_bottom, y0=8, y1=56)
    for x in (11, 35):
        sk.body(rrect(x, 14, x + 18, 33, 2), shade(relay, 14, 33, 0.25), darker(relay, 0.4))
        sk.fill(polyline([(x + 4, 19.5), (x + 14, 19.5)], 0.9), lighter(relay, 0.6))
    sk.body(rrect(9, 39, 55, 52, 2), shade(block, 39, 52), darker(block, 0.4))
    for i in range(6):
        x = 13.5 + i * 7.4
        sk.body(circle(x, 45.5, 2.6), METAL, darker(METAL, 0.4), 0.7)
        sk.fill(polyline([(x - 1.6, 47.1), (x + 1.6, 43.9)], 0.45), darker(METAL, 0.5))
    return sk.canvas


def draw_pulse_counter():
    """A counter box with three input leads."""
    sk = device_sketch()
    for pts, color in (([(22, 38), (22, 48), (16, 60)], RED),
                       ([(32, 38), (32, 60)], BLUE),
                       ([(42, 38), (42, 48), (48, 60)], (230, 190, 30))):
        sk.fill(polyline(pts, 2.2), darker(color, 0.35))
        sk.fill(polyline(pts, 1.4), color)
    sk.case(rrect(12, 6, 52, 40, 6), y0=6, y1=40)
    sk.body(rrect(17, 12, 47, 28, 2), vertical(lighter(LCD, 0.2), LCD, 12, 28),
            darker(LCD, 0.4))
    sk.fill(seven_segment("123", 21, 15, 5, 10, 0.9, 8.5), (40, 46, 40))
    led(sk, 45, 34, GREEN, 1.8)
    return sk.canvas


def draw_meter_reader():
    """A water meter with the reader clipped on."""
    sk = device_sketch()
    body = (40, 110, 190)
    sk.shadow(circle(26, 38, 22))
    sk.body(circle(26, 38, 22), shade(body, 16, 60), darker(body, 0.4))
    sk.body(circle(26, 38, 16.5), WHITE, (150, 154, 162))
    sk.body(rrect(15, 27, 37, 33.5, 1), (36, 38, 44), (20, 20, 24), 0.8)
    for i in range(5):
        sk.fill(polyline([(18 + i * 4.1, 28.8), (18 + i * 4.1, 31.7)], 0.75), WHITE)
    sk.fill(stroke(circle(26, 44, 5.5), 1.0), (170, 172, 180))
    sk.fill(polyline([(26, 44), (29.8, 40.2)], 1.0), RED)
    sk.case(rrect(38, 6, 59, 30, 4), y0=6, y1=30)
    led(sk, 48.5, 13, GREEN, 1.8)
    sk.fill(polyline([(43.5, 22), (53.5, 22)], 0.9), (170, 172, 180))
    return sk.canvas


# Every icon and its resource file, relative to images/.
ICONS = {
    "icons/png/add.png": icon_add,
    "icons/png/add-button.png": icon_add_button,
    "icons/png/arrow.png": icon_arrow,
    "icons/png/barcode-scanner.png": icon_barcode_scanner,
    "icons/png/black.png": icon_about,
    "icons/png/bluetooth.png": icon_bluetooth,
    "icons/png/cancel.png": icon_cancel,
    "icons/png/capslock.png": icon_capslock,
    "icons/png/close.png": icon_close,
    "icons/png/cogwheel.png": icon_cogwheel,
    "icons/png/confirm.png": icon_confirm,
    "icons/png/connection.png": icon_connection,
    "icons/png/database.png": icon_database,
    "icons/png/direction.png": icon_direction,
    "icons/png/download.png": icon_download,
    "icons/png/eye.png": icon_eye,
    "icons/png/garbage.png": icon_garbage,
    "icons/png/gear.png": icon_gear,
    "icons/png/help.png": icon_help,
    "icons/png/interface.png": icon_interface,
    "icons/png/list.png": icon_list,
    "icons/png/nearby-search.png": icon_nearby_search,
    "icons/png/open.png": icon_open,
    "icons/png/open_configuration.png": icon_open_configuration,
    "icons/png/pause.png": icon_pause,
    "icons/png/play.png": icon_play,
    "icons/png/remove.png": icon_remove,
    "icons/png/remove_all.png": icon_remove_all,
    "icons/png/restart.png": icon_restart,
    "icons/png/rssi.png": icon_rssi,
    "icons/png/scanning.png": icon_scanning,
    "icons/png/settings.png": icon_settings,
    "icons/png/sleep.png": icon_sleep,
    "icons/png/technology.png": icon_technology,
    "icons/png/updateall.png": icon_updateall,
    "icons/png/updated.png": icon_updated,
    "icons/pencil32.png": lambda: draw_pencil(32),
    "icons/expand.png": icon_expand,
    "icons/collapse.png": icon_collapse,
    "icons/password.png": icon_password,
    "icons/32x32/status/folder-open.png": icon_open,
}

DEVICES = {
    "zentar-hubro32.png": draw_expander,
    "zentar-sebrel.png": draw_repeater,
    "zentar-plimsa.png": draw_socket,
    "zentar-pondra.png": draw_sign,
    "zentar-hoxel.png": draw_sounder,
    "zentar-bexil.png": draw_ceiling_detector,
    "zentar-lumeq.png": draw_flame_detector,
    "zentar-wemdar.png": draw_climate_sensor,
    "zentar-olvek.png": draw_motion_detector,
    "zentar-kemrel.png": draw_ceiling_motion_detector,
    "zentar-olvek_isp2.png": draw_curtain_motion_detector,
    "zentar-taskel.png": draw_dual_motion_detector,
    "zentar-yolvik.png": draw_shift_sensor,
    "zentar-vuxo_isp1.png": draw_acoustic_sensor,
    "zentar-rufta.png": draw_leak_sensor,
    "zentar-rufta_isp1.png": draw_leak_probe,
    "zentar-fotra.png": lambda: draw_relay_module((236, 238, 242), (196, 200, 208),
                                                  BLUE, GREEN),
    "zentar-fotra_isp1.png": lambda: draw_relay_module((252, 252, 252), (214, 216, 222),
                                                       (44, 46, 52), ORANGE),
    "zentar-nilvap.png": draw_pulse_counter,
    "zentar-nilvap1.png": draw_meter_reader,
}


# ---------------------------------------------------------------- contact sheet

def shrink(canvas, size):
    """Area-averaged copy at size x size (premultiplied while averaging)."""
    out = Canvas(size, size)
    fx, fy = canvas.w / size, canvas.h / size
    for y in range(size):
        for x in range(size):
            acc = [0.0, 0.0, 0.0, 0.0]
            n = 0
            for sy in range(int(y * fy), max(int(y * fy) + 1, int((y + 1) * fy))):
                for sx in range(int(x * fx), max(int(x * fx) + 1, int((x + 1) * fx))):
                    r, g, b, a = canvas.px[sy][sx]
                    acc[0] += r * a
                    acc[1] += g * a
                    acc[2] += b * a
                    acc[3] += a
                    n += 1
            a = acc[3] / n
            out.px[y][x] = ((acc[0] / acc[3], acc[1] / acc[3], acc[2] / acc[3], a)
                            if acc[3] else (0.0, 0.0, 0.0, 0.0))
    return out


def fit64(canvas):
    """The picture at 64 x 64: shrunk by area, or enlarged by whole pixels so
    the drawing shows."""
    if canvas.w >= 64:
        return shrink(canvas, 64) if canvas.w > 64 else canvas
    out = Canvas(64, 64)
    k = 64 // canvas.w
    for y in range(canvas.h * k):
        for x in range(canvas.w * k):
            out.px[y][x] = canvas.px[y // k][x // k]
    return out


def contact_sheet(pictures, per_row=5):
    """Every picture on light and on dark ground, at 64 pixels (drawn pixels
    enlarged) and as 32 and 16 pixel icons: for looking over the set."""
    grounds = ((236, 236, 236), (54, 58, 66))
    cw, ch = 120, 68
    rows = (len(pictures) + per_row - 1) // per_row
    sheet = Canvas(per_row * cw * 2, rows * ch)
    for y in range(sheet.h):
        for x in range(sheet.w):
            sheet.px[y][x] = grounds[(x // cw) % 2] + (1.0,)
    for i, (name, canvas) in enumerate(pictures):
        views = ((fit64(canvas), 2), (shrink(canvas, 32), 70), (shrink(canvas, 16), 104))
        for g in range(2):
            ox = (i % per_row) * cw * 2 + g * cw
            oy = (i // per_row) * ch + 2
            for pic, dx in views:
                for y in range(pic.h):
                    for x in range(pic.w):
                        r, gg, b, a = pic.px[y][x]
                        row = sheet.px[oy + y]
                        r0, g0, b0, _ = row[ox + dx + x]
                        row[ox + dx + x] = (r0 + (r - r0) * a, g0 + (gg - g0) * a,
                                            b0 + (b - b0) * a, 1.0)
    return sheet


def write(root, rel, data):
    path = os.path.join(root, *rel.split("/"))
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)
    print(f"{rel}: {len(data)} bytes")


def main():
    args = sys.argv[1:]
    sheet_path = None
    if "--sheet" in args:
        i = args.index("--sheet")
        sheet_path = args[i + 1]
        del args[i:i + 2]
    root = args[0] if args else ROOT
    pictures = []

    def put(rel, canvas):
        write(root, rel, png_bytes(canvas))
        pictures.append((rel, canvas))

    write(root, "wait.gif", draw_spinner())
    put("icons/png/logo.png", draw_logo())
    put("icons/png/warning.png", draw_warning())
    put("icons/pencil.png", draw_pencil())
    put("icons/png/save.png", draw_save())
    for rel, draw in ICONS.items():
        put(rel, draw())
    red, white = (214, 34, 34), (250, 250, 250)
    devices = {
        "zentar-tirun.png": draw_contact_sensor(),
        "zentar-dralo.png": draw_call_point(red, white, red),
        "zentar-dralo-4.png": draw_call_point(red, white, red, lid=True),
        "zentar-quendal.png": draw_call_point((236, 190, 20), white, (40, 40, 40)),
        "zentar-quendal_isp2.png": draw_call_point((40, 110, 200), white, (40, 40, 40)),
        "zentar-gurta.png": draw_key_fob(),
    }
    for name, draw in DEVICES.items():
        devices[name] = draw()
    for name, canvas in devices.items():
        put("devices/" + name, canvas)
    if sheet_path:
        with open(sheet_path, "wb") as f:
            f.write(png_bytes(contact_sheet(pictures)))


if __name__ == "__main__":
    main()
