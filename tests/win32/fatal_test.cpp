// The fatal report as a person sees it: a child process raises it, the test
// reads the box, dismisses it and checks the exit code.
#include "base/fatal.h"

#include <gtest/gtest.h>

#include <iterator>
#include <set>
#include <span>
#include <thread>

#include "base/value.h"
#include "support/test_support.h"
#include "win32_test_constants.h"

namespace {

// What a box with the error icon shows, read the same way as the child's box.
std::vector<DWORD> ErrorIconAsShown() {
  std::vector<DWORD> pixels;
  std::thread reader([&] {
    HWND box = WaitForMessageBox(GetCurrentProcessId(), 20000);
    if (!box) return;
    pixels = ReadMessageBox(box).icon_pixels;
    PressMessageBoxButton(box, IDOK);
  });
  MessageBoxW(nullptr, L"reference", L"reference", MB_ICONERROR);
  reader.join();
  return pixels;
}

void CleanupMarksAFile() {
  char path[MAX_PATH];
  if (GetEnvironmentVariableA("VELMORA_CLEANUP_MARK", path, MAX_PATH)) {
    HANDLE f = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    CloseHandle(f);
  }
}

CHILD_CASE(runtime_error_6) {
  AddCleanupStep(CleanupMarksAFile);
  raise_runtime_error(6);
}
CHILD_CASE(code_0_with_message) {
  ReportFatal(0, "\xD6\xB8\xB6\xA8\xB4\xB0\xBF\xDA\xC9\xD0\xCE\xB4\xD4\xD8\xC8\xEB");
}
CHILD_CASE(code_3_no_message) { ReportFatal(3, ""); }
CHILD_CASE(allocation_refused) {
  allocate(0x7FFFFFF0);
  return 0;
}
CHILD_CASE(negative_allocation) {
  allocate(-16);
  return 0;
}

struct FatalRow {
  const char* child;
  const wchar_t* text;
};

const FatalRow kFatalRows[] = {
    {"runtime_error_6", L"运行时出错!\r\n\r\n错误代码：6\r\n\r\n错误信息：调用DLL命令后发现堆栈错误\r\n"},
    {"code_0_with_message", L"运行时出错!\r\n\r\n错误信息：指定窗口尚未载入\r\n"},
    {"code_3_no_message", L"运行时出错!\r\n\r\n错误代码：3\r\n\r\n"},
    {"negative_allocation", L"运行时出错!\r\n\r\n错误信息：分配 -16 字节内存失败!\r\n"},
    {"allocation_refused", L"运行时出错!\r\n\r\n错误信息：分配 2147483632 字节内存失败!\r\n"},
};
// A 64-bit heap grants the 2 GiB that a 32-bit one refuses: there the refused
// count above is the negative one, which the value model turns away on both.
constexpr size_t kFatalRowCount = sizeof(void*) == 4 ? std::size(kFatalRows) : std::size(kFatalRows) - 1;

TEST(FatalReportTest, ChildShowsTheReportAndExitsMinusOne) {
  std::vector<DWORD> error_icon = ErrorIconAsShown();
  ASSERT_GT(std::set<DWORD>(error_icon.begin(), error_icon.end()).size(), 2u) << "no icon on the screen";
  for (const FatalRow& row : std::span(kFatalRows, kFatalRowCount)) {
    SCOPED_TRACE(row.child);
    ScratchDir dir;
    std::string mark = dir.File("cleanup-ran");
    SetEnvironmentVariableA("VELMORA_CLEANUP_MARK", mark.c_str());
    ChildProcess child;
    ASSERT_TRUE(StartChild(row.child, &child));
    HWND box = WaitForMessageBox(child.pid, 20000);
    ASSERT_NE(box, nullptr) << "no message box";
    MessageBoxContents seen = ReadMessageBox(box);
    EXPECT_EQ(seen.title, L"错误");
    // Wine's static control may drop the last line break; compare without it.
    std::wstring expected = row.text;
    EXPECT_EQ(seen.text, expected.substr(0, seen.text.size())) << "text shown differs";
    EXPECT_GE(seen.text.size() + 2, expected.size());
    ASSERT_EQ(seen.buttons.size(), 1u);
    ASSERT_TRUE(seen.has_icon);
    EXPECT_TRUE(seen.icon_pixels == error_icon) << "not the error icon";
    EXPECT_EQ(child.Wait(300), STILL_ACTIVE) << "the process must wait for the box";
    PressMessageBoxButton(box, IDOK);
    EXPECT_EQ(child.Wait(20000), 0xFFFFFFFFu);
    bool cleanup_ran = GetFileAttributesA(mark.c_str()) != INVALID_FILE_ATTRIBUTES;
    EXPECT_EQ(cleanup_ran, std::string(row.child) == "runtime_error_6");
  }
  SetEnvironmentVariableA("VELMORA_CLEANUP_MARK", nullptr);
}

TEST(ConstantRangeTest, TheImageReadOnlySectionsCountAsConstant) {
  EXPECT_TRUE(IsConstant(EmptyText()));
  EXPECT_TRUE(IsConstant(EmptyBytes()));
  EXPECT_TRUE(IsConstant(&velmora_test_sample));
  EXPECT_TRUE(IsConstant("a literal in .rdata"));
  static char writable[4];
  EXPECT_FALSE(IsConstant(writable));
  Text heap(NewText("x", 1));
  EXPECT_FALSE(IsConstant(heap.get()));
  release(&velmora_test_sample);
  release(&velmora_test_sample);
  EXPECT_EQ(velmora_test_sample.length, 17);
  void* copy = resize(&velmora_test_sample, 25);
  EXPECT_FALSE(IsConstant(copy));
  auto* copied = static_cast<const ByteArrayHeader*>(copy);
  EXPECT_EQ(copied->length, 17);
  EXPECT_EQ(memcmp(ByteArrayData(copied), "Velmora\0test \xd6\xd0\xce\xc4", 17), 0);
  release(copy);
}

}  // namespace
