// Windows loaded from their descriptions, as a caller sees them: window
// classes, places, child identifiers, stacking, visibility per page, focus,
// fonts, cursors and the messages of loading.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "components/property_access.h"
#include "components_test_support.h"
#include "forms/program_windows.h"

namespace {

using namespace ids;

constexpr int kCurrentPage = 12;

struct ControlRow {
  const char* name;
  uint32_t id;
  const wchar_t* window_class;
  int page;  // -1: on the window's client area; else the page of TabPager
  int left, top, width, height;
  bool tab_stop;
};

// MainWindow's 29 controls in record order.
const ControlRow kMainControls[] = {
    {"UpdateButton", kUpdateButton, L"Button", -1, 786, 20, 40, 24, true},
    {"VersionLabel", kVersionLabel, L"VelmoraLabel", 0, 8, 398, 32, 16, false},
    {"HelpButton", kHelpButton, L"Button", -1, 786, 48, 40, 24, true},
    {"PromoButton", kPromoButton, L"Button", -1, 620, 20, 136, 54, true},
    {"ContactPicture", kContactPicture, L"VelmoraPicBox", 3, 416, 182, 216, 176, false},
    {"ChatButton1", kChatButton1, L"Button", 3, 120, 320, 152, 40, true},
    {"ChatButton2", kChatButton2, L"Button", 3, 120, 256, 152, 40, true},
    {"ChatButton3", kChatButton3, L"Button", 3, 120, 190, 152, 40, true},
    {"ContactLabel", kContactLabel, L"VelmoraLabel", 3, 136, 54, 456, 96, false},
    {"ViewButton3", kViewButton3, L"Button", 1, 256, 224, 80, 26, true},
    {"ViewButton2", kViewButton2, L"Button", 1, 624, 160, 80, 26, true},
    {"ViewButton1", kViewButton1, L"Button", 1, 472, 77, 80, 26, true},
    {"FeeNoteBox", kFeeNoteBox, L"Edit", 1, 40, 310, 664, 88, true},
    {"CourseListLabel", kCourseListLabel, L"VelmoraLabel", 1, 40, 30, 656, 328, false},
    {"HistoryBox", kHistoryBox, L"Edit", 2, 40, 54, 656, 336, true},
    {"TabPicture3", kTabPicture3, L"VelmoraPicBox", -1, 460, 24, 120, 44, false},
    {"TabPicture2", kTabPicture2, L"VelmoraPicBox", -1, 316, 24, 120, 44, false},
    {"TabPicture1", kTabPicture1, L"VelmoraPicBox", -1, 173, 24, 120, 44, false},
    {"TabPicture0", kTabPicture0, L"VelmoraPicBox", -1, 30, 24, 120, 44, false},
    {"HeaderBand", kHeaderBand, L"VelmoraLabel", -1, 16, 14, 820, 66, false},
    {"PageView", kPageView, L"VelmoraHtmlHost", 0, 140, 32, 664, 360, true},
    {"PagePicture5", kPagePicture5, L"VelmoraPicBox", 0, 12, 336, 120, 40, false},
    {"PagePicture4", kPagePicture4, L"VelmoraPicBox", 0, 12, 264, 120, 40, false},
    {"PagePicture3", kPagePicture3, L"VelmoraPicBox", 0, 12, 192, 120, 40, false},
    {"PagePicture2", kPagePicture2, L"VelmoraPicBox", 0, 12, 120, 120, 40, false},
    {"PagePicture1", kPagePicture1, L"VelmoraPicBox", 0, 12, 48, 120, 40, false},
    {"TabPager", kTabPager, L"CPageControl", -1, 16, 90, 820, 416, false},
    {"PageTextLabel", kPageTextLabel, L"VelmoraLabel", 0, 136, -34, 20, 16, false},
    {"LatestVersionLabel", kLatestVersionLabel, L"VelmoraLabel", -1, 296, 56, 20, 16, false},
};
constexpr int kControlCount = sizeof kMainControls / sizeof kMainControls[0];

std::wstring ClassOf(HWND hwnd) {
  wchar_t name[64] = {};
  GetClassNameW(hwnd, name, 64);
  return name;
}

RECT RectInParent(HWND hwnd) {
  RECT rc;
  GetWindowRect(hwnd, &rc);
  MapWindowPoints(HWND_DESKTOP, GetParent(hwnd), reinterpret_cast<POINT*>(&rc), 2);
  return rc;
}

bool HasStyle(HWND hwnd, LONG_PTR bits) { return (GetWindowLongPtrW(hwnd, GWL_STYLE) & bits) == bits; }
bool Shown(HWND hwnd) { return HasStyle(hwnd, WS_VISIBLE); }

class MainWindowTest : public ::testing::Test {
 protected:
  MainWindowTest() : window_(kMainWindow) {}
  HWND Hwnd(uint32_t id) const { return window_.Hwnd(id); }
  LoadedWindow window_;
};

TEST_F(MainWindowTest, EveryControlHasItsClassPlaceAndChildIdentifier) {
  ASSERT_NE(window_.get(), nullptr);
  HWND tab_pager = Hwnd(kTabPager);
  for (int i = 0; i < kControlCount; ++i) {
    const ControlRow& row = kMainControls[i];
    SCOPED_TRACE(row.name);
    HWND hwnd = Hwnd(row.id);
    ASSERT_NE(hwnd, nullptr);
    EXPECT_EQ(lstrcmpiW(ClassOf(hwnd).c_str(), row.window_class), 0) << "class is " << ClassOf(hwnd).size();
    EXPECT_EQ(GetParent(hwnd), row.page < 0 ? window_->hwnd() : tab_pager);
    RECT rc = RectInParent(hwnd);
    EXPECT_EQ(rc.left, row.left);
    EXPECT_EQ(rc.top, row.top);
    EXPECT_EQ(rc.right - rc.left, row.width);
    EXPECT_EQ(rc.bottom - rc.top, row.height);
    // Created last record first: the last record got 100.
    EXPECT_EQ(GetDlgCtrlID(hwnd), 100 + 10 * (kControlCount - 1 - i));
    EXPECT_EQ(HasStyle(hwnd, WS_TABSTOP), row.tab_stop);
    EXPECT_TRUE(HasStyle(hwnd, WS_CHILD | WS_CLIPSIBLINGS));
  }
}

TEST_F(MainWindowTest, ChildrenLieInRecordOrderWithinEachParent) {
  ASSERT_NE(window_.get(), nullptr);
  for (HWND parent : {window_->hwnd(), Hwnd(kTabPager)}) {
    std::vector<HWND> expected;
    for (const ControlRow& row : kMainControls) {
      if (GetParent(Hwnd(row.id)) == parent) expected.push_back(Hwnd(row.id));
    }
    // Top to bottom, leaving out windows that are not recorded controls
    // (the page control's own scroll buttons).
    std::vector<HWND> seen;
    for (HWND h = GetWindow(parent, GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT)) {
      if (std::find(expected.begin(), expected.end(), h) != expected.end()) seen.push_back(h);
    }
    EXPECT_EQ(seen, expected);
  }
}

TEST_F(MainWindowTest, LoadingLeavesTheFrameHiddenAndOnlyTheFirstPageShown) {
  ASSERT_NE(window_.get(), nullptr);
  EXPECT_FALSE(Shown(window_->hwnd()));
  for (const ControlRow& row : kMainControls) {
    EXPECT_EQ(Shown(Hwnd(row.id)), row.page <= 0) << row.name;
  }
}

struct PageRow {
  int page;
  uint32_t focus;
};
const PageRow kPages[] = {{1, kViewButton3}, {2, kHistoryBox}, {3, kChatButton1}, {0, kPageView}};

TEST_F(MainWindowTest, SelectingAPageShowsItsControlsAndFocusesTheFirstThatCanTakeIt) {
  ASSERT_NE(window_.get(), nullptr);
  window_.ShowAndPaint();
  for (const PageRow& p : kPages) {
    SCOPED_TRACE("page " + std::to_string(p.page));
    SetControlNumber(kMainWindow, kTabPager, kCurrentPage, p.page);
    EXPECT_EQ(GetControlNumber(kMainWindow, kTabPager, kCurrentPage), p.page);
    for (const ControlRow& row : kMainControls) {
      // The header controls stay on every page.
      EXPECT_EQ(Shown(Hwnd(row.id)), row.page < 0 || row.page == p.page) << row.name;
    }
    EXPECT_EQ(GetFocus(), Hwnd(p.focus));
  }
}

TEST_F(MainWindowTest, AStoredHiddenChildStaysHiddenWhenItsPageComesBack) {
  ASSERT_NE(window_.get(), nullptr);
  SetControlNumber(kMainWindow, kTabPager, kCurrentPage, 0);
  SetControlNumber(kMainWindow, kPagePicture1, 5, 0);  // visible: no
  SetControlNumber(kMainWindow, kTabPager, kCurrentPage, 2);
  SetControlNumber(kMainWindow, kTabPager, kCurrentPage, 0);
  EXPECT_FALSE(Shown(Hwnd(kPagePicture1)));
  EXPECT_TRUE(Shown(Hwnd(kPagePicture2)));
  // Writing visible shows a page's child whatever page is current.
  SetControlNumber(kMainWindow, kChatButton1, 5, 1);
  EXPECT_TRUE(Shown(Hwnd(kChatButton1)));
}

// Loading sends 0x8076 to each control, last record first, then the frame.
std::vector<HWND> g_load_complete;
LRESULT CALLBACK RecordLoadComplete(int code, WPARAM wp, LPARAM lp) {
  const auto* m = reinterpret_cast<const CWPSTRUCT*>(lp);
  if (code == HC_ACTION && m->message == kLoadCompleteMessage) g_load_complete.push_back(m->hwnd);
  return CallNextHookEx(nullptr, code, wp, lp);
}

TEST(LoadingTest, LoadCompleteGoesToEachControlLastRecordFirstThenTheWindow) {
  PrepareProgramWindows();
  g_load_complete.clear();
  HHOOK hook = SetWindowsHookExW(WH_CALLWNDPROC, RecordLoadComplete, nullptr, GetCurrentThreadId());
  LoadedWindow window(kMainWindow);
  UnhookWindowsHookEx(hook);
  ASSERT_NE(window.get(), nullptr);
  std::vector<HWND> expected;
  for (int i = kControlCount - 1; i >= 0; --i) expected.push_back(window.Hwnd(kMainControls[i].id));
  expected.push_back(window->hwnd());
  EXPECT_EQ(g_load_complete, expected);
}

struct FrameRow {
  const char* name;
  uint32_t id;
  int width, height;
  const wchar_t* caption_start;
  size_t control_count;
};
const FrameRow kFrames[] = {
    {"MainWindow", kMainWindow, 856, 550, L"Velmora-", 29},
    {"HelpWindow", kHelpWindow, 380, 274, L"下载帮助     QQ：", 2},
    {"NewVersionWindow", kNewVersionWindow, 551, 306, L"最新版", 12},
    {"FollowWindow", kFollowWindow, 373, 409, L"泡妞资源  随时有更新……", 3},
};

TEST(LoadingTest, EachFrameIsAFixedCentredWTWindowOfItsStoredSize) {
  int screen_w = GetSystemMetrics(SM_CXSCREEN), screen_h = GetSystemMetrics(SM_CYSCREEN);
  for (const FrameRow& f : kFrames) {
    SCOPED_TRACE(f.name);
    LoadedWindow window(f.id);
    ASSERT_NE(window.get(), nullptr);
    HWND frame = window->hwnd();
    EXPECT_EQ(ClassOf(frame), L"WTWindow");
    EXPECT_EQ(GetClassLongW(frame, GCL_STYLE), static_cast<DWORD>(CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS));
    EXPECT_EQ(GetClassLongPtrW(frame, GCLP_HBRBACKGROUND), 0);
    EXPECT_EQ(reinterpret_cast<HCURSOR>(GetClassLongPtrW(frame, GCLP_HCURSOR)),
              LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)));
    RECT rc;
    GetWindowRect(frame, &rc);
    EXPECT_EQ(rc.right - rc.left, f.width);
    EXPECT_EQ(rc.bottom - rc.top, f.height);
    EXPECT_EQ(rc.left, (screen_w - f.width) / 2);
    EXPECT_EQ(rc.top, (screen_h - f.height) / 2);
    EXPECT_TRUE(HasStyle(frame, WS_CAPTION | WS_SYSMENU));
    EXPECT_FALSE(HasStyle(frame, WS_THICKFRAME));
    EXPECT_FALSE(HasStyle(frame, WS_MINIMIZEBOX));
    EXPECT_FALSE(HasStyle(frame, WS_MAXIMIZEBOX));
    EXPECT_FALSE(HasStyle(frame, WS_CHILD));
    wchar_t caption[128] = {};
    GetWindowTextW(frame, caption, 128);
    EXPECT_EQ(std::wstring(caption).rfind(f.caption_start, 0), 0u) << "caption starts differently";
    EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageW(frame, WM_GETFONT, 0, 0)),
              GetStockObject(DEFAULT_GUI_FONT));
    size_t children = 0;
    for (const ControlRecord& r : window->description()->records) {
      if (r.kind != kKindWindow && window->FindControl(r.id)) ++children;
    }
    EXPECT_EQ(children, f.control_count);
  }
}

