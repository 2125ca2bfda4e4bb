// Windows loaded from their descriptions, as a caller sees them: the frames,
// MainWindow's controls (classes, places, identifiers, stacking, pages, the
// load-complete message), and loading once, again, or not at all.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "components_test_support.h"
#include "format/program_windows.h"
#include "format/property_fields.h"
#include "windows/property_access.h"

namespace {

using namespace ids;

constexpr int kVisible = 5, kCurrentPage = PropertyIndex<PageControlProperties>("CurrentPage");

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
bool Shown(HWND hwnd) { return HasStyle(hwnd, WS_VISIBLE); }

std::vector<HWND> g_load_complete;
LRESULT CALLBACK RecordLoadComplete(int code, WPARAM wp, LPARAM lp) {
  const auto* m = reinterpret_cast<const CWPSTRUCT*>(lp);
  if (code == HC_ACTION && m->message == kLoadCompleteMessage) g_load_complete.push_back(m->hwnd);
  return CallNextHookEx(nullptr, code, wp, lp);
}

TEST(LoadingTest, MainWindowMakesEveryControlInItsPlaceAndOrder) {
  PrepareProgramWindows();
  g_load_complete.clear();
  HHOOK hook = SetWindowsHookExW(WH_CALLWNDPROC, RecordLoadComplete, nullptr, GetCurrentThreadId());
  LoadedWindow window(kMainWindow);
  UnhookWindowsHookEx(hook);
  ASSERT_NE(window.get(), nullptr);
  HWND frame = window->hwnd(), tab_pager = window.Hwnd(kTabPager);
  EXPECT_FALSE(Shown(frame));
  std::vector<HWND> load_complete = {frame}, stacked[2];
  for (int i = 0; i < kControlCount; ++i) {
    const ControlRow& row = kMainControls[i];
    SCOPED_TRACE(row.name);
    HWND hwnd = window.Hwnd(row.id);
    ASSERT_NE(hwnd, nullptr);
    EXPECT_EQ(lstrcmpiW(ClassOf(hwnd).c_str(), row.window_class), 0) << "class " << ClassOf(hwnd);
    EXPECT_EQ(GetParent(hwnd), row.page < 0 ? frame : tab_pager);
    RECT rc = RectInParent(hwnd);
    EXPECT_EQ((std::vector<long>{rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top}),
              (std::vector<long>{row.left, row.top, row.width, row.height}));
    EXPECT_EQ(GetDlgCtrlID(hwnd), 100 + 10 * (kControlCount - 1 - i)) << "made last record first";
    EXPECT_EQ(HasStyle(hwnd, WS_TABSTOP), row.tab_stop);
    EXPECT_TRUE(HasStyle(hwnd, WS_CHILD | WS_CLIPSIBLINGS));
    EXPECT_EQ(Shown(hwnd), row.page <= 0) << "only the first page is shown";
    stacked[row.page >= 0].push_back(hwnd);
    load_complete.insert(load_complete.begin(), hwnd);
  }
  EXPECT_EQ(g_load_complete, load_complete) << "to each control, last record first, then the frame";
  // Top to bottom in record order, leaving out windows that are not recorded
  // controls (the page control's own scroll buttons).
  for (const std::vector<HWND>& expected : stacked) {
    std::vector<HWND> seen;
    for (HWND h = GetWindow(GetParent(expected[0]), GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT)) {
      if (std::find(expected.begin(), expected.end(), h) != expected.end()) seen.push_back(h);
    }
    EXPECT_EQ(seen, expected);
  }
}

TEST(LoadingTest, EachFrameIsAFixedCentredWTWindowOfItsStoredSize) {
  const struct {
    uint32_t id;
    int width, height;
    const wchar_t* caption_start;
  } frames[] = {
      {kMainWindow, 856, 550, L"Velmora-"},
      {kHelpWindow, 380, 274, L"下载帮助     QQ："},
      {kNewVersionWindow, 551, 306, L"最新版"},
      {kFollowWindow, 373, 409, L"泡妞资源  随时有更新……"},
  };
  for (const auto& f : frames) {
    SCOPED_TRACE(f.caption_start);
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
    EXPECT_EQ((std::vector<long>{rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top}),
              (std::vector<long>{(GetSystemMetrics(SM_CXSCREEN) - f.width) / 2,
                                 (GetSystemMetrics(SM_CYSCREEN) - f.height) / 2, f.width, f.height}));
    // A fixed frame with a control box, no minimise or maximise button.
    LONG_PTR style = GetWindowLongPtrW(frame, GWL_STYLE);
    EXPECT_EQ(style & (WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_CHILD),
              WS_CAPTION | WS_SYSMENU);
    wchar_t caption[128] = {};
    GetWindowTextW(frame, caption, 128);
    EXPECT_EQ(std::wstring(caption).rfind(f.caption_start, 0), 0u) << "caption starts differently";
    EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageW(frame, WM_GETFONT, 0, 0)),
              GetStockObject(DEFAULT_GUI_FONT));
  }
}

