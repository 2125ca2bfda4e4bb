#include "core/extract_between.h"

#include "services/services.h"

namespace {

// Counts come out of double arithmetic, cut toward zero as an integer count.
int32_t ToCount(double n) { return static_cast<int32_t>(n); }

}  // namespace

Text ExtractBetween(TextValue source, TextValue start, TextValue end) {
  source = OrEmpty(source);
  start = OrEmpty(start);
  end = OrEmpty(end);
  if (TextLength(start) == 0) return Text();
  int32_t p = FindText(source, start, true);
  if (p == -1) return Text();
  double after = static_cast<double>(TextLength(source)) - p - TextLength(start) + 1;
  Text rest = TextRight(source, ToCount(after));
  if (TextLength(end) == 0) return Text();
  int32_t q = FindText(rest.c_str(), end, true);
  if (q == -1) return Text();
  return TextLeft(rest.c_str(), ToCount(static_cast<double>(q) - 1));
}

bool IsVersionText(TextValue t) {
  constexpr int32_t kLongestVersion = 32;
  int32_t n = TextLength(t);
  if (n == 0 || n > kLongestVersion) return false;
  const auto* b = reinterpret_cast<const unsigned char*>(t);
  for (int32_t i = 0; i < n; ++i) {
    if (b[i] < 0x20 || b[i] == 0x7F || b[i] == 0x80 || b[i] == 0xFF) return false;
    if (b[i] < 0x80) continue;
    // A lead byte takes a trail byte of 0x40 to 0xFE, 0x7F excepted.
    if (i + 1 == n || b[i + 1] < 0x40 || b[i + 1] == 0x7F || b[i + 1] == 0xFF) return false;
    ++i;
  }
  return true;
}
