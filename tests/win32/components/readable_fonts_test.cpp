// Each font the program makes has glyphs for what it draws, and in the test
// prefix the stored face is the face drawn; --plain-fonts: a prefix mapping no face.
#include "base/wide_win32.h"
#include "components/texts_gbk.h"
#include "components_test_support.h"
#include "format/window_ids.h"
#include "skinengine/caption_font_win32.h"

bool g_plain_fonts = false;

namespace {

std::wstring TextOf(HWND hwnd) {
  wchar_t text[1024] = L"";
  GetWindowTextW(hwnd, text, 1024);
  return text;
}

void ExpectGlyphs(HFONT font, const std::wstring& text) {
  MemoryDC dc(CreateCompatibleDC(nullptr));
  SelectScope use(dc.get(), font);
  std::vector<WORD> glyphs(text.size());
  GetGlyphIndicesW(dc.get(), text.c_str(), static_cast<int>(text.size()), glyphs.data(),
                   GGI_MARK_NONEXISTING_GLYPHS);
  std::wstring missing;  // line breaks and tabs draw no glyph
  for (size_t i = 0; i < text.size(); ++i) {
    if (glyphs[i] == 0xFFFF && text[i] >= L' ') missing += text[i];
  }
  wchar_t face[LF_FACESIZE] = L"";
  GetTextFaceW(dc.get(), LF_FACESIZE, face);
  EXPECT_EQ(Gbk(missing.c_str()), "") << Gbk(text.c_str()) << ", drawn in " << Gbk(face);
  LOGFONTW asked{};
  GetObjectW(font, sizeof asked, &asked);
  const bool stored_face = g_plain_fonts || !asked.lfFaceName[0] || lstrcmpW(face, asked.lfFaceName) == 0;
  EXPECT_TRUE(stored_face) << Gbk(asked.lfFaceName) << " asked, " << Gbk(face) << " drawn";
}

BOOL CALLBACK ExpectChildGlyphs(HWND child, LPARAM) {
  ExpectGlyphs(reinterpret_cast<HFONT>(SendMessageW(child, WM_GETFONT, 0, 0)), TextOf(child));
  return TRUE;
}

TEST(ReadableFontsTest, EachFontTheWindowsMakeHasGlyphsForWhatItDraws) {
  EXPECT_TRUE(!g_plain_fonts || GetACP() == 1252) << "the plain prefix runs on a Western code page";
  FontHandle captions[] = {FontHandle(CreateCaptionFont(false)), FontHandle(CreateCaptionFont(true))};
  for (uint32_t id : {ids::MainWindow, ids::HelpWindow, ids::NewVersionWindow, ids::FollowWindow}) {
    LoadedWindow window(id);
    ASSERT_NE(window.get(), nullptr);
    EnumChildWindows(window->hwnd(), ExpectChildGlyphs, 0);
    for (const FontHandle& caption : captions) ExpectGlyphs(caption.get(), TextOf(window->hwnd()));
    if (id != ids::MainWindow) continue;
    // The page view's notice draws its lines in its button's font.
    HWND notice = FindWindowExW(window.Hwnd(ids::MainWindow_PageView), nullptr, L"Button", nullptr);
    ASSERT_NE(notice, nullptr) << "Wine has no HTML engine here, so the page view shows its notice";
    ExpectGlyphs(reinterpret_cast<HFONT>(SendMessageW(notice, WM_GETFONT, 0, 0)),
                 GbkToWide(gbk::kNoHtmlEngine) + GbkToWide(gbk::kPageFileIs));
  }
}

}  // namespace
