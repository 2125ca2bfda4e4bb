// Start-up marks for a bench build. VELMORA_BENCH_MARK("name") appends the line
// "name <microseconds since the process was created>" to the file named by the
// environment variable VELMORA_BENCH_MARKS_FILE; the first line written is
// "process_created <Unix microseconds>", so a driver can place the marks on its
// own clock. Compiles to nothing unless VELMORA_BENCH_MARKS is defined, which
// only the *-marks presets do: the product's release build carries no marks.
#pragma once

#if defined(VELMORA_BENCH_MARKS) && defined(_WIN32)
#include <windows.h>

#include <cstdint>
#include <cstdio>

namespace bench_marks {

inline int64_t Microseconds(const FILETIME& t) {
  return static_cast<int64_t>((static_cast<uint64_t>(t.dwHighDateTime) << 32 | t.dwLowDateTime) / 10);
}

// The precise clock where the system has one (Windows 8 and later, Wine).
inline int64_t NowMicroseconds() {
  using PreciseTime = void(WINAPI*)(FILETIME*);
  static const PreciseTime precise = reinterpret_cast<PreciseTime>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "GetSystemTimePreciseAsFileTime")));
  FILETIME now;
  precise ? precise(&now) : GetSystemTimeAsFileTime(&now);
  return Microseconds(now);
}

inline void WriteLine(HANDLE file, const char* name, long long value) {
  char line[160];
  int n = std::snprintf(line, sizeof line, "%s %lld\r\n", name, value);
  if (n <= 0) return;
  DWORD written;
  WriteFile(file, line, static_cast<DWORD>(n < static_cast<int>(sizeof line) ? n : sizeof line - 1), &written,
            nullptr);
}

struct Output {
  HANDLE file = INVALID_HANDLE_VALUE;
  int64_t created = 0;  // process creation, microseconds on the file-time clock
};

// Opened once, at the first mark, and left open: each mark is one append.
inline const Output& TheOutput() {
  static const Output out = [] {
    Output o;
    char path[MAX_PATH];
    DWORD n = GetEnvironmentVariableA("VELMORA_BENCH_MARKS_FILE", path, sizeof path);
    FILETIME created, exited, kernel, user;
    if (n == 0 || n >= sizeof path ||
        !GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user))
      return o;
    o.file = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
    o.created = Microseconds(created);
    constexpr int64_t kUnixEpoch = 11644473600LL * 1000000;  // 1970 on the 1601-based file-time clock
    if (o.file != INVALID_HANDLE_VALUE) WriteLine(o.file, "process_created", o.created - kUnixEpoch);
    return o;
  }();
  return out;
}

inline void Mark(const char* name) {
  int64_t now = NowMicroseconds();
  const Output& out = TheOutput();
  if (out.file != INVALID_HANDLE_VALUE) WriteLine(out.file, name, now - out.created);
}

}  // namespace bench_marks

#define VELMORA_BENCH_MARK(name) ::bench_marks::Mark(name)
#else
#define VELMORA_BENCH_MARK(name) ((void)0)
#endif
