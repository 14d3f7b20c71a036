#!/usr/bin/env python3
"""Draws the launcher's skin: every PNG resource and the two icons, into res/png and res/icons.

The theme: a deep-blue title band with a teal accent, light blue-grey dialog bodies, light
tabs, teal progress fill. Images that the kit draws with the magenta colour key are opaque with
magenta where they must be transparent; images marked "with alpha" keep a real alpha channel
(the loader blends their soft edges onto white).

Run:  python3 tools/skingen/skingen.py [output root, default: the repository]
"""

import math
import os
import random
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from raster import (MAGENTA, Canvas, clamp01, cov, hexc, key_transparent, mix, sd_circle,  # noqa: E402
                    sd_polygon, sd_round_rect, sd_segment, write_ico, write_png)

# Palette.
BAND_TOP = hexc('1f5fa3')
BAND_BOTTOM = hexc('0d3262')
MAIN_BAND_TOP = hexc('163f73')
MAIN_BAND_BOTTOM = hexc('0a2247')
TEAL = hexc('1fa9ad')
TEAL_LIGHT = hexc('58d3cf')
NAVY = hexc('0a1c38')
BODY_TOP = hexc('f6f9fc')
BODY_BOTTOM = hexc('e3ebf4')
EDGE = hexc('0b2a52')
GOLD = hexc('f2c14e')
WHITE = (255, 255, 255)
RED = hexc('e04848')
RED_DARK = hexc('a92a2a')
GREY = hexc('9aa6b2')


def vgrad(y, y0, y1, c0, c1):
    return mix(c0, c1, clamp01((y - y0) / max(1.0, (y1 - y0))))


def band_color(y, title=30, top=BAND_TOP, bottom=BAND_BOTTOM):
    return vgrad(y, 0, title, top, bottom)


# ---------------------------------------------------------------- frames (nine-slice and whole)

def frame_skin(w, h, title, radius, band_top, band_bottom, body_top, body_bottom, edge,
               accent=TEAL, header_only=False):
    """A window skin: rounded outline, title band, light body, a one-pixel dark edge and a thin
    accent line under the band. Outside the rounded corners is magenta."""
    c = Canvas(w, h)
    shape = lambda x, y: cov(sd_round_rect(x, y, 0, 0, w, h, radius))

    def fill(x, y):
        # The accent is the band's last row, so nine-slicing never stretches it.
        if title > 0 and title - 1 <= y < title:
            return accent, 1.0
        if y < title:
            rgb = vgrad(y, 0, title - 1, band_top, band_bottom)
            # A soft gloss on the upper half of the band.
            if y < title * 0.45:
                rgb = mix(rgb, WHITE, 0.10 * (1 - y / (title * 0.45)))
            return rgb, 1.0
        if header_only:
            return band_bottom, 1.0
        return vgrad(y, title, h, body_top, body_bottom), 1.0

    c.paint((0, 0, w, h), shape, fill)
    # The dark outline, one pixel inside the shape.
    ring = lambda x, y: clamp01(cov(sd_round_rect(x, y, 0, 0, w, h, radius)) -
                                cov(sd_round_rect(x, y, 1, 1, w - 1, h - 1, max(0, radius - 1))))
    c.paint((0, 0, w, h), ring, (edge, 1.0))
    key_transparent(c, lambda x, y: edge)
    return c


def small_dialog_skin():
    return frame_skin(30, 51, 30, 5, BAND_TOP, BAND_BOTTOM, BODY_TOP, BODY_BOTTOM, EDGE)


def main_window_skin():
    # The main window's body is only a thin frame around the game page.
    return frame_skin(30, 51, 30, 5, MAIN_BAND_TOP, MAIN_BAND_BOTTOM, hexc('16345e'), hexc('0f2749'),
                      NAVY)


def add_account_skin():
    return frame_skin(284, 150, 30, 6, BAND_TOP, BAND_BOTTOM, BODY_TOP, BODY_BOTTOM, EDGE)


