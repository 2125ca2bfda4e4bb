// Records the WinINet calls this test program makes, with their arguments and
// answers as the platform sees them, by patching the program's import slots.
// Also makes InternetOpenA fail on request, to try the retry.
#pragma once

#include <windows.h>
#include <wininet.h>

#include <string>
#include <vector>

struct WinInetCall {
  std::string name;            // "InternetOpenA", ...
  HINTERNET handle = nullptr;  // the handle the call works on
  HINTERNET result = nullptr;  // a handle it returned
  DWORD number = 0;            // flags, access type, option, info level
  DWORD size = 0;              // buffer size, port or length given
  DWORD value = 0;             // bytes read, a DWORD option's value
  std::string text;            // agent, host, object, headers, option text
  bool ok = false;
  bool other_thread = false;  // made off the thread that installed the log
};

// Patches the import slots once; later calls just clear the log.
void StartWinInetLog();
std::vector<WinInetCall> WinInetCalls();
std::vector<WinInetCall> WinInetCalls(const char* name);
// The next InternetOpenA fails without reaching WinINet.
void FailNextInternetOpen();
// The next InternetReadFile reads for real, keeps the count, and reports failure.
void FailNextReadKeepingBytes();
