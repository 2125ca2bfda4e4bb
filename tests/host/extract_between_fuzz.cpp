// libFuzzer target: the input is source, start and end marker, split at NUL
// bytes. ExtractBetween must not crash or read outside its texts, and what it
// finds must be what a reader of the page would find.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "core/extract_between.h"
#include "services/services.h"

namespace {

// ASCII letters to upper case, leaving the second byte of a GBK character alone.
std::string UpperAscii(const std::string& s) {
  std::string out = s;
  for (size_t i = 0; i < out.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(out[i]);
    if (c >= 0x80) {
      ++i;
    } else if (c >= 'a' && c <= 'z') {
      out[i] = static_cast<char>(c - 32);
    }
  }
  return out;
}

void Check(bool ok) {
  if (!ok) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string parts[3];
  int at = 0;
  for (size_t i = 0; i < size && at < 3; ++i) {
    if (data[i] == 0) {
      ++at;
    } else {
      parts[at] += static_cast<char>(data[i]);
    }
  }
  const std::string &source = parts[0], &start = parts[1], &end = parts[2];
  Text found = ExtractBetween(source.c_str(), start.c_str(), end.c_str());
  const std::string got = found.c_str();
  if (start.empty() || end.empty()) Check(got.empty());
  if (!got.empty()) {
    // Copied out of the source, from after a start marker up to an end marker.
    Check(got.size() < source.size());
    Check(source.find(got) != std::string::npos);
    Check(FindText(source.c_str(), start.c_str(), true) != -1);
    const std::string whole = start + got + end;
    Check(FindText(source.c_str(), whole.c_str(), true) != -1);
  }
  // Markers match in any case of their ASCII letters.
  Text upper = ExtractBetween(source.c_str(), UpperAscii(start).c_str(), UpperAscii(end).c_str());
  Check(got == upper.c_str());
  return 0;
}
