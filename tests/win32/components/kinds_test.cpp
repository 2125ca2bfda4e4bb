// What the kinds make of their stored and written values on MainWindow:
// fonts, cursors, an edit box's modes and colours, a button's events,
// caption and picture.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "components_test_support.h"
#include "format/window_ids.h"
#include "windows/property_access.h"

namespace {

constexpr int kMousePointer = 7, kLabelFont = PropertyIndex<LabelProperties>("Font"),
              kButtonPicture = PropertyIndex<ButtonProperties>("Picture");
constexpr int kEditFont = PropertyIndex<EditBoxProperties>("Font"),
              kEditMultiLine = PropertyIndex<EditBoxProperties>("MultiLine"),
              kEditInputMode = PropertyIndex<EditBoxProperties>("InputMode");

LOGFONTW FontOf(HWND hwnd) {
  LOGFONTW lf{};
  GetObjectW(reinterpret_cast<HFONT>(SendMessageW(hwnd, WM_GETFONT, 0, 0)), sizeof lf, &lf);
  return lf;
}

TEST_F(MainWindowTest, FontsAreTheStoredOnesWithTheReplacementsOrWrittenWholeOrByField) {
  const struct {
    const char* name;
    uint32_t id;
    const wchar_t* face;  // null: none stored, the default GUI font
    int height, weight;
  } fonts[] = {
      {"UpdateButton: no face", ids::MainWindow_UpdateButton, L"", -14, 700},
      {"PromoButton", ids::MainWindow_PromoButton, L"微软雅黑", -16, 400},
      {"FeeNoteBox", ids::MainWindow_FeeNoteBox, L"微软雅黑", -14, 400},
      {"ContactLabel", ids::MainWindow_ContactLabel, L"微软雅黑", -16, 700},
      {"HistoryBox", ids::MainWindow_HistoryBox, nullptr, 0, 0},
      {"VersionLabel", ids::MainWindow_VersionLabel, nullptr, 0, 0},
  };
  for (const auto& row : fonts) {
    SCOPED_TRACE(row.name);
    HFONT font = reinterpret_cast<HFONT>(SendMessageW(Hwnd(row.id), WM_GETFONT, 0, 0));
    if (!row.face) {
      EXPECT_EQ(font, GetStockObject(DEFAULT_GUI_FONT));
      continue;
    }
    LOGFONTW lf = FontOf(Hwnd(row.id));
    EXPECT_EQ(std::wstring(lf.lfFaceName), row.face);
    EXPECT_EQ(lf.lfHeight, row.height);
    EXPECT_EQ(lf.lfWeight, row.weight);
    // The stored charset 134, precisions and quality are replaced; without a
    // face the font is asked for by script, so its face has Chinese glyphs.
    const int charset = *row.face ? DEFAULT_CHARSET : GB2312_CHARSET;
    EXPECT_EQ((std::vector<int>{lf.lfCharSet, lf.lfOutPrecision, lf.lfClipPrecision, lf.lfQuality,
                                lf.lfPitchAndFamily}),
              (std::vector<int>{charset, 0, 0, PROOF_QUALITY, 0}));
  }

  PropertyIn in;
  FontRecord record;  // whole: seven fields; a missing face gives 宋体
  record.bold = record.underline = 1;
  record.size = 18;
  in.font = &record;
  SetControlProperty(ids::MainWindow, ids::MainWindow_ContactLabel, kLabelFont, -1, in);
  LOGFONTW lf = FontOf(Hwnd(ids::MainWindow_ContactLabel));
  EXPECT_EQ((std::vector<long>{lf.lfHeight, lf.lfWeight, lf.lfUnderline}), (std::vector<long>{-18, 700, 1}));
  EXPECT_EQ(std::wstring(lf.lfFaceName), L"宋体");

  // One field written to a control without a font of its own starts from the
  // default GUI font.
  LOGFONTW gui{};
  GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof gui, &gui);
  in = PropertyIn{};
  in.number = 1;
  SetControlProperty(ids::MainWindow, ids::MainWindow_HistoryBox, kEditFont, kFontBold, in);
  lf = FontOf(Hwnd(ids::MainWindow_HistoryBox));
  EXPECT_EQ(lf.lfWeight, 700);
  EXPECT_EQ(lf.lfHeight, gui.lfHeight);
  EXPECT_EQ(std::wstring(lf.lfFaceName), gui.lfFaceName);
}

