// PageView with the system's browser control, as the program runs it. Wine
// here has no HTML engine (no Gecko, mshtml switched off), so no page is ever
// drawn; what Wine's control reports of a navigation is checked instead.
#include <gtest/gtest.h>
#include <richedit.h>
#include <windows.h>

#include <algorithm>
#include <span>
#include <string>
#include <vector>

#include "components/html_viewer_win32.h"
#include "core/pages.h"
#include "format/program_windows.h"
#include "format/property_fields.h"
#include "format/window_ids.h"
#include "services/services.h"
#include "support/test_support.h"
#include "windows/live_window_win32.h"
#include "windows/property_access.h"

namespace {

constexpr int kFontSize = PropertyIndex<HtmlViewerProperties>("FontSize"),
              kOffline = PropertyIndex<HtmlViewerProperties>("Offline"),
              kSilent = PropertyIndex<HtmlViewerProperties>("Silent"),
              kUrl = PropertyIndex<HtmlViewerProperties>("url");

std::vector<std::string> g_targets;  // url as WillNavigate handlers read it

HandlerResult NoteTarget(const int32_t*, int32_t) {
  Text url = GetControlText(ids::MainWindow, ids::MainWindow_PageView, kUrl);
  g_targets.push_back(url.get() ? url.get() : "");
  return {false, 0};
}
const EventBinding kWillNavigate[] = {{0, NoteTarget}};

class RealBrowserTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetBrowserFactory(nullptr);
    SetHtmlEngineCheck(engine_);
    ReadProgramWindows({});
    WindowDescription* w = ProgramWindows().Find(ids::MainWindow);
    w->RecordAt(w->FindRecord(ids::MainWindow_PageView))->bindings =
        std::span<const EventBinding>(kWillNavigate);
    g_targets.clear();
    window_ = LiveWindow::Load(ids::MainWindow);
    ASSERT_NE(window_, nullptr) << "MainWindow loads with the system's browser control";
  }
  void TearDown() override {
    if (window_) window_->Destroy();
    SetHtmlEngineCheck(nullptr);
  }
  static bool Yes() { return true; }
  // Wine here has the control but no engine: these tests host the control anyway.
  bool (*engine_)() = Yes;
  HWND PageView() const { return window_->FindControl(ids::MainWindow_PageView)->hwnd(); }
  LiveWindow* window_ = nullptr;
};

TEST_F(RealBrowserTest, MainWindowHostsALiveBrowserControlInPageView) {
  HWND browser = GetDlgItem(PageView(), 0xE900);
  ASSERT_NE(browser, nullptr);
  RECT client, inside;
  GetClientRect(PageView(), &client);
  GetWindowRect(browser, &inside);
  MapWindowPoints(HWND_DESKTOP, PageView(), reinterpret_cast<POINT*>(&inside), 2);
  EXPECT_TRUE(EqualRect(&client, &inside));
  EXPECT_TRUE(GetWindowLongPtrW(browser, GWL_STYLE) & WS_VISIBLE);
  EXPECT_EQ(FindWindowExW(PageView(), nullptr, L"RICHEDIT50W", nullptr), nullptr) << "no text view beside it";

  const struct {
    const char* label;
    int index;
    int64_t written, read;
  } rows[] = {
      {"FontSize 3", kFontSize, 3, 3}, {"FontSize 9 is 4", kFontSize, 9, 4}, {"Offline off", kOffline, 0, 0},
      {"Offline on", kOffline, 1, 1},  {"Silent on", kSilent, 1, 1},         {"Silent off", kSilent, 0, 0},
  };
  EXPECT_EQ(GetControlNumber(ids::MainWindow, ids::MainWindow_PageView, kOffline), 1)
      << "PageView starts offline";
  for (const auto& row : rows) {
    SetControlNumber(ids::MainWindow, ids::MainWindow_PageView, row.index, row.written);
    EXPECT_EQ(GetControlNumber(ids::MainWindow, ids::MainWindow_PageView, row.index), row.read) << row.label;
  }
}

