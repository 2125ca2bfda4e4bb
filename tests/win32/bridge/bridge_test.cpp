// The bridge's binding rules against Wine's own loader: test DLLs in the run
// directory and on the search path, an ordinal-only export, the system
// library list, clean-up, the fatal reports and the stack check after a call.
#include "bridge_test.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>

#include "base/fatal.h"
#include "base/value.h"
#include "services/services.h"
#include "skin/native_call.h"

std::vector<std::string> g_library_log;

namespace {

std::string g_dlls;
std::map<void*, std::string> g_loaded_paths;

void* LoggedLoad(const char* path) {
  void* library = SystemLibraryCalls().load(path);
  g_library_log.push_back(std::string("load ") + path + (library ? "" : " failed"));
  if (library) g_loaded_paths[library] = path;
  return library;
}
void* LoggedFindByName(void* library, const char* name) {
  g_library_log.push_back(std::string("find ") + name);
  return SystemLibraryCalls().find_by_name(library, name);
}
void* LoggedFindByOrdinal(void* library, uint16_t ordinal) {
  g_library_log.push_back("find #" + std::to_string(ordinal));
  return SystemLibraryCalls().find_by_ordinal(library, ordinal);
}
void* LoggedLoadSystem(const char* file_name) {
  void* library = SystemLibraryCalls().load_system(file_name);
  g_library_log.push_back(std::string("load system ") + file_name + (library ? "" : " failed"));
  if (library) g_loaded_paths[library] = file_name;
  return library;
}
void LoggedUnload(void* library) {
  g_library_log.push_back("unload " + g_loaded_paths[library]);
  SystemLibraryCalls().unload(library);
}

}  // namespace

const NativeLibraryCalls kLoggedSystemCalls = {LoggedLoad, LoggedFindByName, LoggedFindByOrdinal,
                                               LoggedUnload, LoggedLoadSystem};

const std::string& TestDlls() {
  if (g_dlls.empty()) {
    char buf[MAX_PATH];
    if (GetEnvironmentVariableA("VELMORA_BRIDGE_DLLS", buf, MAX_PATH)) g_dlls = buf;
  }
  return g_dlls;
}

bool CopyTestDll(const char* dir, const char* name, const std::string& folder) {
  std::string from = TestDlls() + "\\" + dir + "\\" + name;
  return CopyFileA(from.c_str(), (folder + "\\" + name).c_str(), FALSE) != FALSE;
}

void UseRunDirectory(const std::string& folder) {
  RecordRunDirectory((folder + "\\velmora.exe").c_str(), IsGbkLeadByte);
}

