#!/usr/bin/env python3
"""Draws the bundled sample picture samples/sunset.bmp: a sunset over hills
and a lake, 320 x 200, 24-bit BMP. Deterministic; plain Python, no packages.

Run from anywhere: python3 scripts/make_sample_picture.py [OUTPUT]
"""
import math
import os
import struct
import sys

WIDTH, HEIGHT = 320, 200
HORIZON = 128
SUN_X, SUN_Y, SUN_RADIUS = 205.0, 100.0, 22.0


def mix(a, b, t):
    t = max(0.0, min(1.0, t))
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(3))


def sky(y):
    top, middle, low = (40, 46, 110), (196, 92, 120), (252, 176, 92)
    t = y / HORIZON
    return mix(top, middle, t / 0.6) if t < 0.6 else mix(middle, low, (t - 0.6) / 0.4)


def hill_height(x, scale, phase, base):
    return base + scale * (math.sin(x / 37.0 + phase) * 0.6 + math.sin(x / 13.0 + phase * 2) * 0.25)


def pixel(x, y):
    # The sun with a soft glow.
    distance = math.hypot(x - SUN_X, y - SUN_Y)
    colour = sky(min(y, HORIZON))
    glow = max(0.0, 1.0 - distance / (SUN_RADIUS * 3.5))
    colour = mix(colour, (255, 214, 140), glow * glow * 0.8)
    if distance < SUN_RADIUS and y < HORIZON:
        colour = mix((255, 244, 200), (255, 190, 110), distance / SUN_RADIUS)
    # Far and near hills.
    far = hill_height(x, 9.0, 0.7, HORIZON - 16)
    near = hill_height(x, 14.0, 2.3, HORIZON - 4)
    if far <= y < HORIZON:
        colour = mix((104, 64, 120), (70, 44, 96), (y - far) / 20.0)
    if near <= y < HORIZON:
        colour = mix((48, 40, 78), (30, 28, 56), (y - near) / 18.0)
    # The lake mirrors the sky, darker and rippled.
    if y >= HORIZON:
        depth = y - HORIZON
        ripple = math.sin(depth * depth / 9.0 + x / 23.0) * 2.5
        mirrored = min(HORIZON - 1, max(0, HORIZON - 1 - depth - int(ripple)))
        colour = mix(pixel(x, mirrored), (20, 30, 60), 0.25 + depth / (HEIGHT - HORIZON) * 0.45)
    return colour


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    output = sys.argv[1] if len(sys.argv) > 1 else os.path.join(root, "samples", "sunset.bmp")
    row_size = (WIDTH * 3 + 3) & ~3
    rows = []
    for y in range(HEIGHT - 1, -1, -1):  # bottom-up
        row = bytearray()
        for x in range(WIDTH):
            r, g, b = (int(round(c)) for c in pixel(x, y))
            row += bytes((b, g, r))
        row += bytes(row_size - len(row))
        rows.append(bytes(row))
    image = b"".join(rows)
    header = struct.pack("<2sIHHI", b"BM", 54 + len(image), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, WIDTH, HEIGHT, 1, 24, 0, len(image), 2835, 2835, 0, 0)
    with open(output, "wb") as file:
        file.write(header + info + image)


if __name__ == "__main__":
    main()
