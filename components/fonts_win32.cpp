#include "components/fonts_win32.h"

#include <cstring>

#include "base/wide_win32.h"

namespace {

LOGFONTW WideLogFont(const LogFontA& stored) {
  LOGFONTW lf{};
  lf.lfHeight = stored.lfHeight;
  lf.lfWidth = stored.lfWidth;
  lf.lfEscapement = stored.lfEscapement;
  lf.lfOrientation = stored.lfOrientation;
  lf.lfWeight = stored.lfWeight;
  lf.lfItalic = stored.lfItalic;
  lf.lfUnderline = stored.lfUnderline;
  lf.lfStrikeOut = stored.lfStrikeOut;
  lf.lfCharSet = stored.lfCharSet;
  lf.lfOutPrecision = stored.lfOutPrecision;
  lf.lfClipPrecision = stored.lfClipPrecision;
  lf.lfQuality = stored.lfQuality;
  lf.lfPitchAndFamily = stored.lfPitchAndFamily;
  char face[sizeof stored.lfFaceName + 1] = {};
  std::memcpy(face, stored.lfFaceName, sizeof stored.lfFaceName);
  GbkToWideBuffer(face, lf.lfFaceName, LF_FACESIZE);
  return lf;
}

}  // namespace

FontHandle CreateStoredFont(const LogFontA& stored) {
  LOGFONTW lf = WideLogFont(stored);
  return FontHandle(CreateFontIndirectW(&lf));
}

FontHandle CreateControlFont(const LogFontA& stored) {
  LOGFONTW lf = WideLogFont(stored);
  // The stored character set (GB2312 everywhere) would pin the face; the
  // default set lets the face name decide, as on a non-Chinese system.
  lf.lfCharSet = DEFAULT_CHARSET;
  lf.lfOutPrecision = 0;
  lf.lfClipPrecision = 0;
  lf.lfQuality = PROOF_QUALITY;
  lf.lfPitchAndFamily = 0;
  return FontHandle(CreateFontIndirectW(&lf));
}

LogFontA DefaultGuiLogFont() {
  LOGFONTW lf{};
  GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof lf, &lf);
  LogFontA out{};
  out.lfHeight = lf.lfHeight;
  out.lfWidth = lf.lfWidth;
  out.lfEscapement = lf.lfEscapement;
  out.lfOrientation = lf.lfOrientation;
  out.lfWeight = lf.lfWeight;
  out.lfItalic = lf.lfItalic;
  out.lfUnderline = lf.lfUnderline;
  out.lfStrikeOut = lf.lfStrikeOut;
  out.lfCharSet = lf.lfCharSet;
  out.lfOutPrecision = lf.lfOutPrecision;
  out.lfClipPrecision = lf.lfClipPrecision;
  out.lfQuality = lf.lfQuality;
  out.lfPitchAndFamily = lf.lfPitchAndFamily;
  WideCharToMultiByte(kGbkCodePage, 0, lf.lfFaceName, -1, out.lfFaceName, sizeof out.lfFaceName - 1, nullptr,
                      nullptr);
  return out;
}

bool WriteFontProperty(StoredFont* font, int32_t sub, const PropertyIn& in) {
  LogFontA next = font->present ? font->font : DefaultGuiLogFont();
  if (!ApplyFontValue(&next, sub, in)) return false;
  font->font = next;
  font->present = true;
  return true;
}

bool ReadFontProperty(const StoredFont& font, int32_t sub, PropertyOut* out) {
  return ReadFontValue(font.present ? font.font : DefaultGuiLogFont(), sub, out);
}
