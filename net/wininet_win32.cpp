#include "net/wininet_win32.h"

#include "base/owned_handle_win32.h"
#include "base/system_library_win32.h"

namespace {

template <typename F>
bool Bind(HMODULE library, F* slot, const char* name) {
  *slot = reinterpret_cast<F>(reinterpret_cast<void (*)()>(GetProcAddress(library, name)));
  return *slot != nullptr;
}

WinInetEntries* Load() {
  static WinInetEntries entries;
  ModuleHandle owned(LoadSystemLibrary(L"wininet.dll"));
  HMODULE library = owned.get();
  if (!library) return nullptr;
  WinInetEntries& e = entries;
  bool all = Bind(library, &e.InternetOpenA, "InternetOpenA") &&
             Bind(library, &e.InternetConnectA, "InternetConnectA") &&
             Bind(library, &e.InternetSetOptionA, "InternetSetOptionA") &&
             Bind(library, &e.InternetCanonicalizeUrlA, "InternetCanonicalizeUrlA") &&
             Bind(library, &e.InternetCrackUrlA, "InternetCrackUrlA") &&
             Bind(library, &e.HttpOpenRequestA, "HttpOpenRequestA") &&
             Bind(library, &e.HttpSendRequestA, "HttpSendRequestA") &&
             Bind(library, &e.HttpQueryInfoA, "HttpQueryInfoA") &&
             Bind(library, &e.InternetQueryDataAvailable, "InternetQueryDataAvailable") &&
             Bind(library, &e.InternetReadFile, "InternetReadFile") &&
             Bind(library, &e.InternetCloseHandle, "InternetCloseHandle");
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