TEST_F(RealBrowserTest, WritingUrlStartsANavigationToThePathUnchanged) {
  ScratchDir dir;
  const std::string page = dir.File("velmora365.html");
  ASSERT_TRUE(WriteWholeFile(page, "<html><title>t</title><body>x</body></html>"));
  SetControlText(ids::MainWindow, ids::MainWindow_PageView, kUrl, page.c_str());
  PumpMessages(500);
  // Wine's control reports BeforeNavigate2 for the path; with no HTML engine
  // the document itself never loads, so DocumentComplete is not awaited.
  ASSERT_FALSE(g_targets.empty()) << "no WillNavigate for the written address";
  EXPECT_EQ(g_targets[0], page) << "the handler reads the pending navigation's target";
}

// A system without an HTML engine: PageView says so, names the page and opens
// it in the desktop's browser; a later address updates both.
class NoHtmlEngineTest : public RealBrowserTest {
 protected:
  void SetUp() override {
    engine_ = No;
    RealBrowserTest::SetUp();
    // On show, so that its pixels can be read back.
    if (window_) ShowWindow(window_->hwnd(), SW_SHOWNOACTIVATE);
  }
  static bool No() { return false; }
  // The view's client area as pixels, to see its text change.
  std::vector<COLORREF> Pixels() {
    UpdateWindow(PageView());
    RECT r;
    GetClientRect(PageView(), &r);
    HDC dc = GetDC(PageView());
    std::vector<COLORREF> out;
    for (int y = 0; y < 60; y += 2) {
      for (int x = 0; x < r.right; x += 2) out.push_back(GetPixel(dc, x, y));
    }
    ReleaseDC(PageView(), dc);
    return out;
  }
};

TEST_F(NoHtmlEngineTest, PageViewSaysSoAndOpensThePageInTheBrowser) {
  EXPECT_EQ(GetDlgItem(PageView(), 0xE900), nullptr) << "no browser control";
  HWND open = FindWindowExW(PageView(), nullptr, L"Button", nullptr);
  ASSERT_NE(open, nullptr);
  EXPECT_FALSE(IsWindowEnabled(open)) << "nothing to open yet";
  const std::vector<COLORREF> blank = Pixels();
  SetControlText(ids::MainWindow, ids::MainWindow_PageView, kUrl, "C:\\run\\velmora365.html");
  const std::vector<COLORREF> first = Pixels();
  SetControlText(ids::MainWindow, ids::MainWindow_PageView, kUrl, "C:\\run\\za32xship5.html");
  EXPECT_NE(first, blank) << "the page's name is shown";
  EXPECT_NE(Pixels(), first) << "a new address shows its own name";
  Text url = GetControlText(ids::MainWindow, ids::MainWindow_PageView, kUrl);
  EXPECT_STREQ(url.get(), "C:\\run\\za32xship5.html");
  EXPECT_TRUE(IsWindowEnabled(open));
  ShellExecuteLog shell;
  ASSERT_TRUE(shell.installed());
  SendMessageW(open, BM_CLICK, 0, 0);
  ASSERT_EQ(shell.calls().size(), 1u);
  EXPECT_EQ(shell.calls()[0].file, L"C:\\run\\za32xship5.html");
  EXPECT_TRUE(g_targets.empty()) << "no navigation events";
}

// Without an engine the page itself shows under the notice as rich text.
class PageTextTest : public NoHtmlEngineTest {
 protected:
  HWND View() const { return FindWindowExW(PageView(), nullptr, L"RICHEDIT50W", nullptr); }
  std::wstring ViewText() const {
    std::wstring text(GetWindowTextLengthW(View()) + 1, L'\0');
    text.resize(GetWindowTextW(View(), text.data(), static_cast<int>(text.size())));
    return text;
  }
  std::string WritePage(int index) {
    const std::string path = dir_.File(kContentPages[index].file_name);
    const ByteArray bytes = kContentPages[index].bytes;
    EXPECT_TRUE(WriteWholeFile(
        path, std::string(reinterpret_cast<const char*>(ByteArrayData(bytes)), bytes->length)));
    return path;
  }
  // Keys as a person presses them, with Ctrl held in the thread's key state.
  void CtrlKey(WORD key) {
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_CONTROL] = 0x80;
    SetKeyboardState(keys);
    SendMessageW(View(), WM_KEYDOWN, key, 1);
    SendMessageW(View(), WM_KEYUP, key, 0xC0000001);
    keys[VK_CONTROL] = 0;
    SetKeyboardState(keys);
  }
  static std::wstring ClipboardText() {
    std::wstring text;
    if (!OpenClipboard(nullptr)) return text;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
      text = static_cast<const wchar_t*>(GlobalLock(data));
      GlobalUnlock(data);
    }
    CloseClipboard();
    return text;
  }
  ScratchDir dir_;
};

