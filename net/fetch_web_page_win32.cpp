// FetchWebPage over WinINet, synchronous on the calling thread. Does not look
// at the response status, convert text or keep anything between fetches but
// the shared root handle.
#include <windows.h>
#include <wininet.h>

#include <cstring>

#include "base/platform_heap.h"
#include "net/deadline_request_win32.h"
#include "net/fetch_rules.h"
#include "net/fetch_web_page.h"
#include "net/internet_client_win32.h"
#include "net/internet_handle_win32.h"
#include "net/receive_buffer.h"
#include "net/wininet_win32.h"

namespace {

constexpr char kVerb[] = "GET";
constexpr char kVersion[] = "HTTP/1.0";
constexpr char kAcceptEntry[] = "Accept: */* \r\n";
constexpr char kExtraHeaders[] = "Accept: */*\r\n\r\n";
constexpr DWORD kExtraHeadersLength = 15;
static_assert(sizeof kExtraHeaders - 1 == kExtraHeadersLength);
// Fresh from the server, never cached. No prompt of WinINet's own, none of the
// system's cookies sent or kept, and no logon with the user's credentials to
// whatever host a redirect names.
constexpr DWORD kHttpFlags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_NO_UI |
                             INTERNET_FLAG_NO_COOKIES | INTERNET_FLAG_NO_AUTH;
constexpr DWORD kHttpsFlags = kHttpFlags | INTERNET_FLAG_SECURE;

constexpr DWORD kCanonicalSize = 2084;

// The address split into the parts the connection and request take.
struct AddressParts {
  INTERNET_SCHEME scheme = INTERNET_SCHEME_UNKNOWN;
  INTERNET_PORT port = 0;
  char host[256] = {};
  char user[128] = {};
  char password[128] = {};
  char object[2048] = {};  // path and query
};

// A raw heap block that may fail to come, released when it goes.
class ChunkBuffer {
 public:
  explicit ChunkBuffer(int32_t size) : p_(PlatformHeapAlloc(static_cast<size_t>(size))) {}
  ChunkBuffer(const ChunkBuffer&) = delete;
  ChunkBuffer& operator=(const ChunkBuffer&) = delete;
  ~ChunkBuffer() {
    if (p_) PlatformHeapFree(p_);
  }
  void* get() const { return p_; }

 private:
  void* p_;
};

// The address with ICU_NO_ENCODE, or null when it cannot be canonicalised.
Text Canonicalize(TextValue address) {
  DWORD size = kCanonicalSize;
  Text out(static_cast<char*>(allocate(static_cast<int32_t>(size))));
  if (WinInet()->InternetCanonicalizeUrlA(address, out.data(), &size, ICU_NO_ENCODE)) return out;
  if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || size <= kCanonicalSize || size > 0x7FFFFFFF) {
    return Text();
  }
  out = Text(static_cast<char*>(allocate(static_cast<int32_t>(size))));
  if (WinInet()->InternetCanonicalizeUrlA(address, out.data(), &size, ICU_NO_ENCODE)) return out;
  return Text();
}

// No separate buffer for the extra information: the query stays in the object.
bool Split(TextValue url, AddressParts* parts) {
  URL_COMPONENTSA uc{};
  uc.dwStructSize = sizeof uc;
  uc.lpszHostName = parts->host;
  uc.dwHostNameLength = sizeof parts->host;
  uc.lpszUserName = parts->user;
  uc.dwUserNameLength = sizeof parts->user;
  uc.lpszPassword = parts->password;
  uc.dwPasswordLength = sizeof parts->password;
  uc.lpszUrlPath = parts->object;
  uc.dwUrlPathLength = sizeof parts->object;
  if (!WinInet()->InternetCrackUrlA(url, 0, 0, &uc)) return false;
  parts->scheme = uc.nScheme;
  parts->port = uc.nPort;
  return true;
}

// Proxy settings, results ignored: with no proxy the root follows the system's.
void SetProxyOptions(const InternetClient& client, HINTERNET root, HINTERNET connection) {
  const char* proxy = client.proxy.c_str();
  INTERNET_PROXY_INFO info{};
  info.dwAccessType = *proxy ? INTERNET_OPEN_TYPE_PROXY : INTERNET_OPEN_TYPE_PRECONFIG;
  info.lpszProxy = *proxy ? proxy : nullptr;
  info.lpszProxyBypass = nullptr;
  WinInet()->InternetSetOptionA(root, INTERNET_OPTION_PROXY, &info, sizeof info);
  const char* user = client.proxy_user.c_str();
  const char* password = client.proxy_password.c_str();
  WinInet()->InternetSetOptionA(connection, INTERNET_OPTION_PROXY_USERNAME, const_cast<char*>(user),
                                static_cast<DWORD>(std::strlen(user) + 1));
  WinInet()->InternetSetOptionA(connection, INTERNET_OPTION_PROXY_PASSWORD, const_cast<char*>(password),
                                static_cast<DWORD>(std::strlen(password) + 1));
}

