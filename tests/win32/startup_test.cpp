// The start-up and shutdown handlers against a real directory, and the real
// velmora.exe started from somewhere else.
#include "core/startup.h"

#include <gtest/gtest.h>
#include <windows.h>
// After windows.h, whose types it uses.
#include <tlhelp32.h>

#include <algorithm>
#include <atomic>
#include <set>
#include <thread>
#include <vector>

#include "base/wide_win32.h"
#include "core/links.h"
#include "core/pages.h"
#include "core/run_directory_win32.h"
#include "format/program_windows.h"
#include "format/window_ids.h"
#include "services/services.h"
#include "skin/native_entries.h"
#include "skin/skin_catalogue.h"
#include "skinengine/skin_format.h"
#include "skinengine/skinh.h"
#include "startup_test_support.h"
#include "support/test_support.h"
#include "windows/live_window_win32.h"
#include "windows/property_access.h"

namespace {

using namespace startup_test;

// The browser reports a local file as a file: address: Wine as "file://"
// and the path unchanged, Windows as "file:///" with forward slashes.
std::string LocalPathOf(const char* location) {
  std::string s = location ? location : "";
  if (s.rfind("file:", 0) != 0) return s;
  s.erase(0, s.find_first_not_of('/', 5));
  for (char& c : s) c = c == '/' ? '\\' : c;
  return s;
}

// OnStartup attaches the engine to this thread; the next test starts unskinned.
// Each test's run directory loads an engine of its own, so every loaded copy
// is asked: the one the binding called may not be the first of that name.
void DetachSkinEngine() {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, GetCurrentProcessId());
  if (snapshot == INVALID_HANDLE_VALUE) return;
  MODULEENTRY32 module{};
  module.dwSize = sizeof module;
  for (BOOL more = Module32First(snapshot, &module); more; more = Module32Next(snapshot, &module)) {
    if (_stricmp(module.szModule, kEngineFile) != 0) continue;
    auto detach = reinterpret_cast<SkinH_DetachProc>(
        reinterpret_cast<void (*)()>(GetProcAddress(module.hModule, "SkinH_Detach")));
    if (detach) detach();
  }
  CloseHandle(snapshot);
}

// Held as another program holds a file it shares with nobody.
HANDLE LockFile(const std::string& path) {
  return CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
}

// Held as a running instance holds the pages it shows: read, shared for reading.
HANDLE HoldAsAnInstance(const std::string& path) {
  return CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
}

std::string ReadThrough(HANDLE file) {
  SetFilePointer(file, 0, nullptr, FILE_BEGIN);
  char buf[4096];
  DWORD n = 0;
  std::string out;
  while (ReadFile(file, buf, sizeof buf, &n, nullptr) && n > 0) out.append(buf, n);
  return out;
}

std::string TempDirectory() {
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  return temp;
}

bool IsUnder(const std::string& path, const std::string& dir) {
  return path.size() > dir.size() && _strnicmp(path.c_str(), dir.c_str(), dir.size()) == 0;
}

std::string FolderOf(const std::string& path) { return path.substr(0, path.rfind('\\')); }

// The last-write time; AgeFile sets it to one no write of this run can give.
ULONGLONG LastWrite(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data);
  return (static_cast<ULONGLONG>(data.ftLastWriteTime.dwHighDateTime) << 32) |
         data.ftLastWriteTime.dwLowDateTime;
}
constexpr ULONGLONG kLongAgo = 126227808000000000ull;  // 2001-01-01
void AgeFile(const std::string& path) {
  HANDLE file =
      CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  FILETIME t = {static_cast<DWORD>(kLongAgo), static_cast<DWORD>(kLongAgo >> 32)};
  SetFileTime(file, nullptr, nullptr, &t);
  CloseHandle(file);
}

// Answers, with OK, every message box this process shows while it is watched.
class BoxWatch {
 public:
  BoxWatch() : thread_([this] { Run(); }) {}
  ~BoxWatch() { Stop(); }
  const std::vector<MessageBoxContents>& Stop() {
    done_ = true;
    if (thread_.joinable()) thread_.join();
    return boxes_;
  }

