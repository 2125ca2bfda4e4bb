// The property entry points on loaded windows: conversions by type, the
// common properties' clamps, texts and copies, fonts, cursors, re-creation,
// and the fatal reports of a child process that asks for what is not there.
#include "components/property_access.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "components_test_support.h"
#include "support/test_support.h"

namespace {

using namespace ids;

enum Common { kLeft = 0, kTop, kWidth, kHeight, kTag, kVisible, kDisable, kMousePointer };
constexpr int kLabelCaption = 8, kLabelIndex11 = 11, kLabelFont = 15, kLabelTextColor = 16, kLabelAlign = 24;
constexpr int kButtonCaption = 10, kButtonHAlign = 11, kButtonFont = 13;
constexpr int kPicBorder = 8, kPicDisplayMode = 11, kPicIndex12 = 12;
constexpr int kEditContent = 8, kEditMaxLength = 14, kEditMultiLine = 15, kEditInputMode = 18, kEditFont = 12;
constexpr int kHtmlFontSize = 8, kHtmlUrl = 11;
constexpr int kWindowCaption = 8;

std::string Str(const Text& t) { return t.get() ? t.get() : "<null>"; }

RECT RectInParent(HWND hwnd) {
  RECT rc;
  GetWindowRect(hwnd, &rc);
  MapWindowPoints(HWND_DESKTOP, GetParent(hwnd), reinterpret_cast<POINT*>(&rc), 2);
  return rc;
}

class PropertyAccessTest : public ::testing::Test {
 protected:
  PropertyAccessTest() : window_(kMainWindow) {}
  HWND Hwnd(uint32_t id) const { return window_.Hwnd(id); }
  LoadedWindow window_;
};

TEST_F(PropertyAccessTest, LabelCaptionKeepsItsOwnCopyAndEmptyReadsAsNull) {
  ASSERT_NE(window_.get(), nullptr);
  EXPECT_EQ(Str(GetControlText(kMainWindow, kVersionLabel, kLabelCaption)), "2.8");

  std::string written = Gbk(L"新版 & 旧版");
  {
    Text caller_copy(NewText(written.data(), written.size()));
    SetControlText(kMainWindow, kVersionLabel, kLabelCaption, caller_copy.get());
  }  // the caller's text is gone; the label kept its own
  Text first = GetControlText(kMainWindow, kVersionLabel, kLabelCaption);
  Text second = GetControlText(kMainWindow, kVersionLabel, kLabelCaption);
  EXPECT_EQ(Str(first), written);
  EXPECT_NE(first.get(), second.get()) << "two reads give two copies";
  first = Text();
  EXPECT_EQ(Str(GetControlText(kMainWindow, kVersionLabel, kLabelCaption)), written);
  wchar_t shown[32] = {};
  GetWindowTextW(Hwnd(kVersionLabel), shown, 32);
  EXPECT_EQ(std::wstring(shown), L"新版 & 旧版");

  SetControlText(kMainWindow, kVersionLabel, kLabelCaption, nullptr);
  EXPECT_EQ(GetControlText(kMainWindow, kVersionLabel, kLabelCaption).get(), nullptr);
  SetControlText(kMainWindow, kVersionLabel, kLabelCaption, "");
  EXPECT_EQ(GetControlText(kMainWindow, kVersionLabel, kLabelCaption).get(), nullptr);
  // A label outside the visible area still holds its text.
  SetControlText(kMainWindow, kPageTextLabel, kLabelCaption, "page text");
  EXPECT_EQ(Str(GetControlText(kMainWindow, kPageTextLabel, kLabelCaption)), "page text");
}

struct GeometryRow {
  const char* label;
  int index;
  int64_t written;
  int expected;
};
const GeometryRow kGeometry[] = {
    {"left 40000", kLeft, 40000, 32627},
    {"left -40000", kLeft, -40000, -32627},
    {"top 32627", kTop, 32627, 32627},
    {"top -5", kTop, -5, -5},
    {"width -5", kWidth, -5, 0},
    {"width 33", kWidth, 33, 33},
    {"height 40000", kHeight, 40000, 32627},
    {"height 0", kHeight, 0, 0},
};

TEST_F(PropertyAccessTest, PositionsAndSizesAreClampedAndApplied) {
  ASSERT_NE(window_.get(), nullptr);
  HWND label = Hwnd(kVersionLabel);
  for (const GeometryRow& row : kGeometry) {
    SCOPED_TRACE(row.label);
    RECT before = RectInParent(label);
    SetControlNumber(kMainWindow, kVersionLabel, row.index, row.written);
    EXPECT_EQ(GetControlNumber(kMainWindow, kVersionLabel, row.index), row.expected);
    RECT after = RectInParent(label);
    int actual[] = {after.left, after.top, after.right - after.left, after.bottom - after.top};
    EXPECT_EQ(actual[row.index], row.expected) << "the window itself";
    // The other edge keeps its place: a move keeps the size, a resize the position.
    if (row.index == kLeft || row.index == kTop) {
      EXPECT_EQ(after.right - after.left, before.right - before.left);
    } else {
      EXPECT_EQ(after.left, before.left);
      EXPECT_EQ(after.top, before.top);
    }
  }
  // The frame's place is on the screen: centred.
  EXPECT_EQ(GetControlNumber(kMainWindow, kMainWindowRecord, kLeft),
            (GetSystemMetrics(SM_CXSCREEN) - 856) / 2);
  EXPECT_EQ(GetControlNumber(kMainWindow, kMainWindowRecord, kWidth), 856);
}

struct ValueRow {
  const char* label;
  uint32_t control;
  int index;
  int64_t written;
  int64_t expected;
};
const ValueRow kValues[] = {
    {"visible is a bool: 5 reads 1", kVersionLabel, kVisible, 5, 1},
    {"disable 7 reads 1", kVersionLabel, kDisable, 7, 1},
    {"disable 0 reads 0", kVersionLabel, kDisable, 0, 0},
    {"DisplayMode 7 is clamped to 2", kContactPicture, kPicDisplayMode, 7, 2},
    {"DisplayMode -1 becomes 0", kContactPicture, kPicDisplayMode, -1, 0},
    {"PicBox Border 9 is clamped to 5", kContactPicture, kPicBorder, 9, 5},
    {"PicBox index 12 is a bool", kContactPicture, kPicIndex12, 2, 1},
    {"Label Align -4 becomes 0", kContactLabel, kLabelAlign, -4, 0},
    {"Label Align 5 is clamped to 2", kContactLabel, kLabelAlign, 5, 2},
    {"Label index 11 is at least 5", kContactLabel, kLabelIndex11, 2, 5},
    {"colour as it is", kContactLabel, kLabelTextColor, 0x123456, 0x123456},
    {"the default colour", kContactLabel, kLabelTextColor, 0xFF000000, static_cast<int32_t>(0xFF000000)},
    {"Button HAlign 3 is clamped to 2", kChatButton1, kButtonHAlign, 3, 2},
    {"HtmlViewer FontSize 9 is clamped to 4", kPageView, kHtmlFontSize, 9, 4},
    {"EditBox MaxLength", kFeeNoteBox, kEditMaxLength, 50, 50},
};

TEST_F(PropertyAccessTest, ValuesAreConvertedByTheirType) {
  ASSERT_NE(window_.get(), nullptr);
  for (const ValueRow& row : kValues) {
    SetControlNumber(kMainWindow, row.control, row.index, row.written);
    EXPECT_EQ(GetControlNumber(kMainWindow, row.control, row.index), row.expected) << row.label;
  }
  EXPECT_TRUE(IsWindowEnabled(Hwnd(kVersionLabel))) << "enabled again by the last disable row";
  EXPECT_EQ(SendMessageW(Hwnd(kFeeNoteBox), EM_GETLIMITTEXT, 0, 0), 50);
  EXPECT_TRUE(GetWindowLongPtrW(Hwnd(kContactPicture), GWL_STYLE) & WS_BORDER) << "Border 5: single line";
}

TEST_F(PropertyAccessTest, TextsOfEveryKindReachTheScreenAndComeBack) {
  ASSERT_NE(window_.get(), nullptr);
  std::string hello = Gbk(L"你好");
  SetControlText(kMainWindow, kChatButton2, kButtonCaption, hello.c_str());
  SetControlText(kMainWindow, kFeeNoteBox, kEditContent, hello.c_str());
  SetControlText(kMainWindow, kMainWindowRecord, kWindowCaption, hello.c_str());
  for (uint32_t id : {kChatButton2, kFeeNoteBox, kMainWindowRecord}) {
    HWND hwnd = id == kMainWindowRecord ? window_->hwnd() : Hwnd(id);
    wchar_t text[16] = {};
    GetWindowTextW(hwnd, text, 16);
    EXPECT_EQ(std::wstring(text), L"你好") << std::hex << id;
  }
  EXPECT_EQ(Str(GetControlText(kMainWindow, kChatButton2, kButtonCaption)), hello);
  EXPECT_EQ(Str(GetControlText(kMainWindow, kFeeNoteBox, kEditContent)), hello);
  EXPECT_EQ(Str(GetControlText(kMainWindow, kMainWindowRecord, kWindowCaption)), hello);

  EXPECT_EQ(GetControlText(kMainWindow, kPageView, kHtmlUrl).get(), nullptr) << "stored empty";
  SetControlText(kMainWindow, kPageView, kHtmlUrl, "C:\\run\\velmora365.html");
  EXPECT_EQ(Str(GetControlText(kMainWindow, kPageView, kHtmlUrl)), "C:\\run\\velmora365.html");

  EXPECT_EQ(GetControlText(kMainWindow, kHeaderBand, kTag).get(), nullptr);
  SetControlText(kMainWindow, kHeaderBand, kTag, "t");
  EXPECT_EQ(Str(GetControlText(kMainWindow, kHeaderBand, kTag)), "t");
  SetControlText(kMainWindow, kHeaderBand, kTag, nullptr);
  EXPECT_EQ(GetControlText(kMainWindow, kHeaderBand, kTag).get(), nullptr);
}

TEST_F(PropertyAccessTest, AButtonShowsAJpegPictureWrittenToIt) {
  ASSERT_NE(window_.get(), nullptr);
  constexpr int kButtonPicture = 8, kPicPicture = 10;
  Bytes jpeg = GetControlProperty(kMainWindow, kTabPicture0, kPicPicture, -1).bytes;
  ASSERT_GT(jpeg.size(), 0);
  PropertyIn in;
  in.bytes = jpeg.get();
  SetControlProperty(kMainWindow, kChatButton3, kButtonPicture, -1, in);
  auto image = reinterpret_cast<HBITMAP>(SendMessageW(Hwnd(kChatButton3), BM_GETIMAGE, IMAGE_BITMAP, 0));
  ASSERT_NE(image, nullptr);
  BITMAP bm{};
  GetObjectW(image, sizeof bm, &bm);
  EXPECT_EQ(bm.bmWidth, 128);
  EXPECT_EQ(bm.bmHeight, 44);
  EXPECT_EQ(GetControlProperty(kMainWindow, kChatButton3, kButtonPicture, -1).bytes.size(), jpeg.size());
  in.bytes = nullptr;
  SetControlProperty(kMainWindow, kChatButton3, kButtonPicture, -1, in);
  EXPECT_EQ(SendMessageW(Hwnd(kChatButton3), BM_GETIMAGE, IMAGE_BITMAP, 0), 0);
  EXPECT_EQ(GetControlProperty(kMainWindow, kChatButton3, kButtonPicture, -1).bytes.get(), nullptr);
}

LOGFONTW FontOf(HWND hwnd) {
  LOGFONTW lf{};
  GetObjectW(reinterpret_cast<HFONT>(SendMessageW(hwnd, WM_GETFONT, 0, 0)), sizeof lf, &lf);
  return lf;
}

TEST_F(PropertyAccessTest, FontsAreWrittenWholeOrOneFieldAtATime) {
  ASSERT_NE(window_.get(), nullptr);
  PropertyIn in;
  // One field keeps the rest of the control's font.
  in.number = 20;
  SetControlProperty(kMainWindow, kChatButton1, kButtonFont, kFontSize, in);
  LOGFONTW lf = FontOf(Hwnd(kChatButton1));
  EXPECT_EQ(lf.lfHeight, -20);
  EXPECT_EQ(std::wstring(lf.lfFaceName), L"微软雅黑");
  EXPECT_EQ(GetControlProperty(kMainWindow, kChatButton1, kButtonFont, kFontSize).number, 20);
  // A face of 31 bytes or more gives 宋体.
  std::string too_long(31, 'x');
  in.text = too_long.c_str();
  SetControlProperty(kMainWindow, kChatButton1, kButtonFont, kFontFace, in);
  EXPECT_EQ(std::wstring(FontOf(Hwnd(kChatButton1)).lfFaceName), L"宋体");

  // Whole: seven fields; a missing face is 宋体 too.
  FontRecord record;
  record.bold = 1;
  record.size = 18;
  record.underline = 1;
  in = PropertyIn{};
  in.font = &record;
  SetControlProperty(kMainWindow, kContactLabel, kLabelFont, -1, in);
  lf = FontOf(Hwnd(kContactLabel));
  EXPECT_EQ(lf.lfHeight, -18);
  EXPECT_EQ(lf.lfWeight, 700);
  EXPECT_TRUE(lf.lfUnderline);
  EXPECT_EQ(std::wstring(lf.lfFaceName), L"宋体");
  PropertyOut whole = GetControlProperty(kMainWindow, kContactLabel, kLabelFont, -1);
  EXPECT_EQ(whole.font.size, 18);
  EXPECT_EQ(whole.font.bold, 1);
  EXPECT_EQ(Str(whole.text), Gbk(L"宋体"));

  // A control without a font of its own starts from the default GUI font.
  LOGFONTW gui{};
  GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof gui, &gui);
  in = PropertyIn{};
  in.number = 1;
  SetControlProperty(kMainWindow, kHistoryBox, kEditFont, kFontBold, in);
  lf = FontOf(Hwnd(kHistoryBox));
  EXPECT_EQ(lf.lfWeight, 700);
  EXPECT_EQ(lf.lfHeight, gui.lfHeight);
  EXPECT_EQ(std::wstring(lf.lfFaceName), gui.lfFaceName);
}

