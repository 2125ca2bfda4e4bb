// Input as the loop hands it to the windows: mouse, key and wheel messages
// become events of the recorded control or window they are for, before the
// target sees them, with what a handler's answer does; the window's own
// keys: Tab order, Enter, Esc, and what a focused control claims.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "format/window_ids.h"
#include "windows/property_access.h"
#include "windows/windows_win32.h"
#include "windows_test_support.h"

namespace {

using Log = std::vector<std::string>;

constexpr char kLeftDown[] = "-1", kLeftUp[] = "-2", kDouble[] = "-3", kRightDown[] = "-4", kRightUp[] = "-5",
               kMove[] = "-6", kKeyDown[] = "-9", kKeyUp[] = "-10", kChar[] = "-11", kWheel[] = "-12",
               kFrameDown[] = "frame -1", kQuery[] = "query";

template <const char* Name>
EventBinding Logging(int32_t event) {
  return {event, &HandlerThunk<&Logs<Name>>::Call};
}
template <const char* Name, int32_t R>
EventBinding Answering(int32_t event) {
  return {event, &HandlerThunk<&Answers<Name, R>>::Call};
}

class InputTest : public ::testing::Test {
 protected:
  void SetUp() override {
    PrepareProgramWindows();
    TakeLog();
  }
  void TearDown() override {
    CloseAllWindows();
    TakeLog();
  }
};

TEST_F(InputTest, MouseKeyAndWheelMessagesBecomeEventsWithTheirArgumentsBeforeTheTargetSeesThem) {
  BindingPatch label(
      ids::HelpWindow, ids::HelpWindow_HelpTextLabel,
      {Logging<kLeftDown>(-1), Logging<kLeftUp>(-2), Logging<kDouble>(-3), Logging<kRightDown>(-4),
       Logging<kRightUp>(-5), Logging<kMove>(-6), Logging<kKeyDown>(-9), Logging<kKeyUp>(-10),
       Logging<kChar>(-11), Logging<kWheel>(-12)});
  BindingPatch frame(ids::HelpWindow, ids::HelpWindow_Record, {Logging<kFrameDown>(-1)});
  ASSERT_TRUE(LoadWindow(ids::HelpWindow, 0, false));
  HWND target = HwndOf(ids::HelpWindow, ids::HelpWindow_HelpTextLabel);
  struct Row {
    UINT message;
    WPARAM wp;
    LPARAM lp;
    const char* event;
  };
  const Row rows[] = {
      {WM_LBUTTONDOWN, MK_LBUTTON | MK_CONTROL, MAKELPARAM(12, 34), "-1 12 34 1"},
      {WM_LBUTTONUP, MK_SHIFT, MAKELPARAM(-3, 5), "-2 -3 5 2"},
      {WM_LBUTTONDBLCLK, MK_CONTROL | MK_SHIFT, MAKELPARAM(1, 2), "-3 1 2 3"},
      {WM_RBUTTONDOWN, 0, MAKELPARAM(7, 8), "-4 7 8 0"},
      {WM_RBUTTONUP, 0, MAKELPARAM(9, 10), "-5 9 10 0"},
      {WM_MOUSEMOVE, MK_SHIFT, MAKELPARAM(300, 200), "-6 300 200 2"},
      {WM_KEYDOWN, 'A', 0, "-9 65 0 0"},
      {WM_KEYUP, 'A', 0, "-10 65 0 0"},
      {WM_CHAR, 'a', 0, "-11 97 0 0"},
      {WM_MOUSEWHEEL, MAKEWPARAM(MK_CONTROL, -240), MAKELPARAM(5, 5), "-12 -2 1 0"},
  };
  for (const Row& r : rows) {
    WatchMessages(target, "label", {r.message});
    PostMessageW(target, r.message, r.wp, r.lp);
    Pump();
    // What the message led to: the system's own follow-ups (the character a
    // key makes, a mouse move after a click) are other rows' business.
    std::string number = std::string(r.event).substr(0, std::string(r.event).find(' ') + 1);
    Log seen;
    for (const std::string& line : TakeLog()) {
      if (line.rfind(number, 0) == 0 || line.rfind("label", 0) == 0) seen.push_back(line);
    }
    EXPECT_EQ(seen, (Log{r.event, "label sees " + std::to_string(r.message) + " " + std::to_string(r.wp)}));
    StopWatching(target);
  }
  PostMessageW(FrameOf(ids::HelpWindow), WM_LBUTTONDOWN, 0, MAKELPARAM(4, 6));
  Pump();
  EXPECT_EQ(TakeLog(), (Log{"frame -1 4 6 0"})) << "the window's own record";

  // A child window that is not a recorded control raises nothing.
  HWND stranger = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10,
                                  FrameOf(ids::HelpWindow), nullptr, nullptr, nullptr);
  WatchMessages(stranger, "stranger", {WM_LBUTTONDOWN});
  PostMessageW(stranger, WM_LBUTTONDOWN, 0, MAKELPARAM(1, 1));
  Pump();
  EXPECT_EQ(TakeLog(), (Log{"stranger sees 513 0"}));
}

