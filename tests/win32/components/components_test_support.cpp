#include "components_test_support.h"

#include <cstdlib>
#include <cstring>

#include "format/program_windows.h"

// No handlers: the tests that need events bind their own.
void PrepareProgramWindows() {
  static bool done = false;
  if (!done) ReadProgramWindows({});
  done = true;
}

LoadedWindow::LoadedWindow(uint32_t window_id) : id_(window_id) {
  PrepareProgramWindows();
  window_ = LiveWindow::Load(window_id);
}

LoadedWindow::~LoadedWindow() {
  if (LiveWindow* w = FindLiveWindow(id_)) w->Destroy();
  PumpMessages(0);
}

HWND LoadedWindow::Hwnd(uint32_t control_id) const {
  Control* c = window_ ? window_->FindControl(control_id) : nullptr;
  return c ? c->hwnd() : nullptr;
}

void LoadedWindow::ShowAndPaint() const {
  HWND frame = window_->hwnd();
  ShowWindow(frame, SW_SHOWNORMAL);
  SetForegroundWindow(frame);
  RedrawWindow(frame, nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
  PumpMessages(150);
}

std::string Gbk(const wchar_t* text) {
  int n = WideCharToMultiByte(936, 0, text, -1, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(n > 0 ? n - 1 : 0), '\0');
  if (n > 1) WideCharToMultiByte(936, 0, text, -1, out.data(), n, nullptr, nullptr);
  return out;
}
