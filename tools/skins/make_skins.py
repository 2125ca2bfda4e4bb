#!/usr/bin/env python3
"""Builds the engine's skin files from the readable table in assets/skins.

Usage: make_skins.py TABLE OUT_DIR
Writes OUT_DIR/skin_NN.she for every row, each exactly as long as its row says.
The layout is the one skinengine/skin_format.h reads.
"""
import struct
import sys
from pathlib import Path

HEADER_SIZE = 32
VERSION = 1
CHECKSUM_OFFSET = 12

# Palette order of skinengine/skin_format.h.
COLORS = [
    "frame_active", "frame_inactive", "frame_edge",
    "caption_active_top", "caption_active_bottom", "caption_inactive_top", "caption_inactive_bottom",
    "caption_text", "caption_text_inactive",
    "caption_button_hot", "caption_button_pressed", "caption_glyph", "close_hot",
    "window_back", "dialog_back", "text",
    "button_face", "button_face_hot", "button_face_pressed", "button_face_disabled",
    "button_border", "button_border_focused", "button_text", "button_text_disabled",
]
METRICS = ["border", "caption_height", "caption_button_width", "caption_button_height",
           "radius", "bold", "caption_text_inset"]

WHITE, BLACK, GREY = (255, 255, 255), (0, 0, 0), (160, 160, 160)


def parse_colour(text):
    if len(text) != 7 or text[0] != "#":
        raise ValueError(f"not a #RRGGBB colour: {text}")
    return tuple(int(text[i:i + 2], 16) for i in (1, 3, 5))


def mix(a, b, t):
    return tuple(round(x + (y - x) * t) for x, y in zip(a, b))


def luminance(c):
    return 0.299 * c[0] + 0.587 * c[1] + 0.114 * c[2]


def read_table(path):
    rows = []
    for line_no, line in enumerate(Path(path).read_text(encoding="utf-8").splitlines(), 1):
        if not line.strip() or line.lstrip().startswith("#"):
            continue
        f = line.split(None, 12)
        if len(f) < 13:
            raise ValueError(f"{path}:{line_no}: expected 13 fields")
        rows.append({
            "number": int(f[0]), "length": int(f[1]),
            "caption": parse_colour(f[2]), "frame": parse_colour(f[3]), "window": parse_colour(f[4]),
            "button": parse_colour(f[5]), "accent": parse_colour(f[6]), "text": parse_colour(f[7]),
            "caption_height": int(f[8]), "border": int(f[9]), "radius": int(f[10]),
            "bold": {"yes": 1, "no": 0}[f[11]], "name": f[12],
        })
    numbers = [r["number"] for r in rows]
    if numbers != list(range(1, len(rows) + 1)):
        raise ValueError(f"{path}: rows must be numbered 1 to {len(rows)} in order")
    return rows


def palette(r):
    cap, win, btn, acc = r["caption"], r["window"], r["button"], r["accent"]
    dark_caption = luminance(cap) < 150
    cap_text = WHITE if dark_caption else (0x20, 0x20, 0x20)
    inactive_bottom = mix(mix(cap, GREY, 0.55), win, 0.35)
    c = {
        "frame_active": r["frame"],
        "frame_inactive": mix(r["frame"], win, 0.5),
        "frame_edge": mix(r["frame"], BLACK, 0.35),
        "caption_active_top": mix(cap, WHITE, 0.22),
        "caption_active_bottom": cap,
        "caption_inactive_top": mix(inactive_bottom, WHITE, 0.2),
        "caption_inactive_bottom": inactive_bottom,
        "caption_text": cap_text,
        "caption_text_inactive": mix(cap_text, inactive_bottom, 0.4),
        "caption_button_hot": mix(cap, WHITE, 0.35) if dark_caption else mix(cap, BLACK, 0.15),
        "caption_button_pressed": mix(cap, BLACK, 0.3),
        "caption_glyph": cap_text,
        "close_hot": (0xD8, 0x40, 0x3A),
        "window_back": win,
        "dialog_back": mix(win, btn, 0.5),
        "text": r["text"],
        "button_face": btn,
        "button_face_hot": mix(btn, acc, 0.25),
        "button_face_pressed": mix(mix(btn, acc, 0.5), BLACK, 0.1),
        "button_face_disabled": mix(mix(btn, GREY, 0.3), win, 0.5),
        "button_border": mix(mix(btn, BLACK, 0.45), acc, 0.2),
        "button_border_focused": acc,
        "button_text": r["text"],
        "button_text_disabled": mix(r["text"], btn, 0.6),
    }
    return [c[name] for name in COLORS]


def metrics(r):
    h = r["caption_height"]
    m = {
        "border": r["border"], "caption_height": h,
        "caption_button_width": min(48, max(14, round(h * 1.3))),
        "caption_button_height": max(12, h - 6),
        "radius": r["radius"], "bold": r["bold"], "caption_text_inset": 6,
    }
    return [m[name] for name in METRICS]


def fnv1a(data):
    h = 2166136261
    for i, b in enumerate(data):
        if CHECKSUM_OFFSET <= i < CHECKSUM_OFFSET + 4:
            b = 0
        h = ((h ^ b) * 16777619) & 0xFFFFFFFF
    return h


def build_skin(r):
    colours = palette(r)
    values = metrics(r)
    palette_offset = HEADER_SIZE
    metric_offset = palette_offset + 4 * len(colours)
    body = b"".join(bytes((*c, 0)) for c in colours) + struct.pack(f"<{len(values)}H", *values)
    length = r["length"]
    if HEADER_SIZE + len(body) > length:
        raise ValueError(f"skin {r['number']}: {length} bytes is too short")
    header = b".SHE" + struct.pack("<HHIIIHHII", VERSION, HEADER_SIZE, length, 0, palette_offset,
                                   len(colours), len(values), metric_offset, 0)
    skin = bytearray(header + body + bytes(length - HEADER_SIZE - len(body)))
    struct.pack_into("<I", skin, CHECKSUM_OFFSET, fnv1a(skin))
    return bytes(skin)


def main(argv):
    if len(argv) != 3:
        sys.exit(__doc__)
    out = Path(argv[2])
    out.mkdir(parents=True, exist_ok=True)
    for r in read_table(argv[1]):
        skin = build_skin(r)
        assert len(skin) == r["length"]
        target = out / f"skin_{r['number']:02d}.she"
        if not target.exists() or target.read_bytes() != skin:
            target.write_bytes(skin)


if __name__ == "__main__":
    main(sys.argv)
