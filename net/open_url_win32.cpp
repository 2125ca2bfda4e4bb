// OpenInBrowser over the shell: the registered handler for the address's scheme
// shows it. No escaping, no completion of a missing scheme, no fallback.
#include <windows.h>

#include <cstring>

#include "base/wide_win32.h"
#include "net/open_url.h"

namespace {

using ShellExecuteFn = HINSTANCE(WINAPI*)(HWND, LPCWSTR, LPCWSTR, LPCWSTR, LPCWSTR, INT);

// shell32 is loaded with the first address opened, not at every start, and
// stays for the process; null when it cannot be had. A known DLL: the name
// always loads the system's copy, never one beside the program.
ShellExecuteFn ShellExecuteEntry() {
  HMODULE shell = GetModuleHandleW(L"shell32.dll");
  if (!shell) shell = LoadLibraryW(L"shell32.dll");
  return shell ? reinterpret_cast<ShellExecuteFn>(
                     reinterpret_cast<void*>(GetProcAddress(shell, "ShellExecuteW")))
               : nullptr;
}

}  // namespace

void OpenInBrowser(TextValue address) {
  TextValue given = OrEmpty(address);
  // The shell gets a copy of its own, so a caller's text may go while it works.
  Text copy(NewText(given, std::strlen(given)));
  // A browser window of that title only parents any message the shell shows.
  HWND owner = FindWindowExW(nullptr, nullptr, nullptr, L"Microsoft Internet Explorer");
  // The outcome is not looked at: an address nobody opens is dropped silently.
  // GBK to UTF-16 here, so a file path in a Chinese folder reaches the shell whole.
  if (ShellExecuteFn shell_execute = ShellExecuteEntry())
    shell_execute(owner, L"open", GbkToWide(copy.c_str()).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}
