// The few Desktop Window Manager attributes the frame skin sets. dwmapi.dll is
// not imported: it is loaded by its full system path at first use, so the
// engine still loads where it is missing and never takes one from elsewhere.
#pragma once

#include <windows.h>

// DWMWINDOWATTRIBUTE values and theirs, as dwmapi.h numbers them.
constexpr DWORD kDwmNcRenderingPolicy = 2;      // DWMWA_NCRENDERING_POLICY
constexpr DWORD kDwmCornerPreference = 33;      // DWMWA_WINDOW_CORNER_PREFERENCE, Windows 11 on
constexpr DWORD kDwmBorderColor = 34;           // DWMWA_BORDER_COLOR, Windows 11 on
constexpr DWORD kDwmPolicyUseStyle = 0;         // DWMNCRP_USEWINDOWSTYLE, the default
constexpr DWORD kDwmPolicyDisabled = 1;         // DWMNCRP_DISABLED
constexpr DWORD kDwmCornerDefault = 0;          // DWMWCP_DEFAULT
constexpr DWORD kDwmCornerSquare = 1;           // DWMWCP_DONOTROUND
constexpr DWORD kDwmColorNone = 0xFFFFFFFE;     // DWMWA_COLOR_NONE
constexpr DWORD kDwmColorDefault = 0xFFFFFFFF;  // DWMWA_COLOR_DEFAULT

// Sets one attribute; false where dwmapi.dll is missing or the system refuses it.
bool SetDwmAttribute(HWND hwnd, DWORD attribute, DWORD value);
