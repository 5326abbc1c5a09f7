#!/usr/bin/env python3
"""Writes the inputs of fuzz/regressions/ that were found before the folder
existed, rebuilt from their descriptions: each was a finding once (a crash, a
sanitizer report, a slow or memory-hungry input) and has been fixed since.
ctest replays every file of the folder through its target's road.

    scripts/make_fuzz_regressions.py      (run from anywhere; overwrites)
"""
import struct
import zlib
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent / "fuzz" / "regressions"


def bmp(width, height, bit_count, compression, colors=b"", bits=b"", colors_used=0):
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, bit_count, compression, len(bits), 0, 0,
                       colors_used, 0)
    offset = 14 + len(info) + len(colors)
    header = struct.pack("<2sIHHI", b"BM", offset + len(bits), 0, 0, offset)
    return header + info + colors + bits


def png_chunk(name, data):
    return struct.pack(">I", len(data)) + name + data + struct.pack(">I", zlib.crc32(name + data))


def png(width, height, depth, color_type, chunks):
    ihdr = struct.pack(">IIBBBBB", width, height, depth, color_type, 0, 0, 0)
    return b"\x89PNG\r\n\x1a\n" + png_chunk(b"IHDR", ihdr) + chunks + png_chunk(b"IEND", b"")


def gif_frame_far_larger_than_screen():
    # A 2 x 2 screen with a two-colour table; one frame of 16386 x 248 whose
    # three bytes of LZW leave the rest of it at index 0.
    screen = b"GIF89a" + struct.pack("<HH", 2, 2) + bytes([0x80, 0, 0, 0, 0, 0, 255, 255, 255])
    frame = b"\x2c" + struct.pack("<HHHH", 0, 0, 16386, 248) + bytes([0, 2, 3, 0x44, 0x01, 0x00, 0])
    comment = b"\x21\xfe" + bytes([22]) + b"wide frame, tiny file." + b"\x00"
    return screen + comment + frame + b"\x3b"


def rle4_wide_rows():
    # 67,108,864 x 2 pixels, RLE4: a few codes on both rows of a row wider
    # than any picture. Expanding once cost seconds and 680 MB: every row a
    # code touched was converted across its whole declared width.
    codes = bytes([
        0x10, 0x12, 0x00, 0x02, 0xFF, 0x00, 0x08, 0x34,  # run, delta right, run
        0x00, 0x00,                                      # end of row
        0x00, 0x06, 0x12, 0x34, 0x56, 0x00,              # literal of six
        0x20, 0x21, 0x00, 0x02, 0xFF, 0x00, 0x20, 0x21,  # run, delta, run
        0x00, 0x02, 0xFF, 0x00, 0x20, 0x21, 0x00, 0x02,
        0xFF, 0x00, 0x20, 0x21, 0x00, 0x02, 0xFF, 0x00,
        0x20, 0x21, 0x02, 0x21,                          # two runs
        0x00, 0x00, 0x00, 0x01,                          # end of row, end of bitmap
    ])
    return bmp(67108864, 2, 4, 2, colors=bytes([0, 0, 0, 0, 255, 255, 255, 0]), bits=codes, colors_used=2)


REGRESSIONS = {
    "bmp/rle4_67108864x2_wide_rows.bmp": rle4_wide_rows(),
    # Row bytes times height passed 2^63 before any limit check.
    "bmp/int32_max_squared_24bit.bmp": bmp(0x7FFFFFFF, 0x7FFFFFFF, 24, 0),
    "bmp/int32_max_squared_32bit_top_down.bmp": bmp(0x7FFFFFFF, -0x7FFFFFFF, 32, 0),
    "headers/int32_max_squared_24bit.bmp": bmp(0x7FFFFFFF, 0x7FFFFFFF, 24, 0),
    "gif/frame_16386x248_on_2x2_screen.gif": gif_frame_far_larger_than_screen(),
    # 16384 x 16384 RGBA: pixels, alpha plane and row buffers together cost
    # 3 GiB and 28 s before the planes were held to the pixel budget.
    "png/rgba_16384x16384.png": png(16384, 16384, 8, 6, png_chunk(b"IDAT", zlib.compress(b"\x00" * 64))),
    "headers/rgba_16384x16384.png": png(16384, 16384, 8, 6, png_chunk(b"IDAT", zlib.compress(b"\x00" * 64))),
    # An error answer whose body runs past the 64 KiB an error body keeps.
    "http/endless_error_body": b"\x00HTTP/1.1 500 Oops\r\nConnection: close\r\n\r\n" + b"e" * (70 * 1024),
}

for name, data in REGRESSIONS.items():
    path = ROOT / name
    path.parent.mkdir(parents=True, exist_ok=True)
    path.write_bytes(data)
    print(f"{path.relative_to(ROOT.parent.parent)}: {len(data)} bytes")