namespace {

using Log = std::vector<std::string>;

class BridgeTest : public testing::Test {
 protected:
  void SetUp() override {
    UseRunDirectory(run_.path());
    g_library_log.clear();
  }
  void TearDown() override {
    UnloadNativeLibraries();
    SetDllDirectoryA(nullptr);
  }
  void Declare(std::vector<const char*> libraries, std::vector<const char*> entries) {
    libraries_ = std::move(libraries);
    entries_ = std::move(entries);
    InitNativeBinding({static_cast<int32_t>(libraries_.size()), libraries_.data(), entries_.data()},
                      kLoggedSystemCalls);
  }
  ScratchDir run_;
  std::vector<const char*> libraries_, entries_;
};

TEST_F(BridgeTest, TheRunDirectoryOrADrivePathExactlyAndNeverTheSearchPath) {
  // The other twin lies on the search path: only a drive path reaches it.
  std::string path_twins = TestDlls() + "\\path";
  ASSERT_TRUE(SetDllDirectoryA(path_twins.c_str()));
  std::string beside = run_.File("bridge_twin.dll");
  std::string on_path = path_twins + "\\bridge_twin.dll";
  const struct {
    const char* label;
    bool in_run_directory;
    std::string library;
    uintptr_t which;
    Log log;
  } rows[] = {
      {"beside the program", true, "bridge_twin.dll", 1, {"load " + beside, "find WhichTwin"}},
      {"a drive path", true, on_path, 2, {"load " + on_path, "find WhichTwin"}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    DeleteFileA(beside.c_str());
    if (row.in_run_directory) {
      ASSERT_TRUE(CopyTestDll("run", "bridge_twin.dll", run_.path()));
    }
    Declare({row.library.c_str()}, {"WhichTwin"});
    g_library_log.clear();
    EXPECT_EQ(CallNativeEntryChecked(0, {}), row.which);
    EXPECT_EQ(CallNativeEntryChecked(0, {}), row.which);
    EXPECT_EQ(g_library_log, row.log) << "bound once: the second call loads nothing";
    UnloadNativeLibraries();
    EXPECT_EQ(GetModuleHandleA("bridge_twin.dll"), nullptr) << "clean-up unloads it";
  }
}

TEST_F(BridgeTest, AnOrdinalNameBindsTheExportOfThatOrdinal) {
  ASSERT_TRUE(CopyTestDll("callees", "bridge_callees.dll", run_.path()));
  Declare({"bridge_callees.dll", "bridge_callees.dll", "bridge_callees.dll"},
          {"#12", "#65548", "AnswersOrdinal12"});
  EXPECT_EQ(CallNativeEntryChecked(0, {}), 12012u);
  EXPECT_EQ(CallNativeEntryChecked(1, {}), 12012u) << "the low 16 bits of 65548 are 12";
  HMODULE callees = GetModuleHandleA(run_.File("bridge_callees.dll").c_str());
  ASSERT_NE(callees, nullptr);
  EXPECT_EQ(GetProcAddress(callees, "AnswersOrdinal12"), nullptr) << "exported by ordinal only";
}

TEST_F(BridgeTest, AnEmptyLibraryNameSearchesTheSystemLibrariesInOrder) {
  // IsWindowVisible: User32 exports it, Kernel32 and Gdi32 do not.
  Declare({""}, {"IsWindowVisible"});
  void* bound = ResolveNativeEntry(0);
  EXPECT_EQ(bound,
            reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), "IsWindowVisible")));
  EXPECT_EQ(g_library_log, (Log{"load system Kernel32.dll", "find IsWindowVisible", "unload Kernel32.dll",
                                "load system Gdi32.dll", "find IsWindowVisible", "unload Gdi32.dll",
                                "load system User32.dll", "find IsWindowVisible"}));
}

TEST_F(BridgeTest, CleanUpUnloadsInEntryOrder) {
  ASSERT_TRUE(CopyTestDll("callees", "bridge_callees.dll", run_.path()));
  ASSERT_TRUE(CopyTestDll("run", "bridge_twin.dll", run_.path()));
  Declare({"bridge_callees.dll", "", "bridge_twin.dll"}, {"Balanced6", "IsWindowVisible", "WhichTwin"});
  ResolveNativeEntry(2);
  ResolveNativeEntry(0);
  g_library_log.clear();
  UnloadNativeLibraries();
  EXPECT_EQ(g_library_log,
            (Log{"unload " + run_.File("bridge_callees.dll"), "unload " + run_.File("bridge_twin.dll")}));
  EXPECT_EQ(GetModuleHandleA("bridge_callees.dll"), nullptr);
  EXPECT_EQ(GetModuleHandleA("bridge_twin.dll"), nullptr);
}

// Children: each binds or calls one declared entry in the run directory that
// the parent prepared, through the system's own calls.
int CallInChild(const char* library, const char* entry, std::initializer_list<uintptr_t> args) {
  char run[MAX_PATH];
  if (!GetEnvironmentVariableA("VELMORA_BRIDGE_RUN", run, MAX_PATH)) return 98;
  UseRunDirectory(run);
  const char* libraries[] = {library};
  const char* entries[] = {entry};
  InitNativeBinding({1, libraries, entries}, SystemLibraryCalls());
  AddCleanupStep(UnloadNativeLibraries);
  CallNativeEntryChecked(0, args);
  return 0;
}
CHILD_CASE(bridge_lacking_entry) { return CallInChild("bridge_twin.dll", "NoSuchEntry", {}); }
CHILD_CASE(bridge_absent_library) { return CallInChild("bridge_absent.dll", "WhichTwin", {}); }
// The library lies on the search path only: a bare name is never searched for.
CHILD_CASE(bridge_on_the_search_path_only) {
  ScratchDir empty;
  if (!SetDllDirectoryA((TestDlls() + "\\path").c_str())) return 98;
  SetEnvironmentVariableA("VELMORA_BRIDGE_RUN", empty.path().c_str());
  return CallInChild("bridge_twin.dll", "WhichTwin", {});
}
CHILD_CASE(bridge_empty_library) { return CallInChild("", "NoSuchEntry", {}); }
CHILD_CASE(bridge_absent_ordinal) { return CallInChild("bridge_callees.dll", "#99", {}); }
CHILD_CASE(bridge_balanced) { return CallInChild("bridge_callees.dll", "Balanced6", {1, 2, 3, 4, 5, 6}); }
CHILD_CASE(bridge_leaves_arguments) {
  return CallInChild("bridge_callees.dll", "LeavesArguments", {1, 2, 3, 4, 5, 6});
}
CHILD_CASE(bridge_removes_too_many) {
  return CallInChild("bridge_callees.dll", "RemovesTooMany", {1, 2, 3, 4, 5, 6});
}

