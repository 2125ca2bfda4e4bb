#include <windows.h>
// After windows.h: RtlGenRandom, advapi32's SystemFunction036.
#include <ntsecapi.h>

#include <cstdio>
#include <cstring>
#include <utility>

#include "base/wide_win32.h"
#include "core/page_files.h"
#include "core/pages.h"
#include "services/held_file_win32.h"
#include "services/services.h"

namespace {

constexpr char kBlankPage[] = "about:blank";
constexpr char kTempPrefix[] = "vmp";
constexpr int kTempFolderAttempts = 16;

struct PlacedPage {
  Text path;                    // the file the view reads; null when the page is nowhere
  HeldFile hold;                // open while placed
  bool in_temp_folder = false;  // written there because the run directory refused it
};
PlacedPage g_placed[kContentPageCount];
Text g_temp_folder;  // this process's folder under the temp directory, once made

Text PathIn(TextValue dir, const ContentPage& page) { return JoinTexts({dir, "\\", page.file_name}); }

Text BesideTheProgram(const ContentPage& page) {
  Text dir = GetRunDirectory();
  return PathIn(dir.get(), page);
}

// A folder this run made under the temp directory, named by chance so that
// nobody can make it first and leave pages of theirs in it; null when none
// can be made.
TextValue TempFolder() {
  if (g_temp_folder.get()) return g_temp_folder.get();
  wchar_t temp[MAX_PATH];
  DWORD n = GetTempPathW(MAX_PATH, temp);
  std::string dir;
  if (n == 0 || n >= MAX_PATH || !PathToGbk(temp, &dir)) return nullptr;
  if (dir.empty() || dir.back() != '\\') dir += '\\';
  for (int attempt = 0; attempt < kTempFolderAttempts; ++attempt) {
    unsigned char random[8];
    if (!RtlGenRandom(random, sizeof random)) return nullptr;
    char name[40];
    int used = std::snprintf(name, sizeof name, "velmora-pages-");
    for (unsigned char b : random) used += std::snprintf(name + used, sizeof name - used, "%02x", b);
    std::string path = dir + name;
    // Only a folder made now is ours: one that is there already is somebody's.
    if (CreateDirectoryW(GbkToWide(path.c_str()).c_str(), nullptr)) {
      g_temp_folder = Text(NewText(path.data(), path.size()));
      return g_temp_folder.get();
    }
    if (GetLastError() != ERROR_ALREADY_EXISTS) return nullptr;
  }
  return nullptr;
}

// Writes the page at path and holds it; invalid unless the file there ends up
// holding the page's bytes. The page lands whole or not at all, so a full disk
// never leaves half of one to be shown. A replacement refused because another
// instance holds the same page still gives a hold on that page.
HeldFile PutPage(TextValue path, ByteArray bytes) {
  // A folder of that name, or a file held open, is kept as it is.
  ReplaceFileWhole(path, bytes, kTempPrefix);
  HeldFile hold = HeldFile::Open(path);
  // Checked through the hold: nobody can change it any more.
  if (!hold.Holds(bytes)) hold.Reset();
  return hold;
}

bool Place(PlacedPage& placed, const ContentPage& page) {
  // A run directory GBK cannot name is no place to write to.
  if (RunDirectoryUsable()) {
    Text beside = BesideTheProgram(page);
    placed.hold = PutPage(beside.get(), page.bytes);
    if (placed.hold.held()) {
      placed.path = std::move(beside);
      return true;
    }
  }
  TextValue folder = TempFolder();
  if (!folder) return false;
  Text fallback = PathIn(folder, page);
  placed.hold = PutPage(fallback.get(), page.bytes);
  if (!placed.hold.held()) return false;
  placed.path = std::move(fallback);
  placed.in_temp_folder = true;
  return true;
}

}  // namespace

bool PlaceContentPages() {
  bool all = true;
  for (int i = 0; i < kContentPageCount; ++i) {
    g_placed[i].hold.Reset();
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
  for (PlacedPage& placed : g_placed) {
    // Only a page this run placed and holds is deleted: a file of the user's
    // that refused the page beside the program stays.
    bool ours = placed.hold.held();
    // Our own hold shares no deletion: it goes first.
    placed.hold.Reset();
    if (ours) RemoveFile(placed.path.get());
    placed.path = Text();
    placed.in_temp_folder = false;
  }
  if (g_temp_folder.get()) {
    RemoveDirectoryW(GbkToWide(g_temp_folder.get()).c_str());
    g_temp_folder = Text();
  }
}
