// Shared by the window tests: the program's windows read without handlers,
// bindings of the tests' own put on records for one test, a log of what the
// handlers and the targets saw, and a pump that hands messages to the windows
// as the program's loop does.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "format/handlers.h"
#include "format/window_descriptions.h"
#include "windows/live_window_win32.h"

namespace ids {
constexpr uint32_t kMainWindow = 0x52010001, kMainRecord = 0x06010000;
constexpr uint32_t kHelpWindow = 0x520100a3, kHelpRecord = 0x060100a2, kHelpCloseButton = 0x160100a7,
                   kHelpTextLabel = 0x160100a4;
constexpr uint32_t kFollowWindow = 0x5201011c, kFollowRecord = 0x0601011b;
constexpr uint32_t kNewVersionWindow = 0x520100ab;
constexpr uint32_t kUpdateButton = 0x16010119, kHelpButton = 0x160100a0, kPromoButton = 0x1601009e,
                   kPageView = 0x1601001a, kTabPager = 0x16010002, kFeeNoteBox = 0x16010091,
                   kTabPicture0 = 0x1601002a;
}  // namespace ids

void PrepareProgramWindows();

// What handlers and targets saw, in order.
extern std::vector<std::string> g_log;
std::vector<std::string> TakeLog();

// A handler that logs "name" and the event's arguments; Answering ones
// return `R`.
template <const char* Name>
void Logs(int32_t a, int32_t b, int32_t c) {
  g_log.push_back(std::string(Name) + " " + std::to_string(a) + " " + std::to_string(b) + " " +
                  std::to_string(c));
}
template <const char* Name, int32_t R>
int32_t Answers(int32_t a, int32_t b, int32_t c) {
  Logs<Name>(a, b, c);
  return R;
}

// Replaces a record's bindings until the test ends.
class BindingPatch {
 public:
  BindingPatch(uint32_t window_id, uint32_t record_id, std::vector<EventBinding> bindings);
  ~BindingPatch();
  BindingPatch(const BindingPatch&) = delete;
  BindingPatch& operator=(const BindingPatch&) = delete;

 private:
  ControlRecord* record_;
  std::span<const EventBinding> saved_;
  std::vector<EventBinding> bindings_;
};

// Hands waiting messages to the windows as the program's loop does, for ms.
void Pump(int ms = 0);
// Closes every window the test left open.
void CloseAllWindows();

HWND FrameOf(uint32_t window_id);
HWND HwndOf(uint32_t window_id, uint32_t control_id);

// Logs "<name> sees <message> <wParam>" for the listed messages a window gets.
void WatchMessages(HWND hwnd, const char* name, std::vector<UINT> messages);
void StopWatching(HWND hwnd);
