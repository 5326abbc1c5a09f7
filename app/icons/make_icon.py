#!/usr/bin/env python3
"""Draws the program icon: a tile shaded like the window's background, a
small picture, and beside it a palette strip ordered from bright to dark.

Writes tintwright.svg (scalable, for the desktop) and tintwright-N.png for
the usual sizes of the desktop's icon theme (16 to 256 pixels; all of them
are also built into the program, so the window manager can pick the one it
shows). Only the standard library is used: each PNG is rasterised here at 4x
and averaged down.

    python3 app/icons/make_icon.py
"""
import os
import struct
import zlib

SIZE = 256  # the icon units the shapes below are given in
SIZES = (16, 22, 24, 32, 48, 64, 128, 256)
SCALE = 4  # supersampling per axis

TILE = (16, 16, 240, 240, 44)  # left, top, right, bottom, corner radius
TILE_TOP = (128, 128, 0)       # the window gradient's start colour
TILE_BOTTOM = (192, 192, 192)  # and its end colour
FRAME = (36, 60, 140, 196, 10)
SKY = (40, 64, 136, 192, 6)
SKY_TOP, SKY_BOTTOM = (88, 160, 224), (196, 228, 248)
SUN = (108, 92, 14, (255, 214, 72))  # centre x, centre y, radius, colour
HILLS = [(64, 230, 78, (70, 150, 80)), (132, 236, 74, (40, 112, 64))]
SWATCHES = [(255, 244, 200), (246, 192, 78), (227, 116, 58), (178, 58, 72), (91, 63, 140), (31, 42, 68)]
STRIP = (156, 52, 220, 204)  # left, top, right, bottom of the palette strip


def mix(a, b, t):
    return tuple(round(a[i] + (b[i] - a[i]) * t) for i in range(3))


def in_rounded(x, y, rect):
    left, top, right, bottom, radius = rect
    if not (left <= x < right and top <= y < bottom):
        return False
    cx = min(max(x, left + radius), right - radius)
    cy = min(max(y, top + radius), bottom - radius)
    return (x - cx) ** 2 + (y - cy) ** 2 <= radius ** 2


def in_circle(x, y, cx, cy, r):
    return (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def swatch_at(x, y):
    left, top, right, bottom = STRIP
    if not (left <= x < right and top <= y < bottom):
        return None
    row = int((y - top) * len(SWATCHES) / (bottom - top))
    return SWATCHES[row]


def colour_at(x, y):
    """The colour (r, g, b, a) of the point (x, y) in icon units."""
    if not in_rounded(x, y, TILE):
        return (0, 0, 0, 0)
    colour = mix(TILE_TOP, TILE_BOTTOM, (y - TILE[1]) / (TILE[3] - TILE[1]))
    if in_rounded(x, y, FRAME):
        colour = (255, 255, 255)
    if in_rounded(x, y, SKY):
        colour = mix(SKY_TOP, SKY_BOTTOM, (y - SKY[1]) / (SKY[3] - SKY[1]))
        cx, cy, r, sun = SUN
        if in_circle(x, y, cx, cy, r):
            colour = sun
        for hx, hy, hr, hill in HILLS:
            if in_circle(x, y, hx, hy, hr):
                colour = hill
    if in_rounded(x, y, (STRIP[0] - 4, STRIP[1] - 4, STRIP[2] + 4, STRIP[3] + 4, 6)):
        colour = (255, 255, 255)
    swatch = swatch_at(x, y)
    if swatch is not None:
        colour = swatch
    return colour + (255,)


def rasterise(size):
    unit = SIZE / size  # icon units per pixel
    rows = []
    for py in range(size):
        row = bytearray([0])  # PNG filter type: none
        for px in range(size):
            total = [0, 0, 0, 0]
            for sy in range(SCALE):
                for sx in range(SCALE):
                    r, g, b, a = colour_at((px + (sx + 0.5) / SCALE) * unit, (py + (sy + 0.5) / SCALE) * unit)
                    total[0] += r * a
                    total[1] += g * a
                    total[2] += b * a
                    total[3] += a
            alpha = total[3]
            if alpha == 0:
                row += bytes(4)
            else:
                row += bytes([round(total[0] / alpha), round(total[1] / alpha), round(total[2] / alpha),
                              round(alpha / (SCALE * SCALE))])
        rows.append(bytes(row))
    return b"".join(rows)


def png(size, pixels):
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)  # 8-bit RGBA
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(pixels, 9)) + \
        chunk(b"IEND", b"")


def hex_colour(c):
    return "#%02x%02x%02x" % c


def svg():
    left, top, right, bottom, radius = TILE
    parts = [
        f'<svg xmlns="http://www.w3.org/2000/svg" width="{SIZE}" height="{SIZE}" viewBox="0 0 {SIZE} {SIZE}">',
        '<defs>',
        f'<linearGradient id="tile" x1="0" y1="0" x2="0" y2="1"><stop offset="0" stop-color="{hex_colour(TILE_TOP)}"/>'
        f'<stop offset="1" stop-color="{hex_colour(TILE_BOTTOM)}"/></linearGradient>',
        f'<linearGradient id="sky" x1="0" y1="0" x2="0" y2="1"><stop offset="0" stop-color="{hex_colour(SKY_TOP)}"/>'
        f'<stop offset="1" stop-color="{hex_colour(SKY_BOTTOM)}"/></linearGradient>',
        f'<clipPath id="picture"><rect x="{SKY[0]}" y="{SKY[1]}" width="{SKY[2] - SKY[0]}" '
        f'height="{SKY[3] - SKY[1]}" rx="{SKY[4]}"/></clipPath>',
        '</defs>',
        f'<rect x="{left}" y="{top}" width="{right - left}" height="{bottom - top}" rx="{radius}" fill="url(#tile)"/>',
        f'<rect x="{FRAME[0]}" y="{FRAME[1]}" width="{FRAME[2] - FRAME[0]}" height="{FRAME[3] - FRAME[1]}" '
        f'rx="{FRAME[4]}" fill="#ffffff"/>',
        '<g clip-path="url(#picture)">',
        f'<rect x="{SKY[0]}" y="{SKY[1]}" width="{SKY[2] - SKY[0]}" height="{SKY[3] - SKY[1]}" fill="url(#sky)"/>',
        f'<circle cx="{SUN[0]}" cy="{SUN[1]}" r="{SUN[2]}" fill="{hex_colour(SUN[3])}"/>',
    ]
    parts += [f'<circle cx="{x}" cy="{y}" r="{r}" fill="{hex_colour(c)}"/>' for x, y, r, c in HILLS]
    parts.append('</g>')
    s_left, s_top, s_right, s_bottom = STRIP
    parts.append(f'<rect x="{s_left - 4}" y="{s_top - 4}" width="{s_right - s_left + 8}" '
                 f'height="{s_bottom - s_top + 8}" rx="6" fill="#ffffff"/>')
    height = (s_bottom - s_top) / len(SWATCHES)
    for i, colour in enumerate(SWATCHES):
        parts.append(f'<rect x="{s_left}" y="{s_top + i * height:g}" width="{s_right - s_left}" '
                     f'height="{height:g}" fill="{hex_colour(colour)}"/>')
    parts.append('</svg>')
    return "\n".join(parts) + "\n"


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    with open(os.path.join(here, "tintwright.svg"), "w") as out:
        out.write(svg())
    for size in SIZES:
        with open(os.path.join(here, f"tintwright-{size}.png"), "wb") as out:
            out.write(png(size, rasterise(size)))


if __name__ == "__main__":
    main()
