#include "net/wininet_win32.h"

#include "base/owned_handle_win32.h"
#include "base/system_library_win32.h"

namespace {

WinInetEntries* Load() {
  static WinInetEntries entries;
  ModuleHandle owned(LoadSystemLibrary(L"wininet.dll"));
  HMODULE library = owned.get();
  if (!library) return nullptr;
  WinInetEntries& e = entries;
  bool all = BindEntry(library, &e.InternetOpenA, "InternetOpenA") &&
             BindEntry(library, &e.InternetConnectA, "InternetConnectA") &&
             BindEntry(library, &e.InternetSetOptionA, "InternetSetOptionA") &&
             BindEntry(library, &e.InternetCanonicalizeUrlA, "InternetCanonicalizeUrlA") &&
             BindEntry(library, &e.InternetCrackUrlA, "InternetCrackUrlA") &&
             BindEntry(library, &e.HttpOpenRequestA, "HttpOpenRequestA") &&
             BindEntry(library, &e.HttpSendRequestA, "HttpSendRequestA") &&
             BindEntry(library, &e.HttpQueryInfoA, "HttpQueryInfoA") &&
             BindEntry(library, &e.InternetQueryDataAvailable, "InternetQueryDataAvailable") &&
             BindEntry(library, &e.InternetReadFile, "InternetReadFile") &&
             BindEntry(library, &e.InternetCloseHandle, "InternetCloseHandle");
  if (!all) return nullptr;
  owned.Release();  // bound: the entries need it for the program's life
  return &entries;
}

}  // namespace

WinInetEntries* WinInet() {
  // Made once even when the UI thread and the check's worker ask together.
  static WinInetEntries* const entries = Load();
  return entries;
}
