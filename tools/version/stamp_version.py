#!/usr/bin/env python3
"""Makes everything that names the program's version from the one place it is
written: VersionLabel's caption in the start window's description.

    stamp_version.py FORM.json OUTDIR MANIFEST.in

writes OUTDIR/main_window.json (the description with {version} in the window
caption filled in, for the form compiler, which finds its media from the
source's folder),
OUTDIR/velmora_version.h (for the version resource) and OUTDIR/velmora.manifest,
and prints the version. Refuses a version Windows cannot number (up to four
dot-separated numbers below 65536) and a window caption that does not carry
{version} exactly once, so no copy can be typed by hand."""
import json
import os
import re
import sys

PLACEHOLDER = "{version}"


def fail(message):
    sys.exit("stamp_version: " + message)


def version_of(form):
    labels = [r for r in form["records"] if r.get("name") == "VersionLabel"]
    if len(labels) != 1:
        fail("the start window needs one VersionLabel, found %d" % len(labels))
    version = labels[0].get("properties", {}).get("Caption", "")
    parts = version.split(".")
    if not re.fullmatch(r"[0-9]+(\.[0-9]+){0,3}", version) or any(int(p) > 65535 for p in parts):
        fail("VersionLabel's caption %r is not a version Windows can number (like 2.8)" % version)
    return version, [int(p) for p in parts] + [0] * (4 - len(parts))


def stamped_form(form, version):
    caption = form["records"][0]["properties"]["Caption"]
    if caption.count(PLACEHOLDER) != 1:
        fail("the window caption must name the version as %s once: %r" % (PLACEHOLDER, caption))
    form["records"][0]["properties"]["Caption"] = caption.replace(PLACEHOLDER, version)
    return json.dumps(form, ensure_ascii=False, indent=1) + "\n"


def write_if_changed(path, text):
    # Unchanged outputs keep their times, so a reconfigure rebuilds nothing.
    try:
        with open(path, encoding="utf-8", newline="") as f:
            if f.read() == text:
                return
    except FileNotFoundError:
        pass
    with open(path, "w", encoding="utf-8", newline="") as f:
        f.write(text)


def main(form_path, out_dir, manifest_template):
    with open(form_path, encoding="utf-8") as f:
        form = json.load(f)
    version, numbers = version_of(form)
    quad = ".".join(map(str, numbers))
    os.makedirs(out_dir, exist_ok=True)
    write_if_changed(os.path.join(out_dir, "main_window.json"),
                     stamped_form(form, version))
    write_if_changed(os.path.join(out_dir, "velmora_version.h"),
                     "// Generated from VersionLabel's caption by tools/version/stamp_version.py.\n"
                     "#define VELMORA_VERSION_TEXT \"%s\"\n#define VELMORA_VERSION_NUMBERS %s\n"
                     % (version, ",".join(map(str, numbers))))
    with open(manifest_template, encoding="utf-8", newline="") as f:
        manifest = f.read()
    if "@VERSION_QUAD@" not in manifest:
        fail(manifest_template + " must name its version as @VERSION_QUAD@")
    write_if_changed(os.path.join(out_dir, "velmora.manifest"), manifest.replace("@VERSION_QUAD@", quad))
    print(version)


if __name__ == "__main__":
    if len(sys.argv) != 4:
        sys.exit(__doc__)
    main(*sys.argv[1:])
