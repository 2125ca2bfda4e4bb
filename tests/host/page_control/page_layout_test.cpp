// Where headers and the page area land for each strip edge, as rules rather
// than coordinates. Scrolling rows: the model's and the Wine tests.
#include "components/page_layout.h"

#include <gtest/gtest.h>

namespace {

TEST(PageLayout, HiddenStripGivesTheWholeClientArea) {
  StripInput in{.client_width = 820, .client_height = 416, .position = kHeadersLeft, .hidden = true,
                .extents = {40, 40, 40, 40}};
  StripLayout l = LayOutStrip(in);
  EXPECT_EQ(l.page_area, (PageRect{0, 0, 820, 416}));
  EXPECT_TRUE(l.strip.empty());
  EXPECT_EQ(HeaderAt(l, 10, 5), -1);
}

// Headers wrap onto rows (columns at the sides); the current header's row
// lies next to the page area, and no header covers it.
TEST(PageLayout, TheCurrentRowBordersThePageArea) {
  const struct {
    const char* label;
    int32_t position;
    int32_t PageRect::*header_side;
    int32_t PageRect::*area_side;
  } edges[] = {
      {"top", kHeadersTop, &PageRect::bottom, &PageRect::top},
      {"bottom", kHeadersBottom, &PageRect::top, &PageRect::bottom},
      {"left", kHeadersLeft, &PageRect::right, &PageRect::left},
      {"right", kHeadersRight, &PageRect::left, &PageRect::right},
      {"unknown edge 9 counts as top", 9, &PageRect::bottom, &PageRect::top},
  };
  for (const auto& edge : edges) {
    for (int32_t current : {0, 3}) {
      SCOPED_TRACE(testing::Message() << edge.label << ", current " << current);
      // Two headers to a row or column; page 2's header is not drawn and takes no room.
      const bool side = edge.position == kHeadersLeft || edge.position == kHeadersRight;
      StripInput in{.client_width = 100, .client_height = side ? 40 : 50, .position = edge.position,
                    .multi_row = !side,  // side strips wrap anyway
                    .extents = {40, 40, 0, 40, 40}, .current = current};
      StripLayout l = LayOutStrip(in);
      EXPECT_FALSE(l.scrolls);
      EXPECT_TRUE(l.headers[2].empty());
      EXPECT_EQ(l.headers[current].*edge.header_side, l.page_area.*edge.area_side);
      EXPECT_NE(l.headers[current ? 0 : 3].*edge.header_side, l.page_area.*edge.area_side) << "the other row";
      for (int page : {0, 1, 3, 4}) {
        const PageRect& h = l.headers[page];
        EXPECT_FALSE(l.page_area.Contains(h.left, h.top) || l.page_area.Contains(h.right - 1, h.bottom - 1));
        EXPECT_EQ(HeaderAt(l, (h.left + h.right) / 2, (h.top + h.bottom) / 2), page);
      }
    }
  }
}

}  // namespace
