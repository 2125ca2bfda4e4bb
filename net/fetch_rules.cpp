#include "net/fetch_rules.h"

int32_t ChunkSizeFor(const char* stated) {
  if (!stated) return fetch::kDefaultChunkSize;
  const char* p = stated;
  while (*p == ' ' || *p == '\t') ++p;
  bool negative = *p == '-';
  if (*p == '-' || *p == '+') ++p;
  // Saturates: anything past the cap reads as the cap.
  int64_t n = 0;
  for (; *p >= '0' && *p <= '9'; ++p) {
    n = n * 10 + (*p - '0');
    if (n > fetch::kMaxChunkSize) n = fetch::kMaxChunkSize;
  }
  if (negative || n <= 0) return fetch::kDefaultChunkSize;
  return n + 1 > fetch::kMaxChunkSize ? fetch::kMaxChunkSize : static_cast<int32_t>(n + 1);
}

void CutFragment(char* object) {
  for (char* p = object; *p; ++p) {
    if (*p == '#') {
      *p = '\0';
      return;
    }
  }
}
