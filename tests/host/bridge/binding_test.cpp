// Where an entry is looked for, what stays loaded, and the fatal report when
// nothing supplies it.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "base/value.h"
#include "fake_libraries.h"
#include "services/services.h"

namespace {

using Log = std::vector<std::string>;

void* Address(int n) { return reinterpret_cast<void*>(static_cast<uintptr_t>(0x1000 + n)); }

const std::string kReportHead =
    "\xD4\xCB\xD0\xD0\xCA\xB1\xB3\xF6\xB4\xED!\r\n\r\n"                                 // 运行时出错!
    "\xB4\xED\xCE\xF3\xD0\xC5\xCF\xA2\xA3\xBA";                                         // 错误信息：
const std::string kCannotFind = "\xCE\xDE\xB7\xA8\xD5\xD2\xB5\xBD\xD6\xB8\xB6\xA8";     // 无法找到指定
const std::string kLibraryFile = "DLL\xBF\xE2\xCE\xC4\xBC\xFE";                         // DLL库文件
const std::string kOpen = "\xA1\xB0", kClose = "\xA1\xB1";                              // “ ”
const std::string kOutputCommand = "\xD6\xD0\xB5\xC4\xCA\xE4\xB3\xF6\xC3\xFC\xC1\xEE";  // 中的输出命令

std::string NamedFailure(const std::string& library, const std::string& entry) {
  return kCannotFind + kLibraryFile + kOpen + library + kClose + kOutputCommand + kOpen + entry + kClose;
}
std::string UnnamedFailure(const std::string& entry) {
  return kCannotFind + kLibraryFile + kOutputCommand + kOpen + entry + kClose;
}

class BindingTest : public testing::Test {
 protected:
  void SetUp() override {
    InitValueModel();
    RecordRunDirectory("C:\\run\\velmora.exe", IsGbkLeadByte);
    g_fake_libraries = {
        {"C:\\run\\twin.dll", {{"Which", 1, Address(1)}}},
        {"twin.dll", {{"Which", 1, Address(2)}}},
        {"only.dll", {{"Which", 1, Address(3)}}},
        {"D:\\lib\\twin.dll", {{"Which", 1, Address(4)}}},
        {"C:\\run\\ord.dll", {{nullptr, 12, Address(5)}, {"Named", 13, Address(6)}}},
        {"Kernel32.dll", {{"Sleep", 1, Address(7)}}},
        {"Gdi32.dll", {{"BitBlt", 1, Address(8)}}},
        {"User32.dll", {{"MessageBeep", 1, Address(9)}}},
        {"Advapi32.dll", {}},
        {"Mpr.dll", {}},
        {"Shell32.dll", {}},
    };
    g_fake_log.clear();
  }
  void Bind(const char* library, const char* entry) {
    libraries_ = {library};
    entries_ = {entry};
    InitNativeBinding(Declare(libraries_, entries_), kFakeLibraryCalls);
  }
  std::vector<const char*> libraries_, entries_;
};

struct BindRow {
  const char* label;
  const char* library;
  const char* entry;
  Log log;
  int address;
};

const BindRow kBindRows[] = {
    {"run directory first", "twin.dll", "Which", {"load C:\\run\\twin.dll", "find Which"}, 1},
    {"a drive path exactly", "D:\\lib\\twin.dll", "Which", {"load D:\\lib\\twin.dll", "find Which"}, 4},
    {"ordinal", "ord.dll", "#12", {"load C:\\run\\ord.dll", "find #12"}, 5},
    {"ordinal's low 16 bits", "ord.dll", "#65548", {"load C:\\run\\ord.dll", "find #12"}, 5},
    {"system libraries in order",
     "",
     "MessageBeep",
     {"load system Kernel32.dll", "find MessageBeep", "unload Kernel32.dll", "load system Gdi32.dll",
      "find MessageBeep", "unload Gdi32.dll", "load system User32.dll", "find MessageBeep"},
     9},
};

TEST_F(BindingTest, FindsTheEntryWhereTheSearchOrderSaysAndOnlyOnce) {
  for (const BindRow& row : kBindRows) {
    SCOPED_TRACE(row.label);
    Bind(row.library, row.entry);
    g_fake_log.clear();
    EXPECT_EQ(ResolveNativeEntry(0), Address(row.address));
    EXPECT_EQ(g_fake_log, row.log);
    EXPECT_EQ(ResolveNativeEntry(0), Address(row.address));
    EXPECT_EQ(g_fake_log, row.log) << "a second call must not load again";
  }
}

struct FailureRow {
  const char* label;
  const char* library;
  const char* entry;
  Log log;
  std::string message;
};

std::string Lines(const Log& log) {
  std::string out;
  for (const std::string& line : log) out += line + "\n";
  return out;
}

TEST_F(BindingTest, NothingSuppliesTheEntryUnloadsThenReports) {
  const FailureRow rows[] = {
      {"loads but lacks it",
       "twin.dll",
       "Missing",
       {"load C:\\run\\twin.dll", "find Missing", "unload C:\\run\\twin.dll"},
       NamedFailure("twin.dll", "Missing")},
      {"loads nowhere", "none.dll", "Which", {"load C:\\run\\none.dll"}, NamedFailure("none.dll", "Which")},
      {"the name alone is never loaded, though a library of that name would load",
       "only.dll",
       "Which",
       {"load C:\\run\\only.dll"},
       NamedFailure("only.dll", "Which")},
      {"a drive path is not searched",
       "D:\\none.dll",
       "Which",
       {"load D:\\none.dll"},
       NamedFailure("D:\\none.dll", "Which")},
      {"ordinal shown as declared",
       "ord.dll",
       "#0014x",
       {"load C:\\run\\ord.dll", "find #14", "unload C:\\run\\ord.dll"},
       NamedFailure("ord.dll", "#0014x")},
  };
  for (const FailureRow& row : rows) {
    SCOPED_TRACE(row.label);
    Bind(row.library, row.entry);
    // The fake echoes its log to stderr, so the unload shows before the report.
    EXPECT_EXIT(ResolveNativeEntry(0), testing::ExitedWithCode(255),
                testing::Eq(Lines(row.log) + kReportHead + row.message + "\r\n"));
  }
  Log all_six;
  for (const char* name :
       {"Kernel32.dll", "Gdi32.dll", "User32.dll", "Advapi32.dll", "Mpr.dll", "Shell32.dll"}) {
    all_six.insert(all_six.end(),
                   {std::string("load system ") + name, "find Nowhere", std::string("unload ") + name});
  }
  Bind("", "Nowhere");
  EXPECT_EXIT(ResolveNativeEntry(0), testing::ExitedWithCode(255),
              testing::Eq(Lines(all_six) + kReportHead + UnnamedFailure("Nowhere") + "\r\n"));
}

TEST_F(BindingTest, CleanUpUnloadsInEntryOrderAndForgetsTheAddresses) {
  libraries_ = {"twin.dll", "only.dll", "D:\\lib\\twin.dll"};
  entries_ = {"Which", "Which", "Which"};
  InitNativeBinding(Declare(libraries_, entries_), kFakeLibraryCalls);
  ResolveNativeEntry(2);
  ResolveNativeEntry(0);
  g_fake_log.clear();
  UnloadNativeLibraries();
  EXPECT_EQ(g_fake_log, (Log{"unload C:\\run\\twin.dll", "unload D:\\lib\\twin.dll"}));
  g_fake_log.clear();
  UnloadNativeLibraries();
  EXPECT_TRUE(g_fake_log.empty()) << "each library is unloaded once";
  EXPECT_EQ(ResolveNativeEntry(0), Address(1));
  EXPECT_EQ(g_fake_log, (Log{"load C:\\run\\twin.dll", "find Which"}));
}

TEST(EntryOrdinalTest, DigitsAsFarAsTheyGoKeptToSixteenBits) {
  const struct {
    const char* name;
    bool is_ordinal;
    uint16_t ordinal;
  } rows[] = {
      {"#12", true, 12}, {"#65548", true, 12}, {"#4294967308", true, 12},     {"#12abc", true, 12},
      {"#", true, 0},    {"12", false, 0},     {"SkinH_AttachRes", false, 0},
  };
  for (const auto& row : rows) {
    uint16_t ordinal = 0;
    EXPECT_EQ(ParseEntryOrdinal(row.name, &ordinal), row.is_ordinal) << row.name;
    EXPECT_EQ(ordinal, row.ordinal) << row.name;
  }
}

TEST(BindingFailureTest, ALongNameIsCutOnACharacterBoundary) {
  std::string name;
  for (int i = 0; i < 40; ++i) name += "\xD6\xD0";  // 中
  char buf[40];
  size_t n = FormatBindingFailure("", name.c_str(), buf, sizeof buf);
  std::string head = kCannotFind + kLibraryFile + kOutputCommand + kOpen;
  ASSERT_EQ(n, head.size() + 2 * ((sizeof buf - 1 - head.size()) / 2));
  EXPECT_EQ(std::string(buf, n), head + name.substr(0, n - head.size()));
}

}  // namespace
