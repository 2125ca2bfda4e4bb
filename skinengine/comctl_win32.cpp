#include "skinengine/comctl_win32.h"

SubclassEntries g_subclass;

bool BindSubclassEntries() {
  if (g_subclass.def) return true;
  // By name: the process's activation context gives version 6, and the
  // program has limited the search to the system directory before this runs.
  HMODULE comctl = LoadLibraryW(L"comctl32.dll");
  if (!comctl) return false;
  SubclassEntries e;
  e.set = reinterpret_cast<decltype(e.set)>(
      reinterpret_cast<void (*)()>(GetProcAddress(comctl, "SetWindowSubclass")));
  e.remove = reinterpret_cast<decltype(e.remove)>(
      reinterpret_cast<void (*)()>(GetProcAddress(comctl, "RemoveWindowSubclass")));
  e.def = reinterpret_cast<decltype(e.def)>(
      reinterpret_cast<void (*)()>(GetProcAddress(comctl, "DefSubclassProc")));
  if (!e.set || !e.remove || !e.def) {
    FreeLibrary(comctl);
    return false;
  }
  // Kept loaded: the engine is pinned and subclasses through it until the end.
  g_subclass = e;
  return true;
}
