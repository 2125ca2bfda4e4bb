// The start-up and shutdown handlers against a real directory, and the real
// velmora.exe started from somewhere else.
#include "core/startup.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <thread>
#include <vector>

#include "core/links.h"
#include "core/pages.h"
#include "core/services.h"
#include "forms/live_window_win32.h"
#include "forms/program_windows.h"
#include "forms/property_access.h"
#include "skin/native_entries.h"
#include "skin/skin_catalogue.h"
#include "skinengine/skin_format.h"
#include "skinengine/skinh.h"
#include "support/test_support.h"

namespace {

std::string PageBytes(const ContentPage& page) {
  return std::string(reinterpret_cast<const char*>(ByteArrayData(page.bytes)),
                     static_cast<size_t>(ByteArrayLength(page.bytes)));
}

// Wine reports every regular file as archive; the other bits are what matter.
DWORD VisibleAttributes(const std::string& path) {
  DWORD a = GetFileAttributesA(path.c_str());
  return a == INVALID_FILE_ATTRIBUTES ? a : a & ~FILE_ATTRIBUTE_ARCHIVE;
}

// The browser reports a local file as a file: address: Wine as "file://"
// and the path unchanged, Windows as "file:///" with forward slashes.
std::string LocalPathOf(const char* location) {
  std::string s = location ? location : "";
  if (s.rfind("file:", 0) != 0) return s;
  s.erase(0, s.find_first_not_of('/', 5));
  for (char& c : s) c = c == '/' ? '\\' : c;
  return s;
}

constexpr uint32_t kMainWindow = 0x52010001, kTabPager = 0x16010002, kPageView = 0x1601001a;
const char kEngineFile[] = "SkinH_EL.dll";

std::string EngineImage() {
  ByteArray image = SkinEngineImage();
  return std::string(reinterpret_cast<const char*>(ByteArrayData(image)), static_cast<size_t>(image->length));
}

// OnStartup attaches the engine to this thread; the next test starts unskinned.
void DetachSkinEngine() {
  HMODULE engine = GetModuleHandleA(kEngineFile);
  if (!engine) return;
  auto detach = reinterpret_cast<SkinH_DetachProc>(
      reinterpret_cast<void (*)()>(GetProcAddress(engine, "SkinH_Detach")));
  if (detach) detach();
}

// Where the frame's client area starts inside the window.
POINT ClientOrigin(HWND hwnd) {
  RECT wr;
  GetWindowRect(hwnd, &wr);
  POINT origin = {0, 0};
  ClientToScreen(hwnd, &origin);
  return {origin.x - wr.left, origin.y - wr.top};
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
    window_ = LiveWindow::Load(kMainWindow);
    ASSERT_NE(window_, nullptr);
  }
  void TearDown() override {
    DetachSkinEngine();
    if (FindLiveWindow(kMainWindow)) window_->Destroy();
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
  EXPECT_EQ(GetControlNumber(kMainWindow, kTabPager, 12), 0) << "page 0 selected (TabPager stores 3)";
  Text url = GetControlText(kMainWindow, kPageView, 11);
  EXPECT_EQ(LocalPathOf(url.get()), dir_.File(kContentPages[0].file_name)) << "PageView shows page 1";

  OnShutdown();
  EXPECT_EQ(ListDirectory(dir_.path()), (std::set<std::string>{"notes.txt", "other.html", kEngineFile}))
      << "the engine stays";
  EXPECT_EQ(ReadWholeFile(dir_.File("notes.txt")), "mine");
  EXPECT_EQ(VisibleAttributes(dir_.File("other.html")), static_cast<DWORD>(FILE_ATTRIBUTE_HIDDEN));
}

// The browser draws nothing under Wine (no HTML engine), but it reports where
// each page picture's handler sent it.
TEST_F(StartupTest, EachShowPageHandlerPointsPageViewAtItsPage) {
  OnStartup();
  void (*const show[])(int32_t, int32_t, int32_t) = {ShowPage1, ShowPage2, ShowPage3, ShowPage4, ShowPage5};
  for (int i : {2, 0, 4, 1, 3}) {
    show[i](0, 0, 0);
    // The browser moves on once its navigation has run through the message queue.
    std::string expected = dir_.File(kContentPages[i].file_name), seen;
    for (DWORD start = GetTickCount(); GetTickCount() - start < 5000;) {
      MSG msg;
      while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
      Text url = GetControlText(kMainWindow, kPageView, 11);
      if ((seen = LocalPathOf(url.get())) == expected) break;
      Sleep(20);
    }
    EXPECT_EQ(seen, expected) << "ShowPage" << i + 1;
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

// Collects the names added to and removed from a directory while it is watched.
class DirectoryWatch {
 public:
  explicit DirectoryWatch(const std::string& dir)
      : handle_(CreateFileA(dir.c_str(), FILE_LIST_DIRECTORY,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                            FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OVERLAPPED, nullptr)),
        stop_(CreateEventW(nullptr, TRUE, FALSE, nullptr)),
        thread_([this] { Run(); }) {}
  ~DirectoryWatch() {
    Stop();
    CloseHandle(handle_);
    CloseHandle(stop_);
  }
  void Stop() {
    SetEvent(stop_);
    if (thread_.joinable()) thread_.join();
  }
  std::set<std::string> added, removed, renamed_to;

 private:
  void Run() {
    OVERLAPPED ov{};
    ov.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    alignas(DWORD) char buf[16384];
    for (;;) {
      ResetEvent(ov.hEvent);
      if (!ReadDirectoryChangesW(handle_, buf, sizeof buf, FALSE, FILE_NOTIFY_CHANGE_FILE_NAME, nullptr, &ov,
                                 nullptr)) {
        break;
      }
      HANDLE waits[] = {ov.hEvent, stop_};
      DWORD which = WaitForMultipleObjects(2, waits, FALSE, INFINITE);
      DWORD n = 0;
      if (which != WAIT_OBJECT_0 || !GetOverlappedResult(handle_, &ov, &n, FALSE)) {
        CancelIo(handle_);
        break;
      }
      for (char* p = buf; n > 0;) {
        auto* info = reinterpret_cast<FILE_NOTIFY_INFORMATION*>(p);
        std::wstring wide(info->FileName, info->FileNameLength / sizeof(wchar_t));
        std::string name(wide.begin(), wide.end());
        if (info->Action == FILE_ACTION_ADDED) added.insert(name);
        if (info->Action == FILE_ACTION_REMOVED) removed.insert(name);
        if (info->Action == FILE_ACTION_RENAMED_NEW_NAME) renamed_to.insert(name);
        if (!info->NextEntryOffset) break;
        p += info->NextEntryOffset;
      }
    }
    CloseHandle(ov.hEvent);
  }
  HANDLE handle_;
  HANDLE stop_;
  std::thread thread_;
};

TEST(VelmoraExeTest, WritesItsPagesAndItsSkinEngineInItsOwnDirectoryAndLeavesOnlyTheEngine) {
  char self[MAX_PATH];
  ASSERT_GT(__argc, 1) << "pass the path of velmora.exe";
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  ScratchDir home, elsewhere;
  std::string exe = home.File("velmora.exe");
  ASSERT_TRUE(CopyFileA(WindowsPath(__argv[1]).c_str(), exe.c_str(), FALSE));
  ASSERT_TRUE(WriteWholeFile(home.File("readme.txt"), "keep"));

  std::set<std::string> page_names;
  for (const ContentPage& page : kContentPages) page_names.insert(page.file_name);
  {
    DirectoryWatch watch(home.path());
    Sleep(200);
    ChildProcess run;
    ASSERT_TRUE(StartProgram("\"" + exe + "\"", elsewhere.path(), &run));
    // The pages exist while the window is up; closing it ends the program.
    HWND main_window = WaitForShownWindow(run.pid, L"WTWindow", 60000);
    ASSERT_NE(main_window, nullptr) << "MainWindow never showed";
    for (const ContentPage& page : kContentPages) {
      EXPECT_NE(GetFileAttributesA(home.File(page.file_name).c_str()), INVALID_FILE_ATTRIBUTES)
          << page.file_name;
    }
    PostMessageW(main_window, WM_CLOSE, 0, 0);
    EXPECT_EQ(run.Wait(60000), 0u);
    Sleep(500);
    watch.Stop();
    // The engine comes under a temporary name first, renamed into place whole.
    std::set<std::string> temporary;
    for (const std::string& name : watch.added) {
      if (!page_names.count(name)) temporary.insert(name);
    }
    ASSERT_EQ(temporary.size(), 1u) << "pages and one temporary file";
    EXPECT_EQ(temporary.begin()->rfind("she", 0), 0u) << *temporary.begin();
    EXPECT_EQ(watch.renamed_to, std::set<std::string>{kEngineFile});
    EXPECT_EQ(watch.removed, page_names);
  }
  EXPECT_EQ(ListDirectory(home.path()), (std::set<std::string>{"velmora.exe", "readme.txt", kEngineFile}));
  EXPECT_EQ(ReadWholeFile(home.File(kEngineFile)), EngineImage());
  EXPECT_EQ(VisibleAttributes(home.File(kEngineFile)), static_cast<DWORD>(FILE_ATTRIBUTE_HIDDEN));
  EXPECT_EQ(ReadWholeFile(home.File("readme.txt")), "keep");
  EXPECT_TRUE(ListDirectory(elsewhere.path()).empty()) << "nothing lands in the current directory";
}

// What Explorer and the loader read from the file: version 2.8, an icon, and a
// manifest asking for common controls 6 without elevation.
TEST(VelmoraExeTest, CarriesItsVersionIconAndManifest) {
  ASSERT_GT(__argc, 1) << "pass the path of velmora.exe";
  std::string exe = WindowsPath(__argv[1]);
  DWORD size = GetFileVersionInfoSizeA(exe.c_str(), nullptr);
  ASSERT_GT(size, 0u);
  std::vector<char> info(size);
  ASSERT_TRUE(GetFileVersionInfoA(exe.c_str(), 0, size, info.data()));
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT fixed_size = 0;
  ASSERT_TRUE(VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &fixed_size));
  EXPECT_EQ(fixed->dwFileVersionMS, MAKELONG(8, 2));
  EXPECT_EQ(fixed->dwProductVersionMS, MAKELONG(8, 2));
  char* product = nullptr;
  UINT product_size = 0;
  ASSERT_TRUE(VerQueryValueA(info.data(), "\\StringFileInfo\\080404B0\\ProductVersion",
                             reinterpret_cast<void**>(&product), &product_size));
  EXPECT_STREQ(product, "2.8");

  HMODULE image =
      LoadLibraryExA(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  ASSERT_NE(image, nullptr);
  EXPECT_NE(FindResourceA(image, MAKEINTRESOURCEA(1), RT_GROUP_ICON), nullptr) << "no icon";
  HRSRC manifest = FindResourceA(image, MAKEINTRESOURCEA(1), RT_MANIFEST);
  ASSERT_NE(manifest, nullptr);
  std::string text(static_cast<const char*>(LockResource(LoadResource(image, manifest))),
                   SizeofResource(image, manifest));
  EXPECT_NE(text.find("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""), std::string::npos);
  EXPECT_NE(text.find("level=\"asInvoker\""), std::string::npos);
  EXPECT_NE(text.find("<dpiAware>false</dpiAware>"), std::string::npos);
  FreeLibrary(image);
}

}  // namespace

int main(int argc, char** argv) { return RunTestMain(argc, argv); }
