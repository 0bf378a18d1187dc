#!/usr/bin/env python3
"""Writes catalogue/picture.bmp: a chart of the catalogue's colours.

Usage: make_picture.py
One swatch per colour of colours.txt, in file order, left to right and top to bottom,
on a light grey ground. The file is a 24-bit uncompressed Windows bitmap: a 14-byte
file header, a 40-byte information header, then the rows bottom-up, each row's
blue-green-red pixels padded to a multiple of 4 bytes.
"""

import struct

from catalogue_tables import catalogue_path, read_colours

COLUMNS = 18
CELL_WIDTH, CELL_HEIGHT = 24, 32
GAP = 2
MARGIN_X, MARGIN_Y = 12, 7
GROUND = (232, 232, 232)
FILE_HEADER_SIZE, INFO_HEADER_SIZE = 14, 40


def chart(colours):
    """Rows of (r, g, b) pixels, top row first."""
    rows_of_cells = (len(colours) + COLUMNS - 1) // COLUMNS
    width = 2 * MARGIN_X + COLUMNS * CELL_WIDTH
    height = 2 * MARGIN_Y + rows_of_cells * CELL_HEIGHT + 1
    pixels = [[GROUND] * width for _ in range(height)]
    for index, (_, _, rgb, _) in enumerate(colours):
        left = MARGIN_X + (index % COLUMNS) * CELL_WIDTH
        top = MARGIN_Y + (index // COLUMNS) * CELL_HEIGHT
        for y in range(top + GAP, top + CELL_HEIGHT - GAP):
            for x in range(left + GAP, left + CELL_WIDTH - GAP):
                pixels[y][x] = rgb
    return pixels


def bitmap(pixels):
    height, width = len(pixels), len(pixels[0])
    stride = (3 * width + 3) // 4 * 4
    body = bytearray()
    for row in reversed(pixels):
        line = bytearray()
        for r, g, b in row:
            line += bytes((b, g, r))
        body += line + bytes(stride - len(line))
    offset = FILE_HEADER_SIZE + INFO_HEADER_SIZE
    file_header = struct.pack("<2sIHHI", b"BM", offset + len(body), 0, 0, offset)
    # 2835 pixels per metre is 72 dpi.
    info_header = struct.pack("<IiiHHIIiiII", INFO_HEADER_SIZE, width, height, 1, 24, 0, len(body),
                              2835, 2835, 0, 0)
    return file_header + info_header + bytes(body)


def main():
    colours = read_colours()
    image = bitmap(chart(colours))
    with open(catalogue_path("picture.bmp"), "wb") as f:
        f.write(image)
    print(f"picture.bmp: {len(colours)} swatches, {len(image)} bytes")


if __name__ == "__main__":
    main()
