// A sequential little-endian reader over a span of stored bytes. Every read is
// checked against the end; the first failed read makes the stream fail and
// every later read fail too, so callers test once at the end. Portable.
#pragma once

#include <cstdint>
#include <cstring>

// A view of bytes that someone else owns (the embedded block, mostly).
struct ByteView {
  const uint8_t* data = nullptr;
  uint32_t size = 0;

  bool empty() const { return size == 0; }
};

inline uint32_t LoadU32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
         static_cast<uint32_t>(p[3]) << 24;
}

class ByteStream {
 public:
  explicit ByteStream(ByteView bytes) : begin_(bytes.data), pos_(bytes.data), end_(bytes.data + bytes.size) {}

  bool ok() const { return ok_; }
  uint32_t offset() const { return static_cast<uint32_t>(pos_ - begin_); }
  uint32_t remaining() const { return static_cast<uint32_t>(end_ - pos_); }
  const uint8_t* position() const { return pos_; }

  bool U32(uint32_t* out);
  bool I32(int32_t* out);
  bool U16(uint16_t* out);
  // Takes the next n bytes as a view.
  bool Bytes(uint32_t n, ByteView* out);
  bool Skip(uint32_t n);
  // A dword byte count, then that many bytes.
  bool Counted(ByteView* out);
  // A zero-terminated text; `out` points at its first byte inside the stream.
  bool ZeroTerminated(const char** out);

  // Marks the stream failed, as a read past the end would.
  bool Fail() { return ok_ = false; }

 private:
  const uint8_t* begin_;
  const uint8_t* pos_;
  const uint8_t* end_;
  bool ok_ = true;
};
