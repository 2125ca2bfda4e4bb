// The program's own block, checked against the window layouts as designed.
// Decoding the pictures, loading the cursors and the image list: tests/win32/forms;
// TabPager's stream as the control reads it: tests/win32/page_control.
#include <gtest/gtest.h>

#include <set>
#include <tuple>
#include <vector>

#include "format/program_windows.h"
#include "format/property_streams.h"
#include "forms_test_support.h"

namespace {

constexpr uint32_t kMainWindow = 0x52010001, kHelpWindow = 0x520100a3, kNewVersionWindow = 0x520100ab,
                   kFollowWindow = 0x5201011c, kTabPager = 0x16010002;

class ProgramWindowsTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(table_.Parse(ProgramWindowBlock(), {})); }
  const ControlRecord& Rec(uint32_t window, uint32_t id) {
    const WindowDescription* w = table_.Find(window);
    EXPECT_NE(w, nullptr);
    int i = w->FindRecord(id);
    EXPECT_GE(i, 0) << std::hex << id;
    return *w->RecordAt(i);
  }
  WindowDescriptionTable table_;
};

TEST_F(ProgramWindowsTest, TheBlockReadsToItsExactEnd) {
  EXPECT_EQ(table_.bytes_read(), ProgramWindowBlock().size);
  std::vector<std::pair<uint32_t, size_t>> windows;
  for (const WindowDescription& w : table_.windows()) {
    windows.push_back({w.id, w.records.size()});
    EXPECT_EQ(w.records[0].kind, kKindWindow);
  }
  EXPECT_EQ(windows, (std::vector<std::pair<uint32_t, size_t>>{
                         {kMainWindow, 30}, {kHelpWindow, 3}, {kNewVersionWindow, 13}, {kFollowWindow, 4}}));
  EXPECT_EQ(table_.Find(0x52010002), nullptr);
}

TEST_F(ProgramWindowsTest, RecordFieldsMatchTheLayouts) {
  struct Row {
    uint32_t window, id, kind;
    const char* stored_name;
    uint32_t parent;
    int32_t left, top, width, height;
    bool tab_stop;
  };
  const Row rows[] = {
      {kMainWindow, 0x06010000, kKindWindow, nullptr, 0, 50, 50, 856, 550, false},
      {kMainWindow, 0x16010119, kKindButton, "按钮9", 0, 786, 20, 40, 24, true},
      {kMainWindow, 0x1601009d, kKindPicBox, "图片框10", kTabPager, 416, 182, 216, 176, false},
      {kMainWindow, 0x1601001a, kKindHtmlViewer, "超文本浏览框1", kTabPager, 140, 32, 664, 360, true},
      {kMainWindow, kTabPager, kKindPageControl, "高级选择夹1", 0, 16, 90, 820, 416, false},
      {kMainWindow, 0x160100c9, kKindLabel, "标签4", kTabPager, 136, -34, 20, 16, false},
      {kMainWindow, 0x16010076, kKindEditBox, "编辑框2", kTabPager, 40, 54, 656, 336, true},
      {kHelpWindow, 0x160100a7, kKindButton, "按钮1", 0, 288, 200, 55, 32, true},
      {kNewVersionWindow, 0x160100b6, kKindEditBox, "编辑框3", 0, 88, 224, 228, 28, true},
      {kFollowWindow, 0x1601011d, kKindPicBox, "图片框1", 0, 64, 104, 232, 216, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << std::hex << row.id);
    const ControlRecord& r = Rec(row.window, row.id);
    EXPECT_EQ(r.kind, row.kind);
    if (row.stored_name) {
      EXPECT_EQ(std::string(r.name), Gbk(row.stored_name));
    }
    EXPECT_EQ(r.parent, row.parent);
    EXPECT_EQ((std::vector<int32_t>{r.left, r.top, r.width, r.height}),
              (std::vector<int32_t>{row.left, row.top, row.width, row.height}));
    EXPECT_EQ(std::make_tuple(r.visible(), r.disable(), r.tab_stop(), std::string(r.tag), r.tab_order),
              std::make_tuple(true, false, row.tab_stop, std::string(), 0));
  }
}

