#include "skinengine/dwm_win32.h"

namespace {

using SetWindowAttributeFn = HRESULT(WINAPI*)(HWND, DWORD, LPCVOID, DWORD);

bool g_looked_up;  // one try per process: a missing dwmapi.dll stays missing
SetWindowAttributeFn g_set_window_attribute;

// "<system directory>\dwmapi.dll"; false when the directory's name does not fit.
bool SystemDwmPath(wchar_t* path, UINT capacity) {
  const wchar_t kName[] = L"\\dwmapi.dll";
  constexpr UINT kNameLength = sizeof kName / sizeof kName[0];
  const UINT n = GetSystemDirectoryW(path, capacity);
  if (!n || n + kNameLength > capacity) return false;
  for (UINT i = 0; i < kNameLength; ++i) path[n + i] = kName[i];
  return true;
}

SetWindowAttributeFn SetWindowAttributeEntry() {
  if (g_looked_up) return g_set_window_attribute;
  g_looked_up = true;
  wchar_t path[MAX_PATH + 16];
  if (!SystemDwmPath(path, sizeof path / sizeof path[0])) return nullptr;
  // Stays loaded for the process, as the engine itself does.
  const HMODULE dwm = LoadLibraryW(path);
  if (!dwm) return nullptr;
  g_set_window_attribute = reinterpret_cast<SetWindowAttributeFn>(
      reinterpret_cast<void (*)()>(GetProcAddress(dwm, "DwmSetWindowAttribute")));
  return g_set_window_attribute;
}

}  // namespace

bool SetDwmAttribute(HWND hwnd, DWORD attribute, DWORD value) {
  const SetWindowAttributeFn set = SetWindowAttributeEntry();
  return set && SUCCEEDED(set(hwnd, attribute, &value, sizeof value));
}