TEST(LoadingTest, AWindowLoadsOnceAndAgainAfterItIsGone) {
  PrepareProgramWindows();
  EXPECT_EQ(LiveWindow::Load(0x52999999), nullptr) << "not described";
  LiveWindow* first = LiveWindow::Load(kHelpWindow);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(FindLiveWindow(kHelpWindow), first);
  EXPECT_EQ(LiveWindow::Load(kHelpWindow), nullptr) << "already loaded";
  // Closing the frame directly forgets the window, as Destroy does.
  DestroyWindow(first->hwnd());
  EXPECT_EQ(FindLiveWindow(kHelpWindow), nullptr);
  EXPECT_EQ(ProgramWindows().Find(kHelpWindow)->live_window, nullptr);
  LiveWindow* second = LiveWindow::Load(kHelpWindow);
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(ProgramWindows().Find(kHelpWindow)->live_window, second);
  second->Destroy();
  EXPECT_EQ(FindLiveWindow(kHelpWindow), nullptr);
}

BOOL CALLBACK CountOne(HWND, LPARAM count) {
  ++*reinterpret_cast<int*>(count);
  return TRUE;
}

int CountThreadWindows() {
  int count = 0;
  EnumThreadWindows(GetCurrentThreadId(), CountOne, reinterpret_cast<LPARAM>(&count));
  return count;
}