int32_t g_char_answer;
int32_t AnswerCharacter(int32_t c) {
  g_log.push_back("-11 " + std::to_string(c));
  return g_char_answer;
}

TEST_F(InputTest, FalseStopsTheMessageAndACharacterAnswerReplacesOrDropsIt) {
  BindingPatch label(ids::HelpWindow, ids::HelpWindow_HelpTextLabel,
                     {Answering<kLeftDown, 0>(-1),
                      Answering<kLeftUp, 1>(-2),
                      Answering<kKeyDown, 0>(-9),
                      Answering<kWheel, 0>(-12),
                      {-11, &HandlerThunk<&AnswerCharacter>::Call}});
  ASSERT_TRUE(LoadWindow(ids::HelpWindow, 0, false));
  HWND target = HwndOf(ids::HelpWindow, ids::HelpWindow_HelpTextLabel);
  WatchMessages(target, "label", {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_KEYDOWN, WM_CHAR, WM_MOUSEWHEEL});
  struct Row {
    const char* label;
    UINT message;
    WPARAM wp;
    int32_t char_answer;
    Log seen;
  };
  const Row rows[] = {
      {"false stops a click", WM_LBUTTONDOWN, 0, 0, {"-1 0 0 0"}},
      {"true lets it go on", WM_LBUTTONUP, 0, 0, {"-2 0 0 0", "label sees 514 0"}},
      {"false stops a key", WM_KEYDOWN, 'Q', 0, {"-9 81 0 0"}},
      {"false stops the wheel", WM_MOUSEWHEEL, MAKEWPARAM(0, 120), 0, {"-12 1 0 0"}},
      {"a character replaced", WM_CHAR, 'a', 'b', {"-11 97", "label sees 258 98"}},
      {"zero drops it", WM_CHAR, 'a', 0, {"-11 97"}},
  };
  for (const Row& r : rows) {
    g_char_answer = r.char_answer;
    PostMessageW(target, r.message, r.wp, 0);
    Pump();
    EXPECT_EQ(TakeLog(), r.seen) << r.label;
  }
}

std::string FocusedName() {
  static const std::map<uint32_t, std::string> names = {
      {ids::MainWindow_UpdateButton, "UpdateButton"}, {ids::MainWindow_HelpButton, "HelpButton"},
      {ids::MainWindow_PromoButton, "PromoButton"},   {ids::MainWindow_PageView, "PageView"},
      {ids::MainWindow_FeeNoteBox, "FeeNoteBox"},     {ids::MainWindow_Record, "MainWindow"}};
  LiveWindow* w = FindLiveWindow(ids::MainWindow);
  LiveControl* c = w ? w->RecordedAncestor(GetFocus()) : nullptr;
  if (!c) return "none";
  auto it = names.find(c->record->id);
  return it == names.end() ? "other" : it->second;
}

void Press(UINT key) {
  PostMessageW(GetFocus(), WM_KEYDOWN, key, 0);
  PostMessageW(GetFocus(), WM_KEYUP, key, 0);
  Pump();
}

void SetShiftDown(bool down) {
  BYTE keys[256];
  GetKeyboardState(keys);
  keys[VK_SHIFT] = down ? 0x80 : 0;
  SetKeyboardState(keys);
}

