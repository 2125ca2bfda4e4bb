// The writers against the existing readers: TabPager's real block comes back
// byte for byte, and hand-made lists keep every word.
#include "components/page_codec.h"

#include <gtest/gtest.h>

#include <tuple>

#include "components/page_model.h"
#include "format/program_windows.h"
#include "format/window_ids.h"

namespace {

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
  WindowDescriptionTable table;
  ASSERT_TRUE(table.Parse(ProgramWindowBlock(), {}));
  const WindowDescription* w = table.Find(ids::MainWindow);
  const ByteView stored = w->RecordAt(w->FindRecord(ids::MainWindow_TabPager))->properties;

  PageControlProperties p;
  ASSERT_EQ(ReadPageControlProperties(stored, &p), StreamResult::kOk);
  EXPECT_EQ(EncodePageControlProperties(p), CopyOf(stored)) << "writer is not the reader's inverse";
  std::vector<Page> pages;
  ASSERT_TRUE(PagesFromBlock(p.Pages, &pages));
  EXPECT_EQ(EncodePageList(pages), CopyOf(p.Pages));

  SilentHost host;
  PageModel model(&host);
  ASSERT_TRUE(model.Load(stored, false));
  model.FinishCreation();
  EXPECT_EQ(model.Save(), CopyOf(stored)) << "SaveProperties of a fresh TabPager";
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
  ByteBuffer block = EncodePageList({a, Page{}});

  std::vector<Page> back;
  ASSERT_TRUE(PagesFromBlock(ViewOf(block), &back));
  ASSERT_EQ(back.size(), 2u);
  auto words = [](const Page& p) {
    return std::make_tuple(p.caption, p.header_images[1], p.attributes[2][0], p.reserved[5], p.shown,
                           p.tooltip, p.excluded, p.groups);
  };
  EXPECT_EQ(words(back[0]), words(a));
  EXPECT_EQ(EncodePageList(back), block);

  block.resize(block.size() - 3);
  EXPECT_FALSE(PagesFromBlock(ViewOf(block), &back)) << "a damaged list";
  EXPECT_EQ(back.size(), 2u) << "leaves the pages alone";
}

TEST(PageCodec, ListWithoutPagesGetsOneEmptyPage) {
  for (const ByteBuffer& block : {ByteBuffer{}, ByteBuffer{3, 0, 0, 0, 0, 0, 0, 0}}) {
    std::vector<Page> pages;
    ASSERT_TRUE(PagesFromBlock(ViewOf(block), &pages));
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_EQ(std::make_tuple(pages[0].caption, pages[0].shown, pages[0].enabled), std::make_tuple("", 1, 1));
  }
}

}  // namespace
