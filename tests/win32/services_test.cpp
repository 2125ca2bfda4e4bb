// File, clipboard and message-box services against real files, the real
// clipboard and real message boxes; the copy-code boxes, and the shell request
// that opens an address.
#include "services/services.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <thread>
#include <utility>

#include "base/owned_handle_win32.h"
#include "core/links.h"
#include "net/open_url.h"
#include "support/test_support.h"

namespace {

Bytes MakeBytes(const std::string& s) {
  return Bytes(NewByteArray(s.data(), static_cast<int32_t>(s.size())));
}

DWORD Attributes(const std::string& path) { return GetFileAttributesA(path.c_str()); }

TEST(EnvironmentTest, TestsRunUnderANonChineseCodePage) { EXPECT_NE(GetACP(), 936u); }

bool HandleOpen(HANDLE h) {
  DWORD flags = 0;
  return GetHandleInformation(h, &flags) != FALSE;
}

TEST(OwnedHandleTest, OneOwnerFreesTheHandleOnceAndReleaseGivesItUp) {
  EXPECT_FALSE(OwnFile(INVALID_HANDLE_VALUE)) << "CreateFile's refusal is held as none";
  EXPECT_TRUE(KernelHandle().Close()) << "closing nothing succeeds";
  HANDLE raw = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  KernelHandle first(raw);
  KernelHandle second = std::move(first);
  EXPECT_FALSE(first);
  EXPECT_EQ(second.get(), raw);
  second = KernelHandle(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  EXPECT_FALSE(HandleOpen(raw)) << "replaced: the old handle is closed";
  HANDLE kept = second.Release();
  EXPECT_FALSE(second);
  EXPECT_TRUE(HandleOpen(kept)) << "released: not closed";
  KernelHandle again(kept);
  EXPECT_TRUE(again.Close());
  EXPECT_FALSE(HandleOpen(kept));
  ModuleHandle module(LoadLibraryW(L"version.dll"));
  EXPECT_TRUE(module && module.Close());
}

TEST(WriteBytesToFileTest, WritesArraysInOrderAndReplacesOldContent) {
  ScratchDir dir;
  std::string path = dir.File("out.bin");
  Bytes a = MakeBytes("Hello, ");
  Bytes b = MakeBytes(std::string("\0world", 6));
  EXPECT_TRUE(WriteBytesToFile(path.c_str(), {a.get(), EmptyBytes(), nullptr, b.get()}));
  EXPECT_EQ(ReadWholeFile(path), std::string("Hello, \0world", 13));
  EXPECT_TRUE(WriteBytesToFile(path.c_str(), {b.get()}));
  EXPECT_EQ(ReadWholeFile(path), std::string("\0world", 6)) << "cut to length 0 before writing";
  EXPECT_TRUE(WriteBytesToFile(path.c_str(), {EmptyBytes()}));
  EXPECT_EQ(ReadWholeFile(path), "");
  EXPECT_EQ(Attributes(path) & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY), 0u);
}

TEST(WriteBytesToFileTest, RefusedTargetsFailAndKeepTheOldFile) {
  ScratchDir dir;
  Bytes fresh = MakeBytes("fresh");
  struct Row {
    const char* label;
    DWORD attributes;
  };
  const Row rows[] = {
      {"hidden", FILE_ATTRIBUTE_HIDDEN},
      {"system", FILE_ATTRIBUTE_SYSTEM},
      {"read-only", FILE_ATTRIBUTE_READONLY},
  };
  for (const Row& r : rows) {
    std::string path = dir.File(r.label);
    ASSERT_TRUE(WriteWholeFile(path, "old"));
    ASSERT_TRUE(SetFileAttributesA(path.c_str(), r.attributes));
    EXPECT_FALSE(WriteBytesToFile(path.c_str(), {fresh.get()})) << r.label;
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(ReadWholeFile(path), "old") << r.label;
  }
  EXPECT_FALSE(WriteBytesToFile("", {fresh.get()}));
  EXPECT_FALSE(WriteBytesToFile(nullptr, {fresh.get()}));
  EXPECT_FALSE(WriteBytesToFile(dir.path().c_str(), {fresh.get()})) << "a directory";
  EXPECT_FALSE(WriteBytesToFile(dir.File("missing\\x.bin").c_str(), {fresh.get()}));
}

TEST(FileServicesTest, RemoveFileFollowsTheFileSystem) {
  ScratchDir dir;
  std::string hidden = dir.File("hidden.html");
  std::string readonly = dir.File("readonly.html");
  ASSERT_TRUE(WriteWholeFile(hidden, "x"));
  ASSERT_TRUE(WriteWholeFile(readonly, "x"));
  SetFileAttributesA(hidden.c_str(), FILE_ATTRIBUTE_HIDDEN);
  SetFileAttributesA(readonly.c_str(), FILE_ATTRIBUTE_READONLY);
  EXPECT_TRUE(RemoveFile(hidden.c_str())) << "hidden does not prevent deletion";
  EXPECT_EQ(Attributes(hidden), INVALID_FILE_ATTRIBUTES);
  EXPECT_FALSE(RemoveFile(readonly.c_str()));
  EXPECT_NE(Attributes(readonly), INVALID_FILE_ATTRIBUTES);
  EXPECT_FALSE(RemoveFile(hidden.c_str())) << "missing";
  EXPECT_FALSE(RemoveFile(""));
  EXPECT_FALSE(RemoveFile(dir.path().c_str())) << "a directory";
}

TEST(FileServicesTest, SetFileAttributeBitsReplacesAndMasks) {
  ScratchDir dir;
  std::string path = dir.File("page.html");
  ASSERT_TRUE(WriteWholeFile(path, "x"));
  ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE));
  EXPECT_TRUE(SetFileAttributeBits(path.c_str(), 2));
  // Wine reports every regular file as archive, so archive is left out here.
  EXPECT_EQ(Attributes(path) & ~FILE_ATTRIBUTE_ARCHIVE, static_cast<DWORD>(FILE_ATTRIBUTE_HIDDEN))
      << "hidden only";
  EXPECT_TRUE(SetFileAttributeBits(path.c_str(), 0x1FF));
  EXPECT_EQ(Attributes(path) & ~0x27u, 0u) << "bits outside 0x27 are dropped";
  EXPECT_TRUE(SetFileAttributeBits(path.c_str(), 0));
  EXPECT_FALSE(SetFileAttributeBits(dir.File("missing").c_str(), 2));
  EXPECT_FALSE(SetFileAttributeBits("", 2));
}

