#!/usr/bin/env python3
"""Draws the window toolkit's demo textures and border pieces into
data/Data/Resources/Interface/Textures/, the list box's tree icons into the
frame library's data/Data/Resources/Frames/ with the image browser's
folder cells ("Parent Folder", "Large Folder"), and copies the window font.

Usage: make_demo_interface.py [data folder]   (default: data beside tools/)

The images are 32-bit PNGs; the frame property files beside them ("<name>.txt",
hot spots) and the theme file in "Interface/JWindowSkins" are hand-written and
checked in. DejaVu Sans (Debian package fonts-dejavu-core) becomes the data
folder's default TrueType font "Resources/!default.ttf". The drawing is fixed
(a seeded generator for the grain), so every run writes the same bytes.
Nothing is written while the outputs are newer than this script.
"""

import math
import os
import random
import sys

from demo_data import clamp, copy_font, data_folder, is_up_to_date, png_bytes

STAMP = ".interface-made"


def image(width, height, paint):
    return [[tuple(clamp(c) for c in paint(x, y)) for x in range(width)] for y in range(height)]


def grain(seed, width, height, amount):
    rng = random.Random(seed)
    values = [[rng.uniform(-amount, amount) for _ in range(width)] for _ in range(height)]
    # Soften, wrapping round the edges so the texture tiles.
    return [[(values[y][x] * 2 + values[y][(x + 1) % width] + values[(y + 1) % height][x]) / 4
             for x in range(width)] for y in range(height)]


def brushed(seed, base, width=64, height=64):
    noise = grain(seed, width, height, 18)
    return image(width, height, lambda x, y: (base[0] + noise[y][x], base[1] + noise[y][x],
                                              base[2] + noise[y][x] * 1.2, 255))


def title_tile(top, bottom):
    return image(64, 32, lambda x, y: tuple(top[i] + (bottom[i] - top[i]) * y / 31 for i in range(3)) + (255,))


def coverage(distance):
    """Anti-aliased inside test: distance < 0 is inside."""
    return max(0.0, min(1.0, 0.5 - distance))


def corner_mask(corner, radius=12, size=32):
    """A mask centred on a window corner: the quadrant inside the window is
    opaque except for the rounding; the other three are empty."""
    half = size // 2

    def paint(x, y):
        # Pixel centre relative to the corner, turned into the top-left case.
        dx = (x + 0.5 - half) * (1 if corner[1] == "L" else -1)
        dy = (y + 0.5 - half) * (1 if corner[0] == "T" else -1)
        if dx < 0 or dy < 0:
            return (255, 255, 255, 0)
        if dx < radius and dy < radius:
            d = math.hypot(radius - dx, radius - dy) - radius
            return (255, 255, 255, 255 * coverage(d))
        return (255, 255, 255, 255)

    return image(size, size, paint)


GOLD = (226, 180, 84)
GOLD_DARK = (140, 96, 34)


def rim_pixel(distance, width=3.0):
    """A gold line of the given width centred on distance 0, with a dark edge."""
    inside = coverage(abs(distance) - width / 2)
    edge = coverage(abs(distance) - width / 2 - 1.0) - inside
    alpha = 255 * max(inside, edge * 0.8)
    shade = inside / (inside + edge) if inside + edge > 0 else 0
    return tuple(GOLD_DARK[i] + (GOLD[i] - GOLD_DARK[i]) * shade for i in range(3)) + (alpha,)


def rim_edge(horizontal, length=8, size=16):
    half = size / 2
    if horizontal:
        return image(length, size, lambda x, y: rim_pixel(y + 0.5 - half))
    return image(size, length, lambda x, y: rim_pixel(x + 0.5 - half))


def rim_corner(corner, radius=12, size=32, gem=None):
    half = size // 2

    def paint(x, y):
        dx = (x + 0.5 - half) * (1 if corner[1] == "L" else -1)
        dy = (y + 0.5 - half) * (1 if corner[0] == "T" else -1)
        if dx < radius and dy < radius and dx >= -2 and dy >= -2:
            d = math.hypot(radius - dx, radius - dy) - radius
        elif dx >= radius:
            d = dy
        elif dy >= radius:
            d = dx
        else:
            d = min(dx, dy)
        colour = rim_pixel(d)
        if gem:
            g = math.hypot(x + 0.5 - half, y + 0.5 - half) - 5.5
            if g < 1:
                a = coverage(g)
                light = 1.0 - min(1.0, math.hypot(x + 1 - half, y + 1 - half) / 6)
                colour = tuple(colour[i] * (1 - a) + (gem[i] * (0.6 + 0.4 * light)) * a for i in range(3)) + (
                    max(colour[3], 255 * a),)
        return colour

    return image(size, size, paint)


