// Decodes a JPEG held in memory into a 24-bit image. Portable: no <windows.h>.
// Does not draw, scale or recognise any other picture format.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

// Rows top-down, BGR byte order, each row padded to 4 bytes as a Windows DIB wants.
struct DecodedImage {
  struct FreePixels {
    void operator()(uint8_t* p) const;
  };
  int width = 0;
  int height = 0;
  int stride = 0;  // bytes per row
  std::unique_ptr<uint8_t[], FreePixels> pixels;

  bool empty() const { return !pixels; }
};

// Largest picture accepted, in pixels: a guard against hostile headers.
inline constexpr int64_t kMaxJpegPixels = 64LL * 1024 * 1024;

// True when the bytes start like a JPEG file (SOI marker).
bool LooksLikeJpeg(const uint8_t* data, size_t size);
// An empty image when the bytes do not decode; never ends the process.
DecodedImage DecodeJpeg(const uint8_t* data, size_t size);