TEST(LoadingTest, AControlThatCannotBeMadeFailsTheLoadAndLeavesNothing) {
  PrepareProgramWindows();
  WindowDescription* help = ProgramWindows().Find(kHelpWindow);
  ControlRecord* label = help->RecordAt(help->FindRecord(0x160100a4));
  const uint8_t future_version[] = {99, 0, 0, 0};
  ByteView stored = label->properties;
  label->properties = ByteView{future_version, sizeof future_version};
  int before = CountThreadWindows();
  EXPECT_EQ(LiveWindow::Load(kHelpWindow), nullptr);
  label->properties = stored;
  EXPECT_EQ(CountThreadWindows(), before);
  EXPECT_EQ(FindLiveWindow(kHelpWindow), nullptr);
  EXPECT_EQ(help->live_window, nullptr);
  LoadedWindow again(kHelpWindow);
  EXPECT_NE(again.get(), nullptr);
}

struct FontRow {
  const char* name;
  uint32_t window, id;
  const wchar_t* face;  // null: the default GUI font
  int height, weight;
};
const FontRow kFonts[] = {
    {"UpdateButton: no face", kMainWindow, kUpdateButton, L"", -14, 700},
    {"PromoButton", kMainWindow, kPromoButton, L"微软雅黑", -16, 400},
    {"ChatButton1", kMainWindow, kChatButton1, L"微软雅黑", -14, 400},
    {"FeeNoteBox", kMainWindow, kFeeNoteBox, L"微软雅黑", -14, 400},
    {"ContactLabel", kMainWindow, kContactLabel, L"微软雅黑", -16, 700},
    {"HistoryBox: none stored", kMainWindow, kHistoryBox, nullptr, 0, 0},
    {"VersionLabel: none stored", kMainWindow, kVersionLabel, nullptr, 0, 0},
    {"NoticeLabel", kNewVersionWindow, kNoticeLabel, L"微软雅黑", -16, 700},
    {"AddressBox1: none stored", kNewVersionWindow, kAddressBox1, nullptr, 0, 0},
};

