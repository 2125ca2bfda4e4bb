#include "format/dispatcher.h"

#include <gtest/gtest.h>

#include <vector>

#include "format/handlers.h"
#include "format/program_windows.h"
#include "format/window_ids.h"

namespace {

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
int64_t OpenChatLink1(int64_t wide, int32_t after) {
  Record("OpenChatLink1", static_cast<int32_t>(wide >> 32), static_cast<int32_t>(wide), after);
  return wide + 1;
}

const HandlerEntry kHandlers[] = {
    VELMORA_HANDLER(OnStartup), VELMORA_HANDLER(OnShutdown),     VELMORA_HANDLER(ShowPage2),
    VELMORA_HANDLER(ShowPage3), VELMORA_HANDLER(ShowHelpWindow), VELMORA_HANDLER(OpenChatLink1),
};

class DispatcherTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { ReadProgramWindows(kHandlers); }
  void SetUp() override { g_last = Call{}; }

  static bool Raise(uint32_t window, uint32_t control, int32_t event,
                    std::initializer_list<int32_t> args = {}, EventNotice* out = nullptr) {
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
  ASSERT_TRUE(Raise(ids::MainWindow, ids::MainWindow_PagePicture3, -1, {12, 34, 2}));
  EXPECT_STREQ(g_last.handler, "ShowPage2");
  EXPECT_EQ(g_last.args[0], 12);
  EXPECT_EQ(g_last.args[1], 34);
  EXPECT_EQ(g_last.args[2], 2);
  EXPECT_TRUE(g_last.had_source);
  EXPECT_EQ(g_last.source_window, ids::MainWindow);
  EXPECT_EQ(g_last.source_control, ids::MainWindow_PagePicture3);
  uint32_t w, c;
  EXPECT_FALSE(CurrentEventSource(&w, &c)) << "no source outside a handler";

  ASSERT_TRUE(Raise(ids::MainWindow, ids::MainWindow_PagePicture2, -1, {}));
  EXPECT_STREQ(g_last.handler, "ShowPage3");
}

TEST_F(DispatcherTest, WindowEventsUseTheOwnRecordOrZero) {
  EXPECT_TRUE(Raise(ids::MainWindow, ids::MainWindow_Record, 0));
  EXPECT_STREQ(g_last.handler, "OnStartup");
  EXPECT_TRUE(Raise(ids::MainWindow, 0, 2));
  EXPECT_STREQ(g_last.handler, "OnShutdown");
}

TEST_F(DispatcherTest, UnboundOrMissingHandlersAreDroppedSilently) {
  struct Row {
    const char* label;
    uint32_t window, control;
    int32_t event;
  };
  const Row rows[] = {
      {"QueryClose is not bound", ids::MainWindow, ids::MainWindow_Record, 1},
      {"a label has no bindings", ids::MainWindow, ids::MainWindow_VersionLabel, -1},
      {"button bound to a handler this table lacks", ids::MainWindow, ids::MainWindow_UpdateButton, 0},
      {"picture bound to -1 only", ids::MainWindow, ids::MainWindow_PagePicture3, -2},
      {"FollowWindow binds nothing", ids::FollowWindow, ids::FollowWindow_Record, 0},
  };
  for (const Row& r : rows) {
    EXPECT_FALSE(Raise(r.window, r.control, r.event)) << r.label;
    EXPECT_STREQ(g_last.handler, "") << r.label;
  }
}

TEST_F(DispatcherTest, AReturnedValueIsKept) {
  EventNotice n;
  ASSERT_TRUE(Raise(ids::MainWindow, ids::MainWindow_HelpButton, 0, {}, &n));
  EXPECT_TRUE(n.has_result);
  EXPECT_EQ(n.result, 0);
  ASSERT_TRUE(Raise(ids::MainWindow, ids::MainWindow_PagePicture3, -1, {}, &n));
  EXPECT_FALSE(n.has_result);
}

EventArgument Item(uint32_t type, uint32_t low, uint32_t high = 0, uint32_t flags = 0) {
  EventArgument a;
  a.words[0] = low;
  a.words[1] = high;
  a.type = type;
  a.flags = flags;
  return a;
}

TEST(TypedArgumentsTest, EachItemBecomesTheWordsItsTypeOrFlagsSay) {
  struct Row {
    const char* label;
    EventArgument item;
    std::vector<int32_t> words;
  };
  const Row rows[] = {
      {"byte zero-extended", Item(kArgByte, 0xFFFFFF80), {0x80}},
      {"16-bit sign-extended", Item(kArgShort, 0x00018000), {-32768}},
      {"16-bit positive", Item(kArgShort, 0x7FFF), {0x7FFF}},
      {"integer: one word", Item(kArgInteger, 0xFFFFFFFF, 5), {-1}},
      {"text: one word", Item(kArgText, 0x1234, 5), {0x1234}},
      {"64-bit integer: both", Item(kArgLong, 1, 2), {1, 2}},
      {"double: both", Item(kArgDouble, 3, 4), {3, 4}},
      {"date: both", Item(kArgDate, 5, 6), {5, 6}},
      {"bit 0: first word of a double", Item(kArgDouble, 7, 8, kArgFirstWordOnly), {7}},
      {"bit 1: both words of an integer", Item(kArgInteger, 9, 10, kArgBothWords), {9, 10}},
      {"bit 1: a byte's words as they are", Item(kArgByte, 0x1FF, 1, kArgBothWords), {0x1FF, 1}},
      {"bit 0 before bit 1", Item(kArgLong, 11, 12, kArgFirstWordOnly | kArgBothWords), {11}},
  };
  for (const Row& r : rows) {
    int32_t words[2 * kMaxTypedArguments] = {};
    int32_t n = ArgumentWords(&r.item, 1, words);
    EXPECT_EQ(std::vector<int32_t>(words, words + n), r.words) << r.label;
  }
}

TEST_F(DispatcherTest, TypedEventsReachTheHandlerAsWordsWithAWideResult) {
  TypedEventNotice n;
  n.window_id = ids::MainWindow;
  n.control_id = ids::MainWindow_ChatButton1;  // Clicked
  n.event = 0;
  n.arg_count = 2;
  n.args[0] = Item(kArgLong, 0x00000010, 0x7F000000);
  n.args[1] = Item(kArgShort, 0xFFFE);
  ASSERT_TRUE(DispatchTypedEvent(&n));
  EXPECT_STREQ(g_last.handler, "OpenChatLink1");
  EXPECT_EQ(g_last.args[0], 0x7F000000);
  EXPECT_EQ(g_last.args[1], 0x10);
  EXPECT_EQ(g_last.args[2], -2);
  EXPECT_TRUE(n.has_result);
  EXPECT_EQ(n.result, 0x7F00000000000011) << "the whole 64 bits come back";
  EXPECT_EQ(g_last.source_control, ids::MainWindow_ChatButton1);

  // More items than a notice holds: the twelve it has, no more.
  TypedEventNotice many;
  many.window_id = ids::MainWindow;
  many.control_id = ids::MainWindow_PagePicture3;
  many.event = -1;
  many.arg_count = 40;
  for (int i = 0; i < kMaxTypedArguments; ++i) many.args[i] = Item(kArgInteger, static_cast<uint32_t>(i + 1));
  ASSERT_TRUE(DispatchTypedEvent(&many));
  EXPECT_STREQ(g_last.handler, "ShowPage2");
  EXPECT_EQ(g_last.args[2], 3);
  EXPECT_FALSE(many.has_result);
}

TEST_F(DispatcherTest, APlainNoticeKeepsTheLowWordOfAWideResult) {
  EventNotice n;
  n.window_id = ids::MainWindow;
  n.control_id = ids::MainWindow_ChatButton1;
  n.arg_count = 3;
  n.args[0] = 5;
  n.args[1] = 1;
  ASSERT_TRUE(DispatchEvent(&n));
  EXPECT_TRUE(n.has_result);
  EXPECT_EQ(n.result, 6);
}

// Restores a record of the program's table when the test ends.
class RecordPatch {
 public:
  RecordPatch(uint32_t window, uint32_t control)
      : record_(ProgramWindows().Find(window)->RecordAt(ProgramWindows().Find(window)->FindRecord(control))),
        saved_(*record_) {}
  ~RecordPatch() { *record_ = saved_; }
  ControlRecord* operator->() { return record_; }

