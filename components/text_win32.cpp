#include "components/text_win32.h"

#include <string>

#include "base/wide_win32.h"

Text WideToGbk(const wchar_t* text, int length) {
  if (!text || length <= 0) return Text();
  int n = WideCharToMultiByte(kGbkCodePage, 0, text, length, nullptr, 0, nullptr, nullptr);
  if (n <= 0) return Text();
  std::string bytes(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(kGbkCodePage, 0, text, length, bytes.data(), n, nullptr, nullptr);
  return Text(NewText(bytes.data(), bytes.size()));
}

Text WindowTextGbk(HWND hwnd) {
  int length = GetWindowTextLengthW(hwnd);
  if (length <= 0) return Text();
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  length = GetWindowTextW(hwnd, text.data(), length + 1);
  return WideToGbk(text.data(), length);
}
