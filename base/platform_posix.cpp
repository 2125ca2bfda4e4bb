// The value model's platform half for the host build (tests and tools).
#include <link.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "base/fatal.h"
#include "base/platform_heap.h"
#include "base/value.h"

void* PlatformHeapAlloc(size_t bytes) { return std::malloc(bytes ? bytes : 1); }
void* PlatformHeapRealloc(void* block, size_t bytes) { return std::realloc(block, bytes ? bytes : 1); }
void PlatformHeapFree(void* block) { std::free(block); }

void PlatformRegisterImageRanges() {
  // The main executable's read-only load segments hold its constants.
  dl_iterate_phdr(
      [](dl_phdr_info* info, size_t, void*) -> int {
        for (int i = 0; i < info->dlpi_phnum; ++i) {
          const auto& ph = info->dlpi_phdr[i];
          if (ph.p_type != PT_LOAD || (ph.p_flags & PF_W)) continue;
          const char* start = reinterpret_cast<const char*>(info->dlpi_addr + ph.p_vaddr);
          AddConstantRange(start, start + ph.p_memsz);
        }
        return 1;  // the first entry is the main program
      },
      nullptr);
}

void PlatformShowFatalReport(const char* text) {
  std::fputs(text, stderr);
  std::fflush(stderr);
}

void PlatformExitProcess(int32_t code) { _exit(code); }
