// The program's own block, checked against the window layouts as designed.
// Decoding the pictures, loading the cursors and the image list: tests/win32/forms;
// TabPager's stream as the control reads it: tests/win32/page_control.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "format/program_windows.h"
#include "format/property_streams.h"
#include "format/window_ids.h"
#include "forms_test_support.h"

namespace {

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
  EXPECT_EQ(
      windows,
      (std::vector<std::pair<uint32_t, size_t>>{
          {ids::MainWindow, 30}, {ids::HelpWindow, 3}, {ids::NewVersionWindow, 13}, {ids::FollowWindow, 4}}));
  EXPECT_EQ(table_.Find(0x52010002), nullptr);
}

// The generated names: each record of the sources once, under its window's name, and in the block.
TEST_F(ProgramWindowsTest, TheGeneratedNamesAreTheSourcesRecords) {
  std::set<std::tuple<std::string, uint32_t, uint32_t>> sources, generated;
  for (const char* file : {"main_window", "help_window", "new_version_window", "follow_window"}) {
    const formc::Json j =
        formc::LoadWindowSource(VELMORA_ASSETS "/forms/" + std::string(file) + ".json").json;
    const std::string window = j.at("window");
    const uint32_t window_id = std::stoul(j.at("id").get<std::string>(), nullptr, 16);
    sources.insert({window, window_id, window_id});
    for (const formc::Json& r : j.at("records")) {
      const std::string name = r.at("kind") == "window" ? "Record" : r.at("name").get<std::string>();
      sources.insert(
          {window + "_" + name, window_id, std::stoul(r.at("id").get<std::string>(), nullptr, 16)});
    }
  }
  for (const ids::NamedId& n : ids::kAll) {
    generated.insert({n.name, n.window, n.id});
    if (n.id != n.window) EXPECT_GE(table_.Find(n.window)->FindRecord(n.id), 0) << n.name;
  }
  EXPECT_EQ(generated, sources);
  EXPECT_EQ(std::size(ids::kAll), sources.size()) << "no name twice";
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
      {ids::MainWindow, ids::MainWindow_Record, kKindWindow, nullptr, 0, 50, 50, 856, 550, false},
      {ids::MainWindow, ids::MainWindow_UpdateButton, kKindButton, "按钮9", 0, 786, 20, 40, 24, true},
      {ids::MainWindow, ids::MainWindow_ContactPicture, kKindPicBox, "图片框10", ids::MainWindow_TabPager,
       416, 182, 216, 176, false},
      {ids::MainWindow, ids::MainWindow_PageView, kKindHtmlViewer, "超文本浏览框1", ids::MainWindow_TabPager,
       140, 32, 664, 360, true},
      {ids::MainWindow, ids::MainWindow_TabPager, kKindPageControl, "高级选择夹1", 0, 16, 90, 820, 416,
       false},
      {ids::MainWindow, ids::MainWindow_PageTextLabel, kKindLabel, "标签4", ids::MainWindow_TabPager, 136,
       -34, 20, 16, false},
      {ids::MainWindow, ids::MainWindow_HistoryBox, kKindEditBox, "编辑框2", ids::MainWindow_TabPager, 40, 54,
       656, 336, true},
      {ids::HelpWindow, ids::HelpWindow_HelpCloseButton, kKindButton, "按钮1", 0, 288, 200, 55, 32, true},
      {ids::NewVersionWindow, ids::NewVersionWindow_AddressBox3, kKindEditBox, "编辑框3", 0, 88, 224, 228, 28,
       true},
      {ids::FollowWindow, ids::FollowWindow_FollowPicture, kKindPicBox, "图片框1", 0, 64, 104, 232, 216,
       false},
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
  const ControlRecord& pager = Rec(ids::MainWindow, ids::MainWindow_TabPager);
  EXPECT_EQ(pager.child_count, 22u);
  std::vector<std::vector<uint32_t>> pages(4);
  ForEachPageMember(pager, [&](int page, uint32_t id) {
    ASSERT_LT(page, 4);
    pages[page].push_back(id);
  });
  EXPECT_EQ(pages,
            (std::vector<std::vector<uint32_t>>{
                {ids::MainWindow_VersionLabel, ids::MainWindow_PageTextLabel, ids::MainWindow_PageView,
                 ids::MainWindow_PagePicture5, ids::MainWindow_PagePicture4, ids::MainWindow_PagePicture3,
                 ids::MainWindow_PagePicture2, ids::MainWindow_PagePicture1},
                {ids::MainWindow_ViewButton3, ids::MainWindow_ViewButton2, ids::MainWindow_ViewButton1,
                 ids::MainWindow_FeeNoteBox, ids::MainWindow_CourseListLabel},
                {ids::MainWindow_HistoryBox},
                {ids::MainWindow_ContactPicture, ids::MainWindow_ChatButton1, ids::MainWindow_ChatButton2,
                 ids::MainWindow_ChatButton3, ids::MainWindow_ContactLabel}}));
  for (const ControlRecord& r : table_.Find(ids::MainWindow)->records) {
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
      {"MainWindow", ids::MainWindow, ids::MainWindow_Record, 78},
      {"HelpWindow", ids::HelpWindow, ids::HelpWindow_Record, 27},
      {"NewVersionWindow", ids::NewVersionWindow, ids::NewVersionWindow_Record, 43},
      {"ContactLabel", ids::MainWindow, ids::MainWindow_ContactLabel, 99},
      {"CourseListLabel", ids::MainWindow, ids::MainWindow_CourseListLabel, 342},
      {"FeeNoteBox", ids::MainWindow, ids::MainWindow_FeeNoteBox, 328},
      {"HistoryBox", ids::MainWindow, ids::MainWindow_HistoryBox, 2187},
      {"the help text", ids::HelpWindow, ids::HelpWindow_HelpTextLabel, 202},
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
      {"A",
       {ids::MainWindow_TabPicture3, ids::MainWindow_TabPicture2, ids::MainWindow_TabPicture1,
        ids::MainWindow_TabPicture0, ids::MainWindow_PagePicture5, ids::MainWindow_PagePicture4,
        ids::MainWindow_PagePicture3, ids::MainWindow_PagePicture2, ids::MainWindow_PagePicture1},
       2238,
       1},
      {"B", {ids::MainWindow_PageView}, 2238, 1},
      {"C", {ids::MainWindow_TabPager}, 2238, 1},
      {"PromoButton's", {ids::MainWindow_PromoButton}, 6838, 3},
  };
  std::set<std::string> files;
  for (const auto& row : rows) {
    SCOPED_TRACE(row.cursor);
    const std::string file = Str(Rec(ids::MainWindow, row.ids[0]).mouse_pointer).substr(4);
    files.insert(file);
    EXPECT_EQ(std::make_pair(file.size(), file[4] | file[5] << 8), std::make_pair(row.bytes, row.images));
    for (uint32_t id : row.ids) {
      EXPECT_EQ(Str(Rec(ids::MainWindow, id).mouse_pointer), "\xFF\xFF\xFF\xFF" + file) << std::hex << id;
    }
  }
  EXPECT_EQ(files.size(), 4u) << "four different cursors";
}

}  // namespace
