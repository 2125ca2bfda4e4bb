// UTF-16 from the wide Windows calls back into the GBK values the program
// keeps. Does not convert the other way (base/wide_win32.h does).
#pragma once

#include <windows.h>

#include "base/value.h"

// Null for an empty text; characters GBK lacks become "?".
Text WideToGbk(const wchar_t* text, int length);
// A window's text as GBK; null when empty.
Text WindowTextGbk(HWND hwnd);