int32_t FirstWord(const Bytes& b) {
  int32_t v = 0;
  if (b.size() >= 4) std::memcpy(&v, b.data(), 4);
  return v;
}

TEST_F(PropertyAccessTest, MousePointerTranslatesTheStandardCursors) {
  ASSERT_NE(window_.get(), nullptr);
  constexpr int32_t kHandIndex = 13, kCrossIndex = 2;
  Bytes hand = GetControlProperty(kMainWindow, kUpdateButton, kMousePointer, -1).bytes;
  EXPECT_EQ(hand.size(), 4);
  EXPECT_EQ(FirstWord(hand), kHandIndex) << "32649 reads as the hand's index";
  Bytes custom = GetControlProperty(kMainWindow, kTabPicture0, kMousePointer, -1).bytes;
  EXPECT_EQ(FirstWord(custom), -1);
  EXPECT_EQ(custom.size(), 4 + 2238) << "the cursor file follows";
  EXPECT_EQ(GetControlProperty(kMainWindow, kContactPicture, kMousePointer, -1).bytes.get(), nullptr);

  Bytes cross(NewByteArray(&kCrossIndex, 4));
  PropertyIn in;
  in.bytes = cross.get();
  SetControlProperty(kMainWindow, kContactPicture, kMousePointer, -1, in);
  EXPECT_EQ(window_->CursorFor(kContactPicture), LoadCursorW(nullptr, MAKEINTRESOURCEW(32515)));
  EXPECT_EQ(FirstWord(GetControlProperty(kMainWindow, kContactPicture, kMousePointer, -1).bytes),
            kCrossIndex);
  // A custom cursor written to another control is made from its file.
  in.bytes = custom.get();
  SetControlProperty(kMainWindow, kContactPicture, kMousePointer, -1, in);
  ICONINFO info{};
  ASSERT_TRUE(GetIconInfo(window_->CursorFor(kContactPicture), &info));
  EXPECT_EQ(info.xHotspot, 2u);
  DeleteObject(info.hbmMask);
  if (info.hbmColor) DeleteObject(info.hbmColor);
  in.bytes = nullptr;
  SetControlProperty(kMainWindow, kContactPicture, kMousePointer, -1, in);
  EXPECT_EQ(window_->CursorFor(kContactPicture), nullptr);

  // A damaged cursor file gives the kind's own cursor, nothing read outside it.
  struct DamageRow {
    const char* label;
    int32_t length;  // of the value: kind word, then the file
    int patch_at;    // a byte of the file set to 1, or -1
  };
  const DamageRow damaged[] = {
      {"directory only, image missing", 4 + 6 + 16, -1},
      {"cut inside the image", 4 + 100, -1},
      {"an icon file, not a cursor", 4 + 2238, 2},
      {"shorter than a directory", 4 + 3, -1},
  };
  for (const DamageRow& row : damaged) {
    Bytes value(NewByteArray(custom.data(), row.length));
    if (row.patch_at >= 0) const_cast<uint8_t*>(value.data())[4 + row.patch_at] = 1;
    in.bytes = value.get();
    SetControlProperty(kMainWindow, kContactPicture, kMousePointer, -1, in);
    EXPECT_EQ(window_->CursorFor(kContactPicture), nullptr) << row.label;
  }
}

