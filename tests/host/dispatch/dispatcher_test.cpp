#include <gtest/gtest.h>

#include "forms/dispatcher.h"
#include "forms/program_windows.h"

namespace {

constexpr uint32_t kMainWindow = 0x52010001;
constexpr uint32_t kFollowWindow = 0x5201011c;

struct Call {
  const char* handler = "";
  int32_t args[3] = {};
  uint32_t source_window = 0, source_control = 0;
  bool had_source = false;
};
Call g_last;

void Record(const char* name, int32_t a, int32_t b, int32_t c) {
  g_last.handler = name;
  g_last.args[0] = a;
  g_last.args[1] = b;
  g_last.args[2] = c;
  g_last.had_source = CurrentEventSource(&g_last.source_window, &g_last.source_control);
}

// Named as the stored bindings name them, so their keys match.
void OnStartup() { Record("OnStartup", 0, 0, 0); }
void OnShutdown() { Record("OnShutdown", 0, 0, 0); }
void ShowPage2(int32_t x, int32_t y, int32_t shift) { Record("ShowPage2", x, y, shift); }
void ShowPage3(int32_t x, int32_t y, int32_t shift) { Record("ShowPage3", x, y, shift); }
int32_t ShowHelpWindow() {
  Record("ShowHelpWindow", 0, 0, 0);
  return 0;
}

const HandlerEntry kHandlers[] = {
    VELMORA_HANDLER(OnStartup), VELMORA_HANDLER(OnShutdown),         VELMORA_HANDLER(ShowPage2),
    VELMORA_HANDLER(ShowPage3), VELMORA_HANDLER(ShowHelpWindow),
};

class DispatcherTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { ReadProgramWindows(kHandlers); }
  void SetUp() override { g_last = Call{}; }

  static bool Raise(uint32_t window, uint32_t control, int32_t event, std::initializer_list<int32_t> args = {},
                    EventNotice* out = nullptr) {
    EventNotice n;
    n.window_id = window;
    n.control_id = control;
    n.event = event;
    for (int32_t a : args) n.args[n.arg_count++] = a;
    bool ran = DispatchEvent(&n);
    if (out) *out = n;
    return ran;
  }
};

TEST_F(DispatcherTest, BoundEventsRunTheirHandlerWithArgumentsAndSource) {
  // The third page picture from the top shows content page 2.
  ASSERT_TRUE(Raise(kMainWindow, 0x16010017, -1, {12, 34, 2}));
  EXPECT_STREQ(g_last.handler, "ShowPage2");
  EXPECT_EQ(g_last.args[0], 12);
  EXPECT_EQ(g_last.args[1], 34);
  EXPECT_EQ(g_last.args[2], 2);
  EXPECT_TRUE(g_last.had_source);
  EXPECT_EQ(g_last.source_window, kMainWindow);
  EXPECT_EQ(g_last.source_control, 0x16010017u);
  uint32_t w, c;
  EXPECT_FALSE(CurrentEventSource(&w, &c)) << "no source outside a handler";

  ASSERT_TRUE(Raise(kMainWindow, 0x16010016, -1, {}));
  EXPECT_STREQ(g_last.handler, "ShowPage3");
}

TEST_F(DispatcherTest, WindowEventsUseTheOwnRecordOrZero) {
  EXPECT_TRUE(Raise(kMainWindow, 0x06010000, 0));
  EXPECT_STREQ(g_last.handler, "OnStartup");
  EXPECT_TRUE(Raise(kMainWindow, 0, 2));
  EXPECT_STREQ(g_last.handler, "OnShutdown");
}

TEST_F(DispatcherTest, UnboundOrMissingHandlersAreDroppedSilently) {
  struct Row {
    const char* label;
    uint32_t window, control;
    int32_t event;
  };
  const Row rows[] = {
      {"QueryClose is not bound", kMainWindow, 0x06010000, 1},
      {"a label has no bindings", kMainWindow, 0x160100d5, -1},
      {"button bound to a handler this table lacks", kMainWindow, 0x16010119, 0},
      {"picture bound to -1 only", kMainWindow, 0x16010017, -2},
      {"FollowWindow binds nothing", kFollowWindow, 0x0601011b, 0},
  };
  for (const Row& r : rows) {
    EXPECT_FALSE(Raise(r.window, r.control, r.event)) << r.label;
    EXPECT_STREQ(g_last.handler, "") << r.label;
  }
}

TEST_F(DispatcherTest, AReturnedValueIsKept) {
  EventNotice n;
  ASSERT_TRUE(Raise(kMainWindow, 0x160100a0, 0, {}, &n));
  EXPECT_TRUE(n.has_result);
  EXPECT_EQ(n.result, 0);
  ASSERT_TRUE(Raise(kMainWindow, 0x16010017, -1, {}, &n));
  EXPECT_FALSE(n.has_result);
}

using DispatcherDeathTest = DispatcherTest;

TEST_F(DispatcherDeathTest, UndescribedWindowsAndControlsAreFatal) {
  // "错误信息：未找到引发事件的窗口" and nothing after it on the line.
  EXPECT_EXIT(Raise(0x52999999, 0, 0), ::testing::ExitedWithCode(255),
              "\xCE\xB4\xD5\xD2\xB5\xBD\xD2\xFD\xB7\xA2\xCA\xC2\xBC\xFE\xB5\xC4\xB4\xB0\xBF\xDA\r\n$");
  EXPECT_EXIT(Raise(kMainWindow, 0x16999999, 0), ::testing::ExitedWithCode(255),
              "\xCE\xB4\xD5\xD2\xB5\xBD\xD2\xFD\xB7\xA2\xCA\xC2\xBC\xFE\xB5\xC4\xB4\xB0\xBF\xDA\xD7\xE9\xBC\xFE");
}

}  // namespace