 private:
  ControlRecord* record_;
  ControlRecord saved_;
};

TEST_F(DispatcherTest, SharedBindingsAreFollowedWithinTheSameKind) {
  {
    // PagePicture2 (ShowPage3) borrowing PagePicture3's bindings (ShowPage2).
    RecordPatch borrower(ids::MainWindow, ids::MainWindow_PagePicture2);
    borrower->shares_bindings_of = ids::MainWindow_PagePicture3;
    ASSERT_TRUE(Raise(ids::MainWindow, ids::MainWindow_PagePicture2, -1));
    EXPECT_STREQ(g_last.handler, "ShowPage2");
    EXPECT_EQ(g_last.source_control, ids::MainWindow_PagePicture2) << "the source stays the raising control";
  }
  struct Row {
    const char* label;
    uint32_t shares;
  };
  const Row kept_own[] = {
      {"a record of another kind (a label)", ids::MainWindow_VersionLabel},
      {"a record that does not exist", 0x16999999},
  };
  for (const Row& r : kept_own) {
    RecordPatch borrower(ids::MainWindow, ids::MainWindow_PagePicture2);
    borrower->shares_bindings_of = r.shares;
    ASSERT_TRUE(Raise(ids::MainWindow, ids::MainWindow_PagePicture2, -1)) << r.label;
    EXPECT_STREQ(g_last.handler, "ShowPage3") << r.label;
  }
  // Two pictures naming each other: the walk ends.
  RecordPatch a(ids::MainWindow, ids::MainWindow_PagePicture2),
      b(ids::MainWindow, ids::MainWindow_PagePicture3);
  a->shares_bindings_of = ids::MainWindow_PagePicture3;
  b->shares_bindings_of = ids::MainWindow_PagePicture2;
  EXPECT_TRUE(Raise(ids::MainWindow, ids::MainWindow_PagePicture2, -1));
}

TEST_F(DispatcherTest, TheFirstPairWithTheEventsNumberWins) {
  RecordPatch picture(ids::MainWindow, ids::MainWindow_PagePicture3);
  const EventBinding pairs[] = {{-2, nullptr},
                                {-1, FindHandler(kHandlers, HandlerKey("ShowPage3"))},
                                {-1, FindHandler(kHandlers, HandlerKey("ShowPage2"))}};
  picture->bindings = pairs;
  ASSERT_TRUE(Raise(ids::MainWindow, ids::MainWindow_PagePicture3, -1));
  EXPECT_STREQ(g_last.handler, "ShowPage3");
  EXPECT_FALSE(Raise(ids::MainWindow, ids::MainWindow_PagePicture3, -2))
      << "a pair without a handler drops the event";
}

using DispatcherDeathTest = DispatcherTest;

TEST_F(DispatcherDeathTest, ARecordOfAKindNotShownInAWindowIsFatal) {
  // "引发事件的窗口组件无效"
  RecordPatch picture(ids::MainWindow, ids::MainWindow_PagePicture3);
  picture->kind = 0x00099999;
  EXPECT_EXIT(
      Raise(ids::MainWindow, ids::MainWindow_PagePicture3, -1), ::testing::ExitedWithCode(255),
      "\xD2\xFD\xB7\xA2\xCA\xC2\xBC\xFE\xB5\xC4\xB4\xB0\xBF\xDA\xD7\xE9\xBC\xFE\xCE\xDE\xD0\xA7\r\n$");
}

TEST_F(DispatcherDeathTest, UndescribedWindowsAndControlsAreFatal) {
  // "错误信息：未找到引发事件的窗口" and nothing after it on the line.
  EXPECT_EXIT(Raise(0x52999999, 0, 0), ::testing::ExitedWithCode(255),
              "\xCE\xB4\xD5\xD2\xB5\xBD\xD2\xFD\xB7\xA2\xCA\xC2\xBC\xFE\xB5\xC4\xB4\xB0\xBF\xDA\r\n$");
  EXPECT_EXIT(
      Raise(ids::MainWindow, 0x16999999, 0), ::testing::ExitedWithCode(255),
      "\xCE\xB4\xD5\xD2\xB5\xBD\xD2\xFD\xB7\xA2\xCA\xC2\xBC\xFE\xB5\xC4\xB4\xB0\xBF\xDA\xD7\xE9\xBC\xFE");
  TypedEventNotice typed;
  typed.window_id = 0x52999999;
  EXPECT_EXIT(DispatchTypedEvent(&typed), ::testing::ExitedWithCode(255),
              "\xCE\xB4\xD5\xD2\xB5\xBD\xD2\xFD\xB7\xA2\xCA\xC2\xBC\xFE\xB5\xC4\xB4\xB0\xBF\xDA\r\n$");
}

}  // namespace
