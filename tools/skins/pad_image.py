#!/usr/bin/env python3
"""Pads a linked DLL with zeros to the exact size of the image the program carries.

Usage: pad_image.py LINKED OUT SIZE
Fails, writing nothing, when the linked DLL is already larger than SIZE.
"""
import sys
from pathlib import Path


def main(argv):
    if len(argv) != 4:
        sys.exit(__doc__)
    linked, out, size = Path(argv[1]), Path(argv[2]), int(argv[3])
    data = linked.read_bytes()
    if len(data) > size:
        sys.exit(f"{linked.name}: linked {len(data)} bytes, more than the {size} bytes the image may take")
    out.parent.mkdir(parents=True, exist_ok=True)
    out.write_bytes(data + bytes(size - len(data)))
    print(f"{linked.name}: linked {len(data)} bytes, padded to {size}")


if __name__ == "__main__":
    main(sys.argv)
