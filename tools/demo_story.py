"""The story pages' pictures, for tools/make_demo_overlays.py: "Story Harbour"
(dawn over the harbour, an empty plot and a toolbox by the water), "Story
Street" (a row of new houses, a family at the signpost) and "Story Hill"
(sunset over a hill covered in roofs). Each is 480 x 240, opaque, drawn with
a few flat shapes and fixed numbers, so every run gives the same bytes.
"""

import math

WIDTH, HEIGHT = 480, 240


def _canvas(top, bottom):
    """A sky from top to bottom colour."""
    rows = []
    for y in range(HEIGHT):
        t = y / (HEIGHT - 1)
        rows.append([tuple(int(a + (b - a) * t) for a, b in zip(top, bottom))] * WIDTH)
    return [list(row) for row in rows]


def _rect(pixels, left, top, right, bottom, colour):
    for y in range(max(0, top), min(HEIGHT, bottom)):
        row = pixels[y]
        for x in range(max(0, left), min(WIDTH, right)):
            row[x] = colour


def _circle(pixels, cx, cy, r, colour):
    for y in range(max(0, cy - r), min(HEIGHT, cy + r + 1)):
        for x in range(max(0, cx - r), min(WIDTH, cx + r + 1)):
            if (x - cx) ** 2 + (y - cy) ** 2 <= r * r:
                pixels[y][x] = colour


def _roof(pixels, left, right, base, height, colour):
    """A triangle over [left, right) standing on row base."""
    middle = (left + right) / 2
    half = (right - left) / 2
    for y in range(max(0, base - height), min(HEIGHT, base)):
        reach = half * (y - (base - height)) / height
        for x in range(max(0, int(middle - reach)), min(WIDTH, int(middle + reach) + 1)):
            pixels[y][x] = colour


def _house(pixels, left, base, width, height, wall, roof):
    _rect(pixels, left, base - height, left + width, base, wall)
    _roof(pixels, left - 4, left + width + 4, base - height, height * 2 // 3, roof)
    door = left + width // 2 - 4
    _rect(pixels, door, base - height // 2, door + 8, base, (70, 44, 30))
    _rect(pixels, left + 5, base - height + 6, left + 13, base - height + 14, (250, 226, 140))
    _rect(pixels, left + width - 13, base - height + 6, left + width - 5, base - height + 14, (250, 226, 140))


def _sea(pixels, top, colour, glint):
    for y in range(top, HEIGHT):
        for x in range(WIDTH):
            wave = (x + 7 * y) % 37 == 0 or (x * 3 + y * 5) % 53 == 0
            pixels[y][x] = glint if wave else colour


def _hill(pixels, peak_x, peak_y, spread, colour):
    for x in range(WIDTH):
        top = int(peak_y + ((x - peak_x) / spread) ** 2 * 90)
        for y in range(max(0, top), HEIGHT):
            pixels[y][x] = colour
    return lambda x: int(peak_y + ((x - peak_x) / spread) ** 2 * 90)


def _boat(pixels, x, y, hull, sail):
    for row in range(8):
        _rect(pixels, x + row, y + row, x + 40 - row, y + row + 1, hull)
    _rect(pixels, x + 19, y - 30, x + 21, y, (60, 40, 30))
    for row in range(26):
        _rect(pixels, x + 22, y - 28 + row, x + 22 + row * 16 // 26, y - 27 + row, sail)


def _person(pixels, x, base, coat):
    _circle(pixels, x, base - 22, 4, (240, 200, 160))
    _rect(pixels, x - 4, base - 17, x + 5, base - 6, coat)
    _rect(pixels, x - 3, base - 6, x - 1, base, (50, 40, 60))
    _rect(pixels, x + 1, base - 6, x + 3, base, (50, 40, 60))


def harbour():
    pixels = _canvas((250, 196, 150), (150, 190, 226))
    _circle(pixels, 360, 120, 26, (255, 236, 170))
    _sea(pixels, 140, (40, 96, 150), (170, 210, 236))
    _boat(pixels, 300, 150, (120, 60, 40), (246, 244, 236))
    _boat(pixels, 390, 170, (60, 70, 110), (236, 210, 120))
    # The quay, the empty plot with its stakes and the toolbox.
    _rect(pixels, 0, 150, 240, HEIGHT, (126, 112, 96))
    _rect(pixels, 0, 150, 240, 156, (90, 80, 70))
    _rect(pixels, 30, 176, 200, 226, (110, 150, 70))
    for x in (30, 197):
        for y in (176, 223):
            _rect(pixels, x, y - 10, x + 3, y + 3, (200, 170, 110))
    _rect(pixels, 120, 204, 160, 220, (200, 40, 40))
    _rect(pixels, 132, 198, 148, 202, (60, 60, 60))
    _rect(pixels, 130, 202, 133, 205, (60, 60, 60))
    _rect(pixels, 147, 202, 150, 205, (60, 60, 60))
    return pixels


def street():
    pixels = _canvas((120, 180, 236), (200, 226, 246))
    _circle(pixels, 70, 50, 20, (255, 244, 190))
    _sea(pixels, 120, (44, 104, 160), (176, 214, 238))
    _rect(pixels, 0, 150, WIDTH, HEIGHT, (104, 150, 72))
    _rect(pixels, 0, 212, WIDTH, 226, (150, 140, 126))
    walls = [(236, 226, 110), (150, 200, 236), (236, 236, 230), (240, 170, 130), (170, 220, 160)]
    roofs = [(170, 60, 50), (80, 80, 110), (150, 80, 40), (110, 60, 70), (170, 60, 50)]
    for i in range(5):
        _house(pixels, 24 + i * 86, 204, 60, 42, walls[i], roofs[i])
    # The signpost and a family waiting at it.
    _rect(pixels, 448, 170, 451, 212, (110, 80, 50))
    _rect(pixels, 430, 166, 470, 180, (240, 220, 160))
    for x, coat in ((400, (200, 60, 60)), (414, (60, 90, 170)), (425, (230, 180, 40))):
        _person(pixels, x, 212 if x != 425 else 210, coat)
    return pixels


def hill():
    pixels = _canvas((90, 60, 120), (250, 150, 90))
    _circle(pixels, 390, 170, 34, (255, 200, 120))
    _sea(pixels, 190, (70, 70, 120), (250, 170, 110))
    slope = _hill(pixels, 220, 70, 130, (70, 110, 70))
    walls = [(236, 226, 110), (150, 200, 236), (240, 170, 130), (236, 236, 230)]
    roofs = [(150, 50, 50), (80, 70, 100), (140, 70, 40)]
    count = 0
    for row, base in enumerate(range(110, 240, 26)):
        for x in range(40 + (row % 2) * 22, 420, 44):
            if slope(x) + 18 > base or slope(x + 30) + 18 > base:
                continue
            _house(pixels, x, base, 28, 18, walls[count % 4], roofs[count % 3])
            count += 1
    # A flag on the top: the last street is built.
    _rect(pixels, 219, 30, 222, 72, (60, 40, 30))
    for row in range(14):
        _rect(pixels, 222, 30 + row, 222 + int(24 * math.sin(math.pi * (row + 1) / 15)), 31 + row, (230, 60, 60))
    return pixels


def story_pictures():
    """Name: (width, height, rows of RGBA bytes)."""
    out = {}
    for name, draw in (("Story Harbour", harbour), ("Story Street", street), ("Story Hill", hill)):
        rows = [bytes(c for (r, g, b) in row for c in (r, g, b, 255)) for row in draw()]
        out[name] = (WIDTH, HEIGHT, rows)
    return out
