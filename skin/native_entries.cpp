#include "skin/native_entries.h"

#include <cstring>

#include "base/fatal.h"
#include "base/value.h"
#include "services/services.h"
#include "skin/texts_gbk.h"

namespace {

const char* const kLibraryNames[] = {gbk::kSkinEngineLibrary};
const char* const kEntryNames[] = {gbk::kSkinEngineEntry};

// Searched in this order, in the system directory, when an entry declares no library.
const char* const kSystemLibraries[] = {gbk::kKernel32, gbk::kGdi32, gbk::kUser32,
                                        gbk::kAdvapi32, gbk::kMpr,   gbk::kShell32};

struct NativeBinding {
  int32_t count = 0;
  const char** library_names = nullptr;  // copied from the table at start-up
  const char** entry_names = nullptr;    // copied from the table at start-up
  void** addresses = nullptr;            // bound code address, 0 until bound
  void** libraries = nullptr;            // library that supplied the address, 0 until bound
  const NativeLibraryCalls* calls = nullptr;
};
NativeBinding g_binding;

template <typename T>
T* NewSlots(int32_t count) {
  int32_t bytes = count > 0 ? count * static_cast<int32_t>(sizeof(T)) : 0;
  auto* slots = static_cast<T*>(allocate(bytes));
  std::memset(static_cast<void*>(slots), 0, static_cast<size_t>(bytes));
  return slots;
}

void* FindEntry(void* library, const char* entry_name) {
  uint16_t ordinal = 0;
  if (ParseEntryOrdinal(entry_name, &ordinal)) return g_binding.calls->find_by_ordinal(library, ordinal);
  return g_binding.calls->find_by_name(library, entry_name);
}

// Copies text into buf after used bytes without splitting a double-byte character.
void AppendWhole(char* buf, size_t size, size_t& used, const char* text, size_t n) {
  size_t i = 0;
  while (i < n) {
    size_t step = static_cast<unsigned char>(text[i]) >= 0x81 && i + 1 < n ? 2 : 1;
    if (used + i + step > size - 1) break;
    i += step;
  }
  std::memcpy(buf + used, text, i);
  used += i;
  buf[used] = '\0';
}

// The format with each "%s" replaced by the next argument in turn.
size_t FillPlaceholders(const char* format, const char* const* args, size_t arg_count, char* buf,
                        size_t size) {
  size_t used = 0, next = 0;
  buf[0] = '\0';
  const char* run = format;  // start of the literal bytes not yet copied
  const char* p = format;
  while (*p) {
    if (p[0] == '%' && p[1] == 's' && next < arg_count) {
      AppendWhole(buf, size, used, run, static_cast<size_t>(p - run));
      AppendWhole(buf, size, used, args[next], std::strlen(args[next]));
      ++next;
      p += 2;
      run = p;
    } else {
      // A trail byte may be 's' but never '%': skip whole characters.
      p += static_cast<unsigned char>(*p) >= 0x81 && p[1] ? 2 : 1;
    }
  }
  AppendWhole(buf, size, used, run, static_cast<size_t>(p - run));
  return used;
}

[[noreturn]] void ReportBindingFailure(int32_t number) {
  static char message[1024];  // static: the report must not need the heap
  FormatBindingFailure(g_binding.library_names[number], g_binding.entry_names[number], message,
                       sizeof message);
  ReportFatal(0, message);
}

// The library that supplies the entry, with the address in *address; null when none does.
void* BindFromSystemLibraries(const char* entry_name, void** address) {
  for (const char* name : kSystemLibraries) {
    void* library = g_binding.calls->load_system(name);
    if (!library) continue;
    *address = FindEntry(library, entry_name);
    if (*address) return library;
    g_binding.calls->unload(library);
  }
  return nullptr;
}

// The declared library by its full path: a drive path as it stands, a bare
// name beside the program. Never by the name alone, which the system would
// answer with any loaded module of that name, wherever it came from.
void* LoadDeclaredLibrary(const char* library_name) {
  if (std::strchr(library_name, ':')) return g_binding.calls->load(library_name);
  Text dir = GetRunDirectory();
  Text beside = JoinTexts({dir.get(), "\\", library_name});
  return g_binding.calls->load(beside.get());
}

}  // namespace

const NativeEntryDeclarations NativeEntryTable = {1, kLibraryNames, kEntryNames};

void InitNativeBinding(const NativeEntryDeclarations& table, const NativeLibraryCalls& calls) {
  release(g_binding.library_names);
  release(g_binding.entry_names);
  release(g_binding.addresses);
  release(g_binding.libraries);
  g_binding.count = table.count > 0 ? table.count : 0;
  g_binding.library_names = NewSlots<const char*>(g_binding.count);
  g_binding.entry_names = NewSlots<const char*>(g_binding.count);
  g_binding.addresses = NewSlots<void*>(g_binding.count);
  g_binding.libraries = NewSlots<void*>(g_binding.count);
  for (int32_t i = 0; i < g_binding.count; ++i) {
    g_binding.library_names[i] = OrEmpty(table.library_names[i]);
    g_binding.entry_names[i] = OrEmpty(table.entry_names[i]);
  }
  g_binding.calls = &calls;
}

extern "C" void* ResolveNativeEntry(int32_t number) {
  // An undeclared number is the program's own fault: a report without names.
  if (number < 0 || number >= g_binding.count) ReportFatal(0, "");
  if (void* bound = g_binding.addresses[number]) return bound;

  const char* library_name = g_binding.library_names[number];
  const char* entry_name = g_binding.entry_names[number];
  void* address = nullptr;
  void* library = nullptr;
  if (!*library_name) {
    library = BindFromSystemLibraries(entry_name, &address);
  } else if ((library = LoadDeclaredLibrary(library_name)) != nullptr) {
    address = FindEntry(library, entry_name);
  }
  if (!address) {
    if (library) g_binding.calls->unload(library);
    ReportBindingFailure(number);
  }
  g_binding.addresses[number] = address;
  g_binding.libraries[number] = library;
  return address;
}

void UnloadNativeLibraries() {
  for (int32_t i = 0; i < g_binding.count; ++i) {
    void* library = g_binding.libraries[i];
    if (!library) continue;
    g_binding.libraries[i] = nullptr;
    g_binding.addresses[i] = nullptr;
    g_binding.calls->unload(library);
  }
}

bool ParseEntryOrdinal(const char* entry_name, uint16_t* ordinal) {
  if (entry_name[0] != '#') return false;
  uint32_t low = 0;  // the low 16 bits of the number so far, exact however long it runs
  for (const char* p = entry_name + 1; *p >= '0' && *p <= '9'; ++p) {
    low = (low * 10 + static_cast<uint32_t>(*p - '0')) & 0xFFFF;
  }
  *ordinal = static_cast<uint16_t>(low);
  return true;
}

size_t FormatBindingFailure(const char* library_name, const char* entry_name, char* buf, size_t size) {
  if (size == 0) return 0;
  if (!*library_name) return FillPlaceholders(gbk::kBindingFailureNoLibrary, &entry_name, 1, buf, size);
  const char* const names[] = {library_name, entry_name};
  return FillPlaceholders(gbk::kBindingFailure, names, 2, buf, size);
}
