// The platform's floor for velmora.exe's start: what MainWindow costs when the
// system makes all of it. Same toolchain, same DLLs linked at load, same
// manifest, icon and embedded bytes; a frame of MainWindow's size with a
// system child window at each control's place (BUTTON, STATIC, EDIT; the
// pager's hidden pages hidden) and the system WebBrowser in the HTML view's
// place, navigated to a page written beside the program; then shown. Titled
// so the benchmark finds it, closed by Esc.
// clang-format off
#include <windows.h>
#include <commctrl.h>
#include <exdisp.h>
#include <ole2.h>
#include <wininet.h>
// clang-format on

#include "base/bench_marks.h"
#include "bench/floor_browser_site_win32.h"
#include "floor_window_ballast.h"

namespace {

enum FloorKind { kButton, kLabel, kPicture, kEdit, kPager, kBrowserHost };
struct FloorControl {
  FloorKind kind;
  int parent;  // index in the table, or -1 for the frame
  int x, y, width, height;
  bool shown;
  const wchar_t* text;
};
#include "floor_layout.h"

const wchar_t kClass[] = L"VelmoraFloorWindow";

// Linked at load as velmora.exe links it, though the floor never calls it.
void* volatile linked_only[] = {reinterpret_cast<void*>(&InternetOpenA)};

LRESULT CALLBACK FrameProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

HWND MakeFrame(HINSTANCE instance) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
  wc.lpfnWndProc = FrameProc;
  wc.hInstance = instance;
  wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
  wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = kClass;
  if (!RegisterClassExW(&wc)) return nullptr;
  // Centred, as MainWindow's Position asks; hidden until everything is in it.
  int x = (GetSystemMetrics(SM_CXSCREEN) - kFloorWidth) / 2;
  int y = (GetSystemMetrics(SM_CYSCREEN) - kFloorHeight) / 2;
  return CreateWindowExW(WS_EX_APPWINDOW, kClass, L"Velmora floor window",
                         WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN, x, y, kFloorWidth,
                         kFloorHeight, nullptr, nullptr, instance, nullptr);
}

HWND MakeControl(const FloorControl& c, HWND parent, int id, HINSTANCE instance) {
  const wchar_t* cls = L"STATIC";
  DWORD style = WS_CHILD | WS_CLIPSIBLINGS | (c.shown ? WS_VISIBLE : 0);
  DWORD ex_style = 0;
  switch (c.kind) {
    case kButton:
      cls = L"BUTTON";
      style |= BS_PUSHBUTTON | BS_MULTILINE | WS_TABSTOP;
      break;
    case kEdit:
      cls = L"EDIT";
      style |= ES_MULTILINE | ES_AUTOVSCROLL | WS_VSCROLL | WS_TABSTOP;
      ex_style = WS_EX_CLIENTEDGE;
      break;
    case kPager:
    case kBrowserHost:
      style |= WS_CLIPCHILDREN;
      break;
    case kLabel:
    case kPicture:
      break;
  }
  HWND hwnd = CreateWindowExW(ex_style, cls, c.text, style, c.x, c.y, c.width, c.height, parent,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
  if (hwnd) SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
  return hwnd;
}

// All controls, parents first as the table lists them; returns the browser's host.
HWND MakeControls(HWND frame, HINSTANCE instance) {
  constexpr int kCount = sizeof kFloorControls / sizeof kFloorControls[0];
  HWND made[kCount] = {};
  HWND browser_host = nullptr;
  for (int i = 0; i < kCount; ++i) {
    const FloorControl& c = kFloorControls[i];
    made[i] = MakeControl(c, c.parent < 0 ? frame : made[c.parent], 100 + i, instance);
    if (!made[i]) return nullptr;
    if (c.kind == kBrowserHost) browser_host = made[i];
  }
  return browser_host;
}

// The first content page, written beside the program as velmora.exe writes its pages.
bool WritePage(wchar_t* path, DWORD size) {
  DWORD n = GetModuleFileNameW(nullptr, path, size);
  if (n == 0 || n >= size) return false;
  while (n > 0 && path[n - 1] != L'\\' && path[n - 1] != L'/') --n;
  const wchar_t kName[] = L"floor_page.html";
  if (n + sizeof kName / sizeof kName[0] > size) return false;
  lstrcpyW(path + n, kName);
  HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  BOOL ok = WriteFile(file, ByteArrayData(&velmora_bare_pages), velmora_bare_pages.length, &written, nullptr);
  CloseHandle(file);
  return ok && written == static_cast<DWORD>(velmora_bare_pages.length);
}

bool Navigate(IWebBrowser2* browser) {
  wchar_t path[MAX_PATH];
  if (!WritePage(path, MAX_PATH)) return false;
  BSTR url = SysAllocString(path);
  VARIANT empty;
  VariantInit(&empty);
  HRESULT hr = browser->Navigate(url, &empty, &empty, &empty, &empty);
  SysFreeString(url);
  return SUCCEEDED(hr);
}

int Loop(HWND frame) {
  MSG msg;
  BOOL got;
  while ((got = GetMessageW(&msg, nullptr, 0, 0)) != 0 && got != -1) {
    // Esc closes wherever the focus is, the browser included.
    if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE) {
      DestroyWindow(frame);
      continue;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return 0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  VELMORA_BENCH_MARK("entry");
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  if (FAILED(OleInitialize(nullptr))) return 1;
  HWND frame = MakeFrame(instance);
  if (!frame) return 2;
  VELMORA_BENCH_MARK("frame");
  HWND host = MakeControls(frame, instance);
  if (!host) return 3;
  VELMORA_BENCH_MARK("controls");
  FloorBrowserSite site;
  if (!site.Open(host)) return 4;
  VELMORA_BENCH_MARK("browser");
  if (!Navigate(site.browser())) return 5;
  VELMORA_BENCH_MARK("navigate");
  ShowWindow(frame, SW_SHOWNORMAL);
  VELMORA_BENCH_MARK("shown");
  int code = Loop(frame);
  site.Close();
  OleUninitialize();
  return code;
}
