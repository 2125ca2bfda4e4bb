// The start-up baseline for velmora.exe: one window of MainWindow's size and
// frame, titled so the benchmark finds it, closed by Esc. Does nothing else:
// no descriptions, no pictures, no browser, no skin.
#include <windows.h>

namespace {

constexpr int kWidth = 856, kHeight = 550;  // MainWindow's stored size
const wchar_t kClass[] = L"VelmoraBareWindow";

LRESULT CALLBACK BareProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_KEYDOWN:
      if (wp == VK_ESCAPE) DestroyWindow(hwnd);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcW(hwnd, msg, wp, lp);
  }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
  wc.lpfnWndProc = BareProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = kClass;
  if (!RegisterClassExW(&wc)) return 1;
  // Centred, as MainWindow's Position asks.
  int x = (GetSystemMetrics(SM_CXSCREEN) - kWidth) / 2, y = (GetSystemMetrics(SM_CYSCREEN) - kHeight) / 2;
  HWND hwnd = CreateWindowExW(WS_EX_APPWINDOW, kClass, L"Velmora bare window",
                              WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN, x, y, kWidth,
                              kHeight, nullptr, nullptr, instance, nullptr);
  if (!hwnd) return 2;
  ShowWindow(hwnd, SW_SHOWNORMAL);
  MSG msg;
  BOOL got;
  while ((got = GetMessageW(&msg, nullptr, 0, 0)) != 0 && got != -1) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return 0;
}