 private:
  void Run() {
    while (!done_) {
      if (HWND box = WaitForMessageBox(GetCurrentProcessId(), 0)) {
        boxes_.push_back(ReadMessageBox(box));
        PressMessageBoxButton(box, IDOK);
        while (IsWindow(box)) Sleep(20);
      }
      Sleep(20);
    }
  }
  std::atomic<bool> done_{false};
  std::vector<MessageBoxContents> boxes_;
  std::thread thread_;
};

void (*const kShowPage[])(int32_t, int32_t, int32_t) = {ShowPage1, ShowPage2, ShowPage3, ShowPage4,
                                                        ShowPage5};

// Where PageView is once page index's handler has run and the navigation has
// gone through the queue, or where it still is after 5 s.
std::string ShowPageAndWait(int index, const std::string& until) {
  kShowPage[index](0, 0, 0);
  std::string seen;
  for (DWORD start = GetTickCount(); GetTickCount() - start < 5000;) {
    PumpMessages(0);
    Text url = GetControlText(ids::MainWindow, ids::MainWindow_PageView, 11);
    seen = LocalPathOf(url.get());
    bool arrived =
        seen.size() >= until.size() && seen.compare(seen.size() - until.size(), until.size(), until) == 0;
    if (arrived) break;
    Sleep(20);
  }
  return seen;
}

std::string ShownNow() {
  Text url = GetControlText(ids::MainWindow, ids::MainWindow_PageView, 11);
  return LocalPathOf(url.get());
}

// The handlers run against MainWindow loaded as the program loads it, with
// no handler bound so that they run only when the test calls them.
class StartupTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    ReadProgramWindows({});
    SetUpNativeEntries();
  }
  void SetUp() override {
    GetCurrentDirectoryA(MAX_PATH, old_cwd_);
    RecordRunDirectory(dir_.File("velmora.exe").c_str(), IsGbkLeadByte);
    SetCurrentDirectoryA(dir_.path().c_str());
    window_ = LiveWindow::Load(ids::MainWindow);
    ASSERT_NE(window_, nullptr);
  }
  void TearDown() override {
    DetachSkinEngine();
    if (FindLiveWindow(ids::MainWindow)) window_->Destroy();
    SetCurrentDirectoryA(old_cwd_);
  }

  ScratchDir dir_;
  char old_cwd_[MAX_PATH];
  LiveWindow* window_ = nullptr;
};

TEST_F(StartupTest, PagesAreWrittenByteForByteHiddenAndDeletedAgain) {
  ASSERT_TRUE(WriteWholeFile(dir_.File("notes.txt"), "mine"));
  ASSERT_TRUE(WriteWholeFile(dir_.File("other.html"), "mine too"));
  SetFileAttributesA(dir_.File("other.html").c_str(), FILE_ATTRIBUTE_HIDDEN);

  OnStartup();
  for (const ContentPage& page : kContentPages) {
    std::string path = dir_.File(page.file_name);
    EXPECT_EQ(ReadWholeFile(path), PageBytes(page)) << page.file_name;
    EXPECT_EQ(VisibleAttributes(path), static_cast<DWORD>(FILE_ATTRIBUTE_HIDDEN)) << page.file_name;
  }
  EXPECT_EQ(ReadWholeFile(dir_.File(kEngineFile)), EngineImage());
  EXPECT_EQ(VisibleAttributes(dir_.File(kEngineFile)), static_cast<DWORD>(FILE_ATTRIBUTE_HIDDEN));
  EXPECT_EQ(ListDirectory(dir_.path()).size(), 8u) << "two of ours, five pages and the skin engine";
  EXPECT_EQ(GetControlNumber(ids::MainWindow, ids::MainWindow_TabPager, 12), 0)
      << "page 0 selected (TabPager stores 3)";
  Text url = GetControlText(ids::MainWindow, ids::MainWindow_PageView, 11);
  EXPECT_EQ(LocalPathOf(url.get()), dir_.File(kContentPages[0].file_name)) << "PageView shows page 1";

  OnShutdown();
  EXPECT_EQ(ListDirectory(dir_.path()), (std::set<std::string>{"notes.txt", "other.html", kEngineFile}))
      << "the engine stays";
  EXPECT_EQ(ReadWholeFile(dir_.File("notes.txt")), "mine");
  EXPECT_EQ(VisibleAttributes(dir_.File("other.html")), static_cast<DWORD>(FILE_ATTRIBUTE_HIDDEN));
}

