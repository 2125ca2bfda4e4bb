// The bytes of one response as they arrive, bounded by a cap. Portable. Does
// not read anything itself; a refused growth just stops the intake.
#pragma once

#include <cstdint>

#include "base/value.h"

class ReceiveBuffer {
 public:
  explicit ReceiveBuffer(int32_t cap) : cap_(cap) {}
  ReceiveBuffer(const ReceiveBuffer&) = delete;
  ReceiveBuffer& operator=(const ReceiveBuffer&) = delete;
  ~ReceiveBuffer();

  // Appends what fits under the cap; false when something did not fit.
  bool Append(const void* data, int32_t n);
  // Bytes that still fit under the cap.
  int32_t Room() const { return cap_ - size_; }
  int32_t size() const { return size_; }
  // One copy of the bytes as a new value; null when nothing came.
  Bytes ToByteArray() const;

 private:
  int32_t cap_;
  int32_t size_ = 0;
  int32_t capacity_ = 0;
  uint8_t* data_ = nullptr;  // raw heap block, capacity_ bytes
};
