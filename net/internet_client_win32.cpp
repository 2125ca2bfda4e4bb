#include "net/internet_client_win32.h"

#include "base/fatal.h"
#include "net/wininet_win32.h"

namespace {

constexpr char kAgent[] = "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)";

bool g_cleanup_added = false;

void CloseInternetClient() { TheInternetClient().root.Reset(); }

}  // namespace

InternetClient& TheInternetClient() {
  static InternetClient client;
  return client;
}

HINTERNET InternetRoot() {
  InternetClient& client = TheInternetClient();
  if (client.root) return client.root.get();
  // No WinINet in the system directory: no session, so no fetch.
  if (!WinInet()) return nullptr;
  const char* proxy = client.proxy.c_str();
  DWORD access = *proxy ? INTERNET_OPEN_TYPE_PROXY : INTERNET_OPEN_TYPE_DIRECT;
  client.root.Reset(WinInet()->InternetOpenA(kAgent, access, *proxy ? proxy : nullptr, nullptr, 0));
  if (client.root && !g_cleanup_added) g_cleanup_added = AddCleanupStep(CloseInternetClient);
  return client.root.get();
}
