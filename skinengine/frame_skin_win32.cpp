// The frame skin: border, caption bar, caption boxes and the client
// background of top-level windows and dialogs. Windows with a menu bar, or
// without a caption, keep the system's frame; dialogs keep the skin's
// background either way. Does not draw scroll bars or maximised frames apart.
#include "skinengine/dwm_win32.h"
#include "skinengine/engine_win32.h"
#include "skinengine/gdi_win32.h"

namespace {

// Unpublished messages with which themed Windows draws the caption itself.
constexpr UINT kNcUahDrawCaption = 0x00AE, kNcUahDrawFrame = 0x00AF;
constexpr int kMaxBoxes = 3;

bool IsDialog(HWND hwnd) { return GetClassLongPtrW(hwnd, GCW_ATOM) == 32770; }

// A window whose border and caption the skin draws whenever it is not minimised.
bool HasSkinnedFrame(HWND hwnd) {
  const LONG_PTR style = GetWindowLongPtrW(hwnd, GWL_STYLE);
  return (style & WS_CAPTION) == WS_CAPTION && !GetMenu(hwnd);
}

// The skin draws this window's border and caption now.
bool OwnsFrame(HWND hwnd) { return HasSkinnedFrame(hwnd) && !IsIconic(hwnd); }

bool IsCaptionBox(UINT_PTR hit) { return hit == HTCLOSE || hit == HTMAXBUTTON || hit == HTMINBUTTON; }

bool PaintsBackground(HWND hwnd) {
  return IsDialog(hwnd) || (GetWindowLongPtrW(hwnd, GWL_STYLE) & WS_CAPTION) == WS_CAPTION;
}

// Where the frame's parts lie, in window coordinates.
struct FrameLayout {
  RECT caption;
  RECT client;
  int box_count;
  RECT boxes[kMaxBoxes];  // right to left
  int parts[kMaxBoxes];   // HTCLOSE, HTMAXBUTTON, HTMINBUTTON
};

FrameLayout Layout(HWND hwnd) {
  RECT wr;
  GetWindowRect(hwnd, &wr);
  const int width = wr.right - wr.left, height = wr.bottom - wr.top;
  const int b = SkinMetric(skin::kBorderWidth), c = SkinMetric(skin::kCaptionHeight);
  FrameLayout l;
  l.caption = {b, b, width - b, b + c};
  l.client = {b, b + c, width - b, height - b};
  if (l.client.right < l.client.left) l.client.right = l.client.left;
  if (l.client.bottom < l.client.top) l.client.bottom = l.client.top;

  const LONG_PTR style = GetWindowLongPtrW(hwnd, GWL_STYLE);
  const int bw = SkinMetric(skin::kCaptionButtonWidth), bh = SkinMetric(skin::kCaptionButtonHeight);
  const int top = b + (c - bh) / 2;
  int right = width - b - 2;
  l.box_count = 0;
  const struct {
    LONG_PTR style;
    int part;
  } kBoxes[] = {{WS_SYSMENU, HTCLOSE}, {WS_MAXIMIZEBOX, HTMAXBUTTON}, {WS_MINIMIZEBOX, HTMINBUTTON}};
  if (style & WS_SYSMENU) {
    for (const auto& box : kBoxes) {
      if (!(style & box.style)) continue;
      l.boxes[l.box_count] = {right - bw, top, right, top + bh};
      l.parts[l.box_count++] = box.part;
      right -= bw + 2;
    }
  }
  return l;
}

POINT ToWindow(HWND hwnd, POINT screen) {
  RECT wr;
  GetWindowRect(hwnd, &wr);
  return {screen.x - wr.left, screen.y - wr.top};
}

int BoxAt(const FrameLayout& l, POINT pt) {
  for (int i = 0; i < l.box_count; ++i) {
    if (PtInRect(&l.boxes[i], pt)) return l.parts[i];
  }
  return 0;
}

LRESULT HitTest(HWND hwnd, POINT screen) {
  const FrameLayout l = Layout(hwnd);
  const POINT pt = ToWindow(hwnd, screen);
  if (const int box = BoxAt(l, pt)) return box;
  if (PtInRect(&l.client, pt)) return HTCLIENT;
  RECT wr;
  GetWindowRect(hwnd, &wr);
  const int width = wr.right - wr.left, height = wr.bottom - wr.top;
  const int b = SkinMetric(skin::kBorderWidth), corner = 16;
  if ((GetWindowLongPtrW(hwnd, GWL_STYLE) & WS_THICKFRAME) && !IsZoomed(hwnd)) {
    const bool left = pt.x < b, right = pt.x >= width - b, top = pt.y < b, bottom = pt.y >= height - b;
    const bool near_left = pt.x < corner, near_right = pt.x >= width - corner;
    const bool near_top = pt.y < corner, near_bottom = pt.y >= height - corner;
    if ((top && near_left) || (left && near_top)) return HTTOPLEFT;
    if ((top && near_right) || (right && near_top)) return HTTOPRIGHT;
    if ((bottom && near_left) || (left && near_bottom)) return HTBOTTOMLEFT;
    if ((bottom && near_right) || (right && near_bottom)) return HTBOTTOMRIGHT;
    if (left) return HTLEFT;
    if (right) return HTRIGHT;
    if (top) return HTTOP;
    if (bottom) return HTBOTTOM;
  }
  if (PtInRect(&l.caption, pt)) return HTCAPTION;
  return HTBORDER;
}

void DrawGlyph(HDC dc, const RECT& box, int part, bool zoomed, COLORREF color) {
  const int size = (box.bottom - box.top) * 2 / 5;
  const int x = (box.left + box.right - size) / 2, y = (box.top + box.bottom - size) / 2;
  switch (part) {
    case HTCLOSE:
      DrawLine(dc, x, y, x + size, y + size, 2, color);
      DrawLine(dc, x + size, y, x, y + size, 2, color);
      break;
    case HTMAXBUTTON:
      if (zoomed) {  // two overlapping squares: restore
        const int s = size * 3 / 4, d = size - s;
        RECT back = {x + d, y, x + size + 1, y + s + 1}, front = {x, y + d, x + s + 1, y + size + 1};
        SetDCBrushColor(dc, color);
        FrameRect(dc, &back, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
        FrameRect(dc, &front, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
        RECT bar = {front.left, front.top, front.right, front.top + 2};
        FillSolid(dc, bar, color);
      } else {
        RECT frame = {x, y, x + size + 1, y + size + 1}, bar = {x, y, x + size + 1, y + 2};
        SetDCBrushColor(dc, color);
        FrameRect(dc, &frame, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
        FillSolid(dc, bar, color);
      }
      break;
    case HTMINBUTTON: {
      RECT bar = {x, y + size - 1, x + size + 1, y + size + 1};
      FillSolid(dc, bar, color);
      break;
    }
  }
}

void DrawCaption(HWND hwnd, HDC dc, const FrameLayout& l, const SkinnedWindow* w) {
  using namespace skin;
  const bool active = w->active;
  FillVertical(dc, l.caption, SkinColor(active ? kCaptionActiveTop : kCaptionInactiveTop),
               SkinColor(active ? kCaptionActiveBottom : kCaptionInactiveBottom));
  const COLORREF text_color = SkinColor(active ? kCaptionText : kCaptionTextInactive);

  RECT text = l.caption;
  text.left += SkinMetric(kCaptionTextInset);
  text.right = l.box_count ? l.boxes[l.box_count - 1].left - 4 : l.caption.right - 4;
  HICON icon = reinterpret_cast<HICON>(GetClassLongPtrW(hwnd, GCLP_HICONSM));
  if (HICON own = reinterpret_cast<HICON>(SendMessageW(hwnd, WM_GETICON, ICON_SMALL, 0))) icon = own;
  if (icon && (GetWindowLongPtrW(hwnd, GWL_STYLE) & WS_SYSMENU)) {
    const int cx = GetSystemMetrics(SM_CXSMICON), cy = GetSystemMetrics(SM_CYSMICON);
    DrawIconEx(dc, text.left, (l.caption.top + l.caption.bottom - cy) / 2, icon, cx, cy, 0, nullptr,
               DI_NORMAL);
    text.left += cx + 4;
  }
  wchar_t title[256];
  const int n = InternalGetWindowText(hwnd, title, 256);
  if (n > 0 && text.right > text.left) {
    Selected font(dc, g_engine.caption_font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, text_color);
    DrawTextW(dc, title, n, &text, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
  }

  for (int i = 0; i < l.box_count; ++i) {
    const int part = l.parts[i];
    COLORREF glyph = text_color;
    if (w->pressed_part == part) {
      FillSolid(dc, l.boxes[i], SkinColor(kCaptionButtonPressed));
    } else if (w->hot_part == part && !w->pressed_part) {
      const COLORREF face = SkinColor(part == HTCLOSE ? kCloseHot : kCaptionButtonHot);
      FillSolid(dc, l.boxes[i], face);
      if (part == HTCLOSE) glyph = RGB(255, 255, 255);
    }
    DrawGlyph(dc, l.boxes[i], part, IsZoomed(hwnd), glyph);
  }
}

void PaintFrame(HWND hwnd, const SkinnedWindow* w) {
  using namespace skin;
  if (!IsWindowVisible(hwnd)) return;
  RECT wr;
  GetWindowRect(hwnd, &wr);
  const int width = wr.right - wr.left, height = wr.bottom - wr.top;
  const FrameLayout l = Layout(hwnd);
  WindowDc target(hwnd, true);
  if (!target.get()) return;
  Canvas canvas(target.get(), width, height);
  if (!canvas.ok()) return;
  const HDC dc = canvas.dc();
  const RECT all = {0, 0, width, height};
  FillSolid(dc, all, SkinColor(w->active ? kFrameActive : kFrameInactive));
  SetDCBrushColor(dc, SkinColor(kFrameEdge));
  FrameRect(dc, &all, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
  DrawCaption(hwnd, dc, l, w);
  ExcludeClipRect(target.get(), l.client.left, l.client.top, l.client.right, l.client.bottom);
  canvas.CopyTo(target.get(), 0, 0);
}

// Holds a caption box down until the button comes up, as the system does,
// and sends the box's command when it comes up over the same box.
void TrackBox(HWND hwnd, SkinnedWindow* w, int part) {
  w->pressed_part = part;
  PaintFrame(hwnd, w);
  SetCapture(hwnd);
  bool released_inside = false;
  POINT last = {0, 0};
  for (;;) {
    MSG msg;
    if (!GetMessageW(&msg, nullptr, 0, 0)) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    if (msg.hwnd == hwnd && (msg.message == WM_MOUSEMOVE || msg.message == WM_LBUTTONUP)) {
      last = {static_cast<short>(LOWORD(msg.lParam)), static_cast<short>(HIWORD(msg.lParam))};
      ClientToScreen(hwnd, &last);
      const bool inside = BoxAt(Layout(hwnd), ToWindow(hwnd, last)) == part;
      if (msg.message == WM_LBUTTONUP) {
        released_inside = inside;
        break;
      }
      if (w->pressed_part != (inside ? part : 0)) {
        w->pressed_part = inside ? part : 0;
        PaintFrame(hwnd, w);
      }
      continue;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
    if (!IsWindow(hwnd)) return;  // w went with the window
    if (GetCapture() != hwnd) break;
  }
  if (GetCapture() == hwnd) ReleaseCapture();
  w->pressed_part = 0;
  w->hot_part = released_inside ? part : 0;
  PaintFrame(hwnd, w);
  if (!released_inside) return;
  WPARAM command = SC_CLOSE;
  if (part == HTMAXBUTTON) command = IsZoomed(hwnd) ? SC_RESTORE : SC_MAXIMIZE;
  if (part == HTMINBUTTON) command = SC_MINIMIZE;
  SendMessageW(hwnd, WM_SYSCOMMAND, command, MAKELPARAM(last.x, last.y));  // may destroy the window
}

LRESULT CalcSize(WPARAM wp, LPARAM lp) {
  RECT* r = wp ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(lp)->rgrc[0] : reinterpret_cast<RECT*>(lp);
  const int b = SkinMetric(skin::kBorderWidth), c = SkinMetric(skin::kCaptionHeight);
  r->left += b;
  r->top += b + c;
  r->right -= b;
  r->bottom -= b;
  if (r->right < r->left) r->right = r->left;
  if (r->bottom < r->top) r->bottom = r->top;
  return 0;
}

// Runs the default with the window's visible bit cleared, so the system draws
// no caption of its own before ours (the redraw lock Chromium uses).
LRESULT DefaultUnseen(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  const LONG_PTR style = GetWindowLongPtrW(hwnd, GWL_STYLE);
  if (style & WS_VISIBLE) SetWindowLongPtrW(hwnd, GWL_STYLE, style & ~WS_VISIBLE);
  const LRESULT result = DefSubclassProc(hwnd, msg, wp, lp);
  if ((style & WS_VISIBLE) && IsWindow(hwnd))
    SetWindowLongPtrW(hwnd, GWL_STYLE, GetWindowLongPtrW(hwnd, GWL_STYLE) | WS_VISIBLE);
  return result;
}

// A control asked its parent for colours: the skin answers where the parent
// itself gave the system's default.
LRESULT ControlColor(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  const LRESULT given = DefSubclassProc(hwnd, msg, wp, lp);
  if (reinterpret_cast<HBRUSH>(given) != GetSysColorBrush(COLOR_BTNFACE)) return given;
  const HDC dc = reinterpret_cast<HDC>(wp);
  const bool dialog = IsDialog(hwnd);
  SetBkColor(dc, SkinColor(dialog ? skin::kDialogBack : skin::kWindowBack));
  SetTextColor(dc, SkinColor(skin::kText));
  return reinterpret_cast<LRESULT>(dialog ? g_engine.dialog_brush : g_engine.window_brush);
}

}  // namespace

void SyncSystemFrame(SkinnedWindow* w, bool again) {
  const bool skinned = w->proc == FrameSkinProc && !Forwarding(w) && HasSkinnedFrame(w->hwnd);
  if (skinned == w->frame_taken && !(again && skinned)) return;
  w->frame_taken = skinned;
  // Before Windows 11 the corner and border attributes are refused, which changes nothing.
  SetDwmAttribute(w->hwnd, kDwmNcRenderingPolicy, skinned ? kDwmPolicyDisabled : kDwmPolicyUseStyle);
  SetDwmAttribute(w->hwnd, kDwmCornerPreference, skinned ? kDwmCornerSquare : kDwmCornerDefault);
  SetDwmAttribute(w->hwnd, kDwmBorderColor, skinned ? kDwmColorNone : kDwmColorDefault);
}

LRESULT CALLBACK FrameSkinProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR ref) {
  SkinnedWindow* w = reinterpret_cast<SkinnedWindow*>(ref);
  if (msg == WM_NCDESTROY) {
    ForgetWindow(w);
    return DefSubclassProc(hwnd, msg, wp, lp);
  }
  if (msg == WM_NCACTIVATE) w->active = LOWORD(wp) != 0;  // kept even while forwarding, for later paints
  if ((msg == WM_SETTINGCHANGE || msg == WM_THEMECHANGED) && g_engine.attached) FollowHighContrast();
  if (msg == WM_NCCREATE) {
    // Before the first WM_NCCALCSIZE: DWM never shows its frame for this window.
    const LRESULT created = DefSubclassProc(hwnd, msg, wp, lp);
    if (created && FindSkinnedWindow(hwnd) == w) SyncSystemFrame(w, false);
    return created;
  }
  if (msg == WM_DWMCOMPOSITIONCHANGED && w->frame_taken) {
    // DWM may have dropped what it was told: told again, and the frame worked out anew.
    SyncSystemFrame(w, true);
    RefreshWindow(hwnd, w->proc);
  }
  if (Forwarding(w)) return DefSubclassProc(hwnd, msg, wp, lp);

  if (PaintsBackground(hwnd)) {
    switch (msg) {
      case WM_ERASEBKGND: {
        RECT rc;
        GetClientRect(hwnd, &rc);
        FillRect(reinterpret_cast<HDC>(wp), &rc,
                 IsDialog(hwnd) ? g_engine.dialog_brush : g_engine.window_brush);
        return 1;
      }
      case WM_CTLCOLORDLG:
      case WM_CTLCOLORSTATIC:
      case WM_CTLCOLORBTN:
        return ControlColor(hwnd, msg, wp, lp);
    }
  }
  if (!OwnsFrame(hwnd)) return DefSubclassProc(hwnd, msg, wp, lp);
  switch (msg) {
    case WM_NCCALCSIZE:
      return CalcSize(wp, lp);
    case WM_NCPAINT:
      PaintFrame(hwnd, w);
      return 0;
    case WM_NCACTIVATE:
      // Not passed on: with a visual style the system ignores lParam -1 and draws its caption.
      PaintFrame(hwnd, w);
      return TRUE;
    case WM_NCHITTEST:
      return HitTest(hwnd, {static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))});
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK:
      if (wp == HTCLOSE || wp == HTMAXBUTTON || wp == HTMINBUTTON) {
        TrackBox(hwnd, w, static_cast<int>(wp));
        return 0;
      }
      break;
    // Over the caption boxes the themed default would draw the system's own.
    case WM_NCMOUSEMOVE: {
      const int part = IsCaptionBox(wp) ? static_cast<int>(wp) : 0;
      if (part != w->hot_part) {
        w->hot_part = part;
        PaintFrame(hwnd, w);
      }
      TRACKMOUSEEVENT track = {sizeof track, TME_LEAVE | TME_NONCLIENT, hwnd, 0};
      TrackMouseEvent(&track);
      if (part) return 0;
      break;
    }
    case WM_NCMOUSELEAVE:
      if (w->hot_part) {
        w->hot_part = 0;
        PaintFrame(hwnd, w);
      }
      return 0;
    case WM_SETCURSOR:
      if (reinterpret_cast<HWND>(wp) == hwnd && IsCaptionBox(LOWORD(lp))) {
        SetCursor(LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)));  // IDC_ARROW
        return TRUE;
      }
      break;
    case WM_SETTEXT:
    case WM_SETICON: {
      const LRESULT result = DefaultUnseen(hwnd, msg, wp, lp);
      if (FindSkinnedWindow(hwnd) == w) PaintFrame(hwnd, w);
      return result;
    }
    case kNcUahDrawCaption:
    case kNcUahDrawFrame:
      return 0;
  }
  return DefSubclassProc(hwnd, msg, wp, lp);
}
