// What a program that loads its DLLs right still takes from its own folder
// under this Wine: it imports only KnownDLLs, limits the search first, then
// loads the common controls, WinINet and the rich-text control and makes the
// system's browser and a window, as velmora.exe does. With --naive it only
// loads dwmapi by name, without the limit, so the planting test can see that
// a planted DLL is noticed at all.
#include <windows.h>
// After windows.h, which the others need first.
#include <commctrl.h>
#include <exdisp.h>
#include <ole2.h>
#include <wininet.h>

#include <cstring>

#include "base/system_library_win32.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR command_line, int) {
  if (std::strstr(command_line, "--naive")) return LoadLibraryW(L"dwmapi.dll") ? 1 : 0;
  LimitLibrarySearch();
  OleInitialize(nullptr);
  HMODULE comctl = LoadLibraryW(L"comctl32.dll");
  using InitFn = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
  auto init = comctl ? reinterpret_cast<InitFn>(
                           reinterpret_cast<void (*)()>(GetProcAddress(comctl, "InitCommonControlsEx")))
                     : nullptr;
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES};
  if (init) init(&icc);
  if (HMODULE inet = LoadSystemLibrary(L"wininet.dll")) {
    using OpenFn = HINTERNET(WINAPI*)(LPCSTR, DWORD, LPCSTR, LPCSTR, DWORD);
    auto open = reinterpret_cast<OpenFn>(reinterpret_cast<void (*)()>(GetProcAddress(inet, "InternetOpenA")));
    if (HINTERNET h = open ? open("reference", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0) : nullptr) {
      using CloseFn = BOOL(WINAPI*)(HINTERNET);
      reinterpret_cast<CloseFn>(reinterpret_cast<void (*)()>(GetProcAddress(inet, "InternetCloseHandle")))(h);
    }
  }
  LoadSystemLibrary(L"msftedit.dll");
  IWebBrowser2* browser = nullptr;
  if (SUCCEEDED(CoCreateInstance(CLSID_WebBrowser, nullptr, CLSCTX_INPROC_SERVER, IID_IWebBrowser2,
                                 reinterpret_cast<void**>(&browser)))) {
    browser->Release();
  }
  HWND window = CreateWindowExW(0, L"BUTTON", L"reference", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100,
                                nullptr, nullptr, instance, nullptr);
  MSG msg;
  for (DWORD start = GetTickCount(); GetTickCount() - start < 500;) {
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    Sleep(10);
  }
  DestroyWindow(window);
  OleUninitialize();
  return 0;
}
