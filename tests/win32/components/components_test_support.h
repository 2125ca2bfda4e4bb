// Shared by the component tests under Wine: the program's windows read once,
// loaded windows that go away with the test, and pixels read from the screen.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "support/screen_pixels.h"
#include "support/test_support.h"
#include "windows/live_window_win32.h"

namespace ids {
constexpr uint32_t kMainWindow = 0x52010001, kMainWindowRecord = 0x06010000;
constexpr uint32_t kHelpWindow = 0x520100a3, kNewVersionWindow = 0x520100ab, kFollowWindow = 0x5201011c;
constexpr uint32_t kUpdateButton = 0x16010119, kVersionLabel = 0x160100d5, kHelpButton = 0x160100a0,
                   kPromoButton = 0x1601009e, kContactPicture = 0x1601009d, kChatButton1 = 0x1601009a,
                   kChatButton2 = 0x16010099, kChatButton3 = 0x16010097, kContactLabel = 0x16010096,
                   kViewButton3 = 0x16010094, kViewButton2 = 0x16010093, kViewButton1 = 0x16010092,
                   kFeeNoteBox = 0x16010091, kCourseListLabel = 0x1601007e, kHistoryBox = 0x16010076,
                   kTabPicture3 = 0x16010065, kTabPicture2 = 0x16010064, kTabPicture1 = 0x1601002b,
                   kTabPicture0 = 0x1601002a, kHeaderBand = 0x1601006c, kPageView = 0x1601001a,
                   kPagePicture5 = 0x16010019, kPagePicture4 = 0x16010018, kPagePicture3 = 0x16010017,
                   kPagePicture2 = 0x16010016, kPagePicture1 = 0x16010014, kTabPager = 0x16010002,
                   kPageTextLabel = 0x160100c9, kLatestVersionLabel = 0x160100ca;
constexpr uint32_t kNoticeLabel = 0x16010108, kHelpCloseButton = 0x160100a7, kFollowPicture = 0x1601011d;
}  // namespace ids

// Reads the program's window descriptions once, no handler bound.
void PrepareProgramWindows();

// A window loaded for one test and destroyed when the test ends.
class LoadedWindow {
 public:
  explicit LoadedWindow(uint32_t window_id);
  ~LoadedWindow();
  LoadedWindow(const LoadedWindow&) = delete;
  LoadedWindow& operator=(const LoadedWindow&) = delete;
  LiveWindow* get() const { return window_; }
  LiveWindow* operator->() const { return window_; }
  HWND Hwnd(uint32_t control_id) const;
  // Shows the frame and lets it paint.
  void ShowAndPaint() const;

 private:
  uint32_t id_;
  LiveWindow* window_;
};

// A window's rectangle in its parent's client coordinates.
inline RECT RectInParent(HWND hwnd) {
  RECT rc;
  GetWindowRect(hwnd, &rc);
  MapWindowPoints(HWND_DESKTOP, GetParent(hwnd), reinterpret_cast<POINT*>(&rc), 2);
  return rc;
}
inline bool HasStyle(HWND hwnd, LONG_PTR bits) { return (GetWindowLongPtrW(hwnd, GWL_STYLE) & bits) == bits; }

// A test with MainWindow loaded.
class MainWindowTest : public ::testing::Test {
 protected:
  MainWindowTest() : window_(ids::kMainWindow) {}
  void SetUp() override { ASSERT_NE(window_.get(), nullptr); }
  HWND Hwnd(uint32_t id) const { return id == ids::kMainWindowRecord ? window_->hwnd() : window_.Hwnd(id); }
  LoadedWindow window_;
};

// A GBK text from UTF-16, for writing captions in tests.
std::string Gbk(const wchar_t* text);
