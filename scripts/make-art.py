#!/usr/bin/env python3
"""Draws the program's own pictures: the application icon in four sizes and the hand cursor.

    scripts/make-art.py [data-folder]

Writes icons/ravenmoor-{32,48,128,256}.png and HAND-M.CUR into the data folder (default: data/
next to this script). Pure Python, no imaging library: shapes are tested per sample point and
averaged over a 4 x 4 grid for smooth edges.
"""

import math
import os
import struct
import sys
import zlib

SUPERSAMPLE = 4

NAVY = (28, 47, 84)
PAGE = (250, 250, 246)
GRID = (176, 186, 204)
RING = (120, 128, 140)
GOLD = (232, 176, 48)
GOLD_DARK = (170, 118, 22)
GOLD_LIGHT = (250, 214, 110)


def rounded_rect(x, y, left, top, right, bottom, radius):
    if not (left <= x <= right and top <= y <= bottom):
        return False
    cx = min(max(x, left + radius), right - radius)
    cy = min(max(y, top + radius), bottom - radius)
    return (x - cx) ** 2 + (y - cy) ** 2 <= radius ** 2


def icon_colour(u, v):
    """Colour (r, g, b, a) at the point (u, v) of the unit square: a calendar page with a coin."""
    coin_x, coin_y, coin_r = 0.66, 0.66, 0.30
    d = math.hypot(u - coin_x, v - coin_y)
    if d <= coin_r:
        if d >= coin_r - 0.045:
            return GOLD_DARK + (255,)
        # A raised "R"-less face: an inner ring and a highlight towards the top left.
        if abs(d - (coin_r - 0.10)) <= 0.018:
            return GOLD_DARK + (255,)
        if math.hypot(u - (coin_x - 0.09), v - (coin_y - 0.09)) <= 0.07:
            return GOLD_LIGHT + (255,)
        return GOLD + (255,)
    if rounded_rect(u, v, 0.06, 0.10, 0.82, 0.90, 0.08):
        for ring_x in (0.26, 0.62):
            if rounded_rect(u, v, ring_x - 0.035, 0.04, ring_x + 0.035, 0.20, 0.03):
                return RING + (255,)
        if v <= 0.30:
            return NAVY + (255,)
        # The day grid of the page.
        inner_u = (u - 0.06) / 0.76
        inner_v = (v - 0.30) / 0.60
        if 0.08 < inner_u < 0.92 and 0.1 < inner_v < 0.9:
            if abs((inner_u * 4) % 1 - 0.5) > 0.44 or abs((inner_v * 3) % 1 - 0.5) > 0.42:
                return GRID + (255,)
        return PAGE + (255,)
    for ring_x in (0.26, 0.62):
        if rounded_rect(u, v, ring_x - 0.035, 0.04, ring_x + 0.035, 0.20, 0.03):
            return RING + (255,)
    return (0, 0, 0, 0)


def render(size, colour_at):
    pixels = []
    samples = SUPERSAMPLE * SUPERSAMPLE
    for y in range(size):
        row = []
        for x in range(size):
            r = g = b = a = 0
            for sy in range(SUPERSAMPLE):
                for sx in range(SUPERSAMPLE):
                    u = (x + (sx + 0.5) / SUPERSAMPLE) / size
                    v = (y + (sy + 0.5) / SUPERSAMPLE) / size
                    cr, cg, cb, ca = colour_at(u, v)
                    r += cr * ca
                    g += cg * ca
                    b += cb * ca
                    a += ca
            if a:
                row.append((round(r / a), round(g / a), round(b / a), round(a / samples)))
            else:
                row.append((0, 0, 0, 0))
        pixels.append(row)
    return pixels


def png_bytes(pixels, with_alpha):
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    height = len(pixels)
    width = len(pixels[0])
    raw = bytearray()
    for row in pixels:
        raw.append(0)
        for r, g, b, a in row:
            if with_alpha:
                raw += bytes((r, g, b, a))
            else:
                # Flattened on white for the 24-bit image.
                raw += bytes(round(c * a / 255 + 255 * (1 - a / 255)) for c in (r, g, b))
    header = struct.pack(">IIBBBBB", width, height, 8, 6 if with_alpha else 2, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
            chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + chunk(b"IEND", b""))


# The hand: a pointing index finger, three folded fingers, a thumb, on a 32 x 32 grid.
# 'X' outline, 'o' fill, '.' transparent. The tip of the finger is the hotspot.
HAND = [
    "..........XX....................",
    ".........XooX...................",
    ".........XooX...................",
    ".........XooX...................",
    ".........XooX...................",
    ".........XooXXX.................",
    ".........XooXooXXX..............",
    ".........XooXooXooXX............",
    ".........XooXooXooXoX...........",
    "......XX.XooooooooXooX..........",
    ".....XooXXoooooooooooX..........",
    ".....XoooXoooooooooooX..........",
    "......XooXoooooooooooX..........",
    "......XoooooooooooooooX.........",
    ".......XooooooooooooooX.........",
    ".......XooooooooooooooX.........",
    "........XoooooooooooooX.........",
    "........XooooooooooooX..........",
    ".........XoooooooooooX..........",
    ".........XoooooooooooX..........",
    "..........XoooooooooX...........",
    "..........XoooooooooX...........",
    "..........XXXXXXXXXXX...........",
    "................................",
    "................................",
    "................................",
    "................................",
    "................................",
    "................................",
    "................................",
    "................................",
    "................................",
]
HOTSPOT = (10, 0)


def cursor_bytes():
    size = 32
    xor = bytearray()
    mask = bytearray()
    # BMP rows run bottom-up.
    for line in reversed(HAND):
        bits = 0
        for x, ch in enumerate(line):
            if ch == "X":
                xor += bytes((0, 0, 0, 255))
            elif ch == "o":
                xor += bytes((255, 255, 255, 255))
            else:
                xor += bytes((0, 0, 0, 0))
                bits |= 1 << (31 - x)
        mask += struct.pack(">I", bits)
    info = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(xor) + len(mask),
                       0, 0, 0, 0)
    image = info + bytes(xor) + bytes(mask)
    header = struct.pack("<HHH", 0, 2, 1)
    entry = struct.pack("<BBBBHHII", size, size, 0, 0, HOTSPOT[0], HOTSPOT[1], len(image),
                        6 + 16)
    return header + entry + image


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, os.pardir, "data")
    os.makedirs(os.path.join(folder, "icons"), exist_ok=True)
    for size in (32, 48, 128, 256):
        pixels = render(size, icon_colour)
        path = os.path.join(folder, "icons", "ravenmoor-%d.png" % size)
        with open(path, "wb") as out:
            out.write(png_bytes(pixels, with_alpha=size != 32))
    with open(os.path.join(folder, "HAND-M.CUR"), "wb") as out:
        out.write(cursor_bytes())


if __name__ == "__main__":
    main()
