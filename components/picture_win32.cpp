#include "components/picture_win32.h"

#include <cstring>

void Picture::Load(ByteView bytes) {
  image_ = LooksLikeJpeg(bytes.data, bytes.size) ? DecodeJpeg(bytes.data, bytes.size) : DecodedImage{};
}

BITMAPINFO Picture::Info() const {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = image_.width;
  info.bmiHeader.biHeight = -image_.height;  // rows are top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  return info;
}

void Picture::Draw(HDC dc, int x, int y, int width, int height) const {
  if (empty() || width <= 0 || height <= 0) return;
  BITMAPINFO info = Info();
  if (width != image_.width || height != image_.height) {
    SetStretchBltMode(dc, HALFTONE);
    SetBrushOrgEx(dc, 0, 0, nullptr);
  }
  StretchDIBits(dc, x, y, width, height, 0, 0, image_.width, image_.height, image_.pixels.get(), &info,
                DIB_RGB_COLORS, SRCCOPY);
}

BitmapHandle Picture::MakeBitmap() const {
  if (empty()) return BitmapHandle();
  BITMAPINFO info = Info();
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!bitmap) return BitmapHandle();
  std::memcpy(bits, image_.pixels.get(), static_cast<size_t>(image_.stride) * image_.height);
  return BitmapHandle(bitmap);
}
