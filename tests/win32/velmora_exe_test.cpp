// The real velmora.exe, started from somewhere else: the files it leaves, two
// instances side by side, and what the file carries.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "core/pages.h"
#include "skin/skin_catalogue.h"
#include "skinengine/skin_format.h"
#include "startup_test_support.h"
#include "support/test_support.h"

namespace {

using namespace startup_test;

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
    // The engine and each page come under a temporary name first, renamed into place whole.
    std::set<std::string> temporary, renamed = page_names;
    renamed.insert(kEngineFile);
    for (const std::string& name : watch.added) {
      EXPECT_FALSE(renamed.count(name)) << name << " was written at its own name";
      if (name.rfind("she", 0) == 0 || name.rfind("vmp", 0) == 0) temporary.insert(name);
    }
    EXPECT_EQ(temporary.size(), 6u) << "one temporary file for the engine and each page";
    EXPECT_EQ(watch.renamed_to, renamed);
    EXPECT_EQ(watch.removed, page_names);
  }
  EXPECT_EQ(ListDirectory(home.path()), (std::set<std::string>{"velmora.exe", "readme.txt", kEngineFile}));
  EXPECT_EQ(ReadWholeFile(home.File(kEngineFile)), EngineImage());
  EXPECT_EQ(VisibleAttributes(home.File(kEngineFile)), static_cast<DWORD>(FILE_ATTRIBUTE_HIDDEN));
  EXPECT_EQ(ReadWholeFile(home.File("readme.txt")), "keep");
  EXPECT_TRUE(ListDirectory(elsewhere.path()).empty()) << "nothing lands in the current directory";
}

// Two instances started side by side in one directory: the second neither
// rewrites nor removes what the first shows and has loaded, both wear the
// skin, and the pages go only when the last one ends.
TEST(VelmoraExeTest, TwoInstancesInOneDirectoryShareThePagesUntilTheLastOneEnds) {
  ASSERT_GT(__argc, 1) << "pass the path of velmora.exe";
  ScratchDir home, elsewhere;
  std::string exe = home.File("velmora.exe");
  ASSERT_TRUE(CopyFileA(WindowsPath(__argv[1]).c_str(), exe.c_str(), FALSE));
  ByteArray skin13 = SkinCatalogueEntry(13);
  skin::SkinLook look{};
  ASSERT_EQ(skin::ReadSkin(ByteArrayData(skin13), static_cast<uint32_t>(skin13->length), &look),
            skin::ReadResult::kOk);
  const int border = look.metrics[skin::kBorderWidth];
  auto pages_on_disk = [&](const char* when) {
    for (const ContentPage& page : kContentPages) {
      std::string path = home.File(page.file_name);
      EXPECT_EQ(ReadWholeFile(path), PageBytes(page)) << when << ": " << page.file_name;
      EXPECT_EQ(VisibleAttributes(path), static_cast<DWORD>(FILE_ATTRIBUTE_HIDDEN))
          << when << ": " << page.file_name;
    }
  };

  ChildProcess first, second;
  ASSERT_TRUE(StartProgram("\"" + exe + "\"", elsewhere.path(), &first));
  HWND first_window = WaitForShownWindow(first.pid, L"WTWindow", 60000);
  ASSERT_NE(first_window, nullptr);
  ASSERT_TRUE(StartProgram("\"" + exe + "\"", elsewhere.path(), &second));
  HWND second_window = WaitForShownWindow(second.pid, L"WTWindow", 60000);
  ASSERT_NE(second_window, nullptr);
  pages_on_disk("both running");
  EXPECT_EQ(ClientOrigin(first_window).x, border) << "the first is skinned";
  EXPECT_EQ(ClientOrigin(second_window).x, border) << "the second is skinned";
  EXPECT_TRUE(ReadWholeFile(home.File(kEngineFile)) == EngineImage());

  PostMessageW(first_window, WM_CLOSE, 0, 0);
  EXPECT_EQ(first.Wait(60000), 0u);
  pages_on_disk("the first has ended");
  EXPECT_TRUE(IsWindowVisible(second_window)) << "the second runs on";

  PostMessageW(second_window, WM_CLOSE, 0, 0);
  EXPECT_EQ(second.Wait(60000), 0u);
  EXPECT_EQ(ListDirectory(home.path()), (std::set<std::string>{"velmora.exe", kEngineFile}));
  EXPECT_TRUE(ListDirectory(elsewhere.path()).empty());
}

// What Explorer and the loader read from the file: the version (VersionLabel's
// caption, given by the build as VELMORA_VERSION) in the fixed and string version
// information and the manifest, an icon, and a manifest asking for common
// controls 6 without elevation.
TEST(VelmoraExeTest, CarriesItsVersionIconAndManifest) {
  ASSERT_GT(__argc, 1) << "pass the path of velmora.exe";
  std::string exe = WindowsPath(__argv[1]);
  unsigned part[4] = {};
  ASSERT_GE(sscanf(VELMORA_VERSION, "%u.%u.%u.%u", &part[0], &part[1], &part[2], &part[3]), 1);
  DWORD size = GetFileVersionInfoSizeA(exe.c_str(), nullptr);
  ASSERT_GT(size, 0u);
  std::vector<char> info(size);
  ASSERT_TRUE(GetFileVersionInfoA(exe.c_str(), 0, size, info.data()));
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT fixed_size = 0;
  ASSERT_TRUE(VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &fixed_size));
  for (DWORD ms : {fixed->dwFileVersionMS, fixed->dwProductVersionMS})
    EXPECT_EQ(ms, MAKELONG(part[1], part[0]));
  for (DWORD ls : {fixed->dwFileVersionLS, fixed->dwProductVersionLS})
    EXPECT_EQ(ls, MAKELONG(part[3], part[2]));
  for (const char* key : {"FileVersion", "ProductVersion"}) {
    char* text = nullptr;
    UINT text_size = 0;
    ASSERT_TRUE(VerQueryValueA(info.data(), (std::string("\\StringFileInfo\\080404B0\\") + key).c_str(),
                               reinterpret_cast<void**>(&text), &text_size));
    EXPECT_STREQ(text, VELMORA_VERSION) << key;
  }

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
  std::string identity = "name=\"Velmora.ResourceBox\" version=\"" + std::to_string(part[0]) + "." +
                         std::to_string(part[1]) + "." + std::to_string(part[2]) + "." +
                         std::to_string(part[3]);
  EXPECT_NE(text.find(identity + "\""), std::string::npos) << identity;
  EXPECT_NE(text.find("<dpiAware>false</dpiAware>"), std::string::npos);
  FreeLibrary(image);
}

}  // namespace