TEST(LoadingTest, FontsAreTheStoredOnesWithTheControlReplacements) {
  PrepareProgramWindows();
  for (const FontRow& row : kFonts) {
    SCOPED_TRACE(row.name);
    LoadedWindow window(row.window);
    ASSERT_NE(window.get(), nullptr);
    HFONT font = reinterpret_cast<HFONT>(SendMessageW(window.Hwnd(row.id), WM_GETFONT, 0, 0));
    if (!row.face) {
      EXPECT_EQ(font, GetStockObject(DEFAULT_GUI_FONT));
      continue;
    }
    LOGFONTW lf{};
    ASSERT_EQ(GetObjectW(font, sizeof lf, &lf), static_cast<int>(sizeof lf));
    EXPECT_EQ(std::wstring(lf.lfFaceName), row.face);
    EXPECT_EQ(lf.lfHeight, row.height);
    EXPECT_EQ(lf.lfWeight, row.weight);
    EXPECT_EQ(lf.lfCharSet, DEFAULT_CHARSET) << "the stored 134 is replaced";
    EXPECT_EQ(lf.lfOutPrecision, 0);
    EXPECT_EQ(lf.lfClipPrecision, 0);
    EXPECT_EQ(lf.lfQuality, PROOF_QUALITY);
    EXPECT_EQ(lf.lfPitchAndFamily, 0);
  }
}