TEST(FileServicesTest, FileExistsUsesTheFileSearch) {
  ScratchDir dir;
  ASSERT_TRUE(WriteWholeFile(dir.File("a.html"), "x"));
  SetFileAttributesA(dir.File("a.html").c_str(), FILE_ATTRIBUTE_HIDDEN);
  EXPECT_TRUE(FileExists(dir.File("a.html").c_str()));
  EXPECT_TRUE(FileExists(dir.File("*.html").c_str())) << "wildcards";
  EXPECT_TRUE(FileExists(dir.path().c_str())) << "a directory counts";
  EXPECT_FALSE(FileExists(dir.File("*.txt").c_str()));
  EXPECT_FALSE(FileExists(dir.File("b.html").c_str()));
  EXPECT_FALSE(FileExists(""));
}

std::string ClipboardBytes(UINT format) {
  std::string out = "<none>";
  if (!OpenClipboard(nullptr)) return "<busy>";
  if (HANDLE h = GetClipboardData(format)) {
    const void* p = GlobalLock(h);
    out = format == CF_UNICODETEXT
              ? std::string(static_cast<const char*>(p), wcslen(static_cast<const wchar_t*>(p)) * 2)
              : std::string(static_cast<const char*>(p));
    GlobalUnlock(h);
  }
  CloseClipboard();
  return out;
}

