#include <windows.h>

#include <cstdio>
#include <cstring>
#include <utility>

#include "core/page_files.h"
#include "core/pages.h"
#include "services/services.h"

namespace {

constexpr char kBlankPage[] = "about:blank";

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
  char temp[MAX_PATH];
  DWORD n = GetTempPathA(MAX_PATH, temp);
  if (n == 0 || n >= MAX_PATH) return nullptr;
  char folder[MAX_PATH + 32];
  std::snprintf(folder, sizeof folder, "%svelmora-pages-%lu", temp,
                static_cast<unsigned long>(GetCurrentProcessId()));
  if (!CreateDirectoryA(folder, nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) return nullptr;
  g_temp_folder = Text(NewText(folder, std::strlen(folder)));
  return g_temp_folder.get();
}

// Writes the page at path and holds it; invalid unless the file there ends up
// holding the page's bytes. A write refused because another instance holds the
// same page still gives a hold on that page.
HANDLE PutPage(TextValue path, ByteArray bytes) {
  DWORD was = GetFileAttributesA(path);
  // A folder of that name is somebody's; it is neither written nor changed.
  if (was != INVALID_FILE_ATTRIBUTES && (was & FILE_ATTRIBUTE_DIRECTORY)) return INVALID_HANDLE_VALUE;
  // A leftover hidden or read-only page refuses the write until its attributes
  // are cleared; one that cannot be rewritten keeps the attributes it had.
  if (was != INVALID_FILE_ATTRIBUTES) SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL);
  if (!WriteBytesToFile(path, {bytes}) && was != INVALID_FILE_ATTRIBUTES) SetFileAttributesA(path, was);
  HANDLE hold = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (hold == INVALID_HANDLE_VALUE) return hold;
  // Checked while held: nobody can change it any more.
  if (!FileHoldsBytes(path, bytes)) {
    CloseHandle(hold);
    return INVALID_HANDLE_VALUE;
  }
  return hold;
}

bool Place(PlacedPage& placed, const ContentPage& page) {
  Text beside = BesideTheProgram(page);
  placed.hold = PutPage(beside.get(), page.bytes);
  if (placed.hold != INVALID_HANDLE_VALUE) {
    placed.path = std::move(beside);
    return true;
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
    if (placed.path.get()) SetFileAttributesA(placed.path.get(), FILE_ATTRIBUTE_HIDDEN);
  }
}

void RemoveContentPages() {
  for (int i = 0; i < kContentPageCount; ++i) {
    PlacedPage& placed = g_placed[i];
    // Our own hold shares no deletion: it goes first.
    LetGo(placed);
    Text beside = BesideTheProgram(kContentPages[i]);
    RemoveFile(beside.get());
    if (placed.in_temp_folder) RemoveFile(placed.path.get());
    placed.path = Text();
    placed.in_temp_folder = false;
  }
  if (g_temp_folder.get()) {
    RemoveDirectoryA(g_temp_folder.get());
    g_temp_folder = Text();
  }
}
