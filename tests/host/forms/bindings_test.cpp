// Event bindings: the program's table, and keys that name no handler.
#include <gtest/gtest.h>

#include <set>
#include <tuple>

#include "forms/program_windows.h"
#include "forms_test_support.h"

namespace {

using Binding = std::tuple<uint32_t, uint32_t, int32_t, std::string>;

TEST(BindingsTest, EveryBindingOfTheProgramNamesItsHandler) {
  const std::set<Binding> expected = {
      {0x52010001, 0x06010000, 0, "OnStartup"},         {0x52010001, 0x06010000, 2, "OnShutdown"},
      {0x52010001, 0x16010119, 0, "ShowFollowWindow"},  {0x52010001, 0x160100a0, 0, "ShowHelpWindow"},
      {0x52010001, 0x1601009e, 0, "OpenSiteLink15A"},   {0x52010001, 0x1601009a, 0, "OpenChatLink1"},
      {0x52010001, 0x16010099, 0, "OpenChatLink2"},     {0x52010001, 0x16010097, 0, "OpenChatLink3"},
      {0x52010001, 0x16010092, 0, "OpenSiteLink15B"},   {0x52010001, 0x16010093, 0, "OpenSiteLink55"},
      {0x52010001, 0x16010094, 0, "OpenSiteLink520"},   {0x52010001, 0x1601002a, -1, "SelectTab0"},
      {0x52010001, 0x1601002b, -1, "SelectTab1"},       {0x52010001, 0x16010064, -1, "SelectTab2"},
      {0x52010001, 0x16010065, -1, "SelectTab3"},       {0x52010001, 0x16010014, -1, "ShowPage1"},
      {0x52010001, 0x16010016, -1, "ShowPage3"},        {0x52010001, 0x16010017, -1, "ShowPage2"},
      {0x52010001, 0x16010018, -1, "ShowPage5"},        {0x52010001, 0x16010019, -1, "ShowPage4"},
      {0x520100a3, 0x160100a7, 0, "CloseHelpWindow"},   {0x520100ab, 0x160100ae, 0, "OpenDownloadLink1"},
      {0x520100ab, 0x160100b1, 0, "OpenDownloadLink2"}, {0x520100ab, 0x160100b4, 0, "OpenDownloadLink3"},
      {0x520100ab, 0x160100bf, 0, "CopyAccessCode1"},   {0x520100ab, 0x160100c4, 0, "CopyAccessCode2"},
  };
  WindowDescriptionTable table;
  ASSERT_TRUE(table.Parse(ProgramWindowBlock(), ProbeHandlers()));
  std::set<Binding> found;
  size_t pairs = 0;
  for (const WindowDescription& w : table.windows()) {
    for (const ControlRecord& r : w.records) {
      EXPECT_EQ(r.shares_bindings_of, 0u);
      for (const EventBinding& b : r.bindings) {
        found.insert({w.id, r.id, b.event, ProbeName(b.handler)});
        ++pairs;
      }
    }
  }
  EXPECT_EQ(found, expected);
  EXPECT_EQ(pairs, expected.size());
  EXPECT_EQ(table.Find(0x5201011c)->handler_module, 0u);
}

TEST(BindingsTest, AnEmptyHandlerTableLeavesEveryBindingWithoutHandler) {
  WindowDescriptionTable table;
  ASSERT_TRUE(table.Parse(ProgramWindowBlock(), {}));
  const ControlRecord& own = table.Find(0x52010001)->records[0];
  ASSERT_EQ(own.bindings.size(), 2u);
  EXPECT_EQ(own.bindings[0].handler, nullptr);
}

TEST(BindingsTest, KeysWithoutAHandlerBindNothing) {
  formc::Json w = formc::Json::parse(R"({
    "id": 1, "design_value": 7, "handler_module": "0x19000001", "texts": ["", ""],
    "shared": {"record": {"visible": 1, "disable": 0, "tag": "", "tab_order": 0, "tab_stop": 0,
                          "MousePointer": "default"}},
    "records": [{"name": "W", "id": 2, "kind": "window", "stored_name": "w", "geometry": [0, 0, 1, 1],
                 "events": {"Created": "OnStartup", "QueryClose": null, "Destroying": "NotInThisBuild"},
                 "properties": {"version": 1, "Caption": "", "Border": 2, "PictureMode": 1, "BackColor": 0,
                   "MaxButton": 0, "MinButton": 0, "ControlBox": 1, "Position": 1, "Movable": 1, "p14": 0,
                   "EnterMovesFocus": 0, "EscCloses": 1, "F1OpensHelp": 0, "HelpContext": 0,
                   "BackPicture": "", "Icon": "", "BackSound": "", "HelpFile": ""}}]})");
  std::vector<uint8_t> block = Compile({w});
  WindowDescriptionTable table;
  ASSERT_TRUE(table.Parse(View(block), ProbeHandlers()));
  const WindowDescription& d = table.windows()[0];
  EXPECT_EQ(d.design_value, 7u);
  EXPECT_EQ(d.handler_module, 0x19000001u);
  const auto& b = d.records[0].bindings;
  ASSERT_EQ(b.size(), 3u);
  EXPECT_EQ(ProbeName(b[0].handler), "OnStartup");
  EXPECT_EQ(b[1].event, 1);
  EXPECT_EQ(b[1].handler, nullptr);  // stored key -1
  EXPECT_EQ(b[2].handler, nullptr);  // a name this build has no procedure for
}

int32_t g_last_x;
void TakesThree(int32_t x, int32_t, int32_t) { g_last_x = x; }
int32_t ReturnsSeven() { return 7; }

TEST(BindingsTest, PlainProceduresAreAdaptedToTheHandlerShape) {
  constexpr HandlerEntry table[] = {VELMORA_HANDLER(TakesThree), VELMORA_HANDLER(ReturnsSeven)};
  static_assert(HandlerKeysUsable(table));
  static_assert(table[0].key == HandlerKey("TakesThree"));
  const int32_t args[] = {11, 22, 33};
  HandlerResult r = FindHandler(table, HandlerKey("TakesThree"))(args, 3);
  EXPECT_FALSE(r.has_value);
  EXPECT_EQ(g_last_x, 11);
  FindHandler(table, HandlerKey("TakesThree"))(nullptr, 0);  // missing arguments arrive as 0
  EXPECT_EQ(g_last_x, 0);
  r = FindHandler(table, HandlerKey("ReturnsSeven"))(args, 3);
  EXPECT_TRUE(r.has_value);
  EXPECT_EQ(r.value, 7);
  EXPECT_EQ(FindHandler(table, kNoHandlerKey), nullptr);
  constexpr HandlerEntry twice[] = {VELMORA_HANDLER(TakesThree), VELMORA_HANDLER(TakesThree)};
  static_assert(!HandlerKeysUsable(twice));
}

}  // namespace
