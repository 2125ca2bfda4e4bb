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
