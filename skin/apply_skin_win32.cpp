#include <windows.h>

#include <cstring>

#include "base/value.h"
#include "core/services.h"
#include "skin/apply_skin.h"
#include "skin/native_call.h"
#include "skin/native_entries.h"
#include "skin/skin_catalogue.h"
#include "skin/texts_gbk.h"

namespace {

constexpr int32_t kHiddenAttribute = 2;

Text SkinEngineFilePath() {
  Text dir = GetRunDirectory();
  return JoinTexts({dir.get(), gbk::kSkinEngineFileName});
}

bool SkinEngineFilePresent() {
  Text path = SkinEngineFilePath();
  return FileExists(path.get());
}

// A private heap copy of the whole block, header included; null for no skin.
Bytes CopyOfSkin(int32_t number) {
  ByteArray skin = SkinCatalogueEntry(number);
  if (!skin) return Bytes();
  int32_t block = skin->length + static_cast<int32_t>(sizeof(ByteArrayHeader));
  auto* copy = static_cast<ByteArrayHeader*>(allocate(block));
  std::memcpy(copy, skin, static_cast<size_t>(block));
  return Bytes(copy);
}

}  // namespace

void EnsureSkinEngineFile() {
  if (SkinEngineFilePresent()) return;
  // Written under a name of its own first, so a write that breaks off never
  // leaves a torn SkinH_EL.dll that every later start would fail to bind.
  char part[MAX_PATH];
  {
    Text dir = GetRunDirectory();
    if (!GetTempFileNameA(dir.c_str(), "she", 0, part)) return;
  }
  bool renamed = WriteBytesToFile(part, {SkinEngineImage()}) &&
                 MoveFileExA(part, SkinEngineFilePath().get(), MOVEFILE_WRITE_THROUGH);
  if (!renamed) {
    RemoveFile(part);
    return;
  }
  Text path = SkinEngineFilePath();
  SetFileAttributeBits(path.get(), kHiddenAttribute);
}

void ApplySkin(int32_t number) {
  EnsureSkinEngineFile();
  // A cosmetic feature must not stop the start: no engine file, no skin.
  if (!SkinEngineFilePresent()) return;
  Bytes skin = CopyOfSkin(number);
  CallNativeEntryChecked(kSkinAttachResEntry,
                         {reinterpret_cast<uintptr_t>(skin.data()), static_cast<uintptr_t>(skin.size()),
                          reinterpret_cast<uintptr_t>(EmptyText()), 0, 0, 0});
}
