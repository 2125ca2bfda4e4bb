#include "skinengine/caption_font_win32.h"

namespace {

// Whether the font has glyphs for two characters every GB2312 font draws.
bool DrawsChinese(HFONT font) {
  HDC dc = CreateCompatibleDC(nullptr);
  if (!dc) return true;  // nothing to ask: keep the system's font
  HGDIOBJ old = SelectObject(dc, font);
  WORD glyphs[2];
  const bool drawn = GetGlyphIndicesW(dc, L"\u4e2d\u6587", 2, glyphs, GGI_MARK_NONEXISTING_GLYPHS) == 2 &&
                     glyphs[0] != 0xFFFF && glyphs[1] != 0xFFFF;
  SelectObject(dc, old);
  DeleteDC(dc);
  return drawn;
}

}  // namespace

HFONT CreateCaptionFont(bool bold) {
  NONCLIENTMETRICSW metrics;
  metrics.cbSize = sizeof metrics;
  LOGFONTW font;
  if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
    font = metrics.lfCaptionFont;
  } else {
    GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font);
  }
  font.lfWeight = bold ? FW_BOLD : FW_NORMAL;
  HFONT made = CreateFontIndirectW(&font);
  if (!made || DrawsChinese(made)) return made;
  // By script, not by face: the system then picks a face with Chinese glyphs.
  font.lfCharSet = GB2312_CHARSET;
  font.lfFaceName[0] = 0;
  if (HFONT readable = CreateFontIndirectW(&font)) {
    DeleteObject(made);
    made = readable;
  }
  return made;
}
