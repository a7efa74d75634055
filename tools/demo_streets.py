"""The streets' own pictures, drawn for tools/make_demo_sequences.py: the
background of the hill streets of the second decade and the props the
streets stand among (fences, bushes, lamps, boats, apple trees, a windmill).

SEQUENCES and FRAMES map names to draw functions, as in the maker.
"""

import math

from demo_data import blend, canvas, clamp

WIDTH, HEIGHT = 1024, 768


def slope_top(x):
    """Where the street's slope begins at column x: it rises to the left."""
    return 320 - 0.09 * (x - 512) + 8 * math.sin(x / 60.0)


def hill_backdrop():
    """The hill streets: a pale sky, a far ridge with a strip of the harbour
    below it at the right, and the grass slope the street stands on."""
    ridge = [205 - 14 * math.sin(x / 95.0) - 6 * math.sin(x / 23.0) for x in range(WIDTH)]
    slope = [slope_top(x) for x in range(WIDTH)]
    sky_top, sky_bottom = (150, 185, 225), (230, 225, 210)
    pixels = []
    for y in range(HEIGHT):
        t = min(1.0, y / 300)
        sky = tuple(clamp(a + (b - a) * t) for a, b in zip(sky_top, sky_bottom)) + (255,)
        shade = 1.0 - 0.15 * max(0.0, (y - 300) / (HEIGHT - 300))
        far = (clamp(120 * shade), clamp(140 * shade), clamp(150 * shade), 255)
        sea = (70, 120 + (6 if (y // 4) % 2 else 0), 175, 255)
        shore = 600 + 3 * (300 - y)
        grass = (clamp(125 * shade), clamp(165 * shade), clamp(85 * shade), 255)
        light = (clamp(131 * shade), clamp(171 * shade), clamp(85 * shade), 255)
        phase = y // 4
        pixels.append([(light if (x // 5 + phase) % 7 == 0 else grass) if y >= slope[x]
                       else sea if x >= shore and y > ridge[x] + 20
                       else far if y >= ridge[x] else sky for x in range(WIDTH)])
    return pixels


def box(pixels, left, top, right, bottom):
    """The canvas rows and columns within the box, clipped."""
    return (range(max(0, int(top)), min(len(pixels), int(math.ceil(bottom)) + 1)),
            range(max(0, int(left)), min(len(pixels[0]), int(math.ceil(right)) + 1)))


def line(pixels, x1, y1, x2, y2, width, colour):
    """A thick line as the shared helper draws it, visiting only its box."""
    length = math.hypot(x2 - x1, y2 - y1) or 1.0
    pad = width / 2 + 1
    rows, columns = box(pixels, min(x1, x2) - pad, min(y1, y2) - pad, max(x1, x2) + pad, max(y1, y2) + pad)
    for y in rows:
        for x in columns:
            px, py = x + 0.5, y + 0.5
            t = max(0.0, min(1.0, ((px - x1) * (x2 - x1) + (py - y1) * (y2 - y1)) / (length * length)))
            d = math.hypot(px - (x1 + t * (x2 - x1)), py - (y1 + t * (y2 - y1)))
            blend(pixels, x, y, colour, width / 2 - d + 0.5)


def round_blob(pixels, cx, cy, rx, ry, colour):
    """A disc as the shared helper draws it, visiting only its box."""
    rows, columns = box(pixels, cx - rx - 1, cy - ry - 1, cx + rx + 1, cy + ry + 1)
    for y in rows:
        for x in columns:
            d = math.hypot((x + 0.5 - cx) / rx, (y + 0.5 - cy) / ry)
            blend(pixels, x, y, colour, (1.0 - d) * min(rx, ry) + 0.5)


def rect(pixels, left, top, right, bottom, colour):
    for y in range(max(0, top), min(len(pixels), bottom)):
        for x in range(max(0, left), min(len(pixels[0]), right)):
            blend(pixels, x, y, colour, 1.0)


def fence_frames():
    """A white picket fence, four pickets on two rails."""
    pixels = canvas(96, 44)
    for rail in (16, 32):
        rect(pixels, 2, rail, 94, rail + 4, (225, 220, 205, 255))
    for k in range(4):
        left = 6 + k * 23
        rect(pixels, left, 8, left + 10, 42, (245, 242, 232, 255))
        for y in range(2, 8):
            half = (y - 2) * 5 // 6
            rect(pixels, left + 5 - half, y, left + 5 + half + 1, y + 1, (245, 242, 232, 255))
        rect(pixels, left + 8, 8, left + 10, 42, (190, 185, 170, 255))
    return [pixels]


def bush_frames():
    """A round bush with a few flowers."""
    pixels = canvas(60, 40)
    for dx, dy, r, shade in ((-14, 26, 12, 0.8), (14, 26, 12, 0.85), (0, 20, 16, 1.0)):
        round_blob(pixels, 30 + dx, dy, r, r * 0.9, (clamp(50 * shade), clamp(130 * shade), clamp(55 * shade), 255))
    for fx, fy in ((20, 18), (36, 14), (42, 26), (26, 28)):
        round_blob(pixels, fx, fy, 2.5, 2.5, (250, 210, 220, 255))
    return [pixels]


def lamp_frames():
    """A street lamp whose light flickers softly."""
    frames = []
    for i in range(2):
        pixels = canvas(32, 104)
        round_blob(pixels, 16, 14, 13, 13, (255, 236, 150, 90 + 40 * i))
        line(pixels, 16, 102, 16, 20, 4, (50, 55, 65, 255))
        rect(pixels, 10, 96, 22, 102, (50, 55, 65, 255))
        rect(pixels, 10, 8, 22, 22, (250, 230, 140, 255))
        rect(pixels, 8, 4, 24, 8, (50, 55, 65, 255))
        frames.append(pixels)
    return frames


def boat_frames():
    """A rowing boat at its mooring, bobbing on the water."""
    frames = []
    for i in range(4):
        pixels = canvas(100, 60)
        bob = 2 * math.sin(2 * math.pi * i / 4)
        for y in range(30, 46):
            depth = (y - 30) / 16
            half = 44 - 26 * depth
            for x in range(int(50 - half), int(50 + half)):
                blend(pixels, x, int(y + bob), (170, 70, 50, 255) if y < 34 else (120, 80, 50, 255), 1.0)
        line(pixels, 50, 32 + bob, 50, 4 + bob, 3, (100, 70, 40, 255))
        for y in range(48, 58, 4):
            line(pixels, 6, y + (i % 2), 94, y + (i % 2), 2, (200, 225, 245, 160))
        frames.append(pixels)
    return frames


def apple_tree_frames():
    """An apple tree whose crown sways, red apples among the leaves."""
    frames = []
    for i in range(4):
        pixels = canvas(64, 88)
        sway = 2 * math.sin(2 * math.pi * i / 4)
        line(pixels, 32, 86, 32 + sway * 0.4, 50, 7, (105, 70, 45, 255))
        for dx, dy, r, shade in ((-12, 42, 15, 0.8), (12, 42, 15, 0.85), (0, 28, 19, 1.0)):
            round_blob(pixels, 32 + dx + sway, dy, r, r, (clamp(80 * shade), clamp(155 * shade), clamp(60 * shade), 255))
        for ax, ay in ((22, 36), (40, 30), (30, 48), (44, 46), (18, 50)):
            round_blob(pixels, ax + sway, ay, 3, 3, (215, 40, 40, 255))
        frames.append(pixels)
    return frames


def windmill_frames():
    """A windmill on the hill, its four sails turning."""
    frames = []
    for i in range(4):
        pixels = canvas(110, 140)
        for y in range(50, 138):
            half = 12 + (y - 50) * 10 // 88
            rect(pixels, 55 - half, y, 55 + half, y + 1, (235, 225, 200, 255))
        rect(pixels, 49, 116, 61, 138, (110, 70, 45, 255))
        for k in range(4):
            angle = 2 * math.pi * (k / 4 + i / 16)
            tip_x, tip_y = 55 + 50 * math.cos(angle), 46 + 50 * math.sin(angle)
            line(pixels, 55, 46, tip_x, tip_y, 3, (90, 70, 50, 255))
            side_x, side_y = -math.sin(angle) * 7, math.cos(angle) * 7
            line(pixels, 55 + (tip_x - 55) * 0.35 + side_x, 46 + (tip_y - 46) * 0.35 + side_y,
                       tip_x + side_x, tip_y + side_y, 9, (240, 240, 235, 220))
        round_blob(pixels, 55, 46, 5, 5, (80, 60, 40, 255))
        frames.append(pixels)
    return frames


SEQUENCES = {
    "Fence": fence_frames,
    "Bush": bush_frames,
    "Lamp Post": lamp_frames,
    "Boat": boat_frames,
    "Apple Tree": apple_tree_frames,
    "Windmill": windmill_frames,
}

FRAMES = {
    "Hill Background": hill_backdrop,
}
