// Selecting pages, the tab control's answers and the property table, seen
// through what the model asks of its window.
#include "components/page_model.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace {

using Log = std::vector<std::string>;

// Records what the model asks of its window, in order.
class LogHost final : public PageHost {
 public:
  Log log;
  int32_t cancel_changing_to = -2;  // a changing notice for this index is cancelled
  std::function<void(PageNotice)> on_notice;

  bool Notify(PageNotice n, int32_t index) override {
    static const char* names[] = {"", "changed", "changing", "clicked", "hovered", "right-clicked"};
    log.push_back(std::string(names[static_cast<int>(n)]) +
                  (n == PageNotice::kChanged ? "" : " " + std::to_string(index)));
    if (on_notice) on_notice(n);
    return n == PageNotice::kChanging && index == cancel_changing_to;
  }
  void RefreshPageChildren() override { log.push_back("refresh"); }
  void HideAllChildren() override { log.push_back("hide all"); }
  void Repaint() override {}
  void ClientSize(int32_t* w, int32_t* h) override { *w = 400, *h = 300; }
  int32_t FontHeight() override { return 12; }
  int32_t HeaderExtent(const Page&, bool) override { return 50; }
  Log Take() { return std::exchange(log, {}); }
};

struct PageSpec {
  int32_t shown = 1, enabled = 1, excluded = 0;
};
const std::vector<PageSpec> kFourPages(4);

ByteBuffer Block(const std::vector<PageSpec>& specs, int32_t current, bool hide_headers = true, int32_t p48 = 0,
                 int32_t p49 = 0) {
  std::vector<Page> pages(specs.size());
  for (size_t i = 0; i < specs.size(); ++i) {
    pages[i].shown = specs[i].shown, pages[i].enabled = specs[i].enabled, pages[i].excluded = specs[i].excluded;
  }
  const ByteBuffer list = EncodePageList(pages);
  PageControlProperties props;
  props.CurrentPage = current;
  props.HideHeaders = hide_headers;
  props.HiddenPagesSelectable = p48, props.DisabledPagesSelectable = p49;
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
    model.Relayout();
    host.Take();
  }
  // By property index, as the application numbers them.
  void Set(int32_t index, int64_t v) {
    PropertyIn in;
    in.number = v;
    model.SetProperty(index - 8, -1, in);
  }
  int64_t Get(int32_t index) {
    PropertyOut out;
    EXPECT_TRUE(model.GetProperty(index - 8, -1, &out)) << index;
    return out.number;
  }
};

