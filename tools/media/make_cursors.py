#!/usr/bin/env python3
"""Writes the window descriptions' custom cursors into assets/cursors/.

Standard Windows cursor files (.cur) of 32x32 images, drawn from polygons:
  pointer_a.cur  one image, 256 colours, hot spot (2,0)   picture boxes
  pointer_b.cur  one image, 256 colours, hot spot (0,0)   the HTML view
  pointer_c.cur  one image, 256 colours, hot spot (0,0)   the tab container
  promo.cur      three images (32-bit, 256 colours, 2 colours), hot spot (0,0)
Run once by hand after changing a shape; the files are committed.
"""
import os
import struct
import sys

SIZE = 32
# An arrow with its tip at (0,0), in pixel coordinates.
ARROW = [(0, 0), (0, 22), (5, 17), (9, 26), (13, 24), (9, 16), (16, 16)]
# A pointing finger whose tip is at (2,0).
FINGER = [(1, 0), (4, 0), (5, 1), (5, 10), (16, 12), (19, 15), (19, 26), (15, 31), (5, 31), (0, 24), (0, 14),
          (1, 13)]
# The promotion button's cursor is the arrow again, in three colour depths.
PROMO = ARROW


def inside(poly, x, y):
    """Even-odd rule at the pixel's centre."""
    px, py = x + 0.5, y + 0.5
    hit = False
    for (x1, y1), (x2, y2) in zip(poly, poly[1:] + poly[:1]):
        if (y1 > py) != (y2 > py) and px < x1 + (py - y1) * (x2 - x1) / (y2 - y1):
            hit = not hit
    return hit


def shape(poly):
    """Per pixel: 0 outside, 1 outline, 2 fill (rows top to bottom)."""
    grid = [[inside(poly, x, y) for x in range(SIZE)] for y in range(SIZE)]
    out = []
    for y in range(SIZE):
        row = []
        for x in range(SIZE):
            if not grid[y][x]:
                row.append(0)
                continue
            edge = any(not (0 <= x + dx < SIZE and 0 <= y + dy < SIZE and grid[y + dy][x + dx])
                       for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)))
            row.append(1 if edge else 2)
        out.append(row)
    return out


def and_mask(pixels):
    """1 bit per pixel, 1 = transparent, rows bottom-up, each padded to 4 bytes."""
    data = b""
    for row in reversed(pixels):
        bits = 0
        for v in row:
            bits = bits << 1 | (0 if v else 1)
        data += bits.to_bytes(SIZE // 8, "big")
    return data


def dib(pixels, bpp, palette, index_of):
    """BITMAPINFOHEADER (height doubled for the mask), colour table, XOR bits, AND mask."""
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, bpp, 0, 0, 0, 0, 0, 0)
    table = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in palette)
    rows = []
    for row in reversed(pixels):
        if bpp == 32:
            rows.append(b"".join(index_of(v) for v in row))
        elif bpp == 8:
            rows.append(bytes(index_of(v) for v in row))
        else:
            bits = 0
            for v in row:
                bits = bits << 1 | index_of(v)
            rows.append(bits.to_bytes(SIZE // 8, "big"))
    return header + table + b"".join(rows) + and_mask(pixels)


def palette256(outline, fill):
    colours = [(0, 0, 0), outline, fill]
    return colours + [(0, 0, 0)] * (256 - len(colours))


def indexed(pixels, outline, fill):
    return dib(pixels, 8, palette256(outline, fill), lambda v: v)


def cursor_file(images):
    """images: list of (hot_x, hot_y, dib bytes)."""
    head = struct.pack("<HHH", 0, 2, len(images))
    offset = 6 + 16 * len(images)
    entries, bodies = b"", b""
    for hx, hy, body in images:
        entries += struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, hx, hy, len(body), offset)
        offset += len(body)
        bodies += body
    return head + entries + bodies


def main(out_dir):
    white, black = (255, 255, 255), (0, 0, 0)
    finger, arrow = shape(FINGER), shape(ARROW)
    files = {
        "pointer_a.cur": cursor_file([(2, 0, indexed(finger, black, (255, 224, 189)))]),
        "pointer_b.cur": cursor_file([(0, 0, indexed(arrow, black, (64, 128, 255)))]),
        "pointer_c.cur": cursor_file([(0, 0, indexed(arrow, white, (220, 40, 60)))]),
    }
    promo = shape(PROMO)
    rgba = {0: b"\0\0\0\0", 1: bytes((255, 255, 255, 255)), 2: bytes((120, 40, 230, 255))}  # BGRA
    files["promo.cur"] = cursor_file([
        (0, 0, dib(promo, 32, [], lambda v: rgba[v])),
        (0, 0, indexed(promo, white, (230, 40, 120))),
        (0, 0, dib(promo, 1, [black, white], lambda v: 1 if v == 2 else 0)),
    ])
    for name, data in files.items():
        with open(os.path.join(out_dir, name), "wb") as f:
            f.write(data)
        print(name, len(data), "bytes")


if __name__ == "__main__":
    here = os.path.dirname(os.path.abspath(__file__))
    main(sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "..", "assets", "cursors"))
