// The file, clipboard and message-box services. Paths and texts are GBK inside
// and go to the wide calls, so no system code page can mangle them.
#include <windows.h>

#include <cstring>
#include <memory>
#include <utility>

#include "base/wide_win32.h"
#include "services/held_file_win32.h"
#include "services/services.h"

namespace {

// Hands one global block to the clipboard; the block is freed when it is refused.
bool PutOnClipboard(UINT format, const void* data, size_t bytes) {
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes);
  if (!block) return false;
  void* p = GlobalLock(block);
  if (!p) {
    GlobalFree(block);
    return false;
  }
  std::memcpy(p, data, bytes);
  GlobalUnlock(block);
  if (!SetClipboardData(format, block)) {
    GlobalFree(block);
    return false;
  }
  return true;
}

int ShowMessageWide(TextValue message, int32_t style, const wchar_t* title) {
  UINT flags = static_cast<UINT>(style);
  if (!(flags & MB_SYSTEMMODAL)) flags |= MB_TASKMODAL;
  std::wstring text = GbkToWide(message);
  int pressed = MessageBoxW(nullptr, text.c_str(), title, flags);
  return (pressed >= IDOK && pressed <= IDNO) ? pressed - IDOK : 0;
}

// Creates or cuts the file and writes the parts; false on any refusal or short write.
bool WriteParts(const std::wstring& path, std::initializer_list<ByteArray> parts) {
  // Windows refuses to recreate a hidden, system or read-only file with normal
  // attributes; asking first gives that answer on every platform (Wine, root).
  DWORD existing = GetFileAttributesW(path.c_str());
  if (existing != INVALID_FILE_ATTRIBUTES &&
      (existing & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_READONLY))) {
    return false;
  }
  KernelHandle file = OwnFile(
      CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  for (ByteArray b : parts) {
    DWORD n = static_cast<DWORD>(ByteArrayLength(b));
    if (n == 0) continue;
    DWORD written = 0;
    if (!WriteFile(file.get(), ByteArrayData(b), n, &written, nullptr) || written != n) return false;
  }
  return file.Close();
}

}  // namespace

bool WriteBytesToFile(TextValue path, std::initializer_list<ByteArray> parts) {
  if (!path || !*path) return false;
  return WriteParts(GbkToWide(path), parts);
}

bool ReplaceFileWhole(TextValue path, ByteArray bytes, const char* temp_prefix) {
  if (!path || !*path) return false;
  const std::wstring target = GbkToWide(path);
  const DWORD was = GetFileAttributesW(target.c_str());
  // A folder of that name is somebody's; it is neither written nor changed.
  if (was != INVALID_FILE_ATTRIBUTES && (was & FILE_ATTRIBUTE_DIRECTORY)) return false;
  // The same directory, so the rename never has to copy across volumes.
  const size_t cut = target.rfind(L'\\');
  const std::wstring dir = cut == std::wstring::npos ? L"." : target.substr(0, cut + 1);
  wchar_t part[MAX_PATH];
  if (!GetTempFileNameW(dir.c_str(), GbkToWide(temp_prefix).c_str(), 0, part)) return false;
  const bool whole = WriteParts(part, {bytes});
  // A hidden or read-only file refuses to be replaced until its attributes go.
  if (whole && was != INVALID_FILE_ATTRIBUTES) SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_NORMAL);
  if (whole && MoveFileExW(part, target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    return true;
  }
  DeleteFileW(part);
  if (was != INVALID_FILE_ATTRIBUTES) SetFileAttributesW(target.c_str(), was);
  return false;
}

bool RemoveFile(TextValue path) { return path && *path && DeleteFileW(GbkToWide(path).c_str()); }

bool SetFileAttributeBits(TextValue path, int32_t bits) {
  return path && *path && SetFileAttributesW(GbkToWide(path).c_str(), static_cast<DWORD>(bits) & 0x27);
}

bool FileExists(TextValue path) {
  if (!path || !*path) return false;
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW(GbkToWide(path).c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return false;
  FindClose(search);
  return true;
}

HeldFile HeldFile::Open(TextValue path) {
  if (!path || !*path) return HeldFile();
  return HeldFile(OwnFile(CreateFileW(GbkToWide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, 0, nullptr)));
}

bool HeldFile::Holds(ByteArray bytes) const {
  LARGE_INTEGER size, start{};
  if (!held() || !GetFileSizeEx(h_.get(), &size) || size.QuadPart != ByteArrayLength(bytes) ||
      !SetFilePointerEx(h_.get(), start, nullptr, FILE_BEGIN)) {
    return false;
  }
  const uint8_t* want = ByteArrayData(bytes);
  // Large pieces: the engine file is compared at every start, a read a call.
  constexpr int32_t kChunk = 64 * 1024;
  std::unique_ptr<char[]> chunk(new char[kChunk]);
  for (int32_t at = 0, left = ByteArrayLength(bytes); left > 0;) {
    DWORD n = 0;
    DWORD ask = static_cast<DWORD>(left < kChunk ? left : kChunk);
    if (!ReadFile(h_.get(), chunk.get(), ask, &n, nullptr) || n == 0) return false;
    if (std::memcmp(chunk.get(), want + at, n) != 0) return false;
    at += static_cast<int32_t>(n);
    left -= static_cast<int32_t>(n);
  }
  return true;
}

bool FileHoldsBytes(TextValue path, ByteArray bytes) {
  // Shared for reading only: a file someone is writing is not yet these bytes.
  return HeldFile::Open(path).Holds(bytes);
}

bool SetClipboardText(TextValue text) {
  text = OrEmpty(text);
  if (!OpenClipboard(nullptr)) return false;
  EmptyClipboard();
  bool ok = PutOnClipboard(CF_TEXT, text, std::strlen(text) + 1);
  if (ok) {
    // Also as UTF-16, so a paste reads right whatever the system code page.
    std::wstring wide = GbkToWide(text);
    PutOnClipboard(CF_UNICODETEXT, wide.c_str(), (wide.size() + 1) * sizeof(wchar_t));
  }
  CloseClipboard();
  return ok;
}

int ShowMessage(TextValue message, int32_t style) { return ShowMessageWide(message, style, L"信息："); }

int ShowMessage(TextValue message, int32_t style, TextValue title) {
  return ShowMessageWide(message, style, GbkToWide(title).c_str());
}
