// A file held open for reading and shared for reading only: while it is held
// nobody can write, rename or delete it, so bytes checked through the hold are
// the bytes later read, shown or loaded from that file.
#pragma once

#include <windows.h>

#include <utility>

#include "base/value.h"

class HeldFile {
 public:
  HeldFile() = default;
  // The file at path (GBK), held; empty when it cannot be opened so.
  static HeldFile Open(TextValue path);
  HeldFile(const HeldFile&) = delete;
  HeldFile& operator=(const HeldFile&) = delete;
  HeldFile(HeldFile&& o) noexcept : h_(std::exchange(o.h_, INVALID_HANDLE_VALUE)) {}
  HeldFile& operator=(HeldFile&& o) noexcept {
    if (this != &o) {
      Reset();
      h_ = std::exchange(o.h_, INVALID_HANDLE_VALUE);
    }
    return *this;
  }
  ~HeldFile() { Reset(); }

  bool held() const { return h_ != INVALID_HANDLE_VALUE; }
  // Whether the held file is exactly these bytes, read through the hold.
  bool Holds(ByteArray bytes) const;
  void Reset() {
    if (held()) CloseHandle(std::exchange(h_, INVALID_HANDLE_VALUE));
  }

 private:
  explicit HeldFile(HANDLE h) : h_(h) {}
  HANDLE h_ = INVALID_HANDLE_VALUE;
};
