#!/usr/bin/env python3
"""Builds the five content pages from assets/pages into the bytes the program stores.

Output: GBK, CR LF line ends, no byte-order mark, no line end after the last line.
Usage: build_pages.py --out DIR [--data DIR]
"""
import argparse
import html
import json
import re
import sys
from pathlib import Path
from urllib.parse import urlsplit

DATA_DIR = Path(__file__).resolve().parents[2] / "assets" / "pages"

# file name, title, row kind, data rows, rows per screen, characters in GBK but not GB2312
PAGES = (
    ("velmora365.html", "Velmora", "download", 132, 5, 0),
    ("dashayh263.html", "搭讪约会", "download", 28, 5, 0),
    ("huashugli598.html", "话术惯例", "download", 34, 5, 0),
    ("yishipq668.html", "音视频区", "upcoming", 40, 15, 0),
    ("za32xship5.html", "在线视频", "video", 93, 5, 2),
)
WIDTHS = {"download": (355, 83, 82), "upcoming": (355, 83, 82), "video": (436, 117)}
UPDATING = "更新中……"
CODE = re.compile(r"[A-Za-z0-9]{4}")


class PageError(Exception):
    pass


def check_text(text, where):
    for ch in text:
        try:
            ch.encode("gbk")
        except UnicodeEncodeError:
            raise PageError(f"{where}: {ch!r} (U+{ord(ch):04X}) has no GBK code") from None


def check_url(url, where):
    parts = urlsplit(url)
    if parts.scheme not in ("http", "https") or not (parts.hostname or "").endswith(".example"):
        raise PageError(f"{where}: {url!r} is not an http address on a .example host")
    return url


def read_entries(path, kind):
    """Entries as (title, [(url, code), ...]) from 'title | url code | url code' or 'title | url' lines."""
    entries = []
    for number, line in enumerate(path.read_text(encoding="utf-8").splitlines(), 1):
        where = f"{path.name}:{number}"
        if not line.strip() or line.startswith("#"):
            continue
        check_text(line, where)
        title, *links = [field.strip() for field in line.split("|")]
        if not title:
            raise PageError(f"{where}: empty title")
        if kind == "download":
            if len(links) != 2:
                raise PageError(f"{where}: a download entry needs two 'address code' fields")
            shares = [tuple(field.split()) for field in links]
            for share in shares:
                if len(share) != 2 or not CODE.fullmatch(share[1]):
                    raise PageError(f"{where}: {' '.join(share)!r} is not an address and a 4-character code")
                check_url(share[0], where)
            if urlsplit(shares[0][0]).hostname == urlsplit(shares[1][0]).hostname:
                raise PageError(f"{where}: both downloads use the same sharing service")
            entries.append((title, shares))
        else:
            if len(links) != 1:
                raise PageError(f"{where}: a video entry needs one address")
            entries.append((title, [(check_url(links[0], where), None)]))
    return entries


def link(url, text="下载"):
    return f'<a href="{html.escape(url)}" target="_blank">{text}</a>'


def data_rows(kind, rows, entries, placeholder):
    """Cells of every data row: the entry text, then the link cells (None for an empty cell)."""
    if kind == "upcoming":
        return [[UPDATING, link(placeholder), None], ["下个版本即可下载！", None, None]] + \
               [["", None, None] for _ in range(rows - 2)]
    if len(entries) != rows - 2:
        raise PageError(f"{len(entries)} entries, the page needs {rows - 2}")
    label = "下载" if kind == "download" else "观 看"
    cells = [[html.escape(title)] + [link(url, label) + (f" {code}" if code else "") for url, code in links]
             for title, links in entries]
    if kind == "download":
        return cells + [[UPDATING, link(placeholder), link(placeholder)], ["", link(placeholder), None]]
    return cells + [[UPDATING, link(placeholder, label)], ["", link(placeholder, label)]]


def render_row(number, cells, widths):
    out = ["  <tr>"]
    for index, cell in enumerate(cells):
        width = f' width="{widths[index]}"' if widths else ""
        if index == 0:
            out.append(f'    <td{width} align="left" bgcolor="#FFFFFF">{number}、{cell}</td>')
        elif cell is None:
            out.append(f'    <td{width} bgcolor="#FFFFFF">&nbsp;</td>')
        else:
            out.append(f'    <td{width} bgcolor="#FFFFFF"><div align="center">{cell}</div></td>')
    out.append("  </tr>")
    return out


