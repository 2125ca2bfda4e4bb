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
#include "forms/program_windows.h"
#include "page_control_test_support.h"
#include "support/test_support.h"

namespace {

// Kind indexes (property index minus 8).
constexpr int kHeaderPosition = 0, kMultiRow = 1, kPages = 3, kCurrentPage = 4, kHideHeaders = 5;
constexpr int kCurrentHeaderColour = 31 - 8, kPageAreaLeft = 58 - 8;

LRESULT CALLBACK FrameProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  return DefWindowProcW(hwnd, msg, wp, lp);
}

std::wstring ClassOf(HWND hwnd) {
  wchar_t name[64] = {};
  GetClassNameW(hwnd, name, 64);
  return name;
}

std::wstring TextOf(HWND hwnd) {
  wchar_t text[64] = {};
  GetWindowTextW(hwnd, text, 64);
  return text;
}

bool HasVisibleStyle(HWND hwnd) { return (GetWindowLongW(hwnd, GWL_STYLE) & WS_VISIBLE) != 0; }

class PageControlTest : public ::testing::Test {
 protected:
  void SetUp() override {
    PrepareDescriptions();
    WNDCLASSW wc{};
    wc.lpfnWndProc = FrameProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"PageControlTestFrame";
    RegisterClassW(&wc);
    frame_ = CreateWindowExW(0, L"PageControlTestFrame", L"frame", WS_OVERLAPPEDWINDOW, 0, 0, 856, 550,
                             nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(frame_, nullptr);
    control_.reset(Make(TabPagerRecord()->properties));
    ASSERT_NE(control_, nullptr);
    pager_ = control_->hwnd();
    SendMessageW(pager_, 0x8076, 0, 0);  // load complete, as the loader sends it
    g_allow_change = true;
    TakeEvents();
  }
  void TearDown() override {
    control_.reset();
    if (pager_ && IsWindow(pager_)) DestroyWindow(pager_);
    DestroyWindow(frame_);
  }

  Control* Make(ByteView properties) {
    CreateArgs args;
    args.properties = properties;
    args.parent = frame_;
    args.child_id = 100;
    args.x = 16, args.y = 90, args.width = 820, args.height = 416;
    args.window_id = kMainWindow;
    args.control_id = kTabPager;
    return kPageControlKind.create(args);
  }

  void Set(int index, int64_t value) {
    PropertyIn in;
    in.number = value;
    EXPECT_FALSE(control_->SetProperty(index, -1, in)) << "never asks for re-creation";
  }
  int64_t Get(int index) {
    PropertyOut out;
    EXPECT_TRUE(control_->GetProperty(index, -1, &out)) << index;
    return out.number;
  }
  LRESULT CurSel() { return SendMessageW(pager_, TCM_GETCURSEL, 0, 0); }
  void SetPages(const std::vector<Page>& pages) {
    const ByteBuffer list = EncodePageList(pages);
    Bytes value(NewByteArray(list.data(), static_cast<int32_t>(list.size())));
    PropertyIn in;
    in.bytes = value.get();
    control_->SetProperty(kPages, -1, in);
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
  // The first x on row y whose header is page `position`, or -1.
  int HeaderX(int position, int y) {
    for (int x = 0; x < 820; ++x) {
      TCHITTESTINFO info{{x, y}, 0};
      if (SendMessageW(pager_, TCM_HITTEST, 0, reinterpret_cast<LPARAM>(&info)) == position) return x;
    }
    return -1;
  }

  HWND frame_ = nullptr;
  HWND pager_ = nullptr;
  std::unique_ptr<Control> control_;
};

TEST_F(PageControlTest, OwnClassStyleAndTwoHiddenScrollButtons) {
  EXPECT_EQ(ClassOf(pager_), L"CPageControl");
  const LONG style = GetWindowLongW(pager_, GWL_STYLE);
  EXPECT_EQ(style & (WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN),
            WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN);
  EXPECT_FALSE(style & WS_VISIBLE) << "the loader shows it";
  EXPECT_EQ(GetParent(pager_), frame_);

  std::vector<HWND> children = Children();
  ASSERT_EQ(children.size(), 2u);
  EXPECT_EQ(ClassOf(children[0]), L"Button");
  EXPECT_EQ(TextOf(children[0]), L"<");
  EXPECT_EQ(TextOf(children[1]), L">");
  for (HWND b : children) EXPECT_FALSE(HasVisibleStyle(b)) << "TabPager's headers are hidden";
}

TEST_F(PageControlTest, ScrollButtonsCarryTheirTooltips) {
  struct Search {
    HWND owner;
    HWND found;
  } search{pager_, nullptr};
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND w, LPARAM lp) CALLBACK -> BOOL {
        auto* s = reinterpret_cast<Search*>(lp);
        if (ClassOf(w) != TOOLTIPS_CLASSW) return TRUE;
        // A popup's owner is the top-level window; the tools name the control.
        TOOLINFOW ti{};
        ti.cbSize = TTTOOLINFOW_V2_SIZE;
        if (SendMessageW(w, TTM_ENUMTOOLSW, 0, reinterpret_cast<LPARAM>(&ti)) && ti.hwnd == s->owner)
          s->found = w;
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  HWND tooltip = search.found;
  ASSERT_NE(tooltip, nullptr);
  ASSERT_EQ(SendMessageW(tooltip, TTM_GETTOOLCOUNT, 0, 0), 2);
  const std::wstring expected[] = {L"\u5411\u5DE6\u6EDA\u52A8\u5B50\u5939\u5934",
                                   L"\u5411\u53F3\u6EDA\u52A8\u5B50\u5939\u5934"};
  const std::vector<HWND> buttons = Children();
  for (int i = 0; i < 2; ++i) {
    SCOPED_TRACE(i);
    wchar_t text[80] = {};
    TOOLINFOW ti{};
    ti.cbSize = TTTOOLINFOW_V2_SIZE;
    ti.hwnd = pager_;
    ti.uId = reinterpret_cast<UINT_PTR>(buttons[i]);
    ti.lpszText = text;
    SendMessageW(tooltip, TTM_GETTEXTW, 80, reinterpret_cast<LPARAM>(&ti));
    EXPECT_EQ(std::wstring(text), expected[i]);
  }
}

TEST_F(PageControlTest, TabControlAnswers) {
  EXPECT_EQ(SendMessageW(pager_, TCM_GETITEMCOUNT, 0, 0), 4);
  EXPECT_EQ(CurSel(), 3) << "the stored current page";

  const struct {
    const char* label;
    int position;
    LRESULT answer, current;
    Events events;
  } rows[] = {
      {"-1", -1, -1, 3, {}},
      {"past the end", 4, -1, 3, {}},
      {"page 1", 1, 3, 1, {"changing 1", "changed"}},
      {"page 1 again", 1, 1, 1, {}},
      {"page 0", 0, 1, 0, {"changing 0", "changed"}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    EXPECT_EQ(SendMessageW(pager_, TCM_SETCURSEL, row.position, 0), row.answer);
    EXPECT_EQ(CurSel(), row.current);
    EXPECT_EQ(TakeEvents(), row.events);
  }

  TCHITTESTINFO info{{10, 10}, 0};
  EXPECT_EQ(SendMessageW(pager_, TCM_HITTEST, 0, reinterpret_cast<LPARAM>(&info)), -1);
  EXPECT_EQ(info.flags, 1u) << "no header is shown";
}

TEST_F(PageControlTest, SavePropertiesGivesTheStoredBlockBack) {
  const ByteView stored = TabPagerRecord()->properties;
  Bytes saved = control_->SaveProperties();
  ASSERT_EQ(static_cast<uint32_t>(saved.size()), stored.size);
  EXPECT_EQ(memcmp(saved.data(), stored.data, stored.size), 0);
}

TEST_F(PageControlTest, ShownHeadersAreDrawnHitAndClicked) {
  Set(kHideHeaders, 0);
  const int64_t top = Get(kPageAreaLeft + 1);
  EXPECT_GE(top, 20) << "one header row of at least HeaderHeight";
  EXPECT_EQ(Get(kPageAreaLeft), 0);

  const int x1 = HeaderX(1, 5);
  ASSERT_GT(x1, 0);
  TCHITTESTINFO info{{x1, 5}, 0};
  EXPECT_EQ(SendMessageW(pager_, TCM_HITTEST, 0, reinterpret_cast<LPARAM>(&info)), 1);
  EXPECT_EQ(info.flags, 6u);

  SendMessageW(pager_, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x1, 5));
  EXPECT_EQ(CurSel(), 1);
  EXPECT_EQ(TakeEvents(), (Events{"clicked 1", "changing 1", "changed"}));

  // The current header takes colour 31; the page area stays button face.
  Set(kCurrentHeaderColour, RGB(0, 255, 0));
  EXPECT_EQ(PixelAt(x1 + 3, 10), RGB(0, 255, 0));
  EXPECT_EQ(PixelAt(400, 300), GetSysColor(COLOR_BTNFACE));
}

TEST_F(PageControlTest, HeaderImageComesFromTheStoredList) {
  Page with_image;
  with_image.header_images[0] = 0;  // the list's one 100x35 tab picture
  SetPages({with_image, Page{}});
  Set(kHideHeaders, 0);
  // Its top half is (90, 170, 235); the row is 20 high, so the picture is cut.
  EXPECT_EQ(PixelAt(55, 5), RGB(90, 170, 235));
  EXPECT_EQ(PixelAt(55, Get(kPageAreaLeft + 1) + 5), GetSysColor(COLOR_BTNFACE))
      << "nothing spills below the row";
}

TEST_F(PageControlTest, OneScrollingRowShowsItsButtonsAndScrolls) {
  Set(kHideHeaders, 0);
  Set(kMultiRow, 0);
  SetWindowPos(pager_, nullptr, 0, 0, 80, 100, SWP_NOMOVE | SWP_NOZORDER);
  const std::vector<HWND> buttons = Children();
  ASSERT_EQ(buttons.size(), 2u);
  EXPECT_TRUE(HasVisibleStyle(buttons[0]));
  EXPECT_TRUE(HasVisibleStyle(buttons[1]));
  EXPECT_FALSE(IsWindowEnabled(buttons[0])) << "nothing to scroll back to";
  RECT r{};
  GetWindowRect(buttons[1], &r);
  MapWindowPoints(nullptr, pager_, reinterpret_cast<POINT*>(&r), 2);
  EXPECT_EQ(r.right, 80) << "at the row's far end";

  TCHITTESTINFO info{{2, 5}, 0};
  const LRESULT first = SendMessageW(pager_, TCM_HITTEST, 0, reinterpret_cast<LPARAM>(&info));
  SendMessageW(pager_, WM_COMMAND, MAKEWPARAM(2, BN_CLICKED), reinterpret_cast<LPARAM>(buttons[1]));
  EXPECT_EQ(SendMessageW(pager_, TCM_HITTEST, 0, reinterpret_cast<LPARAM>(&info)), first + 1);
  EXPECT_TRUE(IsWindowEnabled(buttons[0]));
  EXPECT_TRUE(TakeEvents().empty()) << "scrolling selects nothing";
}

TEST_F(PageControlTest, ExcludedPageHidesEveryChildButTheScrollButtons) {
  Page excluded;
  excluded.excluded = 1;
  SetPages({Page{}, excluded, Page{}});
  EXPECT_EQ(SendMessageW(pager_, TCM_GETITEMCOUNT, 0, 0), 2);

  Set(kCurrentPage, 0);
  HWND a = CreateWindowExW(0, L"STATIC", L"a", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, pager_, nullptr, nullptr,
                           nullptr);
  HWND b = CreateWindowExW(0, L"STATIC", L"b", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, pager_, nullptr, nullptr,
                           nullptr);
  ShowWindow(pager_, SW_SHOWNA);
  ShowWindow(frame_, SW_SHOWNA);
  TakeEvents();

  Set(kCurrentPage, 1);
  EXPECT_EQ(TakeEvents(), (Events{"changing 1", "changed"}));
  EXPECT_FALSE(HasVisibleStyle(a));
  EXPECT_FALSE(HasVisibleStyle(b));
  EXPECT_EQ(CurSel(), -1) << "an excluded page has no position";
  EXPECT_EQ(Children().size(), 4u) << "hidden, not destroyed";
}

TEST(PageControlKind, IsNumberedAndSizedAsDescribed) {
  EXPECT_EQ(kPageControlKind.id, 0x00020002u);
  EXPECT_STREQ(kPageControlKind.name, "PageControl");
  EXPECT_EQ(kPageControlKind.property_count, 63);
  EXPECT_EQ(kPageControlKind.types[12 - 8], PropertyType::kInteger);
}

TEST(PageControlKind, UnreadableBlockFailsCreation) {
  PrepareDescriptions();
  const uint8_t damaged[] = {7, 0, 0, 0, 1, 0};
  CreateArgs args;
  args.properties = ByteView{damaged, sizeof damaged};
  args.window_id = kMainWindow;
  args.control_id = kTabPager;
  EXPECT_EQ(kPageControlKind.create(args), nullptr);
}

}  // namespace
