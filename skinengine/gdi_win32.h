// Small owning types for the engine's GDI handles and device contexts, and the
// few drawing steps the skin procedures share. No C++ library: the engine is
// built without it.
#pragma once

#include <windows.h>

// Any GDI object the engine created; deleted when it goes.
class GdiObject {
 public:
  GdiObject() = default;
  explicit GdiObject(HGDIOBJ h) : h_(h) {}
  ~GdiObject() { Reset(nullptr); }
  GdiObject(const GdiObject&) = delete;
  GdiObject& operator=(const GdiObject&) = delete;
  void Reset(HGDIOBJ h) {
    if (h_) DeleteObject(h_);
    h_ = h;
  }
  HGDIOBJ get() const { return h_; }

 private:
  HGDIOBJ h_ = nullptr;
};

// A window's DC from GetWindowDC or GetDC, released when it goes.
class WindowDc {
 public:
  WindowDc(HWND hwnd, bool whole_window) : hwnd_(hwnd), dc_(whole_window ? GetWindowDC(hwnd) : GetDC(hwnd)) {}
  ~WindowDc() {
    if (dc_) ReleaseDC(hwnd_, dc_);
  }
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;
  HDC get() const { return dc_; }

 private:
  HWND hwnd_;
  HDC dc_;
};

// BeginPaint and EndPaint.
class PaintDc {
 public:
  explicit PaintDc(HWND hwnd) : hwnd_(hwnd) { dc_ = BeginPaint(hwnd, &ps_); }
  ~PaintDc() { EndPaint(hwnd_, &ps_); }
  PaintDc(const PaintDc&) = delete;
  PaintDc& operator=(const PaintDc&) = delete;
  HDC get() const { return dc_; }

 private:
  HWND hwnd_;
  PAINTSTRUCT ps_;
  HDC dc_;
};

// An off-screen bitmap to draw into, copied to the target in one step so a
// repaint never shows half-drawn states.
class Canvas {
 public:
  Canvas(HDC target, int width, int height);
  ~Canvas();
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;
  bool ok() const { return dc_ && bitmap_.get(); }
  HDC dc() const { return dc_; }
  // Copies the canvas to the target at (x, y) of the target.
  void CopyTo(HDC target, int x, int y) const;

 private:
  HDC dc_;
  GdiObject bitmap_;
  HGDIOBJ old_ = nullptr;
  int width_, height_;
};

// Selects an object into a DC and selects the old one back when it goes.
class Selected {
 public:
  Selected(HDC dc, HGDIOBJ object) : dc_(dc), old_(SelectObject(dc, object)) {}
  ~Selected() { SelectObject(dc_, old_); }
  Selected(const Selected&) = delete;
  Selected& operator=(const Selected&) = delete;

 private:
  HDC dc_;
  HGDIOBJ old_;
};

COLORREF MixColor(COLORREF a, COLORREF b, int num, int den);
void FillSolid(HDC dc, const RECT& rc, COLORREF color);
// Rows from top to bottom colour.
void FillVertical(HDC dc, const RECT& rc, COLORREF top, COLORREF bottom);
// A filled rectangle with a one-pixel outline and rounded corners.
void FillRounded(HDC dc, const RECT& rc, int radius, COLORREF face, COLORREF border);
// A line of the given width, drawn with the DC's own pen.
void DrawLine(HDC dc, int x0, int y0, int x1, int y1, int width, COLORREF color);