def notice_skin(w, h, header):
    c = frame_skin(w, h, header, 6, BAND_TOP, BAND_BOTTOM, hexc('ffffff'), hexc('eaf1f8'), EDGE)
    # A bell-shaped speaker mark on the right of the header, and a dotted divider in the body.
    cx, cy = w - 62, header / 2 + 1
    c.paint((cx - 12, cy - 12, cx + 12, cy + 12),
            lambda x, y: cov(sd_polygon(x, y, [(cx - 8, cy - 3), (cx - 3, cy - 3), (cx + 4, cy - 9),
                                               (cx + 4, cy + 9), (cx - 3, cy + 3), (cx - 8, cy + 3)])),
            (hexc('cfe6ff'), 0.9))
    for r in (7, 11):
        c.paint((cx, cy - r - 2, cx + r + 3, cy + r + 2),
                lambda x, y, r=r: cov(abs(sd_circle(x, y, cx + 2, cy, r)) - 0.8) * (1 if x > cx + 5 else 0),
                (hexc('cfe6ff'), 0.8))
    for x in range(12, w - 12, 4):
        c.blend(x, h - 32, hexc('b7c8da'), 1.0)
    return c


def picture_notice_skin():
    # Only the 22-pixel header shows; the picture covers the rest. The window is layered with
    # the magenta key, so the rounded corners are cut there too.
    return frame_skin(160, 212, 22, 6, BAND_TOP, BAND_BOTTOM, hexc('0d3262'), hexc('0d3262'), EDGE,
                      header_only=True)


def banner_strip():
    c = Canvas(316, 28)
    c.paint((0, 0, 316, 28), lambda x, y: 1.0, lambda x, y: (band_color(y, 28), 1.0))
    c.paint((0, 26, 316, 28), lambda x, y: 1.0, lambda x, y: (mix(TEAL, TEAL_LIGHT, x / 316), 1.0))
    return c


# ---------------------------------------------------------------- glyphs

def glyph_x(c, cx, cy, r, width, color, alpha=1.0):
    d = lambda x, y: min(sd_segment(x, y, cx - r, cy - r, cx + r, cy + r, width),
                         sd_segment(x, y, cx - r, cy + r, cx + r, cy - r, width))
    c.paint((cx - r - 3, cy - r - 3, cx + r + 3, cy + r + 3), lambda x, y: cov(d(x, y)), (color, alpha))


def glyph_box(c, x0, y0, x1, y1, color, thick_top=2):
    def d(x, y):
        outer = sd_round_rect(x, y, x0, y0, x1, y1, 0.5)
        inner = sd_round_rect(x, y, x0 + 1.2, y0 + thick_top, x1 - 1.2, y1 - 1.2, 0.2)
        return max(outer, -inner)
    c.paint((x0 - 2, y0 - 2, x1 + 2, y1 + 2), lambda x, y: cov(d(x, y)), (color, 1.0))


def glyph_line(c, x0, x1, y, color):
    c.paint((x0 - 2, y - 2, x1 + 2, y + 2), lambda x, yy: cov(sd_segment(x, yy, x0, y, x1, y, 0.9)), (color, 1.0))


def glyph_speaker(c, cx, cy, color):
    pts = [(cx - 7, cy - 3), (cx - 3, cy - 3), (cx + 2, cy - 7.5), (cx + 2, cy + 7.5), (cx - 3, cy + 3),
           (cx - 7, cy + 3)]
    c.paint((cx - 9, cy - 9, cx + 4, cy + 9), lambda x, y: cov(sd_polygon(x, y, pts)), (color, 1.0))


def glyph_waves(c, cx, cy, color):
    for r in (4.5, 8.0):
        c.paint((cx, cy - r - 2, cx + r + 2, cy + r + 2),
                lambda x, y, r=r: cov(abs(sd_circle(x, y, cx, cy, r)) - 0.85) * clamp01((x - cx - 1.5)),
                (color, 1.0))


def glyph_hide(c, cx, cy, color):
    # A chevron dropping into a tray line: "put away".
    d = lambda x, y: min(sd_segment(x, y, cx - 5, cy - 4, cx, cy + 1, 0.9),
                         sd_segment(x, y, cx, cy + 1, cx + 5, cy - 4, 0.9),
                         sd_segment(x, y, cx - 6, cy + 5, cx + 6, cy + 5, 0.9))
    c.paint((cx - 9, cy - 8, cx + 9, cy + 8), lambda x, y: cov(d(x, y)), (color, 1.0))


# ---------------------------------------------------------------- button strips

