#!/usr/bin/env python3
"""Writes the small resources with known contents that the tests embed:
bitmaps for the texture tests and raw mesh data for the drawable tests.

    python3 tests/resources/make_test_resources.py OUTDIR

Bitmaps:
Every pixel is a function of its position, so a test can tell which source
pixel ended up in which texel: red = 0x30 + 16 * column, green = 0x20 + 16 *
row-from-top, blue = 0x10. The top-left pixel is blue 0x10, green 0x20,
red 0x30.
"""
import os
import struct
import sys


def pixel(x, y):
    return (0x10, 0x20 + 16 * y, 0x30 + 16 * x)  # blue, green, red


def bmp(width, height, bits, top_down=False, fourth=0x7F):
    stride = (width * bits + 31) // 32 * 4
    rows = []
    for y in range(height):  # y counted from the top
        row = b""
        for x in range(width):
            row += bytes(pixel(x, y)) + (bytes([fourth]) if bits == 32 else b"")
        rows.append(row + b"\xAA" * (stride - len(row)))  # padding bytes are not pixels
    if not top_down:
        rows.reverse()
    data = b"".join(rows)
    info = struct.pack("<IiiHHIIiiII", 40, width, -height if top_down else height, 1, bits, 0,
                       len(data), 2835, 2835, 0, 0)
    header = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(data), 0, 0, 14 + len(info))
    return header + info + data


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    files = {
        "test_4x4_24.bmp": bmp(4, 4, 24),
        "test_4x4_32.bmp": bmp(4, 4, 32),
        "test_4x4_32_topdown.bmp": bmp(4, 4, 32, top_down=True),
        "test_3x2_24.bmp": bmp(3, 2, 24),          # rows padded from 9 to 12 bytes
        "test_1x1_24.bmp": bmp(1, 1, 24),
        "test_2x2_32.bmp": bmp(2, 2, 32, fourth=0x00),
        "test_8x8_24.bmp": bmp(8, 8, 24),
    }
    # Raw mesh data in the dump format: 4 vertex records of 24 floats, where
    # float k of record v is v * 100 + k, and the indices 0 1 2 2 1 3.
    files["test_mesh_data.bin"] = b"".join(
        struct.pack("<24f", *[v * 100 + k for k in range(24)]) for v in range(4))
    files["test_mesh_index.bin"] = struct.pack("<6I", 0, 1, 2, 2, 1, 3)
    for name, data in files.items():
        with open(os.path.join(out, name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()
