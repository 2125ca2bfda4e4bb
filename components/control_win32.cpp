// The control base: making a control's window, attaching the object, routing
// messages, handing parent notifications back to the child. Does not paint,
// read properties or know any kind.
#include "components/control_win32.h"

#include "components/common_controls_win32.h"
#include "format/event_numbers.h"

namespace {

// The window property that points from a window to its control object.
const wchar_t kObjectProperty[] = L"VelmoraControl";
// Our subclass among others on a system control's window.
constexpr UINT_PTR kSubclassId = 0x564d;  // "VM"

bool IsParentNotification(UINT msg) {
  switch (msg) {
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_DRAWITEM:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
      return true;
    default:
      return false;
  }
}

}  // namespace

Control::~Control() {
  // Runs the last messages through the base class: the kind's part is gone.
  if (hwnd_) DestroyWindow(hwnd_);
}

Control* Control::FromHwnd(HWND hwnd) {
  return hwnd ? static_cast<Control*>(GetPropW(hwnd, kObjectProperty)) : nullptr;
}

void Control::Attach(HWND hwnd) {
  hwnd_ = hwnd;
  SetPropW(hwnd, kObjectProperty, this);
}

bool Control::CreateHwnd(DWORD ex_style, const wchar_t* window_class, const wchar_t* text, DWORD style,
                         const CreateArgs& args, bool system_class) {
  // A top-level frame has no child identifier; its menu slot stays empty.
  HMENU id = (style & WS_CHILD) ? reinterpret_cast<HMENU>(static_cast<INT_PTR>(args.child_id)) : nullptr;
  HWND hwnd = CreateWindowExW(ex_style, window_class, text, style, args.x, args.y, args.width, args.height,
                              args.parent, id, GetModuleHandleW(nullptr), system_class ? nullptr : this);
  if (!hwnd) {
    hwnd_ = nullptr;
    return false;
  }
  if (system_class) {
    Attach(hwnd);
    subclassed_ = CommonControls().SetWindowSubclass(hwnd, &Control::SubclassProc, kSubclassId,
                                                     reinterpret_cast<DWORD_PTR>(this));
    if (!subclassed_) {
      RemovePropW(hwnd, kObjectProperty);
      hwnd_ = nullptr;
      DestroyWindow(hwnd);
      return false;
    }
  }
  return true;
}

LRESULT CALLBACK Control::WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  Control* self = FromHwnd(hwnd);
  if (!self && msg == WM_NCCREATE) {
    self = static_cast<Control*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
    if (self) self->Attach(hwnd);
  }
  // A frame gets WM_GETMINMAXINFO before WM_NCCREATE: nobody to route it to yet.
  return self ? self->Route(msg, wp, lp) : DefWindowProcW(hwnd, msg, wp, lp);
}

LRESULT CALLBACK Control::SubclassProc(HWND, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR ref) {
  // Installed after Attach and removed at WM_NCDESTROY, so ref is always alive.
  return reinterpret_cast<Control*>(ref)->Route(msg, wp, lp);
}

LRESULT Control::Route(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_SETCURSOR:
      // Only for the window itself: a parent's cursor must not cover its children.
      if (reinterpret_cast<HWND>(wp) == hwnd_ && LOWORD(lp) == HTCLIENT && host_) {
        if (HCURSOR cursor = host_->CursorFor(control_id_)) {
          SetCursor(cursor);
          return TRUE;
        }
      }
      break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS: {
      LRESULT result = HandleMessage(msg, wp, lp);
      // Focus moving between a control and its own inner windows (the
      // browser's) neither reaches nor leaves the control.
      HWND other = reinterpret_cast<HWND>(wp);
      if (hwnd_ && !(other && IsChild(hwnd_, other))) RaiseEvent(msg == WM_SETFOCUS ? kGotFocus : kLostFocus);
      return result;
    }
    case WM_NCDESTROY: {
      HWND hwnd = hwnd_;
      LRESULT result = HandleMessage(msg, wp, lp);
      if (subclassed_) CommonControls().RemoveWindowSubclass(hwnd, &Control::SubclassProc, kSubclassId);
      subclassed_ = false;
      RemovePropW(hwnd, kObjectProperty);
      hwnd_ = nullptr;
      OnWindowGone();  // may delete this
      return result;
    }
    default:
      if (IsParentNotification(msg)) {
        LRESULT result = 0;
        if (ForwardToChild(msg, wp, lp, &result)) return result;
      }
      break;
  }
  return HandleMessage(msg, wp, lp);
}

LRESULT Control::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) { return DefaultProc(msg, wp, lp); }

LRESULT Control::DefaultProc(UINT msg, WPARAM wp, LPARAM lp) {
  if (subclassed_) return CommonControls().DefSubclassProc(hwnd_, msg, wp, lp);
  return DefWindowProcW(hwnd_, msg, wp, lp);
}

bool Control::OnParentNotify(UINT, WPARAM, LPARAM, LRESULT*) { return false; }

bool Control::RaiseEvent(int32_t event, std::initializer_list<int32_t> args, EventNotice* out) {
  EventNotice notice;
  notice.window_id = window_id_;
  notice.control_id = control_id_;
  notice.event = event;
  for (int32_t a : args) {
    if (notice.arg_count == 5) break;
    notice.args[notice.arg_count++] = a;
  }
  bool ran = host_ ? host_->RaiseEvent(&notice) : DispatchEvent(&notice);
  if (out) *out = notice;
  return ran;
}

bool Control::RaiseTypedEvent(TypedEventNotice* notice) {
  notice->window_id = window_id_;
  notice->control_id = control_id_;
  return host_ ? host_->RaiseTypedEvent(notice) : DispatchTypedEvent(notice);
}

bool ForwardToChild(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) {
  HWND child = nullptr;
  switch (msg) {
    case WM_COMMAND:
      child = reinterpret_cast<HWND>(lp);  // null for menus and accelerators
      break;
    case WM_NOTIFY:
      child = lp ? reinterpret_cast<const NMHDR*>(lp)->hwndFrom : nullptr;
      break;
    case WM_DRAWITEM: {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
      if (item && item->CtlType != ODT_MENU) child = item->hwndItem;
      break;
    }
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
      child = reinterpret_cast<HWND>(lp);
      break;
    default:
      return false;
  }
  Control* control = Control::FromHwnd(child);
  if (!control) return false;
  return control->OnParentNotify(msg, wp, lp, result);
}

bool PreTranslateKeyMessage(MSG* msg) {
  if (!msg || msg->message < WM_KEYFIRST || msg->message > WM_KEYLAST) return false;
  for (HWND h = msg->hwnd; h; h = GetParent(h)) {
    if (Control* c = Control::FromHwnd(h); c && c->PreTranslateKey(msg)) return true;
  }
  return false;
}

bool RegisterControlClass(const wchar_t* name, UINT class_style, HCURSOR cursor, HBRUSH background,
                          bool program_icon) {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSEXW existing{};
  existing.cbSize = sizeof existing;
  if (GetClassInfoExW(instance, name, &existing)) return true;
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.style = class_style;
  wc.lpfnWndProc = &Control::WindowProc;
  wc.hInstance = instance;
  wc.hCursor = cursor;
  wc.hbrBackground = background;
  wc.lpszClassName = name;
  if (program_icon) {
    // Loaded once, with the class; a program without an icon keeps the system's.
    wc.hIcon = static_cast<HICON>(
        LoadImageW(instance, MAKEINTRESOURCEW(1), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE | LR_SHARED));
    wc.hIconSm = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(1), IMAGE_ICON,
                                               GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON),
                                               LR_SHARED));
  }
  return RegisterClassExW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}
