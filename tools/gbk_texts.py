#!/usr/bin/env python3
"""Turns a UTF-8 list of named texts into a C++ header of GBK byte strings.

Input lines: `kName "text"` (Python string syntax, so "\r\n" works); blank lines
and lines starting with # are skipped. A text that GBK cannot encode fails the build.
"""
import ast
import sys


def main(src, out):
    lines = ["// Generated from %s; edit that file, not this one." % src.split("/")[-1],
             "#pragma once", "", "namespace gbk {"]
    seen = set()
    with open(src, encoding="utf-8") as f:
        for n, raw in enumerate(f, 1):
            line = raw.strip()
            if not line or line.startswith("#"):
                continue
            name, _, literal = line.partition(" ")
            if not name.isidentifier() or name in seen:
                sys.exit("%s:%d: bad or repeated name %r" % (src, n, name))
            seen.add(name)
            text = ast.literal_eval(literal.strip())
            data = text.encode("gbk")
            escaped = "".join("\\x%02X" % b for b in data)
            shown = text.replace("\r", "\\r").replace("\n", "\\n")
            lines.append('inline constexpr char %s[] = "%s";  // %s' % (name, escaped, shown))
    lines += ["}  // namespace gbk", ""]
    text = "\n".join(lines)
    try:
        with open(out, encoding="utf-8") as f:
            if f.read() == text:
                return
    except OSError:
        pass
    with open(out, "w", encoding="utf-8") as f:
        f.write(text)


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2])
