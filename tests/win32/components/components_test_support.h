// Shared by the component tests under Wine: the program's windows read once
// with recording handlers, loaded windows that go away with the test, and
// pixels read back from the screen.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "forms/live_window_win32.h"

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
constexpr uint32_t kNoticeLabel = 0x16010108, kAddressLabel1 = 0x160100ad, kAddressBox1 = 0x160100ac;
constexpr uint32_t kHelpCloseButton = 0x160100a7, kFollowPicture = 0x1601011d;
}  // namespace ids

// Reads the program's window descriptions once, binding the handler names
// the program uses to a recorder.
void PrepareProgramWindows();
// The events the recorder saw, as "window:control:event", oldest first.
std::vector<std::string>& RecordedEvents();

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

// Runs the message queue until it is empty, then a little longer.
void PumpMessages(int ms = 50);

// A window's pixels as the screen shows them (its whole outer rectangle, or
// the client area), as 0x00RRGGBB rows top-down.
struct Pixels {
  int width = 0, height = 0;
  std::vector<uint32_t> data;
  uint32_t At(int x, int y) const { return data[static_cast<size_t>(y) * width + x]; }
};
Pixels CaptureClient(HWND hwnd);
Pixels CaptureWindow(HWND hwnd);
// COLORREF (0x00BBGGRR) as the 0x00RRGGBB that captures hold.
inline uint32_t Rgb(COLORREF c) { return (c & 0xFF) << 16 | (c & 0xFF00) | (c >> 16 & 0xFF); }
bool Near(uint32_t rgb, uint32_t expected, int tolerance);

// A GBK text from UTF-16, for writing captions in tests.
std::string Gbk(const wchar_t* text);
