#!/usr/bin/env python3
"""The release archive, and the comparison of two release builds.

    release.py archive OUT.zip VERSION EPOCH EXE README NOTICES
        writes OUT.zip holding velmora-VERSION/{velmora.exe, README.txt,
        THIRD-PARTY-NOTICES.txt}: README (UTF-8, {version} filled in) as GBK
        with CR LF for Notepad on a Chinese system, NOTICES as UTF-8 with a
        byte-order mark and CR LF (its names are not all GBK). The entries are
        in that order, all dated EPOCH (the commit's time), so one commit
        makes one archive.
    release.py compare A B
        exit 0 when the files are equal; else names where they first differ
        (for a PE file, its header or section) and exits 1.
"""
import struct
import sys
import time
import zipfile


def crlf(text):
    return text.replace("\r\n", "\n").replace("\n", "\r\n")


def archive(out, version, epoch, exe, readme, notices):
    with open(readme, encoding="utf-8") as f:
        readme_bytes = crlf(f.read().replace("{version}", version)).encode("gbk")
    with open(notices, encoding="utf-8") as f:
        notices_bytes = crlf(f.read()).encode("utf-8-sig")
    with open(exe, "rb") as f:
        exe_bytes = f.read()
    # Zip stores local time in two-second steps from 1980; taken as UTC here.
    stamp = time.gmtime(max(int(epoch), 315532800))[:6]
    folder = "velmora-%s/" % version
    with zipfile.ZipFile(out, "w") as z:
        for name, data in (("velmora.exe", exe_bytes), ("README.txt", readme_bytes),
                           ("THIRD-PARTY-NOTICES.txt", notices_bytes)):
            info = zipfile.ZipInfo(folder + name, date_time=stamp)
            info.compress_type = zipfile.ZIP_DEFLATED
            info.create_system = 0  # MS-DOS: no Unix owner or mode bits from this machine
            info.external_attr = 0x20  # archive bit, as Windows writes it
            z.writestr(info, data, compresslevel=9)


def pe_regions(data):
    """(name, start, end) of the headers and each section's raw bytes, or None."""
    if data[:2] != b"MZ" or len(data) < 0x40:
        return None
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    if data[pe:pe + 4] != b"PE\0\0":
        return None
    count, _, _, _, optional_size = struct.unpack_from("<HIIIH", data, pe + 6)
    table = pe + 24 + optional_size
    regions = []
    for i in range(count):
        entry = table + 40 * i
        name = data[entry:entry + 8].rstrip(b"\0").decode("latin-1")
        size, start = struct.unpack_from("<II", data, entry + 16)
        regions.append((name, start, start + size))
    first = min((r[1] for r in regions if r[1]), default=len(data))
    return [("PE headers", 0, first)] + regions


def where(a, offset):
    regions = pe_regions(a)
    if regions is None:
        return "byte %d" % offset
    if offset < regions[0][2]:
        return "the PE headers (byte %d)" % offset
    for name, start, end in regions[1:]:
        if start <= offset < end:
            return "section %s (byte %d of the file)" % (name, offset)
    return "byte %d, past the sections" % offset


def compare(path_a, path_b):
    with open(path_a, "rb") as f:
        a = f.read()
    with open(path_b, "rb") as f:
        b = f.read()
    if a == b:
        return 0
    offset = next((i for i, (x, y) in enumerate(zip(a, b)) if x != y), min(len(a), len(b)))
    print("%s and %s differ first in %s; sizes %d and %d" % (path_a, path_b, where(a, offset), len(a), len(b)))
    return 1


if __name__ == "__main__":
    if len(sys.argv) == 8 and sys.argv[1] == "archive":
        archive(*sys.argv[2:])
    elif len(sys.argv) == 4 and sys.argv[1] == "compare":
        sys.exit(compare(*sys.argv[2:]))
    else:
        sys.exit(__doc__)