TEST(PageModel, LoadingSelectsTheStoredPageQuietlyThenRefreshesOnce) {
  const struct {
    const char* label;
    std::vector<PageSpec> pages;
    int32_t stored;
    bool design;
    int32_t after_creation, after_load;
  } rows[] = {
      {"stored page", kFourPages, 3, false, 3, 3},
      {"stored -1", kFourPages, -1, false, 0, 0},
      {"stored past the end", kFourPages, 4, false, 0, 0},
      {"stored page disabled: load complete selects it unchecked", {{1, 0}, {}}, 0, false, 1, 0},
      {"no selectable page", {{0, 0}, {1, 0}}, 0, false, -1, 0},
      {"design: every page is selectable", {{}, {0, 0}}, 1, true, 1, 1},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    LogHost host;
    PageModel model(&host);
    ASSERT_TRUE(model.Load(ViewOf(Block(row.pages, row.stored)), row.design));
    EXPECT_TRUE(model.creating());
    model.FinishCreation();
    EXPECT_FALSE(model.creating());
    EXPECT_EQ(model.current(), row.after_creation);
    const Log raised = row.after_creation < 0 ? Log{}
                                              : Log{"changing " + std::to_string(row.after_creation), "changed"};
    EXPECT_EQ(host.Take(), raised) << "the page events are raised while creating; the children are not refreshed";
    model.LoadComplete();
    EXPECT_EQ(model.current(), row.after_load);
    if (row.stored == row.after_creation && row.stored == row.after_load) {
      EXPECT_EQ(host.Take(), Log{"refresh"});
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
    EXPECT_EQ(m.model.HeaderDrawn(1), row.page.shown || row.p48) << "a hidden page's header is drawn with 48";
    m.Set(12, 1);
    EXPECT_EQ(m.model.current(), row.selectable ? 1 : 0);
  }
}

// -1, past the end and the current page again: the Wine tests.
TEST(PageModel, WritingCurrentPage) {
  const PageSpec excluded{1, 1, 1};
  const struct {
    const char* label;
    std::vector<PageSpec> pages;
    int32_t cancel;
    int64_t value;
    int32_t current;
    Log log;
  } rows[] = {
      {"another page", kFourPages, -2, 2, 2, {"changing 2", "refresh", "changed"}},
      {"far past the end", kFourPages, -2, 0x7FFFFFFF, 1, {}},
      {"changing handler says no", kFourPages, 2, 2, 1, {"changing 2"}},
      {"excluded page: hide all", {{}, {}, excluded}, -2, 2, 2, {"changing 2", "hide all", "changed"}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    Made m(Block(row.pages, 1));
    m.host.cancel_changing_to = row.cancel;
    m.Set(12, row.value);
    EXPECT_EQ(m.model.current(), row.current);
    EXPECT_EQ(m.model.stored_current(), row.current);
    EXPECT_EQ(m.Get(12), row.current);
    EXPECT_EQ(m.host.Take(), row.log);
    PageControlProperties saved;
    ASSERT_EQ(ReadPageControlProperties(ViewOf(m.model.Save()), &saved), StreamResult::kOk);
    EXPECT_EQ(saved.CurrentPage, row.current);
  }
}

TEST(PageModel, ChangedHandlerMaySelectAgain) {
  Made m(Block(kFourPages, 0));
  m.host.on_notice = [&](PageNotice n) {
    if (n == PageNotice::kChanged && m.model.current() == 1) m.Set(12, 3);
  };
  m.Set(12, 1);
  EXPECT_EQ(m.model.current(), 3);
  EXPECT_EQ(m.host.Take(), (Log{"changing 1", "refresh", "changed", "changing 3", "refresh", "changed"}));
}

TEST(PageModel, TabControlAnswersCountOnlyPagesNotExcluded) {
  // Pages 0 and 2 are excluded: the window sees pages 1, 3, 4 as 0, 1, 2. Page 4 is disabled.
  Made m(Block({{1, 1, 1}, {}, {1, 1, 1}, {}, {1, 0}}, 3));
  EXPECT_EQ(m.model.ItemCount(), 3);
  EXPECT_EQ(m.model.CurrentPosition(), 1);
  const struct {
    const char* label;
    int32_t position, cancel, answer, current;
  } rows[] = {
      {"-1", -1, -2, -1, 3},
      {"past the end", 3, -2, -1, 3},
      {"the current position", 1, -2, 1, 3},
      {"position 2 is page 4, selected without the check", 2, -2, 1, 4},
      {"the changing handler still says no", 0, 1, -1, 4},
      {"position 0 is page 1", 0, -2, 2, 1},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    m.host.cancel_changing_to = row.cancel;
    EXPECT_EQ(m.model.SelectPosition(row.position), row.answer);
    EXPECT_EQ(m.model.current(), row.current);
  }
}

TEST(PageModel, HeaderMouse) {
  // Headers are 50 wide; page 2 is disabled. Hit testing: the Wine tests.
  Made m(Block({{}, {}, {1, 0}}, 0, false));
  m.model.MouseMove(60, 5);
  m.model.MouseMove(61, 6);  // same header: nothing new
  m.model.LeftButtonDown(60, 5);
  m.model.LeftButtonDown(110, 5);  // disabled page: nothing
  m.model.RightButtonUp(10, 5);
  EXPECT_EQ(m.host.Take(), (Log{"hovered 1", "clicked 1", "changing 1", "refresh", "changed", "right-clicked 0"}));

  m.Set(14, 1);  // HeadersLocked
  m.model.LeftButtonDown(10, 5);
  m.model.RightButtonUp(10, 5);
  EXPECT_EQ(m.host.Take(), Log{});
  EXPECT_EQ(m.model.current(), 1);

  m.Set(62, 1);  // no hover notice for the current page's header
  m.model.MouseMove(60, 5);
  m.model.MouseMove(10, 5);
  EXPECT_EQ(m.host.Take(), Log{"hovered 0"});
}

TEST(PageModel, SelectingScrollsTheRowToShowTheHeader) {
  Made m(Block(std::vector<PageSpec>(10), 0, false));
  m.Set(9, 0);  // one scrolling row
  m.model.Relayout();
  ASSERT_TRUE(m.model.layout().scrolls);
  m.Set(12, 8);
  EXPECT_TRUE(HeaderFullyVisible(m.model.layout(), 8));
  EXPECT_EQ(m.model.layout().first_visible, 8);
  m.model.Scroll(-1);
  EXPECT_EQ(m.model.layout().first_visible, 7);
}

TEST(PageModel, PropertyWrites) {
  using Writes = std::vector<std::pair<int32_t, int64_t>>;
  const struct {
    const char* label;
    Writes writes;
    int32_t index;
    int64_t read;
  } rows[] = {
      {"HeaderPosition 3", {{8, 3}}, 8, 3},
      {"HeaderPosition 7 ignored", {{8, 7}}, 8, 0},
      {"HeaderPosition -1 ignored", {{8, -1}}, 8, 0},
      {"MultiRow any non-zero is 1", {{9, 5}}, 9, 1},
      {"20 clears 19", {{19, 1}, {20, 1}}, 19, 0},
      {"19 clears 20", {{20, 1}, {19, 1}}, 20, 0},
      {"19 written 0 clears nothing", {{20, 1}, {19, 0}}, 20, 1},
      {"21 takes 1", {{21, 1}}, 21, 1},
      {"21 refuses 2", {{21, 2}}, 21, 0},
      {"colour 35", {{35, 0x123456}}, 35, 0x123456},
      {"colour 54 keeps the top byte", {{54, 0xFF000000}}, 54, 0xFF000000},
      {"page area is read-only", {{58, 77}}, 58, 0},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    Made m(Block(kFourPages, 0));
    for (const auto& [index, value] : row.writes) m.Set(index, value);
    EXPECT_EQ(m.Get(row.index), row.read);
  }
}

TEST(PageModel, HiddenIndexesHaveNoEffect) {
  Made m(Block(kFourPages, 0));
  const ByteBuffer before = m.model.Save();
  for (int32_t index : {15, 16, 17, 26, 27, 32, 33, 36, 37, 41, 42, 43, 45, 46, 50, 51, 52, 57, 63, 100}) {
    m.Set(index, 1);
    PropertyOut out;
    EXPECT_FALSE(m.model.GetProperty(index - 8, -1, &out)) << index;
  }
  EXPECT_EQ(m.model.Save(), before);
}

TEST(PageModel, BlockPropertiesAreCopiesInAndOut) {
  Made m(Block(kFourPages, 2));
  auto set = [&](int32_t index, const ByteBuffer& block) {
    Bytes value(block.empty() ? nullptr : NewByteArray(block.data(), static_cast<int32_t>(block.size())));
    PropertyIn in;
    in.bytes = value.get();
    return m.model.SetProperty(index, -1, in);
  };
  auto get = [&](int32_t index) {
    PropertyOut out;
    EXPECT_TRUE(m.model.GetProperty(index, -1, &out));
    return std::move(out.bytes);
  };
  // A new list rebuilds the pages; the current page stays when it still exists.
  const ByteBuffer three = EncodePageList(std::vector<Page>(3));
  set(kPropPages, three);
  EXPECT_EQ(m.model.current(), 2);
  const Bytes pages = get(kPropPages);
  EXPECT_EQ(ByteBuffer(pages.data(), pages.data() + pages.size()), three);
  // A list that drops the current page selects the first selectable one.
  m.host.Take();
  set(kPropPages, EncodePageList({Page{}}));
  EXPECT_EQ(m.model.current(), 0);
  EXPECT_EQ(m.host.Take(), (Log{"changing 0", "refresh", "changed"}));

  // An image list is kept as written and handed out as a new copy each time.
  EXPECT_EQ(set(kPropHeaderImages, ByteBuffer{'M', 'I', 'T', 'L', 0, 0, 0, 0, 'a', 'b', 'c'}), PageChange::kImages);
  const Bytes a = get(kPropHeaderImages), b = get(kPropHeaderImages);
  EXPECT_NE(a.get(), b.get());
  EXPECT_EQ(a.size(), 11);
  set(kPropHeaderImages, {});
  EXPECT_EQ(get(kPropHeaderImages).get(), nullptr);
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

}  // namespace
