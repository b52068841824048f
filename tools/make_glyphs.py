#!/usr/bin/env python3
"""Makes the record navigator's four glyph strips, our own drawing: MDBN_FIRST, MDBN_PRIOR,
MDBN_NEXT and MDBN_LAST as 16-colour BMP files, each a strip of two pictures side by side,
normal and disabled (14 x 13 pictures for first and last, 10 x 13 for prior and next). The
bottom-left pixel's colour (magenta) is the transparent background.

    tools/make_glyphs.py assets/glyphs
"""
import struct
import sys
from pathlib import Path

# The standard 16-colour palette.
PALETTE = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
           (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
           (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255)]
BLACK, GREY, MAGENTA, WHITE = 0, 8, 13, 15


def triangle(pic, x0, pointing_left):
    """A solid triangle 5 wide and 9 high, its tip at the left or the right."""
    for i in range(5):
        half = i if pointing_left else 4 - i
        for y in range(6 - half, 7 + half):
            pic[y][x0 + i] = 1


def bar(pic, x0):
    for y in range(2, 11):
        pic[y][x0] = pic[y][x0 + 1] = 1


SHAPES = {
    "first": (14, lambda p: (bar(p, 3), triangle(p, 6, True))),
    "prior": (10, lambda p: triangle(p, 3, True)),
    "next": (10, lambda p: triangle(p, 2, False)),
    "last": (14, lambda p: (triangle(p, 3, False), bar(p, 9))),
}


def strip(name):
    width, draw = SHAPES[name]
    shape = [[0] * width for _ in range(13)]
    draw(shape)
    rows = [[MAGENTA] * (2 * width) for _ in range(13)]
    for y in range(13):
        for x in range(width):
            if shape[y][x]:
                rows[y][x] = BLACK
                # The disabled picture: grey, with a white shadow one pixel down and right.
                if y + 1 < 13 and x + 1 < width and not shape[y + 1][x + 1]:
                    rows[y + 1][width + x + 1] = WHITE
        for x in range(width):
            if shape[y][x]:
                rows[y][width + x] = GREY
    return rows


def bmp4(rows):
    height, width = len(rows), len(rows[0])
    stride = ((width + 1) // 2 + 3) // 4 * 4
    pixels = b""
    for row in reversed(rows):  # bottom-up
        packed = bytearray()
        for x in range(0, width, 2):
            high = row[x]
            low = row[x + 1] if x + 1 < width else 0
            packed.append(high << 4 | low)
        pixels += bytes(packed) + b"\0" * (stride - len(packed))
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)
    offset = 14 + 40 + len(palette)
    header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 4, 0, len(pixels), 3780, 3780, 16, 16)
    return header + info + palette + pixels


def main():
    folder = Path(sys.argv[1] if len(sys.argv) > 1 else "assets/glyphs")
    folder.mkdir(parents=True, exist_ok=True)
    for name in SHAPES:
        (folder / f"mdbn_{name}.bmp").write_bytes(bmp4(strip(name)))


if __name__ == "__main__":
    main()
