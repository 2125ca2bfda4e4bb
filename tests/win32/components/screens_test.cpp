// The four windows as a person sees them, saved as PNG files to look at, and
// what loading MainWindow costs against one bare window of the same size.
#include <gtest/gtest.h>

#include <string>

#include "components/property_access.h"
#include "components_test_support.h"
#include "png_writer.h"
#include "support/test_support.h"

namespace {

using namespace ids;

std::string g_screens;  // where to save screenshots, as Windows sees it; empty: nowhere

struct ScreenRow {
  const char* file;
  uint32_t window;
  int page;  // of TabPager, or -1
};
const ScreenRow kScreens[] = {
    {"main_window.png", kMainWindow, 0},       {"main_window_page1.png", kMainWindow, 1},
    {"main_window_page2.png", kMainWindow, 2}, {"main_window_page3.png", kMainWindow, 3},
    {"help_window.png", kHelpWindow, -1},      {"new_version_window.png", kNewVersionWindow, -1},
    {"follow_window.png", kFollowWindow, -1},
};

TEST(ScreensTest, EachWindowIsSavedAsItLooks) {
  if (g_screens.empty()) GTEST_SKIP() << "no --screens=<dir> given";
  CreateDirectoryA(g_screens.c_str(), nullptr);
  for (const ScreenRow& row : kScreens) {
    SCOPED_TRACE(row.file);
    LoadedWindow window(row.window);
    ASSERT_NE(window.get(), nullptr);
    // The application selects page 0 before the main window is first shown;
    // the stored current page is 3, so writing 3 at once would change nothing.
    if (row.page >= 0) SetControlNumber(kMainWindow, kTabPager, 12, 0);
    if (row.page > 0) SetControlNumber(kMainWindow, kTabPager, 12, row.page);
    window.ShowAndPaint();
    Pixels p = CaptureWindow(window->hwnd());
    RECT rc;
    GetWindowRect(window->hwnd(), &rc);
    EXPECT_EQ(p.width, rc.right - rc.left);
    EXPECT_TRUE(WritePng(g_screens + "\\" + row.file, p));
  }
}

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to) {
  LARGE_INTEGER f;
  QueryPerformanceFrequency(&f);
  return static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(f.QuadPart);
}

TEST(LoadBenchmark, MainWindowAgainstOneBareWindow) {
  PrepareProgramWindows();
  constexpr int kRounds = 20;
  LARGE_INTEGER t0, t1, t2;
  QueryPerformanceCounter(&t0);
  for (int i = 0; i < kRounds; ++i) {
    LiveWindow* w = LiveWindow::Load(kMainWindow);
    ASSERT_NE(w, nullptr);
    w->Destroy();
  }
  QueryPerformanceCounter(&t1);
  for (int i = 0; i < kRounds; ++i) {
    HWND bare = CreateWindowExW(WS_EX_APPWINDOW, L"WTWindow", L"", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, 0,
                                0, 856, 550, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(bare, nullptr);
    DestroyWindow(bare);
  }
  QueryPerformanceCounter(&t2);
  double load = Seconds(t0, t1) / kRounds, bare = Seconds(t1, t2) / kRounds;
  std::printf("MainWindow load+destroy %.2f ms, bare window %.3f ms, ratio %.0f\n", load * 1e3, bare * 1e3,
              load / bare);
  RecordProperty("load_ms", std::to_string(load * 1e3));
  RecordProperty("ratio", std::to_string(load / bare));
  EXPECT_GT(load, bare);
}

}  // namespace

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (std::strncmp(argv[i], "--screens=", 10) == 0) g_screens = WindowsPath(argv[i] + 10);
  }
  return RunTestMain(argc, argv);
}
