// The engine's three subclassing entries, bound from comctl32 at the first
// attach instead of imported: an import would let a comctl32.dll in the
// program's folder be loaded with the engine. The names stay the system's so
// the skin procedures read as they would with the import. Internal.
#pragma once

#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

struct SubclassEntries {
  decltype(&::SetWindowSubclass) set;
  decltype(&::RemoveWindowSubclass) remove;
  decltype(&::DefSubclassProc) def;
};
extern SubclassEntries g_subclass;

// True once the entries are bound; the attach fails without them.
bool BindSubclassEntries();

#define SetWindowSubclass g_subclass.set
#define RemoveWindowSubclass g_subclass.remove
#define DefSubclassProc g_subclass.def
