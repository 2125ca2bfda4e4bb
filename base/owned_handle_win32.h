// Move-only owner of one system handle: kernel objects, modules, internet
// handles, and the components' GDI objects and cursors. Copying is deleted so
// a handle has exactly one owner; nothing is shared or reference-counted.
#pragma once

#include <windows.h>

#include <utility>

// Owns one handle (null: none) and frees it with Free when it goes.
template <typename H, bool (*Free)(H)>
class OwnedHandle {
 public:
  OwnedHandle() = default;
  explicit OwnedHandle(H h) : h_(h) {}
  OwnedHandle(const OwnedHandle&) = delete;
  OwnedHandle& operator=(const OwnedHandle&) = delete;
  OwnedHandle(OwnedHandle&& o) noexcept : h_(std::exchange(o.h_, nullptr)) {}
  OwnedHandle& operator=(OwnedHandle&& o) noexcept {
    if (this != &o) {
      Reset();
      h_ = std::exchange(o.h_, nullptr);
    }
    return *this;
  }
  ~OwnedHandle() { Reset(); }

  H get() const { return h_; }
  explicit operator bool() const { return h_ != nullptr; }
  void Reset(H h = nullptr) {
    if (h_) Free(h_);
    h_ = h;
  }
  // Frees the handle now; false when the system refused (a write not flushed).
  bool Close() { return !h_ || Free(std::exchange(h_, nullptr)); }
  // Gives the handle up unfreed: it stays for the program's life.
  H Release() { return std::exchange(h_, nullptr); }

 private:
  H h_ = nullptr;
};

inline bool CloseKernelHandle(HANDLE h) { return CloseHandle(h) != FALSE; }
inline bool ReleaseModule(HMODULE h) { return FreeLibrary(h) != FALSE; }

using KernelHandle = OwnedHandle<HANDLE, CloseKernelHandle>;
using ModuleHandle = OwnedHandle<HMODULE, ReleaseModule>;

// A file handle as CreateFile answers it: its refusal is held as none.
inline KernelHandle OwnFile(HANDLE h) { return KernelHandle(h == INVALID_HANDLE_VALUE ? nullptr : h); }