TEST_F(PropertyAccessTest, StylesTheEditControlFixesAtBirthMakeItAgainInPlace) {
  ASSERT_NE(window_.get(), nullptr);
  SetControlNumber(kMainWindow, kTabPager, 12, 1);
  HWND old = Hwnd(kFeeNoteBox);
  HWND above = GetWindow(old, GW_HWNDPREV);
  RECT before = RectInParent(old);
  int id = GetDlgCtrlID(old);
  std::string content = Gbk(L"第一行\r\n第二行");
  SetControlText(kMainWindow, kFeeNoteBox, kEditContent, content.c_str());
  SetControlNumber(kMainWindow, kFeeNoteBox, kEditMultiLine, 0);

  HWND made = Hwnd(kFeeNoteBox);
  ASSERT_NE(made, nullptr);
  EXPECT_NE(made, old);
  EXPECT_FALSE(IsWindow(old));
  EXPECT_FALSE(GetWindowLongPtrW(made, GWL_STYLE) & ES_MULTILINE);
  EXPECT_EQ(GetControlNumber(kMainWindow, kFeeNoteBox, kEditMultiLine), 0);
  EXPECT_EQ(GetDlgCtrlID(made), id);
  EXPECT_EQ(GetParent(made), Hwnd(kTabPager));
  EXPECT_EQ(GetWindow(made, GW_HWNDPREV), above) << "same place in the stacking order";
  RECT after = RectInParent(made);
  EXPECT_TRUE(EqualRect(&before, &after));
  EXPECT_TRUE(GetWindowLongPtrW(made, GWL_STYLE) & WS_VISIBLE);
  EXPECT_EQ(Str(GetControlText(kMainWindow, kFeeNoteBox, kEditContent)), content)
      << "the text is carried over";

  SetControlNumber(kMainWindow, kFeeNoteBox, kEditInputMode, 2);
  EXPECT_TRUE(GetWindowLongPtrW(Hwnd(kFeeNoteBox), GWL_STYLE) & ES_PASSWORD);
  EXPECT_EQ(SendMessageW(Hwnd(kFeeNoteBox), EM_GETPASSWORDCHAR, 0, 0), L'*');
  SetControlNumber(kMainWindow, kFeeNoteBox, kEditInputMode, 1);
  EXPECT_TRUE(GetWindowLongPtrW(Hwnd(kFeeNoteBox), GWL_STYLE) & ES_READONLY);
  EXPECT_FALSE(GetWindowLongPtrW(Hwnd(kFeeNoteBox), GWL_STYLE) & ES_PASSWORD);
}

