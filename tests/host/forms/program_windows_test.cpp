// The program's own block, checked against the window layouts as designed.
#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "components/jpeg_decoder.h"
#include "forms/program_windows.h"
#include "forms/property_streams.h"
#include "forms_test_support.h"

namespace {

constexpr uint32_t kMainWindow = 0x52010001, kHelpWindow = 0x520100a3, kNewVersionWindow = 0x520100ab,
                   kFollowWindow = 0x5201011c;

class ProgramWindowsTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(table_.Parse(ProgramWindowBlock(), ProbeHandlers())); }
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
  EXPECT_EQ(ProgramWindowBlock().size, 268633u);
  EXPECT_EQ(table_.bytes_read(), ProgramWindowBlock().size);
  std::vector<uint32_t> ids;
  std::vector<size_t> counts;
  for (const WindowDescription& w : table_.windows()) {
    ids.push_back(w.id);
    counts.push_back(w.records.size());
  }
  EXPECT_EQ(ids, (std::vector<uint32_t>{kMainWindow, kHelpWindow, kNewVersionWindow, kFollowWindow}));
  EXPECT_EQ(counts, (std::vector<size_t>{30, 3, 13, 4}));
}

TEST_F(ProgramWindowsTest, RecordsComeInRecordOrder) {
  const std::map<uint32_t, std::vector<uint32_t>> order = {
      {kMainWindow,
       {0x06010000, 0x16010119, 0x160100d5, 0x160100a0, 0x1601009e, 0x1601009d, 0x1601009a, 0x16010099,
        0x16010097, 0x16010096, 0x16010094, 0x16010093, 0x16010092, 0x16010091, 0x1601007e, 0x16010076,
        0x16010065, 0x16010064, 0x1601002b, 0x1601002a, 0x1601006c, 0x1601001a, 0x16010019, 0x16010018,
        0x16010017, 0x16010016, 0x16010014, 0x16010002, 0x160100c9, 0x160100ca}},
      {kHelpWindow, {0x060100a2, 0x160100a7, 0x160100a4}},
      {kNewVersionWindow,
       {0x060100aa, 0x16010108, 0x160100c4, 0x160100bf, 0x160100b4, 0x160100b5, 0x160100b6, 0x160100b1,
        0x160100b2, 0x160100b3, 0x160100ae, 0x160100ad, 0x160100ac}},
      {kFollowWindow, {0x0601011b, 0x16010125, 0x16010120, 0x1601011d}},
  };
  for (const auto& [window, ids] : order) {
    const WindowDescription* w = table_.Find(window);
    ASSERT_NE(w, nullptr);
    std::vector<uint32_t> got;
    for (const ControlRecord& r : w->records) got.push_back(r.id);
    EXPECT_EQ(got, ids) << std::hex << window;
    EXPECT_EQ(w->records[0].kind, kKindWindow);
  }
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
  const uint32_t kTabPager = 0x16010002;
  const Row rows[] = {
      {kMainWindow, 0x16010119, kKindButton, "按钮9", 0, 786, 20, 40, 24, true},
      {kMainWindow, 0x1601009d, kKindPicBox, "图片框10", kTabPager, 416, 182, 216, 176, false},
      {kMainWindow, 0x1601001a, kKindHtmlViewer, "超文本浏览框1", kTabPager, 140, 32, 664, 360, true},
      {kMainWindow, 0x16010002, kKindPageControl, "高级选择夹1", 0, 16, 90, 820, 416, false},
      {kMainWindow, 0x160100c9, kKindLabel, "标签4", kTabPager, 136, -34, 20, 16, false},
      {kMainWindow, 0x16010076, kKindEditBox, "编辑框2", kTabPager, 40, 54, 656, 336, true},
      {kMainWindow, 0x06010000, kKindWindow, nullptr, 0, 50, 50, 856, 550, false},
      {kHelpWindow, 0x160100a7, kKindButton, "按钮1", 0, 288, 200, 55, 32, true},
      {kNewVersionWindow, 0x160100b6, kKindEditBox, "编辑框3", 0, 88, 224, 228, 28, true},
      {kNewVersionWindow, 0x16010108, kKindLabel, "标签4", 0, 32, 12, 480, 38, false},
      {kFollowWindow, 0x1601011d, kKindPicBox, "图片框1", 0, 64, 104, 232, 216, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << std::hex << row.id);
    const ControlRecord& r = Rec(row.window, row.id);
    EXPECT_EQ(r.kind, row.kind);
    if (row.stored_name) EXPECT_EQ(std::string(r.name), Gbk(row.stored_name));
    EXPECT_EQ(r.parent, row.parent);
    EXPECT_EQ((std::vector<int32_t>{r.left, r.top, r.width, r.height}),
              (std::vector<int32_t>{row.left, row.top, row.width, row.height}));
    EXPECT_TRUE(r.visible());
    EXPECT_FALSE(r.disable());
    EXPECT_EQ(r.tab_stop(), row.tab_stop);
    EXPECT_STREQ(r.tag, "");
    EXPECT_EQ(r.tab_order, 0);
  }
}