// The browser draws nothing under Wine (no HTML engine), but it reports where
// each page picture's handler sent it. The pictures from the top call ShowPage
// 1, 3, 2, 5, 4; they run from the second, as page 1 is on show after start.
TEST_F(StartupTest, EachShowPageHandlerPointsPageViewAtItsPage) {
  OnStartup();
  const struct {
    void (*show)(int32_t, int32_t, int32_t);
    const char* name;
    const char* file;
  } rows[] = {
      {ShowPage3, "ShowPage3", "huashugli598.html"}, {ShowPage2, "ShowPage2", "dashayh263.html"},
      {ShowPage5, "ShowPage5", "za32xship5.html"},   {ShowPage4, "ShowPage4", "yishipq668.html"},
      {ShowPage1, "ShowPage1", "velmora365.html"},
  };
  for (const auto& row : rows) {
    row.show(0, 0, 0);
    // The browser moves on once its navigation has run through the message queue.
    std::string expected = dir_.File(row.file), seen;
    for (DWORD start = GetTickCount(); GetTickCount() - start < 5000;) {
      MSG msg;
      while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
      Text url = GetControlText(ids::MainWindow, ids::MainWindow_PageView, 11);
      if ((seen = LocalPathOf(url.get())) == expected) break;
      Sleep(20);
    }
    EXPECT_EQ(seen, expected) << row.name;
  }
  OnShutdown();
}

TEST_F(StartupTest, StaleLeftoverPagesAreReplaced) {
  // As a fatal end leaves them: hidden; and worse, read-only and system.
  const DWORD leftovers[] = {FILE_ATTRIBUTE_HIDDEN, FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY,
                             FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_HIDDEN, FILE_ATTRIBUTE_READONLY,
                             FILE_ATTRIBUTE_NORMAL};
  for (int i = 0; i < kContentPageCount; ++i) {
    std::string path = dir_.File(kContentPages[i].file_name);
    ASSERT_TRUE(WriteWholeFile(path, "stale page"));
    SetFileAttributesA(path.c_str(), leftovers[i]);
  }
  OnStartup();
  for (const ContentPage& page : kContentPages) {
    std::string path = dir_.File(page.file_name);
    EXPECT_EQ(ReadWholeFile(path), PageBytes(page)) << page.file_name;
    EXPECT_EQ(VisibleAttributes(path), static_cast<DWORD>(FILE_ATTRIBUTE_HIDDEN)) << page.file_name;
  }
  OnShutdown();
  EXPECT_EQ(ListDirectory(dir_.path()), std::set<std::string>{kEngineFile});
}

TEST_F(StartupTest, ShutdownGoesOnPastPagesItCannotDelete) {
  OnStartup();
  std::string first = dir_.File(kContentPages[0].file_name);
  SetFileAttributesA(first.c_str(), FILE_ATTRIBUTE_READONLY);
  OnShutdown();
  EXPECT_EQ(ListDirectory(dir_.path()), (std::set<std::string>{kContentPages[0].file_name, kEngineFile}));
}

