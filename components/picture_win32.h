// A stored picture decoded once and drawn on demand. Recognises JPEG only; a
// picture that does not decode draws nothing and is not reported.
#pragma once

#include <windows.h>

#include "components/handles_win32.h"
#include "components/jpeg_decoder.h"
#include "format/byte_stream.h"

class Picture {
 public:
  // Takes the bytes' picture; they must stay unchanged until the next Load.
  // Decoding waits for the first question: a picture on a page nobody opens
  // is never decoded.
  void Load(ByteView bytes);
  bool empty() const { return Image().empty(); }
  int width() const { return Image().width; }
  int height() const { return Image().height; }
  // Draws the whole picture into the rectangle, scaling when the sizes differ.
  void Draw(HDC dc, int x, int y, int width, int height) const;
  // A device-independent bitmap of the picture (for a button's image).
  BitmapHandle MakeBitmap() const;

 private:
  const DecodedImage& Image() const;
  BITMAPINFO Info() const;
  ByteView bytes_;                // the stored picture, not yet decoded while pending_
  mutable bool pending_ = false;  // bytes_ holds a picture to decode on first use
  mutable DecodedImage image_;
};