TEST_F(ProgramWindowsTest, TabPagerListsFourPagesOfMembers) {
  const ControlRecord& pager = Rec(kMainWindow, 0x16010002);
  EXPECT_EQ(pager.child_count, 22u);
  std::vector<std::vector<uint32_t>> pages(4);
  ForEachPageMember(pager, [&](int page, uint32_t id) {
    ASSERT_LT(page, 4);
    pages[page].push_back(id);
  });
  EXPECT_EQ(pages[0], (std::vector<uint32_t>{0x160100d5, 0x160100c9, 0x1601001a, 0x16010019, 0x16010018,
                                             0x16010017, 0x16010016, 0x16010014}));
  EXPECT_EQ(pages[1], (std::vector<uint32_t>{0x16010094, 0x16010093, 0x16010092, 0x16010091, 0x1601007e}));
  EXPECT_EQ(pages[2], (std::vector<uint32_t>{0x16010076}));
  EXPECT_EQ(pages[3], (std::vector<uint32_t>{0x1601009d, 0x1601009a, 0x16010099, 0x16010097, 0x16010096}));
  for (const ControlRecord& r : table_.Find(kMainWindow)->records) {
    if (r.id != pager.id) EXPECT_EQ(r.child_count, 0u);
  }
}

TEST_F(ProgramWindowsTest, WindowPropertiesMatch) {
  struct Row {
    uint32_t window, own;
    size_t caption_bytes;
  };
  for (const Row& row : {Row{kMainWindow, 0x06010000, 78}, Row{kHelpWindow, 0x060100a2, 27},
                         Row{kNewVersionWindow, 0x060100aa, 43}, Row{kFollowWindow, 0x0601011b, 0}}) {
    SCOPED_TRACE(testing::Message() << std::hex << row.window);
    WindowProperties p;
    ASSERT_EQ(ReadWindowProperties(Rec(row.window, row.own).properties, &p), StreamResult::kOk);
    EXPECT_EQ(p.version, 6u);
    if (row.caption_bytes) EXPECT_EQ(p.Caption.size, row.caption_bytes);
    EXPECT_EQ(std::vector<int32_t>({p.Border, p.ControlBox, p.MaxButton, p.MinButton, p.Position, p.Movable,
                                    p.ShowInTaskbar, p.TopMost, p.EscCloses, p.EnterMovesFocus, p.F1OpensHelp,
                                    p.DragAnywhere, p.KeepCaptionActive, p.PictureMode, p.p14, p.HelpContext,
                                    p.Shape}),
              std::vector<int32_t>({2, 1, 0, 0, 1, 1, 1, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0}));
    EXPECT_EQ(p.BackColor, 0xFF000000u);
    EXPECT_TRUE(p.BackPicture.empty() && p.Icon.empty() && p.BackSound.empty() && p.HelpFile.empty() &&
                p.ClassName.empty());
  }
  WindowProperties follow;
  ReadWindowProperties(Rec(kFollowWindow, 0x0601011b).properties, &follow);
  EXPECT_EQ(Str(follow.Caption), Gbk("泡妞资源  随时有更新……"));
}

