#include "forms_test_support.h"

#include <gtest/gtest.h>

#include <array>
#include <utility>

namespace {

constexpr const char* kNames[] = {
    "OnStartup",       "OnShutdown",      "ShowFollowWindow",  "ShowHelpWindow",    "OpenSiteLink15A",
    "OpenChatLink1",   "OpenChatLink2",   "OpenChatLink3",     "OpenSiteLink15B",   "OpenSiteLink55",
    "OpenSiteLink520", "SelectTab0",      "SelectTab1",        "SelectTab2",        "SelectTab3",
    "ShowPage1",       "ShowPage2",       "ShowPage3",         "ShowPage4",         "ShowPage5",
    "CloseHelpWindow", "OpenDownloadLink1", "OpenDownloadLink2", "OpenDownloadLink3", "CopyAccessCode1",
    "CopyAccessCode2"};
constexpr size_t kCount = sizeof kNames / sizeof kNames[0];

template <size_t N>
HandlerResult Probe(const int32_t*, int32_t) {
  return {true, static_cast<int32_t>(N)};
}

template <size_t... I>
std::array<HandlerEntry, kCount> MakeTable(std::index_sequence<I...>) {
  return {HandlerEntry{HandlerKey(kNames[I]), &Probe<I>}...};
}

const std::array<HandlerEntry, kCount> kTable = MakeTable(std::make_index_sequence<kCount>{});

}  // namespace

std::string Gbk(const std::string& utf8) { return formc::ToGbk(utf8); }
std::string Str(ByteView v) { return std::string(reinterpret_cast<const char*>(v.data), v.size); }

HandlerTable ProbeHandlers() { return kTable; }

std::string ProbeName(Handler h) {
  for (size_t i = 0; i < kCount; ++i) {
    if (h && kTable[i].handler == h) return kNames[i];
  }
  return "";
}

std::vector<uint8_t> Compile(const std::vector<formc::Json>& windows, std::string* error) {
  std::vector<formc::WindowSource> sources;
  for (const formc::Json& j : windows) sources.push_back({j, VELMORA_ASSETS "/forms", "test"});
  std::string reason;
  std::vector<uint8_t> block = formc::CompileWindowsOrError(sources, &reason);
  if (error) {
    *error = reason;
  } else {
    EXPECT_EQ(reason, "");
  }
  return block;
}
