#include "wininet_log.h"

#include <cstring>

#include "net/wininet_win32.h"
#include "support/test_support.h"

namespace {

CRITICAL_SECTION g_lock;
std::vector<WinInetCall>* g_calls;
DWORD g_thread;
bool g_fail_open;
bool g_fail_read;

void Add(WinInetCall call) {
  call.other_thread = GetCurrentThreadId() != g_thread;
  EnterCriticalSection(&g_lock);
  g_calls->push_back(std::move(call));
  LeaveCriticalSection(&g_lock);
}

std::string Or(const char* s) { return s ? s : "(null)"; }

WinInetCall Named(const char* name) {
  WinInetCall c;
  c.name = name;
  return c;
}

decltype(&InternetCanonicalizeUrlA) real_canonicalize;
decltype(&InternetCrackUrlA) real_crack;
decltype(&InternetOpenA) real_open;
decltype(&InternetConnectA) real_connect;
decltype(&InternetSetOptionA) real_set_option;
decltype(&HttpOpenRequestA) real_open_request;
decltype(&HttpSendRequestA) real_send;
decltype(&HttpQueryInfoA) real_query;
decltype(&InternetReadFile) real_read;
decltype(&InternetQueryDataAvailable) real_available;
decltype(&InternetCloseHandle) real_close;

BOOL WINAPI Canonicalize(LPCSTR url, LPSTR out, LPDWORD size, DWORD flags) {
  WinInetCall c = Named("InternetCanonicalizeUrlA");
  c.number = flags;
  c.size = *size;
  c.ok = real_canonicalize(url, out, size, flags);
  c.value = c.ok ? 0 : GetLastError();
  Add(c);
  SetLastError(c.value);
  return c.ok;
}

BOOL WINAPI Crack(LPCSTR url, DWORD length, DWORD flags, LPURL_COMPONENTSA parts) {
  WinInetCall c = Named("InternetCrackUrlA");
  c.number = flags;
  c.text = Or(url);
  c.ok = real_crack(url, length, flags, parts);
  Add(c);
  return c.ok;
}

HINTERNET WINAPI Open(LPCSTR agent, DWORD access, LPCSTR proxy, LPCSTR bypass, DWORD flags) {
  WinInetCall c = Named("InternetOpenA");
  c.text = Or(agent) + "|" + Or(proxy) + "|" + Or(bypass);
  c.number = access;
  c.size = flags;
  if (g_fail_open) {
    g_fail_open = false;
  } else {
    c.result = real_open(agent, access, proxy, bypass, flags);
  }
  c.ok = c.result != nullptr;
  Add(c);
  return c.result;
}

HINTERNET WINAPI Connect(HINTERNET root, LPCSTR host, INTERNET_PORT port, LPCSTR user, LPCSTR password,
                         DWORD service, DWORD flags, DWORD_PTR context) {
  WinInetCall c = Named("InternetConnectA");
  c.handle = root;
  c.text = Or(host) + "|" + Or(user) + "|" + Or(password) + "|" + std::to_string(flags) + "|" +
           std::to_string(context);
  c.size = port;
  c.number = service;
  c.result = real_connect(root, host, port, user, password, service, flags, context);
  c.ok = c.result != nullptr;
  Add(c);
  return c.result;
}

BOOL WINAPI SetOption(HINTERNET h, DWORD option, LPVOID buffer, DWORD length) {
  WinInetCall c = Named("InternetSetOptionA");
  c.handle = h;
  c.number = option;
  c.size = length;
  if (option == INTERNET_OPTION_PROXY) {
    auto* info = static_cast<INTERNET_PROXY_INFO*>(buffer);
    c.value = info->dwAccessType;
    c.text = Or(info->lpszProxy) + "|" + Or(info->lpszProxyBypass);
  } else if (option == INTERNET_OPTION_PROXY_USERNAME || option == INTERNET_OPTION_PROXY_PASSWORD) {
    // The text without its NUL; value says the length counted the NUL.
    const char* text = static_cast<const char*>(buffer);
    c.text.assign(text, strnlen(text, length));
    c.value = length > 0 && text[length - 1] == '\0';
  } else if (length == sizeof(DWORD)) {
    c.value = *static_cast<DWORD*>(buffer);
  }
  c.ok = real_set_option(h, option, buffer, length);
  Add(c);
  return c.ok;
}

HINTERNET WINAPI OpenRequest(HINTERNET connection, LPCSTR verb, LPCSTR object, LPCSTR version,
                             LPCSTR referrer, LPCSTR* accept, DWORD flags, DWORD_PTR context) {
  WinInetCall c = Named("HttpOpenRequestA");
  c.handle = connection;
  c.text = Or(verb) + "|" + Or(object) + "|" + Or(version) + "|" + Or(referrer) + "|";
  for (LPCSTR* a = accept; a && *a; ++a) c.text += std::string("[") + *a + "]";
  c.text += "|" + std::to_string(context);
  c.number = flags;
  c.result = real_open_request(connection, verb, object, version, referrer, accept, flags, context);
  c.ok = c.result != nullptr;
  Add(c);
  return c.result;
}

BOOL WINAPI Send(HINTERNET request, LPCSTR headers, DWORD length, LPVOID optional, DWORD optional_length) {
  WinInetCall c = Named("HttpSendRequestA");
  c.handle = request;
  c.text = headers ? std::string(headers, length) : "(null)";
  c.size = length;
  c.number = optional ? 1 : 0;
  c.value = optional_length;
  c.ok = real_send(request, headers, length, optional, optional_length);
  Add(c);
  return c.ok;
}

BOOL WINAPI Query(HINTERNET request, DWORD level, LPVOID buffer, LPDWORD length, LPDWORD index) {
  WinInetCall c = Named("HttpQueryInfoA");
  c.handle = request;
  c.number = level;
  c.size = *length;
  c.value = index ? 1 : 0;
  c.ok = real_query(request, level, buffer, length, index);
  if (c.ok) c.text = static_cast<const char*>(buffer);
  Add(c);
  return c.ok;
}

BOOL WINAPI Read(HINTERNET request, LPVOID buffer, DWORD want, LPDWORD got) {
  WinInetCall c = Named("InternetReadFile");
  c.handle = request;
  c.size = want;
  c.ok = real_read(request, buffer, want, got);
  if (g_fail_read) c.ok = g_fail_read = false;
  c.value = *got;
  Add(c);
  return c.ok;
}

BOOL WINAPI Available(HINTERNET request, LPDWORD available, DWORD flags, DWORD_PTR context) {
  WinInetCall c = Named("InternetQueryDataAvailable");
  c.handle = request;
  c.ok = real_available(request, available, flags, context);
  c.value = *available;
  Add(c);
  return c.ok;
}

BOOL WINAPI Close(HINTERNET h) {
  WinInetCall c = Named("InternetCloseHandle");
  c.handle = h;
  c.ok = real_close(h);
  Add(c);
  return c.ok;
}

// The program's calls go through its WinINet table: the recorder takes each slot.
template <typename F>
void Hook(F* real, F* slot, F hook) {
  *real = *slot;
  *slot = hook;
}

}  // namespace

