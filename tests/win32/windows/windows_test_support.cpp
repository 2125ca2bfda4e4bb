#include "windows_test_support.h"

#include <commctrl.h>

#include <algorithm>
#include <map>

#include "format/program_windows.h"
#include "windows/window_input_win32.h"

std::vector<std::string> g_log;

std::vector<std::string> TakeLog() {
  std::vector<std::string> log;
  log.swap(g_log);
  return log;
}

void PrepareProgramWindows() {
  static bool done = false;
  if (!done) ReadProgramWindows({});
  done = true;
}

BindingPatch::BindingPatch(uint32_t window_id, uint32_t record_id, std::vector<EventBinding> bindings)
    : bindings_(std::move(bindings)) {
  PrepareProgramWindows();
  WindowDescription* w = ProgramWindows().Find(window_id);
  record_ = w->RecordAt(w->FindRecord(record_id));
  saved_ = record_->bindings;
  record_->bindings = bindings_;
}

BindingPatch::~BindingPatch() { record_->bindings = saved_; }

void Pump(int ms) {
  DWORD end = GetTickCount() + static_cast<DWORD>(ms);
  for (;;) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (!PreTranslateWindowMessage(&msg)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
      }
      LiveWindow::DeleteGoneWindows();
    }
    if (GetTickCount() >= end) return;
    Sleep(10);
  }
}

void CloseAllWindows() {
  while (!LiveWindows().empty()) LiveWindows().back()->Destroy();
  Pump();
}

HWND FrameOf(uint32_t window_id) {
  LiveWindow* w = FindLiveWindow(window_id);
  return w ? w->hwnd() : nullptr;
}

HWND HwndOf(uint32_t window_id, uint32_t control_id) {
  LiveWindow* w = FindLiveWindow(window_id);
  Control* c = w ? w->FindControl(control_id) : nullptr;
  return c ? c->hwnd() : nullptr;
}

namespace {

struct Watch {
  std::string name;
  std::vector<UINT> messages;
};

std::map<HWND, Watch*>& Watches() {
  static std::map<HWND, Watch*> watches;
  return watches;
}

LRESULT CALLBACK WatchProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR data) {
  auto* watch = reinterpret_cast<Watch*>(data);
  if (std::find(watch->messages.begin(), watch->messages.end(), msg) != watch->messages.end()) {
    g_log.push_back(watch->name + " sees " + std::to_string(msg) + " " + std::to_string(wp));
  }
  if (msg == WM_NCDESTROY) {
    RemoveWindowSubclass(hwnd, WatchProc, 1);
    Watches().erase(hwnd);
    delete watch;
  }
  return DefSubclassProc(hwnd, msg, wp, lp);
}

}  // namespace

void WatchMessages(HWND hwnd, const char* name, std::vector<UINT> messages) {
  StopWatching(hwnd);
  auto* watch = new Watch{name, std::move(messages)};
  Watches()[hwnd] = watch;
  SetWindowSubclass(hwnd, WatchProc, 1, reinterpret_cast<DWORD_PTR>(watch));
}

void StopWatching(HWND hwnd) {
  auto it = Watches().find(hwnd);
  if (it == Watches().end()) return;
  RemoveWindowSubclass(hwnd, WatchProc, 1);
  delete it->second;
  Watches().erase(it);
}
