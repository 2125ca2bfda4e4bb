#include "core/startup.h"

#include "core/pages.h"
#include "core/services.h"

namespace {

constexpr int32_t kHiddenAttribute = 2;

Text PagePath(const ContentPage& page) {
  Text dir = GetRunDirectory();
  return JoinTexts({dir.get(), "\\", page.file_name});
}

}  // namespace

void OnStartup() {
  for (const ContentPage& page : kContentPages) {
    // A leftover hidden page (say, after a fatal end) would refuse the write and
    // stay on show for ever; clearing its attributes lets the fresh page in.
    SetFileAttributeBits(page.file_name, 0);
    WriteBytesToFile(page.file_name, {page.bytes});
  }
  for (const ContentPage& page : kContentPages) {
    Text path = PagePath(page);
    SetFileAttributeBits(path.get(), kHiddenAttribute);
  }
}

void OnShutdown() {
  for (const ContentPage& page : kContentPages) {
    Text path = PagePath(page);
    RemoveFile(path.get());
  }
}
