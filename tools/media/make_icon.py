#!/usr/bin/env python3
"""Writes the program's icon, assets/icons/velmora.ico: a rose-red heart with a
light highlight on a round blue badge, the blue of the main window's tabs.
Images of 48, 32 and 16 pixels, 32-bit with alpha, drawn with 4x4 supersampling.
Run once by hand after changing the drawing; the file is committed.
"""
import math
import os
import struct
import sys

BLUE = (0x2f, 0x6f, 0xc4)
RED = (0xe0, 0x3a, 0x5c)
LIGHT = (0xff, 0xd6, 0xe0)


def heart(x, y):
    """The classic implicit heart, x and y in about -1.3..1.3, y upwards."""
    return (x * x + y * y - 1) ** 3 - x * x * y ** 3 <= 0


def colour_at(u, v):
    """u, v in 0..1 from the top left; None where the icon is transparent."""
    dx, dy = u - 0.5, v - 0.5
    if dx * dx + dy * dy > 0.5 * 0.5:
        return None
    hx, hy = (u - 0.5) * 3.4, (0.44 - v) * 3.4
    if heart(hx, hy):
        if (hx + 0.5) ** 2 + (hy - 0.45) ** 2 < 0.05:
            return LIGHT
        return RED
    shade = 1.0 - 0.25 * max(0.0, dy + dx) if dx * dx + dy * dy < 0.47 ** 2 else 0.8
    return tuple(int(c * shade) for c in BLUE)


def image(size, samples=4):
    rows = []
    for y in range(size):
        row = []
        for x in range(size):
            acc = [0, 0, 0, 0]
            for sy in range(samples):
                for sx in range(samples):
                    c = colour_at((x + (sx + 0.5) / samples) / size, (y + (sy + 0.5) / samples) / size)
                    if c is not None:
                        acc[0] += c[0]; acc[1] += c[1]; acc[2] += c[2]; acc[3] += 1
            n = samples * samples
            a = acc[3]
            row.append((0, 0, 0, 0) if a == 0 else (acc[0] // a, acc[1] // a, acc[2] // a, 255 * a // n))
        rows.append(row)
    return rows


def dib(size):
    """A BITMAPINFOHEADER image of double height: 32-bit colours bottom-up, then the AND mask."""
    rows = image(size)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    colours = b''.join(bytes((b, g, r, a)) for row in reversed(rows) for (r, g, b, a) in row)
    stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(rows):
        bits = bytearray(stride)
        for x, (_, _, _, a) in enumerate(row):
            if a == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + colours + bytes(mask)


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), '..', '..', 'assets', 'icons', 'velmora.ico')
    sizes = [48, 32, 16]
    images = [dib(s) for s in sizes]
    data = struct.pack('<HHH', 0, 1, len(sizes))
    offset = 6 + 16 * len(sizes)
    for s, img in zip(sizes, images):
        data += struct.pack('<BBBBHHII', s, s, 0, 0, 1, 32, len(img), offset)
        offset += len(img)
    data += b''.join(images)
    with open(out, 'wb') as f:
        f.write(data)


if __name__ == '__main__':
    main()
