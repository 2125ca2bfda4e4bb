// The i386 trampoline and the stack check after the call, with callees of
// each convention: arguments where the callee expects them, the callee's
// return straight to the calling side, and the bytes it removed.
#include "skin/native_call.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "base/value.h"
#include "fake_libraries.h"
#include "services/services.h"

namespace {

void* g_return_address = nullptr;  // where the last callee was to return

// Weighted so that arguments in the wrong order or shifted by a slot show.
#define VELMORA_WEIGH(a, b, c, d, e, f) (a + 2 * b + 3 * c + 4 * d + 5 * e + 6 * f)

__attribute__((stdcall, noinline)) uint32_t Balanced6(uint32_t a, uint32_t b, uint32_t c, uint32_t d,
                                                      uint32_t e, uint32_t f) {
  g_return_address = __builtin_return_address(0);
  return VELMORA_WEIGH(a, b, c, d, e, f);
}
__attribute__((cdecl, noinline)) uint32_t LeavesArguments(uint32_t a, uint32_t b, uint32_t c, uint32_t d,
                                                          uint32_t e, uint32_t f) {
  g_return_address = __builtin_return_address(0);
  return VELMORA_WEIGH(a, b, c, d, e, f);
}
// Declared with a seventh argument: it removes 28 bytes where 24 were pushed.
__attribute__((stdcall, noinline)) uint32_t RemovesTooMany(uint32_t a, uint32_t b, uint32_t c, uint32_t d,
                                                           uint32_t e, uint32_t f, uint32_t) {
  g_return_address = __builtin_return_address(0);
  return VELMORA_WEIGH(a, b, c, d, e, f);
}
__attribute__((stdcall, noinline)) uint32_t NoArguments() {
  g_return_address = __builtin_return_address(0);
  return 7;
}

const uintptr_t kArgs[] = {1, 2, 3, 4, 5, 6};
constexpr uint32_t kWeighed = 91;

class NativeCallTest : public testing::Test {
 protected:
  void SetUp() override {
    InitValueModel();
    RecordRunDirectory("C:\\run\\velmora.exe", IsGbkLeadByte);
    g_fake_libraries = {{"C:\\run\\callees.dll",
                         {{"Balanced6", 1, reinterpret_cast<void*>(Balanced6)},
                          {"LeavesArguments", 2, reinterpret_cast<void*>(LeavesArguments)},
                          {"RemovesTooMany", 3, reinterpret_cast<void*>(RemovesTooMany)},
                          {"NoArguments", 4, reinterpret_cast<void*>(NoArguments)}}}};
    InitNativeBinding(Declare(libraries_, entries_), kFakeLibraryCalls);
    g_fake_log.clear();
  }
  std::vector<const char*> libraries_{4, "callees.dll"};
  std::vector<const char*> entries_{"Balanced6", "LeavesArguments", "RemovesTooMany", "NoArguments"};
};

TEST_F(NativeCallTest, MeasuresWhatTheCalleeRemoved) {
  const struct {
    int32_t entry;
    int32_t count;
    intptr_t delta;
    uint32_t result;
  } rows[] = {
      {0, 6, 0, kWeighed},    // stdcall, six arguments: balanced
      {1, 6, -24, kWeighed},  // cdecl: leaves its 24 bytes
      {2, 6, 4, kWeighed},    // removes 28 bytes of 24
      {3, 0, 0, 7},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.entry);
    intptr_t delta = 99;
    g_return_address = nullptr;
    EXPECT_EQ(NativeCallWithStackCheck(row.entry, kArgs, row.count, &delta), row.result);
    EXPECT_EQ(delta, row.delta);
    // A jump, not a call: the callee returns into the calling side itself.
    auto at = reinterpret_cast<uintptr_t>(g_return_address);
    auto caller = reinterpret_cast<uintptr_t>(NativeCallWithStackCheck);
    EXPECT_GT(at, caller);
    EXPECT_LT(at, caller + 128);
  }
  // Bound once each: later calls take the bound address.
  EXPECT_EQ(g_fake_log.size(), 8u);
  intptr_t delta = 0;
  NativeCallWithStackCheck(0, kArgs, 6, &delta);
  EXPECT_EQ(g_fake_log.size(), 8u);
}

TEST_F(NativeCallTest, AnUnbalancedCalleeIsRuntimeErrorSix) {
  EXPECT_EQ(CallNativeEntryChecked(0, {1, 2, 3, 4, 5, 6}), kWeighed);
  const std::string report =
      "\xD4\xCB\xD0\xD0\xCA\xB1\xB3\xF6\xB4\xED!\r\n\r\n"  // 运行时出错!
      "\xB4\xED\xCE\xF3\xB4\xFA\xC2\xEB\xA3\xBA"           // 错误代码：
      "6\r\n\r\n\xB4\xED\xCE\xF3\xD0\xC5\xCF\xA2\xA3\xBA"  // 6, 错误信息：
      "\xB5\xF7\xD3\xC3"                                   // 调用
      "DLL\xC3\xFC\xC1\xEE\xBA\xF3\xB7\xA2\xCF\xD6\xB6\xD1\xD5\xBB\xB4\xED\xCE\xF3\r\n";  // DLL命令后发现堆栈错误
  for (int32_t entry : {1, 2}) {
    SCOPED_TRACE(entry);
    EXPECT_EXIT(CallNativeEntryChecked(entry, {1, 2, 3, 4, 5, 6}), testing::ExitedWithCode(255),
                testing::EndsWith(report));
  }
}

}  // namespace
