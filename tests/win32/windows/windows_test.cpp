// Opening and closing windows as a caller sees it: the order of a window's
// own events, the close request and its answer, modal windows and the
// windows they disable, loading again, owners, the loop's end, and the
// fatal reports of the event lookups and of a start window that cannot load.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "base/fatal.h"
#include "format/dispatcher.h"
#include "format/program_windows.h"
#include "format/window_ids.h"
#include "support/test_support.h"
#include "windows/windows_win32.h"
#include "windows_test_support.h"

namespace {

using Log = std::vector<std::string>;

uint32_t SourceWindow() {
  uint32_t window = 0, control = 0;
  CurrentEventSource(&window, &control);
  return window;
}

void Created() {
  g_log.push_back("created shown=" + std::to_string(IsWindowVisible(FrameOf(SourceWindow()))));
}
void Moved() { g_log.push_back("moved"); }
void Resized() { g_log.push_back("resized"); }
// How many of the window's controls still have their windows.
void Destroying() {
  uint32_t id = SourceWindow();
  int alive = 0, all = 0;
  for (const ControlRecord& r : ProgramWindows().Find(id)->records) {
    ++all;
    alive += IsWindow(HwndOf(id, r.id)) ? 1 : 0;
  }
  g_log.push_back("destroying " + std::to_string(alive) + "/" + std::to_string(all));
}
bool g_allow_close = true;
int32_t QueryClose() {
  g_log.push_back("query");
  return g_allow_close;
}

// Where the focus event lands (the window or its close button) and whether the window shows by then.
void Focused() {
  uint32_t window = 0, control = 0;
  CurrentEventSource(&window, &control);
  g_log.push_back(std::string("focus ") + (control == ids::HelpWindow_HelpCloseButton ? "button" : "window") +
                  " shown=" + std::to_string(IsWindowVisible(FrameOf(window))));
}

std::vector<EventBinding> OwnEvents() {
  return {{0, &HandlerThunk<&Created>::Call},
          {3, &HandlerThunk<&Moved>::Call},
          {4, &HandlerThunk<&Resized>::Call},
          {1, &HandlerThunk<&QueryClose>::Call},
          {2, &HandlerThunk<&Destroying>::Call}};
}

class WindowsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    PrepareProgramWindows();
    g_allow_close = true;
    TakeLog();
  }
  void TearDown() override {
    CloseAllWindows();
    TakeLog();
  }
};

TEST_F(WindowsTest, CreationEventsComeBeforeShowingAndClosingIsDeferredToTheLoop) {
  std::vector<EventBinding> own_and_focus = OwnEvents();
  own_and_focus.push_back({-7, &HandlerThunk<&Focused>::Call});
  BindingPatch own(ids::HelpWindow, ids::HelpWindow_Record, own_and_focus);
  BindingPatch button(ids::HelpWindow, ids::HelpWindow_HelpCloseButton,
                      {{-7, &HandlerThunk<&Focused>::Call}});
  for (int load = 1; load <= 2; ++load) {
    SCOPED_TRACE("load " + std::to_string(load));
    ASSERT_TRUE(LoadWindow(ids::HelpWindow, 0, false));
    EXPECT_EQ(TakeLog(), (Log{"created shown=0", "moved", "resized", "focus window shown=1"}));
    HWND frame = FrameOf(ids::HelpWindow);
    EXPECT_TRUE(IsWindowVisible(frame)) << "shown after Created";
    EXPECT_EQ(GetWindow(frame, GW_OWNER), nullptr);

    DestroyWindowUnit(ids::HelpWindow);
    EXPECT_TRUE(IsWindow(frame)) << "nothing happens at once";
    EXPECT_TRUE(TakeLog().empty());
    Pump();
    EXPECT_EQ(TakeLog(), (Log{"query", "destroying 3/3"})) << "Destroying while every control exists";
    EXPECT_FALSE(IsWindow(frame));
    EXPECT_EQ(FindLiveWindow(ids::HelpWindow), nullptr) << "described again: the next load makes it anew";
  }
}

