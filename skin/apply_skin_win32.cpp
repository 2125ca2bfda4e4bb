#include <windows.h>

#include <cstring>

#include "base/owned_handle_win32.h"
#include "base/value.h"
#include "base/wide_win32.h"
#include "services/held_file_win32.h"
#include "services/services.h"
#include "skin/apply_skin.h"
#include "skin/native_call.h"
#include "skin/native_entries.h"
#include "skin/skin_catalogue.h"
#include "skin/texts_gbk.h"

namespace {

constexpr int32_t kHiddenAttribute = 2;

// The loaded engine's file, held from its check until the library goes, so
// what was compared is what runs.
HeldFile g_engine_hold;

Text SkinEngineFilePath() {
  Text dir = GetRunDirectory();
  return JoinTexts({dir.get(), gbk::kSkinEngineFileName});
}

// The engine loaded by its full path with its entry there, or null. The
// binding itself would end the program over a missing, damaged or locked file.
ModuleHandle LoadSkinEngine(TextValue path) {
  // No "bad image" box over a damaged file: the answer is just no skin.
  UINT old_mode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  ModuleHandle engine(LoadLibraryW(GbkToWide(path).c_str()));
  SetErrorMode(old_mode);
  if (engine && !GetProcAddress(engine.get(), gbk::kSkinEngineEntry)) return ModuleHandle();
  return engine;
}

// Puts the engine image at the engine's name, replacing what is there; false
// when it cannot (no room, a locked or loaded file, a folder of that name).
// Written under a name of its own first, so a write that breaks off never
// leaves a torn SkinH_EL.dll that every later start would fail to bind.
bool WriteSkinEngineFile() {
  Text path = SkinEngineFilePath();
  if (!ReplaceFileWhole(path.get(), SkinEngineImage(), "she")) return false;
  SetFileAttributeBits(path.get(), kHiddenAttribute);
  return true;
}

// The engine in the run directory, loaded, with its file held in *hold: written
// first unless the file there holds its very bytes, and loaded only when,
// held, it does. Anything else of that name that cannot be replaced (held by
// another program, a read-only folder, a full disk) is never loaded: somebody
// else's DLL beside a download must not run in the program. Null for no engine.
ModuleHandle LoadableSkinEngine(HeldFile* hold) {
  // A run directory GBK cannot name is no place to write to or load from.
  if (!RunDirectoryUsable()) return ModuleHandle();
  Text path = SkinEngineFilePath();
  HeldFile held = HeldFile::Open(path.get());
  if (!held.Holds(SkinEngineImage())) {
    held.Reset();  // our own hold would keep the replacement out
    WriteSkinEngineFile();
    held = HeldFile::Open(path.get());
    if (!held.Holds(SkinEngineImage())) return ModuleHandle();
  }
  ModuleHandle engine = LoadSkinEngine(path.get());
  if (engine) *hold = std::move(held);
  return engine;
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
  HeldFile hold;
  LoadableSkinEngine(&hold);  // loaded to check it, freed at once
}

void LetGoOfSkinEngineFile() { g_engine_hold.Reset(); }

void ApplySkin(int32_t number) {
  // A cosmetic feature must not stop the start: an engine file that cannot be
  // written or will not load (deleted, locked) leaves the program unskinned.
  HeldFile hold;
  ModuleHandle engine = LoadableSkinEngine(&hold);
  if (!engine) return;
  g_engine_hold = std::move(hold);
  Bytes skin = CopyOfSkin(number);
  CallNativeEntryChecked(kSkinAttachResEntry,
                         {reinterpret_cast<uintptr_t>(skin.data()), static_cast<uintptr_t>(skin.size()),
                          reinterpret_cast<uintptr_t>(EmptyText()), 0, 0, 0});
  // The binding loaded the same module and keeps its own reference; ours goes here.
}
