// The PageControl kind under Wine, made from TabPager's stored record on a
// frame of the test's own: its window, the tab control's answers, events,
// the header strip and scroll buttons as a caller sees them.
#include <windows.h>
// In this order: commctrl.h needs IStream for the image list declarations.
// clang-format off
#include <objbase.h>
#include <commctrl.h>
// clang-format on

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "components/page_codec.h"
#include "components/page_control_win32.h"
#include "components/page_model.h"
#include "format/property_fields.h"
#include "format/window_ids.h"
#include "page_control_test_support.h"

namespace {

// Kind indexes (property index minus 8).
constexpr int kMultiRow = kPropMultiRow, kPages = kPropPages, kCurrentPage = kPropCurrentPage,
              kHideHeaders = kPropHideHeaders,
              kCurrentHeaderColour = OwnIndex<PageControlProperties>("CurrentHeaderColour"),
              kPageAreaTop = kPropPageAreaTop;

std::wstring ClassOf(HWND hwnd) {
  wchar_t name[64] = {};
  GetClassNameW(hwnd, name, 64);
  return name;
}
bool HasVisibleStyle(HWND hwnd) { return (GetWindowLongW(hwnd, GWL_STYLE) & WS_VISIBLE) != 0; }

class PageControlTest : public ::testing::Test {
 protected:
  void SetUp() override {
    PrepareDescriptions();
    frame_ = CreateWindowExW(0, L"STATIC", L"frame", WS_OVERLAPPEDWINDOW, 0, 0, 856, 550, nullptr, nullptr,
                             nullptr, nullptr);
    ASSERT_NE(frame_, nullptr);
    CreateArgs args;
    args.properties = TabPagerRecord()->properties;
    args.parent = frame_;
    args.child_id = 100;
    args.x = 16, args.y = 90, args.width = 820, args.height = 416;
    args.window_id = ids::MainWindow;
    args.control_id = ids::MainWindow_TabPager;
    control_.reset(kPageControlKind.create(args));
    ASSERT_NE(control_, nullptr);
    pager_ = control_->hwnd();
    SendMessageW(pager_, kLoadCompleteMessage, 0, 0);
    // Selecting the stored page (TabPager's is 3) while being created raises
    // its events; only the page children wait for the load.
    EXPECT_EQ(TakeEvents(), (Events{"changing 3", "changed"}));
    g_allow_change = true;
  }
  void TearDown() override {
    control_.reset();
    DestroyWindow(frame_);
  }

  void Set(int index, int64_t value) {
    PropertyIn in;
    in.number = value;
    EXPECT_EQ(control_->SetProperty(index, -1, in), PropertyWrite::kApplied) << "never asks for re-creation";
  }
  int64_t Get(int index) {
    PropertyOut out;
    EXPECT_EQ(control_->GetProperty(index, -1, &out), PropertyRead::kAnswered) << index;
    return out.number;
  }
  void SetPages(const std::vector<Page>& pages) {
    const ByteBuffer list = EncodePageList(pages);
    Bytes value(NewByteArray(list.data(), static_cast<int32_t>(list.size())));
    PropertyIn in;
    in.bytes = value.get();
    control_->SetProperty(kPages, -1, in);
  }
  LRESULT CurSel() { return SendMessageW(pager_, TCM_GETCURSEL, 0, 0); }
  // The answer to TCM_HITTEST at (x, y), and its flags.
  std::pair<LRESULT, UINT> Hit(int x, int y) {
    TCHITTESTINFO info{{x, y}, 0};
    LRESULT page = SendMessageW(pager_, TCM_HITTEST, 0, reinterpret_cast<LPARAM>(&info));
    return {page, info.flags};
  }
  // A pixel of the control's client area as it paints itself.
  COLORREF PixelAt(int x, int y) {
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 820, 416);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, bitmap);
    SendMessageW(pager_, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    COLORREF pixel = GetPixel(dc, x, y);
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    return pixel;
  }
  std::vector<HWND> Children() {
    std::vector<HWND> out;
    for (HWND c = GetWindow(pager_, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) out.push_back(c);
    return out;
  }

  HWND frame_ = nullptr;
  HWND pager_ = nullptr;
  std::unique_ptr<Control> control_;
};

TEST_F(PageControlTest, OwnClassAndTwoHiddenScrollButtons) {
  EXPECT_EQ(ClassOf(pager_), L"CPageControl");
  EXPECT_FALSE(HasVisibleStyle(pager_)) << "the loader shows it";
  const std::vector<HWND> buttons = Children();
  ASSERT_EQ(buttons.size(), 2u);
  for (HWND b : buttons) EXPECT_FALSE(HasVisibleStyle(b)) << "TabPager's headers are hidden";
}

// The answers' rules in full: the model's tests.
TEST_F(PageControlTest, TabControlAnswers) {
  EXPECT_EQ(SendMessageW(pager_, TCM_GETITEMCOUNT, 0, 0), 4);
  EXPECT_EQ(CurSel(), 3) << "the stored current page";
  EXPECT_EQ(SendMessageW(pager_, TCM_SETCURSEL, 4, 0), -1);
  EXPECT_EQ(TakeEvents(), Events{});
  EXPECT_EQ(SendMessageW(pager_, TCM_SETCURSEL, 1, 0), 3) << "the position before";
  EXPECT_EQ(CurSel(), 1);
  EXPECT_EQ(TakeEvents(), (Events{"changing 1", "changed"}));
  EXPECT_EQ(Hit(10, 10), std::make_pair(LRESULT{-1}, 1u)) << "no header is shown";
}

TEST_F(PageControlTest, ShownHeadersAreDrawnHitAndClicked) {
  Page with_image;
  with_image.header_images[0] = 0;         // the list's one 100x35 tab picture
  SetPages({with_image, Page{}, Page{}});  // drops the current page 3: page 0 is selected
  Set(kHideHeaders, 0);
  TakeEvents();
  const int64_t row = Get(kPageAreaTop);
  EXPECT_GE(row, 20) << "one header row of at least HeaderHeight";
  // The picture's top half is (90, 170, 235); the row is lower than it, so it is cut.
  EXPECT_EQ(PixelAt(55, 5), RGB(90, 170, 235));
  EXPECT_EQ(PixelAt(55, row + 5), GetSysColor(COLOR_BTNFACE)) << "nothing spills below the row";

  int x1 = 0;
  while (x1 < 820 && Hit(x1, 5).first != 1) ++x1;
  ASSERT_LT(x1, 820);
  EXPECT_EQ(Hit(x1, 5), std::make_pair(LRESULT{1}, 6u));
  SendMessageW(pager_, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x1, 5));
  EXPECT_EQ(CurSel(), 1);
  EXPECT_EQ(TakeEvents(), (Events{"clicked 1", "changing 1", "changed"}));
  // The current header takes colour 31.
  Set(kCurrentHeaderColour, RGB(0, 255, 0));
  EXPECT_EQ(PixelAt(x1 + 3, 10), RGB(0, 255, 0));
}