TEST_F(WindowsTest, AQueryCloseAnsweringFalseKeepsTheWindowOpen) {
  BindingPatch own(ids::HelpWindow, ids::HelpWindow_Record, OwnEvents());
  ASSERT_TRUE(LoadWindow(ids::HelpWindow, 0, false));
  HWND frame = FrameOf(ids::HelpWindow);
  TakeLog();
  g_allow_close = false;
  SendMessageW(frame, WM_CLOSE, 0, 0);  // the close box
  DestroyWindowUnit(ids::HelpWindow);   // the program
  Pump();
  EXPECT_EQ(TakeLog(), (Log{"query", "query"}));
  ASSERT_TRUE(IsWindow(frame));
  // Refused, the request is over: loading finds the open window.
  ASSERT_TRUE(LoadWindow(ids::HelpWindow, 0, false));
  EXPECT_EQ(FrameOf(ids::HelpWindow), frame) << "no second copy";
  EXPECT_TRUE(TakeLog().empty()) << "no creation events for an open window";
  g_allow_close = true;
  SendMessageW(frame, WM_CLOSE, 0, 0);
  EXPECT_EQ(TakeLog(), (Log{"query", "destroying 3/3"}));
  EXPECT_FALSE(IsWindow(frame));
}

std::string Enabled(uint32_t id) { return std::to_string(IsWindowEnabled(FrameOf(id))); }
void LogStates(const char* when) {
  g_log.push_back(std::string(when) + " help=" + Enabled(ids::HelpWindow) +
                  " new=" + Enabled(ids::NewVersionWindow));
}
void FollowDestroying() { LogStates("destroying"); }
void CALLBACK WhileModal(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  LogStates("modal");
  HWND follow = FrameOf(ids::FollowWindow);
  g_log.push_back("owner " + std::to_string(GetWindow(follow, GW_OWNER) != nullptr) + " enabled " +
                  std::to_string(IsWindowEnabled(follow)));
  DestroyWindowUnit(ids::FollowWindow);
}

TEST_F(WindowsTest, AModalWindowDisablesTheOthersUntilItClosesAndRestoresTheirStates) {
  BindingPatch follow(ids::FollowWindow, ids::FollowWindow_Record,
                      {{2, &HandlerThunk<&FollowDestroying>::Call}});
  ASSERT_TRUE(LoadWindow(ids::HelpWindow, 0, false));
  ASSERT_TRUE(LoadWindow(ids::NewVersionWindow, 0, false));
  EnableWindow(FrameOf(ids::NewVersionWindow), FALSE);  // disabled before: stays so
  SetTimer(nullptr, 0, 50, WhileModal);
  // An owner given to a modal load is ignored.
  ASSERT_TRUE(LoadWindow(ids::FollowWindow, ids::HelpWindow, true));
  EXPECT_EQ(FindLiveWindow(ids::FollowWindow), nullptr) << "returns only when the modal window has closed";
  LogStates("after");
  EXPECT_EQ(TakeLog(),
            (Log{"modal help=0 new=0", "owner 0 enabled 1", "destroying help=1 new=0", "after help=1 new=0"}))
      << "enabled again before the modal window goes";
}

TEST_F(WindowsTest, APendingCloseIsCarriedOutBeforeTheWindowIsLoadedAgain) {
  BindingPatch own(ids::HelpWindow, ids::HelpWindow_Record, OwnEvents());
  ASSERT_TRUE(LoadWindow(ids::HelpWindow, 0, false));
  HWND old = FrameOf(ids::HelpWindow);
  DestroyWindowUnit(ids::HelpWindow);
  TakeLog();
  ASSERT_TRUE(LoadWindow(ids::HelpWindow, 0, false));
  EXPECT_FALSE(IsWindow(old));
  EXPECT_EQ(TakeLog(), (Log{"destroying 3/3", "created shown=0", "moved", "resized"}));
  HWND fresh = FrameOf(ids::HelpWindow);
  Pump(50);
  EXPECT_TRUE(IsWindow(fresh)) << "the old request does not close the new window";
  EXPECT_TRUE(TakeLog().empty());
}