// A page whose file is locked by another program, one whose name is taken by
// somebody's folder, and a file of the user's held open while the program
// starts: each page is shown from a copy in the temp directory, and none of
// the three is touched, not even at close when nothing holds it any more.
TEST_F(StartupTest, PagesTheRunDirectoryRefusesAreShownFromTheTempDirectory) {
  std::string locked = dir_.File(kContentPages[0].file_name);
  ASSERT_TRUE(WriteWholeFile(locked, "stale page"));
  SetFileAttributesA(locked.c_str(), FILE_ATTRIBUTE_HIDDEN);
  HANDLE lock = LockFile(locked);
  ASSERT_NE(lock, INVALID_HANDLE_VALUE);
  std::string folder = dir_.File(kContentPages[1].file_name);
  ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
  ASSERT_TRUE(WriteWholeFile(folder + "\\mine.txt", "mine"));
  std::string users = dir_.File(kContentPages[2].file_name);
  ASSERT_TRUE(WriteWholeFile(users, "the user's own file"));
  HANDLE users_hold = HoldAsAnInstance(users);
  ASSERT_NE(users_hold, INVALID_HANDLE_VALUE);

  BoxWatch boxes;
  OnStartup();
  CloseHandle(users_hold);
  const std::string first = ShownNow();
  const std::string second = ShowPageAndWait(1, std::string("\\") + kContentPages[1].file_name);
  EXPECT_TRUE(IsUnder(ShowPageAndWait(2, std::string("\\") + kContentPages[2].file_name), TempDirectory()));
  EXPECT_TRUE(boxes.Stop().empty()) << "every page is on show: nothing to tell";
  for (const std::string& shown : {first, second}) {
    EXPECT_TRUE(IsUnder(shown, TempDirectory())) << shown;
    EXPECT_EQ(VisibleAttributes(shown), static_cast<DWORD>(FILE_ATTRIBUTE_HIDDEN)) << shown;
  }
  EXPECT_EQ(ReadWholeFile(first), PageBytes(kContentPages[0]));
  EXPECT_EQ(ReadWholeFile(second), PageBytes(kContentPages[1]));
  for (int i = 3; i < kContentPageCount; ++i) {
    EXPECT_EQ(ReadWholeFile(dir_.File(kContentPages[i].file_name)), PageBytes(kContentPages[i])) << i;
  }
  EXPECT_EQ(ReadThrough(lock), "stale page");
  EXPECT_EQ(VisibleAttributes(locked), static_cast<DWORD>(FILE_ATTRIBUTE_HIDDEN))
      << "attributes as they were";
  EXPECT_EQ(GetFileAttributesA(folder.c_str()), static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY)) << "not hidden";

  OnShutdown();
  EXPECT_EQ(GetFileAttributesA(FolderOf(first).c_str()), INVALID_FILE_ATTRIBUTES)
      << "the temp copies are gone";
  EXPECT_EQ(ListDirectory(dir_.path()),
            (std::set<std::string>{kContentPages[0].file_name, kContentPages[1].file_name,
                                   kContentPages[2].file_name, kEngineFile}));
  EXPECT_EQ(ReadWholeFile(folder + "\\mine.txt"), "mine");
  EXPECT_EQ(ReadWholeFile(users), "the user's own file");
  CloseHandle(lock);
}