def plate(width=160, height=28):
    def paint(x, y):
        cx, cy = x + 0.5, y + 0.5
        r = 10
        dx = max(r - cx, 0, cx - (width - r))
        dy = max(r - cy, 0, cy - (height - r))
        d = math.hypot(dx, dy) - r
        a = coverage(d)
        t = cy / height
        base = tuple(GOLD[i] * (1.1 - 0.45 * t) for i in range(3))
        rim = coverage(d + 2.0)
        return tuple(base[i] * rim + GOLD_DARK[i] * (1 - rim) for i in range(3)) + (255 * a,)

    return image(width, height, paint)


def button(top, bottom, size=24, radius=7):
    def paint(x, y):
        cx, cy = x + 0.5, y + 0.5
        dx = max(radius - cx, 0, cx - (size - radius))
        dy = max(radius - cy, 0, cy - (size - radius))
        d = math.hypot(dx, dy) - radius
        a = coverage(d)
        t = cy / size
        fill = tuple(top[i] + (bottom[i] - top[i]) * t for i in range(3))
        edge = coverage(d + 1.5)
        return tuple(fill[i] * edge + GOLD_DARK[i] * (1 - edge) for i in range(3)) + (255 * a,)

    return image(size, size, paint)


def pill(top, bottom, width=72, height=28, glow=False):
    """A rounded push-button face; glow: only a soft halo round the edge,
    laid over the face while it is hovered."""
    radius = height / 2 - 1

    def paint(x, y):
        cx, cy = x + 0.5, y + 0.5
        dx = max(radius + 1 - cx, 0, cx - (width - radius - 1))
        dy = max(radius + 1 - cy, 0, cy - (height - radius - 1))
        d = math.hypot(dx, dy) - radius
        if glow:
            a = max(0.0, 1.0 - abs(d + 1.5) / 2.5)
            return (255, 240, 170, 200 * a)
        a = coverage(d)
        t = cy / height
        fill = tuple(top[i] + (bottom[i] - top[i]) * t for i in range(3))
        edge = coverage(d + 1.5)
        return tuple(fill[i] * edge + GOLD_DARK[i] * (1 - edge) for i in range(3)) + (255 * a,)

    return image(width, height, paint)


def check_box(checked, size=16):
    def paint(x, y):
        cx, cy = x + 0.5, y + 0.5
        d = max(abs(cx - size / 2), abs(cy - size / 2)) - (size / 2 - 1)
        a = coverage(d)
        edge = coverage(d + 1.5)
        colour = tuple(236 * edge + GOLD_DARK[i] * (1 - edge) for i in range(3))
        if checked:
            # A tick: two strokes meeting low on the left.
            for (x1, y1, x2, y2) in ((4, 8.5, 7, 11.5), (7, 11.5, 12.5, 4.5)):
                length = math.hypot(x2 - x1, y2 - y1)
                t = max(0.0, min(1.0, ((cx - x1) * (x2 - x1) + (cy - y1) * (y2 - y1)) / (length * length)))
                k = coverage(math.hypot(cx - x1 - t * (x2 - x1), cy - y1 - t * (y2 - y1)) - 1.2)
                colour = tuple(colour[i] * (1 - k) + (40, 140, 60)[i] * k for i in range(3))
        return colour + (255 * a,)

    return image(size, size, paint)


def landscape(width=240, height=150):
    """The picture window's picture: hills under an evening sky with a sun."""
    def paint(x, y):
        t = y / height
        colour = (250 - 120 * t, 170 - 60 * t, 110 + 80 * t)
        sun = coverage(math.hypot(x + 0.5 - 170, y + 0.5 - 52) - 22)
        colour = tuple(colour[i] * (1 - sun) + (255, 236, 150)[i] * sun for i in range(3))
        for base, amplitude, period, tint in ((96, 14, 90.0, (70, 110, 80)), (118, 10, 55.0, (40, 80, 56))):
            ridge = base + amplitude * math.sin(x / period * 2.0 * math.pi + base)
            hill = coverage(ridge - (y + 0.5))
            colour = tuple(colour[i] * (1 - hill) + tint[i] * hill for i in range(3))
        return colour + (255,)

    return image(width, height, paint)


def folder_icon(opened, width=16, height=13):
    """A folder with a tab; opened shows a lighter flap tilted forward."""
    back, front, edge = (196, 150, 60), (238, 200, 96), (96, 66, 20)

    def paint(x, y):
        if y < 2:
            on_tab = 1 <= x <= 6
            return edge + (255,) if on_tab and (y == 0 or x in (1, 6)) else back + (255,) if on_tab else (0, 0, 0, 0)
        if y == 2 or y == height - 1 or x == 0 or x == width - 1:
            return edge + (255,)
        if opened and y >= 5:
            # The flap leans right: its left edge moves in as it rises.
            left = 1 + (height - 1 - y) // 3
            if x == left:
                return edge + (255,)
            if x > left:
                return front + (255,)
        return back + (255,)

    return image(width, height, paint)


