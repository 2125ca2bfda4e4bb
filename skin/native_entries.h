// The native entries the program declares and their lazy binding: which
// library supplies each one, and the fatal report when none does. Portable:
// loading goes through NativeLibraryCalls, the system's calls in the product.
// Calling an entry is native_call.h's.
#pragma once

#include <cstddef>
#include <cstdint>

// Declared entries, identified by their position (number) in the arrays.
struct NativeEntryDeclarations {
  int32_t count;
  const char* const* library_names;  // file name as declared; may hold a directory or be empty
  const char* const* entry_names;    // exported name, or "#" and decimal digits for an ordinal
};
extern const NativeEntryDeclarations NativeEntryTable;
constexpr int32_t kSkinAttachResEntry = 0;

// The seam to the system's library calls. Libraries and addresses are opaque.
struct NativeLibraryCalls {
  void* (*load)(const char* path);  // a library by its path; null when it does not load
  void* (*find_by_name)(void* library, const char* name);
  void* (*find_by_ordinal)(void* library, uint16_t ordinal);
  void (*unload)(void* library);
  void* (*load_system)(const char* file_name);  // from the system directory only; null when it does not load
};

// Sizes the binding state to table.count with nothing bound; a second call
// forgets the first table (its libraries stay loaded).
void InitNativeBinding(const NativeEntryDeclarations& table, const NativeLibraryCalls& calls);
// The bound address of entry number, binding it first; every failure is fatal.
extern "C" void* ResolveNativeEntry(int32_t number);
// Unloads every bound library in entry order and forgets its address.
void UnloadNativeLibraries();

// An entry name "#" and digits gives the ordinal: the digits read as far as
// they go, kept to their low 16 bits. False for a name.
bool ParseEntryOrdinal(const char* entry_name, uint16_t* ordinal);
// The binding failure's message with the declared names filled in; cut at a
// character boundary when it does not fit. Returns its length.
size_t FormatBindingFailure(const char* library_name, const char* entry_name, char* buf, size_t size);

// Windows builds: the system's LoadLibraryW, GetProcAddress and FreeLibrary,
// and system libraries loaded by their full path in the system directory.
const NativeLibraryCalls& SystemLibraryCalls();
// Windows builds, at start-up: binds NativeEntryTable through the system's
// calls and unloads its libraries at process clean-up.
void SetUpNativeEntries();
