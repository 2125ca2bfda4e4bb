// The written streams against the readers: the program's own streams come
// back byte for byte, and changed values survive a write and a read.
#include "components/property_writers.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "components/owned_values.h"
#include "forms/program_windows.h"

namespace {

std::string AsString(ByteView v) { return std::string(reinterpret_cast<const char*>(v.data), v.size); }
std::string AsString(const Bytes& b) { return AsString(ViewOf(b)); }

// Reads a stream and writes it back.
template <typename P>
std::string Rewrite(ByteView stream, StreamResult (*read)(ByteView, P*), Bytes (*write)(const P&)) {
  P p;
  if (read(stream, &p) != StreamResult::kOk) return "unreadable";
  return AsString(write(p));
}

TEST(PropertyWritersTest, EveryStoredStreamOfTheProgramComesBackByteForByte) {
  WindowDescriptionTable table;
  ASSERT_TRUE(table.Parse(ProgramWindowBlock(), {}));
  int checked = 0;
  for (const WindowDescription& w : table.windows()) {
    for (const ControlRecord& r : w.records) {
      std::string again;
      switch (r.kind) {
        case kKindWindow:
          again = Rewrite(r.properties, ReadWindowProperties, WriteWindowProperties);
          break;
        case kKindButton:
          again = Rewrite(r.properties, ReadButtonProperties, WriteButtonProperties);
          break;
        case kKindLabel:
          again = Rewrite(r.properties, ReadLabelProperties, WriteLabelProperties);
          break;
        case kKindPicBox:
          again = Rewrite(r.properties, ReadPicBoxProperties, WritePicBoxProperties);
          break;
        case kKindEditBox:
          again = Rewrite(r.properties, ReadEditBoxProperties, WriteEditBoxProperties);
          break;
        case kKindHtmlViewer:
          again = Rewrite(r.properties, ReadHtmlViewerProperties, WriteHtmlViewerProperties);
          break;
        default:
          continue;  // PageControl writes its own
      }
      EXPECT_EQ(again, AsString(r.properties)) << std::hex << r.id;
      ++checked;
    }
  }
  EXPECT_EQ(checked, 49) << "every record of the four windows but TabPager";
}

const uint8_t kFace[] = "\xCE\xA2\xC8\xED\xD1\xC5\xBA\xDA";  // 微软雅黑

StoredFont SomeFont() {
  StoredFont f;
  f.present = true;
  f.font.lfHeight = -16;
  f.font.lfWeight = 700;
  f.font.lfCharSet = 134;
  std::memcpy(f.font.lfFaceName, kFace, sizeof kFace);
  return f;
}

TEST(PropertyWritersTest, ChangedValuesSurviveForEveryVersionOfTheWindowStream) {
  const uint8_t caption[] = "abc";
  const uint8_t klass[] = "MyClass";
  for (uint32_t version = 1; version <= kWindowStreamVersion; ++version) {
    WindowProperties p;
    p.version = version;
    p.Border = 3;
    p.Position = 0;
    p.ShowInTaskbar = 0;
    p.TopMost = 1;
    p.KeepCaptionActive = 1;
    p.Shape = 2;
    p.Caption = ByteView{caption, 3};
    p.ClassName = ByteView{klass, 7};
    Bytes written = WriteWindowProperties(p);
    WindowProperties back;
    ASSERT_EQ(ReadWindowProperties(ViewOf(written), &back), StreamResult::kOk) << version;
    EXPECT_EQ(back.version, version);
    EXPECT_EQ(back.Border, 3);
    EXPECT_EQ(back.Position, 0);
    EXPECT_EQ(AsString(back.Caption), "abc");
    // Fields a version lacks read back as their defaults.
    EXPECT_EQ(back.ShowInTaskbar, version >= 2 ? 0 : 1) << version;
    EXPECT_EQ(back.Shape, version >= 3 ? 2 : 0) << version;
    EXPECT_EQ(back.TopMost, version >= 4 ? 1 : 0) << version;
    EXPECT_EQ(back.KeepCaptionActive, version >= 5 ? 1 : 0) << version;
    EXPECT_EQ(AsString(back.ClassName), version >= 6 ? "MyClass" : "") << version;
  }
}

TEST(PropertyWritersTest, ChangedValuesSurviveForTheControlKinds) {
  const uint8_t text[] = "\xC4\xE3\xBA\xC3\r\n&x";  // 你好, CR LF, "&x"
  const uint8_t jpeg[] = {0xFF, 0xD8, 0xFF, 0xD9};
  ByteView some_text{text, sizeof text - 1};

  LabelProperties label;
  label.version = 1;  // no texts 27 and 28 in version 1
  label.Caption = some_text;
  label.Font = SomeFont();
  label.TextColor = 0x0000FF;
  label.Align = 2;
  label.WordWrap = 1;
  label.VAlign = 0;
  LabelProperties label_back;
  Bytes label_bytes = WriteLabelProperties(label);  // the read values point into it
  ASSERT_EQ(ReadLabelProperties(ViewOf(label_bytes), &label_back), StreamResult::kOk);
  EXPECT_EQ(AsString(label_back.Caption), AsString(some_text));
  EXPECT_EQ(std::memcmp(&label_back.Font.font, &label.Font.font, sizeof(LogFontA)), 0);
  EXPECT_EQ(label_back.TextColor, 0x0000FFu);
  EXPECT_EQ(label_back.Align, 2);
  EXPECT_EQ(label_back.WordWrap, 1);
  EXPECT_EQ(label_back.VAlign, 0);

  ButtonProperties button;
  button.version = 1;
  button.Picture = ByteView{jpeg, sizeof jpeg};
  button.Caption = some_text;
  button.HAlign = 0;
  ButtonProperties button_back;
  Bytes button_bytes = WriteButtonProperties(button);  // the read values point into it
  ASSERT_EQ(ReadButtonProperties(ViewOf(button_bytes), &button_back), StreamResult::kOk);
  EXPECT_EQ(AsString(button_back.Picture), AsString(button.Picture));
  EXPECT_EQ(AsString(button_back.Caption), AsString(some_text));
  EXPECT_FALSE(button_back.Font.present) << "no font stays no font";
  EXPECT_EQ(button_back.HAlign, 0);

  EditBoxProperties edit;
  edit.version = 2;
  edit.Content = some_text;
  edit.MultiLine = 0;
  edit.p18 = 2;
  edit.PasswordChar = 0xA1A1;
  edit.p24 = 3;
  edit.p25 = 4;
  edit.Font = SomeFont();
  edit.p28 = some_text;
  EditBoxProperties edit_back;
  Bytes edit_bytes = WriteEditBoxProperties(edit);  // the read values point into it
  ASSERT_EQ(ReadEditBoxProperties(ViewOf(edit_bytes), &edit_back), StreamResult::kOk);
  EXPECT_EQ(AsString(edit_back.Content), AsString(some_text));
  EXPECT_EQ(edit_back.p18, 2);
  EXPECT_EQ(edit_back.PasswordChar, 0xA1A1);
  EXPECT_EQ(edit_back.p24, 3);
  EXPECT_EQ(edit_back.p25, 4);
  EXPECT_TRUE(edit_back.Font.present);
  EXPECT_EQ(AsString(edit_back.p28), AsString(some_text));

  PicBoxProperties pic;
  pic.version = 2;
  pic.DisplayMode = 2;
  pic.BackColor = 0xFFFFFF;
  pic.Picture = ByteView{jpeg, sizeof jpeg};
  PicBoxProperties pic_back;
  Bytes pic_bytes = WritePicBoxProperties(pic);  // the read values point into it
  ASSERT_EQ(ReadPicBoxProperties(ViewOf(pic_bytes), &pic_back), StreamResult::kOk);
  EXPECT_EQ(pic_back.DisplayMode, 2);
  EXPECT_EQ(pic_back.BackColor, 0xFFFFFFu);
  EXPECT_EQ(AsString(pic_back.Picture), AsString(pic.Picture));

  HtmlViewerProperties html;
  html.version = 1;
  html.FontSize = 4;
  html.url = some_text;
  HtmlViewerProperties html_back;
  Bytes html_bytes = WriteHtmlViewerProperties(html);  // the read values point into it
  ASSERT_EQ(ReadHtmlViewerProperties(ViewOf(html_bytes), &html_back), StreamResult::kOk);
  EXPECT_EQ(html_back.FontSize, 4);
  EXPECT_EQ(AsString(html_back.url), AsString(some_text));
}

}  // namespace
