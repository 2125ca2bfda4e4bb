#include "components_test_support.h"

#include <cstdlib>
#include <cstring>

#include "forms/program_windows.h"

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

void PumpMessages(int ms) {
  DWORD end = GetTickCount() + static_cast<DWORD>(ms);
  do {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    if (ms) Sleep(5);
  } while (static_cast<int>(end - GetTickCount()) > 0);
}

// Read from the screen, where the window's children and frame are composed.
Pixels Capture(HWND hwnd, bool whole_window) {
  RECT rc;
  if (whole_window) {
    GetWindowRect(hwnd, &rc);
  } else {
    GetClientRect(hwnd, &rc);
    MapWindowPoints(hwnd, HWND_DESKTOP, reinterpret_cast<POINT*>(&rc), 2);
  }
  Pixels out;
  out.width = rc.right - rc.left;
  out.height = rc.bottom - rc.top;
  out.data.resize(static_cast<size_t>(out.width) * out.height);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = out.width;
  info.bmiHeader.biHeight = -out.height;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HDC screen = GetDC(nullptr), memory = CreateCompatibleDC(screen);
  HBITMAP dib = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, dib);
  BitBlt(memory, 0, 0, out.width, out.height, screen, rc.left, rc.top, SRCCOPY);
  GdiFlush();
  std::memcpy(out.data.data(), bits, out.data.size() * 4);
  for (uint32_t& p : out.data) p &= 0xFFFFFF;
  SelectObject(memory, old);
  DeleteObject(dib);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return out;
}

bool Near(uint32_t rgb, uint32_t expected, int tolerance) {
  for (int shift = 0; shift < 24; shift += 8) {
    int a = static_cast<int>(rgb >> shift & 0xFF), b = static_cast<int>(expected >> shift & 0xFF);
    if (std::abs(a - b) > tolerance) return false;
  }
  return true;
}

std::string Gbk(const wchar_t* text) {
  int n = WideCharToMultiByte(936, 0, text, -1, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(n > 0 ? n - 1 : 0), '\0');
  if (n > 1) WideCharToMultiByte(936, 0, text, -1, out.data(), n, nullptr, nullptr);
  return out;
}
