"""What the demo data generators share: the data folder from the command
line, the check that keeps a run from redrawing what is newer than its
script, 32-bit PNG files and the window font.
"""

import math
import os
import shutil
import struct
import sys
import zlib

FONT = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"


def data_folder(script):
    """The data folder given on the command line, or data beside tools/."""
    if len(sys.argv) > 1:
        return sys.argv[1]
    return os.path.join(os.path.dirname(os.path.abspath(script)), "..", "data")


def is_up_to_date(path, script):
    """Whether path was made after the last change to the script and to this
    module (a change to either makes the data anew)."""
    if not os.path.exists(path):
        return False
    made = os.path.getmtime(path)
    return made >= os.path.getmtime(os.path.abspath(script)) and made >= os.path.getmtime(os.path.abspath(__file__))


def clamp(value):
    return max(0, min(255, int(round(value))))


def png_bytes(width, height, rows):
    """rows: each either bytes of RGBA or a list of (r, g, b, a) tuples."""
    raw = bytearray()
    for row in rows:
        raw.append(0)
        if isinstance(row, (bytes, bytearray)):
            raw += row
        else:
            for r, g, b, a in row:
                raw += bytes((r, g, b, a))

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(bytes(raw), 9))
            + chunk(b"IEND", b""))


def canvas(width, height):
    return [[(0, 0, 0, 0) for _ in range(width)] for _ in range(height)]


def blend(pixels, x, y, colour, coverage):
    if coverage <= 0 or y < 0 or y >= len(pixels) or x < 0 or x >= len(pixels[0]):
        return
    r, g, b, a = colour
    a = a * min(coverage, 1.0)
    dr, dg, db, da = pixels[y][x]
    out_a = a + da * (1 - a / 255)
    if out_a <= 0:
        return
    mix = lambda s, d: (s * a + d * da * (1 - a / 255)) / out_a
    pixels[y][x] = (clamp(mix(r, dr)), clamp(mix(g, dg)), clamp(mix(b, db)), clamp(out_a))


def disc(pixels, cx, cy, rx, ry, colour):
    for y in range(len(pixels)):
        for x in range(len(pixels[0])):
            if rx <= 0 or ry <= 0:
                continue
            d = math.hypot((x + 0.5 - cx) / rx, (y + 0.5 - cy) / ry)
            blend(pixels, x, y, colour, (1.0 - d) * min(rx, ry) + 0.5)


def thick_line(pixels, x1, y1, x2, y2, width, colour):
    length = math.hypot(x2 - x1, y2 - y1) or 1.0
    for y in range(len(pixels)):
        for x in range(len(pixels[0])):
            px, py = x + 0.5, y + 0.5
            t = max(0.0, min(1.0, ((px - x1) * (x2 - x1) + (py - y1) * (y2 - y1)) / (length * length)))
            d = math.hypot(px - (x1 + t * (x2 - x1)), py - (y1 + t * (y2 - y1)))
            blend(pixels, x, y, colour, width / 2 - d + 0.5)


def write_pictures(data, sequences, frames):
    """Writes each sequence's frames into its "-<name>" folder (old PNGs
    there go first) and each single frame into Resources/Frames; draw
    functions give rows of RGBA tuples (a list of them for a sequence)."""
    root = os.path.join(data, "Data", "Resources", "Sequences")
    for name, draw in sequences.items():
        folder = os.path.join(root, "-" + name)
        os.makedirs(folder, exist_ok=True)
        for old in os.listdir(folder):
            if old.lower().endswith(".png"):
                os.remove(os.path.join(folder, old))
        for index, pixels in enumerate(draw()):
            with open(os.path.join(folder, "%s %02d.png" % (name, index + 1)), "wb") as out:
                out.write(png_bytes(len(pixels[0]), len(pixels), pixels))
    folder = os.path.join(data, "Data", "Resources", "Frames")
    os.makedirs(folder, exist_ok=True)
    for name, draw in frames.items():
        pixels = draw()
        with open(os.path.join(folder, name + ".png"), "wb") as out:
            out.write(png_bytes(len(pixels[0]), len(pixels), pixels))
    return root, folder


def copy_font(resources, who, missing):
    """Copies DejaVu Sans to the program's default font in resources; says so
    (who: the generator, missing: what that leaves out) when the system lacks
    it."""
    if os.path.exists(FONT):
        shutil.copyfile(FONT, os.path.join(resources, "!default.ttf"))
    else:
        print("%s: %s is missing (Debian package fonts-dejavu-core)%s" % (who, FONT, missing))
