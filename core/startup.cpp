#include "core/startup.h"

#include "base/bench_marks.h"
#include "core/page_files.h"
#include "core/texts_gbk.h"
#include "core/update_check.h"
#include "format/property_fields.h"
#include "format/window_ids.h"
#include "services/services.h"
#include "skin/apply_skin.h"
#include "windows/property_access.h"

namespace {

constexpr int32_t kCurrentPage = PropertyIndex<PageControlProperties>("CurrentPage"),
                  kUrl = PropertyIndex<HtmlViewerProperties>("url");
constexpr int32_t kOkWithWarningIcon = 0x30;

}  // namespace

void OnStartup() {
  ApplySkin(13);
  VELMORA_BENCH_MARK("skin");
  bool every_page = PlaceContentPages();
  VELMORA_BENCH_MARK("pages");
  SetControlNumber(ids::MainWindow, ids::MainWindow_TabPager, kCurrentPage, 0);
  VELMORA_BENCH_MARK("tab");
  SetControlText(ids::MainWindow, ids::MainWindow_PageView, kUrl, ContentPageAddress(0));
  VELMORA_BENCH_MARK("navigate");
  HideContentPages();
  VELMORA_BENCH_MARK("hidden");
  // A blank view, or a plain window, with no word of why would leave the user guessing.
  if (!every_page) {
    ShowMessage(gbk::kPagesNotWritten, kOkWithWarningIcon);
  } else if (!RunDirectoryUsable()) {
    ShowMessage(gbk::kRunDirectoryUnnamed, kOkWithWarningIcon);
  }
  UpdateCheck();
  VELMORA_BENCH_MARK("update check");
}

void OnShutdown() { RemoveContentPages(); }