struct CursorRow {
  const char* name;
  uint32_t id;
  int system;  // a system cursor's identifier, or 0
  bool custom;
  int hot_x, hot_y;
};
const CursorRow kCursors[] = {
    {"UpdateButton: system hand", kUpdateButton, 32649, false, 0, 0},
    {"PromoButton: custom, three images", kPromoButton, 0, true, 0, 0},
    {"TabPicture0: custom A", kTabPicture0, 0, true, 2, 0},
    {"PagePicture5: custom A", kPagePicture5, 0, true, 2, 0},
    {"PageView: custom B", kPageView, 0, true, 0, 0},
    {"TabPager: custom C", kTabPager, 0, true, 0, 0},
    {"ContactPicture: the kind's own", kContactPicture, 0, false, 0, 0},
};

TEST_F(MainWindowTest, CursorsAreShownOverTheirControlsWithTheStoredHotSpots) {
  ASSERT_NE(window_.get(), nullptr);
  for (const CursorRow& row : kCursors) {
    SCOPED_TRACE(row.name);
    HWND hwnd = Hwnd(row.id);
    HCURSOR cursor = window_->CursorFor(row.id);
    if (!row.system && !row.custom) {
      EXPECT_EQ(cursor, nullptr);
      continue;
    }
    ASSERT_NE(cursor, nullptr);
    SetCursor(nullptr);
    // The control answers the system's question for itself.
    EXPECT_EQ(
        SendMessageW(hwnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(hwnd), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)),
        TRUE);
    EXPECT_EQ(GetCursor(), cursor);
    if (row.system) {
      EXPECT_EQ(cursor, LoadCursorW(nullptr, MAKEINTRESOURCEW(row.system)));
      continue;
    }
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(cursor, &info));
    EXPECT_FALSE(info.fIcon);
    EXPECT_EQ(info.xHotspot, static_cast<DWORD>(row.hot_x));
    EXPECT_EQ(info.yHotspot, static_cast<DWORD>(row.hot_y));
    BITMAP mask{};
    GetObjectW(info.hbmMask, sizeof mask, &mask);
    EXPECT_EQ(mask.bmWidth, 32);
    if (info.hbmColor) DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
  }
  // A parent's cursor does not cover its children: TabPager's cursor is not
  // set over a child that has none.
  HWND child = Hwnd(kContactPicture);
  SetCursor(nullptr);
  SendMessageW(child, WM_SETCURSOR, reinterpret_cast<WPARAM>(child), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  EXPECT_NE(GetCursor(), window_->CursorFor(kTabPager));
}

