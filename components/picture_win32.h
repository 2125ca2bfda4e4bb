// A stored picture decoded once and drawn on demand. Recognises JPEG only; a
// picture that does not decode draws nothing and is not reported.
#pragma once

#include <windows.h>

#include "components/handles_win32.h"
#include "components/jpeg_decoder.h"
#include "forms/byte_stream.h"

class Picture {
 public:
  // Replaces the picture by the bytes' image; empty when they do not decode.
  void Load(ByteView bytes);
  bool empty() const { return image_.empty(); }
  int width() const { return image_.width; }
  int height() const { return image_.height; }
  // Draws the whole picture into the rectangle, scaling when the sizes differ.
  void Draw(HDC dc, int x, int y, int width, int height) const;
  // A device-independent bitmap of the picture (for a button's image).
  BitmapHandle MakeBitmap() const;

 private:
  BITMAPINFO Info() const;
  DecodedImage image_;
};
