// The push button skin: face and border for the normal, hot, pressed,
// focused and disabled states, then the button's text or picture. Check
// boxes, radio buttons, group boxes and owner-drawn buttons keep their look.
#include "skinengine/engine_win32.h"
#include "skinengine/gdi_win32.h"

namespace {

bool IsPushButton(HWND hwnd) {
  const LONG_PTR type = GetWindowLongPtrW(hwnd, GWL_STYLE) & BS_TYPEMASK;
  return type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON;
}

void DrawContent(HWND hwnd, HDC dc, RECT rc, bool disabled) {
  using namespace skin;
  const LONG_PTR style = GetWindowLongPtrW(hwnd, GWL_STYLE);
  if (style & BS_BITMAP) {
    const HBITMAP picture = reinterpret_cast<HBITMAP>(SendMessageW(hwnd, BM_GETIMAGE, IMAGE_BITMAP, 0));
    BITMAP info;
    if (picture && GetObjectW(picture, sizeof info, &info)) {
      const HDC source = CreateCompatibleDC(dc);
      if (source) {
        const HGDIOBJ old = SelectObject(source, picture);
        BitBlt(dc, (rc.left + rc.right - info.bmWidth) / 2, (rc.top + rc.bottom - info.bmHeight) / 2,
               info.bmWidth, info.bmHeight, source, 0, 0, SRCCOPY);
        SelectObject(source, old);
        DeleteDC(source);
      }
    }
    return;
  }
  if (style & BS_ICON) {
    const HICON icon = reinterpret_cast<HICON>(SendMessageW(hwnd, BM_GETIMAGE, IMAGE_ICON, 0));
    const int cx = GetSystemMetrics(SM_CXICON), cy = GetSystemMetrics(SM_CYICON);
    if (icon) {
      DrawIconEx(dc, (rc.left + rc.right - cx) / 2, (rc.top + rc.bottom - cy) / 2, icon, cx, cy, 0, nullptr,
                 DI_NORMAL);
    }
    return;
  }
  wchar_t text[512];
  const int n = InternalGetWindowText(hwnd, text, 512);
  if (n <= 0) return;
  HFONT font = reinterpret_cast<HFONT>(SendMessageW(hwnd, WM_GETFONT, 0, 0));
  Selected use(dc, font ? static_cast<HGDIOBJ>(font) : GetStockObject(SYSTEM_FONT));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, SkinColor(disabled ? kButtonTextDisabled : kButtonText));
  UINT format = DT_CENTER;
  if ((style & BS_CENTER) == BS_LEFT) format = DT_LEFT;
  if ((style & BS_CENTER) == BS_RIGHT) format = DT_RIGHT;
  if (SendMessageW(hwnd, WM_QUERYUISTATE, 0, 0) & UISF_HIDEACCEL) format |= DT_HIDEPREFIX;
  InflateRect(&rc, -4, -2);
  if (style & BS_MULTILINE) {
    RECT need = rc;
    DrawTextW(dc, text, n, &need, format | DT_WORDBREAK | DT_CALCRECT);
    const int shift = ((rc.bottom - rc.top) - (need.bottom - need.top)) / 2;
    if (shift > 0) rc.top += shift;
    DrawTextW(dc, text, n, &rc, format | DT_WORDBREAK);
  } else {
    DrawTextW(dc, text, n, &rc, format | DT_SINGLELINE | DT_VCENTER);
  }
}

void PaintButton(HWND hwnd, HDC target, const SkinnedWindow* w) {
  using namespace skin;
  RECT rc;
  GetClientRect(hwnd, &rc);
  Canvas canvas(target, rc.right, rc.bottom);
  if (!canvas.ok()) return;
  const HDC dc = canvas.dc();
  // The corners show what the parent would put behind the button.
  const HBRUSH behind = reinterpret_cast<HBRUSH>(SendMessageW(
      GetParent(hwnd), WM_CTLCOLORBTN, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(hwnd)));
  if (behind) {
    FillRect(dc, &rc, behind);
  } else {
    FillSolid(dc, rc, SkinColor(kWindowBack));
  }

  const bool disabled = !IsWindowEnabled(hwnd);
  const bool pressed = (SendMessageW(hwnd, BM_GETSTATE, 0, 0) & BST_PUSHED) != 0;
  const bool focused = GetFocus() == hwnd;
  const bool is_default = (GetWindowLongPtrW(hwnd, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
  Color face = kButtonFace;
  if (disabled) {
    face = kButtonFaceDisabled;
  } else if (pressed) {
    face = kButtonFacePressed;
  } else if (w->hot) {
    face = kButtonFaceHot;
  }
  const COLORREF border = SkinColor(focused && !disabled ? kButtonBorderFocused : kButtonBorder);
  const int radius = SkinMetric(kButtonRadius);
  FillRounded(dc, rc, radius, SkinColor(face), border);
  if ((focused || is_default) && !disabled) {  // a second ring marks the button Enter presses
    RECT inner = rc;
    InflateRect(&inner, -1, -1);
    FillRounded(dc, inner, radius > 1 ? radius - 1 : radius, SkinColor(face), border);
  }
  RECT content = rc;
  if (pressed) OffsetRect(&content, 1, 1);
  DrawContent(hwnd, dc, content, disabled);
  canvas.CopyTo(target, 0, 0);
}

void RepaintNow(HWND hwnd) {
  const SkinnedWindow* w = FindSkinnedWindow(hwnd);
  if (!w || Forwarding(w) || !IsWindowVisible(hwnd) || !IsPushButton(hwnd)) return;
  WindowDc dc(hwnd, false);
  if (dc.get()) PaintButton(hwnd, dc.get(), w);
}

}  // namespace

LRESULT CALLBACK ButtonSkinProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR ref) {
  SkinnedWindow* w = reinterpret_cast<SkinnedWindow*>(ref);
  if (msg == WM_NCDESTROY) {
    ForgetWindow(w);
    return DefSubclassProc(hwnd, msg, wp, lp);
  }
  if (Forwarding(w) || !IsPushButton(hwnd)) return DefSubclassProc(hwnd, msg, wp, lp);
  switch (msg) {
    case WM_PAINT:
      if (wp) {
        PaintButton(hwnd, reinterpret_cast<HDC>(wp), w);
      } else {
        PaintDc dc(hwnd);
        PaintButton(hwnd, dc.get(), w);
      }
      return 0;
    case WM_PRINTCLIENT:
      PaintButton(hwnd, reinterpret_cast<HDC>(wp), w);
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_MOUSEMOVE:
      if (!w->hot) {
        w->hot = true;
        TRACKMOUSEEVENT track = {sizeof track, TME_LEAVE, hwnd, 0};
        TrackMouseEvent(&track);
        RepaintNow(hwnd);
      }
      return DefSubclassProc(hwnd, msg, wp, lp);
    case WM_MOUSELEAVE:
      w->hot = false;
      RepaintNow(hwnd);
      return DefSubclassProc(hwnd, msg, wp, lp);
    // The button draws itself straight away on these; the skin draws over it at once.
    case WM_SETTEXT:
    case WM_ENABLE:
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_SETFONT:
    case WM_UPDATEUISTATE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED:
    case WM_KEYDOWN:
    case WM_KEYUP:
    case BM_SETSTATE:
    case BM_SETSTYLE:
    case BM_SETIMAGE:
    case BM_SETCHECK: {
      const LRESULT result = DefSubclassProc(hwnd, msg, wp, lp);
      RepaintNow(hwnd);  // finds the window's record again: a click may have destroyed it
      return result;
    }
  }
  return DefSubclassProc(hwnd, msg, wp, lp);
}
