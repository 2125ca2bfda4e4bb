// OpenInBrowser over the shell: the registered handler for the address's scheme
// shows it. No escaping, no completion of a missing scheme, no fallback.
#include <windows.h>
// After windows.h, whose types it uses.
#include <shellapi.h>

#include <cstring>

#include "base/wide_win32.h"
#include "net/open_url.h"

void OpenInBrowser(TextValue address) {
  TextValue given = OrEmpty(address);
  // The shell gets a copy of its own, so a caller's text may go while it works.
  Text copy(NewText(given, std::strlen(given)));
  // A browser window of that title only parents any message the shell shows.
  HWND owner = FindWindowExW(nullptr, nullptr, nullptr, L"Microsoft Internet Explorer");
  // The outcome is not looked at: an address nobody opens is dropped silently.
  // GBK to UTF-16 here, so a file path in a Chinese folder reaches the shell whole.
  ShellExecuteW(owner, L"open", GbkToWide(copy.c_str()).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}
