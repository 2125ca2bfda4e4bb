// Label: a window of its own class that draws its caption on its back colour.
// Does not draw BackPicture, raise events of its own or process "&" prefixes;
// indexes 9, 11 to 14 and 19 to 23 are kept and saved, with no effect.
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
#include "components/self_painted_win32.h"
#include "format/property_fields.h"

namespace {

const wchar_t kLabelClass[] = L"VelmoraLabel";

using T = PropertyType;
const PropertyType kLabelTypes[] = {
    T::kText,  T::kChoice, T::kChoice, T::kInteger, T::kColor,  T::kColor,  T::kColor,
    T::kFont,  T::kColor,  T::kColor,  T::kBytes,   T::kChoice, T::kChoice, T::kColor,
    T::kColor, T::kColor,  T::kChoice, T::kBool,    T::kChoice, T::kText,   T::kText,
};
static_assert(std::size(kLabelTypes) == StoredPropertyCount<LabelProperties>() - 8);

// A stored property's kind-specific index, from the field list.
consteval int32_t Own(std::string_view name) { return OwnIndex<LabelProperties>(name); }

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

  PropertyRead GetProperty(int index, int sub, PropertyOut* out) override {
    switch (index) {
      case Own("Caption"):
        out->text = CopyText(caption_.get());
        return PropertyRead::kAnswered;
      case Own("BackPicture"):
        out->bytes = CopyBytes(back_picture_.get());
        return PropertyRead::kAnswered;
      case Own("Text27"):
      case Own("Text28"):
        out->text = kept_.Get(index - Own("Text27"));
        return PropertyRead::kAnswered;
      case Own("Font"):
        return Answered(ReadFontProperty(p_.Font, sub, out));
      default:
        return Answered(ReadNumberField(Number(index), out));
    }
  }

  PropertyWrite SetProperty(int index, int sub, const PropertyIn& in) override {
    switch (index) {
      case Own("Caption"):
        caption_ = CopyText(in.text);
        SetWindowTextW(hwnd(), GbkToWide(caption_.get()).c_str());
        break;
      case Own("BackPicture"):
        back_picture_ = CopyBytes(in.bytes);
        return PropertyWrite::kApplied;
      case Own("Text27"):
      case Own("Text28"):
        kept_.Set(index - Own("Text27"), in.text);
        return PropertyWrite::kApplied;
      case Own("Font"):
        if (!WriteFontProperty(&p_.Font, sub, in)) return PropertyWrite::kApplied;
        font_ = CreateControlFont(p_.Font.font);
        break;
      case Own("Border"): {
        int32_t old = p_.Border;
        p_.Border = ChoiceUpTo(in.number, 6);
        ApplyBorder(hwnd(), old, p_.Border);
        break;
      }
      case Own("Choice9"):
        p_.Choice9 = ChoiceUpTo(in.number, 3);
        return PropertyWrite::kApplied;
      case Own("Integer11"):
        p_.Integer11 = in.number < 5 ? 5 : static_cast<int32_t>(in.number);
        return PropertyWrite::kApplied;
      case Own("Choice20"):
        p_.Choice20 = ChoiceUpTo(in.number, 8);
        return PropertyWrite::kApplied;
      case Own("Align"):
        p_.Align = ChoiceUpTo(in.number, 2);
        break;
      case Own("VAlign"):
        p_.VAlign = ChoiceUpTo(in.number, 2);
        break;
      default:
        if (!WriteNumberField(Number(index), in.number)) return PropertyWrite::kApplied;
        break;
    }
    Repaint();
    return PropertyWrite::kApplied;
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
  int32_t* Number(int index) { return NumberFieldAt<int32_t>(p_, index); }

  LabelProperties p_;  // scalar fields and the font; the views below are owned copies
  Text caption_;
  Bytes back_picture_;
  KeptTexts kept_;  // 27 and 28
  FontHandle font_;
};

}  // namespace

const ComponentKind kLabelKind = {kKindLabel, "Label", StoredPropertyCount<LabelProperties>(), kLabelTypes,
                                  MakeControl<Label>};
