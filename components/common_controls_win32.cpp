#include "components/common_controls_win32.h"

#include "base/fatal.h"
#include "base/owned_handle_win32.h"

namespace {

CommonControlEntries g_entries;
bool g_loaded = false;

template <typename F>
bool Bind(HMODULE library, F* slot, const char* name) {
  *slot = reinterpret_cast<F>(reinterpret_cast<void (*)()>(GetProcAddress(library, name)));
  return *slot != nullptr;
}

}  // namespace

const CommonControlEntries* LoadCommonControls() {
  if (g_loaded) return &g_entries;
  // By name, never by path: the activation context decides which comctl32.
  ModuleHandle owned(LoadLibraryW(L"comctl32.dll"));
  HMODULE library = owned.get();
  if (!library) return nullptr;
  CommonControlEntries e{};
  bool all = Bind(library, &e.InitCommonControlsEx, "InitCommonControlsEx") &&
             Bind(library, &e.SetWindowSubclass, "SetWindowSubclass") &&
             Bind(library, &e.GetWindowSubclass, "GetWindowSubclass") &&
             Bind(library, &e.RemoveWindowSubclass, "RemoveWindowSubclass") &&
             Bind(library, &e.DefSubclassProc, "DefSubclassProc") &&
             Bind(library, &e.ImageList_Create, "ImageList_Create") &&
             Bind(library, &e.ImageList_Destroy, "ImageList_Destroy") &&
             Bind(library, &e.ImageList_Read, "ImageList_Read") &&
             Bind(library, &e.ImageList_AddMasked, "ImageList_AddMasked") &&
             Bind(library, &e.ImageList_GetIconSize, "ImageList_GetIconSize") &&
             Bind(library, &e.ImageList_GetImageCount, "ImageList_GetImageCount") &&
             Bind(library, &e.ImageList_Draw, "ImageList_Draw") &&
             Bind(library, &e.ImageList_DrawEx, "ImageList_DrawEx");
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