TEST_F(MainWindowTest, AFontFieldOfAControlWithoutAFontOfItsOwnReadsTheDefaultGuiFont) {
  LOGFONTW gui{};
  GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof gui, &gui);
  const struct {
    const char* field;
    int sub;
    int64_t expected;
  } rows[] = {
      {"angle", kFontAngle, gui.lfEscapement},
      {"bold", kFontBold, gui.lfWeight >= 700},
      {"italic", kFontItalic, gui.lfItalic != 0},
      {"underline", kFontUnderline, gui.lfUnderline != 0},
      {"strikeout", kFontStrikeout, gui.lfStrikeOut != 0},
      {"size", kFontSize, gui.lfHeight < 0 ? -gui.lfHeight : gui.lfHeight},
  };
  ASSERT_NE(gui.lfHeight, 0) << "a size to tell the default font from an empty record";
  for (const auto& row : rows) {
    EXPECT_EQ(GetControlProperty(ids::MainWindow, ids::MainWindow_VersionLabel, kLabelFont, row.sub).number,
              row.expected)
        << row.field;
  }
  Text face = std::move(
      GetControlProperty(ids::MainWindow, ids::MainWindow_VersionLabel, kLabelFont, kFontFace).text);
  ASSERT_NE(face.get(), nullptr);
  EXPECT_EQ(std::string(face.get()), Gbk(gui.lfFaceName));
}

// A cursor as {is an icon, hot spot x, hot spot y, mask width}.
std::vector<long> Shape(HCURSOR cursor) {
  ICONINFO info{};
  if (!GetIconInfo(cursor, &info)) return {};
  BITMAP mask{};
  GetObjectW(info.hbmMask, sizeof mask, &mask);
  if (info.hbmColor) DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);
  return {info.fIcon, static_cast<long>(info.xHotspot), static_cast<long>(info.yHotspot), mask.bmWidth};
}

int32_t FirstWord(const Bytes& b) {
  int32_t v = 0;
  if (b.size() >= 4) std::memcpy(&v, b.data(), 4);
  return v;
}

