#include "skinengine/gdi_win32.h"

Canvas::Canvas(HDC target, int width, int height)
    : dc_(CreateCompatibleDC(target)), width_(width), height_(height) {
  if (!dc_ || width <= 0 || height <= 0) return;
  bitmap_.Reset(CreateCompatibleBitmap(target, width, height));
  if (bitmap_.get()) old_ = SelectObject(dc_, bitmap_.get());
}

Canvas::~Canvas() {
  if (old_) SelectObject(dc_, old_);
  if (dc_) DeleteDC(dc_);
}

void Canvas::CopyTo(HDC target, int x, int y) const {
  if (ok()) BitBlt(target, x, y, width_, height_, dc_, 0, 0, SRCCOPY);
}

COLORREF MixColor(COLORREF a, COLORREF b, int num, int den) {
  int out[3];
  for (int i = 0; i < 3; ++i) {
    const int x = static_cast<int>(a >> (8 * i) & 0xFF), y = static_cast<int>(b >> (8 * i) & 0xFF);
    out[i] = x + (y - x) * num / den;
  }
  return RGB(out[0], out[1], out[2]);
}

void FillSolid(HDC dc, const RECT& rc, COLORREF color) {
  SetDCBrushColor(dc, color);
  FillRect(dc, &rc, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
}

void FillVertical(HDC dc, const RECT& rc, COLORREF top, COLORREF bottom) {
  const int rows = rc.bottom - rc.top;
  for (int y = 0; y < rows; ++y) {
    RECT row = {rc.left, rc.top + y, rc.right, rc.top + y + 1};
    FillSolid(dc, row, MixColor(top, bottom, y, rows > 1 ? rows - 1 : 1));
  }
}

void FillRounded(HDC dc, const RECT& rc, int radius, COLORREF face, COLORREF border) {
  Selected pen(dc, GetStockObject(DC_PEN));
  Selected brush(dc, GetStockObject(DC_BRUSH));
  SetDCPenColor(dc, border);
  SetDCBrushColor(dc, face);
  if (radius <= 0) {
    Rectangle(dc, rc.left, rc.top, rc.right, rc.bottom);
  } else {
    RoundRect(dc, rc.left, rc.top, rc.right, rc.bottom, 2 * radius, 2 * radius);
  }
}

void DrawLine(HDC dc, int x0, int y0, int x1, int y1, int width, COLORREF color) {
  GdiObject pen(CreatePen(PS_SOLID, width, color));
  if (!pen.get()) return;
  Selected use(dc, pen.get());
  MoveToEx(dc, x0, y0, nullptr);
  LineTo(dc, x1, y1);
}
