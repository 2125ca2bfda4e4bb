// The process's one WinINet session: the root handle every fetch shares and
// the proxy settings (empty: nothing sets them). Made on the UI thread; a
// background fetch started after that only reads it.
#pragma once

#include <windows.h>
#include <wininet.h>

#include "base/value.h"
#include "net/internet_handle_win32.h"

struct InternetClient {
  InternetHandle root;  // null until a fetch opens it
  Text proxy;           // proxy address; empty means a direct session
  Text proxy_user;      // proxy user name
  Text proxy_password;  // proxy password
};

InternetClient& TheInternetClient();

// The root handle, opened by the first call that needs it; null when it
// cannot be opened, and the next call tries again. Closed at process clean-up.
HINTERNET InternetRoot();
