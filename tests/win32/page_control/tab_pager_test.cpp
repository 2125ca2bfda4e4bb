// TabPager inside the loaded MainWindow: which controls each page shows,
// where the focus lands, and the writes that must change nothing, all through
// the property entry points the application uses.
#include <gtest/gtest.h>
#include <windows.h>
// clang-format off
#include <objbase.h>
#include <commctrl.h>
// clang-format on

#include <set>
#include <string>
#include <vector>

#include "components/property_access.h"
#include "forms/live_window_win32.h"
#include "page_control_test_support.h"

namespace {

constexpr uint32_t kPageView = 0x1601001a;

struct Named {
  const char* name;
  uint32_t id;
};

// The page members as the description lists them, page by page.
const std::vector<Named> kPageMembers[4] = {
    {{"VersionLabel", 0x160100d5},
     {"PageTextLabel", 0x160100c9},
     {"PageView", kPageView},
     {"PagePicture5", 0x16010019},
     {"PagePicture4", 0x16010018},
     {"PagePicture3", 0x16010017},
     {"PagePicture2", 0x16010016},
     {"PagePicture1", 0x16010014}},
    {{"ViewButton3", kViewButton3},
     {"ViewButton2", 0x16010093},
     {"ViewButton1", 0x16010092},
     {"FeeNoteBox", 0x16010091},
     {"CourseListLabel", 0x1601007e}},
    {{"HistoryBox", 0x16010076}},
    {{"ContactPicture", 0x1601009d},
     {"ChatButton1", 0x1601009a},
     {"ChatButton2", 0x16010099},
     {"ChatButton3", 0x16010097},
     {"ContactLabel", 0x16010096}},
};
// Controls outside the pages: shown whatever page is current.
const std::vector<Named> kHeaderControls = {
    {"UpdateButton", 0x16010119},       {"HelpButton", 0x160100a0},  {"PromoButton", 0x1601009e},
    {"TabPicture3", 0x16010065},        {"TabPicture2", 0x16010064}, {"TabPicture1", 0x1601002b},
    {"TabPicture0", 0x1601002a},        {"HeaderBand", 0x1601006c},  {"TabPager", kTabPager},
    {"LatestVersionLabel", 0x160100ca},
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
    SetControlNumber(kMainWindow, kTabPager, 12, 0);  // as the start-up handler does
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
  // The names of the visible controls among all of the window's 29.
  std::set<std::string> Visible() {
    std::set<std::string> out;
    auto add = [&](const std::vector<Named>& list) {
      for (const Named& n : list) {
        if (IsWindowVisible(Hwnd(n.id))) out.insert(n.name);
      }
    };
    for (const auto& page : kPageMembers) add(page);
    add(kHeaderControls);
    return out;
  }
  static std::set<std::string> Expected(int page) {
    std::set<std::string> out;
    for (const Named& n : kHeaderControls) out.insert(n.name);
    for (const Named& n : kPageMembers[page]) out.insert(n.name);
    return out;
  }
  std::string Focused() {
    HWND focus = GetFocus();
    for (const auto& page : kPageMembers) {
      for (const Named& n : page) {
        if (Hwnd(n.id) == focus) return n.name;
      }
    }
    return focus ? "another window" : "none";
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
    SetControlNumber(kMainWindow, kTabPager, 12, row.page);
    EXPECT_EQ(GetControlNumber(kMainWindow, kTabPager, 12), row.page);
    EXPECT_EQ(Visible(), Expected(row.page));
    EXPECT_EQ(Focused(), row.focus);
    EXPECT_EQ(TakeEvents(), (Events{"changing " + std::to_string(row.page), "changed"}));
  }
}

TEST_F(TabPagerOnMainWindow, WritesThatChangeNothing) {
  const struct {
    const char* label;
    int64_t value;
  } rows[] = {
      {"past the last page", 4},
      {"-1", -1},
      {"the current page again", 0},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    SetControlNumber(kMainWindow, kTabPager, 12, row.value);
    EXPECT_EQ(GetControlNumber(kMainWindow, kTabPager, 12), 0);
    EXPECT_EQ(Visible(), Expected(0));
    EXPECT_EQ(TakeEvents(), Events{});
  }
}

TEST_F(TabPagerOnMainWindow, ChangingHandlerReturningFalseKeepsTheOldPageAndItsControls) {
  g_allow_change = false;
  SetControlNumber(kMainWindow, kTabPager, 12, 2);
  EXPECT_EQ(TakeEvents(), Events{"changing 2"});
  EXPECT_EQ(GetControlNumber(kMainWindow, kTabPager, 12), 0);
  EXPECT_EQ(Visible(), Expected(0));
  EXPECT_EQ(SendMessageW(Hwnd(kTabPager), TCM_SETCURSEL, 2, 0), -1)
      << "a cancelled selection did not take place";
  EXPECT_EQ(Visible(), Expected(0));
}

TEST_F(TabPagerOnMainWindow, PageAreaIsTheClientAreaAndHeaderPositionSevenIsIgnored) {
  RECT client{};
  GetClientRect(Hwnd(kTabPager), &client);
  EXPECT_EQ(client.right, 820 - 0) << "TabPager has no border";
  EXPECT_EQ(GetControlNumber(kMainWindow, kTabPager, 58), 0);
  EXPECT_EQ(GetControlNumber(kMainWindow, kTabPager, 59), 0);
  EXPECT_EQ(GetControlNumber(kMainWindow, kTabPager, 60), client.right);
  EXPECT_EQ(GetControlNumber(kMainWindow, kTabPager, 61), client.bottom);

  SetControlNumber(kMainWindow, kTabPager, 8, 7);
  EXPECT_EQ(GetControlNumber(kMainWindow, kTabPager, 8), 0);
  EXPECT_EQ(GetControlNumber(kMainWindow, kTabPager, 60), client.right);
}

TEST_F(TabPagerOnMainWindow, PageChildrenAreItsWindowsChildrenAndTheirClicksGetThrough) {
  for (const auto& page : kPageMembers) {
    for (const Named& n : page) EXPECT_EQ(GetParent(Hwnd(n.id)), Hwnd(kTabPager)) << n.name;
  }
  SetControlNumber(kMainWindow, kTabPager, 12, 1);
  TakeEvents();
  // The button tells its parent, TabPager, which hands the notice back to it.
  SendMessageW(Hwnd(kViewButton3), BM_CLICK, 0, 0);
  EXPECT_EQ(TakeEvents(), Events{"button clicked"});
}

}  // namespace
