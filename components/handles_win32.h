// Move-only owners for the handles the components make: GDI objects, cursors,
// device contexts and the objects selected into them. Copying is deleted so a
// handle has exactly one owner. Does not share or reference-count anything.
#pragma once

#include <windows.h>

#include <utility>

inline void FreeGdiObject(HGDIOBJ h) { DeleteObject(h); }
inline void FreeCursor(HCURSOR h) { DestroyCursor(h); }
inline void FreeMemoryDC(HDC h) { DeleteDC(h); }
inline void FreeKernelHandle(HANDLE h) { CloseHandle(h); }

// Owns one handle and frees it with Free when it goes.
template <typename H, void (*Free)(H)>
class OwnedHandle {
 public:
  OwnedHandle() = default;
  explicit OwnedHandle(H h) : h_(h) {}
  OwnedHandle(const OwnedHandle&) = delete;
  OwnedHandle& operator=(const OwnedHandle&) = delete;
  OwnedHandle(OwnedHandle&& o) noexcept : h_(std::exchange(o.h_, nullptr)) {}
  OwnedHandle& operator=(OwnedHandle&& o) noexcept {
    if (this != &o) {
      Reset();
      h_ = std::exchange(o.h_, nullptr);
    }
    return *this;
  }
  ~OwnedHandle() { Reset(); }

  H get() const { return h_; }
  explicit operator bool() const { return h_ != nullptr; }
  void Reset(H h = nullptr) {
    if (h_) Free(h_);
    h_ = h;
  }

 private:
  H h_ = nullptr;
};

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
using KernelHandle = OwnedHandle<HANDLE, FreeKernelHandle>;

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
