// ApplySkin and the engine file: what reaches a recording SkinH_EL.dll, the
// file written when missing and left alone when present, and a run directory
// that takes no files.
#include "skin/apply_skin.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>

#include "base/value.h"
#include "bridge_test.h"
#include "recording_engine.h"
#include "skin/skin_catalogue.h"

namespace {

struct FileState {
  DWORD attributes;
  FILETIME written;
  std::string bytes;
  bool operator==(const FileState& o) const {
    return attributes == o.attributes && CompareFileTime(&written, &o.written) == 0 && bytes == o.bytes;
  }
};
FileState StateOf(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data);
  return {data.dwFileAttributes, data.ftLastWriteTime, ReadWholeFile(path)};
}

// Windows keeps the archive bit off once it is cleared; Wine reports it on every
// regular file whatever was set.
bool ArchiveBitAlwaysReported(const std::string& dir) {
  std::string probe = dir + "\\archive-probe";
  WriteWholeFile(probe, "x");
  SetFileAttributesA(probe.c_str(), FILE_ATTRIBUTE_HIDDEN);
  bool always = (GetFileAttributesA(probe.c_str()) & FILE_ATTRIBUTE_ARCHIVE) != 0;
  SetFileAttributesA(probe.c_str(), FILE_ATTRIBUTE_NORMAL);
  DeleteFileA(probe.c_str());
  return always;
}

class ApplySkinTest : public testing::Test {
 protected:
  void SetUp() override {
    UseRunDirectory(run_.path());
    InitNativeBinding(NativeEntryTable, SystemLibraryCalls());
  }
  void TearDown() override { UnloadNativeLibraries(); }
  std::string EngineFile() const { return run_.File("SkinH_EL.dll"); }
  ScratchDir run_;
};

TEST_F(ApplySkinTest, TheEngineGetsAPrivateCopyOfTheSkinOrNothing) {
  ASSERT_TRUE(CopyTestDll("engine", "SkinH_EL.dll", run_.path()));
  FileState before = StateOf(EngineFile());
  ByteArray skin13 = SkinCatalogueEntry(13);
  std::string constant(reinterpret_cast<const char*>(ByteArrayData(skin13)), 26370);
  for (int32_t number : {13, 13, 0, 34}) ApplySkin(number);

  HMODULE engine = GetModuleHandleA(EngineFile().c_str());
  ASSERT_NE(engine, nullptr) << "bound from the run directory";
  auto recorded = reinterpret_cast<RecordedAttachCallsProc>(
      reinterpret_cast<void*>(GetProcAddress(engine, "GetRecordedAttachCalls")))();
  ASSERT_EQ(recorded->count, 4) << "every number calls the engine";
  for (int i = 0; i < 4; ++i) {
    SCOPED_TRACE(i);
    const RecordedAttachCall& call = recorded->calls[i];
    ASSERT_NE(call.text, nullptr);
    EXPECT_STREQ(call.text_start, "");
    EXPECT_EQ(call.reserved[0] | call.reserved[1] | call.reserved[2], 0);
    if (i >= 2) {
      EXPECT_EQ(call.skin, nullptr);
      EXPECT_EQ(call.length, 0);
      continue;
    }
    EXPECT_EQ(call.length, 26370);
    EXPECT_NE(call.skin, ByteArrayData(skin13)) << "a copy, never the constant";
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(call.bytes), 26370), constant);
    EXPECT_EQ(std::memcmp(call.bytes, ".SHE", 4), 0);
  }
  EXPECT_EQ(skin13->length, 26370);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(ByteArrayData(skin13)), 26370), constant);
  EXPECT_TRUE(StateOf(EngineFile()) == before) << "an engine file already there stays as it was";
}

TEST_F(ApplySkinTest, ANameAlreadyTakenIsLeftAlone) {
  ASSERT_TRUE(WriteWholeFile(EngineFile(), "not a library"));
  const DWORD kAll =
      FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE;
  for (DWORD attributes : {DWORD{FILE_ATTRIBUTE_NORMAL}, kAll}) {
    SCOPED_TRACE(attributes);
    SetFileAttributesA(EngineFile().c_str(), attributes);
    FileState before = StateOf(EngineFile());
    EnsureSkinEngineFile();
    EXPECT_TRUE(StateOf(EngineFile()) == before);
    EXPECT_EQ(ListDirectory(run_.path()), std::set<std::string>{"SkinH_EL.dll"});
  }
  SetFileAttributesA(EngineFile().c_str(), FILE_ATTRIBUTE_NORMAL);
  DeleteFileA(EngineFile().c_str());
  ASSERT_TRUE(CreateDirectoryA(EngineFile().c_str(), nullptr));
  EnsureSkinEngineFile();
  EXPECT_EQ(GetFileAttributesA(EngineFile().c_str()), DWORD{FILE_ATTRIBUTE_DIRECTORY});
  EXPECT_EQ(ListDirectory(run_.path()), std::set<std::string>{"SkinH_EL.dll"});
}