TEST_F(ProgramWindowsTest, ControlPropertiesMatch) {
  ButtonProperties promo;
  ASSERT_EQ(ReadButtonProperties(Rec(kMainWindow, 0x1601009e).properties, &promo), StreamResult::kOk);
  EXPECT_EQ(Str(promo.Caption), Gbk("告别痛苦    点击\r\n轻松牵手    进入"));
  EXPECT_EQ(std::vector<int32_t>({promo.ButtonType, promo.HAlign, promo.VAlign}), std::vector<int32_t>({0, 1, 1}));
  ASSERT_TRUE(promo.Font.present);
  EXPECT_EQ(std::string(promo.Font.font.lfFaceName), Gbk("微软雅黑"));
  EXPECT_EQ(promo.Font.font.lfHeight, -16);
  EXPECT_EQ(promo.Font.font.lfWeight, 400);
  EXPECT_EQ(promo.Font.font.lfCharSet, 134);

  ButtonProperties update;
  ReadButtonProperties(Rec(kMainWindow, 0x16010119).properties, &update);
  EXPECT_EQ(Str(update.Caption), Gbk("更新"));
  EXPECT_EQ(update.Font.font.lfFaceName[0], '\0');
  EXPECT_EQ(update.Font.font.lfWeight, 700);

  LabelProperties contact;
  ASSERT_EQ(ReadLabelProperties(Rec(kMainWindow, 0x16010096).properties, &contact), StreamResult::kOk);
  EXPECT_EQ(contact.Caption.size, 99u);
  EXPECT_EQ(Str(contact.Caption).substr(97), "\r\n");
  EXPECT_EQ(contact.TextColor, 0x0000FFu);
  EXPECT_EQ(contact.BackColor, 0xFFFFFFu);
  EXPECT_EQ(contact.WordWrap, 1);
  EXPECT_EQ(std::vector<uint32_t>({contact.p12, contact.p13, contact.p14, contact.p21, contact.p22, contact.p23}),
            std::vector<uint32_t>({0x808080, 0xFFFFFF, 0x808080, 0x808080, 0xFFFFFF, 0x808080}));

  LabelProperties holder;
  ReadLabelProperties(Rec(kMainWindow, 0x160100ca).properties, &holder);
  EXPECT_TRUE(holder.Caption.empty());
  EXPECT_EQ(holder.BackColor, kNoColor);
  EXPECT_FALSE(holder.Font.present);

  LabelProperties notice;
  ReadLabelProperties(Rec(kNewVersionWindow, 0x16010108).properties, &notice);
  EXPECT_EQ(Str(notice.Caption), Gbk("有新版本更新了，本次新增了 众多  精品泡妞资源！"));
  EXPECT_EQ(notice.Align, 1);

  EditBoxProperties fee;
  ASSERT_EQ(ReadEditBoxProperties(Rec(kMainWindow, 0x16010091).properties, &fee), StreamResult::kOk);
  EXPECT_EQ(Str(fee.Content),
            Gbk("为会要收费？免费与收费的区别？\r\n因为，人都要吃用住……不收费吃什么？\r\n\r\n"
                "免费的：杂、乱、只提到表面的，或者有头没尾，因此很难学到东西？（是不是免费的就没用呢？错，"
                "对于自学能力超强的人，他能整理学习，所以对他们，很有用）\r\n\r\n"
                "收费的：系统的知识，让你不在像免费的一样，大海捞针，这学一点，那学一点，连不上……，"
                "能让你轻松、快速成功！"));
  EXPECT_EQ(std::vector<int32_t>({fee.Border, fee.p13, fee.MaxLength, fee.MultiLine, fee.ScrollBars, fee.Align,
                                  fee.p18, fee.p20, fee.p21, fee.p22, fee.p23, fee.p24, fee.p25}),
            std::vector<int32_t>({1, 1, 0, 1, 2, 0, 0, 0, 0, 0, 100, 0, 0}));
  EXPECT_EQ(fee.PasswordChar, '*');

  EditBoxProperties address;
  ReadEditBoxProperties(Rec(kNewVersionWindow, 0x160100b3).properties, &address);
  EXPECT_EQ(address.MultiLine, 0);
  EXPECT_EQ(address.ScrollBars, 0);
  EXPECT_FALSE(address.Font.present);

  HtmlViewerProperties view;
  ASSERT_EQ(ReadHtmlViewerProperties(Rec(kMainWindow, 0x1601001a).properties, &view), StreamResult::kOk);
  EXPECT_EQ(std::vector<int32_t>({view.FontSize, view.Offline, view.Silent}), std::vector<int32_t>({2, 1, 0}));
  EXPECT_TRUE(view.url.empty());
}

