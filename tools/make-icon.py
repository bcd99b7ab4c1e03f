#!/usr/bin/env python3
"""Draws the program icon: a white page with blue text lines under a magnifying glass
with a red lens rim. Writes one 32x32, 16-colour (4 bits per pixel) image as an .ico file.

    python3 tools/make-icon.py resources/main.ico
"""
import struct
import sys

# The standard 16-colour palette; written to the file as (blue, green, red, 0) quads.
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
    (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
    (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]  # (red, green, blue)
BLACK, DARK_GREEN, GREY, RED, BLUE, WHITE, SILVER = 0, 2, 8, 9, 12, 15, 7

SIZE = 32


def draw():
    pixels = [[None] * SIZE for _ in range(SIZE)]  # None is transparent
    # The page, with a black outline and a folded corner.
    for y in range(2, 30):
        for x in range(4, 24):
            edge = x in (4, 23) or y in (2, 29)
            pixels[y][x] = BLACK if edge else WHITE
    for y in range(6, 27, 3):
        for x in range(7, 21):
            pixels[y][x] = BLUE
    # The magnifying glass: a ring with a silver lens and a dark handle.
    cx, cy, outer, inner = 19, 15, 8.5, 6.0
    for y in range(SIZE):
        for x in range(SIZE):
            d = ((x - cx) ** 2 + (y - cy) ** 2) ** 0.5
            if inner <= d <= outer:
                pixels[y][x] = RED
            elif d < inner and (x + y) % 2 == 0:
                pixels[y][x] = SILVER
    for i in range(8):
        for w in range(3):
            x, y = 24 + i + w - 1, 21 + i
            if 0 <= x < SIZE and 0 <= y < SIZE:
                pixels[y][x] = DARK_GREEN if w == 1 else BLACK
    return pixels


def encode(pixels):
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 4, 0, 0, 0, 0, 16, 0)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in PALETTE)
    xor = bytearray()
    for row in reversed(pixels):  # bottom-up
        for x in range(0, SIZE, 2):
            hi = row[x] if row[x] is not None else 0
            lo = row[x + 1] if row[x + 1] is not None else 0
            xor.append((hi << 4) | lo)
    mask = bytearray()
    for row in reversed(pixels):
        bits = 0
        for x in range(SIZE):
            bits = (bits << 1) | (1 if row[x] is None else 0)
        mask += struct.pack(">I", bits)  # rows are 32 bits, already 4-byte aligned
    image = header + palette + bytes(xor) + bytes(mask)
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 16, 0, 1, 4, len(image), 6 + 16)
    return directory + entry + image


if __name__ == "__main__":
    out = sys.argv[1] if len(sys.argv) > 1 else "resources/main.ico"
    with open(out, "wb") as f:
        f.write(encode(draw()))
