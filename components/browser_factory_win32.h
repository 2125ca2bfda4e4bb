// How the HTML view gets its browser object: the program's is the system
// WebBrowser control, the tests hand in their own.
#pragma once

#include <unknwn.h>
#include <windows.h>

using BrowserFactory = HRESULT (*)(IUnknown** out);