BOOL CALLBACK CountOne(HWND, LPARAM count) { return ++*reinterpret_cast<int*>(count) > 0; }
int CountThreadWindows() {
  int count = 0;
  EnumThreadWindows(GetCurrentThreadId(), CountOne, reinterpret_cast<LPARAM>(&count));
  return count;
}

TEST(LoadingTest, AWindowLoadsOnceAgainWhenGoneAndAFailedLoadLeavesNothing) {
  PrepareProgramWindows();
  WindowDescription* help = ProgramWindows().Find(kHelpWindow);
  EXPECT_EQ(LiveWindow::Load(0x52999999), nullptr) << "not described";
  LiveWindow* first = LiveWindow::Load(kHelpWindow);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(LiveWindow::Load(kHelpWindow), nullptr) << "already loaded";
  DestroyWindow(first->hwnd());  // closing the frame directly forgets the window, as Destroy does
  EXPECT_EQ(FindLiveWindow(kHelpWindow), nullptr);

  // A control that cannot be made (a stream of a later version) fails the load.
  ControlRecord* label = help->RecordAt(help->FindRecord(0x160100a4));
  const uint8_t future_version[] = {99, 0, 0, 0};
  ByteView stored = label->properties;
  label->properties = ByteView{future_version, sizeof future_version};
  int before = CountThreadWindows();
  EXPECT_EQ(LiveWindow::Load(kHelpWindow), nullptr);
  label->properties = stored;
  EXPECT_EQ(CountThreadWindows(), before) << "no window left behind";
  EXPECT_EQ(FindLiveWindow(kHelpWindow), nullptr);

  LiveWindow* again = LiveWindow::Load(kHelpWindow);
  ASSERT_NE(again, nullptr);
  EXPECT_EQ(FindLiveWindow(kHelpWindow), again);
  again->Destroy();
  EXPECT_EQ(FindLiveWindow(kHelpWindow), nullptr);
}

TEST_F(MainWindowTest, SelectingAPageShowsExactlyItsControlsAndFocusesTheFirstThatCanTakeIt) {
  window_.ShowAndPaint();
  const struct {
    int page;
    uint32_t focus;
  } pages[] = {{1, kViewButton3}, {2, kHistoryBox}, {3, kChatButton1}, {0, kPageView}};
  for (const auto& p : pages) {
    SCOPED_TRACE("page " + std::to_string(p.page));
    SetControlNumber(kMainWindow, kTabPager, kCurrentPage, p.page);
    EXPECT_EQ(GetControlNumber(kMainWindow, kTabPager, kCurrentPage), p.page);
    for (const ControlRow& row : kMainControls) {
      EXPECT_EQ(Shown(Hwnd(row.id)), row.page < 0 || row.page == p.page) << row.name;
    }
    // PageView hands its focus on to the browser inside it.
    EXPECT_TRUE(GetFocus() == Hwnd(p.focus) || IsChild(Hwnd(p.focus), GetFocus()));
  }
  // A child written hidden stays hidden when its page comes back; writing
  // visible shows a page's child whatever page is current.
  SetControlNumber(kMainWindow, kPagePicture1, kVisible, 0);
  SetControlNumber(kMainWindow, kTabPager, kCurrentPage, 2);
  SetControlNumber(kMainWindow, kTabPager, kCurrentPage, 0);
  EXPECT_FALSE(Shown(Hwnd(kPagePicture1)));
  EXPECT_TRUE(Shown(Hwnd(kPagePicture2)));
  SetControlNumber(kMainWindow, kChatButton1, kVisible, 1);
  EXPECT_TRUE(Shown(Hwnd(kChatButton1)));
}

}  // namespace
