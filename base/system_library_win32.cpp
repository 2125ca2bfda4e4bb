#include "base/system_library_win32.h"

#include <cwchar>

namespace {

// What system code loads by name on systems without default DLL directories.
const wchar_t* const kPulledInBySystemCode[] = {
    L"uxtheme.dll",   L"userenv.dll", L"setupapi.dll", L"apphelp.dll", L"propsys.dll", L"dwmapi.dll",
    L"cryptbase.dll", L"oleacc.dll",  L"clbcatq.dll",  L"ntmarta.dll", L"version.dll"};

bool g_default_directories = false;  // SetDefaultDllDirectories took effect

}  // namespace

void LimitLibrarySearch() {
  using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
  // Looked up, not imported: the program must still start where it is missing.
  auto set_defaults = reinterpret_cast<SetDefaultDllDirectoriesFn>(reinterpret_cast<void (*)()>(
      GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories")));
  if (set_defaults && set_defaults(LOAD_LIBRARY_SEARCH_SYSTEM32)) {
    g_default_directories = true;
    return;
  }
  SetDllDirectoryW(L"");
  for (const wchar_t* name : kPulledInBySystemCode) LoadSystemLibrary(name);
}

HMODULE LoadSystemLibrary(const wchar_t* file_name) {
  wchar_t path[MAX_PATH];
  UINT n = GetSystemDirectoryW(path, MAX_PATH);
  size_t name_length = std::wcslen(file_name);
  if (n == 0 || n + 1 + name_length >= MAX_PATH) return nullptr;
  path[n] = L'\\';
  std::wmemcpy(path + n + 1, file_name, name_length + 1);
  // Without default directories, the altered search takes its imports from
  // the system directory too, before the program's folder.
  return LoadLibraryExW(path, nullptr, g_default_directories ? 0 : LOAD_WITH_ALTERED_SEARCH_PATH);
}