// A run directory that takes no files at all: no skin engine, so no skin, and
// every page from the temp directory; nothing to tell the user.
void StartsUnskinnedWithPagesFromTheTempDirectory(LiveWindow* window, const std::string& run_dir) {
  RecordRunDirectory((run_dir + "\\velmora.exe").c_str(), IsGbkLeadByte);
  const POINT plain = ClientOrigin(window->hwnd());
  BoxWatch boxes;
  OnStartup();
  std::vector<std::string> shown = {ShownNow()};
  for (int i = 1; i < kContentPageCount; ++i) {
    shown.push_back(ShowPageAndWait(i, std::string("\\") + kContentPages[i].file_name));
  }
  EXPECT_TRUE(boxes.Stop().empty());
  const POINT after = ClientOrigin(window->hwnd());
  EXPECT_TRUE(after.x == plain.x && after.y == plain.y) << "unskinned";
  for (int i = 0; i < kContentPageCount; ++i) {
    EXPECT_TRUE(IsUnder(shown[i], TempDirectory())) << shown[i];
    EXPECT_EQ(ReadWholeFile(shown[i]), PageBytes(kContentPages[i])) << shown[i];
  }
  EXPECT_TRUE(ListDirectory(run_dir).empty());
  OnShutdown();
  for (const std::string& page : shown) EXPECT_EQ(GetFileAttributesA(page.c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(GetFileAttributesA(FolderOf(shown[0]).c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(StartupTest, AReadOnlyRunDirectoryStartsUnskinnedWithThePagesFromTheTempDirectory) {
  char unix_dir[MAX_PATH];
  if (!GetEnvironmentVariableA("VELMORA_READONLY_DIR", unix_dir, MAX_PATH)) {
    GTEST_SKIP() << "no read-only directory: with_read_only_dir.sh could not make one here";
  }
  StartsUnskinnedWithPagesFromTheTempDirectory(window_, WindowsPath(unix_dir));
}

TEST_F(StartupTest, AVanishedRunDirectoryStartsUnskinnedWithThePagesFromTheTempDirectory) {
  StartsUnskinnedWithPagesFromTheTempDirectory(window_, dir_.File("gone"));
}

// Sets an environment variable for as long as it lives.
class ScopedEnvironment {
 public:
  ScopedEnvironment(const char* name, const std::string& value) : name_(name) {
    char old[MAX_PATH];
    had_ = GetEnvironmentVariableA(name, old, MAX_PATH) > 0;
    if (had_) old_ = old;
    SetEnvironmentVariableA(name, value.c_str());
  }
  ~ScopedEnvironment() { SetEnvironmentVariableA(name_, had_ ? old_.c_str() : nullptr); }

 private:
  const char* name_;
  bool had_;
  std::string old_;
};

// Neither the run directory nor the temp directory takes a file: the pages are
// blank, and the user is told once why and what to do.
TEST_F(StartupTest, PagesThatCanBeWrittenNowhereAreBlankAndTheUserIsTold) {
  RecordRunDirectory(dir_.File("gone\\velmora.exe").c_str(), IsGbkLeadByte);
  std::vector<MessageBoxContents> boxes;
  std::string first, fourth;
  {
    ScopedEnvironment tmp("TMP", dir_.File("no-temp")), temp("TEMP", dir_.File("no-temp"));
    BoxWatch watch;
    OnStartup();
    first = ShownNow();
    fourth = ShowPageAndWait(3, "about:blank");
    boxes = watch.Stop();
  }
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text,
            L"内容页面无法写入程序所在的文件夹，也无法写入临时文件夹，页面区将显示为空白。\r\n"
            L"请确认这两个文件夹可以写入并且磁盘有空间，然后重新启动程序。");
  EXPECT_TRUE(boxes[0].has_icon) << "a warning";
  EXPECT_EQ(boxes[0].buttons.size(), 1u) << "OK only";
  EXPECT_EQ(first, "about:blank");
  EXPECT_EQ(fourth, "about:blank");
  EXPECT_TRUE(ListDirectory(dir_.path()).empty());
  OnShutdown();
}

// Another instance in the same directory: what it shows is shared when it is
// the same page, left alone when it is not, and outlives this one's end.
TEST_F(StartupTest, PagesAnotherInstanceShowsAreSharedAndOutliveThisOnesEnd) {
  std::vector<HANDLE> other;
  std::vector<std::string> theirs;
  for (int i = 0; i < kContentPageCount; ++i) {
    // The last one is another version's page under the same name.
    theirs.push_back(i < kContentPageCount - 1 ? PageBytes(kContentPages[i]) : "another version's page");
    std::string path = dir_.File(kContentPages[i].file_name);
    ASSERT_TRUE(WriteWholeFile(path, theirs[i]));
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_HIDDEN);
    other.push_back(HoldAsAnInstance(path));
    ASSERT_NE(other.back(), INVALID_HANDLE_VALUE);
  }
  BoxWatch boxes;
  OnStartup();
  EXPECT_EQ(ShownNow(), dir_.File(kContentPages[0].file_name)) << "the same page, shared";
  const std::string last = ShowPageAndWait(4, std::string("\\") + kContentPages[4].file_name);
  EXPECT_TRUE(IsUnder(last, TempDirectory())) << last;
  EXPECT_EQ(ReadWholeFile(last), PageBytes(kContentPages[4]));
  EXPECT_TRUE(boxes.Stop().empty());

  OnShutdown();
  EXPECT_EQ(GetFileAttributesA(last.c_str()), INVALID_FILE_ATTRIBUTES);
  for (int i = 0; i < kContentPageCount; ++i) {
    std::string path = dir_.File(kContentPages[i].file_name);
    EXPECT_EQ(ReadWholeFile(path), theirs[i]) << "still there for the other instance: " << path;
    EXPECT_EQ(VisibleAttributes(path), static_cast<DWORD>(FILE_ATTRIBUTE_HIDDEN)) << path;
    CloseHandle(other[i]);
  }
}

// And the other way round: while this instance shows its pages, another one
// can read them but neither rewrite nor delete them.
TEST_F(StartupTest, PagesOnShowCannotBeRewrittenOrDeletedByAnotherInstance) {
  OnStartup();
  for (const ContentPage& page : kContentPages) {
    std::string path = dir_.File(page.file_name);
    EXPECT_FALSE(DeleteFileA(path.c_str())) << path;
    HANDLE write = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_EQ(write, INVALID_HANDLE_VALUE) << path;
    if (write != INVALID_HANDLE_VALUE) CloseHandle(write);
    HANDLE read = HoldAsAnInstance(path);
    EXPECT_NE(read, INVALID_HANDLE_VALUE) << path;
    if (read != INVALID_HANDLE_VALUE) CloseHandle(read);
    EXPECT_EQ(ReadWholeFile(path), PageBytes(page));
  }
  OnShutdown();
  EXPECT_EQ(ListDirectory(dir_.path()), std::set<std::string>{kEngineFile});
}

// The frame takes skin 13's border and caption, and gives them back when the
// engine lets go.
TEST_F(StartupTest, MainWindowIsSkinnedWithSkin13) {
  const POINT plain = ClientOrigin(window_->hwnd());
  OnStartup();
  ByteArray skin13 = SkinCatalogueEntry(13);
  skin::SkinLook look{};
  ASSERT_EQ(skin::ReadSkin(ByteArrayData(skin13), static_cast<uint32_t>(skin13->length), &look),
            skin::ReadResult::kOk);
  const POINT skinned = ClientOrigin(window_->hwnd());
  const int b = look.metrics[skin::kBorderWidth], c = look.metrics[skin::kCaptionHeight];
  EXPECT_EQ(skinned.x, b);
  EXPECT_EQ(skinned.y, b + c);
  HMODULE engine = GetModuleHandleA(kEngineFile);
  ASSERT_NE(engine, nullptr);
  auto color = reinterpret_cast<SkinH_GetColorProc>(
      reinterpret_cast<void (*)()>(GetProcAddress(engine, "SkinH_GetColor")));
  ASSERT_NE(color, nullptr);
  EXPECT_EQ(color(skin::kCaptionActiveTop), look.colors[skin::kCaptionActiveTop]);
  DetachSkinEngine();
  const POINT after = ClientOrigin(window_->hwnd());
  EXPECT_EQ(after.x, plain.x);
  EXPECT_EQ(after.y, plain.y);
  OnShutdown();
}

// A DLL that is not our engine but would load and answer its entry: the
// bridge tests' recording engine.
const std::string& ForeignEngine() {
  static std::string bytes = [] {
    char unix_path[MAX_PATH];
    if (!GetEnvironmentVariableA("VELMORA_FOREIGN_ENGINE", unix_path, MAX_PATH)) return std::string();
    return ReadWholeFile(WindowsPath(unix_path));
  }();
  return bytes;
}

// A foreign engine in a run directory that takes no files: never loaded, and
// the program goes on unskinned without a word.
TEST_F(StartupTest, AForeignEngineInAReadOnlyFolderIsNeverLoaded) {
  char unix_dir[MAX_PATH];
  if (!GetEnvironmentVariableA("VELMORA_READONLY_ENGINE_DIR", unix_dir, MAX_PATH)) {
    GTEST_SKIP() << "no read-only directory: with_read_only_dir.sh could not make one here";
  }
  const std::string run_dir = WindowsPath(unix_dir), engine = run_dir + "\\" + kEngineFile;
  ASSERT_FALSE(ForeignEngine().empty());
  ASSERT_TRUE(ReadWholeFile(engine) == ForeignEngine());
  RecordRunDirectory((run_dir + "\\velmora.exe").c_str(), IsGbkLeadByte);
  const POINT plain = ClientOrigin(window_->hwnd());
  BoxWatch boxes;
  OnStartup();
  EXPECT_TRUE(boxes.Stop().empty()) << "no report, no message";
  const POINT after = ClientOrigin(window_->hwnd());
  EXPECT_TRUE(after.x == plain.x && after.y == plain.y) << "unskinned";
  EXPECT_EQ(GetModuleHandleA(engine.c_str()), nullptr) << "never loaded";
  EXPECT_TRUE(IsUnder(ShownNow(), TempDirectory())) << "the pages as the folder allows";
  OnShutdown();
  EXPECT_TRUE(ReadWholeFile(engine) == ForeignEngine());
}

// What may be under the engine's name at start, and what the user then sees.
enum class EngineLeftover {
  kTorn,
  kTornReadOnly,
  kTornAndLocked,
  kSharedForReading,
  kFolder,
  kEngineNotHidden,
  kForeignHeldByAnotherProgram
};
struct EngineRow {
  const char* name;
  EngineLeftover leftover;
  bool skinned;   // MainWindow wears skin 13
  bool replaced;  // the file holds the engine afterwards
};

class EngineFileTest : public StartupTest, public ::testing::WithParamInterface<EngineRow> {};

TEST_P(EngineFileTest, StartsSkinnedOrPlainButNeverEnds) {
  const EngineRow& row = GetParam();
  const std::string engine = dir_.File(kEngineFile);
  const std::string torn = EngineImage().substr(0, EngineImage().size() / 10);
  HANDLE held = INVALID_HANDLE_VALUE;
  switch (row.leftover) {
    case EngineLeftover::kTorn:
    case EngineLeftover::kTornReadOnly:
    case EngineLeftover::kTornAndLocked:
      ASSERT_TRUE(WriteWholeFile(engine, torn));
      SetFileAttributesA(engine.c_str(), row.leftover == EngineLeftover::kTornReadOnly
                                             ? FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY
                                             : FILE_ATTRIBUTE_HIDDEN);
      if (row.leftover == EngineLeftover::kTornAndLocked) held = LockFile(engine);
      break;
    case EngineLeftover::kSharedForReading:
      ASSERT_TRUE(WriteWholeFile(engine, EngineImage()));
      held = HoldAsAnInstance(engine);
      break;
    case EngineLeftover::kFolder:
      ASSERT_TRUE(CreateDirectoryA(engine.c_str(), nullptr));
      break;
    case EngineLeftover::kEngineNotHidden:
      ASSERT_TRUE(WriteWholeFile(engine, EngineImage()));
      AgeFile(engine);
      break;
    case EngineLeftover::kForeignHeldByAnotherProgram:
      ASSERT_TRUE(WriteWholeFile(engine, ForeignEngine()));
      held = HoldAsAnInstance(engine);
      break;
  }
  if (row.leftover == EngineLeftover::kTornAndLocked || row.leftover == EngineLeftover::kSharedForReading ||
      row.leftover == EngineLeftover::kForeignHeldByAnotherProgram) {
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
  }
  const POINT plain = ClientOrigin(window_->hwnd());
  BoxWatch boxes;
  OnStartup();
  EXPECT_TRUE(boxes.Stop().empty()) << "no report, no message";
  const POINT after = ClientOrigin(window_->hwnd());
  EXPECT_EQ(after.x != plain.x || after.y != plain.y, row.skinned);
  // (A skinned row's copy may be gone again: the entry stays bound to the first test's.)
  if (!row.skinned) EXPECT_EQ(GetModuleHandleA(engine.c_str()), nullptr) << "never loaded: it is not ours";
  EXPECT_EQ(ShownNow(), dir_.File(kContentPages[0].file_name)) << "the pages as ever";
  if (row.leftover == EngineLeftover::kFolder) {
    EXPECT_EQ(GetFileAttributesA(engine.c_str()), static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));
  } else if (row.replaced) {
    EXPECT_TRUE(ReadWholeFile(engine) == EngineImage());
    EXPECT_EQ(VisibleAttributes(engine), static_cast<DWORD>(FILE_ATTRIBUTE_HIDDEN));
  } else if (row.leftover == EngineLeftover::kEngineNotHidden) {
    EXPECT_EQ(LastWrite(engine), kLongAgo) << "not written again";
    EXPECT_EQ(VisibleAttributes(engine), 0u) << "not hidden afterwards";
  } else {
    const std::string& was = row.leftover == EngineLeftover::kSharedForReading              ? EngineImage()
                             : row.leftover == EngineLeftover::kForeignHeldByAnotherProgram ? ForeignEngine()
                                                                                            : torn;
    EXPECT_TRUE(ReadThrough(held) == was) << "a file in use stays as it is";
  }
  if (held != INVALID_HANDLE_VALUE) CloseHandle(held);
  OnShutdown();
  EXPECT_EQ(ListDirectory(dir_.path()), std::set<std::string>{kEngineFile}) << "no temporary name left";
}

INSTANTIATE_TEST_SUITE_P(
    Leftovers, EngineFileTest,
    ::testing::Values(
        EngineRow{"Torn", EngineLeftover::kTorn, true, true},
        EngineRow{"TornHiddenReadOnly", EngineLeftover::kTornReadOnly, true, true},
        EngineRow{"TornAndLockedByAnotherProgram", EngineLeftover::kTornAndLocked, false, false},
        EngineRow{"TheEngineSharedForReading", EngineLeftover::kSharedForReading, true, false},
        EngineRow{"AFolderOfThatName", EngineLeftover::kFolder, false, false},
        EngineRow{"TheEngineNotHiddenIsLeftAlone", EngineLeftover::kEngineNotHidden, true, false},
        EngineRow{"AForeignEngineHeldByAnotherProgram", EngineLeftover::kForeignHeldByAnotherProgram, false,
                  false}),
    [](const ::testing::TestParamInfo<EngineRow>& info) { return std::string(info.param.name); });

// Run directories code page 1252 (the tests' own) cannot spell. 淺 in the file
// name ends in the byte of "\": split by that code page's lead bytes, the run
// directory would take half of it.
struct RunDirectoryRow {
  const char* name;
  const wchar_t* folder;  // in the scratch directory
  bool usable;            // GBK names it, by its own name or its short name
};

class RunDirectoryNameTest : public StartupTest, public ::testing::WithParamInterface<RunDirectoryRow> {};

TEST_P(RunDirectoryNameTest, PagesAndSkinWhereverGbkCanNameTheFolder) {
  const RunDirectoryRow& row = GetParam();
  const std::wstring folder = GbkToWide(dir_.path().c_str()) + L"\\" + row.folder,
                     exe = folder + L"\\淺水.exe";
  ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
  // A module that is not there has no short name either.
  if (row.usable) CloseHandle(CreateFileW(exe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
  EnterRunDirectory(exe.c_str());
  ASSERT_EQ(RunDirectoryUsable(), row.usable);
  Text dir = GetRunDirectory();
  wchar_t named[MAX_PATH] = L"";
  GetLongPathNameW(GbkToWide(dir.get()).c_str(), named, MAX_PATH);
  EXPECT_EQ(named == folder, row.usable) << "recorded: " << (dir.get() ? dir.get() : "nothing");
  const POINT plain = ClientOrigin(window_->hwnd());
  std::vector<MessageBoxContents> boxes;
  {
    BoxWatch watch;
    OnStartup();
    boxes = watch.Stop();
  }
  ASSERT_EQ(boxes.size(), row.usable ? 0u : 1u) << "told why only when the folder goes unused";
  if (!row.usable) {
    EXPECT_EQ(boxes[0].text,
              L"这台电脑无法表示程序所在文件夹的名字，所以界面没有加载皮肤，页面放在了临时文件夹里。\r\n"
              L"把程序移到名字只含中文、英文或数字的文件夹里，然后重新启动程序。");
    EXPECT_TRUE(boxes[0].has_icon) << "a warning";
  }
  const std::string first = ShownNow(), last = ShowPageAndWait(4, kContentPages[4].file_name);
  const POINT after = ClientOrigin(window_->hwnd());
  EXPECT_EQ(after.x != plain.x || after.y != plain.y, row.usable) << "skinned";
  const std::string where = row.usable ? std::string(dir.get()) : FolderOf(first);
  EXPECT_TRUE(FolderOf(first) == where && FolderOf(last) == where) << first << " " << last;
  EXPECT_EQ(where.find("\\velmora-pages-") == std::string::npos, row.usable) << "else in the temp folder";
  EXPECT_EQ(ReadWholeFile(first), PageBytes(kContentPages[0])) << first;
  EXPECT_EQ(ReadWholeFile(last), PageBytes(kContentPages[4])) << last;
  OnShutdown();
  EXPECT_EQ(ReadWholeFile(first) + ReadWholeFile(last), "<missing><missing>");
}

INSTANTIATE_TEST_SUITE_P(
    Names, RunDirectoryNameTest,
    ::testing::Values(RunDirectoryRow{"ChineseAndSpaces", L"运行 目录", true},
                      RunDirectoryRow{"KoreanByItsShortName", L"\uC548\uB155 \uD3F4\uB354", true},
                      RunDirectoryRow{"EmojiWithNoShortNameLeavesItUnused", L"\U0001F600 \uC5C6\uC74C",
                                      false}),
    [](const ::testing::TestParamInfo<RunDirectoryRow>& info) { return std::string(info.param.name); });

}  // namespace

int main(int argc, char** argv) { return RunTestMain(argc, argv); }
