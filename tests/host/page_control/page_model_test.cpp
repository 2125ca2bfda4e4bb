// Selecting pages, the tab control's answers and the property table, seen
// through what the model asks of its window.
#include "components/page_model.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

// Records what the model asks of its window, in order.
class LogHost final : public PageHost {
 public:
  std::vector<std::string> log;
  int32_t cancel_changing_to = -2;  // a changing notice for this index is cancelled
  int32_t client_w = 400, client_h = 300;
  std::function<void(PageNotice, int32_t)> on_notice;

  bool Notify(PageNotice n, int32_t index) override {
    static const char* names[] = {"", "changed", "changing", "clicked", "hovered", "right-clicked"};
    log.push_back(std::string(names[static_cast<int>(n)]) +
                  (n == PageNotice::kChanged ? "" : " " + std::to_string(index)));
    if (on_notice) on_notice(n, index);
    return n == PageNotice::kChanging && index == cancel_changing_to;
  }
  void RefreshPageChildren() override { log.push_back("refresh"); }
  void HideAllChildren() override { log.push_back("hide all"); }
  void Repaint() override {}
  void ClientSize(int32_t* w, int32_t* h) override { *w = client_w, *h = client_h; }
  int32_t FontHeight() override { return 12; }
  int32_t HeaderExtent(const Page&, bool) override { return 50; }
  std::vector<std::string> Take() { return std::exchange(log, {}); }
};

using Log = std::vector<std::string>;

struct PageSpec {
  int32_t shown = 1, enabled = 1, excluded = 0;
};

ByteBuffer Block(const std::vector<PageSpec>& specs, int32_t current, bool hide_headers = true,
                 int32_t p48 = 0, int32_t p49 = 0) {
  std::vector<Page> pages;
  for (const PageSpec& s : specs) {
    Page p;
    p.caption = "page " + std::to_string(pages.size());
    p.shown = s.shown;
    p.enabled = s.enabled;
    p.excluded = s.excluded;
    pages.push_back(p);
  }
  const ByteBuffer list = EncodePageList(pages);
  PageControlProperties props;
  props.CurrentPage = current;
  props.HideHeaders = hide_headers;
  props.p48 = p48;
  props.p49 = p49;
  props.Pages = ViewOf(list);
  return EncodePageControlProperties(props);
}

// A model made and loaded as the window loader does, its log cleared.
struct Made {
  LogHost host;
  PageModel model{&host};
  explicit Made(const ByteBuffer& block, bool design = false) {
    EXPECT_TRUE(model.Load(ViewOf(block), design));
    model.FinishCreation();
    model.LoadComplete();
    host.Take();
  }
  void SetNumber(int32_t index, int64_t v) {
    PropertyIn in;
    in.number = v;
    model.SetProperty(index - 8, -1, in);
  }
  int64_t GetNumber(int32_t index) {
    PropertyOut out;
    EXPECT_TRUE(model.GetProperty(index - 8, -1, &out)) << index;
    return out.number;
  }
};

const std::vector<PageSpec> kFourPages(4);

TEST(PageModel, CreationIsQuietAndLoadCompleteRefreshesOnce) {
  LogHost host;
  PageModel model(&host);
  ASSERT_TRUE(model.Load(ViewOf(Block(kFourPages, 3)), false));
  EXPECT_TRUE(model.creating());
  model.FinishCreation();
  EXPECT_EQ(model.current(), 3);
  EXPECT_FALSE(model.creating());
  EXPECT_EQ(host.Take(), Log{}) << "nothing is raised or refreshed while creating";
  model.LoadComplete();
  EXPECT_EQ(host.Take(), Log{"refresh"});
}

TEST(PageModel, StoredPageThatCannotBeSelectedFallsBackToTheFirstSelectable) {
  const struct {
    const char* label;
    int32_t stored;
    std::vector<PageSpec> pages;
    int32_t after_creation, after_load;
  } rows[] = {
      {"stored -1", -1, kFourPages, 0, 0},
      {"stored past the end", 4, kFourPages, 0, 0},
      {"stored page disabled", 0, {{1, 0}, {1, 1}}, 1, 0},  // load completes without the check
      {"no selectable page", 0, {{0, 0}, {1, 0}}, -1, 0},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    LogHost host;
    PageModel model(&host);
    ASSERT_TRUE(model.Load(ViewOf(Block(row.pages, row.stored)), false));
    model.FinishCreation();
    EXPECT_EQ(model.current(), row.after_creation);
    model.LoadComplete();
    if (row.stored >= 0 && row.stored < static_cast<int32_t>(row.pages.size())) {
      EXPECT_EQ(model.current(), row.after_load);
    } else {
      EXPECT_EQ(model.current(), row.after_creation) << "a missing page selects nothing";
    }
  }
}

