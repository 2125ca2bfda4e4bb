/* The libjpeg calls, in C: its error exit longjmps back here, and no C++
   destructor can be skipped by that jump. */
#include <setjmp.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <jpeglib.h>

#include "components/jpeg_decode_core.h"

struct error_trap {
  struct jpeg_error_mgr mgr; /* first: libjpeg sees only this part */
  jmp_buf escape;
};

static void trap_error_exit(j_common_ptr cinfo) { longjmp(((struct error_trap*)cinfo->err)->escape, 1); }
static void silence_message(j_common_ptr cinfo, int level) { (void)cinfo; (void)level; }

int velmora_jpeg_decode(const unsigned char* data, size_t size, long long max_pixels,
                        struct velmora_jpeg_image* out) {
  struct jpeg_decompress_struct cinfo;
  struct error_trap trap;
  unsigned char* volatile pixels = NULL;

  memset(out, 0, sizeof *out);
  if (!data || size == 0 || size > 0x7FFFFFFF) return 0;
  cinfo.err = jpeg_std_error(&trap.mgr);
  trap.mgr.error_exit = trap_error_exit;
  trap.mgr.emit_message = silence_message;
  if (setjmp(trap.escape)) {
    jpeg_destroy_decompress(&cinfo);
    free(pixels);
    return 0;
  }
  jpeg_create_decompress(&cinfo);
  jpeg_mem_src(&cinfo, data, (unsigned long)size);
  jpeg_read_header(&cinfo, TRUE);
  if (cinfo.image_width == 0 || cinfo.image_height == 0 ||
      (long long)cinfo.image_width * cinfo.image_height > max_pixels) {
    jpeg_destroy_decompress(&cinfo);
    return 0;
  }
  cinfo.out_color_space = JCS_EXT_BGR;
  jpeg_start_decompress(&cinfo);
  {
    size_t stride = ((size_t)cinfo.output_width * 3 + 3) & ~(size_t)3;
    pixels = (unsigned char*)calloc(cinfo.output_height, stride);
    if (!pixels) {
      jpeg_destroy_decompress(&cinfo);
      return 0;
    }
    while (cinfo.output_scanline < cinfo.output_height) {
      JSAMPROW row = pixels + (size_t)cinfo.output_scanline * stride;
      jpeg_read_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_decompress(&cinfo);
    out->width = (int)cinfo.output_width;
    out->height = (int)cinfo.output_height;
    out->stride = (int)stride;
    out->pixels = pixels;
  }
  jpeg_destroy_decompress(&cinfo);
  return 1;
}
