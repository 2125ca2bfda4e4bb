// TabPager inside the loaded MainWindow: which controls each page shows,
// where the focus lands, and the writes that must change nothing, all through
// the property entry points the application uses.
#include <gtest/gtest.h>
#include <windows.h>

#include <set>
#include <string>
#include <vector>

#include "format/property_fields.h"
#include "format/window_ids.h"
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
    {"VersionLabel", ids::MainWindow_VersionLabel, 0},
    {"PageTextLabel", ids::MainWindow_PageTextLabel, 0},
    {"PageView", ids::MainWindow_PageView, 0},
    {"PagePicture5", ids::MainWindow_PagePicture5, 0},
    {"PagePicture4", ids::MainWindow_PagePicture4, 0},
    {"PagePicture3", ids::MainWindow_PagePicture3, 0},
    {"PagePicture2", ids::MainWindow_PagePicture2, 0},
    {"PagePicture1", ids::MainWindow_PagePicture1, 0},
    {"ViewButton3", ids::MainWindow_ViewButton3, 1},
    {"ViewButton2", ids::MainWindow_ViewButton2, 1},
    {"ViewButton1", ids::MainWindow_ViewButton1, 1},
    {"FeeNoteBox", ids::MainWindow_FeeNoteBox, 1},
    {"CourseListLabel", ids::MainWindow_CourseListLabel, 1},
    {"HistoryBox", ids::MainWindow_HistoryBox, 2},
    {"ContactPicture", ids::MainWindow_ContactPicture, 3},
    {"ChatButton1", ids::MainWindow_ChatButton1, 3},
    {"ChatButton2", ids::MainWindow_ChatButton2, 3},
    {"ChatButton3", ids::MainWindow_ChatButton3, 3},
    {"ContactLabel", ids::MainWindow_ContactLabel, 3},
    {"UpdateButton", ids::MainWindow_UpdateButton, -1},
    {"HelpButton", ids::MainWindow_HelpButton, -1},
    {"PromoButton", ids::MainWindow_PromoButton, -1},
    {"TabPicture3", ids::MainWindow_TabPicture3, -1},
    {"TabPicture2", ids::MainWindow_TabPicture2, -1},
    {"TabPicture1", ids::MainWindow_TabPicture1, -1},
    {"TabPicture0", ids::MainWindow_TabPicture0, -1},
    {"HeaderBand", ids::MainWindow_HeaderBand, -1},
    {"TabPager", ids::MainWindow_TabPager, -1},
    {"LatestVersionLabel", ids::MainWindow_LatestVersionLabel, -1},
};

class TabPagerOnMainWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    PrepareDescriptions();
    window_ = LiveWindow::Load(ids::MainWindow);
    ASSERT_NE(window_, nullptr);
    // Shown and active, so visibility and focus read as a person meets them.
    ShowWindow(window_->hwnd(), SW_SHOW);
    SetForegroundWindow(window_->hwnd());
    // As the start-up handler does.
    SetControlNumber(ids::MainWindow, ids::MainWindow_TabPager, kCurrentPage, 0);
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
    SetControlNumber(ids::MainWindow, ids::MainWindow_TabPager, kCurrentPage, row.page);
    EXPECT_EQ(GetControlNumber(ids::MainWindow, ids::MainWindow_TabPager, kCurrentPage), row.page);
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
    SetControlNumber(ids::MainWindow, ids::MainWindow_TabPager, kCurrentPage, row.value);
    EXPECT_EQ(GetControlNumber(ids::MainWindow, ids::MainWindow_TabPager, kCurrentPage), 0);
    EXPECT_EQ(Visible(), Expected(0));
    EXPECT_EQ(TakeEvents(), row.events);
  }
}

TEST_F(TabPagerOnMainWindow, PageAreaIsTheClientAreaAndHeaderPositionSevenIsIgnored) {
  RECT client{};
  GetClientRect(Hwnd(ids::MainWindow_TabPager), &client);
  ASSERT_EQ(client.right, 820) << "TabPager has no border";
  auto page_area = [] {
    std::vector<int64_t> area;
    for (int index = 58; index <= 61; ++index)
      area.push_back(GetControlNumber(ids::MainWindow, ids::MainWindow_TabPager, index));
    return area;
  };
  EXPECT_EQ(page_area(), (std::vector<int64_t>{0, 0, client.right, client.bottom}));
  SetControlNumber(ids::MainWindow, ids::MainWindow_TabPager, kHeaderPosition, 7);
  EXPECT_EQ(GetControlNumber(ids::MainWindow, ids::MainWindow_TabPager, kHeaderPosition), 0);
  EXPECT_EQ(page_area(), (std::vector<int64_t>{0, 0, client.right, client.bottom}));
}

TEST_F(TabPagerOnMainWindow, PageMembersAreItsChildrenAndTheirClicksGetThrough) {
  for (const auto& c : kControls) {
    EXPECT_EQ(GetParent(Hwnd(c.id)) == Hwnd(ids::MainWindow_TabPager), c.page >= 0) << c.name;
  }
  SetControlNumber(ids::MainWindow, ids::MainWindow_TabPager, kCurrentPage, 1);
  TakeEvents();
  // The button tells its parent, TabPager, which hands the notice back to it.
  SendMessageW(Hwnd(ids::MainWindow_ViewButton3), BM_CLICK, 0, 0);
  EXPECT_EQ(TakeEvents(), Events{"button clicked"});
}

}  // namespace
