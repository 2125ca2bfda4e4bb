// The writers against the existing readers: TabPager's real block comes back
// byte for byte, and hand-made lists keep every word.
#include "components/page_codec.h"

#include <gtest/gtest.h>

#include "components/page_model.h"
#include "forms/program_windows.h"

namespace {

constexpr uint32_t kMainWindow = 0x52010001;
constexpr uint32_t kTabPager = 0x16010002;

ByteView TabPagerBlock() {
  static WindowDescriptionTable table;
  if (table.windows().empty()) EXPECT_TRUE(table.Parse(ProgramWindowBlock(), {}));
  const WindowDescription* w = table.Find(kMainWindow);
  return w->RecordAt(w->FindRecord(kTabPager))->properties;
}

ByteBuffer Bytes(ByteView v) { return CopyOf(v); }

class SilentHost final : public PageHost {
 public:
  bool Notify(PageNotice, int32_t) override { return false; }
  void RefreshPageChildren() override {}
  void HideAllChildren() override {}
  void Repaint() override {}
  void ClientSize(int32_t* w, int32_t* h) override { *w = 820, *h = 416; }
  int32_t FontHeight() override { return 12; }
  int32_t HeaderExtent(const Page&, bool) override { return 40; }
};

TEST(PageCodec, TabPagerBlockRoundTripsByteForByte) {
  const ByteView stored = TabPagerBlock();
  ASSERT_EQ(stored.size, 116410u);

  PageControlProperties p;
  ASSERT_EQ(ReadPageControlProperties(stored, &p), StreamResult::kOk);
  EXPECT_EQ(EncodePageControlProperties(p), Bytes(stored)) << "writer is not the reader's inverse";

  std::vector<Page> pages;
  ASSERT_TRUE(PagesFromBlock(p.Pages, &pages));
  EXPECT_EQ(EncodePageList(pages), Bytes(p.Pages));

  SilentHost host;
  PageModel model(&host);
  ASSERT_TRUE(model.Load(stored, false));
  model.FinishCreation();
  EXPECT_EQ(model.Save(), Bytes(stored)) << "SaveProperties of a fresh TabPager";
}

TEST(PageCodec, ListKeepsEveryWordAndTrailingGroups) {
  Page a;
  a.caption = "\xB5\xDA\xD2\xBB";  // GBK
  a.header_images[1] = 2;
  a.attributes[2][0] = 7;
  a.reserved[5] = 0x55;
  a.shown = 0;
  a.tooltip = "tip";
  a.excluded = 1;
  a.groups.assign(32, 0xAB);
  const ByteBuffer block = EncodePageList({a, Page{}});

  std::vector<Page> back;
  ASSERT_TRUE(PagesFromBlock(ViewOf(block), &back));
  ASSERT_EQ(back.size(), 2u);
  EXPECT_EQ(back[0].caption, a.caption);
  EXPECT_EQ(back[0].header_images[1], 2);
  EXPECT_EQ(back[0].attributes[2][0], 7);
  EXPECT_EQ(back[0].reserved[5], 0x55);
  EXPECT_EQ(back[0].shown, 0);
  EXPECT_EQ(back[0].tooltip, "tip");
  EXPECT_EQ(back[0].excluded, 1);
  EXPECT_EQ(back[0].groups, a.groups);
  EXPECT_EQ(EncodePageList(back), block);
}

TEST(PageCodec, ListWithoutPagesGetsOneEmptyPage) {
  const struct {
    const char* label;
    ByteBuffer block;
  } rows[] = {
      {"empty block", {}},
      {"version 3, no pages", {3, 0, 0, 0, 0, 0, 0, 0}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    std::vector<Page> pages;
    ASSERT_TRUE(PagesFromBlock(ViewOf(row.block), &pages));
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_EQ(pages[0].caption, "");
    EXPECT_EQ(pages[0].shown, 1);
    EXPECT_EQ(pages[0].enabled, 1);
  }
}

TEST(PageCodec, DamagedListLeavesPagesAlone) {
  ByteBuffer block = EncodePageList({Page{}, Page{}});
  block.resize(block.size() - 3);
  std::vector<Page> pages(3);
  EXPECT_FALSE(PagesFromBlock(ViewOf(block), &pages));
  EXPECT_EQ(pages.size(), 3u);
}

TEST(PageCodec, DamagedStoredBlockFailsCreation) {
  ByteBuffer block = Bytes(TabPagerBlock());
  block.resize(200);  // inside the image list
  SilentHost host;
  PageModel model(&host);
  EXPECT_FALSE(model.Load(ViewOf(block), false));
}

}  // namespace
