#include "base/value.h"

#include <cstring>

#include "base/fatal.h"
#include "base/platform_heap.h"
#include "base/texts_gbk.h"

namespace {

struct ConstantRange {
  const char* start;
  const char* end;
};

// Read-only sections of the image, plus any span a test registers.
ConstantRange g_ranges[16];
int g_range_count = 0;
bool g_initialised = false;

const ConstantRange* RangeOf(const void* p) {
  const char* c = static_cast<const char*>(p);
  for (int i = 0; i < g_range_count; ++i) {
    if (c >= g_ranges[i].start && c < g_ranges[i].end) return &g_ranges[i];
  }
  return nullptr;
}

[[noreturn]] void ReportAllocationFailure(int32_t bytes) {
  // Formatted without the heap: the heap has just refused.
  char message[64];
  char* out = message;
  std::memcpy(out, gbk::kAllocHead, sizeof gbk::kAllocHead - 1);
  out += sizeof gbk::kAllocHead - 1;
  out += FormatDecimal(bytes, out);
  std::memcpy(out, gbk::kAllocTail, sizeof gbk::kAllocTail);
  ReportFatal(0, message);
}

}  // namespace

bool AddConstantRange(const void* start, const void* end) {
  if (g_range_count == static_cast<int>(sizeof g_ranges / sizeof g_ranges[0])) return false;
  if (!start || end <= start) return false;
  g_ranges[g_range_count++] = {static_cast<const char*>(start), static_cast<const char*>(end)};
  return true;
}

bool IsConstant(const void* p) { return p && RangeOf(p); }

void InitValueModel() {
  if (g_initialised) return;
  g_initialised = true;
  PlatformRegisterImageRanges();
}

void* allocate(int32_t bytes) {
  void* p = bytes < 0 ? nullptr : PlatformHeapAlloc(static_cast<size_t>(bytes));
  if (!p) ReportAllocationFailure(bytes);
  return p;
}

void release(const void* block) {
  if (!block || RangeOf(block)) return;
  PlatformHeapFree(const_cast<void*>(block));
}

void* resize(const void* block, int32_t bytes) {
  if (!block) return allocate(bytes);
  if (const ConstantRange* r = RangeOf(block)) {
    void* copy = allocate(bytes);
    size_t available = static_cast<size_t>(r->end - static_cast<const char*>(block));
    size_t n = static_cast<size_t>(bytes) < available ? static_cast<size_t>(bytes) : available;
    std::memcpy(copy, block, n);
    return copy;
  }
  void* p = bytes < 0 ? nullptr : PlatformHeapRealloc(const_cast<void*>(block), static_cast<size_t>(bytes));
  if (!p) ReportAllocationFailure(bytes);
  return p;
}

char* NewText(const char* bytes, size_t length) {
  if (length > 0x7FFFFFFEu) ReportAllocationFailure(-1);
  char* t = static_cast<char*>(allocate(static_cast<int32_t>(length + 1)));
  if (length) std::memcpy(t, bytes, length);
  t[length] = '\0';
  return t;
}

ByteArrayHeader* NewByteArray(const void* data, int32_t length) {
  if (length < 0 || length > 0x7FFFFFFF - 8) ReportAllocationFailure(length);
  auto* b = static_cast<ByteArrayHeader*>(allocate(length + 8));
  b->marker = 1;
  b->length = length;
  uint8_t* out = reinterpret_cast<uint8_t*>(b + 1);
  if (data && length) {
    std::memcpy(out, data, static_cast<size_t>(length));
  } else if (length) {
    std::memset(out, 0, static_cast<size_t>(length));
  }
  return b;
}
