#include "components/kinds_win32.h"

#include "components/page_control_win32.h"

namespace {

const ComponentKind* const kKinds[] = {
    &kWindowKind, &kLabelKind, &kButtonKind, &kEditBoxKind, &kPicBoxKind, &kHtmlViewerKind, &kPageControlKind,
};

}  // namespace

const ComponentKind* FindComponentKind(uint32_t kind_id) {
  for (const ComponentKind* kind : kKinds) {
    if (kind->id == kind_id) return kind;
  }
  return nullptr;
}