def caption_strip(fw, fh, glyph, hover_fill=None, pressed_fill=None, band=lambda y: band_color(y),
                  disabled_color=GREY):
    """Four frames (normal, hover, pressed, disabled) of a title-bar button: a glyph on the band
    and a rounded highlight behind it when hovered or pressed. Transparent parts are magenta."""
    strip = Canvas(fw * 4, fh)
    for state in range(4):
        f = Canvas(fw, fh)
        if state == 1:
            fill = hover_fill or (WHITE, 0.22)
        elif state == 2:
            fill = pressed_fill or (NAVY, 0.55)
        else:
            fill = None
        if fill:
            f.paint((0, 0, fw, fh), lambda x, y: cov(sd_round_rect(x, y, 1, 1, fw - 1, fh - 1, 3)), fill)
        color = disabled_color if state == 3 else WHITE
        off = 1 if state == 2 else 0
        glyph(f, fw / 2.0 + off, fh / 2.0 + off, color)
        key_transparent(f, lambda x, y: band(y))
        strip.blit(f, state * fw, 0)
    return strip


def close_strip(fw=33, fh=28, r=4.5):
    return caption_strip(fw, fh, lambda c, cx, cy, col: glyph_x(c, cx, cy, r, 1.0, col),
                         hover_fill=(RED, 1.0), pressed_fill=(RED_DARK, 1.0))


def maximize_strip():
    return caption_strip(27, 28, lambda c, cx, cy, col: glyph_box(c, cx - 5.5, cy - 5, cx + 5.5, cy + 5, col))


def minimize_strip():
    return caption_strip(27, 28, lambda c, cx, cy, col: glyph_line(c, cx - 5.5, cx + 5.5, cy + 4, col))


def restore_strip():
    def glyph(c, cx, cy, col):
        glyph_box(c, cx - 2.5, cy - 6, cx + 6, cy + 2.5, col, thick_top=1.5)
        # The front window, with its own background so the back one is hidden behind it.
        c.paint((cx - 7, cy - 3, cx + 4, cy + 7),
                lambda x, y: cov(sd_round_rect(x, y, cx - 5.5, cy - 2.5, cx + 3, cy + 6, 0.3)),
                lambda x, y: (band_color(y), 1.0))
        glyph_box(c, cx - 6, cy - 3, cx + 3.5, cy + 6.5, col, thick_top=2)
    return caption_strip(27, 28, glyph)


def hide_strip():
    return caption_strip(27, 27, glyph_hide)


def sound_strip(muted):
    def glyph(c, cx, cy, col):
        glyph_speaker(c, cx - 2, cy, col)
        if muted:
            d = lambda x, y: min(sd_segment(x, y, cx + 3, cy - 3, cx + 8, cy + 3, 0.9),
                                 sd_segment(x, y, cx + 3, cy + 3, cx + 8, cy - 3, 0.9))
            c.paint((cx, cy - 6, cx + 11, cy + 6), lambda x, y: cov(d(x, y)), (hexc('ff8a80') if col == WHITE else col, 1.0))
        else:
            glyph_waves(c, cx - 0.5, cy, col)
    return caption_strip(27, 27, glyph)


def menu_strip():
    # The caption "系统" is drawn by the button itself; the image adds a small drop arrow.
    def glyph(c, cx, cy, col):
        ax = cx + 16
        c.paint((ax - 4, cy - 3, ax + 4, cy + 4),
                lambda x, y: cov(sd_polygon(x, y, [(ax - 3, cy - 1), (ax + 3, cy - 1), (ax, cy + 2.5)])),
                (col, 1.0))
    return caption_strip(44, 28, glyph)


def push_button_strip():
    """Push buttons with a real alpha edge: light face, blue rim; teal when hovered."""
    fw, fh = 57, 23
    states = [
        (hexc('ffffff'), hexc('d7e4f2'), hexc('4f7fb3')),
        (hexc('ffffff'), hexc('c6eeee'), TEAL),
        (hexc('bcd3ea'), hexc('e8f0f8'), hexc('2b5b92')),
        (hexc('f1f3f5'), hexc('e4e8ec'), hexc('b5bec8')),
    ]
    strip = Canvas(fw * 4, fh)
    for i, (top, bottom, rim) in enumerate(states):
        f = Canvas(fw, fh)
        f.paint((0, 0, fw, fh), lambda x, y: cov(sd_round_rect(x, y, 0, 0, fw, fh, 4)), (rim, 1.0))
        f.paint((0, 0, fw, fh), lambda x, y: cov(sd_round_rect(x, y, 1, 1, fw - 1, fh - 1, 3)),
                lambda x, y, t=top, b=bottom: (vgrad(y, 1, fh - 1, t, b), 1.0))
        if i != 2 and i != 3:
            f.paint((2, 2, fw - 2, fh / 2), lambda x, y: cov(sd_round_rect(x, y, 2, 2, fw - 2, fh / 2, 2)),
                    (WHITE, 0.35))
        strip.blit(f, i * fw, 0)
    return strip