TEST_F(MainWindowTest, CursorsAreShownWithTheirHotSpotsAndWrittenByIndexOrFile) {
  const struct {
    const char* name;
    uint32_t id;
    int system;  // a system cursor's identifier, or 0 for a custom one
    long hot_x;
  } cursors[] = {
      {"UpdateButton: system hand", ids::MainWindow_UpdateButton, 32649, 0},
      {"PromoButton: custom, three images", ids::MainWindow_PromoButton, 0, 0},
      {"TabPicture0: custom A", ids::MainWindow_TabPicture0, 0, 2},
      {"PageView: custom B", ids::MainWindow_PageView, 0, 0},
      {"TabPager: custom C", ids::MainWindow_TabPager, 0, 0},
  };
  auto shown_over = [](HWND hwnd) {
    SetCursor(nullptr);
    LRESULT answered =
        SendMessageW(hwnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(hwnd), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    return answered ? GetCursor() : nullptr;
  };
  for (const auto& row : cursors) {
    SCOPED_TRACE(row.name);
    HCURSOR cursor = window_->CursorFor(row.id);
    ASSERT_NE(cursor, nullptr);
    EXPECT_EQ(shown_over(Hwnd(row.id)), cursor) << "the control answers WM_SETCURSOR itself";
    if (row.system) {
      EXPECT_EQ(cursor, LoadCursorW(nullptr, MAKEINTRESOURCEW(row.system)));
    } else {
      EXPECT_EQ(Shape(cursor), (std::vector<long>{FALSE, row.hot_x, 0, 32}));
    }
  }
  // ContactPicture has the kind's own; TabPager's does not cover it.
  EXPECT_EQ(window_->CursorFor(ids::MainWindow_ContactPicture), nullptr);
  EXPECT_NE(shown_over(Hwnd(ids::MainWindow_ContactPicture)), window_->CursorFor(ids::MainWindow_TabPager));

  // MousePointer reads the standard cursors by their index, a custom one with its file.
  auto get = [](uint32_t id) { return GetControlProperty(ids::MainWindow, id, kMousePointer, -1).bytes; };
  auto set = [](const Bytes& value) {
    PropertyIn in;
    in.bytes = value.get();
    SetControlProperty(ids::MainWindow, ids::MainWindow_ContactPicture, kMousePointer, -1, in);
  };
  Bytes hand = get(ids::MainWindow_UpdateButton), custom = get(ids::MainWindow_TabPicture0);
  EXPECT_EQ(hand.size(), 4);
  EXPECT_EQ(FirstWord(hand), 13) << "32649 reads as the hand's index";
  EXPECT_EQ(FirstWord(custom), -1);
  EXPECT_EQ(custom.size(), 4 + 2238);
  EXPECT_EQ(get(ids::MainWindow_ContactPicture).get(), nullptr);
  const int32_t cross_index = 2;
  set(Bytes(NewByteArray(&cross_index, 4)));
  EXPECT_EQ(window_->CursorFor(ids::MainWindow_ContactPicture),
            LoadCursorW(nullptr, MAKEINTRESOURCEW(32515)));
  EXPECT_EQ(FirstWord(get(ids::MainWindow_ContactPicture)), cross_index);
  set(custom);
  EXPECT_EQ(Shape(window_->CursorFor(ids::MainWindow_ContactPicture)), (std::vector<long>{FALSE, 2, 0, 32}))
      << "made from its file";
  set(Bytes());
  EXPECT_EQ(window_->CursorFor(ids::MainWindow_ContactPicture), nullptr);

  // A damaged cursor file gives the kind's own cursor, nothing read outside it.
  const struct {
    const char* label;
    int32_t length;  // of the value: kind word, then the file
    int patch_at;    // a byte of the file set to 1, or -1
  } damaged[] = {
      {"directory only, image missing", 4 + 6 + 16, -1},
      {"cut inside the image", 4 + 100, -1},
      {"an icon file, not a cursor", 4 + 2238, 2},
      {"shorter than a directory", 4 + 3, -1},
  };
  for (const auto& row : damaged) {
    Bytes value(NewByteArray(custom.data(), row.length));
    if (row.patch_at >= 0) const_cast<uint8_t*>(value.data())[4 + row.patch_at] = 1;
    set(value);
    EXPECT_EQ(window_->CursorFor(ids::MainWindow_ContactPicture), nullptr) << row.label;
  }
}

TEST_F(MainWindowTest, AnEditBoxKeepsItsModesAndColoursAndIsMadeAgainInPlaceForANewMode) {
  HWND old = Hwnd(ids::MainWindow_FeeNoteBox);
  EXPECT_TRUE(HasStyle(old, ES_MULTILINE | ES_AUTOVSCROLL | WS_VSCROLL));
  EXPECT_FALSE(HasStyle(old, ES_NOHIDESEL)) << "the selection hides when unfocused";
  EXPECT_FALSE(HasStyle(old, ES_READONLY));
  EXPECT_TRUE(GetWindowLongPtrW(old, GWL_EXSTYLE) & WS_EX_CLIENTEDGE) << "Border 1";
  // The parent hands WM_CTLCOLOREDIT to the box, which answers with its colours.
  HDC dc = GetDC(old);
  SetTextColor(dc, RGB(1, 2, 3));
  auto brush = reinterpret_cast<HBRUSH>(SendMessageW(
      GetParent(old), WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(old)));
  LOGBRUSH lb{};
  ASSERT_TRUE(GetObjectW(brush, sizeof lb, &lb));
  EXPECT_EQ((std::vector<COLORREF>{lb.lbColor, GetTextColor(dc), GetBkColor(dc)}),
            (std::vector<COLORREF>{RGB(255, 255, 255), RGB(0, 0, 0), RGB(255, 255, 255)}));
  ReleaseDC(old, dc);

  // MultiLine is fixed at birth: writing it makes the control again.
  SetControlNumber(ids::MainWindow, ids::MainWindow_TabPager, 12, 1);
  HWND above = GetWindow(old, GW_HWNDPREV);
  RECT before = RectInParent(old);
  int id = GetDlgCtrlID(old);
  std::string content = Gbk(L"第一行\r\n第二行");
  SetControlText(ids::MainWindow, ids::MainWindow_FeeNoteBox, kEditContent, content.c_str());
  SetControlNumber(ids::MainWindow, ids::MainWindow_FeeNoteBox, kEditMultiLine, 0);
  HWND made = Hwnd(ids::MainWindow_FeeNoteBox);
  ASSERT_NE(made, old);
  EXPECT_FALSE(IsWindow(old));
  EXPECT_FALSE(HasStyle(made, ES_MULTILINE));
  EXPECT_EQ(GetControlNumber(ids::MainWindow, ids::MainWindow_FeeNoteBox, kEditMultiLine), 0);
  EXPECT_EQ(GetDlgCtrlID(made), id);
  EXPECT_EQ(GetParent(made), Hwnd(ids::MainWindow_TabPager));
  EXPECT_EQ(GetWindow(made, GW_HWNDPREV), above) << "same place in the stacking order";
  RECT after = RectInParent(made);
  EXPECT_TRUE(EqualRect(&before, &after));
  EXPECT_TRUE(HasStyle(made, WS_VISIBLE));
  Text kept = GetControlText(ids::MainWindow, ids::MainWindow_FeeNoteBox, kEditContent);
  EXPECT_EQ(std::string(kept.get() ? kept.get() : ""), content) << "the text is carried over";

  SetControlNumber(ids::MainWindow, ids::MainWindow_FeeNoteBox, kEditInputMode, 2);
  EXPECT_TRUE(HasStyle(Hwnd(ids::MainWindow_FeeNoteBox), ES_PASSWORD));
  EXPECT_EQ(SendMessageW(Hwnd(ids::MainWindow_FeeNoteBox), EM_GETPASSWORDCHAR, 0, 0), L'*');
  SetControlNumber(ids::MainWindow, ids::MainWindow_FeeNoteBox, kEditInputMode, 1);
  EXPECT_TRUE(HasStyle(Hwnd(ids::MainWindow_FeeNoteBox), ES_READONLY));
  EXPECT_FALSE(HasStyle(Hwnd(ids::MainWindow_FeeNoteBox), ES_PASSWORD));
}

// A button's events, bound for the test only: the program binds none of these.
std::vector<int> g_events;
template <int kEvent>
HandlerResult Record(const int32_t*, int32_t) {
  uint32_t window = 0, control = 0;
  EXPECT_TRUE(CurrentEventSource(&window, &control));
  EXPECT_EQ(window, ids::MainWindow);
  EXPECT_EQ(control, ids::MainWindow_UpdateButton);
  g_events.push_back(kEvent);
  return {false, 0};
}
const EventBinding kButtonBindings[] = {{-7, &Record<-7>}, {-8, &Record<-8>}, {0, &Record<0>}};

TEST_F(MainWindowTest, AButtonRaisesClickedAndItsFocusEventsAndShowsItsCaptionAndPicture) {
  window_.ShowAndPaint();
  ControlRecord* record =
      window_->description()->RecordAt(window_->description()->FindRecord(ids::MainWindow_UpdateButton));
  std::span<const EventBinding> stored = record->bindings;
  record->bindings = std::span<const EventBinding>(kButtonBindings);
  g_events.clear();
  SetFocus(Hwnd(ids::MainWindow_UpdateButton));
  SendMessageW(Hwnd(ids::MainWindow_UpdateButton), BM_CLICK, 0, 0);
  EXPECT_EQ(g_events, (std::vector<int>{-7, 0})) << "clicked before the notification returns";
  SetFocus(Hwnd(ids::MainWindow_HelpButton));
  EXPECT_EQ(g_events, (std::vector<int>{-7, 0, -8}));
  record->bindings = stored;

  HWND promo = Hwnd(ids::MainWindow_PromoButton);
  EXPECT_TRUE(HasStyle(promo, BS_MULTILINE | BS_CENTER | BS_VCENTER));
  wchar_t text[64] = {};
  GetWindowTextW(promo, text, 64);
  EXPECT_EQ(std::wstring(text), L"告别痛苦    点击\r\n轻松牵手    进入");

  // A JPEG written as the picture is shown; none takes it away.
  auto picture = [](uint32_t id) {
    return GetControlProperty(ids::MainWindow, id,
                              id == ids::MainWindow_ChatButton3 ? kButtonPicture : kPicPicture, -1)
        .bytes;
  };
  auto shown = [&] {
    return reinterpret_cast<HBITMAP>(
        SendMessageW(Hwnd(ids::MainWindow_ChatButton3), BM_GETIMAGE, IMAGE_BITMAP, 0));
  };
  Bytes jpeg = picture(ids::MainWindow_TabPicture0);
  ASSERT_GT(jpeg.size(), 0);
  PropertyIn in;
  in.bytes = jpeg.get();
  SetControlProperty(ids::MainWindow, ids::MainWindow_ChatButton3, kButtonPicture, -1, in);
  BITMAP bm{};
  ASSERT_TRUE(GetObjectW(shown(), sizeof bm, &bm));
  EXPECT_EQ((std::vector<long>{bm.bmWidth, bm.bmHeight}), (std::vector<long>{128, 44}));
  EXPECT_EQ(picture(ids::MainWindow_ChatButton3).size(), jpeg.size());
  in.bytes = nullptr;
  SetControlProperty(ids::MainWindow, ids::MainWindow_ChatButton3, kButtonPicture, -1, in);
  EXPECT_EQ(shown(), nullptr);
  EXPECT_EQ(picture(ids::MainWindow_ChatButton3).get(), nullptr);
}

}  // namespace