constexpr bool kI386 = sizeof(void*) == 4;
const wchar_t kHead[] = L"运行时出错!\r\n\r\n";
const wchar_t kError6[] = L"运行时出错!\r\n\r\n错误代码：6\r\n\r\n错误信息：调用DLL命令后发现堆栈错误\r\n";

struct ChildRow {
  const char* child;
  std::wstring text;  // the report shown, empty when the child ends normally
  const char* log;    // the twin's log while the report is shown, or null
};

TEST(BridgeFatalTest, ChildrenReportWhatTheirCallMet) {
  const ChildRow rows[] = {
      {"bridge_lacking_entry",
       std::wstring(kHead) + L"错误信息：无法找到指定DLL库文件“bridge_twin.dll”中的输出命令“NoSuchEntry”\r\n",
       "attach 1\ndetach 1\n"},
      {"bridge_absent_library",
       std::wstring(kHead) + L"错误信息：无法找到指定DLL库文件“bridge_absent.dll”中的输出命令“WhichTwin”\r\n",
       nullptr},
      {"bridge_on_the_search_path_only",
       std::wstring(kHead) + L"错误信息：无法找到指定DLL库文件“bridge_twin.dll”中的输出命令“WhichTwin”\r\n",
       nullptr},
      {"bridge_empty_library",
       std::wstring(kHead) + L"错误信息：无法找到指定DLL库文件中的输出命令“NoSuchEntry”\r\n", nullptr},
      {"bridge_absent_ordinal",
       std::wstring(kHead) + L"错误信息：无法找到指定DLL库文件“bridge_callees.dll”中的输出命令“#99”\r\n",
       nullptr},
      {"bridge_balanced", L"", nullptr},
      // x64 has one convention in which callees never remove arguments: these
      // two return balanced there, and the check has nothing to find.
      {"bridge_leaves_arguments", kI386 ? kError6 : L"", nullptr},
      {"bridge_removes_too_many", kI386 ? kError6 : L"", nullptr},
  };
  ScratchDir run;
  ASSERT_TRUE(CopyTestDll("callees", "bridge_callees.dll", run.path()));
  ASSERT_TRUE(CopyTestDll("run", "bridge_twin.dll", run.path()));
  std::string log = run.File("twin.log");
  SetEnvironmentVariableA("VELMORA_BRIDGE_RUN", run.path().c_str());
  SetEnvironmentVariableA("VELMORA_BRIDGE_LOG", log.c_str());
  for (const ChildRow& row : rows) {
    SCOPED_TRACE(row.child);
    DeleteFileA(log.c_str());
    ChildProcess child;
    ASSERT_TRUE(StartChild(row.child, &child));
    if (row.text.empty()) {
      EXPECT_EQ(child.Wait(20000), 0u);
      continue;
    }
    HWND box = WaitForMessageBox(child.pid, 20000);
    ASSERT_NE(box, nullptr) << "no report";
    // Wine's static control may drop the last line break; compare without it.
    std::wstring seen = ReadMessageBox(box).text;
    EXPECT_EQ(seen, row.text.substr(0, seen.size()));
    EXPECT_GE(seen.size() + 2, row.text.size());
    if (row.log) {
      EXPECT_EQ(ReadWholeFile(log), row.log) << "unloaded before the report";
    }
    PressMessageBoxButton(box, IDOK);
    EXPECT_EQ(child.Wait(20000), 0xFFFFFFFFu);
  }
  SetEnvironmentVariableA("VELMORA_BRIDGE_RUN", nullptr);
  SetEnvironmentVariableA("VELMORA_BRIDGE_LOG", nullptr);
}

}  // namespace

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (std::strncmp(argv[i], "--dlls=", 7) == 0) {
      SetEnvironmentVariableA("VELMORA_BRIDGE_DLLS", WindowsPath(argv[i] + 7).c_str());
    }
  }
  return RunTestMain(argc, argv);
}
