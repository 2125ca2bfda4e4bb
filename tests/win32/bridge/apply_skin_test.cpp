// ApplySkin and the engine file: what reaches a recording SkinH_EL.dll, the
// file written when missing or not the engine's bytes and left alone while in
// use, and a run directory that takes no files.
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

std::string EngineImage() {
  ByteArray image = SkinEngineImage();
  return std::string(reinterpret_cast<const char*>(ByteArrayData(image)), static_cast<size_t>(image->length));
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
  // A recording engine is never loaded from the run directory (it is not
  // ours), but the entry is bound once a process: bound to the recorder in a
  // folder of its own first, it is what ApplySkin then calls.
  ScratchDir elsewhere;
  const std::string recorder_file = elsewhere.File("SkinH_EL.dll");
  ASSERT_TRUE(CopyTestDll("engine", "SkinH_EL.dll", elsewhere.path()));
  HMODULE in_use = LoadLibraryA(recorder_file.c_str());
  ASSERT_NE(in_use, nullptr);
  UseRunDirectory(elsewhere.path());
  ASSERT_NE(ResolveNativeEntry(kSkinAttachResEntry), nullptr);
  UseRunDirectory(run_.path());
  FileState before = StateOf(recorder_file);
  ByteArray skin13 = SkinCatalogueEntry(13);
  std::string constant(reinterpret_cast<const char*>(ByteArrayData(skin13)), 26370);
  for (int32_t number : {13, 13, 0, 34}) ApplySkin(number);

  HMODULE engine = GetModuleHandleA(recorder_file.c_str());
  ASSERT_NE(engine, nullptr) << "bound from its folder";
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
  EXPECT_TRUE(StateOf(recorder_file) == before) << "an engine in use stays as it was";
  EXPECT_TRUE(ReadWholeFile(EngineFile()) == EngineImage()) << "ours checked and loaded in the run directory";
  FreeLibrary(in_use);
}

// What a failed copy or a broken disk leaves under the engine's name gives way
// to the engine; somebody's folder of that name does not.
TEST_F(ApplySkinTest, AFileThatDoesNotLoadIsReplacedAFolderIsLeftAlone) {
  const std::string engine = EngineImage();
  std::string unsigned_pe = engine;
  unsigned_pe.replace(unsigned_pe.find("PE\0\0", 0, 4), 4, "XX\0\0", 4);
  const DWORD kAll =
      FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE;
  const struct {
    const char* what;
    std::string bytes;
    DWORD attributes;
  } rows[] = {
      {"not a library", "not a library", FILE_ATTRIBUTE_NORMAL},
      {"not a library, every attribute", "not a library", kAll},
      {"torn at half its length", engine.substr(0, engine.size() / 2), FILE_ATTRIBUTE_HIDDEN},
      {"full length, no PE signature", unsigned_pe, FILE_ATTRIBUTE_HIDDEN},
  };
  ScratchDir probe;
  DWORD archive = ArchiveBitAlwaysReported(probe.path()) ? FILE_ATTRIBUTE_ARCHIVE : 0;
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    ScratchDir run;  // a loaded engine stays; each row has a folder of its own
    UseRunDirectory(run.path());
    std::string file = run.File("SkinH_EL.dll");
    ASSERT_TRUE(WriteWholeFile(file, row.bytes));
    SetFileAttributesA(file.c_str(), row.attributes);
    EnsureSkinEngineFile();
    EXPECT_TRUE(ReadWholeFile(file) == engine);
    EXPECT_EQ(GetFileAttributesA(file.c_str()), FILE_ATTRIBUTE_HIDDEN | archive);
    EXPECT_EQ(ListDirectory(run.path()), std::set<std::string>{"SkinH_EL.dll"}) << "no temporary file left";
  }
  UseRunDirectory(run_.path());
  ASSERT_TRUE(CreateDirectoryA(EngineFile().c_str(), nullptr));
  ASSERT_TRUE(WriteWholeFile(EngineFile() + "\\mine.txt", "mine"));
  EnsureSkinEngineFile();
  EXPECT_EQ(GetFileAttributesA(EngineFile().c_str()), DWORD{FILE_ATTRIBUTE_DIRECTORY});
  EXPECT_EQ(ListDirectory(run_.path()), std::set<std::string>{"SkinH_EL.dll"});
  EXPECT_EQ(ReadWholeFile(EngineFile() + "\\mine.txt"), "mine");
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
// An engine file that is not a library: replaced, and the start goes on skinned.
CHILD_CASE(apply_skin_not_a_library) { return ChildCase_apply_skin_read_only() == 97 ? 0 : 96; }

TEST(ApplySkinChildTest, AReadOnlyRunDirectoryStaysUnskinnedANonLibraryIsReplaced) {
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
  ChildProcess replaced;
  ASSERT_TRUE(StartChild("apply_skin_not_a_library", &replaced));
  DWORD replaced_code = replaced.Wait(20000);
  if (HWND box = WaitForMessageBox(replaced.pid, 0)) {
    ADD_FAILURE() << "a report was shown: " << ReadMessageBox(box).text.size() << " characters";
    PressMessageBoxButton(box, IDOK);
    replaced.Wait(20000);
  }
  EXPECT_EQ(replaced_code, 0u) << "97: unskinned, 96: no engine loaded";
  EXPECT_TRUE(ReadWholeFile(run.File("SkinH_EL.dll")) == EngineImage());
  SetEnvironmentVariableA("VELMORA_BRIDGE_RUN", nullptr);
}

}  // namespace