TEST_F(WindowsTest, LoadingRefusesAnOwnerThatIsNotOpenAndAWindowThatIsNotDescribed) {
  struct Row {
    const char* label;
    uint32_t window, owner;
    bool modal;
  };
  const Row refused[] = {
      {"owner not open", ids::HelpWindow, ids::FollowWindow, false},
      {"owner not described", ids::HelpWindow, 0x52999999, false},
      {"modal, owner not open", ids::HelpWindow, ids::FollowWindow, true},
      {"window not described", 0x52999999, 0, false},
      {"modal, not described", 0x52999999, 0, true},
  };
  for (const Row& r : refused) {
    EXPECT_FALSE(LoadWindow(r.window, r.owner, r.modal)) << r.label;
    EXPECT_TRUE(LiveWindows().empty()) << r.label << ": nothing done";
  }
  ASSERT_TRUE(LoadWindow(ids::FollowWindow, 0, false));
  ASSERT_TRUE(LoadWindow(ids::HelpWindow, ids::FollowWindow, false));
  EXPECT_EQ(GetWindow(FrameOf(ids::HelpWindow), GW_OWNER), FrameOf(ids::FollowWindow));
}

HWND g_help_frame;
void CloseFromInside() {
  SendMessageW(g_help_frame, WM_CLOSE, 0, 0);
  g_log.push_back("after close asked: open " + std::to_string(IsWindow(g_help_frame)));
}

