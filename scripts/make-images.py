#!/usr/bin/env python3
"""Draws the program's own pictures and icons and writes them under
src/app/resources/images/ (paths as listed in src/app/resources/images.qrc).

Pure Python (zlib and struct only): shapes are signed distance functions,
anti-aliased by their distance to the pixel centre. The output is
deterministic, so running the script again gives the same bytes.

    python3 scripts/make-images.py [output-root]
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


def write(root, rel, data):
    path = os.path.join(root, *rel.split("/"))
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)
    print(f"{rel}: {len(data)} bytes")


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else ROOT
    write(root, "wait.gif", draw_spinner())
    write(root, "icons/png/logo.png", png_bytes(draw_logo()))
    write(root, "icons/png/warning.png", png_bytes(draw_warning()))
    write(root, "icons/pencil.png", png_bytes(draw_pencil()))
    write(root, "icons/png/save.png", png_bytes(draw_save()))
    red, white = (214, 34, 34), (250, 250, 250)
    devices = {
        "zentar-tirun.png": draw_contact_sensor(),
        "zentar-dralo.png": draw_call_point(red, white, red),
        "zentar-dralo-4.png": draw_call_point(red, white, red, lid=True),
        "zentar-quendal.png": draw_call_point((236, 190, 20), white, (40, 40, 40)),
        "zentar-quendal_isp2.png": draw_call_point((40, 110, 200), white, (40, 40, 40)),
        "zentar-gurta.png": draw_key_fob(),
    }
    for name, canvas in devices.items():
        write(root, "devices/" + name, png_bytes(canvas))


if __name__ == "__main__":
    main()