def tab_strip():
    fw, fh = 189, 22
    looks = [
        (hexc('b9cbe0'), hexc('9fb6d1'), None),
        (hexc('dce8f5'), hexc('c3d6ec'), None),
        (hexc('ffffff'), hexc('eef4fa'), TEAL),
    ]
    strip = Canvas(fw * 3, fh)
    for i, (top, bottom, accent) in enumerate(looks):
        f = Canvas(fw, fh)
        shape = lambda x, y: cov(sd_round_rect(x, y, 0, 0, fw, fh + 6, 5))
        f.paint((0, 0, fw, fh), shape, lambda x, y, t=top, b=bottom: (vgrad(y, 0, fh, t, b), 1.0))
        if accent:
            f.paint((0, 0, fw, 2.2), lambda x, y: shape(x, y), (accent, 1.0))
        key_transparent(f, lambda x, y: band_color(y + 3, top=MAIN_BAND_TOP, bottom=MAIN_BAND_BOTTOM))
        strip.blit(f, i * fw, 0)
    return strip


def tab_close_strip():
    strip = Canvas(39, 13)
    for i in range(3):
        f = Canvas(13, 13)
        if i > 0:
            f.paint((0, 0, 13, 13), lambda x, y: cov(sd_circle(x, y, 6.5, 6.5, 6.3)),
                    ((RED if i == 1 else RED_DARK), 1.0))
        glyph_x(f, 6.5, 6.5, 2.6, 0.75, WHITE if i > 0 else hexc('5a6b7e'))
        strip.blit(f, i * 13, 0)
    return strip


def notice_close_strip(fw, fh):
    return caption_strip(fw, fh, lambda c, cx, cy, col: glyph_x(c, cx, cy, min(fh, fw) * 0.2, 0.9, col),
                         hover_fill=(RED, 1.0), pressed_fill=(RED_DARK, 1.0),
                         band=lambda y: band_color(y, 38))


def account_image():
    c = Canvas(14, 16)
    col = hexc('dff3ff')
    c.paint((0, 0, 14, 16), lambda x, y: cov(sd_circle(x, y, 6, 4.5, 3.2)), (col, 1.0))
    c.paint((0, 0, 14, 16), lambda x, y: cov(max(sd_circle(x, y, 6, 15, 6.5), y - 14.5)), (col, 1.0))
    plus = lambda x, y: min(sd_segment(x, y, 11, 8, 11, 14, 0.9), sd_segment(x, y, 8, 11, 14, 11, 0.9))
    c.paint((7, 7, 14, 15), lambda x, y: cov(plus(x, y)), (GOLD, 1.0))
    key_transparent(c, lambda x, y: band_color(y + 7, top=MAIN_BAND_TOP, bottom=MAIN_BAND_BOTTOM))
    return c


def progress_background():
    w, h = 390, 21
    c = Canvas(w, h)
    c.paint((0, 0, w, h), lambda x, y: cov(sd_round_rect(x, y, 0, 0, w, h, 10.5)), (hexc('9fb3c8'), 1.0))
    c.paint((0, 0, w, h), lambda x, y: cov(sd_round_rect(x, y, 1, 1, w - 1, h - 1, 9.5)),
            lambda x, y: (vgrad(y, 1, h, hexc('c9d6e4'), hexc('eef3f8')), 1.0))
    return c


def progress_fill():
    # The bar draws the fill from both of its ends at once, so it must not change along x:
    # any left-to-right shading would show as a seam in the middle of a short fill.
    w, h = 390, 21
    c = Canvas(w, h)
    c.paint((0, 0, w, h), lambda x, y: cov(sd_round_rect(x, y, 1, 1, w - 1, h - 1, 9.5)),
            lambda x, y: (vgrad(y, 1, h, TEAL_LIGHT, TEAL), 1.0))
    c.paint((0, 0, w, h / 2), lambda x, y: cov(sd_round_rect(x, y, 4, 2.5, w - 4, h / 2, 5)), (WHITE, 0.35))
    return c


# ---------------------------------------------------------------- login background

