// Label: a window of its own class that draws its caption on its back colour.
// Does not draw BackPicture, raise events of its own or process "&" prefixes;
// indexes 9, 11 to 14 and 19 to 23 are kept and saved, with no effect.
#include <string>

#include "base/wide_win32.h"
#include "components/borders_win32.h"
#include "components/choices.h"
#include "components/fonts_win32.h"
#include "components/kinds_win32.h"
#include "components/owned_values.h"
#include "components/property_writers.h"
#include "components/self_painted_win32.h"

namespace {

const wchar_t kLabelClass[] = L"VelmoraLabel";

using T = PropertyType;
const PropertyType kLabelTypes[] = {
    T::kText,  T::kChoice, T::kChoice, T::kInteger, T::kColor,  T::kColor,  T::kColor,
    T::kFont,  T::kColor,  T::kColor,  T::kBytes,   T::kChoice, T::kChoice, T::kColor,
    T::kColor, T::kColor,  T::kChoice, T::kBool,    T::kChoice, T::kText,   T::kText,
};
static_assert(sizeof kLabelTypes / sizeof kLabelTypes[0] == 29 - 8);

enum LabelIndex {
  kCaption = 0,
  kChoice9,
  kBorder,
  kInteger11,
  kColour12,
  kColour13,
  kColour14,
  kFont,
  kTextColor,
  kBackColor,
  kBackPicture,
  kPictureMode,
  kChoice20,
  kColour21,
  kColour22,
  kColour23,
  kAlign,
  kWordWrap,
  kVAlign,
  kText27,
  kText28,
};

class Label : public SelfPaintedControl {
 public:
  explicit Label(const CreateArgs& args) : SelfPaintedControl(args) {}

  bool Create(const CreateArgs& args) {
    if (ReadLabelProperties(args.properties, &p_) != StreamResult::kOk) return false;
    caption_ = TextFromView(p_.Caption);
    back_picture_ = BytesFromView(p_.BackPicture);
    kept_.Take(&p_.Text27, &p_.Text28);
    p_.Caption = p_.BackPicture = ByteView{};
    if (p_.Font.present) font_ = CreateControlFont(p_.Font.font);
    return CreateSelfPainted(kLabelClass, GbkToWide(caption_.get()).c_str(), p_.Border, args);
  }

  bool GetProperty(int index, int sub, PropertyOut* out) override {
    switch (index) {
      case kCaption:
        out->text = CopyText(caption_.get());
        return true;
      case kBackPicture:
        out->bytes = CopyBytes(back_picture_.get());
        return true;
      case kText27:
      case kText28:
        out->text = kept_.Get(index - kText27);
        return true;
      case kFont:
        return ReadFontProperty(p_.Font, sub, out);
      default:
        return ReadNumberField(Number(index), out);
    }
  }

  bool SetProperty(int index, int sub, const PropertyIn& in) override {
    switch (index) {
      case kCaption:
        caption_ = CopyText(in.text);
        SetWindowTextW(hwnd(), GbkToWide(caption_.get()).c_str());
        break;
      case kBackPicture:
        back_picture_ = CopyBytes(in.bytes);
        return false;
      case kText27:
      case kText28:
        kept_.Set(index - kText27, in.text);
        return false;
      case kFont:
        if (!WriteFontProperty(&p_.Font, sub, in)) return false;
        font_ = CreateControlFont(p_.Font.font);
        break;
      case kBorder: {
        int32_t old = p_.Border;
        p_.Border = ChoiceUpTo(in.number, 6);
        ApplyBorder(hwnd(), old, p_.Border);
        break;
      }
      case kChoice9:
        p_.Choice9 = ChoiceUpTo(in.number, 3);
        return false;
      case kInteger11:
        p_.Integer11 = in.number < 5 ? 5 : static_cast<int32_t>(in.number);
        return false;
      case kChoice20:
        p_.Choice20 = ChoiceUpTo(in.number, 8);
        return false;
      case kAlign:
        p_.Align = ChoiceUpTo(in.number, 2);
        break;
      case kVAlign:
        p_.VAlign = ChoiceUpTo(in.number, 2);
        break;
      default:
        if (!WriteNumberField(Number(index), in.number)) return false;
        break;
    }
    Repaint();
    return false;
  }

  Bytes SaveProperties() override {
    LabelProperties p = p_;
    p.Caption = ViewOf(caption_);
    p.BackPicture = ViewOf(back_picture_);
    kept_.Put(&p.Text27, &p.Text28);
    return WriteLabelProperties(p);
  }

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override {
    if (msg == WM_GETFONT) return reinterpret_cast<LRESULT>(FontOrDefault(font_));
    return SelfPaintedControl::HandleMessage(msg, wp, lp);
  }

  uint32_t BackColour() const override { return p_.BackColor; }

  void PaintOver(HDC dc, RECT rc) override {
    std::wstring text = GbkToWide(caption_.get());
    if (text.empty()) return;
    SelectScope font(dc, FontOrDefault(font_));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, ColourOr(p_.TextColor, COLOR_BTNTEXT));
    static const UINT kAlignFormat[] = {DT_LEFT, DT_CENTER, DT_RIGHT};
    UINT format = DT_NOPREFIX | DT_EXPANDTABS | kAlignFormat[ChoiceUpTo(p_.Align, 2)];
    if (p_.WordWrap) {
      DrawTextW(dc, text.c_str(), -1, &rc, format | DT_WORDBREAK);
      return;
    }
    // DT_VCENTER works on one line only; measure the lines and place them.
    RECT measured = rc;
    DrawTextW(dc, text.c_str(), -1, &measured, format | DT_CALCRECT);
    int spare = (rc.bottom - rc.top) - (measured.bottom - measured.top);
    int valign = ChoiceUpTo(p_.VAlign, 2);
    if (valign == 1) rc.top += spare / 2;
    if (valign == 2) rc.top += spare;
    DrawTextW(dc, text.c_str(), -1, &rc, format);
  }

 private:
  // The plain 32-bit fields by kind index; null for the others.
  int32_t* Number(int index) {
    auto u = [](uint32_t* v) { return reinterpret_cast<int32_t*>(v); };
    switch (index) {
      case kChoice9:
        return &p_.Choice9;
      case kBorder:
        return &p_.Border;
      case kInteger11:
        return &p_.Integer11;
      case kColour12:
        return u(&p_.Colour12);
      case kColour13:
        return u(&p_.Colour13);
      case kColour14:
        return u(&p_.Colour14);
      case kTextColor:
        return u(&p_.TextColor);
      case kBackColor:
        return u(&p_.BackColor);
      case kPictureMode:
        return &p_.PictureMode;
      case kChoice20:
        return &p_.Choice20;
      case kColour21:
        return u(&p_.Colour21);
      case kColour22:
        return u(&p_.Colour22);
      case kColour23:
        return u(&p_.Colour23);
      case kAlign:
        return &p_.Align;
      case kWordWrap:
        return &p_.WordWrap;
      case kVAlign:
        return &p_.VAlign;
      default:
        return nullptr;
    }
  }

  LabelProperties p_;  // scalar fields and the font; the views below are owned copies
  Text caption_;
  Bytes back_picture_;
  KeptTexts kept_;  // 27 and 28
  FontHandle font_;
};

}  // namespace

const ComponentKind kLabelKind = {kKindLabel, "Label", 29, kLabelTypes, MakeControl<Label>};
