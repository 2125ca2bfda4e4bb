// Texts, byte arrays and the one heap they live on. Portable: no <windows.h>.
// Does not show anything; the fatal report lives in fatal.h.
#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>

// A NUL-terminated GBK string; null means the empty text.
using TextValue = const char*;

// A byte array block: marker 1, length, then the bytes. Null means empty.
struct ByteArrayHeader {
  int32_t marker;  // always 1
  int32_t length;  // byte count that follows the header
};
static_assert(sizeof(ByteArrayHeader) == 8, "byte data starts 8 bytes after the block");
using ByteArray = const ByteArrayHeader*;

inline const uint8_t* ByteArrayData(ByteArray b) {
  return b ? reinterpret_cast<const uint8_t*>(b + 1) : nullptr;
}

// Shared empty constants that live in the image.
extern "C" const char velmora_empty_text[];
extern "C" const ByteArrayHeader velmora_empty_bytes;
inline TextValue EmptyText() { return velmora_empty_text; }
inline ByteArray EmptyBytes() { return &velmora_empty_bytes; }
inline TextValue OrEmpty(TextValue t) { return t ? t : EmptyText(); }
inline ByteArray OrEmpty(ByteArray b) { return b ? b : EmptyBytes(); }

// Never returns null: a refused request ends the process with the fatal report.
void* allocate(int32_t bytes);
// Ignores null and anything inside a constant range of the image.
void release(const void* block);
// Null acts as allocate; a constant is copied and left alone.
void* resize(const void* block, int32_t bytes);

// Constant ranges: [start, end) address spans whose blocks are never freed.
bool AddConstantRange(const void* start, const void* end);
bool IsConstant(const void* p);
// Sets up the heap and registers the image's read-only ranges; idempotent.
void InitValueModel();

// A new heap text holding `length` bytes from `bytes` and a terminating zero.
char* NewText(const char* bytes, size_t length);
// A new heap byte array holding `length` bytes; null data gives zero-filled bytes.
ByteArrayHeader* NewByteArray(const void* data, int32_t length);

// Owns one text value and releases it when it goes.
class Text {
 public:
  Text() = default;
  explicit Text(char* owned) : p_(owned) {}
  Text(const Text&) = delete;
  Text& operator=(const Text&) = delete;
  Text(Text&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
  Text& operator=(Text&& o) noexcept {
    if (this != &o) {
      release(p_);
      p_ = std::exchange(o.p_, nullptr);
    }
    return *this;
  }
  ~Text() { release(p_); }

  TextValue get() const { return p_; }             // may be null
  TextValue c_str() const { return OrEmpty(p_); }  // never null
  char* data() { return p_; }

 private:
  char* p_ = nullptr;
};

// Owns one byte array value and releases it when it goes.
class Bytes {
 public:
  Bytes() = default;
  explicit Bytes(ByteArrayHeader* owned) : p_(owned) {}
  Bytes(const Bytes&) = delete;
  Bytes& operator=(const Bytes&) = delete;
  Bytes(Bytes&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
  Bytes& operator=(Bytes&& o) noexcept {
    if (this != &o) {
      release(p_);
      p_ = std::exchange(o.p_, nullptr);
    }
    return *this;
  }
  ~Bytes() { release(p_); }

  ByteArray get() const { return p_; }
  int32_t size() const { return p_ ? p_->length : 0; }
  const uint8_t* data() const { return ByteArrayData(p_); }

 private:
  ByteArrayHeader* p_ = nullptr;
};
