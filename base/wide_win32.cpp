// UTF-16 back to GBK for paths the platform gives: exact or not at all.
#include "base/wide_win32.h"

#include <windows.h>

#include <utility>

bool WideToGbk(const wchar_t* wide, std::string* gbk) {
  gbk->clear();
  if (!wide || !*wide) return true;
  BOOL stand_in = FALSE;
  int n = WideCharToMultiByte(kGbkCodePage, 0, wide, -1, nullptr, 0, nullptr, &stand_in);
  if (n <= 0 || stand_in) return false;
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(kGbkCodePage, 0, wide, -1, out.data(), n, nullptr, &stand_in);
  out.pop_back();  // the terminator
  // A best-fit look-alike is a loss too: the round trip must give the same text.
  if (stand_in || GbkToWide(out.c_str()) != wide) return false;
  *gbk = std::move(out);
  return true;
}

bool PathToGbk(const wchar_t* path, std::string* gbk) {
  if (WideToGbk(path, gbk)) return true;
  DWORD n = GetShortPathNameW(path, nullptr, 0);
  if (n == 0) return false;
  std::wstring short_name(n, L'\0');
  n = GetShortPathNameW(path, short_name.data(), n);
  if (n == 0 || n >= short_name.size()) return false;
  short_name.resize(n);
  return WideToGbk(short_name.c_str(), gbk);
}
