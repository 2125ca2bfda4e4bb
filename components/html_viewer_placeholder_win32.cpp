// HtmlViewer, for now: an empty host window of the right size that keeps its
// properties. Does not host a browser, navigate or raise events; writing url
// only stores it.
#include "components/choices.h"
#include "components/kinds_win32.h"
#include "components/owned_values.h"
#include "components/property_writers.h"

namespace {

const wchar_t kHtmlHostClass[] = L"VelmoraHtmlHost";

using T = PropertyType;
const PropertyType kHtmlViewerTypes[] = {T::kChoice, T::kBool, T::kBool, T::kText, T::kText, T::kText};
static_assert(sizeof kHtmlViewerTypes / sizeof kHtmlViewerTypes[0] == 14 - 8);

enum HtmlViewerIndex { kFontSize = 0, kOffline, kSilent, kUrl, kStatusText, kCaption };

class HtmlViewerPlaceholder : public Control {
 public:
  explicit HtmlViewerPlaceholder(const CreateArgs& args) : Control(args) {}

  bool Create(const CreateArgs& args) {
    if (ReadHtmlViewerProperties(args.properties, &p_) != StreamResult::kOk) return false;
    url_ = TextFromView(p_.url);
    p_.url = ByteView{};
    if (!RegisterControlClass(kHtmlHostClass, CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW, ArrowCursor(),
                              static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)))) {
      return false;
    }
    return CreateHwnd(0, kHtmlHostClass, L"", args.style | WS_CHILD | WS_CLIPSIBLINGS, args, false);
  }

  bool TakesFocus() const override { return true; }

  bool GetProperty(int index, int, PropertyOut* out) override {
    switch (index) {
      case kFontSize:
        out->number = p_.FontSize;
        return true;
      case kOffline:
        out->number = p_.Offline;
        return true;
      case kSilent:
        out->number = p_.Silent;
        return true;
      case kUrl:
        out->text = CopyText(url_.get());
        return true;
      case kStatusText:
      case kCaption:
        return true;  // nothing shown, nothing to tell
      default:
        return false;
    }
  }

  bool SetProperty(int index, int, const PropertyIn& in) override {
    switch (index) {
      case kFontSize:
        p_.FontSize = ChoiceUpTo(in.number, 4);
        break;
      case kOffline:
        p_.Offline = static_cast<int32_t>(in.number);
        break;
      case kSilent:
        p_.Silent = static_cast<int32_t>(in.number);
        break;
      case kUrl:
        url_ = CopyText(in.text);
        break;
      default:
        break;  // the status text and the title are read only
    }
    return false;
  }

  Bytes SaveProperties() override {
    HtmlViewerProperties p = p_;
    p.url = ViewOf(url_);
    return WriteHtmlViewerProperties(p);
  }

 private:
  HtmlViewerProperties p_;  // scalar fields; the address is owned below
  Text url_;
};

Control* CreateHtmlViewer(const CreateArgs& args) {
  auto* viewer = new HtmlViewerPlaceholder(args);
  if (!viewer->Create(args)) {
    delete viewer;
    return nullptr;
  }
  return viewer;
}

}  // namespace

const ComponentKind kHtmlViewerKind = {kKindHtmlViewer, "HtmlViewer", 14, kHtmlViewerTypes, CreateHtmlViewer};
