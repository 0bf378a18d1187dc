#!/usr/bin/env python3
"""Draws the program icon (a colour wheel of six paint shades around a white hub)
at the small and large icon sizes of 100, 125, 150 and 200 % scaling and writes
them as one .ico with 32-bit images.

Usage: make_icon.py [output.ico]   (default: res/Lacqueron.ico beside this tool)
"""
import math
import os
import struct
import sys

SIZES = (16, 20, 24, 32, 40, 48, 64)
SUPERSAMPLE = 4
# Six shades, one per purpose of the paint, clockwise from the top.
WEDGES = [(0xC1, 0x12, 0x1C), (0xF3, 0xA5, 0x05), (0x2D, 0x57, 0x2C),
          (0x1E, 0x59, 0xAE), (0x6C, 0x46, 0x75), (0x8E, 0x40, 0x2A)]
OUTLINE = (0x20, 0x20, 0x20)
HUB = (0xF4, 0xF4, 0xF4)


def sample(x, y):
    """Colour and coverage of one point in a unit square centred at (0.5, 0.5)."""
    dx, dy = x - 0.5, y - 0.5
    r = math.hypot(dx, dy)
    if r > 0.48:
        return None
    if r > 0.43:
        return OUTLINE
    if r < 0.15:
        return HUB if r < 0.12 else OUTLINE
    angle = (math.degrees(math.atan2(dx, -dy)) + 360.0) % 360.0
    return WEDGES[int(angle // 60) % 6]


def render(size):
    """BGRA rows, bottom-up, as an .ico image stores them."""
    rows = []
    n = SUPERSAMPLE
    for py in range(size - 1, -1, -1):
        row = bytearray()
        for px in range(size):
            r = g = b = a = 0
            for sy in range(n):
                for sx in range(n):
                    c = sample((px + (sx + 0.5) / n) / size, (py + (sy + 0.5) / n) / size)
                    if c:
                        r, g, b, a = r + c[0], g + c[1], b + c[2], a + 1
            if a:
                row += bytes((b // a, g // a, r // a, 255 * a // (n * n)))
            else:
                row += bytes(4)
        rows.append(bytes(row))
    return rows


def image(size):
    pixels = b"".join(render(size))
    mask_stride = ((size + 31) // 32) * 4
    mask = bytes(mask_stride * size)  # alpha decides; the AND mask stays clear
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0,
                         len(pixels) + len(mask), 0, 0, 0, 0)
    return header + pixels + mask


def ico(sizes):
    images = [image(s) for s in sizes]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for s, data in zip(sizes, images):
        out += struct.pack("<BBBBHHII", s % 256, s % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    return out + b"".join(images)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    target = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "Lacqueron.ico")
    with open(target, "wb") as f:
        f.write(ico(SIZES))


if __name__ == "__main__":
    main()
