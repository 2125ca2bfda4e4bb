#include <windows.h>

#include <cstdio>
#include <cstring>
#include <utility>

#include "base/wide_win32.h"
#include "core/page_files.h"
#include "core/pages.h"
#include "services/services.h"

namespace {

constexpr char kBlankPage[] = "about:blank";
constexpr char kTempPrefix[] = "vmp";

struct PlacedPage {
  Text path;                           // the file the view reads; null when the page is nowhere
  HANDLE hold = INVALID_HANDLE_VALUE;  // read access, shared for reading only, open while placed
  bool in_temp_folder = false;         // written there because the run directory refused it
};
PlacedPage g_placed[kContentPageCount];
Text g_temp_folder;  // this process's folder under the temp directory, once made

Text PathIn(TextValue dir, const ContentPage& page) { return JoinTexts({dir, "\\", page.file_name}); }

Text BesideTheProgram(const ContentPage& page) {
  Text dir = GetRunDirectory();
  return PathIn(dir.get(), page);
}

// Named after the process, so two instances never share it; null when it cannot be made.
TextValue TempFolder() {
  if (g_temp_folder.get()) return g_temp_folder.get();
  wchar_t temp[MAX_PATH];
  DWORD n = GetTempPathW(MAX_PATH, temp);
  std::string gbk;
  if (n == 0 || n >= MAX_PATH || !PathToGbk(temp, &gbk)) return nullptr;
  char name[32];
  if (gbk.empty() || gbk.back() != '\\') gbk += '\\';
  std::snprintf(name, sizeof name, "velmora-pages-%lu", static_cast<unsigned long>(GetCurrentProcessId()));
  gbk += name;
  if (!CreateDirectoryW(GbkToWide(gbk.c_str()).c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
    return nullptr;
  }
  g_temp_folder = Text(NewText(gbk.data(), gbk.size()));
  return g_temp_folder.get();
}

HANDLE HoldForReading(TextValue path) {
  return CreateFileW(GbkToWide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                     nullptr);
}

// Writes the page at path and holds it; invalid unless the file there ends up
// holding the page's bytes. The page lands whole or not at all, so a full disk
// never leaves half of one to be shown. A replacement refused because another
// instance holds the same page still gives a hold on that page.
HANDLE PutPage(TextValue path, ByteArray bytes) {
  // A folder of that name, or a file held open, is kept as it is.
  ReplaceFileWhole(path, bytes, kTempPrefix);
  HANDLE hold = HoldForReading(path);
  if (hold == INVALID_HANDLE_VALUE) return hold;
  // Checked while held: nobody can change it any more.
  if (!FileHoldsBytes(path, bytes)) {
    CloseHandle(hold);
    return INVALID_HANDLE_VALUE;
  }
  return hold;
}

bool Place(PlacedPage& placed, const ContentPage& page) {
  // A run directory GBK cannot name is no place to write to.
  if (RunDirectoryUsable()) {
    Text beside = BesideTheProgram(page);
    placed.hold = PutPage(beside.get(), page.bytes);
    if (placed.hold != INVALID_HANDLE_VALUE) {
      placed.path = std::move(beside);
      return true;
    }
  }
  TextValue folder = TempFolder();
  if (!folder) return false;
  Text fallback = PathIn(folder, page);
  placed.hold = PutPage(fallback.get(), page.bytes);
  if (placed.hold == INVALID_HANDLE_VALUE) return false;
  placed.path = std::move(fallback);
  placed.in_temp_folder = true;
  return true;
}

void LetGo(PlacedPage& placed) {
  if (placed.hold != INVALID_HANDLE_VALUE) CloseHandle(std::exchange(placed.hold, INVALID_HANDLE_VALUE));
}

}  // namespace

bool PlaceContentPages() {
  bool all = true;
  for (int i = 0; i < kContentPageCount; ++i) {
    LetGo(g_placed[i]);
    g_placed[i].path = Text();
    g_placed[i].in_temp_folder = false;
    all = Place(g_placed[i], kContentPages[i]) && all;
  }
  return all;
}

TextValue ContentPageAddress(int index) {
  if (index < 0 || index >= kContentPageCount || !g_placed[index].path.get()) return kBlankPage;
  return g_placed[index].path.get();
}

void HideContentPages() {
  for (const PlacedPage& placed : g_placed) {
    if (placed.path.get()) SetFileAttributeBits(placed.path.get(), FILE_ATTRIBUTE_HIDDEN);
  }
}

void RemoveContentPages() {
  for (int i = 0; i < kContentPageCount; ++i) {
    PlacedPage& placed = g_placed[i];
    // Our own hold shares no deletion: it goes first.
    LetGo(placed);
    if (RunDirectoryUsable()) {
      Text beside = BesideTheProgram(kContentPages[i]);
      RemoveFile(beside.get());
    }
    if (placed.in_temp_folder) RemoveFile(placed.path.get());
    placed.path = Text();
    placed.in_temp_folder = false;
  }
  if (g_temp_folder.get()) {
    RemoveDirectoryW(GbkToWide(g_temp_folder.get()).c_str());
    g_temp_folder = Text();
  }
}