TEST_F(PageTextTest, ShowsThePageCopiesItsTextAndOpensItsLinks) {
  ASSERT_NE(View(), nullptr) << "a RichEdit from the system's msftedit.dll";
  EXPECT_TRUE(GetWindowLongPtrW(View(), GWL_STYLE) & ES_READONLY);
  const std::string first = WritePage(0);
  SetControlText(ids::MainWindow, ids::MainWindow_PageView, kUrl, first.c_str());
  EXPECT_EQ(ViewText(), L"") << "filled when the message loop turns, as a navigation completes";
  PumpMessages();
  EXPECT_EQ(GetControlText(ids::MainWindow, ids::MainWindow_PageView, kUrl).c_str(), first)
      << "url reads as written";
  const std::wstring text = ViewText();
  EXPECT_NE(text.find(L"1、《从朋友到恋人》图文版\t下载 nPnI\t下载 jmGN\r"), std::wstring::npos);
  EXPECT_EQ(text.find(L"tableqvd"), std::wstring::npos) << "no script";

  // The view is set in the notice's face.
  LOGFONTW notice{};
  GetObjectW(reinterpret_cast<HFONT>(SendMessageW(GetDlgItem(PageView(), 1), WM_GETFONT, 0, 0)),
             sizeof notice, &notice);
  CHARFORMAT2W look{};
  look.cbSize = sizeof look;
  SendMessageW(View(), EM_GETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&look));
  EXPECT_STREQ(look.szFaceName, notice.lfFaceName);

  // A click on the first row's first link hands exactly its address to the shell.
  UpdateWindow(View());
  // The window text ends paragraphs in CR LF, the control's positions in CR only.
  const size_t found = text.find(L"下载 nPnI");
  const LONG link = static_cast<LONG>(found - std::count(text.begin(), text.begin() + found, L'\n'));
  POINTL at{};
  SendMessageW(View(), EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&at), link + 1);
  {
    ShellExecuteLog shell;
    ASSERT_TRUE(shell.installed());
    const LPARAM point = MAKELPARAM(at.x + 2, at.y + 4);
    SendMessageW(View(), WM_LBUTTONDOWN, MK_LBUTTON, point);
    SendMessageW(View(), WM_LBUTTONUP, 0, point);
    ASSERT_EQ(shell.calls().size(), 1u);
    EXPECT_EQ(shell.calls()[0].file, L"https://pan.yunpan.example/s/x9e2Gmml");
  }

  // Ctrl+A, Ctrl+C: the page's text, access codes with it, as Unicode.
  SetFocus(View());
  CtrlKey('A');
  CtrlKey('C');
  const std::wstring copied = ClipboardText();
  EXPECT_NE(copied.find(L"下载 jmGN"), std::wstring::npos) << "copied: " << copied.size() << " characters";
  EXPECT_NE(copied.find(L"132、"), std::wstring::npos) << "every row at once";

  // A second url replaces the page and starts at its top.
  SendMessageW(View(), WM_VSCROLL, SB_BOTTOM, 0);
  SetControlText(ids::MainWindow, ids::MainWindow_PageView, kUrl, WritePage(2).c_str());
  PumpMessages();
  EXPECT_NE(ViewText().find(L"1、开场惯例：观察式开场"), std::wstring::npos);
  EXPECT_EQ(ViewText().find(L"《从朋友到恋人》"), std::wstring::npos);
  EXPECT_EQ(SendMessageW(View(), EM_GETFIRSTVISIBLELINE, 0, 0), 0);

  // A page file that cannot be read empties the view and says so on the name line.
  const std::vector<COLORREF> readable = Pixels();
  SetControlText(ids::MainWindow, ids::MainWindow_PageView, kUrl,
                 (dir_.path() + "\\gone\\huashugli598.html").c_str());
  EXPECT_EQ(ViewText(), L"");
  EXPECT_NE(Pixels(), readable) << "the same name, said to be unreadable";
}

}  // namespace
