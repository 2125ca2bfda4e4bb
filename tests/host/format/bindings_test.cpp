// Event bindings: the program's table, keys that name no handler, and the
// adapter that gives plain procedures the handler shape.
#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <tuple>
#include <utility>

#include "format/handlers.h"
#include "format/program_windows.h"
#include "format/window_ids.h"
#include "forms_test_support.h"

namespace {

// Binds each name to a probe that answers the name's position.
template <size_t... I>
std::vector<HandlerEntry> Probes(const std::vector<std::string>& names, std::index_sequence<I...>) {
  const Handler probes[] = {+[](const int32_t*, int32_t) { return HandlerResult{true, int32_t{I}}; }...};
  std::vector<HandlerEntry> table;
  for (size_t i = 0; i < names.size(); ++i) table.push_back({HandlerKey(names[i]), probes[i]});
  return table;
}

// The names of what each record's events call, read with probes for `names`.
using Binding = std::tuple<uint32_t, uint32_t, int32_t, std::string>;
using Bindings = std::multiset<Binding>;
Bindings BindingsOf(ByteView block, const std::vector<std::string>& names) {
  const std::vector<HandlerEntry> table = Probes(names, std::make_index_sequence<32>{});
  WindowDescriptionTable read;
  EXPECT_TRUE(read.Parse(block, table));
  Bindings found;
  for (const WindowDescription& w : read.windows()) {
    for (const ControlRecord& r : w.records) {
      EXPECT_EQ(r.shares_bindings_of, 0u);
      for (const EventBinding& b : r.bindings) {
        found.insert({w.id, r.id, b.event, b.handler ? names[b.handler(nullptr, 0).value] : "none"});
      }
    }
  }
  return found;
}

TEST(BindingsTest, EveryBindingOfTheProgramNamesItsHandler) {
  const Bindings expected = {
      {ids::MainWindow, ids::MainWindow_Record, 0, "OnStartup"},
      {ids::MainWindow, ids::MainWindow_Record, 2, "OnShutdown"},
      {ids::MainWindow, ids::MainWindow_UpdateButton, 0, "ShowFollowWindow"},
      {ids::MainWindow, ids::MainWindow_HelpButton, 0, "ShowHelpWindow"},
      {ids::MainWindow, ids::MainWindow_PromoButton, 0, "OpenSiteLink15A"},
      {ids::MainWindow, ids::MainWindow_ChatButton1, 0, "OpenChatLink1"},
      {ids::MainWindow, ids::MainWindow_ChatButton2, 0, "OpenChatLink2"},
      {ids::MainWindow, ids::MainWindow_ChatButton3, 0, "OpenChatLink3"},
      {ids::MainWindow, ids::MainWindow_ViewButton1, 0, "OpenSiteLink15B"},
      {ids::MainWindow, ids::MainWindow_ViewButton2, 0, "OpenSiteLink55"},
      {ids::MainWindow, ids::MainWindow_ViewButton3, 0, "OpenSiteLink520"},
      {ids::MainWindow, ids::MainWindow_TabPicture0, -1, "SelectTab0"},
      {ids::MainWindow, ids::MainWindow_TabPicture1, -1, "SelectTab1"},
      {ids::MainWindow, ids::MainWindow_TabPicture2, -1, "SelectTab2"},
      {ids::MainWindow, ids::MainWindow_TabPicture3, -1, "SelectTab3"},
      {ids::MainWindow, ids::MainWindow_PagePicture1, -1, "ShowPage1"},
      {ids::MainWindow, ids::MainWindow_PagePicture2, -1, "ShowPage3"},
      {ids::MainWindow, ids::MainWindow_PagePicture3, -1, "ShowPage2"},
      {ids::MainWindow, ids::MainWindow_PagePicture4, -1, "ShowPage5"},
      {ids::MainWindow, ids::MainWindow_PagePicture5, -1, "ShowPage4"},
      {ids::HelpWindow, ids::HelpWindow_HelpCloseButton, 0, "CloseHelpWindow"},
      {ids::NewVersionWindow, ids::NewVersionWindow_DownloadButton1, 0, "OpenDownloadLink1"},
      {ids::NewVersionWindow, ids::NewVersionWindow_DownloadButton2, 0, "OpenDownloadLink2"},
      {ids::NewVersionWindow, ids::NewVersionWindow_DownloadButton3, 0, "OpenDownloadLink3"},
      {ids::NewVersionWindow, ids::NewVersionWindow_CopyCodeButton1, 0, "CopyAccessCode1"},
      {ids::NewVersionWindow, ids::NewVersionWindow_CopyCodeButton2, 0, "CopyAccessCode2"},
  };
  std::vector<std::string> names;
  for (const Binding& b : expected) names.push_back(std::get<3>(b));
  EXPECT_EQ(BindingsOf(ProgramWindowBlock(), names), expected);
  // A build without a handler of that name binds nothing.
  names[0] = "NotInThisBuild";
  EXPECT_EQ(
      BindingsOf(ProgramWindowBlock(), names).count({ids::MainWindow, ids::MainWindow_Record, 0, "none"}),
      1u);
}

TEST(BindingsTest, KeyMinusOneAndUnknownNamesBindNothing) {
  formc::Json w =
      WindowOfOneRecord("HtmlViewer", {{"FontSize", 1}, {"Offline", 0}, {"Silent", 0}, {"url", ""}});
  w["design_value"] = 7;
  w["handler_module"] = "0x19000001";
  w["records"][0]["events"] = {
      {"Created", "OnStartup"}, {"QueryClose", nullptr}, {"Destroying", "NotInThisBuild"}};
  const std::vector<uint8_t> block = Compile({w});
  EXPECT_EQ(BindingsOf(View(block), {"OnStartup"}), (Bindings{{0x52000001, 0x06000000, 0, "OnStartup"},
                                                              {0x52000001, 0x06000000, 1, "none"},
                                                              {0x52000001, 0x06000000, 2, "none"}}));
  WindowDescriptionTable read;
  ASSERT_TRUE(read.Parse(View(block), {}));
  EXPECT_EQ(std::make_pair(read.windows()[0].design_value, read.windows()[0].handler_module),
            std::make_pair(7u, 0x19000001u));
}

int32_t g_last_x;
void TakesThree(int32_t x, int32_t, int32_t) { g_last_x = x; }
int32_t ReturnsSeven() { return 7; }

TEST(BindingsTest, PlainProceduresAreAdaptedToTheHandlerShape) {
  constexpr HandlerEntry table[] = {VELMORA_HANDLER(TakesThree), VELMORA_HANDLER(ReturnsSeven)};
  static_assert(HandlerKeysUsable(table));
  constexpr HandlerEntry twice[] = {VELMORA_HANDLER(TakesThree), VELMORA_HANDLER(TakesThree)};
  static_assert(!HandlerKeysUsable(twice));
  const int32_t args[] = {11, 22, 33};
  const HandlerResult none = FindHandler(table, HandlerKey("TakesThree"))(args, 3);
  EXPECT_EQ(std::make_pair(none.has_value, g_last_x), std::make_pair(false, 11));
  FindHandler(table, HandlerKey("TakesThree"))(nullptr, 0);
  EXPECT_EQ(g_last_x, 0) << "missing arguments arrive as 0";
  const HandlerResult seven = FindHandler(table, HandlerKey("ReturnsSeven"))(args, 3);
  EXPECT_EQ(std::make_pair(seven.has_value, seven.value), std::make_pair(true, int64_t{7}));
  EXPECT_EQ(FindHandler(table, kNoHandlerKey), nullptr);
}

double g_wide_double;
int32_t g_after_wide;
int64_t TakesWideArguments(int64_t a, double d, int32_t after) {
  g_wide_double = d;
  g_after_wide = after;
  return a;
}
int32_t ReturnsMinusOne() { return -1; }

TEST(BindingsTest, SixtyFourBitArgumentsTakeTwoWordsLowFirst) {
  double d = 2.5;
  uint64_t bits;
  std::memcpy(&bits, &d, 8);
  const int32_t args[] = {static_cast<int32_t>(0x89ABCDEF), 0x01234567, static_cast<int32_t>(bits),
                          static_cast<int32_t>(bits >> 32), 42};
  HandlerResult r = HandlerThunk<&TakesWideArguments>::Call(args, 5);
  EXPECT_EQ(r.value, int64_t{0x0123456789ABCDEF}) << "a 64-bit result is kept whole";
  EXPECT_EQ(g_wide_double, 2.5);
  EXPECT_EQ(g_after_wide, 42) << "the argument after two wide ones starts at word 4";
  HandlerThunk<&TakesWideArguments>::Call(args, 3);
  EXPECT_EQ(g_after_wide, 0) << "a missing high word and argument arrive as 0";
  EXPECT_EQ(HandlerThunk<&ReturnsMinusOne>::Call(nullptr, 0).value, -1) << "a 32-bit result is sign-extended";
}

}  // namespace
