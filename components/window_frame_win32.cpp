// The `window` kind: a window's frame, of class "WTWindow" unless the record
// names another. Does not play BackSound, show BackPicture or Icon, shape the
// window, or handle keys and close requests (the loaded window does those).
#include <iterator>
#include <string_view>

#include "base/wide_win32.h"
#include "components/borders_win32.h"
#include "components/choices.h"
#include "components/fonts_win32.h"
#include "components/handles_win32.h"
#include "components/kinds_win32.h"
#include "components/owned_values.h"
#include "components/property_writers.h"
#include "format/property_fields.h"

namespace {

const wchar_t kFrameClass[] = L"WTWindow";

using T = PropertyType;
const PropertyType kWindowTypes[] = {
    T::kText, T::kChoice,  T::kColor,  T::kBytes, T::kChoice, T::kBytes, T::kInteger, T::kBool,
    T::kBool, T::kBool,    T::kChoice, T::kBool,  T::kBytes,  T::kBool,  T::kBool,    T::kBool,
    T::kText, T::kInteger, T::kBool,   T::kBool,  T::kChoice, T::kBool,  T::kBool,    T::kText,
};
static_assert(std::size(kWindowTypes) == StoredPropertyCount<WindowProperties>() - 8);

// A stored property's kind-specific index, from the field list.
consteval int32_t Own(std::string_view name) { return OwnIndex<WindowProperties>(name); }

constexpr int32_t kCentred = 1;

// Border 0 to 6 as frame styles; 2, a fixed frame with a caption bar, is
// what every window of the program stores.
DWORD FrameStyle(int border) {
  switch (border) {
    case 0:
      return WS_POPUP;
    case 1:
      return WS_POPUP | WS_BORDER;
    case 3:
      return WS_OVERLAPPED | WS_CAPTION | WS_THICKFRAME;
    case 4:
      return WS_OVERLAPPED | WS_CAPTION | WS_DLGFRAME;
    default:
      return WS_OVERLAPPED | WS_CAPTION;
  }
}

class WindowFrame : public Control {
 public:
  explicit WindowFrame(const CreateArgs& args) : Control(args) {}

  bool Create(const CreateArgs& args) {
    if (ReadWindowProperties(args.properties, &p_) != StreamResult::kOk) return false;
    caption_ = TextFromView(p_.Caption);
    help_file_ = TextFromView(p_.HelpFile);
    class_name_ = TextFromView(p_.ClassName);
    back_picture_ = BytesFromView(p_.BackPicture);
    back_sound_ = BytesFromView(p_.BackSound);
    icon_ = BytesFromView(p_.Icon);
    p_.Caption = p_.HelpFile = p_.ClassName = p_.BackPicture = p_.BackSound = p_.Icon = ByteView{};

    std::wstring class_name = class_name_.get() ? GbkToWide(class_name_.get()) : std::wstring(kFrameClass);
    // Every frame shows the executable's icon (resource 1), as Explorer and the taskbar do.
    if (!RegisterControlClass(class_name.c_str(), CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS, ArrowCursor(),
                              nullptr, true)) {
      return false;
    }
    CreateArgs at = args;
    if (p_.Position == kCentred) {
      // Integer division, as the system reports the primary screen.
      at.x = (GetSystemMetrics(SM_CXSCREEN) - args.width) / 2;
      at.y = (GetSystemMetrics(SM_CYSCREEN) - args.height) / 2;
    }
    DWORD ex_style =
        (p_.ShowInTaskbar ? WS_EX_APPWINDOW : WS_EX_TOOLWINDOW) | (p_.TopMost ? WS_EX_TOPMOST : 0);
    DWORD style = (args.style & WS_DISABLED) | WS_CLIPCHILDREN | FrameButtons();
    if (!CreateHwnd(ex_style, class_name.c_str(), GbkToWide(caption_.get()).c_str(), style, at, false))
      return false;
    KeepStoredSize(args.width, args.height);
    font_ = DefaultGuiFont();
    return true;
  }

  PropertyRead GetProperty(int index, int, PropertyOut* out) override {
    switch (index) {
      case Own("Caption"):
        out->text = CopyText(caption_.get());
        return PropertyRead::kAnswered;
      case Own("HelpFile"):
        out->text = CopyText(help_file_.get());
        return PropertyRead::kAnswered;
      case Own("ClassName"):
        out->text = CopyText(class_name_.get());
        return PropertyRead::kAnswered;
      case Own("BackPicture"):
        out->bytes = CopyBytes(back_picture_.get());
        return PropertyRead::kAnswered;
      case Own("BackSound"):
        out->bytes = CopyBytes(back_sound_.get());
        return PropertyRead::kAnswered;
      case Own("Icon"):
        out->bytes = CopyBytes(icon_.get());
        return PropertyRead::kAnswered;
      default:
        return Answered(ReadNumberField(Number(index), out));
    }
  }

