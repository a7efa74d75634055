#!/usr/bin/env python3
"""Draws the images the demo overlay sets use into data/Data/Resources/.

Usage: make_demo_overlays.py [data folder]   (default: data beside tools/)

Writes the frame library's images under "Resources/Frames/" (the loading
picture "LoadingScreen_Background", the letters "Letter A" to "Letter Z",
the progress bars "Progress 1" to "Progress 6", the sliding "Panel" and
the menu screens' pieces: the title board "MenuScreen_Title", the slider's
groove and knob "MenuScreen_Slider" and "MenuScreen_SliderBar", the check
boxes "MenuScreen_SelectBox" and "MenuScreen_SelectBoxRed", and the story
pages' pictures of tools/demo_story.py) and copies DejaVu Sans (Debian
package fonts-dejavu-core) to the program's
default face "Resources/!default.ttf". The overlay sets and font objects are
hand-written and checked in. The drawing is fixed, so every run writes the
same bytes; nothing is written while the output is newer than this script.
"""

import os
import sys

from demo_data import copy_font, data_folder, is_up_to_date, png_bytes
import demo_story

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


def rounded(width, height, radius, colour_at):
    """A rounded rectangle; colour_at(x, y, rim) gives the pixel inside,
    rim: whether it is within two pixels of the edge."""
    rows = []
    for y in range(height):
        row = bytearray()
        for x in range(width):
            dx = max(radius - x, 0, x - (width - 1 - radius))
            dy = max(radius - y, 0, y - (height - 1 - radius))
            d2 = dx * dx + dy * dy
            if d2 > radius * radius:
                row += b"\x00\x00\x00\x00"
                continue
            rim = (d2 > (radius - 2) * (radius - 2) if dx and dy else False) or min(x, y, width - 1 - x, height - 1 - y) < 2
            row += bytes(colour_at(x, y, rim))
        rows.append(bytes(row))
    return width, height, rows


def title_board():
    """600 x 150: a wooden sign board with a row of roofs along its top, the
    title's letters are laid over it by the menu's set."""
    width, height = 600, 150
    _, _, board = rounded(width, 120, 14, lambda x, y, rim: (250, 200, 60, 255) if rim else
                          (120 + (x * 7 + y * 3) % 9, 78 + (y // 6) % 2 * 6, 40, 255))
    rows = [bytearray(b"\x00\x00\x00\x00" * width) for _ in range(30)] + [bytearray(r) for r in board]
    # Five roofs standing on the board's top edge.
    for i in range(5):
        cx = 60 + i * 120
        for y in range(0, 34):
            half = y + 4
            for x in range(cx - half, cx + half + 1):
                if 0 <= x < width:
                    edge = abs(x - cx) >= half - 2 or y < 2
                    colour = (60, 24, 18, 255) if edge else (170, 52, 40, 255)
                    rows[y][x * 4:x * 4 + 4] = bytes(colour)
    return width, height, [bytes(r) for r in rows]


def slider_groove():
    """200 x 12: the volume groove, darker at the quiet end."""
    def at(x, y, rim):
        if rim:
            return (232, 168, 40, 255)
        t = x / 199
        return (int(30 + 40 * t), int(50 + 120 * t), int(90 + 20 * t), 255)
    return rounded(200, 12, 5, at)


def slider_knob():
    """14 x 22: the knob riding the groove."""
    return rounded(14, 22, 4, lambda x, y, rim: (90, 52, 12, 255) if rim else
                   (250, 214 - y * 3, 120 - y * 3, 255))


def select_box(ticked):
    """18 x 18: the check box, empty or with a red tick."""
    width, height, rows = rounded(18, 18, 3, lambda x, y, rim: (232, 168, 40, 255) if rim else (236, 232, 220, 255))
    if not ticked:
        return width, height, rows
    rows = [bytearray(r) for r in rows]
    for t in range(48):
        # Two strokes: down to the bottom, then up to the far corner.
        if t < 16:
            px, py = 4 + t * 0.2, 9 + t * 0.28
        else:
            px, py = 7 + (t - 16) * 0.2, 13.5 - (t - 16) * 0.3
        for oy in range(-1, 2):
            for ox in range(-1, 1):
                x, y = int(px) + ox, int(py) + oy
                if 2 <= x < 16 and 2 <= y < 16:
                    rows[y][x * 4:x * 4 + 4] = bytes((200, 30, 30, 255))
    return width, height, [bytes(r) for r in rows]


def main():
    data = data_folder(__file__)
    resources = os.path.join(data, "Data", "Resources")
    frames = os.path.join(resources, "Frames")
    stamp = os.path.join(frames, STAMP)
    if is_up_to_date(stamp, __file__) and is_up_to_date(stamp, demo_story.__file__):
        return 0
    os.makedirs(frames, exist_ok=True)
    images = {"LoadingScreen_Background": background(), "Panel": panel(), "MenuScreen_Title": title_board(),
              "MenuScreen_Slider": slider_groove(), "MenuScreen_SliderBar": slider_knob(),
              "MenuScreen_SelectBox": select_box(False), "MenuScreen_SelectBoxRed": select_box(True)}
    images.update(demo_story.story_pictures())
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
