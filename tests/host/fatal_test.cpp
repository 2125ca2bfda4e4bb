#include "base/fatal.h"

#include <gtest/gtest.h>

#include <string>

#include "base/value.h"

namespace {

std::string Report(int32_t code, const char* message, size_t size = 4096) {
  std::string buf(size, '\x7F');
  size_t n = BuildFatalReport(code, message, buf.data(), size);
  EXPECT_EQ(buf[n], '\0');
  return buf.substr(0, n);
}

const std::string kHead = "\xD4\xCB\xD0\xD0\xCA\xB1\xB3\xF6\xB4\xED!\r\n\r\n";  // 运行时出错!
const std::string kCode = "\xB4\xED\xCE\xF3\xB4\xFA\xC2\xEB\xA3\xBA";           // 错误代码：
const std::string kMessage = "\xB4\xED\xCE\xF3\xD0\xC5\xCF\xA2\xA3\xBA";        // 错误信息：

TEST(FatalReportTest, LinesAppearOnlyWhenTheyHaveContent) {
  EXPECT_EQ(Report(6, "boom"), kHead + kCode + "6\r\n\r\n" + kMessage + "boom\r\n");
  EXPECT_EQ(Report(0, "boom"), kHead + kMessage + "boom\r\n");
  EXPECT_EQ(Report(3, ""), kHead + kCode + "3\r\n\r\n");
  EXPECT_EQ(Report(3, nullptr), kHead + kCode + "3\r\n\r\n");
  EXPECT_EQ(Report(0, ""), kHead);
  EXPECT_EQ(Report(-7, nullptr), kHead + kCode + "-7\r\n\r\n");
}

TEST(FatalReportTest, ALongMessageIsCutOnACharacterBoundary) {
  std::string message;
  for (int i = 0; i < 100; ++i) message += "\xD6\xD0";  // 中
  std::string r = Report(0, message.c_str(), kHead.size() + kMessage.size() + 6);
  EXPECT_EQ(r.size(), kHead.size() + kMessage.size() + 4);
  EXPECT_EQ(r.substr(r.size() - 4), "\xD6\xD0\xD6\xD0");
}

TEST(FatalReportTest, RuntimeErrorTableCoversOneToEleven) {
  EXPECT_STREQ(RuntimeErrorMessage(0), "");
  EXPECT_STREQ(RuntimeErrorMessage(12), "");
  // 6: "调用DLL命令后发现堆栈错误"
  EXPECT_STREQ(RuntimeErrorMessage(6),
               "\xB5\xF7\xD3\xC3"
               "DLL"
               "\xC3\xFC\xC1\xEE\xBA\xF3\xB7\xA2\xCF\xD6\xB6\xD1\xD5\xBB\xB4\xED\xCE\xF3");
  for (int code = 1; code <= 11; ++code) EXPECT_NE(*RuntimeErrorMessage(code), '\0') << code;
}

int g_order = 0;
int g_first = 0, g_second = 0;

TEST(FatalReportDeathTest, ReportRunsCleanupLastAddedFirstAndExitsMinusOne) {
  EXPECT_EXIT(
      {
        AddCleanupStep([] { g_second = ++g_order; });
        AddCleanupStep([] {
          g_first = ++g_order;
          fprintf(stderr, "cleanup ran");
        });
        raise_runtime_error(6);
      },
      ::testing::ExitedWithCode(255), "6\r\n\r\n.*cleanup ran");
}

TEST(FatalReportTest, CleanupStepsRunOnceInReverseOrder) {
  g_order = g_first = g_second = 0;
  ASSERT_TRUE(AddCleanupStep([] { g_second = ++g_order; }));
  ASSERT_TRUE(AddCleanupStep([] { g_first = ++g_order; }));
  RunCleanupSteps();
  RunCleanupSteps();
  EXPECT_EQ(g_first, 1);
  EXPECT_EQ(g_second, 2);
  EXPECT_FALSE(AddCleanupStep(nullptr));
}

}  // namespace
