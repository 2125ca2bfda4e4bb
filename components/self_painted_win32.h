// A kind in a window class of its own that paints its whole client area: the
// back colour first, then what the kind draws over it. Label and PicBox.
#pragma once

#include <windows.h>

#include <cstdint>

#include "components/control_win32.h"

class SelfPaintedControl : public Control {
 public:
  using Control::Control;

 protected:
  // Registers the class once and makes the window with the stored border.
  bool CreateSelfPainted(const wchar_t* class_name, const wchar_t* text, int32_t border,
                         const CreateArgs& args);
  // Drawn over in full, so no erasing: no flicker.
  void Repaint() { InvalidateRect(hwnd(), nullptr, FALSE); }
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

  // The stored back colour; the button face where none is stored.
  virtual uint32_t BackColour() const = 0;
  // What the kind draws over its back colour in rc, the client area.
  virtual void PaintOver(HDC dc, RECT rc) = 0;
};