TEST_F(ProgramWindowsTest, TextsHaveTheirByteCounts) {
  struct Row {
    uint32_t window, id;
    size_t bytes;
  };
  for (const Row& row : {Row{kMainWindow, 0x1601007e, 342}, Row{kMainWindow, 0x16010091, 328},
                         Row{kMainWindow, 0x16010076, 2187}, Row{kHelpWindow, 0x160100a4, 202}}) {
    const ControlRecord& r = Rec(row.window, row.id);
    ByteView text;
    if (r.kind == kKindLabel) {
      LabelProperties p;
      ASSERT_EQ(ReadLabelProperties(r.properties, &p), StreamResult::kOk);
      text = p.Caption;
    } else {
      EditBoxProperties p;
      ASSERT_EQ(ReadEditBoxProperties(r.properties, &p), StreamResult::kOk);
      text = p.Content;
    }
    EXPECT_EQ(text.size, row.bytes) << std::hex << row.id;
  }
}

TEST_F(ProgramWindowsTest, TabPagerStreamHoldsItsPagesAndImageList) {
  const ControlRecord& r = Rec(kMainWindow, 0x16010002);
  EXPECT_EQ(r.properties.size, 116410u);
  PageControlProperties p;
  ASSERT_EQ(ReadPageControlProperties(r.properties, &p), StreamResult::kOk);
  EXPECT_EQ(p.version, 7u);
  EXPECT_EQ(std::vector<int32_t>({p.HeaderPosition, p.MultiRow, p.CurrentPage, p.HideHeaders, p.HeaderHeight,
                                  p.p19, p.p20, p.p21}),
            std::vector<int32_t>({0, 1, 3, 1, 20, 1, 0, 0}));
  EXPECT_STREQ(p.Font.lfFaceName, "SimSun");
  EXPECT_EQ(p.Font.lfHeight, -12);
  EXPECT_EQ(p.Font.lfCharSet, 134);
  EXPECT_EQ(std::vector<uint32_t>({p.p29, p.p30, p.p31, p.p34, p.p35, p.p38, p.p39, p.p40, p.p44, p.p54}),
            std::vector<uint32_t>(
                {kNoColor, kNoColor, kNoColor, kNoColor, 0xB4A791, 0, 0x0000FF, 0xFF0000, kNoColor, 0xECECEC}));
  std::vector<std::string> captions;
  ASSERT_EQ(ReadPageList(p.Pages,
                         [&](uint32_t, const StoredPage& page) {
                           captions.push_back(Str(page.caption));
                           EXPECT_EQ(page.header_images[0], -1);
                           EXPECT_EQ(page.shown, 1);
                           EXPECT_EQ(page.enabled, 1);
                           EXPECT_EQ(page.excluded, 0);
                         }),
            StreamResult::kOk);
  EXPECT_EQ(captions, (std::vector<std::string>{"001", "002", "", ""}));
  ByteView list = ImageListStream(p.HeaderImages);
  ASSERT_GE(list.size, 28u);
  EXPECT_EQ(Str(ByteView{list.data, 2}), "IL");
  auto word = [&](int i) { return list.data[2 * i] | list.data[2 * i + 1] << 8; };
  EXPECT_EQ(word(2), 1);    // images
  EXPECT_EQ(word(5), 100);  // cx
  EXPECT_EQ(word(6), 35);   // cy
  EXPECT_TRUE(p.p23.empty() && p.ScrollButtonImages.empty() && p.p25.empty());
}

