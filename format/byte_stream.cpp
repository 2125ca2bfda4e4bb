#include "format/byte_stream.h"

bool ByteStream::U32(uint32_t* out) {
  if (!ok_ || remaining() < 4) return Fail();
  *out = LoadU32(pos_);
  pos_ += 4;
  return true;
}

bool ByteStream::I32(int32_t* out) {
  uint32_t v;
  if (!U32(&v)) return false;
  *out = static_cast<int32_t>(v);
  return true;
}

bool ByteStream::U16(uint16_t* out) {
  if (!ok_ || remaining() < 2) return Fail();
  *out = static_cast<uint16_t>(pos_[0] | pos_[1] << 8);
  pos_ += 2;
  return true;
}

bool ByteStream::Bytes(uint32_t n, ByteView* out) {
  if (!ok_ || remaining() < n) return Fail();
  *out = ByteView{pos_, n};
  pos_ += n;
  return true;
}

bool ByteStream::Skip(uint32_t n) {
  ByteView ignored;
  return Bytes(n, &ignored);
}

bool ByteStream::Counted(ByteView* out) {
  uint32_t n;
  return U32(&n) && Bytes(n, out);
}

bool ByteStream::ZeroTerminated(const char** out) {
  if (!ok_ || remaining() == 0) return Fail();
  const void* zero = std::memchr(pos_, 0, remaining());
  if (!zero) return Fail();
  *out = reinterpret_cast<const char*>(pos_);
  pos_ = static_cast<const uint8_t*>(zero) + 1;
  return true;
}
