// Libraries that "load" by exact path, for the binding rules: every call the
// bridge makes is logged, and echoed to stderr so that death tests see the order.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "skin/native_entries.h"

struct FakeExport {
  const char* name;  // null: exported by ordinal only
  uint16_t ordinal;
  void* address;
};
struct FakeLibrary {
  const char* path;
  std::vector<FakeExport> exports;
};

extern std::vector<FakeLibrary> g_fake_libraries;
extern std::vector<std::string> g_fake_log;  // "load <path>", "find <name or #n>", "unload <path>"
extern const NativeLibraryCalls kFakeLibraryCalls;

// Declarations from parallel lists, kept alive by the caller.
NativeEntryDeclarations Declare(const std::vector<const char*>& libraries,
                                const std::vector<const char*>& entries);
