// WinINet, not linked at load so that it can never be taken from the
// program's folder: loaded from the system directory at the first fetch.
// Every entry the program uses is in this one table.
#pragma once

#include <windows.h>
#include <wininet.h>

struct WinInetEntries {
  decltype(&::InternetOpenA) InternetOpenA;
  decltype(&::InternetConnectA) InternetConnectA;
  decltype(&::InternetSetOptionA) InternetSetOptionA;
  decltype(&::InternetCanonicalizeUrlA) InternetCanonicalizeUrlA;
  decltype(&::InternetCrackUrlA) InternetCrackUrlA;
  decltype(&::HttpOpenRequestA) HttpOpenRequestA;
  decltype(&::HttpSendRequestA) HttpSendRequestA;
  decltype(&::HttpQueryInfoA) HttpQueryInfoA;
  decltype(&::InternetQueryDataAvailable) InternetQueryDataAvailable;
  decltype(&::InternetReadFile) InternetReadFile;
  decltype(&::InternetCloseHandle) InternetCloseHandle;
};

// The table, loaded by the first call on any thread; null when the library or
// one of its entries is missing, and every fetch then fails. The library stays
// loaded for the process. Writable so that a test can put a recorder in a slot.
WinInetEntries* WinInet();
