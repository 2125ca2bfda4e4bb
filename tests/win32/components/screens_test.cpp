// The four windows as a person sees them, saved as PNG files to look at.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "components_test_support.h"
#include "format/window_ids.h"
#include "support/test_support.h"
#include "windows/property_access.h"

namespace {

std::string g_screens;  // where to save screenshots, as Windows sees it; empty: nowhere

TEST(ScreensTest, EachWindowIsSavedAsItLooks) {
  if (g_screens.empty()) GTEST_SKIP() << "no --screens=<dir> given";
  CreateDirectoryA(g_screens.c_str(), nullptr);
  const struct {
    const char* file;
    uint32_t window;
    int page;  // of TabPager, or -1
  } screens[] = {
      {"main_window.png", ids::MainWindow, 0},       {"main_window_page1.png", ids::MainWindow, 1},
      {"main_window_page2.png", ids::MainWindow, 2}, {"main_window_page3.png", ids::MainWindow, 3},
      {"help_window.png", ids::HelpWindow, -1},      {"new_version_window.png", ids::NewVersionWindow, -1},
      {"follow_window.png", ids::FollowWindow, -1},
  };
  for (const auto& row : screens) {
    SCOPED_TRACE(row.file);
    LoadedWindow window(row.window);
    ASSERT_NE(window.get(), nullptr);
    // The application selects page 0 before the main window is first shown;
    // the stored current page is 3, so writing 3 at once would change nothing.
    if (row.page >= 0) SetControlNumber(ids::MainWindow, ids::MainWindow_TabPager, 12, 0);
    if (row.page > 0) SetControlNumber(ids::MainWindow, ids::MainWindow_TabPager, 12, row.page);
    window.ShowAndPaint();
    Pixels p = Capture(window->hwnd(), true);
    EXPECT_GT(p.width * p.height, 0);
    EXPECT_TRUE(WritePng(g_screens + "\\" + row.file, p));
  }
}

}  // namespace

extern bool g_plain_fonts;  // the prefix maps no face to an installed font

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (std::strncmp(argv[i], "--screens=", 10) == 0) g_screens = WindowsPath(argv[i] + 10);
    if (std::strcmp(argv[i], "--plain-fonts") == 0) g_plain_fonts = true;
  }
  return RunTestMain(argc, argv);
}
