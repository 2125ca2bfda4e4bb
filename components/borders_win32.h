// The window styles behind a control's Border choice. The system draws the
// edges, so the client area (where pictures are placed) excludes them.
#pragma once

#include <windows.h>

#include <cstdint>

struct BorderStyles {
  DWORD style;
  DWORD ex_style;
};

// 0 none, 1 sunken, 2 raised, 3 thin sunken, 4 framed, 5 single line,
// 6 single line over a thin sunken edge; other values: none.
inline BorderStyles StylesForBorder(int border) {
  switch (border) {
    case 1:
      return {0, WS_EX_CLIENTEDGE};
    case 2:
      return {WS_DLGFRAME, WS_EX_WINDOWEDGE};
    case 3:
      return {0, WS_EX_STATICEDGE};
    case 4:
      return {0, WS_EX_CLIENTEDGE | WS_EX_DLGMODALFRAME};
    case 5:
      return {WS_BORDER, 0};
    case 6:
      return {WS_BORDER, WS_EX_STATICEDGE};
    default:
      return {0, 0};
  }
}

// Swaps the border styles of a live window and redraws its frame.
inline void ApplyBorder(HWND hwnd, int old_border, int new_border) {
  BorderStyles was = StylesForBorder(old_border), now = StylesForBorder(new_border);
  LONG_PTR style = (GetWindowLongPtrW(hwnd, GWL_STYLE) & ~static_cast<LONG_PTR>(was.style)) | now.style;
  LONG_PTR ex = (GetWindowLongPtrW(hwnd, GWL_EXSTYLE) & ~static_cast<LONG_PTR>(was.ex_style)) | now.ex_style;
  SetWindowLongPtrW(hwnd, GWL_STYLE, style);
  SetWindowLongPtrW(hwnd, GWL_EXSTYLE, ex);
  SetWindowPos(hwnd, nullptr, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

// A colour property's value, or the system colour for the kind's default.
inline COLORREF ColourOr(uint32_t value, int system_colour) {
  return value == 0xFF000000u ? GetSysColor(system_colour) : static_cast<COLORREF>(value);
}
