// Button: the system push button with the stored font, caption and picture;
// a click becomes event 0. Does not draw anything itself or raise mouse, key
// and focus events (the window and the control base do those).
#include <iterator>
#include <string_view>

#include "base/wide_win32.h"
#include "components/choices.h"
#include "components/fonts_win32.h"
#include "components/kinds_win32.h"
#include "components/owned_values.h"
#include "components/picture_win32.h"
#include "components/property_writers.h"
#include "format/event_numbers.h"
#include "format/property_fields.h"

namespace {

using T = PropertyType;
const PropertyType kButtonTypes[] = {T::kBytes, T::kChoice, T::kText, T::kChoice, T::kChoice, T::kFont};
static_assert(std::size(kButtonTypes) == StoredPropertyCount<ButtonProperties>() - 8);

// A stored property's kind-specific index, from the field list.
consteval int32_t Own(std::string_view name) { return OwnIndex<ButtonProperties>(name); }

class Button : public Control {
 public:
  explicit Button(const CreateArgs& args) : Control(args) {}

  bool Create(const CreateArgs& args) {
    if (ReadButtonProperties(args.properties, &p_) != StreamResult::kOk) return false;
    caption_ = TextFromView(p_.Caption);
    picture_bytes_ = BytesFromView(p_.Picture);
    p_.Caption = p_.Picture = ByteView{};
    if (!CreateHwnd(0, L"BUTTON", GbkToWide(caption_.get()).c_str(),
                    args.style | WS_CHILD | WS_CLIPSIBLINGS | ButtonStyle(), args, true)) {
      return false;
    }
    ApplyFont();
    ApplyPicture();
    return true;
  }

  bool TakesFocus() const override { return true; }

  PropertyRead GetProperty(int index, int sub, PropertyOut* out) override {
    switch (index) {
      case Own("Picture"):
        out->bytes = CopyBytes(picture_bytes_.get());
        return PropertyRead::kAnswered;
      case Own("ButtonType"):
        out->number = p_.ButtonType;
        return PropertyRead::kAnswered;
      case Own("Caption"):
        out->text = CopyText(caption_.get());
        return PropertyRead::kAnswered;
      case Own("HAlign"):
        out->number = p_.HAlign;
        return PropertyRead::kAnswered;
      case Own("VAlign"):
        out->number = p_.VAlign;
        return PropertyRead::kAnswered;
      case Own("Font"):
        return Answered(ReadFontProperty(p_.Font, sub, out));
      default:
        return PropertyRead::kNoAnswer;
    }
  }

  PropertyWrite SetProperty(int index, int sub, const PropertyIn& in) override {
    switch (index) {
      case Own("Picture"):
        picture_bytes_ = CopyBytes(in.bytes);
        ApplyPicture();
        return PropertyWrite::kApplied;
      case Own("Caption"):
        caption_ = CopyText(in.text);
        SetWindowTextW(hwnd(), GbkToWide(caption_.get()).c_str());
        return PropertyWrite::kApplied;
      case Own("Font"):
        if (WriteFontProperty(&p_.Font, sub, in)) ApplyFont();
        return PropertyWrite::kApplied;
      case Own("ButtonType"):
        p_.ButtonType = ChoiceUpTo(in.number, 1);
        break;
      case Own("HAlign"):
        p_.HAlign = ChoiceUpTo(in.number, 2);
        break;
      case Own("VAlign"):
        p_.VAlign = ChoiceUpTo(in.number, 2);
        break;
      default:
        return PropertyWrite::kApplied;
    }
    ApplyStyle();
    return PropertyWrite::kApplied;
  }

  Bytes SaveProperties() override {
    ButtonProperties p = p_;
    p.Caption = ViewOf(caption_);
    p.Picture = ViewOf(picture_bytes_);
    return WriteButtonProperties(p);
  }

  bool OnParentNotify(UINT msg, WPARAM wp, LPARAM, LRESULT* result) override {
    if (msg != WM_COMMAND || HIWORD(wp) != BN_CLICKED) return false;
    RaiseEvent(kClicked);  // the handler runs before the notification returns
    *result = 0;
    return true;
  }

 private:
  DWORD ButtonStyle() const {
    static const DWORD kHorizontal[] = {BS_LEFT, BS_CENTER, BS_RIGHT};
    static const DWORD kVertical[] = {BS_TOP, BS_VCENTER, BS_BOTTOM};
    DWORD style = (p_.ButtonType == 1 ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON) | BS_MULTILINE |
                  kHorizontal[ChoiceUpTo(p_.HAlign, 2)] | kVertical[ChoiceUpTo(p_.VAlign, 2)];
    // A classic button takes an image only with BS_BITMAP, and then shows it
    // instead of the caption.
    if (has_picture_) style |= BS_BITMAP;
    return style;
  }

  void ApplyStyle() {
    const DWORD kOurs = BS_TYPEMASK | BS_CENTER | BS_VCENTER | BS_MULTILINE | BS_BITMAP;
    LONG_PTR style = (GetWindowLongPtrW(hwnd(), GWL_STYLE) & ~static_cast<LONG_PTR>(kOurs)) | ButtonStyle();
    SetWindowLongPtrW(hwnd(), GWL_STYLE, style);
    InvalidateRect(hwnd(), nullptr, TRUE);
  }

  void ApplyFont() {
    if (p_.Font.present) font_ = CreateControlFont(p_.Font.font);
    SendMessageW(hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(FontOrDefault(font_)), TRUE);
  }

  void ApplyPicture() {
    Picture picture;
    picture.Load(ViewOf(picture_bytes_));
    BitmapHandle next = picture.MakeBitmap();
    // The style must allow the image both when it is set and when it is taken away.
    if (next) {
      has_picture_ = true;
      ApplyStyle();
    }
    SendMessageW(hwnd(), BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(next.get()));
    bitmap_ = std::move(next);  // the old image goes only once the button lets go of it
    if (!bitmap_ && has_picture_) {
      has_picture_ = false;
      ApplyStyle();
    }
  }

  ButtonProperties p_;  // scalar fields and the font; caption and picture are owned below
  Text caption_;
  Bytes picture_bytes_;
  FontHandle font_;
  BitmapHandle bitmap_;
  bool has_picture_ = false;  // a picture decoded and handed to the button
};

}  // namespace

const ComponentKind kButtonKind = {kKindButton, "Button", StoredPropertyCount<ButtonProperties>(),
                                   kButtonTypes, MakeControl<Button>};
