// Move-only owner of one WinINet handle, closed when it goes. Does not cancel
// anything on another thread; DeadlineRequest does that for a request.
#pragma once

#include <windows.h>
#include <wininet.h>

#include <utility>

#include "net/wininet_win32.h"

class InternetHandle {
 public:
  InternetHandle() = default;
  explicit InternetHandle(HINTERNET h) : h_(h) {}
  InternetHandle(const InternetHandle&) = delete;
  InternetHandle& operator=(const InternetHandle&) = delete;
  InternetHandle(InternetHandle&& o) noexcept : h_(std::exchange(o.h_, nullptr)) {}
  InternetHandle& operator=(InternetHandle&& o) noexcept {
    if (this != &o) {
      Reset();
      h_ = std::exchange(o.h_, nullptr);
    }
    return *this;
  }
  ~InternetHandle() { Reset(); }

  HINTERNET get() const { return h_; }
  explicit operator bool() const { return h_ != nullptr; }
  void Reset(HINTERNET h = nullptr) {
    if (h_) WinInet()->InternetCloseHandle(h_);
    h_ = h;
  }

 private:
  HINTERNET h_ = nullptr;
};
