#include "components/jpeg_decoder.h"

#include <cstdlib>

#include "components/jpeg_decode_core.h"

void DecodedImage::FreePixels::operator()(uint8_t* p) const { std::free(p); }

bool LooksLikeJpeg(const uint8_t* data, size_t size) {
  return data && size >= 3 && data[0] == 0xFF && data[1] == 0xD8 && data[2] == 0xFF;
}

DecodedImage DecodeJpeg(const uint8_t* data, size_t size) {
  DecodedImage image;
  if (!LooksLikeJpeg(data, size)) return image;
  velmora_jpeg_image raw;
  if (!velmora_jpeg_decode(data, size, kMaxJpegPixels, &raw)) return image;
  image.pixels.reset(raw.pixels);
  image.width = raw.width;
  image.height = raw.height;
  image.stride = raw.stride;
  return image;
}
