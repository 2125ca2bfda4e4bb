// Where headers, scroll buttons and the page area land for each strip edge.
#include "components/page_layout.h"

#include <gtest/gtest.h>

namespace {

StripInput Input(int32_t w, int32_t h, int32_t position, std::vector<int32_t> extents, int32_t current = 0) {
  StripInput in;
  in.client_width = w;
  in.client_height = h;
  in.position = position;
  in.row_height = 20;
  in.extents = std::move(extents);
  in.current = current;
  return in;
}

TEST(PageLayout, HiddenStripGivesTheWholeClientArea) {
  for (int32_t position : {0, 1, 2, 3, 7}) {
    SCOPED_TRACE(position);
    StripInput in = Input(820, 416, position, {40, 40, 40, 40});
    in.hidden = true;
    StripLayout l = LayOutStrip(in);
    EXPECT_EQ(l.page_area, (PageRect{0, 0, 820, 416}));
    EXPECT_TRUE(l.strip.empty());
    EXPECT_EQ(HeaderAt(l, 10, 5), -1);
  }
}

TEST(PageLayout, WrappedRowsPutTheCurrentRowNextToThePageArea) {
  const struct {
    const char* label;
    int32_t position, current;
    PageRect page_area, header0, header2;
  } rows[] = {
      {"top, current on the first row", kHeadersTop, 0, {0, 40, 100, 100}, {0, 20, 40, 40}, {0, 0, 40, 20}},
      {"top, current on the second row", kHeadersTop, 3, {0, 40, 100, 100}, {0, 0, 40, 20}, {0, 20, 40, 40}},
      {"bottom, current on the first row",
       kHeadersBottom,
       1,
       {0, 0, 100, 60},
       {0, 60, 40, 80},
       {0, 80, 40, 100}},
      {"unknown edge counts as top", 9, 0, {0, 40, 100, 100}, {0, 20, 40, 40}, {0, 0, 40, 20}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    StripLayout l = LayOutStrip(Input(100, 100, row.position, {40, 40, 40, 40}, row.current));
    EXPECT_EQ(l.page_area, row.page_area);
    EXPECT_EQ(l.headers[0], row.header0);
    EXPECT_EQ(l.headers[2], row.header2);
    EXPECT_FALSE(l.scrolls);
    EXPECT_EQ(HeaderAt(l, row.header2.left + 1, row.header2.top + 1), 2);
  }
}

TEST(PageLayout, HeadersNotDrawnTakeNoRoom) {
  StripLayout l = LayOutStrip(Input(200, 100, kHeadersTop, {40, 0, 40}));
  EXPECT_TRUE(l.headers[1].empty());
  EXPECT_EQ(l.headers[2], (PageRect{40, 0, 80, 20}));
  EXPECT_EQ(l.page_area.top, 20);
}

TEST(PageLayout, OneRowScrollsWithTwoButtons) {
  StripInput in = Input(100, 100, kHeadersTop, {40, 40, 40, 40});
  in.multi_row = false;
  StripLayout l = LayOutStrip(in);
  ASSERT_TRUE(l.scrolls);
  EXPECT_EQ(l.visible_end, 100 - 2 * kScrollButtonSide);
  EXPECT_EQ(l.scroll_forward.right, 100);
  EXPECT_EQ(l.page_area.top, 20);
  EXPECT_FALSE(l.can_scroll_back);
  EXPECT_TRUE(l.can_scroll_forward);
  EXPECT_TRUE(HeaderFullyVisible(l, 0));
  EXPECT_FALSE(HeaderFullyVisible(l, 1)) << "cut by the buttons";
  EXPECT_EQ(HeaderAt(l, 70, 5), -1) << "the buttons are no header";

  in.first_visible = 2;
  l = LayOutStrip(in);
  EXPECT_TRUE(l.headers[0].empty());
  EXPECT_EQ(l.headers[2], (PageRect{0, 0, 40, 20}));
  EXPECT_TRUE(l.can_scroll_back);
  EXPECT_TRUE(l.can_scroll_forward);

  in.client_width = 400;  // everything fits: no buttons, no scrolling
  l = LayOutStrip(in);
  EXPECT_FALSE(l.scrolls);
  EXPECT_EQ(l.first_visible, 0);
  EXPECT_EQ(l.headers[0], (PageRect{0, 0, 40, 20}));
}

TEST(PageLayout, SideStripsStackHeadersInColumns) {
  const struct {
    const char* label;
    int32_t position;
    PageRect page_area, header0, header2;
  } rows[] = {
      {"left", kHeadersLeft, {60, 0, 100, 50}, {0, 0, 50, 20}, {50, 0, 60, 20}},
      {"right", kHeadersRight, {0, 0, 40, 50}, {50, 0, 100, 20}, {40, 0, 50, 20}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    StripInput in = Input(100, 50, row.position, {30, 50, 10}, 2);
    in.multi_row = false;  // side strips always wrap
    StripLayout l = LayOutStrip(in);
    EXPECT_EQ(l.page_area, row.page_area);
    EXPECT_EQ(l.headers[0], row.header0);
    EXPECT_EQ(l.headers[2], row.header2);
    EXPECT_EQ(HeaderAt(l, row.header0.left, 25), 1);
  }
}

TEST(PageLayout, StripNeverLargerThanTheClient) {
  StripLayout l = LayOutStrip(Input(30, 30, kHeadersTop, {40, 40, 40}));
  EXPECT_EQ(l.strip.height(), 30);
  EXPECT_EQ(l.page_area.height(), 0);
}

}  // namespace
