// The property entry points on a loaded MainWindow: texts and copies,
// conversions and clamps, and the fatal reports of a child process that asks
// for what is not there.
#include "windows/property_access.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <iterator>
#include <string>

#include "components_test_support.h"
#include "format/window_ids.h"
#include "support/test_support.h"

namespace {

enum Common { kLeft = 0, kTop, kWidth, kHeight, kTag, kVisible, kDisable };
constexpr int kLabelIndex11 = PropertyIndex<LabelProperties>("Integer11"),
              kLabelTextColor = PropertyIndex<LabelProperties>("TextColor"),
              kLabelAlign = PropertyIndex<LabelProperties>("Align");
constexpr int kButtonCaption = PropertyIndex<ButtonProperties>("Caption"),
              kButtonHAlign = PropertyIndex<ButtonProperties>("HAlign"),
              kPicBorder = PropertyIndex<PicBoxProperties>("Border"),
              kPicIndex12 = PropertyIndex<PicBoxProperties>("Bool12");
constexpr int kEditMaxLength = PropertyIndex<EditBoxProperties>("MaxLength"),
              kHtmlFontSize = PropertyIndex<HtmlViewerProperties>("FontSize"),
              kWindowCaption = PropertyIndex<WindowProperties>("Caption");

std::string Str(const Text& t) { return t.get() ? t.get() : "<null>"; }

using PropertyAccessTest = MainWindowTest;

TEST_F(PropertyAccessTest, TextsAreKeptAsCopiesShownAndAnEmptyOneReadsAsNull) {
  EXPECT_EQ(Str(GetControlText(ids::MainWindow, ids::MainWindow_VersionLabel, kLabelCaption)), "2.8");
  const std::string written = Gbk(L"新版 & 你好");
  const struct {
    const char* name;
    uint32_t id;
    int index;
    bool shown;  // as the window's text
  } texts[] = {
      {"Label Caption", ids::MainWindow_VersionLabel, kLabelCaption, true},
      {"Button Caption", ids::MainWindow_ChatButton2, kButtonCaption, true},
      {"EditBox Content", ids::MainWindow_FeeNoteBox, kEditContent, true},
      {"window Caption", ids::MainWindow_Record, kWindowCaption, true},
      {"Tag", ids::MainWindow_HeaderBand, kTag, false},
  };
  for (const auto& row : texts) {
    SCOPED_TRACE(row.name);
    {
      Text caller_copy(NewText(written.data(), written.size()));
      SetControlText(ids::MainWindow, row.id, row.index, caller_copy.get());
    }  // the caller's text is gone; the control kept its own
    Text first = GetControlText(ids::MainWindow, row.id, row.index);
    Text second = GetControlText(ids::MainWindow, row.id, row.index);
    EXPECT_EQ(Str(first), written);
    EXPECT_NE(first.get(), second.get()) << "two reads give two copies";
    if (row.shown) {
      wchar_t shown[32] = {};
      GetWindowTextW(Hwnd(row.id), shown, 32);
      EXPECT_EQ(std::wstring(shown), L"新版 & 你好");
    }
    SetControlText(ids::MainWindow, row.id, row.index, nullptr);
    EXPECT_EQ(GetControlText(ids::MainWindow, row.id, row.index).get(), nullptr)
        << "null stores the empty text";
    SetControlText(ids::MainWindow, row.id, row.index, "x");
    SetControlText(ids::MainWindow, row.id, row.index, "");
    EXPECT_EQ(GetControlText(ids::MainWindow, row.id, row.index).get(), nullptr) << "empty reads as null";
  }
}

TEST_F(PropertyAccessTest, NumbersAreConvertedByTypeClampedAndApplied) {
  const struct {
    const char* label;
    int index;
    int64_t written;
    int expected;
  } geometry[] = {{"left 40000", kLeft, 40000, 32627},
                  {"left -40000", kLeft, -40000, -32627},
                  {"top -5", kTop, -5, -5},
                  {"width -5", kWidth, -5, 0},
                  {"height 40000", kHeight, 40000, 32627}};
  HWND label = Hwnd(ids::MainWindow_VersionLabel);
  for (const auto& row : geometry) {
    SCOPED_TRACE(row.label);
    RECT before = RectInParent(label);
    SetControlNumber(ids::MainWindow, ids::MainWindow_VersionLabel, row.index, row.written);
    EXPECT_EQ(GetControlNumber(ids::MainWindow, ids::MainWindow_VersionLabel, row.index), row.expected);
    RECT after = RectInParent(label);
    long actual[] = {after.left, after.top, after.right - after.left, after.bottom - after.top};
    long kept[] = {before.left, before.top, before.right - before.left, before.bottom - before.top};
    EXPECT_EQ(actual[row.index], row.expected) << "the window itself";
    // A move keeps the size, a resize the position.
    int other = row.index < kWidth ? row.index + 2 : row.index - 2;
    EXPECT_EQ(actual[other], kept[other]);
  }
  // The frame's place is on the screen, centred.
  EXPECT_EQ(GetControlNumber(ids::MainWindow, ids::MainWindow_Record, kLeft),
            (GetSystemMetrics(SM_CXSCREEN) - 856) / 2);

  const struct {
    const char* label;
    uint32_t control;
    int index;
    int64_t written, expected;
  } values[] = {
      {"visible is a bool: 5 reads 1", ids::MainWindow_VersionLabel, kVisible, 5, 1},
      {"disable 7 reads 1", ids::MainWindow_VersionLabel, kDisable, 7, 1},
      {"disable 0 reads 0", ids::MainWindow_VersionLabel, kDisable, 0, 0},
      {"DisplayMode 7 is clamped to 2", ids::MainWindow_ContactPicture, kPicDisplayMode, 7, 2},
      {"DisplayMode -1 becomes 0", ids::MainWindow_ContactPicture, kPicDisplayMode, -1, 0},
      {"PicBox Border 9 is clamped to 5", ids::MainWindow_ContactPicture, kPicBorder, 9, 5},
      {"PicBox index 12 is a bool", ids::MainWindow_ContactPicture, kPicIndex12, 2, 1},
      {"Label Align 5 is clamped to 2", ids::MainWindow_ContactLabel, kLabelAlign, 5, 2},
      {"Label index 11 is at least 5", ids::MainWindow_ContactLabel, kLabelIndex11, 2, 5},
      {"the default colour", ids::MainWindow_ContactLabel, kLabelTextColor, 0xFF000000,
       static_cast<int32_t>(0xFF000000)},
      {"Button HAlign 3 is clamped to 2", ids::MainWindow_ChatButton1, kButtonHAlign, 3, 2},
      {"HtmlViewer FontSize 9 is clamped to 4", ids::MainWindow_PageView, kHtmlFontSize, 9, 4},
      {"EditBox MaxLength", ids::MainWindow_FeeNoteBox, kEditMaxLength, 50, 50},
  };
  for (const auto& row : values) {
    SetControlNumber(ids::MainWindow, row.control, row.index, row.written);
    EXPECT_EQ(GetControlNumber(ids::MainWindow, row.control, row.index), row.expected) << row.label;
  }
  EXPECT_TRUE(IsWindowEnabled(label)) << "enabled again by the last disable row";
  EXPECT_EQ(SendMessageW(Hwnd(ids::MainWindow_FeeNoteBox), EM_GETLIMITTEXT, 0, 0), 50);
  EXPECT_TRUE(HasStyle(Hwnd(ids::MainWindow_ContactPicture), WS_BORDER)) << "Border 5: single line";

  // Common properties outlive the control's window; they come from the record.
  DestroyWindow(label);
  EXPECT_EQ(GetControlNumber(ids::MainWindow, ids::MainWindow_VersionLabel, kLeft), -32627);
  SetControlNumber(ids::MainWindow, ids::MainWindow_VersionLabel, kTop, 40000);
  EXPECT_EQ(GetControlNumber(ids::MainWindow, ids::MainWindow_VersionLabel, kTop), 32627);
}

// Asking for what is not there ends the program with the fatal report: each
// case runs in a child process, picked by VELMORA_ASKING.
struct Asking {
  const char* what;
  void (*ask)();
  const wchar_t* message;
};
const Asking kAskings[] = {
    {"a window not loaded",
     [] { GetControlText(ids::NewVersionWindow, ids::NewVersionWindow_NoticeLabel, kLabelCaption); },
     L"未载入欲访问窗口组件所在的窗口"},
    {"a control of another window",
     [] { GetControlNumber(ids::MainWindow, ids::HelpWindow_HelpCloseButton, kLeft); },
     L"欲访问的窗口组件不在指定窗口中"},
    {"an index past the kind's 14",
     [] { GetControlNumber(ids::MainWindow, ids::MainWindow_UpdateButton, 14); },
     L"欲访问的窗口组件属性不存在"},
    {"a negative index", [] { SetControlNumber(ids::MainWindow, ids::MainWindow_UpdateButton, -1, 0); },
     L"欲访问的窗口组件属性不存在"},
    {"a control whose window is gone",
     [] {
       DestroyWindow(FindLiveWindow(ids::MainWindow)->FindControl(ids::MainWindow_VersionLabel)->hwnd());
       GetControlText(ids::MainWindow, ids::MainWindow_VersionLabel, kLabelCaption);
     },
     L"指定窗口尚未载入"},
};

CHILD_CASE(ask_for_what_is_not_there) {
  PrepareProgramWindows();
  LiveWindow::Load(ids::MainWindow);
  kAskings[std::atoi(std::getenv("VELMORA_ASKING"))].ask();
  return 0;
}

TEST(PropertyAccessFatalTest, AskingForWhatIsNotThereEndsTheProgramWithTheReport) {
  for (size_t i = 0; i < std::size(kAskings); ++i) {
    SCOPED_TRACE(kAskings[i].what);
    SetEnvironmentVariableA("VELMORA_ASKING", std::to_string(i).c_str());
    ChildProcess child;
    ASSERT_TRUE(StartChild("ask_for_what_is_not_there", &child));
    HWND box = WaitForMessageBox(child.pid, 20000);
    ASSERT_NE(box, nullptr) << "no message box";
    MessageBoxContents seen = ReadMessageBox(box);
    EXPECT_EQ(seen.title, L"错误");
    // Wine's static control may drop the last line break; compare without it.
    std::wstring expected = std::wstring(L"运行时出错!\r\n\r\n错误信息：") + kAskings[i].message + L"\r\n";
    EXPECT_EQ(seen.text, expected.substr(0, seen.text.size()));
    EXPECT_GE(seen.text.size() + 2, expected.size());
    EXPECT_TRUE(seen.has_icon);
    PressMessageBoxButton(box, IDOK);
    EXPECT_EQ(child.Wait(20000), 0xFFFFFFFFu) << "exit code -1";
  }
}

}  // namespace
