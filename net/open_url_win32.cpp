// OpenInBrowser over the shell: the registered handler for the address's scheme
// shows it. No escaping, no completion of a missing scheme, no fallback.
#include <windows.h>

#include <shellapi.h>

#include <cstring>

#include "net/open_url.h"

void OpenInBrowser(TextValue address) {
  TextValue given = OrEmpty(address);
  // The shell gets a copy of its own, so a caller's text may go while it works.
  Text copy(NewText(given, std::strlen(given)));
  // A browser window of that title only parents any message the shell shows.
  HWND owner = FindWindowExA(nullptr, nullptr, nullptr, "Microsoft Internet Explorer");
  // The outcome is not looked at: an address nobody opens is dropped silently.
  ShellExecuteA(owner, "open", copy.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}