TEST_F(ProgramWindowsTest, TabPagersChildListGivesFourPagesOfMembers) {
  const ControlRecord& pager = Rec(kMainWindow, kTabPager);
  EXPECT_EQ(pager.child_count, 22u);
  std::vector<std::vector<uint32_t>> pages(4);
  ForEachPageMember(pager, [&](int page, uint32_t id) {
    ASSERT_LT(page, 4);
    pages[page].push_back(id);
  });
  EXPECT_EQ(pages, (std::vector<std::vector<uint32_t>>{
                       {0x160100d5, 0x160100c9, 0x1601001a, 0x16010019, 0x16010018, 0x16010017, 0x16010016,
                        0x16010014},
                       {0x16010094, 0x16010093, 0x16010092, 0x16010091, 0x1601007e},
                       {0x16010076},
                       {0x1601009d, 0x1601009a, 0x16010099, 0x16010097, 0x16010096}}));
  for (const ControlRecord& r : table_.Find(kMainWindow)->records) {
    if (r.id != pager.id) {
      EXPECT_EQ(r.child_count, 0u) << std::hex << r.id;
    }
  }
}

TEST_F(ProgramWindowsTest, EveryWindowIsAFixedCentredFrame) {
  for (const WindowDescription& w : table_.windows()) {
    SCOPED_TRACE(testing::Message() << std::hex << w.id);
    WindowProperties p;
    ASSERT_EQ(ReadWindowProperties(w.records[0].properties, &p), StreamResult::kOk);
    EXPECT_EQ(std::vector<int64_t>({p.version, p.Border, p.ControlBox, p.MaxButton, p.MinButton, p.Position,
                                    p.Movable, p.ShowInTaskbar, p.TopMost, p.EscCloses, p.EnterMovesFocus,
                                    p.F1OpensHelp, p.DragAnywhere, p.KeepCaptionActive, p.PictureMode, p.SoundRepeat,
                                    p.HelpContext, p.Shape, p.BackColor}),
              std::vector<int64_t>({6, 2, 1, 0, 0, 1, 1, 1, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0xFF000000}));
    EXPECT_TRUE(p.BackPicture.empty() && p.Icon.empty() && p.BackSound.empty() && p.HelpFile.empty() &&
                p.ClassName.empty());
  }
}

// Captions and texts whose GBK byte counts the layouts give.
TEST_F(ProgramWindowsTest, TextsHaveTheirByteCounts) {
  const struct {
    const char* what;
    uint32_t window, id;
    size_t bytes;
  } rows[] = {
      {"MainWindow", kMainWindow, 0x06010000, 78},      {"HelpWindow", kHelpWindow, 0x060100a2, 27},
      {"NewVersionWindow", kNewVersionWindow, 0x060100aa, 43}, {"ContactLabel", kMainWindow, 0x16010096, 99},
      {"CourseListLabel", kMainWindow, 0x1601007e, 342}, {"FeeNoteBox", kMainWindow, 0x16010091, 328},
      {"HistoryBox", kMainWindow, 0x16010076, 2187},     {"the help text", kHelpWindow, 0x160100a4, 202},
  };
  for (const auto& row : rows) {
    const ControlRecord& r = Rec(row.window, row.id);
    WindowProperties w;
    LabelProperties l;
    EditBoxProperties e;
    ByteView text;
    if (r.kind == kKindWindow && ReadWindowProperties(r.properties, &w) == StreamResult::kOk) text = w.Caption;
    if (r.kind == kKindLabel && ReadLabelProperties(r.properties, &l) == StreamResult::kOk) text = l.Caption;
    if (r.kind == kKindEditBox && ReadEditBoxProperties(r.properties, &e) == StreamResult::kOk) text = e.Content;
    EXPECT_EQ(text.size, row.bytes) << row.what;
  }
}

// A custom cursor is stored as -1 and a cursor file; showing them: the Wine tests.
TEST_F(ProgramWindowsTest, CustomCursorsAreStandardFilesSharedAsTheLayoutsSay) {
  const struct {
    const char* cursor;
    std::vector<uint32_t> ids;
    size_t bytes;
    int images;
  } rows[] = {
      {"A", {0x16010065, 0x16010064, 0x1601002b, 0x1601002a, 0x16010019, 0x16010018, 0x16010017, 0x16010016,
             0x16010014}, 2238, 1},
      {"B", {0x1601001a}, 2238, 1},
      {"C", {kTabPager}, 2238, 1},
      {"PromoButton's", {0x1601009e}, 6838, 3},
  };
  std::set<std::string> files;
  for (const auto& row : rows) {
    SCOPED_TRACE(row.cursor);
    const std::string file = Str(Rec(kMainWindow, row.ids[0]).mouse_pointer).substr(4);
    files.insert(file);
    EXPECT_EQ(std::make_pair(file.size(), file[4] | file[5] << 8), std::make_pair(row.bytes, row.images));
    for (uint32_t id : row.ids) {
      EXPECT_EQ(Str(Rec(kMainWindow, id).mouse_pointer), "\xFF\xFF\xFF\xFF" + file) << std::hex << id;
    }
  }
  EXPECT_EQ(files.size(), 4u) << "four different cursors";
}

}  // namespace
