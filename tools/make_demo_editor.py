#!/usr/bin/env python3
"""Draws the level editor's demo pictures: the rotate-and-scale handles and
the rotate cursors, and the scenery the sprite palette offers, as sequences
under data/Data/Resources/Sequences/; the layer panel's check images into the
frame library data/Data/Resources/Frames/.

Usage: make_demo_editor.py [data folder]   (default: data beside tools/)

The sequences' "Properties.txt", the options object "Rotate And Scale Tool
Options.Object.txt" that names them, and the editor's skin theme
"Interface/JWindowSkins/Editor.JWindowSkin" are hand-written and checked in.
The drawing is fixed, so every run writes the same bytes. Nothing is written
while the outputs are newer than this script.
"""

import math
import os
import sys

from demo_data import blend, canvas, data_folder, disc, is_up_to_date, thick_line, write_pictures

STAMP = ".editor-made"

OUTLINE = (20, 20, 20, 255)
WHITE = (255, 255, 255, 255)
GOLD = (250, 200, 60, 255)


def rect(pixels, left, top, right, bottom, colour):
    for y in range(max(top, 0), min(bottom, len(pixels))):
        for x in range(max(left, 0), min(right, len(pixels[0]))):
            blend(pixels, x, y, colour, 1.0)


# ---- Handles and cursors ----------------------------------------------------

def square_handle():
    """A white square with a dark rim; its hot spot, the centre, sits on
    the handle position."""
    pixels = canvas(9, 9)
    rect(pixels, 0, 0, 9, 9, OUTLINE)
    rect(pixels, 1, 1, 8, 8, WHITE)
    return [pixels]


def rotator_handle():
    pixels = canvas(11, 11)
    disc(pixels, 5.5, 5.5, 5.2, 5.2, OUTLINE)
    disc(pixels, 5.5, 5.5, 3.8, 3.8, (120, 220, 120, 255))
    return [pixels]


def origin_handle():
    pixels = canvas(9, 9)
    for width, colour in ((3, OUTLINE), (1.2, WHITE)):
        thick_line(pixels, 4.5, 0.5, 4.5, 8.5, width, colour)
        thick_line(pixels, 0.5, 4.5, 8.5, 4.5, width, colour)
    return [pixels]


def rotate_cursor(held):
    """Three quarters of a circle ending in an arrow head, centred."""

    def draw():
        pixels = canvas(24, 24)
        fill = GOLD if held else WHITE
        steps = 24
        points = [(12 + 8 * math.cos(math.radians(-60 + 270 * i / steps)),
                   12 + 8 * math.sin(math.radians(-60 + 270 * i / steps))) for i in range(steps + 1)]
        tx, ty = points[-1]
        angle = math.radians(-60 + 270)
        ux, uy = -math.sin(angle), math.cos(angle)
        for width, colour in ((5, OUTLINE), (2.5, fill)):
            for (x1, y1), (x2, y2) in zip(points, points[1:]):
                thick_line(pixels, x1, y1, x2, y2, width, colour)
            for side in (1, -1):
                thick_line(pixels, tx, ty, tx - ux * 5 + side * -uy * 4, ty - uy * 5 + side * ux * 4, width, colour)
        return [pixels]

    return draw


# ---- Scenery ---------------------------------------------------------------

def bush():
    pixels = canvas(40, 30)
    for cx, cy, r, shade in ((12, 18, 10, 0), (28, 18, 10, 10), (20, 12, 11, 25)):
        disc(pixels, cx, cy, r, r * 0.9, (40 + shade, 110 + shade, 45, 255))
    for cx, cy in ((14, 14), (24, 9), (30, 17)):
        disc(pixels, cx, cy, 1.8, 1.8, (210, 60, 80, 255))
    return [pixels]


def rock():
    pixels = canvas(34, 22)
    disc(pixels, 17, 13, 16, 9, (110, 110, 118, 255))
    disc(pixels, 13, 10, 8, 4, (150, 150, 158, 255))
    return [pixels]