TEST_F(ApplySkinTest, AMissingEngineIsWrittenHiddenAndBound) {
  ApplySkin(0);
  ByteArray image = SkinEngineImage();
  EXPECT_EQ(image->length, 88576) << "the twin's engine is padded to the product's size too";
  std::string bytes = ReadWholeFile(EngineFile());
  EXPECT_EQ(bytes.size(), static_cast<size_t>(image->length));
  EXPECT_TRUE(bytes == std::string(reinterpret_cast<const char*>(ByteArrayData(image)), image->length));
  ScratchDir probe;
  DWORD archive = ArchiveBitAlwaysReported(probe.path()) ? FILE_ATTRIBUTE_ARCHIVE : 0;
  EXPECT_EQ(GetFileAttributesA(EngineFile().c_str()), FILE_ATTRIBUTE_HIDDEN | archive)
      << "only the hidden bit";
  EXPECT_EQ(ListDirectory(run_.path()), std::set<std::string>{"SkinH_EL.dll"})
      << "nothing left of the temporary name";
  EXPECT_NE(GetModuleHandleA(EngineFile().c_str()), nullptr) << "our engine, loaded from the run directory";
  FileState written = StateOf(EngineFile());
  ApplySkin(34);
  EXPECT_TRUE(StateOf(EngineFile()) == written) << "written only when missing";
}

// A run directory that takes no files: the start goes on unskinned.
CHILD_CASE(apply_skin_read_only) {
  char dir[MAX_PATH];
  if (!GetEnvironmentVariableA("VELMORA_BRIDGE_RUN", dir, MAX_PATH)) return 98;
  UseRunDirectory(dir);
  SetUpNativeEntries();
  ApplySkin(13);
  return GetModuleHandleA("SkinH_EL.dll") ? 97 : 0;
}
// An engine file that is not a library: the binding's fatal report.
CHILD_CASE(apply_skin_not_a_library) { return ChildCase_apply_skin_read_only(); }

TEST(ApplySkinChildTest, AReadOnlyRunDirectoryStaysUnskinnedANonLibraryIsFatal) {
  char unix_dir[MAX_PATH];
  if (!GetEnvironmentVariableA("VELMORA_READONLY_DIR", unix_dir, MAX_PATH)) {
    GTEST_SKIP() << "no read-only directory: with_read_only_dir.sh could not make one here";
  }
  std::string read_only = WindowsPath(unix_dir);
  SetEnvironmentVariableA("VELMORA_BRIDGE_RUN", read_only.c_str());
  ChildProcess child;
  ASSERT_TRUE(StartChild("apply_skin_read_only", &child));
  DWORD code = child.Wait(20000);
  if (HWND box = WaitForMessageBox(child.pid, 0)) {
    ADD_FAILURE() << "a report was shown";
    PressMessageBoxButton(box, IDOK);
    child.Wait(20000);
  }
  EXPECT_EQ(code, 0u);
  EXPECT_TRUE(ListDirectory(read_only).empty());

  ScratchDir run;
  ASSERT_TRUE(WriteWholeFile(run.File("SkinH_EL.dll"), "not a library"));
  SetEnvironmentVariableA("VELMORA_BRIDGE_RUN", run.path().c_str());
  ChildProcess fatal;
  ASSERT_TRUE(StartChild("apply_skin_not_a_library", &fatal));
  HWND box = WaitForMessageBox(fatal.pid, 20000);
  ASSERT_NE(box, nullptr);
  std::wstring seen = ReadMessageBox(box).text;
  std::wstring expected =
      L"运行时出错!\r\n\r\n错误信息：无法找到指定DLL库文件“SkinH_EL.dll”中的输出命令“SkinH_AttachRes”\r\n";
  EXPECT_EQ(seen, expected.substr(0, seen.size()));
  EXPECT_GE(seen.size() + 2, expected.size());
  PressMessageBoxButton(box, IDOK);
  EXPECT_EQ(fatal.Wait(20000), 0xFFFFFFFFu);
  SetEnvironmentVariableA("VELMORA_BRIDGE_RUN", nullptr);
}

}  // namespace
