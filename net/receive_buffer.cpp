#include "net/receive_buffer.h"

#include <cstring>

#include "base/platform_heap.h"

ReceiveBuffer::~ReceiveBuffer() {
  if (data_) PlatformHeapFree(data_);
}

bool ReceiveBuffer::Append(const void* data, int32_t n) {
  if (n <= 0) return true;
  int32_t take = n < Room() ? n : Room();
  if (size_ + take > capacity_) {
    // Doubling keeps a long body of small reads linear.
    int32_t want = capacity_ ? capacity_ : 16384;
    while (want < size_ + take) want = want > cap_ / 2 ? cap_ : want * 2;
    void* grown = data_ ? PlatformHeapRealloc(data_, static_cast<size_t>(want))
                        : PlatformHeapAlloc(static_cast<size_t>(want));
    if (!grown) return false;
    data_ = static_cast<uint8_t*>(grown);
    capacity_ = want;
  }
  std::memcpy(data_ + size_, data, static_cast<size_t>(take));
  size_ += take;
  return take == n;
}

Bytes ReceiveBuffer::ToByteArray() const {
  if (size_ == 0) return Bytes();
  return Bytes(NewByteArray(data_, size_));
}