TEST_F(PropertyAccessTest, CommonPropertiesOutliveTheControlsWindow) {
  ASSERT_NE(window_.get(), nullptr);
  DestroyWindow(Hwnd(kVersionLabel));
  EXPECT_EQ(GetControlNumber(kMainWindow, kVersionLabel, kLeft), 8) << "from the record";
  SetControlNumber(kMainWindow, kVersionLabel, kTop, 40000);
  EXPECT_EQ(GetControlNumber(kMainWindow, kVersionLabel, kTop), 32627);
}

// Asking for what is not there ends the program with the fatal report.
CHILD_CASE(window_not_loaded) {
  PrepareProgramWindows();
  GetControlText(kNewVersionWindow, kNoticeLabel, kLabelCaption);
  return 0;
}
CHILD_CASE(window_closed_again) {
  PrepareProgramWindows();
  LiveWindow::Load(kHelpWindow)->Destroy();
  SetControlNumber(kHelpWindow, kHelpCloseButton, kLeft, 1);
  return 0;
}
CHILD_CASE(control_of_another_window) {
  PrepareProgramWindows();
  LiveWindow::Load(kMainWindow);
  GetControlNumber(kMainWindow, kHelpCloseButton, kLeft);
  return 0;
}
CHILD_CASE(index_past_the_kind) {
  PrepareProgramWindows();
  LiveWindow::Load(kMainWindow);
  GetControlNumber(kMainWindow, kUpdateButton, 14);  // a Button has 14 properties
  return 0;
}
CHILD_CASE(negative_index) {
  PrepareProgramWindows();
  LiveWindow::Load(kMainWindow);
  SetControlNumber(kMainWindow, kUpdateButton, -1, 0);
  return 0;
}
CHILD_CASE(control_window_gone) {
  PrepareProgramWindows();
  LiveWindow* w = LiveWindow::Load(kMainWindow);
  DestroyWindow(w->FindControl(kVersionLabel)->hwnd());
  GetControlText(kMainWindow, kVersionLabel, kLabelCaption);
  return 0;
}

