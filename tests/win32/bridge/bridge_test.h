// Shared by the bridge's Wine tests: where the test DLLs are, a run directory
// of the test's own, and the system's library calls with every call logged.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "skin/native_entries.h"
#include "support/test_support.h"

// The folder of the test DLLs (from --dlls=, or VELMORA_BRIDGE_DLLS in a child).
const std::string& TestDlls();
// Copies dlls\<dir>\<name> into folder.
bool CopyTestDll(const char* dir, const char* name, const std::string& folder);
// Makes folder the run directory, as start-up records it.
void UseRunDirectory(const std::string& folder);

// LoadLibraryA, GetProcAddress and FreeLibrary, each call logged as
// "load <path>" (with " failed" when it did not load), "find <name or #n>", "unload <path>".
extern std::vector<std::string> g_library_log;
extern const NativeLibraryCalls kLoggedSystemCalls;
