// TabPager inside the loaded MainWindow: which controls each page shows,
// where the focus lands, and the writes that must change nothing, all through
// the property entry points the application uses.
#include <gtest/gtest.h>
#include <windows.h>

#include <set>
#include <string>
#include <vector>

#include "format/property_fields.h"
#include "page_control_test_support.h"
#include "windows/live_window_win32.h"
#include "windows/property_access.h"

namespace {

constexpr int kCurrentPage = PropertyIndex<PageControlProperties>("CurrentPage"),
              kHeaderPosition = PropertyIndex<PageControlProperties>("HeaderPosition");

// MainWindow's 29 controls: the page a control is a member of, or -1 for the
// controls outside the pages, shown whatever page is current.
const struct {
  const char* name;
  uint32_t id;
  int page;
} kControls[] = {
    {"VersionLabel", 0x160100d5, 0},    {"PageTextLabel", 0x160100c9, 0},  {"PageView", 0x1601001a, 0},
    {"PagePicture5", 0x16010019, 0},    {"PagePicture4", 0x16010018, 0},   {"PagePicture3", 0x16010017, 0},
    {"PagePicture2", 0x16010016, 0},    {"PagePicture1", 0x16010014, 0},   {"ViewButton3", kViewButton3, 1},
    {"ViewButton2", 0x16010093, 1},     {"ViewButton1", 0x16010092, 1},    {"FeeNoteBox", 0x16010091, 1},
    {"CourseListLabel", 0x1601007e, 1}, {"HistoryBox", 0x16010076, 2},     {"ContactPicture", 0x1601009d, 3},
    {"ChatButton1", 0x1601009a, 3},     {"ChatButton2", 0x16010099, 3},    {"ChatButton3", 0x16010097, 3},
    {"ContactLabel", 0x16010096, 3},    {"UpdateButton", 0x16010119, -1},  {"HelpButton", 0x160100a0, -1},
    {"PromoButton", 0x1601009e, -1},    {"TabPicture3", 0x16010065, -1},   {"TabPicture2", 0x16010064, -1},
    {"TabPicture1", 0x1601002b, -1},    {"TabPicture0", 0x1601002a, -1},   {"HeaderBand", 0x1601006c, -1},
    {"TabPager", kTabPager, -1},        {"LatestVersionLabel", 0x160100ca, -1},
};

class TabPagerOnMainWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    PrepareDescriptions();
    window_ = LiveWindow::Load(kMainWindow);
    ASSERT_NE(window_, nullptr);
    // Shown and active, so visibility and focus read as a person meets them.
    ShowWindow(window_->hwnd(), SW_SHOW);
    SetForegroundWindow(window_->hwnd());
    SetControlNumber(kMainWindow, kTabPager, kCurrentPage, 0);  // as the start-up handler does
    g_allow_change = true;
    TakeEvents();
  }
  void TearDown() override {
    if (window_) window_->Destroy();
  }

  HWND Hwnd(uint32_t id) {
    Control* c = window_->FindControl(id);
    return c ? c->hwnd() : nullptr;
  }
  // The names of the visible controls, and of the one with the focus.
  std::set<std::string> Visible() {
    std::set<std::string> out;
    for (const auto& c : kControls) {
      if (IsWindowVisible(Hwnd(c.id))) out.insert(c.name);
    }
    return out;
  }
  static std::set<std::string> Expected(int page) {
    std::set<std::string> out;
    for (const auto& c : kControls) {
      if (c.page < 0 || c.page == page) out.insert(c.name);
    }
    return out;
  }
  std::string Focused() {
    for (const auto& c : kControls) {
      // PageView hands its focus on to the browser inside it.
      if (Hwnd(c.id) == GetFocus() || IsChild(Hwnd(c.id), GetFocus())) return c.name;
    }
    return "none of them";
  }

  LiveWindow* window_ = nullptr;
};

TEST_F(TabPagerOnMainWindow, EachPageShowsExactlyItsControlsAndFocusesTheFirstThatCanTakeIt) {
  const struct {
    int page;
    const char* focus;
  } rows[] = {
      {1, "ViewButton3"},
      {2, "HistoryBox"},
      {3, "ChatButton1"},
      {0, "PageView"},  // labels and pictures before it cannot take the focus
  };
  EXPECT_EQ(Visible(), Expected(0)) << "after the start-up selection of page 0";
  for (const auto& row : rows) {
    SCOPED_TRACE(row.page);
    SetControlNumber(kMainWindow, kTabPager, kCurrentPage, row.page);
    EXPECT_EQ(GetControlNumber(kMainWindow, kTabPager, kCurrentPage), row.page);
    EXPECT_EQ(Visible(), Expected(row.page));
    EXPECT_EQ(Focused(), row.focus);
    EXPECT_EQ(TakeEvents(), (Events{"changing " + std::to_string(row.page), "changed"}));
  }
}

TEST_F(TabPagerOnMainWindow, WritesThatChangeNothing) {
  const struct {
    const char* label;
    int64_t value;
    bool allow;
    Events events;
  } rows[] = {
      {"past the last page", 4, true, {}},
      {"-1", -1, true, {}},
      {"the current page again", 0, true, {}},
      {"a changing handler returning false", 2, false, {"changing 2"}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    g_allow_change = row.allow;
    SetControlNumber(kMainWindow, kTabPager, kCurrentPage, row.value);
    EXPECT_EQ(GetControlNumber(kMainWindow, kTabPager, kCurrentPage), 0);
    EXPECT_EQ(Visible(), Expected(0));
    EXPECT_EQ(TakeEvents(), row.events);
  }
}

TEST_F(TabPagerOnMainWindow, PageAreaIsTheClientAreaAndHeaderPositionSevenIsIgnored) {
  RECT client{};
  GetClientRect(Hwnd(kTabPager), &client);
  ASSERT_EQ(client.right, 820) << "TabPager has no border";
  auto page_area = [] {
    std::vector<int64_t> area;
    for (int index = 58; index <= 61; ++index) area.push_back(GetControlNumber(kMainWindow, kTabPager, index));
    return area;
  };
  EXPECT_EQ(page_area(), (std::vector<int64_t>{0, 0, client.right, client.bottom}));
  SetControlNumber(kMainWindow, kTabPager, kHeaderPosition, 7);
  EXPECT_EQ(GetControlNumber(kMainWindow, kTabPager, kHeaderPosition), 0);
  EXPECT_EQ(page_area(), (std::vector<int64_t>{0, 0, client.right, client.bottom}));
}

TEST_F(TabPagerOnMainWindow, PageMembersAreItsChildrenAndTheirClicksGetThrough) {
  for (const auto& c : kControls) {
    EXPECT_EQ(GetParent(Hwnd(c.id)) == Hwnd(kTabPager), c.page >= 0) << c.name;
  }
  SetControlNumber(kMainWindow, kTabPager, kCurrentPage, 1);
  TakeEvents();
  // The button tells its parent, TabPager, which hands the notice back to it.
  SendMessageW(Hwnd(kViewButton3), BM_CLICK, 0, 0);
  EXPECT_EQ(TakeEvents(), Events{"button clicked"});
}

}  // namespace
