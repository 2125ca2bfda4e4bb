#include "base/fatal.h"

#include <cstring>

#include "base/texts_gbk.h"

namespace {

CleanupStep g_steps[8];
bool g_reporting = false;  // a fatal report has begun
int g_step_count = 0;

// Appends without splitting a double-byte character; returns false when cut.
bool Append(char* buf, size_t size, size_t& used, const char* text, size_t n) {
  size_t room = size - 1 - used;
  bool fits = n <= room;
  if (!fits) {
    size_t i = 0;
    while (i < room) {
      size_t step = static_cast<unsigned char>(text[i]) >= 0x80 ? 2 : 1;
      if (i + step > room) break;
      i += step;
    }
    n = i;
  }
  std::memcpy(buf + used, text, n);
  used += n;
  buf[used] = '\0';
  return fits;
}

bool Append(char* buf, size_t size, size_t& used, const char* text) {
  return Append(buf, size, used, text, std::strlen(text));
}

}  // namespace

size_t FormatDecimal(int32_t v, char out[12]) {
  char digits[10];
  int n = 0;
  uint32_t magnitude = v < 0 ? 0u - static_cast<uint32_t>(v) : static_cast<uint32_t>(v);
  do {
    digits[n++] = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  size_t len = 0;
  if (v < 0) out[len++] = '-';
  while (n > 0) out[len++] = digits[--n];
  out[len] = '\0';
  return len;
}

size_t BuildFatalReport(int32_t code, const char* message, char* buf, size_t size) {
  if (size == 0) return 0;
  size_t used = 0;
  buf[0] = '\0';
  bool ok = Append(buf, size, used, gbk::kFatalHead);
  if (ok && code != 0) {
    char number[12];
    size_t len = FormatDecimal(code, number);
    ok = Append(buf, size, used, gbk::kFatalCodeLabel) && Append(buf, size, used, number, len) &&
         Append(buf, size, used, "\r\n\r\n");
  }
  if (ok && message && *message) {
    ok = Append(buf, size, used, gbk::kFatalMessageLabel) && Append(buf, size, used, message) &&
         Append(buf, size, used, "\r\n");
  }
  return used;
}

const char* RuntimeErrorMessage(int32_t code) {
  static const char* const kMessages[] = {
      gbk::kRuntimeError1, gbk::kRuntimeError2,  gbk::kRuntimeError3,  gbk::kRuntimeError4,
      gbk::kRuntimeError5, gbk::kRuntimeError6,  gbk::kRuntimeError7,  gbk::kRuntimeError8,
      gbk::kRuntimeError9, gbk::kRuntimeError10, gbk::kRuntimeError11,
  };
  if (code < 1 || code > 11) return "";
  return kMessages[code - 1];
}

void raise_runtime_error(int32_t code) { ReportFatal(code, RuntimeErrorMessage(code)); }

bool FatalReportInProgress() { return g_reporting; }

void ReportFatal(int32_t code, const char* message) {
  g_reporting = true;
  // A fixed buffer: the report must work when the heap is what failed.
  static char text[4096];
  BuildFatalReport(code, message, text, sizeof text);
  PlatformShowFatalReport(text);
  RunCleanupSteps();
  PlatformExitProcess(-1);
}

bool AddCleanupStep(CleanupStep step) {
  if (!step || g_step_count == static_cast<int>(sizeof g_steps / sizeof g_steps[0])) return false;
  g_steps[g_step_count++] = step;
  return true;
}

void RunCleanupSteps() {
  // Each step runs once even if a step itself ends in a fatal report.
  while (g_step_count > 0) g_steps[--g_step_count]();
}
