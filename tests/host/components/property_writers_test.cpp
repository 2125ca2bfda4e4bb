// The written streams against the readers: the program's own streams come
// back byte for byte, and changed values survive a write and a read.
#include "components/property_writers.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <map>
#include <string>

#include "components/owned_values.h"
#include "forms/program_windows.h"

namespace {

std::string AsString(ByteView v) { return std::string(reinterpret_cast<const char*>(v.data), v.size); }

// Writes p and reads it back into *back, whose texts point into the returned bytes.
template <typename P>
Bytes WriteAndRead(const P& p, Bytes (*write)(const P&), StreamResult (*read)(ByteView, P*), P* back) {
  Bytes bytes = write(p);
  EXPECT_EQ(read(ViewOf(bytes), back), StreamResult::kOk);
  return bytes;
}

// Reads a stream and writes it back.
template <typename P>
std::string Rewrite(ByteView stream, StreamResult (*read)(ByteView, P*), Bytes (*write)(const P&)) {
  P p;
  return read(stream, &p) == StreamResult::kOk ? AsString(ViewOf(write(p))) : "unreadable";
}

TEST(PropertyWritersTest, EveryStoredStreamOfTheProgramComesBackByteForByte) {
  // PageControl writes its own.
  const std::map<int, std::function<std::string(ByteView)>> rewrite = {
      {kKindWindow, [](ByteView s) { return Rewrite(s, ReadWindowProperties, WriteWindowProperties); }},
      {kKindButton, [](ByteView s) { return Rewrite(s, ReadButtonProperties, WriteButtonProperties); }},
      {kKindLabel, [](ByteView s) { return Rewrite(s, ReadLabelProperties, WriteLabelProperties); }},
      {kKindPicBox, [](ByteView s) { return Rewrite(s, ReadPicBoxProperties, WritePicBoxProperties); }},
      {kKindEditBox, [](ByteView s) { return Rewrite(s, ReadEditBoxProperties, WriteEditBoxProperties); }},
      {kKindHtmlViewer,
       [](ByteView s) { return Rewrite(s, ReadHtmlViewerProperties, WriteHtmlViewerProperties); }},
  };
  WindowDescriptionTable table;
  ASSERT_TRUE(table.Parse(ProgramWindowBlock(), {}));
  int checked = 0;
  for (const WindowDescription& w : table.windows()) {
    for (const ControlRecord& r : w.records) {
      auto kind = rewrite.find(r.kind);
      if (kind == rewrite.end()) continue;
      EXPECT_EQ(kind->second(r.properties), AsString(r.properties)) << std::hex << r.id;
      ++checked;
    }
  }
  EXPECT_EQ(checked, 49) << "every record of the four windows but TabPager";
}

TEST(PropertyWritersTest, ChangedValuesSurviveForEveryVersionOfTheWindowStream) {
  const uint8_t caption[] = "abc", klass[] = "MyClass";
  for (uint32_t version = 1; version <= kWindowStreamVersion; ++version) {
    SCOPED_TRACE(version);
    WindowProperties p, back;
    p.version = version;
    p.Border = 3;
    p.Position = p.ShowInTaskbar = 0;
    p.TopMost = p.KeepCaptionActive = 1;
    p.Shape = 2;
    p.Caption = ByteView{caption, 3};
    p.ClassName = ByteView{klass, 7};
    Bytes bytes = WriteAndRead(p, WriteWindowProperties, ReadWindowProperties, &back);
    EXPECT_EQ(back.version, version);
    EXPECT_EQ(back.Border, 3);
    EXPECT_EQ(back.Position, 0);
    EXPECT_EQ(AsString(back.Caption), "abc");
    // Fields a version lacks read back as their defaults.
    EXPECT_EQ(back.ShowInTaskbar, version >= 2 ? 0 : 1);
    EXPECT_EQ(back.Shape, version >= 3 ? 2 : 0);
    EXPECT_EQ(back.TopMost, version >= 4 ? 1 : 0);
    EXPECT_EQ(back.KeepCaptionActive, version >= 5 ? 1 : 0);
    EXPECT_EQ(AsString(back.ClassName), version >= 6 ? "MyClass" : "");
  }
}

TEST(PropertyWritersTest, ChangedValuesSurviveForTheControlKinds) {
  const uint8_t text_bytes[] = "\xC4\xE3\xBA\xC3\r\n&x",
                jpeg_bytes[] = {0xFF, 0xD8, 0xFF, 0xD9};  // 你好, CR LF, "&x"
  const ByteView text{text_bytes, sizeof text_bytes - 1}, jpeg{jpeg_bytes, sizeof jpeg_bytes};
  StoredFont font;
  font.present = true;
  font.font.lfHeight = -16;
  font.font.lfWeight = 700;
  font.font.lfCharSet = 134;
  std::strcpy(font.font.lfFaceName, "\xCE\xA2\xC8\xED\xD1\xC5\xBA\xDA");  // 微软雅黑

  LabelProperties label, label_back;
  label.version = 1;  // no texts 27 and 28 in version 1
  label.Caption = text;
  label.Font = font;
  label.TextColor = 0x0000FF;
  label.Align = 2;
  label.WordWrap = 1;
  label.VAlign = 0;
  Bytes label_bytes = WriteAndRead(label, WriteLabelProperties, ReadLabelProperties, &label_back);
  EXPECT_EQ(AsString(label_back.Caption), AsString(text));
  EXPECT_EQ(std::memcmp(&label_back.Font.font, &font.font, sizeof(LogFontA)), 0);
  EXPECT_EQ(label_back.TextColor, 0x0000FFu);
  EXPECT_EQ((std::vector<int>{label_back.Align, label_back.WordWrap, label_back.VAlign}),
            (std::vector<int>{2, 1, 0}));

  ButtonProperties button, button_back;
  button.version = 1;
  button.Picture = jpeg;
  button.Caption = text;
  button.HAlign = 0;
  Bytes button_bytes = WriteAndRead(button, WriteButtonProperties, ReadButtonProperties, &button_back);
  EXPECT_EQ(AsString(button_back.Picture), AsString(jpeg));
  EXPECT_EQ(AsString(button_back.Caption), AsString(text));
  EXPECT_FALSE(button_back.Font.present) << "no font stays no font";
  EXPECT_EQ(button_back.HAlign, 0);

  EditBoxProperties edit, edit_back;
  edit.version = 2;
  edit.Content = edit.p28 = text;
  edit.MultiLine = 0;
  edit.p18 = 2;
  edit.PasswordChar = 0xA1A1;
  edit.p24 = 3;
  edit.p25 = 4;
  edit.Font = font;
  Bytes edit_bytes = WriteAndRead(edit, WriteEditBoxProperties, ReadEditBoxProperties, &edit_back);
  EXPECT_EQ(AsString(edit_back.Content), AsString(text));
  EXPECT_EQ(AsString(edit_back.p28), AsString(text));
  EXPECT_EQ((std::vector<int>{edit_back.MultiLine, edit_back.p18, edit_back.PasswordChar, edit_back.p24,
                              edit_back.p25}),
            (std::vector<int>{0, 2, 0xA1A1, 3, 4}));
  EXPECT_TRUE(edit_back.Font.present);

  PicBoxProperties pic, pic_back;
  pic.version = 2;
  pic.DisplayMode = 2;
  pic.BackColor = 0xFFFFFF;
  pic.Picture = jpeg;
  Bytes pic_bytes = WriteAndRead(pic, WritePicBoxProperties, ReadPicBoxProperties, &pic_back);
  EXPECT_EQ(pic_back.DisplayMode, 2);
  EXPECT_EQ(pic_back.BackColor, 0xFFFFFFu);
  EXPECT_EQ(AsString(pic_back.Picture), AsString(jpeg));

  HtmlViewerProperties html, html_back;
  html.version = 1;
  html.FontSize = 4;
  html.url = text;
  Bytes html_bytes = WriteAndRead(html, WriteHtmlViewerProperties, ReadHtmlViewerProperties, &html_back);
  EXPECT_EQ(html_back.FontSize, 4);
  EXPECT_EQ(AsString(html_back.url), AsString(text));
}

}  // namespace
