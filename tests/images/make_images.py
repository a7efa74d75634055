#!/usr/bin/env python3
"""Writes the test images of the image-file tests into the folder given,
with nothing but zlib and struct, so the engine's readers are checked
against an independent writer. Pixel values follow the formulas the tests
repeat: red (37x + 11y), green (5x + 71y), blue (13x xor 29y), alpha
(7x + 3y + 1), all mod 256; 'run' images use x // run in place of x."""
import struct
import sys
import zlib


def rgba(x, y, run=1):
    x //= run
    return ((x * 37 + y * 11) & 255, (x * 5 + y * 71) & 255, ((x * 13) ^ (y * 29)) & 255, (x * 7 + y * 3 + 1) & 255)


def tga(path, w, h, depth, packets, top_first, id_length=0, run=1, right_first=False):
    header = struct.pack('<BBBHHBHHHHBB', id_length, 0, 10 if packets else 2, 0, 0, 0, 0, 0, w, h, depth,
                         (0x20 if top_first else 0) | (0x10 if right_first else 0) | (8 if depth == 32 else 0))
    body = bytearray(bytes(range(id_length)))
    rows = range(h) if top_first else range(h - 1, -1, -1)
    for y in rows:
        pixels = []
        for x in range(w):
            r, g, b, a = rgba(x, y, run)
            pixels.append(bytes([b, g, r, a][:depth // 8]))
        if right_first:
            pixels.reverse()
        if not packets:
            body += b''.join(pixels)
            continue
        i = 0
        while i < w:
            n = 1
            while i + n < w and n < 128 and pixels[i + n] == pixels[i]:
                n += 1
            if n > 1:
                body += bytes([0x80 | (n - 1)]) + pixels[i]
                i += n
                continue
            n = 1
            while i + n < w and n < 128 and pixels[i + n] != pixels[i + n - 1]:
                n += 1
            body += bytes([n - 1]) + b''.join(pixels[i:i + n])
            i += n
    open(path, 'wb').write(header + body)


def chunk(kind, data):
    return struct.pack('>I', len(data)) + kind + data + struct.pack('>I', zlib.crc32(kind + data) & 0xffffffff)


def png(path, w, h, color_type, bits, extra=b''):
    raw = bytearray()
    for y in range(h):
        raw.append(0)
        for x in range(w):
            r, g, b, a = rgba(x, y)
            if color_type == 0:
                samples = [r]
            elif color_type == 4:
                samples = [r, a]
            elif color_type == 2:
                samples = [r, g, b]
            elif color_type == 6:
                samples = [r, g, b, a]
            else:
                samples = [(x + y * 3) % 16]
            for s in samples:
                raw += struct.pack('>H', s * 257) if bits == 16 else bytes([s])
    ihdr = struct.pack('>IIBBBBB', w, h, bits, color_type, 0, 0, 0)
    data = b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', ihdr) + extra + chunk(b'IDAT', zlib.compress(bytes(raw), 9))
    open(path, 'wb').write(data + chunk(b'IEND', b''))


def main(folder):
    tga(folder + '/tga24_bottom.tga', 13, 6, 24, False, False)
    tga(folder + '/tga32_top.tga', 13, 6, 32, False, True)
    tga(folder + '/tga32_rle_id.tga', 13, 6, 32, True, False, id_length=200, run=3)
    tga(folder + '/tga24_rle_top.tga', 300, 3, 24, True, True, run=150)
    tga(folder + '/tga24_bottom_right.tga', 13, 6, 24, False, False, right_first=True)
    tga(folder + '/tga32_top_right.tga', 13, 6, 32, False, True, right_first=True)
    tga(folder + '/tga32_rle_bottom_right.tga', 13, 6, 32, True, False, run=3, right_first=True)
    tga(folder + '/tga24_rle_top_right.tga', 13, 6, 24, True, True, run=2, right_first=True)
    png(folder + '/png_rgb8.png', 13, 6, 2, 8)
    png(folder + '/png_rgba8.png', 13, 6, 6, 8)
    png(folder + '/png_rgb16.png', 13, 6, 2, 16)
    png(folder + '/png_rgba16.png', 13, 6, 6, 16)
    png(folder + '/png_grey8.png', 13, 6, 0, 8)
    png(folder + '/png_greyalpha8.png', 13, 6, 4, 8)
    palette = b''.join(bytes([i * 16, 255 - i * 16, i * 8]) for i in range(16))
    alphas = bytes(i * 17 for i in range(16))
    png(folder + '/png_palette8.png', 13, 6, 3, 8, chunk(b'PLTE', palette) + chunk(b'tRNS', alphas))


if __name__ == '__main__':
    main(sys.argv[1])
