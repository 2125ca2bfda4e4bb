#include <cstring>

#include "services/services.h"

namespace {

Text g_run_directory;                // recorded once at start, never changed
bool g_run_directory_usable = true;  // its name has a GBK spelling

size_t Length(TextValue s) { return s ? std::strlen(s) : 0; }

unsigned char Fold(unsigned char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<unsigned char>(c - 32) : c;
}

// Compares m bytes at s with t; folding touches single-byte ASCII letters only.
bool MatchAt(const unsigned char* s, const unsigned char* t, size_t m, bool ignore_case) {
  for (size_t i = 0; i < m;) {
    if (s[i] >= 0x80) {
      // A sought text that stops after a first byte would end inside the character.
      if (i + 1 == m && s[i + 1] != 0) return false;
      if (s[i] != t[i] || (i + 1 < m && s[i + 1] != t[i + 1])) return false;
      i += 2;
    } else {
      if (ignore_case ? Fold(s[i]) != Fold(t[i]) : s[i] != t[i]) return false;
      i += 1;
    }
  }
  return true;
}

}  // namespace

bool IsGbkLeadByte(unsigned char c) { return c >= 0x81 && c <= 0xFE; }

int32_t DirectoryPartLength(TextValue path, LeadBytePredicate is_lead) {
  int32_t last = -1;
  for (int32_t i = 0; path && path[i];) {
    auto c = static_cast<unsigned char>(path[i]);
    if (is_lead(c) && path[i + 1]) {
      i += 2;
      continue;
    }
    if (c == '\\') last = i;
    ++i;
  }
  return last < 0 ? 0 : last;
}

void RecordRunDirectory(TextValue module_path, LeadBytePredicate is_lead, bool usable) {
  int32_t n = DirectoryPartLength(module_path, is_lead);
  g_run_directory = n > 0 ? Text(NewText(module_path, static_cast<size_t>(n))) : Text();
  g_run_directory_usable = usable;
}

bool RunDirectoryUsable() { return g_run_directory_usable; }

Text GetRunDirectory() {
  TextValue d = g_run_directory.get();
  return d ? Text(NewText(d, std::strlen(d))) : Text();
}

Text JoinTexts(std::initializer_list<TextValue> parts) {
  size_t total = 0;
  for (TextValue p : parts) total += Length(p);
  // A sum past 2 GiB cannot be allocated; allocate reports it.
  int32_t bytes = total < 0x7FFFFFFF ? static_cast<int32_t>(total + 1) : -1;
  auto* out = static_cast<char*>(allocate(bytes));
  char* at = out;
  for (TextValue p : parts) {
    size_t n = Length(p);
    std::memcpy(at, p ? p : "", n);
    at += n;
  }
  *at = '\0';
  return Text(out);
}

int CompareText(TextValue a, TextValue b) {
  if (!a) return (!b || !*b) ? 0 : -1;
  if (!b) return *a ? 1 : 0;
  int r = std::strcmp(a, b);  // strcmp compares as unsigned char
  return r < 0 ? -1 : (r > 0 ? 1 : 0);
}

int32_t TextLength(TextValue s) { return static_cast<int32_t>(Length(s)); }

Text TextLeft(TextValue s, int32_t n) {
  size_t len = Length(s);
  if (n <= 0 || len == 0) return Text();
  size_t take = static_cast<size_t>(n) < len ? static_cast<size_t>(n) : len;
  return Text(NewText(s, take));
}

Text TextRight(TextValue s, int32_t n) {
  size_t len = Length(s);
  if (n <= 0 || len == 0) return Text();
  size_t take = static_cast<size_t>(n) < len ? static_cast<size_t>(n) : len;
  return Text(NewText(s + len - take, take));
}

int32_t FindText(TextValue s, TextValue t, bool ignore_case) {
  size_t r = Length(s);
  size_t m = Length(t);
  if (!s) s = "";
  if (!t) t = "";
  auto* us = reinterpret_cast<const unsigned char*>(s);
  auto* ut = reinterpret_cast<const unsigned char*>(t);
  for (size_t pos = 0; r - pos >= m;) {
    if (MatchAt(us + pos, ut, m, ignore_case)) return static_cast<int32_t>(pos + 1);
    if (us[pos] >= 0x80) {
      if (us[pos + 1] == 0) break;  // a lead byte cut off by the end
      pos += 2;
    } else {
      if (pos == r) break;
      pos += 1;
    }
  }
  return -1;
}

Text BytesToText(ByteArray b) {
  int32_t n = b ? b->length : 0;
  if (n <= 0) return Text();
  const uint8_t* data = ByteArrayData(b);
  const void* zero = std::memchr(data, 0, static_cast<size_t>(n));
  size_t take = zero ? static_cast<size_t>(static_cast<const uint8_t*>(zero) - data) : static_cast<size_t>(n);
  return take ? Text(NewText(reinterpret_cast<const char*>(data), take)) : Text();
}

int32_t ByteArrayLength(ByteArray b) { return b ? b->length : 0; }
