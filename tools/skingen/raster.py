"""A tiny software rasteriser: straight-alpha RGBA canvases, anti-aliased shapes drawn from
signed distances, and PNG / ICO writers. Standard library only, so the skin can be rebuilt on
any machine with Python 3."""

import math
import struct
import zlib

MAGENTA = (255, 0, 255)


def clamp01(v):
    return 0.0 if v < 0.0 else 1.0 if v > 1.0 else v


def mix(c0, c1, t):
    return tuple(a + (b - a) * t for a, b in zip(c0, c1))


def hexc(s):
    s = s.lstrip('#')
    return tuple(int(s[i:i + 2], 16) for i in (0, 2, 4))


class Canvas:
    """Pixels as floats: r, g, b in 0..255, a in 0..1 (straight alpha)."""

    def __init__(self, w, h, color=(0, 0, 0), alpha=0.0):
        self.w, self.h = w, h
        self.px = [[color[0], color[1], color[2], alpha] for _ in range(w * h)]

    def get(self, x, y):
        return self.px[y * self.w + x]

    def set(self, x, y, rgb, a=1.0):
        self.px[y * self.w + x] = [rgb[0], rgb[1], rgb[2], a]

    def blend(self, x, y, rgb, a):
        """Source-over compositing of one pixel with straight alpha."""
        if a <= 0.0 or x < 0 or y < 0 or x >= self.w or y >= self.h:
            return
        p = self.px[y * self.w + x]
        da = p[3]
        oa = a + da * (1.0 - a)
        if oa <= 0.0:
            return
        for i in range(3):
            p[i] = (rgb[i] * a + p[i] * da * (1.0 - a)) / oa
        p[3] = oa

    def paint(self, box, coverage, color):
        """Fill the pixels of box (x0, y0, x1, y1) by coverage(x, y) (0..1) with color(x, y) ->
        (rgb, alpha) or a fixed (rgb, alpha)."""
        x0, y0, x1, y1 = box
        x0, y0 = max(0, int(math.floor(x0))), max(0, int(math.floor(y0)))
        x1, y1 = min(self.w, int(math.ceil(x1))), min(self.h, int(math.ceil(y1)))
        fixed = not callable(color)
        for y in range(y0, y1):
            for x in range(x0, x1):
                c = coverage(x + 0.5, y + 0.5)
                if c <= 0.0:
                    continue
                rgb, a = color if fixed else color(x + 0.5, y + 0.5)
                self.blend(x, y, rgb, a * c)

    def sub(self, x0, y0, w, h):
        out = Canvas(w, h)
        for y in range(h):
            for x in range(w):
                out.px[y * w + x] = list(self.get(x0 + x, y0 + y))
        return out

    def blit(self, src, dx, dy):
        for y in range(src.h):
            for x in range(src.w):
                self.px[(dy + y) * self.w + dx + x] = list(src.get(x, y))

    def to_rgba_bytes(self):
        rows = []
        for y in range(self.h):
            row = bytearray([0])  # filter: none
            for x in range(self.w):
                r, g, b, a = self.px[y * self.w + x]
                row += bytes((int(round(min(255, max(0, r)))), int(round(min(255, max(0, g)))),
                              int(round(min(255, max(0, b)))), int(round(clamp01(a) * 255))))
            rows.append(bytes(row))
        return b''.join(rows)


# Signed distances (negative inside).

def sd_round_rect(px, py, x0, y0, x1, y1, r):
    cx, cy = (x0 + x1) / 2.0, (y0 + y1) / 2.0
    hx, hy = (x1 - x0) / 2.0 - r, (y1 - y0) / 2.0 - r
    qx, qy = abs(px - cx) - hx, abs(py - cy) - hy
    outside = math.hypot(max(qx, 0.0), max(qy, 0.0))
    return outside + min(max(qx, qy), 0.0) - r


def sd_circle(px, py, cx, cy, r):
    return math.hypot(px - cx, py - cy) - r


def sd_segment(px, py, ax, ay, bx, by, half_width):
    vx, vy = bx - ax, by - ay
    wx, wy = px - ax, py - ay
    ll = vx * vx + vy * vy
    t = 0.0 if ll == 0 else clamp01((wx * vx + wy * vy) / ll)
    return math.hypot(wx - vx * t, wy - vy * t) - half_width


def sd_polygon(px, py, pts):
    """Signed distance to a simple polygon (even-odd inside test)."""
    d = float('inf')
    inside = False
    n = len(pts)
    for i in range(n):
        ax, ay = pts[i]
        bx, by = pts[(i + 1) % n]
        d = min(d, sd_segment(px, py, ax, ay, bx, by, 0.0))
        if (ay > py) != (by > py):
            xi = ax + (py - ay) * (bx - ax) / (by - ay)
            if px < xi:
                inside = not inside
    return -d if inside else d


def cov(d):
    """Coverage of a pixel centre at signed distance d (one-pixel anti-aliasing band)."""
    return clamp01(0.5 - d)


def key_transparent(canvas, background):
    """For images without alpha: pixels left fully transparent become magenta, partly covered
    ones are composited over `background(x, y)` (the colour they will usually sit on) so their
    edges do not fringe pink when drawn with the colour key."""
    for y in range(canvas.h):
        for x in range(canvas.w):
            p = canvas.get(x, y)
            if p[3] < 0.02:
                canvas.set(x, y, MAGENTA, 1.0)
            elif p[3] < 1.0:
                bg = background(x, y)
                a = p[3]
                canvas.set(x, y, tuple(p[i] * a + bg[i] * (1 - a) for i in range(3)), 1.0)


def png_bytes(canvas):
    def chunk(tag, data):
        body = tag + data
        return struct.pack('>I', len(data)) + body + struct.pack('>I', zlib.crc32(body) & 0xffffffff)

    ihdr = struct.pack('>IIBBBBB', canvas.w, canvas.h, 8, 6, 0, 0, 0)
    idat = zlib.compress(canvas.to_rgba_bytes(), 9)
    return b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', ihdr) + chunk(b'IDAT', idat) + chunk(b'IEND', b'')


def write_png(path, canvas):
    with open(path, 'wb') as f:
        f.write(png_bytes(canvas))


def _dib_icon_image(canvas):
    """One icon image in the classic DIB form: 32-bit BGRA bottom-up rows plus the AND mask."""
    w, h = canvas.w, canvas.h
    header = struct.pack('<IiiHHIIiiII', 40, w, h * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    xor = bytearray()
    for y in range(h - 1, -1, -1):
        for x in range(w):
            r, g, b, a = canvas.get(x, y)
            xor += bytes((int(round(b)), int(round(g)), int(round(r)), int(round(clamp01(a) * 255))))
    mask_stride = ((w + 31) // 32) * 4
    mask = bytearray()
    for y in range(h - 1, -1, -1):
        row = bytearray(mask_stride)
        for x in range(w):
            if canvas.get(x, y)[3] < 0.5:
                row[x // 8] |= 0x80 >> (x % 8)
        mask += row
    return header + bytes(xor) + bytes(mask)


def write_ico(path, canvases):
    """An .ico with the given sizes; 256-pixel images are stored as PNG, smaller ones as DIBs."""
    images = [png_bytes(c) if c.w >= 256 else _dib_icon_image(c) for c in canvases]
    out = bytearray(struct.pack('<HHH', 0, 1, len(canvases)))
    offset = 6 + 16 * len(canvases)
    for c, data in zip(canvases, images):
        out += struct.pack('<BBBBHHII', c.w % 256, c.h % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    for data in images:
        out += data
    with open(path, 'wb') as f:
        f.write(bytes(out))
