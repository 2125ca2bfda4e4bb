#include "core/startup.h"

#include "core/pages.h"
#include "core/services.h"
#include "core/update_check.h"
#include "forms/property_access.h"
#include "skin/apply_skin.h"

namespace {

constexpr int32_t kHiddenAttribute = 2;
constexpr uint32_t kMainWindow = 0x52010001, kTabPager = 0x16010002, kPageView = 0x1601001a;
constexpr int32_t kCurrentPage = 12, kUrl = 11;

Text PagePath(const ContentPage& page) {
  Text dir = GetRunDirectory();
  return JoinTexts({dir.get(), "\\", page.file_name});
}

}  // namespace

void OnStartup() {
  ApplySkin(13);
  for (const ContentPage& page : kContentPages) {
    // A leftover hidden page (say, after a fatal end) would refuse the write and
    // stay on show for ever; clearing its attributes lets the fresh page in.
    SetFileAttributeBits(page.file_name, 0);
    WriteBytesToFile(page.file_name, {page.bytes});
  }
  SetControlNumber(kMainWindow, kTabPager, kCurrentPage, 0);
  {
    Text first = PagePath(kContentPages[0]);
    SetControlText(kMainWindow, kPageView, kUrl, first.get());
  }
  for (const ContentPage& page : kContentPages) {
    Text path = PagePath(page);
    SetFileAttributeBits(path.get(), kHiddenAttribute);
  }
  UpdateCheck();
}

void OnShutdown() {
  for (const ContentPage& page : kContentPages) {
    Text path = PagePath(page);
    RemoveFile(path.get());
  }
}
