#include "components/fonts_win32.h"

#include <cstring>
#include <string>
#include <vector>

#include "base/wide_win32.h"
#include "skinengine/caption_font_win32.h"

namespace {

int CALLBACK NoteFamily(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
  *reinterpret_cast<bool*>(found) = true;
  return 0;  // one is enough
}

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

bool FaceInstalled(const wchar_t* face) {
  struct Answer {
    std::wstring face;
    bool installed;
  };
  static std::vector<Answer> answers;  // the UI thread's only
  for (const Answer& a : answers) {
    if (lstrcmpiW(a.face.c_str(), face) == 0) return a.installed;
  }
  LOGFONTW query{};
  query.lfCharSet = DEFAULT_CHARSET;
  lstrcpynW(query.lfFaceName, face, LF_FACESIZE);
  bool found = false;
  WindowDC screen(nullptr);
  EnumFontFamiliesExW(screen.get(), &query, NoteFamily, reinterpret_cast<LPARAM>(&found), 0);
  answers.push_back({face, found});
  return found;
}

FontHandle CreateReadableFont(LOGFONTW lf) {
  if (!lf.lfFaceName[0] || !FaceInstalled(lf.lfFaceName)) lf.lfCharSet = GB2312_CHARSET;
  return FontHandle(CreateFontIndirectW(&lf));
}

HFONT DefaultGuiFont() {
  static HFONT chosen = nullptr;
  static FontHandle made;  // only where the stock font draws no Chinese
  if (chosen) return chosen;
  HFONT stock = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  chosen = stock;
  if (!DrawsChinese(stock)) {
    LOGFONTW lf{};
    GetObjectW(stock, sizeof lf, &lf);
    lf.lfFaceName[0] = 0;  // no face: chosen by script, and so are records written from this one
    made = CreateReadableFont(lf);
    if (made) chosen = made.get();
  }
  return chosen;
}

FontHandle CreateStoredFont(const LogFontA& stored) { return CreateReadableFont(WideLogFont(stored)); }

FontHandle CreateControlFont(const LogFontA& stored) {
  LOGFONTW lf = WideLogFont(stored);
  // The stored character set (GB2312 everywhere) would pin the face; the
  // default set lets the face name decide, as on a non-Chinese system.
  lf.lfCharSet = DEFAULT_CHARSET;
  lf.lfOutPrecision = 0;
  lf.lfClipPrecision = 0;
  lf.lfQuality = PROOF_QUALITY;
  lf.lfPitchAndFamily = 0;
  return CreateReadableFont(lf);
}

LogFontA DefaultGuiLogFont() {
  LOGFONTW lf{};
  GetObjectW(DefaultGuiFont(), sizeof lf, &lf);
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
