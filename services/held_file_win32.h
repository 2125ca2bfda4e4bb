// A file held open for reading and shared for reading only: while it is held
// nobody can write, rename or delete it, so bytes checked through the hold are
// the bytes later read, shown or loaded from that file.
#pragma once

#include <windows.h>

#include <utility>

#include "base/owned_handle_win32.h"
#include "base/value.h"

class HeldFile {
 public:
  HeldFile() = default;
  // The file at path (GBK), held; empty when it cannot be opened so.
  static HeldFile Open(TextValue path);

  bool held() const { return static_cast<bool>(h_); }
  // Whether the held file is exactly these bytes, read through the hold.
  bool Holds(ByteArray bytes) const;
  void Reset() { h_.Reset(); }

 private:
  explicit HeldFile(KernelHandle h) : h_(std::move(h)) {}
  KernelHandle h_;
};