TEST_F(PageControlTest, OneScrollingRowShowsItsButtonsAndScrolls) {
  Set(kHideHeaders, 0);
  Set(kMultiRow, 0);
  SetWindowPos(pager_, nullptr, 0, 0, 80, 100, SWP_NOMOVE | SWP_NOZORDER);
  const std::vector<HWND> buttons = Children();
  ASSERT_EQ(buttons.size(), 2u);
  EXPECT_TRUE(HasVisibleStyle(buttons[0]) && HasVisibleStyle(buttons[1]));
  EXPECT_FALSE(IsWindowEnabled(buttons[0])) << "nothing to scroll back to";
  RECT r{};
  GetWindowRect(buttons[1], &r);
  MapWindowPoints(nullptr, pager_, reinterpret_cast<POINT*>(&r), 2);
  EXPECT_EQ(r.right, 80) << "at the row's far end";

  const LRESULT first = Hit(2, 5).first;
  SendMessageW(pager_, WM_COMMAND, MAKEWPARAM(2, BN_CLICKED), reinterpret_cast<LPARAM>(buttons[1]));
  EXPECT_EQ(Hit(2, 5).first, first + 1);
  EXPECT_TRUE(IsWindowEnabled(buttons[0]));
  EXPECT_EQ(TakeEvents(), Events{}) << "scrolling selects nothing";
}

TEST_F(PageControlTest, ExcludedPageHidesEveryChildButTheScrollButtons) {
  Page excluded;
  excluded.excluded = 1;
  SetPages({Page{}, excluded, Page{}});
  EXPECT_EQ(SendMessageW(pager_, TCM_GETITEMCOUNT, 0, 0), 2);
  Set(kCurrentPage, 0);
  HWND child = CreateWindowExW(0, L"STATIC", L"a", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, pager_, nullptr,
                               nullptr, nullptr);
  ShowWindow(pager_, SW_SHOWNA);
  ShowWindow(frame_, SW_SHOWNA);
  TakeEvents();

  Set(kCurrentPage, 1);
  EXPECT_EQ(TakeEvents(), (Events{"changing 1", "changed"}));
  EXPECT_FALSE(HasVisibleStyle(child));
  EXPECT_EQ(CurSel(), -1) << "an excluded page has no position";
  EXPECT_EQ(Children().size(), 3u) << "hidden, not destroyed";
}

TEST(PageControlKind, UnreadableBlockFailsCreation) {
  PrepareDescriptions();
  const uint8_t damaged[] = {7, 0, 0, 0, 1, 0};
  CreateArgs args;
  args.properties = ByteView{damaged, sizeof damaged};
  args.window_id = ids::MainWindow;
  args.control_id = ids::MainWindow_TabPager;
  EXPECT_EQ(kPageControlKind.create(args), nullptr);
}

}  // namespace
