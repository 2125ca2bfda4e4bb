#include "components_test_support.h"

#include <cstdlib>
#include <cstring>

#include "forms/dispatcher.h"
#include "forms/handler_key.h"
#include "forms/program_windows.h"

namespace {

std::vector<std::string> g_events;

HandlerResult Record(const int32_t*, int32_t) {
  uint32_t window = 0, control = 0;
  CurrentEventSource(&window, &control);
  char buf[64];
  wsprintfA(buf, "%08x:%08x", window, control);
  g_events.push_back(buf);
  return {false, 0};
}

const char* const kBoundNames[] = {
    "OnStartup",       "OnShutdown",        "ShowFollowWindow",  "ShowHelpWindow",    "OpenSiteLink15A",
    "OpenChatLink1",   "OpenChatLink2",     "OpenChatLink3",     "OpenSiteLink15B",   "OpenSiteLink55",
    "OpenSiteLink520", "SelectTab0",        "SelectTab1",        "SelectTab2",        "SelectTab3",
    "ShowPage1",       "ShowPage2",         "ShowPage3",         "ShowPage4",         "ShowPage5",
    "CloseHelpWindow", "OpenDownloadLink1", "OpenDownloadLink2", "OpenDownloadLink3", "CopyAccessCode1",
    "CopyAccessCode2",
};

}  // namespace

std::vector<std::string>& RecordedEvents() { return g_events; }

void PrepareProgramWindows() {
  static bool done = false;
  if (done) return;
  done = true;
  static std::vector<HandlerEntry> table;
  for (const char* name : kBoundNames) table.push_back({HandlerKey(name), &Record});
  ReadProgramWindows(table);
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

namespace {

Pixels CaptureFrom(HDC source, int x, int y, int width, int height) {
  Pixels out;
  out.width = width;
  out.height = height;
  out.data.resize(static_cast<size_t>(width) * height);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HDC memory = CreateCompatibleDC(source);
  HBITMAP dib = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, dib);
  BitBlt(memory, 0, 0, width, height, source, x, y, SRCCOPY);
  GdiFlush();
  std::memcpy(out.data.data(), bits, out.data.size() * 4);
  for (uint32_t& p : out.data) p &= 0xFFFFFF;
  SelectObject(memory, old);
  DeleteObject(dib);
  DeleteDC(memory);
  return out;
}

}  // namespace

// Read from the screen, where the window's children and frame are composed.
Pixels CaptureClient(HWND hwnd) {
  RECT rc;
  GetClientRect(hwnd, &rc);
  POINT origin{0, 0};
  ClientToScreen(hwnd, &origin);
  HDC screen = GetDC(nullptr);
  Pixels p = CaptureFrom(screen, origin.x, origin.y, rc.right, rc.bottom);
  ReleaseDC(nullptr, screen);
  return p;
}

Pixels CaptureWindow(HWND hwnd) {
  RECT rc;
  GetWindowRect(hwnd, &rc);
  HDC screen = GetDC(nullptr);
  Pixels p = CaptureFrom(screen, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top);
  ReleaseDC(nullptr, screen);
  return p;
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
