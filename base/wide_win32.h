// GBK to UTF-16 for the wide Windows calls: everything a person reads.
#pragma once

#include <string>

inline constexpr unsigned kGbkCodePage = 936;

// Converts a NUL-terminated GBK text (null reads as empty).
std::wstring GbkToWide(const char* gbk);
// Converts into a fixed buffer without the heap; cuts what does not fit.
void GbkToWideBuffer(const char* gbk, wchar_t* buf, int capacity);
