#!/usr/bin/env python3
"""Writes TabPager's header image list into assets/pictures/tab_pager_headers.il.

The file is an image list in the stream form that ImageList_Read takes: the
28-byte list header, then the images as a 32-bit bitmap file, then the mask
as a 1-bit bitmap file. Images sit four to a row in room for five images, as
a list made for one image that grows by four stores them. It holds one 100x35
picture of a tab: a blue rounded shape with a lighter top half.
Run once by hand after changing the picture; the file is committed.
"""
import os
import struct
import sys

CX, CY = 100, 35
CUR, MAX, GROW = 1, 5, 4
COLUMNS = 4
ILC_MASK, ILC_COLOR32 = 0x0001, 0x0020
CLR_NONE = 0xFFFFFFFF


def tab_pixel(x, y):
    """(b, g, r, a) of the tab picture, or None where it is transparent."""
    r = 8
    cx = min(max(x, r), CX - 1 - r)
    cy = max(y, r)  # only the top corners are rounded
    if (x - cx) ** 2 + (y - cy) ** 2 > r * r:
        return None
    if y < CY // 2:
        return (235, 170, 90, 255)
    return (200, 120, 40, 255)


def bitmap_file(width, height, bpp, palette, rows_bottom_up):
    stride = ((width * bpp + 31) // 32) * 4
    data = b"".join(row.ljust(stride, b"\0") for row in rows_bottom_up)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, bpp, 0, len(data), 0, 0, len(palette), 0)
    table = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in palette)
    offset = 14 + len(info) + len(table)
    head = struct.pack("<2sIHHI", b"BM", offset + len(data), 0, 0, offset)
    return head + info + table + data


def main(out):
    rows = (MAX + COLUMNS - 1) // COLUMNS
    width, height = CX * COLUMNS, CY * rows
    colour_rows, mask_rows = [], []
    for y in reversed(range(height)):
        colour, bits = b"", 0
        for x in range(width):
            p = tab_pixel(x, y) if x < CX and y < CY else None
            colour += bytes(p) if p else b"\0\0\0\0"
            bits = bits << 1 | (0 if p else 1)  # 1 = transparent
        colour_rows.append(colour)
        mask_rows.append(bits.to_bytes(width // 8, "big"))
    header = struct.pack("<2sHHHHHHIHhhhh", b"IL", 0x101, CUR, MAX, GROW, CX, CY, CLR_NONE, ILC_COLOR32 | ILC_MASK,
                         -1, -1, -1, -1)
    data = (header + bitmap_file(width, height, 32, [], colour_rows)
            + bitmap_file(width, height, 1, [(0, 0, 0), (255, 255, 255)], mask_rows))
    with open(out, "wb") as f:
        f.write(data)
    print(os.path.basename(out), len(data), "bytes")


if __name__ == "__main__":
    here = os.path.dirname(os.path.abspath(__file__))
    main(sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "..", "assets", "pictures",
                                                             "tab_pager_headers.il"))