TEST_F(WindowsTest, ACloseAskedInsideAHandlerWaitsForTheNextTurnAndTheLoopEndsWithTheLastWindow) {
  DWORD start = GetTickCount();
  RunMessageLoop();
  EXPECT_LT(GetTickCount() - start, 1000u) << "no window: the loop returns at once";

  BindingPatch own(ids::HelpWindow, ids::HelpWindow_Record, OwnEvents());
  BindingPatch button(ids::HelpWindow, ids::HelpWindow_HelpCloseButton,
                      {{0, &HandlerThunk<&CloseFromInside>::Call}});
  ASSERT_TRUE(LoadWindow(ids::HelpWindow, 0, false));
  g_help_frame = FrameOf(ids::HelpWindow);
  TakeLog();
  // The button's click, as the button tells its parent.
  HWND close_button = HwndOf(ids::HelpWindow, ids::HelpWindow_HelpCloseButton);
  PostMessageW(g_help_frame, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(close_button), BN_CLICKED),
               reinterpret_cast<LPARAM>(close_button));
  RunMessageLoop();
  EXPECT_EQ(TakeLog(), (Log{"after close asked: open 1", "query", "destroying 3/3"}));
  EXPECT_TRUE(LiveWindows().empty());
  MSG stray;
  EXPECT_FALSE(PeekMessageW(&stray, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "the quit was the loop's";
}

// The fatal reports, each in a child process.
void CountRun() {
  char path[MAX_PATH];
  if (!GetEnvironmentVariableA("VELMORA_RUN_COUNT", path, MAX_PATH)) return;
  FILE* f = std::fopen(path, "ab");
  std::fputs("ran\n", f);
  std::fclose(f);
}

void RaiseFor(uint32_t window, uint32_t control) {
  PrepareProgramWindows();
  EventNotice n;
  n.window_id = window;
  n.control_id = control;
  DispatchEvent(&n);
}

CHILD_CASE(event_window_missing) {
  RaiseFor(0x52999999, 0);
  return 0;
}
CHILD_CASE(event_control_missing) {
  RaiseFor(ids::HelpWindow, 0x16999999);
  return 0;
}
CHILD_CASE(event_control_invalid) {
  PrepareProgramWindows();
  WindowDescription* help = ProgramWindows().Find(ids::HelpWindow);
  help->RecordAt(help->FindRecord(ids::HelpWindow_HelpTextLabel))->kind = 0x00099999;
  RaiseFor(ids::HelpWindow, ids::HelpWindow_HelpTextLabel);
  return 0;
}
CHILD_CASE(start_window_not_described) {
  ReadProgramWindows({});
  LoadStartWindow(0x52999999);
  return 0;
}
CHILD_CASE(start_window_cannot_be_made) {
  ReadProgramWindows({});
  WindowDescription* help = ProgramWindows().Find(ids::HelpWindow);
  static const uint8_t kFutureVersion[] = {99, 0, 0, 0};
  help->RecordAt(help->FindRecord(ids::HelpWindow_HelpTextLabel))->properties = ByteView{kFutureVersion, 4};
  LoadStartWindow(ids::HelpWindow);
  return 0;
}
// A click handled before the report runs its handler; one that reaches the
// window while the report's box is up does not.
CHILD_CASE(click_during_report) {
  PrepareProgramWindows();
  BindingPatch button(ids::HelpWindow, ids::HelpWindow_HelpCloseButton,
                      {{0, &HandlerThunk<&CountRun>::Call}});
  LoadWindow(ids::HelpWindow, 0, false);
  HWND frame = FrameOf(ids::HelpWindow),
       close_button = HwndOf(ids::HelpWindow, ids::HelpWindow_HelpCloseButton);
  WPARAM clicked = MAKEWPARAM(GetDlgCtrlID(close_button), BN_CLICKED);
  PostMessageW(frame, WM_COMMAND, clicked, reinterpret_cast<LPARAM>(close_button));
  Pump();
  PostMessageW(frame, WM_COMMAND, clicked, reinterpret_cast<LPARAM>(close_button));
  ReportFatal(0, "\xD6\xB8\xB6\xA8\xB4\xB0\xBF\xDA\xC9\xD0\xCE\xB4\xD4\xD8\xC8\xEB");
}

TEST(WindowsFatalTest, LookupFailuresAndAStartWindowThatCannotLoadEndTheProgram) {
  struct Row {
    const char* child;
    const wchar_t* message;
  };
  const Row rows[] = {
      {"event_window_missing", L"未找到引发事件的窗口"},
      {"event_control_missing", L"未找到引发事件的窗口组件"},
      {"event_control_invalid", L"引发事件的窗口组件无效"},
      {"start_window_not_described", L"载入启动窗口失败"},
      {"start_window_cannot_be_made", L"载入启动窗口失败"},
      {"click_during_report", L"指定窗口尚未载入"},
  };
  ScratchDir dir;
  std::string count = dir.File("runs");
  SetEnvironmentVariableA("VELMORA_RUN_COUNT", count.c_str());
  for (const Row& row : rows) {
    SCOPED_TRACE(row.child);
    ChildProcess child;
    ASSERT_TRUE(StartChild(row.child, &child));
    HWND box = WaitForMessageBox(child.pid, 20000);
    ASSERT_NE(box, nullptr) << "no message box";
    Sleep(300);  // time for anything posted to be dispatched by the box's loop
    MessageBoxContents seen = ReadMessageBox(box);
    EXPECT_EQ(seen.title, L"错误");
    // Wine's static control may drop the last line break; compare without it.
    std::wstring expected = std::wstring(L"运行时出错!\r\n\r\n错误信息：") + row.message + L"\r\n";
    EXPECT_EQ(seen.text, expected.substr(0, seen.text.size()));
    EXPECT_GE(seen.text.size() + 2, expected.size());
    PressMessageBoxButton(box, IDOK);
    EXPECT_EQ(child.Wait(20000), 0xFFFFFFFFu);
  }
  EXPECT_EQ(ReadWholeFile(count), "ran\n") << "the click during the report ran nothing";
  SetEnvironmentVariableA("VELMORA_RUN_COUNT", nullptr);
}

}  // namespace

int main(int argc, char** argv) { return RunTestMain(argc, argv); }
