#include "core/startup.h"

#include "core/page_files.h"
#include "core/texts_gbk.h"
#include "core/update_check.h"
#include "services/services.h"
#include "skin/apply_skin.h"
#include "windows/property_access.h"

namespace {

constexpr uint32_t kMainWindow = 0x52010001, kTabPager = 0x16010002, kPageView = 0x1601001a;
constexpr int32_t kCurrentPage = 12, kUrl = 11;
constexpr int32_t kOkWithWarningIcon = 0x30;

}  // namespace

void OnStartup() {
  ApplySkin(13);
  bool every_page = PlaceContentPages();
  SetControlNumber(kMainWindow, kTabPager, kCurrentPage, 0);
  SetControlText(kMainWindow, kPageView, kUrl, ContentPageAddress(0));
  HideContentPages();
  // A blank view with no word of why would leave the user guessing.
  if (!every_page) ShowMessage(gbk::kPagesNotWritten, kOkWithWarningIcon);
  UpdateCheck();
}

void OnShutdown() { RemoveContentPages(); }
