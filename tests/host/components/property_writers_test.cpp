// The written streams against the readers: the program's own streams come
// back byte for byte, and an edit box's changed values survive.
#include "components/property_writers.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <map>
#include <string>

#include "components/owned_values.h"
#include "format/program_windows.h"

namespace {

std::string AsString(ByteView v) { return std::string(reinterpret_cast<const char*>(v.data), v.size); }

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

// Only an edit box is made again from its written stream (for the styles
// fixed at birth), so its values must survive where the program's streams
// hold only defaults.
TEST(PropertyWritersTest, ChangedEditBoxValuesSurviveAWriteAndARead) {
  const uint8_t text_bytes[] = "\xC4\xE3\xBA\xC3\r\n&x";  // 你好, CR LF, "&x"
  const ByteView text{text_bytes, sizeof text_bytes - 1};
  EditBoxProperties edit, back;
  edit.version = 2;
  edit.Content = edit.Text28 = text;
  edit.MultiLine = 0;
  edit.InputMode = 2;
  edit.PasswordChar = 0xA1A1;
  edit.SelectionStart = 3;
  edit.SelectionLength = 4;
  edit.Font.present = true;
  edit.Font.font.lfHeight = -16;
  edit.Font.font.lfCharSet = 134;
  std::strcpy(edit.Font.font.lfFaceName, "\xCE\xA2\xC8\xED\xD1\xC5\xBA\xDA");  // 微软雅黑
  Bytes bytes = WriteEditBoxProperties(edit);                                  // the read texts point into it
  ASSERT_EQ(ReadEditBoxProperties(ViewOf(bytes), &back), StreamResult::kOk);
  EXPECT_EQ(AsString(back.Content), AsString(text));
  EXPECT_EQ(AsString(back.Text28), AsString(text));
  EXPECT_EQ(
      (std::vector<int>{back.MultiLine, back.InputMode, back.PasswordChar, back.SelectionStart, back.SelectionLength}),
      (std::vector<int>{0, 2, 0xA1A1, 3, 4}));
  EXPECT_EQ(std::memcmp(&back.Font.font, &edit.Font.font, sizeof(LogFontA)), 0);
}

}  // namespace
