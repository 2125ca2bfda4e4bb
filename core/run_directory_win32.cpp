#include "core/run_directory_win32.h"

#include <windows.h>

#include <string>

#include "base/wide_win32.h"
#include "services/services.h"

void EnterRunDirectory(const wchar_t* module_path) {
  std::string gbk;
  if (PathToGbk(module_path, &gbk)) {
    // Split as GBK, whose second bytes may look like "\", whatever the system code page.
    RecordRunDirectory(gbk.c_str(), IsGbkLeadByte);
  } else {
    // No spelling at all: better no directory than one of stand-in characters.
    RecordRunDirectory("", IsGbkLeadByte, false);
  }
  std::wstring dir(module_path);
  size_t cut = dir.rfind(L'\\');
  if (cut != std::wstring::npos && cut > 0) SetCurrentDirectoryW(dir.substr(0, cut).c_str());
}

void EnterRunDirectory() {
  std::wstring path(32768, L'\0');
  DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
  // No usable path: the run directory stays empty.
  path.resize(n < path.size() ? n : 0);
  EnterRunDirectory(path.c_str());
}
