// EditBox: the system edit control with the stored text, font, colours and
// modes. Does not raise events of its own (the window turns its input into
// events); style changes the system cannot make live ask for re-creation.
#include <iterator>
#include <string>
#include <string_view>

#include "base/wide_win32.h"
#include "components/borders_win32.h"
#include "components/choices.h"
#include "components/fonts_win32.h"
#include "components/kinds_win32.h"
#include "components/owned_values.h"
#include "components/property_writers.h"
#include "components/text_win32.h"
#include "format/property_fields.h"

namespace {

using T = PropertyType;
const PropertyType kEditBoxTypes[] = {
    T::kText,    T::kChoice,  T::kColor,   T::kColor,   T::kFont, T::kBool,   T::kInteger,
    T::kBool,    T::kChoice,  T::kChoice,  T::kChoice,  T::kText, T::kChoice, T::kChoice,
    T::kInteger, T::kInteger, T::kInteger, T::kInteger, T::kText, T::kText,   T::kText,
};
static_assert(std::size(kEditBoxTypes) == StoredPropertyCount<EditBoxProperties>() - 8);

// A stored property's kind-specific index, from the field list.
consteval int32_t Own(std::string_view name) { return OwnIndex<EditBoxProperties>(name); }
// Not stored: read from the edit control.
constexpr int32_t kSelectedText = Own("SelectionLength") + 1;

enum InputMode { kEditable = 0, kReadOnly = 1, kPassword = 2 };

// The 16-bit stored character holds one GBK character, its first byte low.
std::wstring PasswordCharWide(uint16_t c) {
  char bytes[3] = {static_cast<char>(c & 0xFF), static_cast<char>(c >> 8), 0};
  std::wstring wide = GbkToWide(bytes);
  return wide.empty() ? std::wstring(L"*") : wide.substr(0, 1);
}

class EditBox : public Control {
 public:
  explicit EditBox(const CreateArgs& args) : Control(args) {}

  bool Create(const CreateArgs& args) {
    if (ReadEditBoxProperties(args.properties, &p_) != StreamResult::kOk) return false;
    Text content = TextFromView(p_.Content);
    kept_.Take(&p_.Text27, &p_.Text28);
    p_.Content = ByteView{};
    BorderStyles border = StylesForBorder(p_.Border);
    if (!CreateHwnd(border.ex_style, L"EDIT", L"",
                    args.style | WS_CHILD | WS_CLIPSIBLINGS | border.style | EditStyle(), args, true)) {
      return false;
    }
    ApplyFont();
    // The text after the font: the box lays a long text out once, not once per font.
    if (content.get() && *content.get()) SetWindowTextW(hwnd(), GbkToWide(content.get()).c_str());
    SendMessageW(hwnd(), EM_LIMITTEXT, p_.MaxLength > 0 ? p_.MaxLength : 0, 0);
    if (p_.InputMode == kPassword) {
      SendMessageW(hwnd(), EM_SETPASSWORDCHAR, PasswordCharWide(p_.PasswordChar)[0], 0);
    }
    SendMessageW(hwnd(), EM_SETSEL, p_.SelectionStart, p_.SelectionStart + p_.SelectionLength);
    return true;
  }

  bool TakesFocus() const override { return true; }

  // Enter starts a new line in a multi-line box that can be typed into.
  bool ClaimsKey(WPARAM key) const override {
    return key == VK_RETURN && p_.MultiLine && p_.InputMode == kEditable;
  }

  PropertyRead GetProperty(int index, int sub, PropertyOut* out) override {
    switch (index) {
      case Own("Content"):
        out->text = WindowTextGbk(hwnd());
        return PropertyRead::kAnswered;
      case Own("Font"):
        return Answered(ReadFontProperty(p_.Font, sub, out));
      case Own("PasswordChar"): {
        char bytes[2] = {static_cast<char>(p_.PasswordChar & 0xFF), static_cast<char>(p_.PasswordChar >> 8)};
        out->text = Text(NewText(bytes, bytes[1] ? 2 : 1));
        return PropertyRead::kAnswered;
      }
      case Own("SelectionStart"):
        out->number = Selection().first;
        return PropertyRead::kAnswered;
      case Own("SelectionLength"):
        out->number = Selection().second - Selection().first;
        return PropertyRead::kAnswered;
      case kSelectedText: {
        std::wstring all = WindowText();
        auto [from, to] = Selection();
        out->text = WideToGbk(all.c_str() + from, to - from);
        return PropertyRead::kAnswered;
      }
      case Own("Text27"):
      case Own("Text28"):
        out->text = kept_.Get(index - Own("Text27"));
        return PropertyRead::kAnswered;
      default:
        return Answered(ReadNumberField(Number(index), out));
    }
  }

