#include "skinengine/caption_font_win32.h"

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
