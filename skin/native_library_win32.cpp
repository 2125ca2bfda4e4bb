// The bridge's seam on Windows: the system's own library calls, and the
// binding of the program's entry table at start-up.
#include <windows.h>

#include "base/fatal.h"
#include "base/system_library_win32.h"
#include "base/wide_win32.h"
#include "skin/apply_skin.h"
#include "skin/native_entries.h"

namespace {

// Library paths are GBK like every other path: the wide call takes any name.
void* LoadByPath(const char* path) { return LoadLibraryW(GbkToWide(path).c_str()); }

void* LoadFromSystemDirectory(const char* file_name) {
  return LoadSystemLibrary(GbkToWide(file_name).c_str());
}

void* FindByName(void* library, const char* name) {
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name));
}

void* FindByOrdinal(void* library, uint16_t ordinal) {
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), MAKEINTRESOURCEA(ordinal)));
}

void UnloadSystemLibrary(void* library) { FreeLibrary(static_cast<HMODULE>(library)); }

const NativeLibraryCalls kSystemLibraryCalls = {LoadByPath, FindByName, FindByOrdinal, UnloadSystemLibrary,
                                                LoadFromSystemDirectory};

// The engine's file stays held while the library it was checked as is loaded.
void UnloadNativeLibrariesThenLetGo() {
  UnloadNativeLibraries();
  LetGoOfSkinEngineFile();
}

}  // namespace

const NativeLibraryCalls& SystemLibraryCalls() { return kSystemLibraryCalls; }

void SetUpNativeEntries() {
  InitNativeBinding(NativeEntryTable, kSystemLibraryCalls);
  AddCleanupStep(UnloadNativeLibrariesThenLetGo);
}
