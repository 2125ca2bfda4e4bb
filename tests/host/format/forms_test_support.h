// Helpers shared by the window description tests.
#pragma once

#include <string>
#include <vector>

#include "format/window_descriptions.h"
#include "tools/form_compiler/compiler.h"

// GBK bytes of a UTF-8 text, as the program stores it.
inline std::string Gbk(const std::string& utf8) { return formc::ToGbk(utf8); }
inline std::string Str(ByteView v) { return std::string(reinterpret_cast<const char*>(v.data), v.size); }
inline ByteView View(const std::vector<uint8_t>& b) {
  return ByteView{b.data(), static_cast<uint32_t>(b.size())};
}

// A window source whose last record, of `kind`, has `props`; a window's own
// record comes first (version 1, all zero), so other kinds come second.
formc::Json WindowOfOneRecord(const std::string& kind, const formc::Json& props);
// Compiles sources given as JSON; media paths are relative to assets/forms.
// The tests build without exceptions, so a faulty source shows as an error text.
std::vector<uint8_t> Compile(const std::vector<formc::Json>& windows, std::string* error = nullptr);