TEST(PageModel, SelectableRule) {
  const struct {
    const char* label;
    PageSpec page;
    int32_t p48, p49;
    bool design, selectable;
  } rows[] = {
      {"shown, enabled", {1, 1}, 0, 0, false, true},
      {"shown, disabled", {1, 0}, 0, 0, false, false},
      {"shown, disabled, 49", {1, 0}, 0, 1, false, true},
      {"hidden, enabled", {0, 1}, 0, 0, false, false},
      {"hidden, enabled, 48", {0, 1}, 1, 0, false, true},
      {"hidden, disabled, 48", {0, 0}, 1, 0, false, false},
      {"hidden, disabled, 49", {0, 0}, 0, 1, false, false},
      {"hidden, disabled, 48 and 49", {0, 0}, 1, 1, false, true},
      {"hidden, disabled, design", {0, 0}, 0, 0, true, true},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    Made m(Block({{}, row.page}, 0, true, row.p48, row.p49), row.design);
    EXPECT_EQ(m.model.Selectable(1), row.selectable);
    EXPECT_EQ(m.model.HeaderDrawn(1), row.page.shown || row.p48);
    m.SetNumber(12, 1);
    EXPECT_EQ(m.model.current(), row.selectable ? 1 : 0);
  }
}

TEST(PageModel, WritingCurrentPage) {
  const struct {
    const char* label;
    int64_t value;
    int32_t current;
    Log log;
  } rows[] = {
      {"another page", 2, 2, {"changing 2", "refresh", "changed"}},
      {"the current page again", 1, 1, {}},
      {"-1", -1, 1, {}},
      {"past the end", 4, 1, {}},
      {"far past the end", 0x7FFFFFFF, 1, {}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    Made m(Block(kFourPages, 1));
    m.SetNumber(12, row.value);
    EXPECT_EQ(m.model.current(), row.current);
    EXPECT_EQ(m.model.stored_current(), row.current);
    EXPECT_EQ(m.GetNumber(12), row.current);
    EXPECT_EQ(m.host.Take(), row.log);
  }
}

TEST(PageModel, ChangingHandlerReturningFalseKeepsTheOldPage) {
  Made m(Block(kFourPages, 0));
  m.host.cancel_changing_to = 2;
  m.SetNumber(12, 2);
  EXPECT_EQ(m.model.current(), 0);
  EXPECT_EQ(m.host.Take(), Log{"changing 2"}) << "no refresh, no changed";
  m.SetNumber(12, 3);
  EXPECT_EQ(m.model.current(), 3);
}

TEST(PageModel, ExcludedPageHidesAllChildrenInsteadOfRefreshing) {
  Made m(Block({{}, {1, 1, 1}, {}}, 0));
  m.SetNumber(12, 1);
  EXPECT_EQ(m.model.current(), 1);
  EXPECT_EQ(m.host.Take(), (Log{"changing 1", "hide all", "changed"}));
  EXPECT_EQ(m.model.CurrentPosition(), -1) << "an excluded page has no position";
}

TEST(PageModel, ChangedHandlerMaySelectAgain) {
  Made m(Block(kFourPages, 0));
  bool once = false;
  m.host.on_notice = [&](PageNotice n, int32_t) {
    if (n == PageNotice::kChanged && !once) {
      once = true;
      m.SetNumber(12, 3);
    }
  };
  m.SetNumber(12, 1);
  EXPECT_EQ(m.model.current(), 3);
  EXPECT_EQ(m.host.Take(), (Log{"changing 1", "refresh", "changed", "changing 3", "refresh", "changed"}));
}

TEST(PageModel, TabControlAnswersCountOnlyPagesNotExcluded) {
  // Pages 0 and 2 are excluded: the window sees pages 1, 3, 4 as 0, 1, 2.
  Made m(Block({{1, 1, 1}, {}, {1, 1, 1}, {}, {}}, 3));
  EXPECT_EQ(m.model.ItemCount(), 3);
  EXPECT_EQ(m.model.CurrentPosition(), 1);

  const struct {
    const char* label;
    int32_t position, answer, current;
  } rows[] = {
      {"-1", -1, -1, 3},
      {"past the end", 3, -1, 3},
      {"the current position", 1, 1, 3},
      {"position 2 is page 4", 2, 1, 4},
      {"position 0 is page 1", 0, 2, 1},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    EXPECT_EQ(m.model.SelectPosition(row.position), row.answer);
    EXPECT_EQ(m.model.current(), row.current);
  }
}

TEST(PageModel, SetCurSelSkipsTheCheckButNotTheChangingHandler) {
  Made m(Block({{}, {1, 0}}, 0));
  EXPECT_EQ(m.model.SelectPosition(1), 0) << "a disabled page is selected without the check";
  EXPECT_EQ(m.model.current(), 1);
  m.host.cancel_changing_to = 0;
  EXPECT_EQ(m.model.SelectPosition(0), -1);
  EXPECT_EQ(m.model.current(), 1);
}

TEST(PageModel, HitTestFlags) {
  Made m(Block({{}, {}, {1, 1, 1}}, 0, false));
  m.model.Relayout();
  const struct {
    const char* label;
    int32_t x, y, answer;
    uint32_t flags;
  } rows[] = {
      {"first header", 10, 5, 0, 6},
      {"second header", 60, 5, 1, 6},
      {"excluded page's header", 110, 5, -1, 1},
      {"right of the headers", 200, 5, -1, 1},
      {"page area", 10, 100, -1, 1},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    uint32_t flags = 0;
    EXPECT_EQ(m.model.HitTest(row.x, row.y, &flags), row.answer);
    EXPECT_EQ(flags, row.flags);
  }
  Made hidden(Block(kFourPages, 0, true));
  uint32_t flags = 0;
  EXPECT_EQ(hidden.model.HitTest(10, 5, &flags), -1);
  EXPECT_EQ(flags, 1u) << "hidden headers are never hit";
}

TEST(PageModel, PageAreaFollowsTheStrip) {
  const struct {
    const char* label;
    bool hide;
    int32_t left, top, width, height;
  } rows[] = {
      {"hidden headers: the client area", true, 0, 0, 400, 300},
      {"one row on top", false, 0, 20, 400, 280},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    Made m(Block(kFourPages, 0, row.hide));
    m.model.Relayout();
    EXPECT_EQ(m.GetNumber(58), row.left);
    EXPECT_EQ(m.GetNumber(59), row.top);
    EXPECT_EQ(m.GetNumber(60), row.width);
    EXPECT_EQ(m.GetNumber(61), row.height);
  }
}

TEST(PageModel, HeaderMouse) {
  Made m(Block({{}, {}, {1, 0}}, 0, false));
  m.model.Relayout();
  m.model.MouseMove(60, 5);
  m.model.MouseMove(61, 6);  // same header: nothing new
  m.model.LeftButtonDown(60, 5);
  m.model.LeftButtonDown(110, 5);  // disabled page: nothing
  m.model.RightButtonUp(10, 5);
  EXPECT_EQ(m.host.Take(),
            (Log{"hovered 1", "clicked 1", "changing 1", "refresh", "changed", "right-clicked 0"}));

  m.SetNumber(14, 1);  // HeadersLocked
  m.model.LeftButtonDown(10, 5);
  m.model.RightButtonUp(10, 5);
  EXPECT_EQ(m.host.Take(), Log{});
  EXPECT_EQ(m.model.current(), 1);

  m.SetNumber(62, 1);  // no hover notice for the current page's header
  m.model.MouseMove(60, 5);
  m.model.MouseMove(10, 5);
  EXPECT_EQ(m.host.Take(), Log{"hovered 0"});
}

TEST(PageModel, SelectingScrollsTheRowToShowTheHeader) {
  Made m(Block(std::vector<PageSpec>(10), 0, false));
  m.SetNumber(9, 0);  // one scrolling row
  m.model.Relayout();
  ASSERT_TRUE(m.model.layout().scrolls);
  m.SetNumber(12, 8);
  EXPECT_TRUE(HeaderFullyVisible(m.model.layout(), 8));
  EXPECT_EQ(m.model.layout().first_visible, 8);
  m.model.Scroll(-1);
  EXPECT_EQ(m.model.layout().first_visible, 7);
}

TEST(PageModel, PropertyWrites) {
  const struct {
    const char* label;
    int32_t index;
    int64_t value, read;
  } rows[] = {
      {"HeaderPosition 3", 8, 3, 3},
      {"HeaderPosition 7 ignored", 8, 7, 0},
      {"HeaderPosition -1 ignored", 8, -1, 0},
      {"MultiRow any non-zero is 1", 9, 5, 1},
      {"HeaderHeight", 18, 33, 33},
      {"21 takes 1", 21, 1, 1},
      {"21 refuses 2", 21, 2, 0},
      {"colour 35", 35, 0x123456, 0x123456},
      {"colour 54 keeps the top byte", 54, 0xFF000000, 0xFF000000},
      {"page area is read-only", 58, 77, 0},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    Made m(Block(kFourPages, 0));
    m.model.Relayout();
    m.SetNumber(row.index, row.value);
    EXPECT_EQ(m.GetNumber(row.index), row.read);
  }
}

TEST(PageModel, StylesNineteenAndTwentyClearEachOther) {
  Made m(Block(kFourPages, 0));
  EXPECT_EQ(m.GetNumber(19), 1);
  EXPECT_EQ(m.GetNumber(20), 0);
  m.SetNumber(20, 1);
  EXPECT_EQ(m.GetNumber(19), 0);
  EXPECT_EQ(m.GetNumber(20), 1);
  m.SetNumber(19, 1);
  EXPECT_EQ(m.GetNumber(19), 1);
  EXPECT_EQ(m.GetNumber(20), 0);
  m.SetNumber(19, 0);  // the inactive value clears nothing
  EXPECT_EQ(m.GetNumber(19), 0);
  EXPECT_EQ(m.GetNumber(20), 0);
}

TEST(PageModel, HiddenIndexesHaveNoEffect) {
  Made m(Block(kFourPages, 0));
  const ByteBuffer before = m.model.Save();
  for (int32_t index : {15, 16, 17, 26, 27, 32, 33, 36, 37, 41, 42, 43, 45, 46, 50, 51, 52, 57, 63, 100}) {
    SCOPED_TRACE(index);
    m.SetNumber(index, 1);
    PropertyOut out;
    EXPECT_FALSE(m.model.GetProperty(index - 8, -1, &out));
  }
  EXPECT_EQ(m.model.Save(), before);
}

TEST(PageModel, BlockPropertiesAreCopiesInAndOut) {
  Made m(Block(kFourPages, 2));
  // Pages: a new list rebuilds the pages; the current page stays when it still exists.
  Page only;
  only.caption = "x";
  const ByteBuffer list = EncodePageList({only, only, only});
  Bytes value(NewByteArray(list.data(), static_cast<int32_t>(list.size())));
  PropertyIn in;
  in.bytes = value.get();
  m.model.SetProperty(kPropPages, -1, in);
  EXPECT_EQ(m.model.pages().size(), 3u);
  EXPECT_EQ(m.model.current(), 2);
  PropertyOut out;
  ASSERT_TRUE(m.model.GetProperty(kPropPages, -1, &out));
  EXPECT_EQ(ByteBuffer(out.bytes.data(), out.bytes.data() + out.bytes.size()), list);

  // A list that drops the current page selects the first selectable one.
  const ByteBuffer one = EncodePageList({only});
  Bytes short_list(NewByteArray(one.data(), static_cast<int32_t>(one.size())));
  in.bytes = short_list.get();
  m.host.Take();
  m.model.SetProperty(kPropPages, -1, in);
  EXPECT_EQ(m.model.current(), 0);
  EXPECT_EQ(m.host.Take(), (Log{"changing 0", "refresh", "changed"}));

  // An image list is kept as written and handed out as a new copy.
  const char mark[] = "MITL\0\0\0\0abc";
  Bytes images(NewByteArray(mark, 11));
  in.bytes = images.get();
  EXPECT_EQ(m.model.SetProperty(kPropHeaderImages, -1, in), PageChange::kImages);
  PropertyOut a, b;
  ASSERT_TRUE(m.model.GetProperty(kPropHeaderImages, -1, &a));
  ASSERT_TRUE(m.model.GetProperty(kPropHeaderImages, -1, &b));
  EXPECT_NE(a.bytes.get(), b.bytes.get());
  EXPECT_EQ(a.bytes.size(), 11);
  in.bytes = nullptr;
  m.model.SetProperty(kPropHeaderImages, -1, in);
  PropertyOut empty;
  ASSERT_TRUE(m.model.GetProperty(kPropHeaderImages, -1, &empty));
  EXPECT_EQ(empty.bytes.get(), nullptr);
}

TEST(PageModel, FontWriteClearsTheDefaultFontFlag) {
  PageControlProperties props;
  props.DefaultFont = 1;
  const ByteBuffer list = EncodePageList({Page{}});
  props.Pages = ViewOf(list);
  Made m(EncodePageControlProperties(props));
  PropertyIn in;
  in.number = 20;
  EXPECT_EQ(m.model.SetProperty(kPropFont, kFontSize, in), PageChange::kFont);
  EXPECT_EQ(m.model.properties().DefaultFont, 0);
  EXPECT_EQ(m.model.properties().Font.lfHeight, -20);
  EXPECT_EQ(m.model.SetProperty(kPropFont, 9, in), PageChange::kNone) << "no such font field";
}

TEST(PageModel, DesignFlagReadsTheStoredPage) {
  Made m(Block({{}, {0, 0}}, 1), true);
  EXPECT_EQ(m.model.current(), 1) << "every page is selectable in design";
  EXPECT_EQ(m.GetNumber(12), 1);
}

TEST(PageModel, SaveWritesTheStoredCurrentPage) {
  Made m(Block(kFourPages, 3));
  m.SetNumber(12, 0);
  PageControlProperties back;
  const ByteBuffer saved = m.model.Save();
  ASSERT_EQ(ReadPageControlProperties(ViewOf(saved), &back), StreamResult::kOk);
  EXPECT_EQ(back.CurrentPage, 0);
  EXPECT_EQ(back.version, kPageControlStreamVersion);
}

}  // namespace
