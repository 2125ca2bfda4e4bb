// Every font the program makes draws the texts it is given: each control of the
// four windows, the page view's notice and the engine's caption. Runs in the
// test prefix, which maps the stored faces to an installed font, and in a plain
// prefix that maps none (--plain-fonts), as a person's own Wine is.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/wide_win32.h"
#include "components/texts_gbk.h"
#include "components_test_support.h"
#include "skinengine/caption_font_win32.h"

bool g_plain_fonts = false;

namespace {

using namespace ids;

struct Drawn {
  HFONT font;
  std::wstring text;
  std::wstring who;
};

std::wstring TextOf(HWND hwnd) {
  std::wstring text(GetWindowTextLengthW(hwnd) + 1, L'\0');
  text.resize(GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size())));
  return text;
}

BOOL CALLBACK NoteChild(HWND hwnd, LPARAM into) {
  HFONT font = reinterpret_cast<HFONT>(SendMessageW(hwnd, WM_GETFONT, 0, 0));
  wchar_t kind[64] = L"";
  GetClassNameW(hwnd, kind, 64);
  std::wstring text = TextOf(hwnd);
  if (font && !text.empty()) {
    reinterpret_cast<std::vector<Drawn>*>(into)->push_back({font, text, kind + (L" " + text.substr(0, 12))});
  }
  return TRUE;
}

// The characters the font has no glyph for (line breaks and tabs draw none).
std::wstring Missing(HDC dc, const std::wstring& text) {
  std::vector<WORD> glyphs(text.size());
  if (GetGlyphIndicesW(dc, text.c_str(), static_cast<int>(text.size()), glyphs.data(),
                       GGI_MARK_NONEXISTING_GLYPHS) == GDI_ERROR) {
    return text;
  }
  std::wstring missing;
  for (size_t i = 0; i < text.size(); ++i) {
    if (glyphs[i] == 0xFFFF && text[i] >= L' ') missing += text[i];
  }
  return missing;
}

void ExpectReadable(const Drawn& row) {
  SCOPED_TRACE(row.who);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, row.font);
  wchar_t face[LF_FACESIZE] = L"";
  GetTextFaceW(dc, LF_FACESIZE, face);
  EXPECT_EQ(Missing(dc, row.text), L"") << "drawn in " << Gbk(face);
  LOGFONTW asked{};
  GetObjectW(row.font, sizeof asked, &asked);
  // Where the stored face is installed it is the face drawn.
  if (!g_plain_fonts && asked.lfFaceName[0]) {
    EXPECT_EQ(std::wstring(face), asked.lfFaceName);
  }
  SelectObject(dc, old);
  DeleteDC(dc);
}

TEST(ReadableFontsTest, EachFontTheWindowsMakeHasGlyphsForWhatItDraws) {
  if (g_plain_fonts) {
    EXPECT_EQ(GetACP(), 1252u) << "the plain prefix runs on a Western code page";
  }
  const HFONT captions[] = {CreateCaptionFont(false), CreateCaptionFont(true)};
  ASSERT_TRUE(captions[0] && captions[1]);
  for (uint32_t id : {kMainWindow, kHelpWindow, kNewVersionWindow, kFollowWindow}) {
    LoadedWindow window(id);
    ASSERT_NE(window.get(), nullptr);
    std::vector<Drawn> rows;
    EnumChildWindows(window->hwnd(), NoteChild, reinterpret_cast<LPARAM>(&rows));
    for (HFONT caption : captions) rows.push_back({caption, TextOf(window->hwnd()), L"the engine's caption"});
    if (id == kMainWindow) {
      // The page view's notice draws its lines in its button's font.
      HWND button = FindWindowExW(window.Hwnd(kPageView), nullptr, L"Button", nullptr);
      ASSERT_NE(button, nullptr) << "Wine has no HTML engine here, so the page view shows its notice";
      HFONT notice = reinterpret_cast<HFONT>(SendMessageW(button, WM_GETFONT, 0, 0));
      rows.push_back({notice, GbkToWide(gbk::kNoHtmlEngine) + GbkToWide(gbk::kPageFileIs), L"the notice"});
    }
    EXPECT_GE(rows.size(), 4u);
    for (const Drawn& row : rows) ExpectReadable(row);
  }
  for (HFONT caption : captions) DeleteObject(caption);
}

}  // namespace
