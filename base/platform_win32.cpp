// The value model's platform half on Windows: the process heap, the image's
// read-only sections, and the fatal report's box.
#include <windows.h>

#include "base/fatal.h"
#include "base/platform_heap.h"
#include "base/value.h"
#include "base/wide_win32.h"

namespace {
HANDLE ValueHeap() {
  static HANDLE heap = GetProcessHeap();
  return heap;
}
}  // namespace

void* PlatformHeapAlloc(size_t bytes) { return HeapAlloc(ValueHeap(), 0, bytes); }
void* PlatformHeapRealloc(void* block, size_t bytes) { return HeapReAlloc(ValueHeap(), 0, block, bytes); }
void PlatformHeapFree(void* block) { HeapFree(ValueHeap(), 0, block); }

void PlatformRegisterImageRanges() {
  // Every section the loader maps without write access holds only constants.
  auto* base = reinterpret_cast<const BYTE*>(GetModuleHandleW(nullptr));
  auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  const IMAGE_SECTION_HEADER* section = IMAGE_FIRST_SECTION(nt);
  for (WORD i = 0; i < nt->FileHeader.NumberOfSections; ++i, ++section) {
    if (section->Characteristics & IMAGE_SCN_MEM_WRITE) continue;
    const BYTE* start = base + section->VirtualAddress;
    AddConstantRange(start, start + section->Misc.VirtualSize);
  }
}

std::wstring GbkToWide(const char* gbk) {
  if (!gbk || !*gbk) return std::wstring();
  int n = MultiByteToWideChar(kGbkCodePage, 0, gbk, -1, nullptr, 0);
  if (n <= 1) return std::wstring();
  std::wstring out(static_cast<size_t>(n - 1), L'\0');
  MultiByteToWideChar(kGbkCodePage, 0, gbk, -1, out.data(), n);
  return out;
}

void GbkToWideBuffer(const char* gbk, wchar_t* buf, int capacity) {
  if (capacity <= 0) return;
  buf[0] = L'\0';
  if (!gbk) return;
  int n = MultiByteToWideChar(kGbkCodePage, 0, gbk, -1, buf, capacity);
  if (n == 0) buf[capacity - 1] = L'\0';  // too long: keep what fitted
}

void PlatformShowFatalReport(const char* text) {
  static wchar_t wide[4096];
  GbkToWideBuffer(text, wide, 4096);
  MessageBoxW(nullptr, wide, L"错误", MB_ICONERROR);
}

void PlatformExitProcess(int32_t code) { ExitProcess(static_cast<UINT>(code)); }
