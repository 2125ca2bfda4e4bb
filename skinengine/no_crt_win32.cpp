// The two memory routines the compiler may call on its own; the engine is
// linked without a C runtime, so it brings them itself.
#include <stddef.h>

extern "C" {

__attribute__((optimize("no-tree-loop-distribute-patterns"))) void* memset(void* dest, int value, size_t n) {
  unsigned char* d = static_cast<unsigned char*>(dest);
  while (n--) *d++ = static_cast<unsigned char>(value);
  return dest;
}

__attribute__((optimize("no-tree-loop-distribute-patterns"))) void* memcpy(void* dest, const void* src,
                                                                           size_t n) {
  unsigned char* d = static_cast<unsigned char*>(dest);
  const unsigned char* s = static_cast<const unsigned char*>(src);
  while (n--) *d++ = *s++;
  return dest;
}

}  // extern "C"
