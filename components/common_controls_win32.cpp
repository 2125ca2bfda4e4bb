#include "components/common_controls_win32.h"

#include "base/fatal.h"
#include "base/owned_handle_win32.h"
#include "base/system_library_win32.h"

namespace {

CommonControlEntries g_entries;
bool g_loaded = false;

}  // namespace

const CommonControlEntries* LoadCommonControls() {
  if (g_loaded) return &g_entries;
  // By name, never by path: the activation context decides which comctl32.
  ModuleHandle owned(LoadLibraryW(L"comctl32.dll"));
  HMODULE library = owned.get();
  if (!library) return nullptr;
  CommonControlEntries e{};
  bool all = BindEntry(library, &e.InitCommonControlsEx, "InitCommonControlsEx") &&
             BindEntry(library, &e.SetWindowSubclass, "SetWindowSubclass") &&
             BindEntry(library, &e.GetWindowSubclass, "GetWindowSubclass") &&
             BindEntry(library, &e.RemoveWindowSubclass, "RemoveWindowSubclass") &&
             BindEntry(library, &e.DefSubclassProc, "DefSubclassProc") &&
             BindEntry(library, &e.ImageList_Create, "ImageList_Create") &&
             BindEntry(library, &e.ImageList_Destroy, "ImageList_Destroy") &&
             BindEntry(library, &e.ImageList_Read, "ImageList_Read") &&
             BindEntry(library, &e.ImageList_AddMasked, "ImageList_AddMasked") &&
             BindEntry(library, &e.ImageList_GetIconSize, "ImageList_GetIconSize") &&
             BindEntry(library, &e.ImageList_GetImageCount, "ImageList_GetImageCount") &&
             BindEntry(library, &e.ImageList_Draw, "ImageList_Draw") &&
             BindEntry(library, &e.ImageList_DrawEx, "ImageList_DrawEx");
  if (!all) return nullptr;
  // Kept for the process: windows subclassed through it live until the end.
  owned.Release();
  g_entries = e;
  g_loaded = true;
  return &g_entries;
}

const CommonControlEntries& CommonControls() {
  const CommonControlEntries* entries = LoadCommonControls();
  if (!entries) ReportFatal(0, "");
  return *entries;
}
