// libFuzzer target: any bytes given to the JPEG decoder end in an image or an
// empty one, never in a crash, a leak or a read outside the input.
#include <cstddef>
#include <cstdint>

#include "components/jpeg_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  DecodedImage image = DecodeJpeg(data, size);
  if (!image.empty() && (image.width <= 0 || image.stride < image.width * 3)) __builtin_trap();
  return 0;
}