void StartWinInetLog() {
  if (!g_calls) {
    InitializeCriticalSection(&g_lock);
    g_calls = new std::vector<WinInetCall>;
    g_thread = GetCurrentThreadId();
    Hook(&real_canonicalize, &WinInet()->InternetCanonicalizeUrlA, Canonicalize);
    Hook(&real_crack, &WinInet()->InternetCrackUrlA, Crack);
    Hook(&real_open, &WinInet()->InternetOpenA, Open);
    Hook(&real_connect, &WinInet()->InternetConnectA, Connect);
    Hook(&real_set_option, &WinInet()->InternetSetOptionA, SetOption);
    Hook(&real_open_request, &WinInet()->HttpOpenRequestA, OpenRequest);
    Hook(&real_send, &WinInet()->HttpSendRequestA, Send);
    Hook(&real_query, &WinInet()->HttpQueryInfoA, Query);
    Hook(&real_read, &WinInet()->InternetReadFile, Read);
    Hook(&real_available, &WinInet()->InternetQueryDataAvailable, Available);
    Hook(&real_close, &WinInet()->InternetCloseHandle, Close);
  }
  EnterCriticalSection(&g_lock);
  g_calls->clear();
  LeaveCriticalSection(&g_lock);
}

std::vector<WinInetCall> WinInetCalls() {
  EnterCriticalSection(&g_lock);
  std::vector<WinInetCall> copy = *g_calls;
  LeaveCriticalSection(&g_lock);
  return copy;
}

std::vector<WinInetCall> WinInetCalls(const char* name) {
  std::vector<WinInetCall> out;
  for (WinInetCall& c : WinInetCalls()) {
    if (c.name == name) out.push_back(std::move(c));
  }
  return out;
}

void FailNextInternetOpen() { g_fail_open = true; }

void FailNextReadKeepingBytes() { g_fail_read = true; }