class MainWindowKeysTest : public InputTest {
 protected:
  void SetUp() override {
    InputTest::SetUp();
    ASSERT_TRUE(LoadWindow(ids::MainWindow, 0, false));
    SetControlNumber(ids::MainWindow, ids::MainWindow_TabPager, 12, 0);
    Pump(100);
  }
};

TEST_F(MainWindowKeysTest, TabCyclesPageZerosTabStopsFromTheLastRecordAndShiftTabGoesBack) {
  SetFocus(HwndOf(ids::MainWindow, ids::MainWindow_UpdateButton));
  std::vector<std::string> forwards, backwards;
  for (int i = 0; i < 5; ++i) {
    Press(VK_TAB);
    forwards.push_back(FocusedName());
  }
  EXPECT_EQ(forwards, (Log{"PageView", "PromoButton", "HelpButton", "UpdateButton", "PageView"}));
  SetShiftDown(true);
  for (int i = 0; i < 4; ++i) {
    Press(VK_TAB);
    backwards.push_back(FocusedName());
  }
  SetShiftDown(false);
  EXPECT_EQ(backwards, (Log{"UpdateButton", "HelpButton", "PromoButton", "PageView"}));
}

TEST_F(MainWindowKeysTest, EnterMovesTheFocusOnlyWhenSetAndNotOutOfAMultiLineBoxThatCanBeTyped) {
  SetFocus(HwndOf(ids::MainWindow, ids::MainWindow_UpdateButton));
  Press(VK_RETURN);
  EXPECT_EQ(FocusedName(), "UpdateButton") << "EnterMovesFocus is not set";
  SetControlNumber(ids::MainWindow, ids::MainWindow_Record, 21, 1);
  Press(VK_RETURN);
  EXPECT_EQ(FocusedName(), "PageView");

  SetControlNumber(ids::MainWindow, ids::MainWindow_TabPager, 12, 1);    // FeeNoteBox's page
  SetControlNumber(ids::MainWindow, ids::MainWindow_FeeNoteBox, 15, 1);  // MultiLine
  struct Row {
    int32_t input_mode;
    const char* focus_after;
  };
  const Row rows[] = {{0, "FeeNoteBox"}, {1, "other"}};  // editable claims Enter; read-only does not
  for (const Row& r : rows) {
    SCOPED_TRACE(r.input_mode);
    SetControlNumber(ids::MainWindow, ids::MainWindow_FeeNoteBox, 18, r.input_mode);
    SetFocus(HwndOf(ids::MainWindow, ids::MainWindow_FeeNoteBox));
    Press(VK_RETURN);
    EXPECT_EQ(FocusedName(), r.focus_after);
  }
}

TEST_F(InputTest, EscClosesEveryWindowWhereverTheFocusIs) {
  struct Row {
    const char* label;
    uint32_t window, record;
    int page;  // of TabPager, for MainWindow
    uint32_t focus;
  };
  const Row rows[] = {
      {"HelpWindow, its button", ids::HelpWindow, ids::HelpWindow_Record, -1,
       ids::HelpWindow_HelpCloseButton},
      {"MainWindow, an edit box", ids::MainWindow, ids::MainWindow_Record, 1, ids::MainWindow_FeeNoteBox},
      {"MainWindow, the browser", ids::MainWindow, ids::MainWindow_Record, 0, ids::MainWindow_PageView},
      {"MainWindow, a button", ids::MainWindow, ids::MainWindow_Record, 0, ids::MainWindow_UpdateButton},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.label);
    BindingPatch own(r.window, r.record, {Logging<kQuery>(1)});
    ASSERT_TRUE(LoadWindow(r.window, 0, false));
    if (r.page >= 0) SetControlNumber(r.window, ids::MainWindow_TabPager, 12, r.page);
    SetFocus(HwndOf(r.window, r.focus));
    Pump(50);
    Press(VK_ESCAPE);
    EXPECT_EQ(TakeLog(), (Log{"query 0 0 0"})) << "through the close request";
    EXPECT_EQ(FindLiveWindow(r.window), nullptr);
  }
}

}  // namespace
