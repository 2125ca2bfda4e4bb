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
#include "format/window_ids.h"
#include "windows/property_access.h"

namespace {

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
    {"UpdateButton", ids::MainWindow_UpdateButton, L"Button", -1, 786, 20, 40, 24, true},
    {"VersionLabel", ids::MainWindow_VersionLabel, L"VelmoraLabel", 0, 8, 398, 32, 16, false},
    {"HelpButton", ids::MainWindow_HelpButton, L"Button", -1, 786, 48, 40, 24, true},
    {"PromoButton", ids::MainWindow_PromoButton, L"Button", -1, 620, 20, 136, 54, true},
    {"ContactPicture", ids::MainWindow_ContactPicture, L"VelmoraPicBox", 3, 416, 182, 216, 176, false},
    {"ChatButton1", ids::MainWindow_ChatButton1, L"Button", 3, 120, 320, 152, 40, true},
    {"ChatButton2", ids::MainWindow_ChatButton2, L"Button", 3, 120, 256, 152, 40, true},
    {"ChatButton3", ids::MainWindow_ChatButton3, L"Button", 3, 120, 190, 152, 40, true},
    {"ContactLabel", ids::MainWindow_ContactLabel, L"VelmoraLabel", 3, 136, 54, 456, 96, false},
    {"ViewButton3", ids::MainWindow_ViewButton3, L"Button", 1, 256, 224, 80, 26, true},
    {"ViewButton2", ids::MainWindow_ViewButton2, L"Button", 1, 624, 160, 80, 26, true},
    {"ViewButton1", ids::MainWindow_ViewButton1, L"Button", 1, 472, 77, 80, 26, true},
    {"FeeNoteBox", ids::MainWindow_FeeNoteBox, L"Edit", 1, 40, 310, 664, 88, true},
    {"CourseListLabel", ids::MainWindow_CourseListLabel, L"VelmoraLabel", 1, 40, 30, 656, 328, false},
    {"HistoryBox", ids::MainWindow_HistoryBox, L"Edit", 2, 40, 54, 656, 336, true},
    {"TabPicture3", ids::MainWindow_TabPicture3, L"VelmoraPicBox", -1, 460, 24, 120, 44, false},
    {"TabPicture2", ids::MainWindow_TabPicture2, L"VelmoraPicBox", -1, 316, 24, 120, 44, false},
    {"TabPicture1", ids::MainWindow_TabPicture1, L"VelmoraPicBox", -1, 173, 24, 120, 44, false},
    {"TabPicture0", ids::MainWindow_TabPicture0, L"VelmoraPicBox", -1, 30, 24, 120, 44, false},
    {"HeaderBand", ids::MainWindow_HeaderBand, L"VelmoraLabel", -1, 16, 14, 820, 66, false},
    {"PageView", ids::MainWindow_PageView, L"VelmoraHtmlHost", 0, 140, 32, 664, 360, true},
    {"PagePicture5", ids::MainWindow_PagePicture5, L"VelmoraPicBox", 0, 12, 336, 120, 40, false},
    {"PagePicture4", ids::MainWindow_PagePicture4, L"VelmoraPicBox", 0, 12, 264, 120, 40, false},
    {"PagePicture3", ids::MainWindow_PagePicture3, L"VelmoraPicBox", 0, 12, 192, 120, 40, false},
    {"PagePicture2", ids::MainWindow_PagePicture2, L"VelmoraPicBox", 0, 12, 120, 120, 40, false},
    {"PagePicture1", ids::MainWindow_PagePicture1, L"VelmoraPicBox", 0, 12, 48, 120, 40, false},
    {"TabPager", ids::MainWindow_TabPager, L"CPageControl", -1, 16, 90, 820, 416, false},
    {"PageTextLabel", ids::MainWindow_PageTextLabel, L"VelmoraLabel", 0, 136, -34, 20, 16, false},
    {"LatestVersionLabel", ids::MainWindow_LatestVersionLabel, L"VelmoraLabel", -1, 296, 56, 20, 16, false},
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
  LoadedWindow window(ids::MainWindow);
  UnhookWindowsHookEx(hook);
  ASSERT_NE(window.get(), nullptr);
  HWND frame = window->hwnd(), tab_pager = window.Hwnd(ids::MainWindow_TabPager);
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
      {ids::MainWindow, 856, 550, L"Velmora-"},
      {ids::HelpWindow, 380, 274, L"下载帮助     QQ："},
      {ids::NewVersionWindow, 551, 306, L"最新版"},
      {ids::FollowWindow, 373, 409, L"泡妞资源  随时有更新……"},
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
  WindowDescription* help = ProgramWindows().Find(ids::HelpWindow);
  EXPECT_EQ(LiveWindow::Load(0x52999999), nullptr) << "not described";
  LiveWindow* first = LiveWindow::Load(ids::HelpWindow);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(LiveWindow::Load(ids::HelpWindow), nullptr) << "already loaded";
  DestroyWindow(first->hwnd());  // closing the frame directly forgets the window, as Destroy does
  EXPECT_EQ(FindLiveWindow(ids::HelpWindow), nullptr);

