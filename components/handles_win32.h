// The components' handles: GDI objects, cursors, device contexts and the
// objects selected into them, each owned by exactly one move-only owner.
#pragma once

#include <windows.h>

#include <utility>

#include "base/owned_handle_win32.h"

inline bool FreeGdiObject(HGDIOBJ h) { return DeleteObject(h) != FALSE; }
inline bool FreeCursor(HCURSOR h) { return DestroyCursor(h) != FALSE; }
inline bool FreeMemoryDC(HDC h) { return DeleteDC(h) != FALSE; }

// Each GDI kind keeps its own type so a font cannot be selected as a bitmap.
template <typename H>
class GdiObject {
 public:
  GdiObject() = default;
  explicit GdiObject(H h) : h_(h) {}
  H get() const { return static_cast<H>(h_.get()); }
  explicit operator bool() const { return static_cast<bool>(h_); }
  void Reset(H h = nullptr) { h_.Reset(h); }

 private:
  OwnedHandle<HGDIOBJ, FreeGdiObject> h_;
};

using FontHandle = GdiObject<HFONT>;
using BitmapHandle = GdiObject<HBITMAP>;
using BrushHandle = GdiObject<HBRUSH>;
using CursorHandle = OwnedHandle<HCURSOR, FreeCursor>;
using MemoryDC = OwnedHandle<HDC, FreeMemoryDC>;
// A file or other kernel object; INVALID_HANDLE_VALUE is to be stored as null.

// A window's device context from GetDC, released to that window.
class WindowDC {
 public:
  explicit WindowDC(HWND hwnd) : hwnd_(hwnd), dc_(GetDC(hwnd)) {}
  WindowDC(const WindowDC&) = delete;
  WindowDC& operator=(const WindowDC&) = delete;
  ~WindowDC() {
    if (dc_) ReleaseDC(hwnd_, dc_);
  }
  HDC get() const { return dc_; }

 private:
  HWND hwnd_;
  HDC dc_;
};

// BeginPaint and EndPaint around one WM_PAINT.
class PaintScope {
 public:
  explicit PaintScope(HWND hwnd) : hwnd_(hwnd) { dc_ = BeginPaint(hwnd, &ps_); }
  PaintScope(const PaintScope&) = delete;
  PaintScope& operator=(const PaintScope&) = delete;
  ~PaintScope() { EndPaint(hwnd_, &ps_); }
  HDC get() const { return dc_; }

 private:
  HWND hwnd_;
  PAINTSTRUCT ps_{};
  HDC dc_;
};

// Selects an object into a DC and puts the previous one back.
class SelectScope {
 public:
  SelectScope(HDC dc, HGDIOBJ object) : dc_(dc), old_(object ? SelectObject(dc, object) : nullptr) {}
  SelectScope(const SelectScope&) = delete;
  SelectScope& operator=(const SelectScope&) = delete;
  ~SelectScope() {
    if (old_) SelectObject(dc_, old_);
  }

 private:
  HDC dc_;
  HGDIOBJ old_;
};