struct FatalRow {
  const char* child;
  const wchar_t* message;
};
const FatalRow kFatalRows[] = {
    {"window_not_loaded", L"未载入欲访问窗口组件所在的窗口"},
    {"window_closed_again", L"未载入欲访问窗口组件所在的窗口"},
    {"control_of_another_window", L"欲访问的窗口组件不在指定窗口中"},
    {"index_past_the_kind", L"欲访问的窗口组件属性不存在"},
    {"negative_index", L"欲访问的窗口组件属性不存在"},
    {"control_window_gone", L"指定窗口尚未载入"},
};

TEST(PropertyAccessFatalTest, AskingForWhatIsNotThereEndsTheProgramWithTheReport) {
  for (const FatalRow& row : kFatalRows) {
    SCOPED_TRACE(row.child);
    ChildProcess child;
    ASSERT_TRUE(StartChild(row.child, &child));
    HWND box = WaitForMessageBox(child.pid, 20000);
    ASSERT_NE(box, nullptr) << "no message box";
    MessageBoxContents seen = ReadMessageBox(box);
    EXPECT_EQ(seen.title, L"错误");
    // Wine's static control may drop the last line break; compare without it.
    std::wstring expected = std::wstring(L"运行时出错!\r\n\r\n错误信息：") + row.message + L"\r\n";
    EXPECT_EQ(seen.text, expected.substr(0, seen.text.size()));
    EXPECT_GE(seen.text.size() + 2, expected.size());
    EXPECT_TRUE(seen.has_icon);
    PressMessageBoxButton(box, IDOK);
    EXPECT_EQ(child.Wait(20000), 0xFFFFFFFFu) << "exit code -1";
  }
}

}  // namespace
