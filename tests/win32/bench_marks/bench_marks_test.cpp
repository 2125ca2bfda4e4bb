// What scripts/bench.sh --breakdown reads from a marked program: its creation
// on the Unix clock, then each mark's microseconds since then, in order.
#include "base/bench_marks.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "support/test_support.h"

namespace {

constexpr int kPauseMs = 40;

CHILD_CASE(two_marks) {
  VELMORA_BENCH_MARK("first step");
  Sleep(kPauseMs);
  VELMORA_BENCH_MARK("second");
  return 0;
}

int64_t UnixMicroseconds() {
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  return bench_marks::Microseconds(now) - 11644473600LL * 1000000;
}

struct Mark {
  std::string name;
  int64_t value;
};

std::vector<Mark> ReadMarks(const std::string& text) {
  std::vector<Mark> marks;
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    size_t space = line.rfind(' ');
    if (space == std::string::npos) return {};
    marks.push_back({line.substr(0, space), std::stoll(line.substr(space + 1))});
  }
  return marks;
}

TEST(BenchMarks, ChildWritesCreationThenMarksOnlyWhenAFileIsNamed) {
  for (bool named : {true, false}) {
    SCOPED_TRACE(named ? "file named" : "no file named");
    ScratchDir dir;
    std::string path = dir.File("marks.txt");
    ASSERT_TRUE(SetEnvironmentVariableA("VELMORA_BENCH_MARKS_FILE", named ? path.c_str() : nullptr));
    int64_t before = UnixMicroseconds();
    ChildProcess child;
    ASSERT_TRUE(StartChild("two_marks", &child));
    ASSERT_EQ(child.Wait(30000), 0u);
    int64_t after = UnixMicroseconds();
    SetEnvironmentVariableA("VELMORA_BENCH_MARKS_FILE", nullptr);
    if (!named) {
      EXPECT_EQ(ListDirectory(dir.path()).count("marks.txt"), 0u);
      continue;
    }
    std::vector<Mark> marks = ReadMarks(ReadWholeFile(path));
    ASSERT_EQ(marks.size(), 3u);
    EXPECT_EQ(marks[0].name, "process_created");
    EXPECT_EQ(marks[1].name, "first step");
    EXPECT_EQ(marks[2].name, "second");
    // The clock's coarse steps aside (16 ms on Windows), everything falls inside the child's life.
    constexpr int64_t kSlack = 20000;
    int64_t created = marks[0].value;
    EXPECT_GE(created, before - kSlack);
    EXPECT_LE(created + marks[2].value, after + kSlack);
    EXPECT_GE(marks[1].value, 0);
    EXPECT_GE(marks[2].value - marks[1].value, (kPauseMs - 10) * 1000);
    EXPECT_LE(marks[2].value - marks[1].value, after - before);
  }
}

}  // namespace

int main(int argc, char** argv) { return RunTestMain(argc, argv); }