TEST(ClipboardTest, HoldsTheTextAsAnsiAndAsUtf16) {
  // "码 ab12": a GBK character and an ASCII access code.
  ASSERT_TRUE(SetClipboardText("\xC2\xEB ab12"));
  EXPECT_EQ(ClipboardBytes(CF_TEXT), "\xC2\xEB ab12");
  std::wstring wide = L"码 ab12";
  EXPECT_EQ(ClipboardBytes(CF_UNICODETEXT),
            std::string(reinterpret_cast<const char*>(wide.data()), wide.size() * 2));
  ASSERT_TRUE(SetClipboardText(nullptr));
  EXPECT_EQ(ClipboardBytes(CF_TEXT), "");
}

TEST(ClipboardTest, BusyClipboardFailsAndChangesNothing) {
  ASSERT_TRUE(SetClipboardText("before"));
  HANDLE opened = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  HANDLE done = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  std::thread holder([&] {
    HWND owner = CreateWindowW(L"STATIC", L"", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    bool held = OpenClipboard(owner);
    SetEvent(opened);
    WaitForSingleObject(done, 10000);
    if (held) CloseClipboard();
    DestroyWindow(owner);
  });
  WaitForSingleObject(opened, 10000);
  EXPECT_FALSE(SetClipboardText("after"));
  SetEvent(done);
  holder.join();
  EXPECT_EQ(ClipboardBytes(CF_TEXT), "before");
  CloseHandle(opened);
  CloseHandle(done);
}

// Shows a box on this thread while another thread reads and answers it.
MessageBoxContents ShowAndAnswer(int answer, int* result, TextValue message, int32_t style,
                                 const TextValue* title) {
  MessageBoxContents seen;
  std::thread responder([&] {
    HWND box = WaitForMessageBox(GetCurrentProcessId(), 20000);
    if (!box) return;
    seen = ReadMessageBox(box);
    PressMessageBoxButton(box, answer);
  });
  *result = title ? ShowMessage(message, style, *title) : ShowMessage(message, style);
  responder.join();
  return seen;
}

TEST(ShowMessageTest, DefaultTitleOkButtonAndResult) {
  int result = -1;
  // "新版本" shows right although the system code page is not Chinese.
  MessageBoxContents seen = ShowAndAnswer(IDOK, &result, "\xD0\xC2\xB0\xE6\xB1\xBE", 0, nullptr);
  EXPECT_EQ(seen.title, L"信息：");
  EXPECT_EQ(seen.text, L"新版本");
  EXPECT_EQ(seen.buttons.size(), 1u);
  EXPECT_EQ(result, 0);
}

TEST(ShowMessageTest, ButtonsMapToTheirIndexes) {
  struct Row {
    int32_t style;
    int answer;
    int expected;
  };
  const Row rows[] = {
      {MB_OKCANCEL, IDCANCEL, 1},         {MB_ABORTRETRYIGNORE, IDABORT, 2},     {MB_RETRYCANCEL, IDRETRY, 3},
      {MB_ABORTRETRYIGNORE, IDIGNORE, 4}, {MB_YESNO | MB_SYSTEMMODAL, IDYES, 5}, {MB_YESNOCANCEL, IDNO, 6},
  };
  for (const Row& r : rows) {
    int result = -1;
    TextValue title = "T";
    MessageBoxContents seen = ShowAndAnswer(r.answer, &result, "m", r.style, &title);
    EXPECT_EQ(seen.title, L"T");
    EXPECT_EQ(result, r.expected) << "style " << r.style;
  }
}

// Runs act while another thread answers, with OK, the box it shows (if any
// within wait_ms); `busy` keeps the clipboard open meanwhile.
MessageBoxContents AnswerBoxOf(void (*act)(), bool busy, int wait_ms, bool* shown) {
  HANDLE opened = CreateEventW(nullptr, TRUE, FALSE, nullptr),
         done = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  std::thread holder([&] {
    HWND owner = CreateWindowW(L"STATIC", L"", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    bool held = busy && OpenClipboard(owner);
    SetEvent(opened);
    WaitForSingleObject(done, 30000);
    if (held) CloseClipboard();
    DestroyWindow(owner);
  });
  WaitForSingleObject(opened, 10000);
  MessageBoxContents seen;
  std::thread responder([&] {
    HWND box = WaitForMessageBox(GetCurrentProcessId(), wait_ms);
    if (!(*shown = box != nullptr)) return;
    seen = ReadMessageBox(box);
    PressMessageBoxButton(box, IDOK);
  });
  act();
  responder.join();
  SetEvent(done);
  holder.join();
  CloseHandle(opened);
  CloseHandle(done);
  return seen;
}

TEST(CopyAccessCodeTest, APlainConfirmationOrAWarningWithTheCodeToType) {
  const struct {
    void (*copy)();
    bool busy;
    const wchar_t *title, *text;
    bool icon;
    const char* clipboard;
  } rows[] = {
      {CopyAccessCode1, false, L"恭喜你！", L"提取码：k7m2   复制成功【可以去粘贴 下载了】", false, "k7m2"},
      {CopyAccessCode2, false, L"恭喜你！", L"提取码：x9q4   复制成功【可以去粘贴 下载了】", false, "x9q4"},
      {CopyAccessCode1, true, L"复制失败", L"提取码没能复制到剪贴板，请手动输入提取码：k7m2", true, "x9q4"},
  };
  for (const auto& row : rows) {
    bool shown = false;
    MessageBoxContents seen = AnswerBoxOf(row.copy, row.busy, 20000, &shown);
    ASSERT_TRUE(shown);
    EXPECT_EQ(seen.title, row.title);
    EXPECT_EQ(seen.text, row.text);
    EXPECT_EQ(seen.buttons.size(), 1u) << "OK only";
    EXPECT_EQ(seen.has_icon, row.icon);
    EXPECT_EQ(ClipboardBytes(CF_TEXT), row.clipboard);
  }
}

void OpenUnregisteredAddress() { OpenInBrowser("velmora-nobody:page"); }

// The address's scheme has no program: the shell opens nothing and nobody says so.
TEST(OpenInBrowserTest, OwnedByTheWindowOfThatExactTitleAndSilentWhenNothingOpens) {
  ShellExecuteLog shell;
  ASSERT_TRUE(shell.installed());
  const struct {
    const wchar_t* title;  // of a top-level window open meanwhile
    bool owner;
  } rows[] = {
      {nullptr, false}, {L"Microsoft Internet Explorer", true}, {L"Microsoft Internet Explorer - a", false}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.title ? row.title : L"no window");
    HWND window = row.title ? CreateWindowW(L"STATIC", row.title, WS_OVERLAPPED, 0, 0, 50, 50, nullptr,
                                            nullptr, nullptr, nullptr)
                            : nullptr;
    shell.calls().clear();
    bool shown = false;
    AnswerBoxOf(OpenUnregisteredAddress, false, 1500, &shown);
    EXPECT_FALSE(shown) << "no message";
    ASSERT_EQ(shell.calls().size(), 1u);
    const ShellCall& c = shell.calls()[0];
    EXPECT_EQ(c.owner, row.owner ? window : nullptr);
    EXPECT_EQ(c.verb + L" " + c.file, L"open velmora-nobody:page");
    EXPECT_FALSE(c.parameters || c.directory);
    EXPECT_EQ(c.show, SW_SHOWNORMAL);
    if (window) DestroyWindow(window);
  }
}

}  // namespace

int main(int argc, char** argv) { return RunTestMain(argc, argv); }