def login_background():
    w, h = 888, 518
    c = Canvas(w, h)
    px0, py0, px1, py1, r = 14, 10, 874, 502, 16
    # Soft shadow: alpha falls off over 16 pixels outside the panel, slightly lower.
    def shadow(x, y):
        d = sd_round_rect(x, y - 4, px0, py0, px1, py1, r)
        return 0.0 if d <= 0 else 0.42 * (1 - clamp01(d / 16.0)) ** 2
    c.paint((0, 0, w, h), shadow, (hexc('020814'), 1.0))

    rnd = random.Random(1718)
    stars = [(rnd.uniform(px0, 300), rnd.uniform(py0, 330), rnd.uniform(0.4, 1.2)) for _ in range(70)]

    def ridge(x, base, amp, freq, phase):
        return base - amp * (0.6 * math.sin(x * freq + phase) + 0.4 * math.sin(x * freq * 2.3 + phase * 1.7))

    def panel_color(x, y):
        rgb = vgrad(y, py0, py1, hexc('123a6e'), hexc('071a36'))
        # Moon glow on the left.
        g = math.exp(-((x - 150) ** 2 + (y - 170) ** 2) / (2 * 70.0 ** 2))
        rgb = mix(rgb, hexc('3fb8c0'), 0.45 * g)
        return rgb, 1.0

    c.paint((px0, py0, px1, py1), lambda x, y: cov(sd_round_rect(x, y, px0, py0, px1, py1, r)), panel_color)
    clip = lambda x, y: cov(sd_round_rect(x, y, px0, py0, px1, py1, r))
    # Stars.
    for sx, sy, sr in stars:
        c.paint((sx - 2, sy - 2, sx + 2, sy + 2), lambda x, y, sx=sx, sy=sy, sr=sr: cov(sd_circle(x, y, sx, sy, sr)),
                (hexc('d8f4ff'), 0.8))
    # The moon.
    c.paint((100, 120, 200, 220), lambda x, y: cov(sd_circle(x, y, 150, 170, 34)),
            lambda x, y: (mix(hexc('fff6d8'), hexc('f2d488'), clamp01((y - 140) / 60)), 1.0))
    c.paint((100, 120, 200, 220), lambda x, y: cov(sd_circle(x, y, 164, 160, 30)) * cov(sd_circle(x, y, 150, 170, 34)),
            lambda x, y: (mix(hexc('fff6d8'), hexc('f2d488'), 0.2), 0.35))
    # Layered mountain ridges in front of it, darker towards the viewer.
    layers = [(360, 38, 0.021, 0.3, hexc('1d5a83'), 0.9), (400, 30, 0.028, 2.1, hexc('134670'), 0.95),
              (440, 26, 0.035, 4.0, hexc('0b2e52'), 1.0)]
    for base, amp, freq, phase, col, a in layers:
        c.paint((px0, base - amp - 2, px1, py1),
                lambda x, y, base=base, amp=amp, freq=freq, phase=phase: clamp01(y - ridge(x, base, amp, freq, phase)) * clip(x, y),
                lambda x, y, col=col, a=a: (mix(col, TEAL, 0.15 * clamp01(1 - (y - 300) / 200)), a))
    # The emblem: a diamond with rings, above the ridges on the left.
    ex, ey = 150, 300
    c.paint((ex - 40, ey - 40, ex + 40, ey + 40), lambda x, y: cov(abs(sd_circle(x, y, ex, ey, 30)) - 1.2), (GOLD, 0.85))
    c.paint((ex - 40, ey - 40, ex + 40, ey + 40),
            lambda x, y: cov(sd_polygon(x, y, [(ex, ey - 24), (ex + 17, ey), (ex, ey + 24), (ex - 17, ey)])),
            lambda x, y: (mix(GOLD, hexc('fff2c4'), clamp01((ey - y + 24) / 48)), 1.0))
    c.paint((ex - 40, ey - 40, ex + 40, ey + 40),
            lambda x, y: cov(sd_polygon(x, y, [(ex, ey - 13), (ex + 9, ey), (ex, ey + 13), (ex - 9, ey)])),
            (hexc('123a6e'), 1.0))
    # Title band across the top and a gold hairline under it.
    c.paint((px0, py0, px1, py0 + 44), lambda x, y: clip(x, y) * (1.0 if y < py0 + 44 else 0.0),
            lambda x, y: (WHITE, 0.06 * (1 - (y - py0) / 44)))
    c.paint((px0 + 20, py0 + 44, px1 - 20, py0 + 45.2), lambda x, y: 1.0,
            lambda x, y: (GOLD, 0.55 * math.sin(math.pi * (x - px0 - 20) / (px1 - px0 - 40))))
    # The card the login page stands on (the page sits at (271, 83)).
    c.paint((258, 70, 862, 490), lambda x, y: cov(sd_round_rect(x, y, 258, 70, 862, 490, 12)), (WHITE, 0.07))
    c.paint((258, 70, 862, 490), lambda x, y: cov(abs(sd_round_rect(x, y, 258, 70, 862, 490, 12)) - 0.6),
            (TEAL_LIGHT, 0.35))
    # Edge highlight of the whole panel.
    c.paint((px0, py0, px1, py1), lambda x, y: cov(abs(sd_round_rect(x, y, px0 + 0.5, py0 + 0.5, px1 - 0.5, py1 - 0.5, r)) - 0.5),
            (hexc('3a8fd0'), 0.6))
    return c


