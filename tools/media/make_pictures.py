#!/usr/bin/env python3
"""Draws the window descriptions' pictures into assets/pictures/ as JPEG files.

Needs ImageMagick's convert (/usr/bin/convert), the WenQuanYi Micro Hei font
and Debian's qrencode (apt-get install qrencode) for the contact code. Each
picture is saved at the highest quality that fits its byte budget, then padded
with a JPEG comment segment to exactly that many bytes, so the stored window
descriptions keep one size whatever the encoder's version.
Run once by hand after changing a picture; the files are committed.
"""
import os
import subprocess
import sys
import tempfile

CONVERT = "/usr/bin/convert"
FONT = "/usr/share/fonts/truetype/wqy/wqy-microhei.ttc"
# What the contact code holds: the messaging account, at our own .example host.
CONTACT = "http://wx.velmora.example/add/velmora2006"


def tab(words, fill, text, shape):
    """A 128x44 tab picture; shape is the -draw commands of its background."""
    return ["-size", "128x44", "xc:white", "-fill", fill, "-stroke", "none", "-draw", shape,
            "-font", FONT, "-pointsize", "20", "-fill", text, "-gravity", "center", "-annotate", "+0+1", words]


def striped_badge(words):
    stripes = " ".join("line %d,0 %d,44" % (x, x - 20) for x in range(0, 160, 8))
    return ["-size", "128x44", "xc:white", "-fill", "#2b2b38", "-draw", "roundrectangle 2,3 125,40 8,8",
            "-stroke", "#3d3d52", "-strokewidth", "3", "-draw", stripes,
            "-fill", "none", "-stroke", "white", "-strokewidth", "6", "-draw", "rectangle -3,-3 130,1",
            "-draw", "rectangle -3,42 130,47", "-draw", "rectangle -3,-3 0,47", "-draw", "rectangle 127,-3 131,47",
            "-stroke", "none", "-font", FONT, "-pointsize", "20", "-fill", "#ffd21f", "-gravity", "center",
            "-annotate", "+0+1", words]


def house(words):
    return ["-size", "128x44", "xc:white", "-fill", "#8b4a2b", "-draw", "polygon 6,22 64,2 122,22 112,22 64,8 16,22",
            "-fill", "#f3e3c3", "-draw", "rectangle 18,22 110,42",
            "-font", FONT, "-pointsize", "19", "-fill", "#d81e1e", "-gravity", "south", "-annotate", "+0+2", words]


def page_tab(words):
    """A 117x37 blue tab whose right edge has a notch."""
    return ["-size", "117x37", "xc:white", "-fill", "#1f5fbf",
            "-draw", "polygon 0,2 116,2 104,18 116,35 0,35",
            "-fill", "#3f7fdf", "-draw", "polygon 0,2 116,2 110,10 0,10",
            "-font", FONT, "-pointsize", "17", "-fill", "white", "-gravity", "west", "-annotate", "+10+1", words]


def contact_code(tmp):
    """The contact code on a drawn sunflower, 512x512."""
    code = os.path.join(tmp, "code.png")
    subprocess.run(["qrencode", "-l", "M", "-s", "8", "-m", "2", "-o", code, CONTACT], check=True)
    petals = []
    for i in range(16):
        petals += ["-draw", "translate 256,256 rotate %d ellipse 0,-170 42,90 0,360" % (i * 360 // 16)]
    return ["-size", "512x512", "xc:#dff1ff", "-fill", "#2e8b3a", "-draw", "rectangle 244,300 268,512",
            "-fill", "#f5b800", "-stroke", "#d08a00", "-strokewidth", "3"] + petals + [
            "-stroke", "none", "-fill", "#6b3a12", "-draw", "circle 256,256 256,104",
            "(", code, "-resize", "250x250", ")", "-gravity", "center", "-composite"]


PICTURES = [
    ("tab_resources.jpg", 4038, tab("泡妞资源", "#d8262e", "white", "roundrectangle 2,3 125,40 14,14")),
    ("tab_vip.jpg", 4304, striped_badge("VIP专区")),
    ("tab_about.jpg", 4042, house("关于我们")),
    ("tab_feedback.jpg", 4255, tab("咨询反馈", "#2f6fd6", "white", "roundrectangle 2,3 125,40 14,14")),
    ("page_velmora.jpg", 6976, page_tab("Velmora")),
    ("page_huashu.jpg", 6755, page_tab("话术惯例")),
    ("page_dashan.jpg", 6866, page_tab("搭讪约会")),
    ("page_video.jpg", 6959, page_tab("在线视频")),
    ("page_media.jpg", 6815, page_tab("音视频区")),
    ("contact_code.jpg", 27722, None),
]


def pad(jpeg, size):
    """Inserts a comment segment after the start marker to reach `size` bytes."""
    extra = size - len(jpeg)
    assert extra == 0 or extra >= 4
    if extra == 0:
        return jpeg
    body = b"Velmora".ljust(extra - 4, b" ")
    return jpeg[:2] + b"\xff\xfe" + (len(body) + 2).to_bytes(2, "big") + body + jpeg[2:]


def render(args, size, tmp):
    out = os.path.join(tmp, "out.jpg")
    for quality in range(98, 10, -1):
        subprocess.run([CONVERT] + args + ["-strip", "-sampling-factor", "4:2:0", "-quality", str(quality), out],
                       check=True)
        data = open(out, "rb").read()
        if len(data) == size or len(data) + 4 <= size:
            return pad(data, size), quality
    raise SystemExit("cannot fit %d bytes" % size)


def main(out_dir):
    with tempfile.TemporaryDirectory() as tmp:
        for name, size, args in PICTURES:
            data, quality = render(args or contact_code(tmp), size, tmp)
            with open(os.path.join(out_dir, name), "wb") as f:
                f.write(data)
            print(name, len(data), "bytes, quality", quality)


if __name__ == "__main__":
    here = os.path.dirname(os.path.abspath(__file__))
    main(sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "..", "assets", "pictures"))