def render_page(title, kind, rows, per_screen, entries, site, pager):
    widths = WIDTHS[kind]
    lines = [
        '<!DOCTYPE html PUBLIC "-//W3C//DTD XHTML 1.0 Transitional//EN" '
        '"http://www.w3.org/TR/xhtml1/DTD/xhtml1-transitional.dtd">',
        '<html xmlns="http://www.w3.org/1999/xhtml">',
        "<head>",
        '<meta http-equiv="Content-Type" content="text/html; charset=gb2312" />',
        f"<title>{html.escape(title)}</title>",
        '<style type="text/css">',
        "<!--",
        ".STYLE1 {color: #FF0000; font-size: 14px;}",
        "-->",
        "</style>",
        "</head>",
        "",
        "<body>",
        '<table width="620" border="0" cellpadding="16" cellspacing="1" bgcolor="#FFEEDD">',
        "  <tr>",
        f'    <td colspan="{5 if kind == "video" else 6}" bgcolor="#FFFFFF" class="STYLE1">'
        f'{html.escape(site["banner"])}{link(check_url(site["publisher"], "publisher"), "点击进入")}</td>',
        "  </tr>",
        '  <tbody id="tableqvd">',
    ]
    for number, cells in enumerate(data_rows(kind, rows, entries, site["placeholder"]), 1):
        lines += render_row(number, cells, widths if number == 1 else None)
    lines += [
        "  </tbody>",
        "</table>",
        '<blockquote><span id="spanFirst">首页</span> <span id="spanPre">上一页</span> '
        '<span id="spanNext">下一页</span> <span id="spanLast">尾页</span> '
        '第 <span id="spanPageNum"></span> 页/共 <span id="spanTotalPage"></span> 页</blockquote>',
        "<p></p>",
        "</body>",
        "</html>",
    ]
    lines += pager.replace("ROWS_PER_SCREEN", str(per_screen)).splitlines()
    return "\r\n".join(lines)


def check_page(text, rows, beyond_gb2312):
    """The built page's own invariants: rows numbered 1..rows without gaps, the GB2312 overflow."""
    body = text[text.index('<tbody id="tableqvd">'):text.index("</tbody>")]
    numbers = [int(n) for n in re.findall(r'<td[^>]*align="left"[^>]*>(\d+)、', body)]
    if numbers != list(range(1, rows + 1)) or body.count("<tr>") != rows:
        raise PageError(f"data rows are not numbered 1..{rows}")
    outside = [ch for ch in text if not in_gb2312(ch)]
    if len(outside) != beyond_gb2312:
        raise PageError(f"{len(outside)} characters outside GB2312 ({''.join(outside)}), expected {beyond_gb2312}")


def in_gb2312(ch):
    try:
        ch.encode("gb2312")
        return True
    except UnicodeEncodeError:
        return False


def build(data_dir, out_dir):
    site = json.loads((data_dir / "pages.json").read_text(encoding="utf-8"))
    check_text(site["banner"], "pages.json banner")
    check_url(site["placeholder"], "placeholder")
    pager = (data_dir / "pager.js").read_text(encoding="utf-8")
    built = {}
    for file, title, kind, rows, per_screen, beyond_gb2312 in PAGES:
        try:
            source = data_dir / file.replace(".html", ".txt")
            entries = read_entries(source, kind) if kind != "upcoming" else []
            text = render_page(title, kind, rows, per_screen, entries, site, pager)
            check_text(text, file)
            check_page(text, rows, beyond_gb2312)
        except PageError as error:
            raise PageError(f"{file}: {error}") from None
        built[file] = text.encode("gbk")
    # Nothing is written unless every page is sound.
    out_dir.mkdir(parents=True, exist_ok=True)
    for file, data in built.items():
        (out_dir / file).write_bytes(data)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--out", required=True, type=Path, help="directory for the five pages")
    parser.add_argument("--data", default=DATA_DIR, type=Path, help="page sources (default: assets/pages)")
    args = parser.parse_args()
    try:
        build(args.data, args.out)
    except (PageError, OSError, KeyError, ValueError) as error:
        sys.exit(f"build_pages: {error}")


if __name__ == "__main__":
    main()