  // A control that cannot be made (a stream of a later version) fails the load.
  ControlRecord* label = help->RecordAt(help->FindRecord(ids::HelpWindow_HelpTextLabel));
  const uint8_t future_version[] = {99, 0, 0, 0};
  ByteView stored = label->properties;
  label->properties = ByteView{future_version, sizeof future_version};
  int before = CountThreadWindows();
  EXPECT_EQ(LiveWindow::Load(ids::HelpWindow), nullptr);
  label->properties = stored;
  EXPECT_EQ(CountThreadWindows(), before) << "no window left behind";
  EXPECT_EQ(FindLiveWindow(ids::HelpWindow), nullptr);

  LiveWindow* again = LiveWindow::Load(ids::HelpWindow);
  ASSERT_NE(again, nullptr);
  EXPECT_EQ(FindLiveWindow(ids::HelpWindow), again);
  again->Destroy();
  EXPECT_EQ(FindLiveWindow(ids::HelpWindow), nullptr);
}

TEST(LoadingTest, AGoneWindowIsForgottenAtOnceAndDeletedOnlyByTheReaper) {
  PrepareProgramWindows();
  LiveWindow* gone = LiveWindow::Load(ids::HelpWindow);
  ASSERT_NE(gone, nullptr);
  const uint64_t serial = gone->serial();
  DestroyWindow(gone->hwnd());
  // Still readable: nothing but the reaper deletes a window.
  EXPECT_TRUE(gone->gone());
  EXPECT_EQ(gone->hwnd(), nullptr);
  EXPECT_EQ(FindLiveWindowBySerial(serial), nullptr);
  EXPECT_EQ(std::ranges::count(LiveWindows(), gone), 0);
  LiveWindow* again = LiveWindow::Load(ids::HelpWindow);
  ASSERT_NE(again, nullptr) << "a window awaiting the reaper does not block loading it anew";
  EXPECT_NE(again->serial(), serial);
  LiveWindow::DeleteGoneWindows();
  EXPECT_EQ(FindLiveWindow(ids::HelpWindow), again) << "the reaper leaves a live window";
  again->Destroy();
  EXPECT_EQ(FindLiveWindow(ids::HelpWindow), nullptr);
}

TEST_F(MainWindowTest, SelectingAPageShowsExactlyItsControlsAndFocusesTheFirstThatCanTakeIt) {
  window_.ShowAndPaint();
  const struct {
    int page;
    uint32_t focus;
  } pages[] = {{1, ids::MainWindow_ViewButton3},
               {2, ids::MainWindow_HistoryBox},
               {3, ids::MainWindow_ChatButton1},
               {0, ids::MainWindow_PageView}};
  for (const auto& p : pages) {
    SCOPED_TRACE("page " + std::to_string(p.page));
    SetControlNumber(ids::MainWindow, ids::MainWindow_TabPager, kCurrentPage, p.page);
    EXPECT_EQ(GetControlNumber(ids::MainWindow, ids::MainWindow_TabPager, kCurrentPage), p.page);
    for (const ControlRow& row : kMainControls) {
      EXPECT_EQ(Shown(Hwnd(row.id)), row.page < 0 || row.page == p.page) << row.name;
    }
    // PageView hands its focus on to the browser inside it.
    EXPECT_TRUE(GetFocus() == Hwnd(p.focus) || IsChild(Hwnd(p.focus), GetFocus()));
  }
  // A child written hidden stays hidden when its page comes back; writing
  // visible shows a page's child whatever page is current.
  SetControlNumber(ids::MainWindow, ids::MainWindow_PagePicture1, kVisible, 0);
  SetControlNumber(ids::MainWindow, ids::MainWindow_TabPager, kCurrentPage, 2);
  SetControlNumber(ids::MainWindow, ids::MainWindow_TabPager, kCurrentPage, 0);
  EXPECT_FALSE(Shown(Hwnd(ids::MainWindow_PagePicture1)));
  EXPECT_TRUE(Shown(Hwnd(ids::MainWindow_PagePicture2)));
  SetControlNumber(ids::MainWindow, ids::MainWindow_ChatButton1, kVisible, 1);
  EXPECT_TRUE(Shown(Hwnd(ids::MainWindow_ChatButton1)));
}

}  // namespace