  PropertyWrite SetProperty(int index, int, const PropertyIn& in) override {
    switch (index) {
      case Own("Caption"):
        caption_ = CopyText(in.text);
        SetWindowTextW(hwnd(), GbkToWide(caption_.get()).c_str());
        return PropertyWrite::kApplied;
      case Own("HelpFile"):
        help_file_ = CopyText(in.text);
        return PropertyWrite::kApplied;
      // The class of a live window cannot change; kept for saving only.
      case Own("ClassName"):
        class_name_ = CopyText(in.text);
        return PropertyWrite::kApplied;
      case Own("BackPicture"):
        back_picture_ = CopyBytes(in.bytes);
        return PropertyWrite::kApplied;
      case Own("BackSound"):
        back_sound_ = CopyBytes(in.bytes);
        return PropertyWrite::kApplied;
      case Own("Icon"):
        icon_ = CopyBytes(in.bytes);
        return PropertyWrite::kApplied;
      case Own("BackColor"):
        p_.BackColor = static_cast<uint32_t>(in.number);
        InvalidateRect(hwnd(), nullptr, TRUE);
        return PropertyWrite::kApplied;
      case Own("Border"):
        p_.Border = ChoiceUpTo(in.number, 6);
        break;
      case Own("ControlBox"):
        p_.ControlBox = static_cast<int32_t>(in.number);
        break;
      case Own("MaxButton"):
        p_.MaxButton = static_cast<int32_t>(in.number);
        break;
      case Own("MinButton"):
        p_.MinButton = static_cast<int32_t>(in.number);
        break;
      case Own("Position"):
        p_.Position = ChoiceUpTo(in.number, 3);
        return PropertyWrite::kApplied;
      case Own("TopMost"):
        p_.TopMost = static_cast<int32_t>(in.number);
        SetWindowPos(hwnd(), p_.TopMost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        return PropertyWrite::kApplied;
      default:
        WriteNumberField(Number(index), in.number);
        return PropertyWrite::kApplied;
    }
    ApplyFrameStyle();
    return PropertyWrite::kApplied;
  }

  Bytes SaveProperties() override {
    WindowProperties p = p_;
    p.Caption = ViewOf(caption_);
    p.HelpFile = ViewOf(help_file_);
    p.ClassName = ViewOf(class_name_);
    p.BackPicture = ViewOf(back_picture_);
    p.BackSound = ViewOf(back_sound_);
    p.Icon = ViewOf(icon_);
    return WriteWindowProperties(p);
  }

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override {
    switch (msg) {
      case WM_ERASEBKGND: {
        RECT rc;
        GetClientRect(hwnd(), &rc);
        BrushHandle back(CreateSolidBrush(ColourOr(p_.BackColor, COLOR_BTNFACE)));
        FillRect(reinterpret_cast<HDC>(wp), &rc, back.get());
        return 1;
      }
      case WM_SETFONT:
        font_ = reinterpret_cast<HFONT>(wp);
        return 0;
      case WM_GETFONT:
        return reinterpret_cast<LRESULT>(font_);
      default:
        return DefaultProc(msg, wp, lp);
    }
  }

  void OnWindowGone() override {
    if (host()) host()->FrameGone();
  }

 private:
  DWORD FrameButtons() const {
    DWORD style = FrameStyle(ChoiceUpTo(p_.Border, 6));
    if (p_.ControlBox && (style & WS_CAPTION) == WS_CAPTION) {
      style |= WS_SYSMENU | (p_.MinButton ? WS_MINIMIZEBOX : 0) | (p_.MaxButton ? WS_MAXIMIZEBOX : 0);
    }
    return style;
  }

  void ApplyFrameStyle() {
    const DWORD kOurs = WS_POPUP | WS_CAPTION | WS_THICKFRAME | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
    LONG_PTR style = (GetWindowLongPtrW(hwnd(), GWL_STYLE) & ~static_cast<LONG_PTR>(kOurs)) | FrameButtons();
    SetWindowLongPtrW(hwnd(), GWL_STYLE, style);
    SetWindowPos(hwnd(), nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  }

  // The system may adjust a frame's size on creation; the stored size holds.
  void KeepStoredSize(int width, int height) {
    RECT rc;
    GetWindowRect(hwnd(), &rc);
    if (rc.right - rc.left != width || rc.bottom - rc.top != height) {
      SetWindowPos(hwnd(), nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
  }

  int32_t* Number(int index) { return NumberFieldAt<int32_t>(p_, index); }

  WindowProperties p_;  // scalar fields; texts and media are owned below
  Text caption_, help_file_, class_name_;
  Bytes back_picture_, back_sound_, icon_;
  HFONT font_ = nullptr;  // the stock default GUI font unless set
};

}  // namespace

const ComponentKind kWindowKind = {kKindWindow, "window", StoredPropertyCount<WindowProperties>(),
                                   kWindowTypes, MakeControl<WindowFrame>};
