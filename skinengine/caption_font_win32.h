// The engine's caption font, and the glyph probe the program's own fonts share.
// Kept apart from the engine's state so the Wine tests can make the very font
// the engine draws captions with.
#pragma once

#include <windows.h>

// Whether the font has glyphs for two characters every GB2312 font draws.
inline bool DrawsChinese(HFONT font) {
  HDC dc = CreateCompatibleDC(nullptr);
  if (!dc) return true;  // nothing to ask: keep the font
  HGDIOBJ old = SelectObject(dc, font);
  WORD glyphs[2];
  const bool drawn = GetGlyphIndicesW(dc, L"\u4e2d\u6587", 2, glyphs, GGI_MARK_NONEXISTING_GLYPHS) == 2 &&
                     glyphs[0] != 0xFFFF && glyphs[1] != 0xFFFF;
  SelectObject(dc, old);
  DeleteDC(dc);
  return drawn;
}

// The system's caption font at the skin's weight; where it draws no Chinese,
// the same font asked for by the GB2312 character set. Null on failure.
HFONT CreateCaptionFont(bool bold);
