#!/usr/bin/env python3
"""Draws the frames of the demo sequences into data/Data/Resources/Sequences/,
and the levels' background pictures into data/Data/Resources/Frames/.

Usage: make_demo_sequences.py [data folder]   (default: data beside tools/)

Each sequence folder "-<Name>" gets numbered 32-bit PNG frames; its
"Properties.txt" is hand-written and checked in. The drawing is fixed (no
randomness beyond a seeded generator), so every run writes the same bytes.
Nothing is written while the frames are newer than this script.
"""

import math
import os
import random
import sys

import demo_business
from demo_data import blend, canvas, clamp, data_folder, disc, is_up_to_date, thick_line, write_pictures
import demo_streets

STAMP = ".frames-made"


def cursor_frames():
    frames = []
    for i in range(4):
        pixels = canvas(24, 24)
        glow = 160 + 30 * i
        for y in range(20):
            for x in range(y // 2 + 1 + y // 3):
                inside = x <= y * 0.75
                if inside:
                    edge = x == 0 or x + 1 > y * 0.75 or y == 19
                    colour = (20, 20, 20, 255) if edge else (255, glow, 60, 255)
                    blend(pixels, x, y, colour, 1.0)
        frames.append(pixels)
    return frames


def coin_frames():
    frames = []
    for i in range(8):
        pixels = canvas(48, 48)
        squeeze = abs(math.cos(math.pi * i / 8))
        rx = max(2.0, 20 * squeeze)
        disc(pixels, 24, 24, rx, 20, (150, 100, 20, 255))
        disc(pixels, 24, 24, max(1.0, rx - 3), 17, (240, 190, 40, 255))
        if squeeze > 0.5:
            disc(pixels, 24 - rx * 0.25, 18, rx * 0.2, 4, (255, 240, 160, 220))
        frames.append(pixels)
    return frames


def walk_frames():
    frames = []
    for i in range(12):
        pixels = canvas(48, 64)
        phase = 2 * math.pi * i / 12
        swing = math.sin(phase) * 10
        bob = abs(math.cos(phase)) * 2
        hip = (24, 36 - bob)
        colour = (230, 230, 240, 255)
        thick_line(pixels, hip[0], hip[1], 24 + swing, 62, 4, colour)
        thick_line(pixels, hip[0], hip[1], 24 - swing, 62, 4, colour)
        thick_line(pixels, 24, 16 - bob, hip[0], hip[1], 5, (80, 170, 230, 255))
        thick_line(pixels, 24, 20 - bob, 24 - swing * 0.8, 32 - bob, 3, colour)
        thick_line(pixels, 24, 20 - bob, 24 + swing * 0.8, 32 - bob, 3, colour)
        disc(pixels, 24, 9 - bob, 6, 6, (250, 210, 170, 255))
        frames.append(pixels)
    return frames


def flag_frames():
    rng = random.Random(1234)
    stripes = [(240, 140, 40, 255), (250, 230, 120, 255), (240, 140, 40, 255)]
    jitter = [rng.uniform(-0.3, 0.3) for _ in range(40)]
    frames = []
    for i in range(10):
        pixels = canvas(64, 80)
        thick_line(pixels, 4, 2, 4, 79, 3, (120, 90, 60, 255))
        for x in range(6, 60):
            wave = 3 * math.sin(2 * math.pi * (x / 24 - i / 10)) * (x - 6) / 54 + jitter[x % 40]
            for y in range(0, 30):
                stripe = stripes[min(2, y // 10)]
                shade = 0.85 + 0.15 * math.cos(2 * math.pi * (x / 24 - i / 10))
                colour = (clamp(stripe[0] * shade), clamp(stripe[1] * shade), clamp(stripe[2] * shade), 255)
                blend(pixels, x, int(round(y + 4 + wave)), colour, 1.0)
        frames.append(pixels)
    return frames


def fill_rect(pixels, left, top, right, bottom, colour):
    for y in range(max(0, int(top)), min(len(pixels), int(bottom))):
        for x in range(max(0, int(left)), min(len(pixels[0]), int(right))):
            blend(pixels, x, y, colour, 1.0)


def fill_triangle(pixels, a, b, c, colour):
    (x1, y1), (x2, y2), (x3, y3) = a, b, c
    area = (x2 - x1) * (y3 - y1) - (x3 - x1) * (y2 - y1)
    if area == 0:
        return
    for y in range(len(pixels)):
        for x in range(len(pixels[0])):
            px, py = x + 0.5, y + 0.5
            w1 = ((x2 - px) * (y3 - py) - (x3 - px) * (y2 - py)) / area
            w2 = ((x3 - px) * (y1 - py) - (x1 - px) * (y3 - py)) / area
            w3 = 1.0 - w1 - w2
            if min(w1, w2, w3) >= 0:
                blend(pixels, x, y, colour, 1.0)


def house_frames():
    """A cottage with a smoking chimney; the smoke rises over six frames."""
    frames = []
    for i in range(6):
        pixels = canvas(80, 96)
        fill_rect(pixels, 52, 22, 60, 48, (120, 60, 50, 255))
        for k in range(3):
            rise = (i + 2 * k) % 6
            disc(pixels, 56 + rise * 0.8, 20 - rise * 1.8, 3 + rise * 0.5, 3 + rise * 0.5,
                 (200, 200, 205, int(200 - rise * 30)))
        fill_rect(pixels, 10, 52, 70, 94, (235, 215, 170, 255))
        fill_triangle(pixels, (4, 54), (40, 24), (76, 54), (170, 60, 45, 255))
        fill_rect(pixels, 34, 70, 46, 94, (110, 70, 40, 255))
        for wx in (16, 52):
            fill_rect(pixels, wx, 62, wx + 12, 74, (90, 150, 210, 255))
            fill_rect(pixels, wx + 5, 62, wx + 7, 74, (250, 250, 250, 255))
        frames.append(pixels)
    return frames


def tree_frames():
    """A round tree whose crown sways."""
    frames = []
    for i in range(8):
        pixels = canvas(64, 88)
        sway = 2.5 * math.sin(2 * math.pi * i / 8)
        thick_line(pixels, 32, 86, 32 + sway * 0.4, 50, 8, (110, 75, 45, 255))
        for dx, dy, r, shade in ((-12, 40, 16, 0.8), (12, 40, 16, 0.85), (0, 26, 20, 1.0), (-6, 18, 12, 1.1)):
            colour = (clamp(60 * shade), clamp(150 * shade), clamp(60 * shade), 255)
            disc(pixels, 32 + dx + sway, dy, r, r, colour)
        frames.append(pixels)
    return frames


def bird_frames():
    """A small bird beating its wings, seen from the side."""
    frames = []
    for i in range(8):
        pixels = canvas(40, 28)
        beat = math.sin(2 * math.pi * i / 8)
        disc(pixels, 20, 16, 9, 5, (60, 70, 110, 255))
        disc(pixels, 29, 13, 4, 4, (60, 70, 110, 255))
        fill_triangle(pixels, (32, 12), (38, 14), (32, 15), (240, 180, 40, 255))
        blend(pixels, 30, 12, (255, 255, 255, 255), 1.0)
        thick_line(pixels, 18, 14, 12, 14 - 11 * beat, 4, (90, 100, 150, 255))
        thick_line(pixels, 11, 16, 4, 13, 3, (60, 70, 110, 255))
        frames.append(pixels)
    return frames


def burst_frames():
    """A one-shot burst: sparks fly out of a flash and fade."""
    rng = random.Random(77)
    sparks = [(rng.uniform(0, 2 * math.pi), rng.uniform(0.6, 1.0)) for _ in range(14)]
    frames = []
    for i in range(10):
        pixels = canvas(64, 64)
        t = (i + 1) / 10
        fade = 1.0 - t
        if i < 4:
            disc(pixels, 32, 32, 6 + 8 * t, 6 + 8 * t, (255, 250, 200, int(255 * (1 - i / 4))))
        for angle, speed in sparks:
            r = 28 * t * speed
            x, y = 32 + r * math.cos(angle), 32 + r * math.sin(angle)
            tail = max(0.0, r - 6)
            thick_line(pixels, 32 + tail * math.cos(angle), 32 + tail * math.sin(angle), x, y, 3,
                       (255, clamp(120 + 120 * fade), 40, clamp(255 * fade + 30)))
        frames.append(pixels)
    return frames


def edge_cursor_frames(dx, dy, held):
    """A double-headed arrow along (dx, dy) with its hot spot at the centre:
    white over a dark outline while it only offers to move or resize, gold
    while it does."""

    def draw():
        pixels = canvas(24, 24)
        length = math.hypot(dx, dy)
        ux, uy = dx / length, dy / length
        ends = [(12 + ux * 9, 12 + uy * 9, ux, uy), (12 - ux * 9, 12 - uy * 9, -ux, -uy)]
        fill = (250, 200, 60, 255) if held else (255, 255, 255, 255)
        for width, colour in ((5, (20, 20, 20, 255)), (2.5, fill)):
            thick_line(pixels, ends[0][0], ends[0][1], ends[1][0], ends[1][1], width, colour)
            for tx, ty, ax, ay in ends:
                for side in (1, -1):
                    bx = tx - ax * 5 + side * -ay * 4
                    by = ty - ay * 5 + side * ax * 4
                    thick_line(pixels, tx, ty, bx, by, width, colour)
        return [pixels]

    return draw


def arrow_cursor_frames(directions, held):
    """Arrows from the centre hot spot in each (dx, dy) direction: white over
    a dark outline while the cursor only offers, gold while it acts."""

    def draw():
        pixels = canvas(24, 24)
        fill = (250, 200, 60, 255) if held else (255, 255, 255, 255)
        for width, colour in ((5, (20, 20, 20, 255)), (2.5, fill)):
            for dx, dy in directions:
                length = math.hypot(dx, dy)
                ux, uy = dx / length, dy / length
                tx, ty = 12 + ux * 9, 12 + uy * 9
                thick_line(pixels, 12, 12, tx, ty, width, colour)
                for side in (1, -1):
                    thick_line(pixels, tx, ty, tx - ux * 5 + side * -uy * 4, ty - uy * 5 + side * ux * 4, width, colour)
        return [pixels]

    return draw


def text_cursor_frames():
    """An I-beam, its hot spot at the centre."""
    pixels = canvas(24, 24)
    for width, colour in ((4, (20, 20, 20, 255)), (1.5, (255, 255, 255, 255))):
        thick_line(pixels, 12, 3, 12, 21, width, colour)
        thick_line(pixels, 8, 3, 16, 3, width, colour)
        thick_line(pixels, 8, 21, 16, 21, width, colour)
    return [pixels]


def set_cursor_frames(horizontal, vertical):
    """A thin cross hair along the axes that are set, with a dot at the hot spot."""

    def draw():
        pixels = canvas(24, 24)
        for width, colour in ((4, (20, 20, 20, 255)), (1.5, (120, 230, 255, 255))):
            if horizontal:
                thick_line(pixels, 2, 12, 22, 12, width, colour)
            if vertical:
                thick_line(pixels, 12, 2, 12, 22, width, colour)
        disc(pixels, 12, 12, 2, 2, (255, 255, 255, 255))
        return [pixels]

    return draw


FOUR_WAYS = [(1, 0), (-1, 0), (0, 1), (0, -1)]


def gauge_back_frames():
    """The empty gauge of the overlay demo: a dark trough with a light rim."""
    width, height = 220, 22
    pixels = canvas(width, height)
    for y in range(height):
        for x in range(width):
            rim = x in (0, width - 1) or y in (0, height - 1)
            pixels[y][x] = (230, 230, 230, 255) if rim else (30, 30, 40, 255)
    return [pixels]


def gauge_fill_frames():
    """Its fill, green going to yellow, inside the rim."""
    width, height = 220, 22
    pixels = canvas(width, height)
    for y in range(2, height - 2):
        for x in range(2, width - 2):
            t = x / (width - 1)
            pixels[y][x] = (clamp(60 + 180 * t), clamp(200 - 10 * abs(y - 11)), 50, 255)
    return [pixels]


def goal_panel_frames(fill, rim):
    """A goal panel of the level screen: a rounded box with a badge circle
    on the left where the goal's state shows."""
    def draw():
        width, height = 230, 44
        pixels = canvas(width, height)
        for y in range(height):
            for x in range(width):
                corner = min(x, width - 1 - x) < 6 and min(y, height - 1 - y) < 6
                if corner and math.hypot(min(x, width - 1 - x) - 6, min(y, height - 1 - y) - 6) > 6:
                    continue
                edge = x < 2 or y < 2 or x >= width - 2 or y >= height - 2
                pixels[y][x] = rim if edge else fill
        disc(pixels, 22, 22, 14, 14, rim)
        return [pixels]

    return draw


def goal_icon_frames(kind):
    """The small pictures goal lines are made of."""
    def draw():
        pixels = canvas(32, 32) if kind == "clock" else canvas(24, 24)
        if kind == "heart":
            disc(pixels, 8, 9, 6, 6, (220, 40, 60, 255))
            disc(pixels, 16, 9, 6, 6, (220, 40, 60, 255))
            fill_triangle(pixels, (2, 11), (22, 11), (12, 22), (220, 40, 60, 255))
        elif kind == "half heart":
            disc(pixels, 8, 9, 6, 6, (220, 40, 60, 255))
            disc(pixels, 16, 9, 6, 6, (120, 110, 120, 255))
            fill_triangle(pixels, (2, 11), (12, 11), (12, 22), (220, 40, 60, 255))
            fill_triangle(pixels, (12, 11), (22, 11), (12, 22), (120, 110, 120, 255))
        elif kind == "dollar":
            disc(pixels, 12, 12, 10, 10, (240, 200, 60, 255))
            thick_line(pixels, 12, 4, 12, 20, 2, (120, 90, 10, 255))
            thick_line(pixels, 8, 8, 16, 8, 2, (120, 90, 10, 255))
            thick_line(pixels, 8, 16, 16, 16, 2, (120, 90, 10, 255))
        elif kind == "clock":
            disc(pixels, 16, 16, 15, 15, (235, 235, 235, 255))
            disc(pixels, 16, 16, 13, 13, (60, 70, 110, 255))
        else:  # people: one or three heads
            heads = [(12, 8)] if kind == "anyone" else [(5, 9), (12, 7), (19, 9)]
            for hx, hy in heads:
                disc(pixels, hx, hy, 4, 4, (250, 210, 170, 255))
                disc(pixels, hx, hy + 10, 5, 6, (70, 120, 200, 255))
        return [pixels]

    return draw


def star_frames():
    """The star that flies off a goal when it is achieved: grows and fades."""
    frames = []
    for step in range(8):
        pixels = canvas(48, 48)
        radius = 6 + step * 2.5
        alpha = clamp(255 - step * 28)
        for i in range(5):
            angle = -math.pi / 2 + i * 2 * math.pi / 5
            tip = (24 + radius * math.cos(angle), 24 + radius * math.sin(angle))
            thick_line(pixels, 24, 24, tip[0], tip[1], 3, (255, 230, 90, alpha))
        disc(pixels, 24, 24, 4, 4, (255, 250, 200, alpha))
        frames.append(pixels)
    return frames


# A lot's parcel in its 280 x 160 image, corners in the order top left, top
# right, bottom right, bottom left: the lot's hit area moved by the image's
# hot spot (140, 80), so what the player sees is what takes the clicks.
LOT_CORNERS = [(84, 8), (274, 33), (187, 157), (1, 132)]
LOT_SIZE = (280, 160)


# Each edge as (x1, y1, dx, dy) with (dx, dy) of unit length; the corners
# run clockwise on screen, so inside is to the right of every edge.
LOT_EDGES = []
for _i in range(4):
    (_x1, _y1), (_x2, _y2) = LOT_CORNERS[_i], LOT_CORNERS[(_i + 1) % 4]
    _length = math.hypot(_x2 - _x1, _y2 - _y1)
    LOT_EDGES.append((_x1, _y1, (_x2 - _x1) / _length, (_y2 - _y1) / _length))


def inside_parcel(x, y):
    """How far (x, y) lies inside the parcel's nearest edge; negative outside."""
    return min(dx * (y - y1) - dy * (x - x1) for x1, y1, dx, dy in LOT_EDGES)


def parcel(ground, rim, pattern=None):
    """The parcel filled with ground (shaded by pattern(x, y) when given) and
    edged with rim."""
    width, height = LOT_SIZE
    pixels = canvas(width, height)
    for y in range(height):
        row = pixels[y]
        for x in range(width):
            d = inside_parcel(x + 0.5, y + 0.5)
            if d <= -0.5:
                continue
            colour = rim if d < 4 else (pattern(x, y) if pattern else ground)
            a = colour[3] * min(1.0, d + 0.5)
            row[x] = (colour[0], colour[1], colour[2], clamp(a))
    return pixels


def parcel_point(u, v):
    """The point u of the way from the left edge to the right and v from the
    top to the bottom of the parcel."""
    (ax, ay), (bx, by), (cx, cy), (dx, dy) = LOT_CORNERS
    top = (ax + (bx - ax) * u, ay + (by - ay) * u)
    bottom = (dx + (cx - dx) * u, dy + (cy - dy) * u)
    return top[0] + (bottom[0] - top[0]) * v, top[1] + (bottom[1] - top[1]) * v


def grass(shade):
    def pattern(x, y):
        k = 0.92 + 0.08 * math.sin(x * 0.9 + y * 1.7) * math.sin(y * 0.6)
        return (clamp(shade[0] * k), clamp(shade[1] * k), clamp(shade[2] * k), 255)
    return pattern


def empty_lot_frames():
    return [parcel(None, (96, 150, 70, 255), grass((110, 172, 84)))]


def vacant_lot_frames():
    """Rough grass and a little sold-sign on its post."""
    pixels = parcel(None, (150, 130, 90, 255), grass((124, 178, 88)))
    px, py = parcel_point(0.78, 0.62)
    fill_rect(pixels, px - 1, py - 30, px + 2, py + 2, (110, 75, 45, 255))
    fill_rect(pixels, px - 14, py - 34, px + 15, py - 18, (240, 236, 220, 255))
    fill_rect(pixels, px - 12, py - 30, px + 13, py - 26, (200, 60, 50, 255))
    fill_rect(pixels, px - 12, py - 24, px + 13, py - 22, (200, 60, 50, 255))
    return [pixels]


def construction_lot_frames():
    """Bare earth, a stack of planks and the foundation's stakes."""
    def earth(x, y):
        k = 0.9 + 0.1 * math.sin(x * 1.3) * math.sin(y * 0.7 + x * 0.2)
        return (clamp(160 * k), clamp(120 * k), clamp(80 * k), 255)
    pixels = parcel(None, (120, 90, 60, 255), earth)
    for u, v in ((0.3, 0.3), (0.7, 0.3), (0.7, 0.7), (0.3, 0.7)):
        x, y = parcel_point(u, v)
        fill_rect(pixels, x - 1, y - 10, x + 2, y + 1, (230, 200, 140, 255))
    x, y = parcel_point(0.15, 0.75)
    for k in range(3):
        fill_rect(pixels, x - 16, y - 4 * k - 4, x + 16, y - 4 * k - 1, (200, 160, 100, 255))
    return [pixels]


def lived_in_lot_frames():
    """A mown lawn striped by the mower, with a path to the front door."""
    def lawn(x, y):
        k = 1.0 if (x + 2 * y) // 18 % 2 else 0.9
        return (clamp(90 * k), clamp(170 * k), clamp(70 * k), 255)
    pixels = parcel(None, (235, 235, 225, 255), lawn)
    (x1, y1), (x2, y2) = parcel_point(0.5, 1.0), parcel_point(0.5, 0.5)
    thick_line_box(pixels, x1, y1, x2, y2, 10, (210, 200, 180, 255))
    return [pixels]


def lot_hover_frames():
    """A glowing rim around the parcel, pulsing over four frames."""
    width, height = LOT_SIZE
    frames = []
    for i in range(4):
        glow = 0.55 + 0.45 * math.sin(math.pi * i / 4)
        pixels = canvas(width, height)
        for y in range(height):
            for x in range(width):
                d = inside_parcel(x + 0.5, y + 0.5)
                if -0.5 < d < 6:
                    pixels[y][x] = (255, 235, 120, clamp(230 * glow * (1 - abs(d - 2.5) / 3.5)))
        frames.append(pixels)
    return frames


def poke_cursor_frames():
    """A pointing finger with a twinkle beside it; the finger tip is the hot
    spot."""
    frames = []
    for i in range(4):
        pixels = canvas(32, 32)
        for width, colour in ((7, (40, 30, 20, 255)), (4, (255, 225, 190, 255))):
            thick_line_box(pixels, 3, 3, 12, 22, width, colour)
        fill_rect(pixels, 8, 16, 22, 29, (40, 30, 20, 255))
        fill_rect(pixels, 10, 18, 20, 27, (255, 225, 190, 255))
        r = 2 + (i % 2) * 2
        thick_line_box(pixels, 25 - r, 7, 25 + r, 7, 2, (255, 240, 120, 255))
        thick_line_box(pixels, 25, 7 - r, 25, 7 + r, 2, (255, 240, 120, 255))
        frames.append(pixels)
    return frames


def thick_line_box(pixels, x1, y1, x2, y2, width, colour):
    """thick_line, looking only at the pixels near the line."""
    length = math.hypot(x2 - x1, y2 - y1) or 1.0
    reach = width / 2 + 1
    for y in range(max(0, int(min(y1, y2) - reach)), min(len(pixels), int(max(y1, y2) + reach) + 1)):
        for x in range(max(0, int(min(x1, x2) - reach)), min(len(pixels[0]), int(max(x1, x2) + reach) + 1)):
            px, py = x + 0.5, y + 0.5
            t = max(0.0, min(1.0, ((px - x1) * (x2 - x1) + (py - y1) * (y2 - y1)) / (length * length)))
            d = math.hypot(px - (x1 + t * (x2 - x1)), py - (y1 + t * (y2 - y1)))
            blend(pixels, x, y, colour, width / 2 - d + 0.5)


def hud_backdrop_frames():
    """The HUD's frame over the playfield, the whole screen and clear in the
    middle: a bar along the bottom for the menu button and a shelf at its
    left for the upgrade buttons, in dark blue with a gold rim."""
    width, height = 1024, 768
    clear = (0, 0, 0, 0)
    rim = (232, 168, 40, 255)

    def panel(y):
        k = 1.0 - 0.25 * ((y % 8) / 8.0)
        return (clamp(16 * k + 8), clamp(24 * k + 10), clamp(52 * k + 14), 240)

    pixels = []
    for y in range(height):
        if y < 588:
            pixels.append([clear] * width)
            continue
        row = [clear] * width
        if y >= 692:
            row = [rim if y < 695 else panel(y)] * width
        else:
            for x in range(24, 201):
                edge = y < 591 or x < 27 or x > 197
                row[x] = rim if edge else panel(y)
        pixels.append(row)
    return [pixels]


# --- The building business: houses, buttons, crews, the foreman, the sign
# and the bonus meter. Building art is drawn at twice its size on screen.

# Walls that wait for paint are drawn in this magenta; the hue remaps of the
# paint style sheets turn it into the paint's colour (or a pale primer).
PAINTABLE = (214, 40, 200, 255)
PRIMER_GREY = (200, 200, 196, 255)
TIMBER = (176, 128, 78, 255)
TIMBER_DARK = (120, 82, 46, 255)
ROOF = (150, 56, 44, 255)
GLASS = (90, 150, 210, 255)
SLAB = (150, 150, 150, 255)

HOUSE_SIZE = (280, 220)     # the hot spot, (140, 196), is the building's foot


def fill_triangle_box(pixels, a, b, c, colour):
    """fill_triangle, looking only at the pixels of the triangle's bounds."""
    (x1, y1), (x2, y2), (x3, y3) = a, b, c
    area = (x2 - x1) * (y3 - y1) - (x3 - x1) * (y2 - y1)
    if area == 0:
        return
    for y in range(max(0, int(min(y1, y2, y3))), min(len(pixels), int(max(y1, y2, y3)) + 1)):
        for x in range(max(0, int(min(x1, x2, x3))), min(len(pixels[0]), int(max(x1, x2, x3)) + 1)):
            px, py = x + 0.5, y + 0.5
            w1 = ((x2 - px) * (y3 - py) - (x3 - px) * (y2 - py)) / area
            w2 = ((x3 - px) * (y1 - py) - (x1 - px) * (y3 - py)) / area
            if min(w1, w2, 1.0 - w1 - w2) >= 0:
                blend(pixels, x, y, colour, 1.0)


def disc_box(pixels, cx, cy, rx, ry, colour):
    """disc, looking only at the pixels near the disc."""
    for y in range(max(0, int(cy - ry - 1)), min(len(pixels), int(cy + ry + 2))):
        for x in range(max(0, int(cx - rx - 1)), min(len(pixels[0]), int(cx + rx + 2))):
            d = math.hypot((x + 0.5 - cx) / rx, (y + 0.5 - cy) / ry)
            blend(pixels, x, y, colour, (1.0 - d) * min(rx, ry) + 0.5)


def framed_building(pixels, left, right, eaves, ridge, foot, stage, wall, door=None, windows=()):
    """One building raised to a stage: 0 the slab, 1 studs half up, 2 studs
    up, 3 walls closed, 4 rafters, 5 the roof on."""
    fill_rect(pixels, left - 6, foot - 8, right + 6, foot + 2, SLAB)
    fill_rect(pixels, left - 6, foot - 8, right + 6, foot - 6, (185, 185, 185, 255))
    if stage == 0:
        return
    height = (foot - 8 - eaves) * (0.5 if stage == 1 else 1.0)
    top = foot - 8 - height
    if stage >= 3:
        fill_rect(pixels, left, top, right, foot - 8, wall)
        for y in range(int(top) + 6, foot - 8, 8):
            fill_rect(pixels, left, y, right, y + 1, (0, 0, 0, 40))
        if door:
            fill_rect(pixels, door[0], door[1], door[2], foot - 8, TIMBER_DARK)
        for wx, wy, ww, wh in windows:
            fill_rect(pixels, wx - 2, wy - 2, wx + ww + 2, wy + wh + 2, (250, 250, 250, 255))
            fill_rect(pixels, wx, wy, wx + ww, wy + wh, GLASS)
    else:
        for x in range(left, right + 1, 14):
            fill_rect(pixels, x, top, x + 5, foot - 8, TIMBER)
        fill_rect(pixels, left, top, right + 5, top + 5, TIMBER_DARK)
    if stage == 4:
        middle = (left + right) / 2
        for k in range(0, 5):
            x = left - 8 + k * (right - left + 16) / 4
            thick_line_box(pixels, x, eaves, middle, ridge, 4, TIMBER)
        thick_line_box(pixels, left - 8, eaves, right + 8, eaves, 5, TIMBER_DARK)
    if stage >= 5:
        fill_triangle_box(pixels, (left - 12, eaves + 2), ((left + right) / 2, ridge), (right + 12, eaves + 2), ROOF)
        thick_line_box(pixels, left - 12, eaves + 2, (left + right) / 2, ridge, 3, (110, 36, 30, 255))
        thick_line_box(pixels, (left + right) / 2, ridge, right + 12, eaves + 2, 3, (110, 36, 30, 255))


def cottage_frames():
    """The frame part: slab, studs, walls, rafters, roof in primer, and last
    the painted look (walls in the paintable magenta)."""
    frames = []
    for stage in range(7):
        pixels = canvas(*HOUSE_SIZE)
        wall = PAINTABLE if stage == 6 else PRIMER_GREY
        framed_building(pixels, 40, 190, 108, 44, 204, min(stage, 5), wall, door=(102, 150, 128),
                        windows=((56, 130, 28, 26), (146, 130, 28, 26)))
        if stage >= 5:
            fill_rect(pixels, 150, 52, 164, 84, (120, 60, 50, 255))
        frames.append(pixels)
    return frames


def garage_frames():
    """The garage part beside the cottage: slab, studs, walls, roof, and the
    painted look last."""
    frames = []
    for stage in range(5):
        pixels = canvas(*HOUSE_SIZE)
        wall = PAINTABLE if stage == 4 else PRIMER_GREY
        shown = (0, 2, 3, 5, 5)[stage]
        framed_building(pixels, 204, 268, 150, 126, 204, shown, wall)
        if shown >= 3:
            fill_rect(pixels, 214, 162, 258, 196, (236, 236, 232, 255))
            for y in range(166, 196, 6):
                fill_rect(pixels, 214, y, 258, y + 1, (160, 160, 160, 255))
        frames.append(pixels)
    return frames


def button_plate_frames(fill, rim):
    def draw():
        pixels = canvas(60, 60)
        for y in range(60):
            for x in range(60):
                dx = max(0.0, abs(x + 0.5 - 30) - 20)
                dy = max(0.0, abs(y + 0.5 - 30) - 20)
                d = math.hypot(dx, dy)
                if d < 9.5:
                    blend(pixels, x, y, rim, 9.5 - d)
                if d < 7:
                    shade = 1.0 - 0.3 * y / 60
                    blend(pixels, x, y, tuple(clamp(c * shade) for c in fill[:3]) + (fill[3],), 7 - d)
        return [pixels]
    return draw


def button_hover_frames():
    frames = []
    for i in range(4):
        pixels = canvas(72, 72)
        glow = 0.6 + 0.4 * math.sin(math.pi * i / 4)
        for y in range(72):
            for x in range(72):
                dx = max(0.0, abs(x + 0.5 - 36) - 22)
                dy = max(0.0, abs(y + 0.5 - 36) - 22)
                d = math.hypot(dx, dy)
                if 6 < d < 14:
                    blend(pixels, x, y, (255, 230, 110, clamp(220 * glow * (1 - abs(d - 10) / 4))), 1.0)
        frames.append(pixels)
    return frames


def icon(draw_on):
    def draw():
        pixels = canvas(48, 48)
        draw_on(pixels)
        return [pixels]
    return draw


def frame_icon(pixels):
    fill_rect(pixels, 6, 40, 42, 44, SLAB)
    for x in (10, 20, 30, 38):
        fill_rect(pixels, x - 1, 22, x + 2, 40, TIMBER)
    thick_line_box(pixels, 4, 23, 24, 6, 3, TIMBER_DARK)
    thick_line_box(pixels, 24, 6, 44, 23, 3, TIMBER_DARK)
    fill_rect(pixels, 8, 21, 40, 24, TIMBER_DARK)


def garage_icon(pixels):
    fill_rect(pixels, 8, 18, 40, 42, PAINTABLE)
    fill_triangle_box(pixels, (4, 20), (24, 6), (44, 20), ROOF)
    fill_rect(pixels, 13, 24, 35, 42, (236, 236, 232, 255))
    for y in range(27, 42, 4):
        fill_rect(pixels, 13, y, 35, y + 1, (150, 150, 150, 255))


def paint_can_icon(colour):
    def draw_on(pixels):
        fill_rect(pixels, 10, 16, 38, 42, (190, 190, 196, 255))
        fill_rect(pixels, 10, 22, 38, 36, colour)
        disc_box(pixels, 24, 16, 14, 4, (150, 150, 156, 255))
        disc_box(pixels, 24, 16, 11, 3, colour)
        thick_line_box(pixels, 14, 14, 24, 4, 2, (90, 90, 90, 255))
        thick_line_box(pixels, 24, 4, 34, 14, 2, (90, 90, 90, 255))
        thick_line_box(pixels, 36, 20, 36, 30, 4, colour)
    return draw_on


def bulldozer_icon(pixels):
    fill_rect(pixels, 14, 16, 34, 32, (240, 190, 30, 255))
    fill_rect(pixels, 18, 10, 30, 18, (240, 190, 30, 255))
    fill_rect(pixels, 20, 12, 28, 17, GLASS)
    fill_rect(pixels, 10, 32, 38, 42, (60, 60, 60, 255))
    for x in (14, 22, 30):
        disc_box(pixels, x + 2, 37, 3, 3, (140, 140, 140, 255))
    fill_rect(pixels, 38, 20, 44, 42, (150, 150, 156, 255))
    thick_line_box(pixels, 34, 28, 40, 26, 3, (60, 60, 60, 255))


def hard_hat(pixels, cx, cy, colour):
    disc_box(pixels, cx, cy, 9, 7, colour)
    fill_rect(pixels, cx - 9, cy, cx + 10, cy + 8, (0, 0, 0, 0))
    fill_rect(pixels, cx - 12, cy, cx + 12, cy + 3, colour)


def foreman_icon(pixels):
    disc_box(pixels, 24, 28, 11, 11, (250, 210, 170, 255))
    hard_hat(pixels, 24, 22, (250, 250, 250, 255))
    fill_rect(pixels, 12, 22, 36, 26, (250, 250, 250, 255))
    disc_box(pixels, 20, 30, 1.5, 1.5, (40, 30, 20, 255))
    disc_box(pixels, 28, 30, 1.5, 1.5, (40, 30, 20, 255))
    thick_line_box(pixels, 20, 35, 28, 35, 2, (120, 50, 40, 255))


def sign_board(pixels, cx, top, width, height):
    fill_rect(pixels, cx - 2, top, cx + 2, top + height * 2 + 6, TIMBER_DARK)
    fill_rect(pixels, cx - width / 2, top + 4, cx + width / 2, top + 4 + height, (250, 245, 230, 255))
    fill_rect(pixels, cx - width / 2 + 2, top + 6, cx + width / 2 - 2, top + 4 + height / 2, (200, 50, 50, 255))
    for k in range(3):
        y = top + 4 + height / 2 + 3 + k * 4
        fill_rect(pixels, cx - width / 2 + 5, y, cx + width / 2 - 5 - 6 * k, y + 2, (60, 60, 60, 255))


def signpost_icon(pixels):
    sign_board(pixels, 24, 4, 36, 20)


def heart(pixels, cx, cy, r, colour):
    disc_box(pixels, cx - r * 0.5, cy - r * 0.2, r * 0.55, r * 0.55, colour)
    disc_box(pixels, cx + r * 0.5, cy - r * 0.2, r * 0.55, r * 0.55, colour)
    fill_triangle_box(pixels, (cx - r * 1.02, cy), (cx + r * 1.02, cy), (cx, cy + r * 1.05), colour)


def deliverer_icon(pixels):
    fill_rect(pixels, 8, 22, 30, 40, (120, 90, 60, 255))
    fill_triangle_box(pixels, (5, 24), (19, 10), (33, 24), ROOF)
    heart(pixels, 34, 22, 9, (230, 50, 80, 255))
    thick_line_box(pixels, 34, 34, 24, 34, 3, (250, 250, 250, 255))
    fill_triangle_box(pixels, (26, 29), (26, 39), (19, 34), (250, 250, 250, 255))


def faded(draw_on, alpha):
    """An icon drawn at a fraction of its opacity: a slot's picture while the
    player owns nothing there yet."""
    def draw(pixels):
        draw_on(pixels)
        for row in pixels:
            for x, (r, g, b, a) in enumerate(row):
                row[x] = (r, g, b, int(a * alpha))
    return draw


def crew_badge_icon(shirt):
    def draw_on(pixels):
        disc_box(pixels, 24, 14, 8, 8, (250, 210, 170, 255))
        hard_hat(pixels, 24, 10, (240, 190, 30, 255))
        fill_rect(pixels, 12, 24, 36, 44, shirt)
        thick_line_box(pixels, 32, 20, 42, 34, 3, TIMBER_DARK)
        fill_rect(pixels, 36, 16, 46, 22, (120, 120, 130, 255))
    return draw_on


def worker_frames(shirt, hat, carry=None):
    """A worker walking on the spot, drawn like the town's walkers with a
    hard hat; carry: "hammer", "brush" or "clipboard"."""
    def draw():
        frames = []
        for i in range(8):
            pixels = canvas(48, 64)
            phase = 2 * math.pi * i / 8
            swing = math.sin(phase) * 8
            bob = abs(math.cos(phase)) * 2
            hip = (24, 38 - bob)
            legs = (60, 60, 90, 255)
            thick_line_box(pixels, hip[0], hip[1], 24 + swing, 62, 5, legs)
            thick_line_box(pixels, hip[0], hip[1], 24 - swing, 62, 5, legs)
            thick_line_box(pixels, 24, 19 - bob, hip[0], hip[1], 9, shirt)
            arm = (24 + swing * 0.8, 34 - bob)
            thick_line_box(pixels, 24, 21 - bob, 24 - swing * 0.8, 34 - bob, 3, shirt)
            thick_line_box(pixels, 24, 21 - bob, arm[0], arm[1], 3, shirt)
            if carry == "hammer":
                thick_line_box(pixels, arm[0], arm[1], arm[0] + 6, arm[1] - 8, 2, TIMBER_DARK)
                fill_rect(pixels, arm[0] + 3, arm[1] - 11, arm[0] + 11, arm[1] - 7, (120, 120, 130, 255))
            elif carry == "brush":
                thick_line_box(pixels, arm[0], arm[1], arm[0] + 4, arm[1] - 9, 2, TIMBER_DARK)
                fill_rect(pixels, arm[0] + 1, arm[1] - 14, arm[0] + 8, arm[1] - 9, (240, 240, 240, 255))
            elif carry == "clipboard":
                fill_rect(pixels, arm[0] - 1, arm[1] - 10, arm[0] + 8, arm[1] + 1, TIMBER)
                fill_rect(pixels, arm[0] + 1, arm[1] - 8, arm[0] + 6, arm[1] - 1, (250, 250, 250, 255))
            disc_box(pixels, 24, 11 - bob, 6, 6, (250, 210, 170, 255))
            hard_hat(pixels, 24, 8 - bob, hat)
            frames.append(pixels)
        return frames
    return draw


def signpost_frames():
    pixels = canvas(56, 80)
    sign_board(pixels, 28, 6, 48, 30)
    fill_rect(pixels, 22, 74, 34, 78, (90, 70, 50, 255))
    return [pixels]


def crew_meter_bar_frames():
    """The strip under the progress bar: a ruler with a hammer at its end."""
    pixels = canvas(50, 12)
    fill_rect(pixels, 0, 3, 38, 9, (240, 200, 60, 255))
    for x in range(2, 38, 4):
        fill_rect(pixels, x, 3, x + 1, 6 if x % 8 else 8, (60, 40, 20, 255))
    thick_line_box(pixels, 42, 11, 46, 3, 2, TIMBER_DARK)
    fill_rect(pixels, 41, 1, 49, 5, (120, 120, 130, 255))
    return [pixels]


def can_use_cursor_frames():
    """An open hand; the hot spot lies between the fingers."""
    frames = []
    for i in range(2):
        pixels = canvas(32, 32)
        skin = (255, 225, 190, 255)
        outline = (40, 30, 20, 255)
        for width, colour in ((7, outline), (4, skin)):
            for k, x in enumerate((9, 14, 19, 24)):
                thick_line_box(pixels, x, 16, x - 1 + i, 4 + abs(k - 1.5) * 2, width, colour)
            thick_line_box(pixels, 6, 22, 3, 14, width, colour)
        fill_rect(pixels, 6, 15, 26, 29, outline)
        fill_rect(pixels, 8, 16, 24, 27, skin)
        frames.append(pixels)
    return frames


def meter_dial_frames():
    """The bonus meter's dial: a half disc from red (empty) to green (full)
    under the counter's label plate; the hot spot is the needle's pivot."""
    pixels = canvas(76, 40)
    cx, cy = 38, 36
    for y in range(40):
        for x in range(76):
            d = math.hypot(x + 0.5 - cx, y + 0.5 - cy)
            if y + 0.5 > cy or d > 34:
                continue
            angle = math.atan2(cy - y - 0.5, x + 0.5 - cx)
            f = 1.0 - angle / math.pi
            colour = (clamp(230 * (1 - f) + 40 * f), clamp(60 * (1 - f) + 200 * f), 50, 255)
            if d > 31:
                colour = (250, 250, 250, 255)
            elif d < 12:
                colour = (20, 26, 48, 255)
            blend(pixels, x, y, colour, min(1.0, 34.5 - d))
    fill_rect(pixels, 2, 36, 74, 39, (250, 250, 250, 255))
    return [pixels]


def meter_needle_frames():
    pixels = canvas(8, 32)
    thick_line_box(pixels, 4, 29, 4, 4, 3, (20, 20, 20, 255))
    fill_triangle_box(pixels, (0, 7), (8, 7), (4, 0), (20, 20, 20, 255))
    return [pixels]


def meter_cap_frames():
    pixels = canvas(20, 20)
    disc_box(pixels, 10, 10, 8, 8, (232, 168, 40, 255))
    disc_box(pixels, 10, 10, 4, 4, (250, 230, 140, 255))
    return [pixels]


def sparkle_frames(size, colour, count):
    def draw():
        frames = []
        for i in range(count):
            pixels = canvas(size, size)
            c = size / 2
            reach = c * (0.5 + 0.5 * math.sin(math.pi * (i + 1) / (count + 1)))
            for angle in range(0, 360, 45):
                a = math.radians(angle + i * 10)
                length = reach if angle % 90 == 0 else reach * 0.55
                thick_line_box(pixels, c, c, c + math.cos(a) * length, c + math.sin(a) * length, 2.5, colour)
            disc_box(pixels, c, c, size * 0.12, size * 0.12, (255, 255, 255, 255))
            frames.append(pixels)
        return frames
    return draw


def glow_cursor_frames():
    frames = []
    for pixels in cursor_frames():
        glowing = canvas(24, 24)
        for y in range(24):
            for x in range(24):
                near = max((pixels[yy][xx][3] for yy in range(max(0, y - 2), min(24, y + 3))
                            for xx in range(max(0, x - 2), min(24, x + 3))), default=0)
                if near:
                    glowing[y][x] = (90, 240, 110, 150)
        for y in range(24):
            for x in range(24):
                if pixels[y][x][3]:
                    glowing[y][x] = pixels[y][x]
        frames.append(glowing)
    return frames


SKIN = (250, 210, 170, 255)
INK = (40, 30, 20, 255)
CUSTOMER_SIZE = (56, 100)   # the hot spot, (28, 50), is the middle of the body


def curve(pixels, cx, cy, half_width, bend, width, colour):
    """A mouth or brow: a parabola through (cx +- half_width, cy) whose middle
    lies bend lower (a smile) or higher (a frown)."""
    points = []
    for k in range(9):
        dx = half_width * (k / 4.0 - 1.0)
        points.append((cx + dx, cy + bend * (1.0 - (dx / half_width) ** 2)))
    for (x1, y1), (x2, y2) in zip(points, points[1:]):
        thick_line_box(pixels, x1, y1, x2, y2, width, colour)


def customer_frames(shirt, trousers, hair, long_hair):
    """Frames 0-5: the faces (cross, cheerful, impatient; each open-eyed and
    blinking), frame 6 the arms-up pose of a customer whose house is ready."""
    def draw():
        frames = []
        for index in range(7):
            pixels = canvas(*CUSTOMER_SIZE)
            pose = index == 6
            mood = "pose" if pose else ("cross", "cheerful", "impatient")[index // 2]
            blinking = not pose and index % 2 == 1
            thick_line_box(pixels, 28, 66, 21, 97, 7, trousers)
            thick_line_box(pixels, 28, 66, 35, 97, 7, trousers)
            fill_rect(pixels, 16, 95, 26, 99, INK)
            fill_rect(pixels, 30, 95, 40, 99, INK)
            if long_hair:
                disc_box(pixels, 28, 24, 15, 17, hair)
            fill_rect(pixels, 17, 36, 40, 70, shirt)
            disc_box(pixels, 28, 38, 11, 5, shirt)
            if pose:
                thick_line_box(pixels, 18, 40, 6, 16, 6, shirt)
                thick_line_box(pixels, 38, 40, 50, 16, 6, shirt)
                disc_box(pixels, 6, 13, 4, 4, SKIN)
                disc_box(pixels, 50, 13, 4, 4, SKIN)
            else:
                thick_line_box(pixels, 18, 40, 12, 64, 6, shirt)
                thick_line_box(pixels, 38, 40, 44, 64, 6, shirt)
                disc_box(pixels, 12, 66, 3.5, 3.5, SKIN)
                disc_box(pixels, 44, 66, 3.5, 3.5, SKIN)
            disc_box(pixels, 28, 21, 13, 14, SKIN)
            disc_box(pixels, 28, 12, 13, 7, hair)
            fill_rect(pixels, 15, 12, 42, 14, hair)
            if mood == "pose":
                curve(pixels, 23, 20, 3, -2, 1.6, INK)
                curve(pixels, 33, 20, 3, -2, 1.6, INK)
                disc_box(pixels, 28, 28, 5, 4, (150, 40, 40, 255))
                fill_rect(pixels, 22, 24, 35, 28, SKIN)
            else:
                if blinking:
                    thick_line_box(pixels, 21, 21, 25, 21, 1.6, INK)
                    thick_line_box(pixels, 31, 21, 35, 21, 1.6, INK)
                else:
                    disc_box(pixels, 23, 21, 1.8, 2.2, INK)
                    disc_box(pixels, 33, 21, 1.8, 2.2, INK)
                if mood == "cross":
                    thick_line_box(pixels, 19, 15, 26, 18, 2, INK)
                    thick_line_box(pixels, 37, 15, 30, 18, 2, INK)
                    curve(pixels, 28, 30, 5, -2.5, 2, INK)
                    disc_box(pixels, 19, 26, 3, 2, (230, 90, 80, 200))
                    disc_box(pixels, 37, 26, 3, 2, (230, 90, 80, 200))
                elif mood == "cheerful":
                    curve(pixels, 28, 27, 6, 3, 2, INK)
                else:
                    thick_line_box(pixels, 23, 29, 33, 29, 2, INK)
            frames.append(pixels)
        return frames
    return draw


def angry_background_frames():
    """A red glow the size of a customer, faded in and out behind one whose
    patience runs out."""
    pixels = canvas(96, 136)
    for y in range(136):
        for x in range(96):
            d = math.hypot((x + 0.5 - 48) / 46, (y + 0.5 - 68) / 66)
            if d < 1.0:
                blend(pixels, x, y, (235, 40, 30, clamp(230 * (1.0 - d) ** 0.7)), 1.0)
    return [pixels]


def caption_frames():
    """The balloon over a waiting customer: a white box with a tail pointing
    down to the customer's head at the lower left."""
    pixels = canvas(120, 100)
    rim, paper = (60, 60, 70, 255), (252, 252, 248, 255)
    for colour, grow in ((rim, 2), (paper, 0)):
        for y in range(84):
            for x in range(120):
                dx = max(0.0, abs(x + 0.5 - 60) - 44)
                dy = max(0.0, abs(y + 0.5 - 42) - 26)
                d = math.hypot(dx, dy)
                if d < 12 + grow - 2:
                    blend(pixels, x, y, colour, 12 + grow - 2 - d)
        fill_triangle_box(pixels, (28 - grow, 72), (52 + grow, 72), (18 - grow, 98 + grow), colour)
    return [pixels]


def need_menu_frames():
    """What the balloon shows before anyone answers: a catalogue with a house
    on its cover and a question mark of dots beside it."""
    pixels = canvas(56, 48)
    fill_rect(pixels, 6, 4, 34, 44, (60, 90, 160, 255))
    fill_rect(pixels, 9, 7, 31, 41, (230, 236, 250, 255))
    fill_triangle_box(pixels, (11, 22), (20, 12), (29, 22), ROOF)
    fill_rect(pixels, 13, 22, 27, 34, (235, 215, 170, 255))
    fill_rect(pixels, 18, 27, 22, 34, (110, 70, 40, 255))
    curve(pixels, 45, 12, 6, -5, 3.5, (210, 50, 50, 255))
    thick_line_box(pixels, 51, 13, 45, 24, 3.5, (210, 50, 50, 255))
    disc_box(pixels, 45, 34, 2.5, 2.5, (210, 50, 50, 255))
    return [pixels]


def heart_frames(fill, rim):
    def draw():
        pixels = canvas(16, 15)
        heart(pixels, 8, 5.5, 7.5, rim)
        heart(pixels, 8, 5.5, 6, fill)
        return [pixels]
    return draw


def customer_highlight_frames():
    """A yellow glow on the ground under a customer that can be picked up."""
    frames = []
    for i in range(4):
        pixels = canvas(84, 28)
        glow = 0.7 + 0.3 * math.sin(math.pi * i / 4)
        for y in range(28):
            for x in range(84):
                d = math.hypot((x + 0.5 - 42) / 41, (y + 0.5 - 14) / 13)
                if d < 1.0:
                    blend(pixels, x, y, (255, 225, 90, clamp(200 * glow * (1.0 - d))), 1.0)
        frames.append(pixels)
    return frames


def greeter_icon(pixels):
    """A receptionist with a headset: the greeter answers the customers."""
    fill_rect(pixels, 12, 34, 36, 48, (200, 60, 110, 255))
    disc_box(pixels, 24, 22, 11, 12, SKIN)
    disc_box(pixels, 24, 14, 12, 7, (110, 70, 40, 255))
    curve(pixels, 24, 17, 12, -9, 2.5, (40, 40, 40, 255))
    disc_box(pixels, 12, 23, 3, 4, (40, 40, 40, 255))
    thick_line_box(pixels, 12, 26, 20, 32, 2, (40, 40, 40, 255))
    disc_box(pixels, 20, 21, 1.5, 1.8, INK)
    disc_box(pixels, 28, 21, 1.5, 1.8, INK)
    curve(pixels, 24, 27, 4, 2, 1.6, INK)


def pacifier_icon(pixels):
    """A baby's dummy: the pacifier soothes a customer who has waited long."""
    thick_line_box(pixels, 24, 30, 24, 42, 5, (250, 250, 250, 255))
    disc_box(pixels, 24, 42, 6, 5, (90, 170, 230, 255))
    disc_box(pixels, 24, 42, 3, 2.5, (200, 230, 250, 255))
    disc_box(pixels, 24, 26, 16, 9, (240, 120, 160, 255))
    disc_box(pixels, 24, 26, 12, 6, (250, 170, 200, 255))
    disc_box(pixels, 24, 14, 6, 8, (255, 230, 170, 255))
    disc_box(pixels, 24, 26, 4, 4, (240, 120, 160, 255))


GOLD = ((250, 205, 70, 255), (170, 120, 20, 255))
SILVER = ((215, 222, 232, 255), (120, 130, 145, 255))
BRONZE = ((214, 140, 80, 255), (120, 70, 30, 255))
TROPHY_SIZE = (96, 112)      # the hot spot is the middle


def trophy_cup(pixels, metal, shine):
    """A cup on a stepped plinth; the emblem goes on its bowl at (48, 38)."""
    face, shadow = metal
    thick_line_box(pixels, 20, 22, 12, 40, 5, shadow)
    thick_line_box(pixels, 12, 40, 28, 54, 5, shadow)
    thick_line_box(pixels, 76, 22, 84, 40, 5, shadow)
    thick_line_box(pixels, 84, 40, 68, 54, 5, shadow)
    disc_box(pixels, 48, 26, 30, 36, shadow)
    disc_box(pixels, 48, 24, 27, 33, face)
    for y in range(0, 20):
        for x in range(len(pixels[0])):
            pixels[y][x] = (0, 0, 0, 0)
    fill_rect(pixels, 19, 18, 77, 24, shadow)
    fill_rect(pixels, 43, 58, 53, 76, shadow)
    fill_rect(pixels, 30, 74, 66, 82, face)
    fill_rect(pixels, 22, 84, 74, 108, shadow)
    fill_rect(pixels, 25, 87, 71, 105, (70, 46, 30, 255))
    fill_rect(pixels, 35, 93, 61, 99, face)
    if shine:
        thick_line_box(pixels, 30, 30, 34, 48, 3, (255, 255, 255, 150))


def trophy_emblem(pixels, kind):
    ink = (60, 40, 20, 255)
    if kind == "star":
        for i in range(5):
            a = -math.pi / 2 + i * 2 * math.pi / 5
            fill_triangle_box(pixels, (48 + 13 * math.cos(a), 38 + 13 * math.sin(a)),
                              (48 + 5 * math.cos(a + 0.63), 38 + 5 * math.sin(a + 0.63)),
                              (48 + 5 * math.cos(a - 0.63), 38 + 5 * math.sin(a - 0.63)), (255, 250, 220, 255))
            disc_box(pixels, 48, 38, 5, 5, (255, 250, 220, 255))
    elif kind in ("house", "blue house"):
        wall = (80, 160, 235, 255) if kind == "blue house" else (250, 245, 235, 255)
        fill_rect(pixels, 37, 38, 59, 52, wall)
        fill_triangle_box(pixels, (33, 39), (63, 39), (48, 25), (170, 60, 50, 255))
        fill_rect(pixels, 45, 44, 51, 52, ink)
    elif kind.startswith("dots"):
        count = int(kind[-1])
        for i in range(count):
            disc_box(pixels, 48 + (i - (count - 1) / 2) * 13, 40, 5, 5, (120, 60, 200, 255))
    elif kind == "coin":
        disc_box(pixels, 48, 39, 12, 12, (255, 240, 160, 255))
        thick_line_box(pixels, 48, 30, 48, 48, 2, ink)
        thick_line_box(pixels, 43, 34, 53, 34, 2, ink)
        thick_line_box(pixels, 43, 44, 53, 44, 2, ink)
    elif kind == "hammer":
        thick_line_box(pixels, 40, 50, 54, 32, 4, (120, 80, 40, 255))
        thick_line_box(pixels, 46, 26, 60, 36, 7, (70, 70, 80, 255))
    elif kind == "ribbon":
        fill_triangle_box(pixels, (40, 40), (48, 42), (38, 56), (200, 40, 60, 255))
        fill_triangle_box(pixels, (56, 40), (48, 42), (58, 56), (200, 40, 60, 255))
        disc_box(pixels, 48, 35, 10, 10, (220, 50, 70, 255))
        disc_box(pixels, 48, 35, 5, 5, (255, 220, 120, 255))
    elif kind == "arrow":
        fill_triangle_box(pixels, (36, 38), (60, 38), (48, 24), (40, 150, 70, 255))
        fill_rect(pixels, 43, 38, 53, 54, (40, 150, 70, 255))


def trophy_frames(metal, emblem):
    """An earned trophy: a shining cup of its metal with its emblem."""
    def draw():
        pixels = canvas(*TROPHY_SIZE)
        trophy_cup(pixels, metal, True)
        trophy_emblem(pixels, emblem)
        return [pixels]

    return draw


def locked_trophy_frames():
    """A trophy not yet earned: the cup's dark outline with a question mark."""
    pixels = canvas(*TROPHY_SIZE)
    trophy_cup(pixels, ((70, 74, 86, 255), (46, 48, 58, 255)), False)
    thick_line_box(pixels, 42, 30, 48, 26, 3, (140, 144, 160, 255))
    thick_line_box(pixels, 48, 26, 54, 31, 3, (140, 144, 160, 255))
    thick_line_box(pixels, 54, 31, 48, 38, 3, (140, 144, 160, 255))
    thick_line_box(pixels, 48, 38, 48, 43, 3, (140, 144, 160, 255))
    disc_box(pixels, 48, 50, 2.2, 2.2, (140, 144, 160, 255))
    return [pixels]


def trophy_hover_frames():
    """A warm glow framing the trophy under the mouse, drawn over it."""
    frames = []
    width, height = TROPHY_SIZE[0] + 24, TROPHY_SIZE[1] + 24
    for i in range(4):
        pixels = canvas(width, height)
        pulse = 0.75 + 0.25 * math.sin(math.pi * i / 2)
        for y in range(height):
            for x in range(width):
                edge = min(x, y, width - 1 - x, height - 1 - y)
                if edge < 10:
                    blend(pixels, x, y, (255, 220, 110, clamp(230 * pulse * (1 - edge / 10))), 1.0)
        frames.append(pixels)
    return frames


TROPHIES = {
    "BuilderOfDreams": (GOLD, "star"),
    "AccomplishedBuilder": (SILVER, "house"),
    "BlueModelHomeMaster": (GOLD, "blue house"),
    "MatchingApprentice": (BRONZE, "dots1"),
    "MatchingMaster": (SILVER, "dots2"),
    "SupremeMatchingAce": (GOLD, "dots3"),
    "CareerEarningsBronze": (BRONZE, "coin"),
    "CareerEarningsSilver": (SILVER, "coin"),
    "CareerEarningsGold": (GOLD, "coin"),
    "CraftsmanOfTheCentury": (GOLD, "hammer"),
    "OutstandingBuildingAwardOfExcellence": (GOLD, "ribbon"),
    "BuildingUpgradeMaster": (SILVER, "arrow"),
}


def tutorial_arrow_frames():
    """The pointer of a tutorial message: a fat arrow along +x whose tip is
    the hot spot's side, so that a turn keeps it aimed."""
    pixels = canvas(64, 32)
    thick_line(pixels, 4, 16, 40, 16, 10, (255, 214, 64, 255))
    fill_triangle(pixels, (38, 2), (62, 16), (38, 30), (255, 214, 64, 255))
    return [pixels]


# The map's level buttons: one picture per period colour (the first digit),
# goal count (2 or 3) and goals achieved (up to the count).
MAP_PERIOD_COLOURS = [(200, 92, 60, 255), (70, 140, 200, 255), (120, 170, 80, 255),
                      (180, 120, 200, 255), (220, 180, 60, 255), (90, 170, 160, 255)]


def level_button_frame(period, goals, achieved):
    # The rim reaches the canvas's edges: the frame library crops a clear
    # border away, and the map's button, drawn from its corner at the cropped
    # size, would cut the disc at the right and bottom.
    pixels = canvas(56, 56)
    disc(pixels, 28, 28, 28, 28, (250, 246, 230, 255))
    disc(pixels, 28, 28, 24, 24, MAP_PERIOD_COLOURS[period])
    for i in range(goals):
        x = 28 + (i - (goals - 1) / 2) * 13
        colour = (255, 222, 70, 255) if i < achieved else (60, 60, 70, 200)
        disc(pixels, x, 40, 5, 5, colour)
    return pixels


def level_selected_frame():
    """The ring the map draws round the selected level's button."""
    pixels = canvas(76, 76)
    for y in range(76):
        for x in range(76):
            d = math.hypot(x + 0.5 - 38, y + 0.5 - 38)
            blend(pixels, x, y, (255, 236, 120, 255), 3.5 - abs(d - 33))
    return pixels


def map_backdrop():
    """The map: sea, a coast and the two towns' hills, seen from above."""
    width, height = 1024, 768
    pixels = []
    for y in range(height):
        row = []
        for x in range(width):
            coast = 640 + 60 * math.sin(y / 90.0) + 30 * math.sin(y / 31.0)
            if x > coast:
                shade = 10 if (x // 7 + y // 9) % 2 else 0
                row.append((40 + shade, 96 + shade, 160 + shade, 255))
            else:
                hill = 0.5 + 0.5 * math.sin(x / 70.0) * math.cos(y / 55.0)
                row.append((clamp(110 + 40 * hill), clamp(150 + 30 * hill), clamp(84 + 20 * hill), 255))
        pixels.append(row)
    return pixels


# The option and player windows' title-bar icons, 32 x 32.
MENU_INK = (40, 30, 20, 255)
MENU_GOLD = (250, 200, 60, 255)


def menu_icon(draw_on):
    def draw():
        pixels = canvas(32, 32)
        draw_on(pixels)
        return [pixels]
    return draw


def display_icon(pixels):
    fill_rect(pixels, 3, 4, 29, 22, MENU_INK)
    fill_rect(pixels, 5, 6, 27, 20, (90, 150, 210, 255))
    fill_triangle_box(pixels, (6, 19), (13, 11), (20, 19), (80, 135, 70, 255))
    disc_box(pixels, 22, 10, 2.5, 2.5, MENU_GOLD)
    fill_rect(pixels, 14, 22, 18, 26, MENU_INK)
    fill_rect(pixels, 9, 26, 23, 28, MENU_INK)


def change_player_icon(pixels):
    for cx, shirt in ((11, (70, 110, 200, 255)), (21, (200, 90, 40, 255))):
        disc_box(pixels, cx, 19 + 8, 7, 8, shirt)
        disc_box(pixels, cx, 11, 4.5, 4.5, SKIN)
    thick_line_box(pixels, 4, 3, 12, 3, 2, MENU_GOLD)
    fill_triangle_box(pixels, (12, 0), (16, 3), (12, 6), MENU_GOLD)


def credits_icon(pixels):
    fill_rect(pixels, 7, 4, 25, 28, (236, 226, 196, 255))
    disc_box(pixels, 7, 6, 3, 3, (200, 186, 150, 255))
    disc_box(pixels, 25, 26, 3, 3, (200, 186, 150, 255))
    for y in (10, 14, 18, 22):
        thick_line_box(pixels, 11, y, 21, y, 1.5, MENU_INK)


def sound_icon(pixels):
    fill_rect(pixels, 4, 12, 10, 20, MENU_INK)
    fill_triangle_box(pixels, (8, 16), (17, 5), (17, 27), MENU_INK)
    for r in (5, 9):
        for t in range(-40, 41, 4):
            a = math.radians(t)
            x, y = 18 + r * math.cos(a), 16 + r * math.sin(a)
            disc_box(pixels, x, y, 1.2, 1.2, MENU_GOLD)


SEQUENCES = {
    # Index 0 of the sequence list stands for none: this placeholder sorts first.
    "!None": lambda: [canvas(1, 1)],
    "Mouse Cursor": cursor_frames,
    "Can Move X Cursor": edge_cursor_frames(1, 0, False),
    "Moving X Cursor": edge_cursor_frames(1, 0, True),
    "Can Move Y Cursor": edge_cursor_frames(0, 1, False),
    "Moving Y Cursor": edge_cursor_frames(0, 1, True),
    "Can Resize Cursor": edge_cursor_frames(1, 1, False),
    "Resizing Cursor": edge_cursor_frames(1, 1, True),
    "Can Resize Other Cursor": edge_cursor_frames(1, -1, False),
    "Resizing Other Cursor": edge_cursor_frames(1, -1, True),
    "Text Cursor": text_cursor_frames,
    "Set X Cursor": set_cursor_frames(True, False),
    "Set Y Cursor": set_cursor_frames(False, True),
    "Set XY Cursor": set_cursor_frames(True, True),
    "Can Move Cursor": arrow_cursor_frames(FOUR_WAYS, False),
    "Moving Cursor": arrow_cursor_frames(FOUR_WAYS, True),
    "Page Up Cursor": arrow_cursor_frames([(0, -1)], False),
    "Page Down Cursor": arrow_cursor_frames([(0, 1)], False),
    "Page Left Cursor": arrow_cursor_frames([(-1, 0)], False),
    "Page Right Cursor": arrow_cursor_frames([(1, 0)], False),
    "Coin": coin_frames,
    "Walk": walk_frames,
    "Flag": flag_frames,
    "House": house_frames,
    "Tree": tree_frames,
    "Swallow": bird_frames,
    "Spark Burst": burst_frames,
    "Gauge Back": gauge_back_frames,
    "Gauge Fill": gauge_fill_frames,
    "Goal_Incomplete": goal_panel_frames((20, 26, 48, 230), (150, 160, 190, 255)),
    "Goal_Complete": goal_panel_frames((18, 60, 30, 230), (90, 220, 110, 255)),
    "Goal_Failed": goal_panel_frames((60, 20, 24, 230), (220, 80, 80, 255)),
    "Goal Heart": goal_icon_frames("heart"),
    "Goal Half Heart": goal_icon_frames("half heart"),
    "Goal Dollar": goal_icon_frames("dollar"),
    "Goal Clock": goal_icon_frames("clock"),
    "Goal Anyone": goal_icon_frames("anyone"),
    "Goal Everyone": goal_icon_frames("everyone"),
    "StarGoalEffect": star_frames,
    "Tile EmptyLot": empty_lot_frames,
    "Lot Vacant": vacant_lot_frames,
    "Lot Construction": construction_lot_frames,
    "Lot LivedIn": lived_in_lot_frames,
    "Lot Hover": lot_hover_frames,
    "Poke Cursor": poke_cursor_frames,
    "Hud Backdrop": hud_backdrop_frames,
    "Cottage Build": cottage_frames,
    "Garage Build": garage_frames,
    "Button Plate": button_plate_frames((34, 52, 104, 255), (232, 168, 40, 255)),
    "Button Plate Disabled": button_plate_frames((40, 44, 56, 255), (110, 110, 110, 255)),
    "Button Hover": button_hover_frames,
    "Cottage Button": icon(frame_icon),
    "Garage Button": icon(garage_icon),
    "Lemon Paint Button": icon(paint_can_icon((245, 215, 60, 255))),
    "Sky Blue Paint Button": icon(paint_can_icon((80, 160, 235, 255))),
    "Bulldozer Button": icon(bulldozer_icon),
    "Foreman Button": icon(foreman_icon),
    "Signpost Button": icon(signpost_icon),
    "Deliverer Button": icon(deliverer_icon),
    "Deliverer Empty": icon(faded(deliverer_icon, 0.4)),
    "Framing Crew Button": icon(crew_badge_icon((200, 90, 40, 255))),
    "Garage Crew Button": icon(crew_badge_icon((60, 140, 80, 255))),
    "Painting Crew Button": icon(crew_badge_icon((70, 110, 200, 255))),
    "Framing Crew": worker_frames((200, 90, 40, 255), (240, 190, 30, 255), "hammer"),
    "Garage Crew": worker_frames((60, 140, 80, 255), (240, 190, 30, 255), "hammer"),
    "Painting Crew": worker_frames((70, 110, 200, 255), (240, 190, 30, 255), "brush"),
    "Foreman": worker_frames((236, 236, 240, 255), (250, 250, 250, 255), "clipboard"),
    "Signpost": signpost_frames,
    "CrewMeterBar": crew_meter_bar_frames,
    "Can Use Cursor": can_use_cursor_frames,
    "Bonus Meter Dial": meter_dial_frames,
    "Bonus Meter Needle": meter_needle_frames,
    "Bonus Meter Cap": meter_cap_frames,
    "Mega Click Effect": sparkle_frames(40, (120, 255, 140, 255), 6),
    "CursorPowerUp": sparkle_frames(16, (160, 255, 170, 255), 4),
    "Mouse Cursor_Green Glow": glow_cursor_frames,
    "Customer A": customer_frames((70, 140, 90, 255), (60, 70, 110, 255), (110, 70, 40, 255), False),
    "Customer B": customer_frames((220, 120, 40, 255), (90, 60, 120, 255), (235, 200, 90, 255), True),
    "Angry Background": angry_background_frames,
    "Caption": caption_frames,
    "Need Menu": need_menu_frames,
    "Heart Full": heart_frames((230, 50, 80, 255), (120, 20, 40, 255)),
    "Heart Empty": heart_frames((90, 90, 100, 255), (50, 50, 60, 255)),
    "Heart Empty Warning": heart_frames((120, 40, 50, 255), (240, 60, 60, 255)),
    "Customer Highlight": customer_highlight_frames,
    "Greeter": icon(greeter_icon),
    "Pacifier": icon(pacifier_icon),
    "Trophy Locked": locked_trophy_frames,
    "Trophy Hover": trophy_hover_frames,
    "Tutorial Arrow": tutorial_arrow_frames,
    "MenuScreen_Button_Display": menu_icon(display_icon),
    "MenuScreen_Button_ChangePlayer": menu_icon(change_player_icon),
    "MenuScreen_Button_Credits": menu_icon(credits_icon),
    "MenuScreen_Button_Sound": menu_icon(sound_icon),
}
SEQUENCES.update({"Trophy " + name: trophy_frames(metal, emblem) for name, (metal, emblem) in TROPHIES.items()})
SEQUENCES.update(demo_business.sequences(sys.modules[__name__]))


def backdrop(sky_top, sky_bottom, hills, water=None):
    """A level's background picture, the whole 1024 x 768 screen: a sky, rows
    of hills whose last one is the meadow the town stands on, and
    optionally a lake at the lower left."""
    width, height = 1024, 768
    sky_rows = []
    for y in range(height):
        t = min(1.0, y / 329)
        sky_rows.append(tuple(clamp(a + (b - a) * t) for a, b in zip(sky_top, sky_bottom)) + (255,))
    tops = []
    for index, (base, amplitude, period, colour) in enumerate(hills):
        # The hills keep the shape they had on the 400-pixel picture drawn
        # at the right edge.
        tops.append([int(base - amplitude * math.sin(2 * math.pi * ((x - 624) / period + 0.3 * index)))
                     for x in range(width)])
    pixels = []
    for y in range(height):
        row = [sky_rows[y]] * width
        for (base, amplitude, period, colour), top in zip(hills, tops):
            shade = 1.0 - 0.12 * max(0.0, (y - 330) / (height - 330))
            lit = (clamp(colour[0] * shade), clamp(colour[1] * shade), clamp(colour[2] * shade), 255)
            row = [lit if y >= top[x] else row[x] for x in range(width)]
        pixels.append(row)
    if water:
        for y in range(560, height):
            for x in range(0, 260):
                if ((x - 40) / 230) ** 2 + ((y - 700) / 150) ** 2 < 1.0:
                    shade = 12 if (y // 6) % 2 else 0
                    pixels[y][x] = (clamp(water[0] + shade), clamp(water[1] + shade), clamp(water[2] + shade), 255)
    return pixels


FRAMES = {
    "Town Background": lambda: backdrop((120, 170, 230), (205, 225, 245),
                                        [(210, 18, 260, (110, 160, 90, 255)), (250, 10, 170, (80, 135, 70, 255))]),
    "Harbour Background": lambda: backdrop((90, 140, 210), (190, 215, 240),
                                           [(220, 25, 330, (120, 150, 110, 255))], water=(40, 90, 150)),
    "Level Selected": level_selected_frame,
    "Map Background": map_backdrop,
}
FRAMES.update({"LevelButtonActive%d%d%d" % (period, goals, achieved):
               (lambda p=period, g=goals, a=achieved: level_button_frame(p, g, a))
               for period in range(6) for goals in (2, 3) for achieved in range(goals + 1)})
SEQUENCES.update(demo_streets.SEQUENCES)
FRAMES.update(demo_streets.FRAMES)


def main():
    data = data_folder(__file__)
    root = os.path.join(data, "Data", "Resources", "Sequences")
    stamp = os.path.join(root, STAMP)
    if all(is_up_to_date(stamp, script) for script in (__file__, demo_business.__file__, demo_streets.__file__)):
        return 0
    _, frames = write_pictures(data, SEQUENCES, FRAMES)
    with open(stamp, "w") as out:
        out.write("frames drawn by tools/make_demo_sequences.py\n")
    print("make_demo_sequences: frames written under", root)
    return 0


if __name__ == "__main__":
    sys.exit(main())