  PropertyWrite SetProperty(int index, int sub, const PropertyIn& in) override {
    switch (index) {
      case Own("Content"):
        SetWindowTextW(hwnd(), GbkToWide(in.text).c_str());
        return PropertyWrite::kApplied;
      case Own("Border"): {
        int32_t old = p_.Border;
        p_.Border = ChoiceUpTo(in.number, 6);
        ApplyBorder(hwnd(), old, p_.Border);
        return PropertyWrite::kApplied;
      }
      case Own("TextColor"):
        p_.TextColor = static_cast<uint32_t>(in.number);
        break;
      case Own("BackColor"):
        p_.BackColor = static_cast<uint32_t>(in.number);
        back_brush_.Reset();
        break;
      case Own("Font"):
        if (WriteFontProperty(&p_.Font, sub, in)) ApplyFont();
        return PropertyWrite::kApplied;
      case Own("MaxLength"):
        p_.MaxLength = in.number < 0 ? 0 : static_cast<int32_t>(in.number);
        SendMessageW(hwnd(), EM_LIMITTEXT, p_.MaxLength, 0);
        return PropertyWrite::kApplied;
      // The edit control fixes these styles when it is made.
      case Own("HideSelection"):
        p_.HideSelection = static_cast<int32_t>(in.number);
        return PropertyWrite::kRecreate;
      case Own("MultiLine"):
        p_.MultiLine = static_cast<int32_t>(in.number);
        return PropertyWrite::kRecreate;
      case Own("ScrollBars"):
        p_.ScrollBars = ChoiceUpTo(in.number, 3);
        return PropertyWrite::kRecreate;
      case Own("Align"):
        p_.Align = ChoiceUpTo(in.number, 2);
        return PropertyWrite::kRecreate;
      case Own("InputMode"):
        p_.InputMode = ChoiceUpTo(in.number, 2);
        return PropertyWrite::kRecreate;
      case Own("PasswordChar"): {
        const char* t = OrEmpty(in.text);
        uint8_t lead = static_cast<uint8_t>(t[0]);
        uint8_t trail = lead >= 0x81 ? static_cast<uint8_t>(t[1]) : 0;
        p_.PasswordChar = lead ? static_cast<uint16_t>(lead | trail << 8) : '*';
        if (p_.InputMode == kPassword)
          SendMessageW(hwnd(), EM_SETPASSWORDCHAR, PasswordCharWide(p_.PasswordChar)[0], 0);
        break;
      }
      case Own("SelectionStart"):
      case Own("SelectionLength"): {
        auto [from, to] = Selection();
        int32_t start = index == Own("SelectionStart") ? static_cast<int32_t>(in.number) : from;
        int32_t length = index == Own("SelectionLength") ? static_cast<int32_t>(in.number) : to - from;
        SendMessageW(hwnd(), EM_SETSEL, start, start + length);
        return PropertyWrite::kApplied;
      }
      case kSelectedText:
        SendMessageW(hwnd(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(GbkToWide(in.text).c_str()));
        return PropertyWrite::kApplied;
      case Own("Text27"):
      case Own("Text28"):
        kept_.Set(index - Own("Text27"), in.text);
        return PropertyWrite::kApplied;
      default:
        WriteNumberField(Number(index), in.number);
        return PropertyWrite::kApplied;
    }
    InvalidateRect(hwnd(), nullptr, TRUE);
    return PropertyWrite::kApplied;
  }

  Bytes SaveProperties() override {
    EditBoxProperties p = p_;
    Text content = WindowTextGbk(hwnd());
    p.Content = ViewOf(content);
    kept_.Put(&p.Text27, &p.Text28);
    auto [from, to] = Selection();
    p.SelectionStart = from;
    p.SelectionLength = to - from;
    return WriteEditBoxProperties(p);
  }

  bool OnParentNotify(UINT msg, WPARAM wp, LPARAM, LRESULT* result) override {
    // A read-only edit control asks with WM_CTLCOLORSTATIC.
    if (msg != WM_CTLCOLOREDIT && msg != WM_CTLCOLORSTATIC) return false;
    HDC dc = reinterpret_cast<HDC>(wp);
    COLORREF back = ColourOr(p_.BackColor, COLOR_WINDOW);
    SetTextColor(dc, ColourOr(p_.TextColor, COLOR_WINDOWTEXT));
    SetBkColor(dc, back);
    if (!back_brush_) back_brush_.Reset(CreateSolidBrush(back));
    *result = reinterpret_cast<LRESULT>(back_brush_.get());
    return true;
  }

 private:
  DWORD EditStyle() const {
    static const DWORD kAlignStyle[] = {ES_LEFT, ES_CENTER, ES_RIGHT};
    DWORD style = kAlignStyle[ChoiceUpTo(p_.Align, 2)];
    int bars = ChoiceUpTo(p_.ScrollBars, 3);
    if (p_.MultiLine) {
      style |= ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN;
      // Without a horizontal scroll bar the lines wrap at the right edge.
      if (bars & 1) style |= ES_AUTOHSCROLL;
    } else {
      style |= ES_AUTOHSCROLL;
    }
    if (bars & 1) style |= WS_HSCROLL;
    if (bars & 2) style |= WS_VSCROLL;
    if (!p_.HideSelection) style |= ES_NOHIDESEL;
    if (p_.InputMode == kReadOnly) style |= ES_READONLY;
    if (p_.InputMode == kPassword) style |= ES_PASSWORD;
    return style;
  }

  int32_t* Number(int index) { return NumberFieldAt<int32_t>(p_, index); }

  std::wstring WindowText() const {
    int length = GetWindowTextLengthW(hwnd());
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(hwnd(), text.data(), length + 1)));
    return text;
  }

  // Selection as character positions, start before end.
  std::pair<int32_t, int32_t> Selection() const {
    DWORD from = 0, to = 0;
    SendMessageW(hwnd(), EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
    return {static_cast<int32_t>(from), static_cast<int32_t>(to)};
  }

  void ApplyFont() {
    if (p_.Font.present) font_ = CreateControlFont(p_.Font.font);
    SendMessageW(hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(FontOrDefault(font_)), TRUE);
  }

  EditBoxProperties p_;  // scalar fields and the font; the text lives in the window
  KeptTexts kept_;       // 27 and 28
  FontHandle font_;
  BrushHandle back_brush_;  // the background handed to the edit control
};

}  // namespace

const ComponentKind kEditBoxKind = {kKindEditBox, "EditBox", StoredPropertyCount<EditBoxProperties>(),
                                    kEditBoxTypes, MakeControl<EditBox>};
