// PicBox: a window of its own class that fills itself with its back colour
// and draws its picture where DisplayMode puts it. Does not raise events of
// its own, animate, or show formats other than JPEG.
#include <iterator>
#include <string_view>

#include "components/borders_win32.h"
#include "components/choices.h"
#include "components/kinds_win32.h"
#include "components/owned_values.h"
#include "components/picture_placement.h"
#include "components/picture_win32.h"
#include "components/property_writers.h"
#include "components/self_painted_win32.h"
#include "format/property_fields.h"

namespace {

const wchar_t kPicBoxClass[] = L"VelmoraPicBox";
constexpr int32_t kLastBorder = 5;

using T = PropertyType;
const PropertyType kPicBoxTypes[] = {T::kChoice, T::kColor, T::kBytes, T::kChoice,
                                     T::kBool,   T::kText,  T::kText};
static_assert(std::size(kPicBoxTypes) == StoredPropertyCount<PicBoxProperties>() - 8);

// A stored property's kind-specific index, from the field list.
consteval int32_t Own(std::string_view name) { return OwnIndex<PicBoxProperties>(name); }

class PicBox : public SelfPaintedControl {
 public:
  explicit PicBox(const CreateArgs& args) : SelfPaintedControl(args) {}

  bool Create(const CreateArgs& args) {
    if (ReadPicBoxProperties(args.properties, &p_) != StreamResult::kOk) return false;
    p_.Border = ChoiceUpTo(p_.Border, kLastBorder);
    p_.DisplayMode = ChoiceUpTo(p_.DisplayMode, kLastDisplayMode);
    picture_bytes_ = BytesFromView(p_.Picture);
    p13_ = TextFromView(p_.Text13);
    p14_ = TextFromView(p_.Text14);
    p_.Picture = p_.Text13 = p_.Text14 = ByteView{};
    picture_.Load(ViewOf(picture_bytes_));
    return CreateSelfPainted(kPicBoxClass, L"", p_.Border, args);
  }

  PropertyRead GetProperty(int index, int, PropertyOut* out) override {
    switch (index) {
      case Own("Border"):
        out->number = p_.Border;
        return PropertyRead::kAnswered;
      case Own("BackColor"):
        out->number = p_.BackColor;
        return PropertyRead::kAnswered;
      case Own("Picture"):
        out->bytes = CopyBytes(picture_bytes_.get());
        return PropertyRead::kAnswered;
      case Own("DisplayMode"):
        out->number = p_.DisplayMode;
        return PropertyRead::kAnswered;
      case Own("Bool12"):
        out->number = p_.Bool12;
        return PropertyRead::kAnswered;
      case Own("Text13"):
        out->text = CopyText(p13_.get());
        return PropertyRead::kAnswered;
      case Own("Text14"):
        out->text = CopyText(p14_.get());
        return PropertyRead::kAnswered;
      default:
        return PropertyRead::kNoAnswer;
    }
  }

  PropertyWrite SetProperty(int index, int, const PropertyIn& in) override {
    switch (index) {
      case Own("Border"): {
        int32_t old = p_.Border;
        p_.Border = ChoiceUpTo(in.number, kLastBorder);
        ApplyBorder(hwnd(), old, p_.Border);
        break;
      }
      case Own("BackColor"):
        p_.BackColor = static_cast<uint32_t>(in.number);
        break;
      case Own("Picture"):
        picture_bytes_ = CopyBytes(in.bytes);
        picture_.Load(ViewOf(picture_bytes_));
        break;
      case Own("DisplayMode"):
        p_.DisplayMode = ChoiceUpTo(in.number, kLastDisplayMode);
        break;
      case Own("Bool12"):
        p_.Bool12 = static_cast<int32_t>(in.number);
        return PropertyWrite::kApplied;
      case Own("Text13"):
        p13_ = CopyText(in.text);
        return PropertyWrite::kApplied;
      case Own("Text14"):
        p14_ = CopyText(in.text);
        return PropertyWrite::kApplied;
      default:
        return PropertyWrite::kApplied;
    }
    Repaint();
    return PropertyWrite::kApplied;
  }

  Bytes SaveProperties() override {
    PicBoxProperties p = p_;
    p.Picture = ViewOf(picture_bytes_);
    p.Text13 = ViewOf(p13_);
    p.Text14 = ViewOf(p14_);
    return WritePicBoxProperties(p);
  }

 protected:
  uint32_t BackColour() const override { return p_.BackColor; }

  void PaintOver(HDC dc, RECT rc) override {
    if (picture_.empty()) return;
    PlacedPicture at = PlacePicture(p_.DisplayMode, rc.right, rc.bottom, picture_.width(), picture_.height());
    picture_.Draw(dc, at.x, at.y, at.width, at.height);
  }

 private:
  PicBoxProperties p_;  // scalar fields; the picture and texts are owned below
  Bytes picture_bytes_;
  Text p13_, p14_;
  Picture picture_;
};

}  // namespace

const ComponentKind kPicBoxKind = {kKindPicBox, "PicBox", StoredPropertyCount<PicBoxProperties>(),
                                   kPicBoxTypes, MakeControl<PicBox>};