TEST_F(ProgramWindowsTest, PicturesDecodeAtTheirSizes) {
  struct Row {
    uint32_t window, id;
    int width, height;
    uint32_t bytes;
    int32_t display_mode;
    uint32_t back;
  };
  const Row rows[] = {
      {kMainWindow, 0x1601002a, 128, 44, 4038, 0, kNoColor},   {kMainWindow, 0x1601002b, 128, 44, 4304, 0, kNoColor},
      {kMainWindow, 0x16010064, 128, 44, 4042, 0, kNoColor},   {kMainWindow, 0x16010065, 128, 44, 4255, 0, kNoColor},
      {kMainWindow, 0x16010014, 117, 37, 6976, 0, 0xFFFFFF},   {kMainWindow, 0x16010016, 117, 37, 6755, 0, 0xFFFFFF},
      {kMainWindow, 0x16010017, 117, 37, 6866, 0, 0xFFFFFF},   {kMainWindow, 0x16010018, 117, 37, 6959, 0, 0xFFFFFF},
      {kMainWindow, 0x16010019, 117, 37, 6815, 0, 0xFFFFFF},   {kMainWindow, 0x1601009d, 512, 512, 27722, 2, 0xFFFFFF},
      {kFollowWindow, 0x1601011d, 512, 512, 27722, 2, kNoColor},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << std::hex << row.id);
    PicBoxProperties p;
    ASSERT_EQ(ReadPicBoxProperties(Rec(row.window, row.id).properties, &p), StreamResult::kOk);
    EXPECT_EQ(p.Picture.size, row.bytes);
    EXPECT_EQ(p.DisplayMode, row.display_mode);
    EXPECT_EQ(p.BackColor, row.back);
    EXPECT_EQ(std::vector<int32_t>({p.Border, p.p12}), std::vector<int32_t>({0, 1}));
    DecodedImage image = DecodeJpeg(p.Picture.data, p.Picture.size);
    ASSERT_FALSE(image.empty());
    EXPECT_EQ(image.width, row.width);
    EXPECT_EQ(image.height, row.height);
  }
  PicBoxProperties contact, follow;
  ReadPicBoxProperties(Rec(kMainWindow, 0x1601009d).properties, &contact);
  ReadPicBoxProperties(Rec(kFollowWindow, 0x1601011d).properties, &follow);
  EXPECT_EQ(Str(contact.Picture), Str(follow.Picture));
}

// A cursor file's directory: (count, hot spots, and the bytes after the -1 mark).
struct Cursor {
  uint32_t mark = 0;
  std::string file;
  int images() const { return file[4] | file[5] << 8; }
  std::pair<int, int> hot_spot(int i) const {
    auto word = [&](size_t at) { return static_cast<uint8_t>(file[at]) | static_cast<uint8_t>(file[at + 1]) << 8; };
    return {word(6 + 16 * i + 4), word(6 + 16 * i + 6)};
  }
};

Cursor PointerOf(const ControlRecord& r) {
  Cursor c;
  c.mark = LoadU32(r.mouse_pointer.data);
  c.file = Str(ByteView{r.mouse_pointer.data + 4, r.mouse_pointer.size - 4});
  return c;
}

TEST_F(ProgramWindowsTest, MousePointersAreTheStoredCursors) {
  const ControlRecord& update = Rec(kMainWindow, 0x16010119);
  ASSERT_EQ(update.mouse_pointer.size, 4u);
  EXPECT_EQ(LoadU32(update.mouse_pointer.data), 32649u);
  EXPECT_EQ(LoadU32(Rec(kMainWindow, 0x16010096).mouse_pointer.data), 0u);

  const uint32_t with_a[] = {0x16010065, 0x16010064, 0x1601002b, 0x1601002a, 0x16010019,
                             0x16010018, 0x16010017, 0x16010016, 0x16010014};
  const Cursor a = PointerOf(Rec(kMainWindow, with_a[0]));
  for (uint32_t id : with_a) {
    Cursor c = PointerOf(Rec(kMainWindow, id));
    EXPECT_EQ(c.mark, 0xFFFFFFFFu);
    EXPECT_EQ(c.file, a.file) << std::hex << id;
  }
  const Cursor b = PointerOf(Rec(kMainWindow, 0x1601001a));
  const Cursor c = PointerOf(Rec(kMainWindow, 0x16010002));
  const Cursor promo = PointerOf(Rec(kMainWindow, 0x1601009e));
  struct Row {
    const Cursor* cursor;
    size_t bytes;
    int images;
    std::pair<int, int> hot;
  };
  for (const Row& row : {Row{&a, 2238, 1, {2, 0}}, Row{&b, 2238, 1, {0, 0}}, Row{&c, 2238, 1, {0, 0}},
                         Row{&promo, 6838, 3, {0, 0}}}) {
    EXPECT_EQ(row.cursor->file.size(), row.bytes);
    EXPECT_EQ(row.cursor->images(), row.images);
    for (int i = 0; i < row.images; ++i) EXPECT_EQ(row.cursor->hot_spot(i), row.hot);
  }
  EXPECT_NE(a.file, b.file);
  EXPECT_NE(b.file, c.file);
  for (const ControlRecord& r : table_.Find(kFollowWindow)->records) {
    EXPECT_EQ(LoadU32(r.mouse_pointer.data), 0u);
  }
}

}  // namespace
