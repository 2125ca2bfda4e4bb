// Loading system DLLs so that none is ever taken from the program's folder,
// where anyone who can leave a file in Downloads can leave a DLL. The program
// links at load only KnownDLLs; everything else comes through here.
#pragma once

#include <windows.h>

// First thing in WinMain, before OLE or any DLL loads by name: every later
// load by name searches the system directory only. Where the system lacks
// that (Windows 7 without KB2533623), takes the current directory out of the
// search and loads from the system directory the DLLs that system code is
// known to pull in by name, so later loads find them already there.
void LimitLibrarySearch();
// The system DLL of that file name, loaded from the system directory by its
// full path (its own imports from there too); null when it does not load.
HMODULE LoadSystemLibrary(const wchar_t* file_name);

// Puts library's entry name into *slot; false when the library lacks it.
template <typename F>
bool BindEntry(HMODULE library, F* slot, const char* name) {
  *slot = reinterpret_cast<F>(reinterpret_cast<void (*)()>(GetProcAddress(library, name)));
  return *slot != nullptr;
}