def large_folder(up, width=64, height=50):
    """The image browser's folder cell; up marks the way to the parent with an
    arrow on the front."""
    back, front, edge, mark = (196, 150, 60), (238, 200, 96), (96, 66, 20), (70, 46, 12)
    tab_end, tab_height = width * 2 // 5, height // 7
    cx, top, bottom = width // 2, height * 2 // 5, height * 5 // 6

    def on_arrow(x, y):
        head = top + (bottom - top) * 2 // 5
        if top <= y < head:
            return abs(x - cx) <= (y - top)
        return head <= y <= bottom and abs(x - cx) <= width // 14

    def paint(x, y):
        if y < tab_height:
            if x < 2 or x > tab_end:
                return (0, 0, 0, 0)
            return edge + (255,) if y < 2 or x < 4 or x > tab_end - 2 else back + (255,)
        if y < tab_height + 2 or y >= height - 2 or x < 2 or x >= width - 2:
            return edge + (255,)
        if up and on_arrow(x, y):
            return mark + (255,)
        return (front if y > tab_height + height // 8 else back) + (255,)

    return image(width, height, paint)


def file_icon(width=12, height=14):
    """A page with its top-right corner folded down."""
    paper, edge, lines = (244, 244, 236), (90, 90, 100), (150, 160, 180)
    fold = 4

    def paint(x, y):
        corner = x - (width - 1 - fold)
        if corner > y:
            return (0, 0, 0, 0)
        if x == 0 or y == height - 1 or x == width - 1 or y == 0 or corner == y or (corner >= 0 and y == fold):
            return edge + (255,)
        if y >= 5 and y % 3 == 2 and 2 <= x <= width - 3:
            return lines + (255,)
        return paper + (255,)

    return image(width, height, paint)


def icons():
    """The list box's tree icons and the image browser's folder cells, which
    they find in the frame library."""
    return {
        "Folder Open Icon": folder_icon(True),
        "Folder Closed Icon": folder_icon(False),
        "File Icon": file_icon(),
        "Parent Folder": large_folder(True),
        "Large Folder": large_folder(False),
    }


def textures():
    made = {
        "Demo Picture": landscape(),
        "Window Texture": brushed(11, (70, 88, 112)),
        "Inactive Window Texture": brushed(12, (84, 88, 96)),
        "Window Title Tile": title_tile((40, 70, 150), (24, 44, 100)),
        "Inactive Window Title Tile": title_tile((96, 100, 112), (70, 74, 84)),
        "Demo Paper": brushed(21, (26, 52, 60)),
        "Demo Title Plate": plate(),
        "Demo Rim Top": rim_edge(True),
        "Demo Rim Side": rim_edge(False),
        "Demo Rim Close": rim_corner("TR", gem=(220, 50, 40)),
        "Demo Button": button((64, 110, 120), (34, 66, 76)),
        "Demo Button Hover": button((90, 150, 160), (48, 92, 104)),
        "Demo Button Down": button((28, 56, 64), (50, 94, 104)),
        "Demo Push": pill((120, 170, 90), (60, 110, 50)),
        "Demo Push Down": pill((50, 96, 44), (100, 150, 80)),
        "Demo Push Glow": pill((0, 0, 0), (0, 0, 0), glow=True),
        "Demo Check Off": check_box(False),
        "Demo Check On": check_box(True),
    }
    for corner in ("TL", "TR", "BL", "BR"):
        made["Demo Round " + corner] = corner_mask(corner)
        made["Demo Rim " + corner] = rim_corner(corner)
    return made


def main():
    data = data_folder(__file__)
    resources = os.path.join(data, "Data", "Resources")
    folder = os.path.join(resources, "Interface", "Textures")
    stamp = os.path.join(folder, STAMP)
    if is_up_to_date(stamp, __file__):
        return 0
    os.makedirs(folder, exist_ok=True)
    for name, pixels in textures().items():
        with open(os.path.join(folder, name + ".png"), "wb") as out:
            out.write(png_bytes(len(pixels[0]), len(pixels), pixels))
    frames = os.path.join(resources, "Frames")
    os.makedirs(frames, exist_ok=True)
    for name, pixels in icons().items():
        with open(os.path.join(frames, name + ".png"), "wb") as out:
            out.write(png_bytes(len(pixels[0]), len(pixels), pixels))
    copy_font(resources, "make_demo_interface", "")
    with open(stamp, "w") as out:
        out.write("textures drawn by tools/make_demo_interface.py\n")
    print("make_demo_interface: textures written under", folder)
    return 0


if __name__ == "__main__":
    sys.exit(main())
