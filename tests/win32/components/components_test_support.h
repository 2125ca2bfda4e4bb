// Shared by the component tests under Wine: the program's windows read once,
// loaded windows that go away with the test, and pixels read from the screen.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "format/property_fields.h"
#include "format/window_ids.h"
#include "support/screen_pixels.h"
#include "support/test_support.h"
#include "windows/live_window_win32.h"

// Property indexes several component tests write, named from the kinds' field lists.
inline constexpr int kLabelCaption = PropertyIndex<LabelProperties>("Caption"),
                     kPicPicture = PropertyIndex<PicBoxProperties>("Picture"),
                     kPicDisplayMode = PropertyIndex<PicBoxProperties>("DisplayMode"),
                     kEditContent = PropertyIndex<EditBoxProperties>("Content");

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
  MainWindowTest() : window_(ids::MainWindow) {}
  void SetUp() override { ASSERT_NE(window_.get(), nullptr); }
  HWND Hwnd(uint32_t id) const { return id == ids::MainWindow_Record ? window_->hwnd() : window_.Hwnd(id); }
  LoadedWindow window_;
};

// A GBK text from UTF-16, for writing captions in tests.
std::string Gbk(const wchar_t* text);
