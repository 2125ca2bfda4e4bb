// Loading windows with their creation events, modal windows and their nested
// loops, and the program's message loop. Input and keys the loop hands to
// the windows first live in window_input_win32.cpp.
#include "windows/windows_win32.h"

#include <windows.h>

#include "base/bench_marks.h"
#include "base/fatal.h"
#include "components/common_controls_win32.h"
#include "format/event_numbers.h"
#include "format/program_windows.h"
#include "format/property_fields.h"
#include "windows/live_window_win32.h"
#include "windows/texts_gbk.h"
#include "windows/window_input_win32.h"

namespace {

constexpr int kPositionIndex = OwnIndex<WindowProperties>("Position");
bool g_main_loop_running = false;

int ShowCommandFor(int64_t position) {
  switch (position) {
    case 2:
      return SW_SHOWMAXIMIZED;
    case 3:
      return SW_SHOWMINIMIZED;
    default:
      return SW_SHOWNORMAL;
  }
}

bool StillOpen(uint64_t serial) { return FindLiveWindowBySerial(serial) != nullptr; }

// Created, the first move and size, showing, the modal disabling and the
// focus given back, each only while the window still exists.
void RunCreationEvents(LiveWindow* w, bool modal) {
  uint64_t serial = w->serial();
  for (int32_t event : {kCreated, kMoved, kResized}) {
    w->RaiseOwnEvent(event);
    if (!StillOpen(serial)) return;
  }
  w->set_live();
  HWND frame = w->hwnd();
  HWND had = GetFocus();
  if (!had || !IsChild(frame, had)) had = nullptr;
  if (w->description()->records[0].visible()) {
    ShowWindow(frame, ShowCommandFor(w->FrameNumber(kPositionIndex)));
    VELMORA_BENCH_MARK("shown");
    if (!StillOpen(serial)) return;
  }
  if (modal) w->DisableOthers();
  if (had && IsWindow(had) && GetFocus() != had) SetFocus(had);
}

void PumpMessage(MSG* msg) {
  if (!PreTranslateWindowMessage(msg)) {
    TranslateMessage(msg);
    DispatchMessageW(msg);
  }
  LiveWindow::DeleteGoneWindows();
}

// Runs until the modal window is gone; a quit message is left for the outer loop.
void RunModalLoop(uint64_t serial) {
  MSG msg;
  while (StillOpen(serial)) {
    BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got == -1) return;  // the queue is unusable: nothing more can run
    if (got == 0) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      return;
    }
    PumpMessage(&msg);
  }
}

}  // namespace

bool LoadWindow(uint32_t window_id, uint32_t owner_window_id, bool modal) {
  LiveWindow* owner = owner_window_id ? FindLiveWindow(owner_window_id) : nullptr;
  if (owner_window_id && (!owner || !owner->hwnd())) return false;
  if (!ProgramWindows().Find(window_id)) return false;
  if (LiveWindow* open = FindLiveWindow(window_id)) {
    if (!open->close_pending()) {
      HWND frame = open->hwnd();
      if (IsIconic(frame)) {
        ShowWindow(frame, SW_RESTORE);
      } else {
        SetForegroundWindow(frame);
      }
      return true;
    }
    open->Destroy();  // the pending close is carried out first
  }
  LiveWindow* w = LiveWindow::Load(window_id, modal || !owner ? nullptr : owner->hwnd());
  if (!w) return false;
  uint64_t serial = w->serial();
  RunCreationEvents(w, modal);
  if (modal) RunModalLoop(serial);
  return true;
}

void DestroyWindowUnit(uint32_t window_id) {
  if (LiveWindow* w = FindLiveWindow(window_id)) w->PostCloseRequest();
}

void LoadStartWindow(uint32_t window_id) {
  // Without the common controls no window of ours can be made.
  if (!LoadCommonControls() || !LoadWindow(window_id, 0, false)) ReportFatal(0, gbk::kStartWindowFailed);
}

void RunMessageLoop() {
  if (LiveWindows().empty()) return;
  g_main_loop_running = true;
  MSG msg;
  for (;;) {
    BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0 || got == -1) break;  // -1: the queue is unusable
    PumpMessage(&msg);
  }
  g_main_loop_running = false;
  LiveWindow::DeleteGoneWindows();
}

bool MessageLoopRunning() { return g_main_loop_running; }