# ---------------------------------------------------------------- icons

def app_icon(size):
    c = Canvas(size, size)
    s = size / 32.0
    c.paint((0, 0, size, size), lambda x, y: cov(sd_round_rect(x, y, 1 * s, 1 * s, 31 * s, 31 * s, 7 * s)),
            lambda x, y: (mix(vgrad(y, 0, size, hexc('2a7fd4'), hexc('0b2e5c')), TEAL, 0.3 * x / size), 1.0))
    cx, cy = 16 * s, 16 * s
    c.paint((0, 0, size, size), lambda x, y: cov(abs(sd_circle(x, y, cx, cy, 10.5 * s)) - 1.1 * s), (GOLD, 0.9))
    c.paint((0, 0, size, size),
            lambda x, y: cov(sd_polygon(x, y, [(cx, cy - 8.5 * s), (cx + 6 * s, cy), (cx, cy + 8.5 * s), (cx - 6 * s, cy)])),
            lambda x, y: (mix(hexc('fff2c4'), GOLD, clamp01((y - cy + 8 * s) / (16 * s))), 1.0))
    return c


def star_icon(size):
    c = Canvas(size, size)
    s = size / 32.0
    pts = []
    for i in range(10):
        ang = -math.pi / 2 + i * math.pi / 5
        rr = (14.5 if i % 2 == 0 else 6.2) * s
        pts.append((16 * s + rr * math.cos(ang), 17 * s + rr * math.sin(ang)))
    c.paint((0, 0, size, size), lambda x, y: cov(sd_polygon(x, y, pts) - 0.3 * s), (hexc('b37a10'), 1.0))
    c.paint((0, 0, size, size), lambda x, y: cov(sd_polygon(x, y, pts) + 1.0 * s),
            lambda x, y: (mix(hexc('ffe38a'), hexc('f0a818'), clamp01(y / size)), 1.0))
    return c


# ---------------------------------------------------------------- output

def build(root):
    png = os.path.join(root, 'res', 'png')
    icons = os.path.join(root, 'res', 'icons')
    os.makedirs(png, exist_ok=True)
    os.makedirs(icons, exist_ok=True)
    images = {
        129: login_background,
        131: small_dialog_skin,
        132: close_strip,
        133: push_button_strip,
        134: main_window_skin,
        135: maximize_strip,
        136: minimize_strip,
        137: restore_strip,
        138: hide_strip,
        139: menu_strip,
        140: tab_strip,
        141: tab_close_strip,
        142: account_image,
        143: lambda: notice_skin(250, 191, 38),
        144: lambda: notice_close_strip(36, 14),
        145: lambda: notice_close_strip(54, 22),
        146: picture_notice_skin,
        147: lambda: notice_skin(250, 167, 38),
        148: lambda: sound_strip(True),
        149: lambda: sound_strip(False),
        150: banner_strip,
        151: banner_strip,
        152: progress_background,
        153: progress_fill,
        162: add_account_skin,
    }
    for rid, make in images.items():
        write_png(os.path.join(png, '%d.png' % rid), make())
    write_ico(os.path.join(icons, '128.ico'), [app_icon(n) for n in (16, 32, 48, 256)])
    write_ico(os.path.join(icons, '155.ico'), [star_icon(n) for n in (16, 32, 48)])


if __name__ == '__main__':
    default_root = os.path.abspath(os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', '..'))
    build(sys.argv[1] if len(sys.argv) > 1 else default_root)