// Bounds each connect, send and receive on this handle; results ignored.
void SetTimeouts(HINTERNET h, DWORD ms) {
  WinInet()->InternetSetOptionA(h, INTERNET_OPTION_CONNECT_TIMEOUT, &ms, sizeof ms);
  WinInet()->InternetSetOptionA(h, INTERNET_OPTION_SEND_TIMEOUT, &ms, sizeof ms);
  WinInet()->InternetSetOptionA(h, INTERNET_OPTION_RECEIVE_TIMEOUT, &ms, sizeof ms);
}

int32_t ChunkSize(HINTERNET request) {
  char stated[32] = {};
  DWORD size = sizeof stated;
  if (!WinInet()->HttpQueryInfoA(request, HTTP_QUERY_CONTENT_LENGTH, stated, &size, nullptr))
    return ChunkSizeFor(nullptr);
  return ChunkSizeFor(stated);
}

// The fetch's time: from its start, this many milliseconds in all.
struct Budget {
  DWORD start;
  DWORD ms;
  bool Up() const { return GetTickCount() - start >= ms; }
  DWORD Left() const {
    DWORD spent = GetTickCount() - start;
    return spent >= ms ? 1 : ms - spent;
  }
};

// Everything but the result; handles close in reverse order of declaration.
void Fetch(TextValue address, Budget budget, ReceiveBuffer* received) {
  // Without WinINet nothing is fetched, as when the host refuses.
  if (!WinInet()) return;
  Text canonical = Canonicalize(address);
  if (!canonical.get()) return;
  AddressParts parts;
  if (!Split(canonical.get(), &parts)) return;
  // Other schemes end here: an ftp address would log in before any deadline.
  if (parts.scheme != INTERNET_SCHEME_HTTP && parts.scheme != INTERNET_SCHEME_HTTPS) return;
  DWORD flags = parts.scheme == INTERNET_SCHEME_HTTPS ? kHttpsFlags : kHttpFlags;

  HINTERNET root = InternetRoot();
  if (!root) return;
  InternetHandle connection(WinInet()->InternetConnectA(root, parts.host, parts.port, parts.user,
                                                        parts.password, INTERNET_SERVICE_HTTP, 0, 0));
  if (!connection) return;
  SetProxyOptions(TheInternetClient(), root, connection.get());
  SetTimeouts(connection.get(), budget.Left());

  CutFragment(parts.object);
  LPCSTR accept[] = {kAcceptEntry, nullptr};
  DeadlineRequest request;
  HINTERNET opened =
      WinInet()->HttpOpenRequestA(connection.get(), kVerb, parts.object, kVersion, nullptr, accept, flags, 0);
  if (!opened) return;
  SetTimeouts(opened, budget.Left());
  if (!request.Start(opened, budget.Left())) return;
  if (!WinInet()->HttpSendRequestA(request.get(), kExtraHeaders, kExtraHeadersLength, nullptr, 0)) return;

  int32_t chunk = ChunkSize(request.get());
  ChunkBuffer buffer(chunk);
  if (!buffer.get()) return;
  for (;;) {
    DWORD want = static_cast<DWORD>(chunk < received->Room() ? chunk : received->Room());
    if (want == 0 || budget.Up()) return;
    // A read blocks until its buffer is full, so it asks for no more than has
    // come: a slow body then stops at the deadline with what came by then.
    DWORD available = 0;
    if (!WinInet()->InternetQueryDataAvailable(request.get(), &available, 0, 0)) return;
    if (available > 0 && available < want) want = available;
    DWORD got = 0;
    // A read that fails ends the body there: what it says it got is not trusted.
    if (!WinInet()->InternetReadFile(request.get(), buffer.get(), want, &got) || got == 0) return;
    if (!received->Append(buffer.get(), static_cast<int32_t>(got < want ? got : want))) return;
  }
}

}  // namespace

Bytes FetchWebPage(TextValue address) { return FetchWebPageWithin(address, fetch::kDeadlineMs); }

Bytes FetchWebPageWithin(TextValue address, uint32_t budget_ms) {
  ReceiveBuffer received(fetch::kBodyCap);
  if (!address || !*address || budget_ms == 0) return Bytes();
  Fetch(address, Budget{GetTickCount(), budget_ms}, &received);
  return received.ToByteArray();
}
