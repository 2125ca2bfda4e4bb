// The one owner of COM references in the components: move-only, released in
// the destructor. Does not copy (two owners would need two AddRefs nobody
// remembers) and does not hand its reference away.
#pragma once

#include <objbase.h>

#include <utility>

// Tells the constructor to query an object instead of taking a reference.
struct ComQuery {};
inline constexpr ComQuery kComQuery{};

// Owns one reference to an I.
template <typename I>
class ComRef {
 public:
  ComRef() = default;
  // Takes over a reference the caller already holds.
  explicit ComRef(I* owned) : p_(owned) {}
  // Asks `from` for I; empty when it does not answer.
  ComRef(ComQuery, IUnknown* from) {
    if (from && FAILED(from->QueryInterface(__uuidof(I), reinterpret_cast<void**>(&p_)))) p_ = nullptr;
  }
  ComRef(const ComRef&) = delete;
  ComRef& operator=(const ComRef&) = delete;
  ComRef(ComRef&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
  ComRef& operator=(ComRef&& o) noexcept {
    if (this != &o) Reset(std::exchange(o.p_, nullptr));
    return *this;
  }
  ~ComRef() { Reset(); }

  I* get() const { return p_; }
  I* operator->() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }
  // Releases the held reference and takes over `owned`.
  void Reset(I* owned = nullptr) {
    I* old = std::exchange(p_, owned);
    if (old) old->Release();  // last: Release may call back into us
  }
  // For calls that hand out a new reference; releases the held one first.
  I** out() {
    Reset();
    return &p_;
  }

 private:
  I* p_ = nullptr;
};
