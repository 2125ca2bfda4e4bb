// The owner of one WinINet handle, closed when it goes. Does not cancel
// anything on another thread; DeadlineRequest does that for a request.
#pragma once

#include <windows.h>
#include <wininet.h>

#include "base/owned_handle_win32.h"
#include "net/wininet_win32.h"

inline bool CloseInternetHandle(HINTERNET h) { return WinInet()->InternetCloseHandle(h) != FALSE; }

using InternetHandle = OwnedHandle<HINTERNET, CloseInternetHandle>;
