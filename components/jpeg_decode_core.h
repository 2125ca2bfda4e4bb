/* The C half of the JPEG decoder; see jpeg_decoder.h for the C++ side. */
#pragma once

#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

struct velmora_jpeg_image {
  int width, height, stride; /* rows top-down, BGR, stride padded to 4 */
  unsigned char* pixels;     /* malloc'ed; the caller frees */
};

/* 1 on success; 0 leaves out zeroed. */
int velmora_jpeg_decode(const unsigned char* data, size_t size, long long max_pixels,
                        struct velmora_jpeg_image* out);

#ifdef __cplusplus
}
#endif
