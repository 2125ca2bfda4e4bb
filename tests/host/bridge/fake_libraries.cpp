#include "fake_libraries.h"

#include <cstdio>
#include <cstring>

std::vector<FakeLibrary> g_fake_libraries;
std::vector<std::string> g_fake_log;

namespace {

void Log(const std::string& line) {
  g_fake_log.push_back(line);
  std::fprintf(stderr, "%s\n", line.c_str());
}

void* Find(const char* path) {
  for (FakeLibrary& library : g_fake_libraries) {
    if (std::strcmp(library.path, path) == 0) return &library;
  }
  return nullptr;
}

void* Load(const char* path) {
  Log(std::string("load ") + path);
  return Find(path);
}

// A system library's fake is registered under its bare name.
void* LoadSystem(const char* file_name) {
  Log(std::string("load system ") + file_name);
  return Find(file_name);
}

void* FindByName(void* library, const char* name) {
  Log(std::string("find ") + name);
  for (const FakeExport& e : static_cast<FakeLibrary*>(library)->exports) {
    if (e.name && std::strcmp(e.name, name) == 0) return e.address;
  }
  return nullptr;
}

void* FindByOrdinal(void* library, uint16_t ordinal) {
  Log("find #" + std::to_string(ordinal));
  for (const FakeExport& e : static_cast<FakeLibrary*>(library)->exports) {
    if (e.ordinal == ordinal) return e.address;
  }
  return nullptr;
}

void Unload(void* library) { Log(std::string("unload ") + static_cast<FakeLibrary*>(library)->path); }

}  // namespace

const NativeLibraryCalls kFakeLibraryCalls = {Load, FindByName, FindByOrdinal, Unload, LoadSystem};

NativeEntryDeclarations Declare(const std::vector<const char*>& libraries,
                                const std::vector<const char*>& entries) {
  return {static_cast<int32_t>(libraries.size()), libraries.data(), entries.data()};
}
