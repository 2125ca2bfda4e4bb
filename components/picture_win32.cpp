#include "components/picture_win32.h"

#include <cstring>

void Picture::Load(ByteView bytes) {
  image_ = DecodedImage{};
  bytes_ = bytes;
  pending_ = LooksLikeJpeg(bytes.data, bytes.size);
}

const DecodedImage& Picture::Image() const {
  if (pending_) {
    pending_ = false;
    image_ = DecodeJpeg(bytes_.data, bytes_.size);
  }
  return image_;
}

BITMAPINFO Picture::Info() const {
  const DecodedImage& image = Image();
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = image.width;
  info.bmiHeader.biHeight = -image.height;  // rows are top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  return info;
}

void Picture::Draw(HDC dc, int x, int y, int width, int height) const {
  if (empty() || width <= 0 || height <= 0) return;
  const DecodedImage& image = Image();
  BITMAPINFO info = Info();
  if (width != image.width || height != image.height) {
    SetStretchBltMode(dc, HALFTONE);
    SetBrushOrgEx(dc, 0, 0, nullptr);
  }
  StretchDIBits(dc, x, y, width, height, 0, 0, image.width, image.height, image.pixels.get(), &info,
                DIB_RGB_COLORS, SRCCOPY);
}

BitmapHandle Picture::MakeBitmap() const {
  if (empty()) return BitmapHandle();
  const DecodedImage& image = Image();
  BITMAPINFO info = Info();
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!bitmap) return BitmapHandle();
  std::memcpy(bits, image.pixels.get(), static_cast<size_t>(image.stride) * image.height);
  return BitmapHandle(bitmap);
}
