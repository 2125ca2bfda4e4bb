// GBK to UTF-16 for the wide Windows calls: everything a person reads and every
// path or address handed to the platform, whatever the system code page.
#pragma once

#include <string>

inline constexpr unsigned kGbkCodePage = 936;

// Converts a NUL-terminated GBK text (null reads as empty).
std::wstring GbkToWide(const char* gbk);
// Converts into a fixed buffer without the heap; cuts what does not fit.
void GbkToWideBuffer(const char* gbk, wchar_t* buf, int capacity);
// The GBK spelling of a UTF-16 text; false when a character has none (Korean,
// emoji), so nothing is ever spelled with a stand-in.
bool WideToGbk(const wchar_t* wide, std::string* gbk);
// A path the platform gave as GBK: its own spelling, else its short name's
// (the volume's 8.3 name); false when neither spells it.
bool PathToGbk(const wchar_t* path, std::string* gbk);
