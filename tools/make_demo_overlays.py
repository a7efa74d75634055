#!/usr/bin/env python3
"""Draws the images the demo overlay sets use into data/Data/Resources/.

Usage: make_demo_overlays.py [data folder]   (default: data beside tools/)

Writes the frame library's images under "Resources/Frames/" (the loading
picture "LoadingScreen_Background", the letters "Letter A" to "Letter Z",
the progress bars "Progress 1" to "Progress 6" and the sliding "Panel") and
copies DejaVu Sans (Debian package fonts-dejavu-core) to the program's
default face "Resources/!default.ttf". The overlay sets and font objects are
hand-written and checked in. The drawing is fixed, so every run writes the
same bytes; nothing is written while the output is newer than this script.
"""

import os
import sys

from demo_data import copy_font, data_folder, is_up_to_date, png_bytes

STAMP = ".overlays-made"

# 5 x 7 capitals, one string of five columns per row ("#" drawn).
LETTERS = {
    "A": [".###.", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"],
    "B": ["####.", "#...#", "#...#", "####.", "#...#", "#...#", "####."],
    "C": [".###.", "#...#", "#....", "#....", "#....", "#...#", ".###."],
    "D": ["####.", "#...#", "#...#", "#...#", "#...#", "#...#", "####."],
    "E": ["#####", "#....", "#....", "####.", "#....", "#....", "#####"],
    "F": ["#####", "#....", "#....", "####.", "#....", "#....", "#...."],
    "G": [".###.", "#...#", "#....", "#.###", "#...#", "#...#", ".###."],
    "H": ["#...#", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"],
    "I": [".###.", "..#..", "..#..", "..#..", "..#..", "..#..", ".###."],
    "J": ["..###", "...#.", "...#.", "...#.", "#..#.", "#..#.", ".##.."],
    "K": ["#...#", "#..#.", "#.#..", "##...", "#.#..", "#..#.", "#...#"],
    "L": ["#....", "#....", "#....", "#....", "#....", "#....", "#####"],
    "M": ["#...#", "##.##", "#.#.#", "#.#.#", "#...#", "#...#", "#...#"],
    "N": ["#...#", "##..#", "#.#.#", "#..##", "#...#", "#...#", "#...#"],
    "O": [".###.", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."],
    "P": ["####.", "#...#", "#...#", "####.", "#....", "#....", "#...."],
    # The Q image stands for "QU".
    "Q": [".###.", "#...#", "#...#", "#...#", "#.#.#", "#..#.", ".##.#"],
    "R": ["####.", "#...#", "#...#", "####.", "#.#..", "#..#.", "#...#"],
    "S": [".####", "#....", "#....", ".###.", "....#", "....#", "####."],
    "T": ["#####", "..#..", "..#..", "..#..", "..#..", "..#..", "..#.."],
    "U": ["#...#", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."],
    "V": ["#...#", "#...#", "#...#", "#...#", "#...#", ".#.#.", "..#.."],
    "W": ["#...#", "#...#", "#...#", "#.#.#", "#.#.#", "##.##", "#...#"],
    "X": ["#...#", "#...#", ".#.#.", "..#..", ".#.#.", "#...#", "#...#"],
    "Y": ["#...#", "#...#", ".#.#.", "..#..", "..#..", "..#..", "..#.."],
    "Z": ["#####", "....#", "...#.", "..#..", ".#...", "#....", "#####"],
}


def background():
    """1024 x 768: a dusk gradient with a band of hills, a frame for the bar."""
    width, height = 1024, 768
    rows = []
    for y in range(height):
        t = y / (height - 1)
        sky = (int(30 + 60 * t), int(24 + 40 * t), int(70 + 60 * (1 - t)))
        row = bytearray()
        for x in range(width):
            ridge = 540 + ((x * 37) // 100) % 60 - (x // 64) % 3 * 12
            if y > ridge:
                row += bytes((28, 52 + (x // 16) % 2 * 6, 40, 255))
            elif 300 <= y < 500 and 232 <= x < 792:
                # The title plate behind the loading texts.
                edge = y in (300, 499) or x in (232, 791)
                row += bytes((232, 168, 40, 255)) if edge else bytes((18, 22, 44, 255))
            else:
                row += bytes((*sky, 255))
        rows.append(bytes(row))
    return width, height, rows


def letter(name):
    """36 x 42: the 5 x 7 capital, cells of 6 pixels, gold with a dark rim."""
    scale, width, height = 6, 36, 42
    rows = [bytearray(b"\x00\x00\x00\x00" * width) for _ in range(height)]
    pattern = LETTERS[name]
    for gy, line in enumerate(pattern):
        for gx, mark in enumerate(line):
            if mark != "#":
                continue
            for y in range(gy * scale, gy * scale + scale):
                for x in range(3 + gx * scale, 3 + gx * scale + scale):
                    inner = (y - gy * scale) in (0, scale - 1) or (x - 3 - gx * scale) in (0, scale - 1)
                    colour = (120, 70, 10, 255) if inner else (250, 200, 60, 255)
                    rows[y][x * 4:x * 4 + 4] = bytes(colour)
    return width, height, [bytes(r) for r in rows]


def progress(step):
    """A bar of step sixths of 360 pixels, 18 high."""
    width, height = 60 * step, 18
    rows = []
    for y in range(height):
        shade = 160 + 5 * y
        rows.append(bytes((40, min(255, shade), 90, 255)) * width)
    return width, height, rows


def panel():
    """360 x 200: a rounded card, translucent dark with a light rim."""
    width, height, radius = 360, 200, 18
    rows = []
    for y in range(height):
        row = bytearray()
        for x in range(width):
            dx = max(radius - x, 0, x - (width - 1 - radius))
            dy = max(radius - y, 0, y - (height - 1 - radius))
            d2 = dx * dx + dy * dy
            if d2 > radius * radius:
                row += b"\x00\x00\x00\x00"
            elif d2 > (radius - 3) * (radius - 3) or x < 3 or y < 3 or x >= width - 3 or y >= height - 3:
                row += bytes((240, 220, 160, 255))
            else:
                row += bytes((20, 34, 60, 220))
        rows.append(bytes(row))
    return width, height, rows


def main():
    data = data_folder(__file__)
    resources = os.path.join(data, "Data", "Resources")
    frames = os.path.join(resources, "Frames")
    stamp = os.path.join(frames, STAMP)
    if is_up_to_date(stamp, __file__):
        return 0
    os.makedirs(frames, exist_ok=True)
    images = {"LoadingScreen_Background": background(), "Panel": panel()}
    for name in LETTERS:
        images["Letter " + name] = letter(name)
    for step in range(1, 7):
        images["Progress %d" % step] = progress(step)
    for name, (width, height, rows) in images.items():
        with open(os.path.join(frames, name + ".png"), "wb") as out:
            out.write(png_bytes(width, height, rows))
    copy_font(resources, "make_demo_overlays", "; texts stay blank")
    with open(stamp, "w") as out:
        out.write("images drawn by tools/make_demo_overlays.py\n")
    print("make_demo_overlays: images written under", frames)
    return 0


if __name__ == "__main__":
    sys.exit(main())