def fence():
    pixels = canvas(60, 30)
    for x in range(4, 60, 12):
        rect(pixels, x, 4, x + 5, 30, (170, 130, 80, 255))
        rect(pixels, x + 1, 2, x + 4, 4, (170, 130, 80, 255))
    rect(pixels, 0, 10, 60, 13, (150, 110, 65, 255))
    rect(pixels, 0, 20, 60, 23, (150, 110, 65, 255))
    return [pixels]


def lamp_post(lit):
    pixels = canvas(16, 56)
    rect(pixels, 7, 12, 10, 56, (50, 55, 65, 255))
    rect(pixels, 4, 52, 13, 56, (50, 55, 65, 255))
    disc(pixels, 8.5, 8, 6, 6, (250, 230, 140, 255) if lit else (200, 190, 150, 255))
    return [pixels]


def flower_bed():
    frames = []
    for sway in (0, 1, 0, -1):
        pixels = canvas(44, 20)
        disc(pixels, 22, 15, 21, 5, (95, 70, 45, 255))
        for i, colour in enumerate(((230, 80, 90, 255), (250, 210, 70, 255), (180, 110, 230, 255),
                                    (250, 250, 250, 255), (230, 80, 90, 255))):
            x = 6 + i * 8
            thick_line(pixels, x, 15, x + sway, 7, 1.2, (60, 140, 60, 255))
            disc(pixels, x + sway + 0.5, 6, 2.6, 2.6, colour)
        frames.append(pixels)
    return frames


SEQUENCES = {
    "Editor Handle": square_handle,
    "Editor Rotator Handle": rotator_handle,
    "Editor Origin Handle": origin_handle,
    "Can Rotate Cursor": rotate_cursor(False),
    "Rotating Cursor": rotate_cursor(True),
    "Scenery Bush": bush,
    "Scenery Rock": rock,
    "Scenery Fence": fence,
    "Scenery Lamp Post": lambda: lamp_post(True) + lamp_post(False),
    "Scenery Flower Bed": flower_bed,
}


# ---- Layer panel -----------------------------------------------------------

def check_frame(mark):
    """A 16-pixel box; an eye for "View", a pencil for "Edit", empty for
    unchecked."""
    pixels = canvas(16, 16)
    rect(pixels, 0, 0, 16, 16, (30, 30, 34, 255))
    rect(pixels, 1, 1, 15, 15, (210, 214, 220, 255))
    if mark == "view":
        disc(pixels, 8, 8, 6.5, 3.8, (20, 40, 90, 255))
        disc(pixels, 8, 8, 5.2, 2.8, (250, 250, 250, 255))
        disc(pixels, 8, 8, 2.2, 2.2, (30, 90, 200, 255))
    elif mark == "edit":
        thick_line(pixels, 4, 12, 12, 4, 3.2, (40, 40, 40, 255))
        thick_line(pixels, 4.5, 11.5, 11.5, 4.5, 1.8, (240, 190, 60, 255))
        thick_line(pixels, 3, 13, 4.5, 11.5, 1.6, (40, 40, 40, 255))
    return pixels


FRAMES = {
    "ViewLayerChecked": lambda: check_frame("view"),
    "EditLayerChecked": lambda: check_frame("edit"),
    "LayerUnchecked": lambda: check_frame(None),
}


def main():
    data = data_folder(__file__)
    root = os.path.join(data, "Data", "Resources", "Sequences")
    stamp = os.path.join(root, STAMP)
    if is_up_to_date(stamp, __file__):
        return 0
    _, frames = write_pictures(data, SEQUENCES, FRAMES)
    with open(stamp, "w") as out:
        out.write("frames drawn by tools/make_demo_editor.py\n")
    print("make_demo_editor: pictures written under", root, "and", frames)
    return 0


if __name__ == "__main__":
    sys.exit(main())