TEST(LoadingTest, EditBoxesKeepTheirStoredModesAndColours) {
  PrepareProgramWindows();
  LoadedWindow main(kMainWindow), update(kNewVersionWindow);
  ASSERT_NE(main.get(), nullptr);
  ASSERT_NE(update.get(), nullptr);
  HWND fee = main.Hwnd(kFeeNoteBox), address = update.Hwnd(kAddressBox1);
  EXPECT_TRUE(HasStyle(fee, ES_MULTILINE | ES_AUTOVSCROLL | WS_VSCROLL));
  EXPECT_FALSE(HasStyle(fee, ES_NOHIDESEL)) << "the selection hides when unfocused";
  EXPECT_FALSE(HasStyle(fee, ES_READONLY));
  EXPECT_TRUE(GetWindowLongPtrW(fee, GWL_EXSTYLE) & WS_EX_CLIENTEDGE) << "Border 1";
  EXPECT_FALSE(HasStyle(address, ES_MULTILINE));
  EXPECT_FALSE(HasStyle(address, WS_VSCROLL));
  EXPECT_TRUE(HasStyle(address, ES_AUTOHSCROLL));
  wchar_t text[32] = {};
  GetWindowTextW(fee, text, 32);
  EXPECT_EQ(std::wstring(text).rfind(L"为会要收费？", 0), 0u);

  // The parent hands WM_CTLCOLOREDIT to the box, which answers with its colours.
  HDC dc = GetDC(fee);
  SetTextColor(dc, RGB(1, 2, 3));
  auto brush = reinterpret_cast<HBRUSH>(SendMessageW(
      GetParent(fee), WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(fee)));
  ASSERT_NE(brush, nullptr);
  LOGBRUSH lb{};
  GetObjectW(brush, sizeof lb, &lb);
  EXPECT_EQ(lb.lbColor, RGB(255, 255, 255));
  EXPECT_EQ(GetTextColor(dc), RGB(0, 0, 0));
  EXPECT_EQ(GetBkColor(dc), RGB(255, 255, 255));
  ReleaseDC(fee, dc);
}

// Focus events of a button: bound for the test only, the program binds none.
std::vector<std::string> g_focus;
HandlerResult GotFocus(const int32_t*, int32_t) {
  g_focus.push_back("-7");
  return {false, 0};
}
HandlerResult LostFocus(const int32_t*, int32_t) {
  g_focus.push_back("-8");
  return {false, 0};
}
HandlerResult Clicked(const int32_t*, int32_t) {
  uint32_t window = 0, control = 0;
  EXPECT_TRUE(CurrentEventSource(&window, &control));
  EXPECT_EQ(window, kMainWindow);
  EXPECT_EQ(control, kUpdateButton);
  g_focus.push_back("0");
  return {false, 0};
}
const EventBinding kButtonBindings[] = {{-7, &GotFocus}, {-8, &LostFocus}, {0, &Clicked}};

TEST_F(MainWindowTest, AButtonRaisesClickedBeforeTheNotificationReturnsAndItsFocusEvents) {
  ASSERT_NE(window_.get(), nullptr);
  window_.ShowAndPaint();
  ControlRecord* record = window_->description()->RecordAt(window_->description()->FindRecord(kUpdateButton));
  std::span<const EventBinding> stored = record->bindings;
  record->bindings = std::span<const EventBinding>(kButtonBindings);
  g_focus.clear();
  SetFocus(Hwnd(kUpdateButton));
  SendMessageW(Hwnd(kUpdateButton), BM_CLICK, 0, 0);
  EXPECT_EQ(g_focus, (std::vector<std::string>{"-7", "0"}));
  SetFocus(Hwnd(kHelpButton));
  EXPECT_EQ(g_focus, (std::vector<std::string>{"-7", "0", "-8"}));
  record->bindings = stored;

  // The program's own binding: HelpButton's click reaches the recorder.
  RecordedEvents().clear();
  SendMessageW(window_->hwnd(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(Hwnd(kHelpButton)), BN_CLICKED),
               reinterpret_cast<LPARAM>(Hwnd(kHelpButton)));
  EXPECT_EQ(RecordedEvents(), (std::vector<std::string>{"52010001:160100a0"}));
}

TEST_F(MainWindowTest, ButtonsCentreTheirMultiLineCaptions) {
  ASSERT_NE(window_.get(), nullptr);
  HWND promo = Hwnd(kPromoButton);
  EXPECT_TRUE(HasStyle(promo, BS_MULTILINE | BS_CENTER | BS_VCENTER));
  wchar_t text[64] = {};
  GetWindowTextW(promo, text, 64);
  EXPECT_EQ(std::wstring(text), L"告别痛苦    点击\r\n轻松牵手    进入");
}

}  // namespace
