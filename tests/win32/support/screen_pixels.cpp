#include "support/screen_pixels.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "support/test_support.h"

// Read from the screen, where the window's children and frame are composed.
Pixels Capture(HWND hwnd, bool whole_window) {
  RECT rc;
  if (whole_window) {
    GetWindowRect(hwnd, &rc);
  } else {
    GetClientRect(hwnd, &rc);
    MapWindowPoints(hwnd, HWND_DESKTOP, reinterpret_cast<POINT*>(&rc), 2);
  }
  Pixels out;
  out.width = rc.right - rc.left;
  out.height = rc.bottom - rc.top;
  out.data.resize(static_cast<size_t>(out.width) * out.height);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = out.width;
  info.bmiHeader.biHeight = -out.height;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HDC screen = GetDC(nullptr), memory = CreateCompatibleDC(screen);
  HBITMAP dib = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, dib);
  BitBlt(memory, 0, 0, out.width, out.height, screen, rc.left, rc.top, SRCCOPY);
  GdiFlush();
  std::memcpy(out.data.data(), bits, out.data.size() * 4);
  for (uint32_t& p : out.data) p &= 0xFFFFFF;
  SelectObject(memory, old);
  DeleteObject(dib);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return out;
}

bool Near(uint32_t rgb, uint32_t expected, int tolerance) {
  for (int shift = 0; shift < 24; shift += 8) {
    int a = static_cast<int>(rgb >> shift & 0xFF), b = static_cast<int>(expected >> shift & 0xFF);
    if (std::abs(a - b) > tolerance) return false;
  }
  return true;
}

namespace {

void PutU32(std::vector<uint8_t>& out, uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(v >> shift));
}

void Chunk(std::vector<uint8_t>& out, const char* type, const std::vector<uint8_t>& body) {
  PutU32(out, static_cast<uint32_t>(body.size()));
  size_t start = out.size();
  out.insert(out.end(), type, type + 4);
  out.insert(out.end(), body.begin(), body.end());
  uint32_t crc = ~0u;
  for (size_t i = start; i < out.size(); ++i) {
    crc ^= out[i];
    for (int k = 0; k < 8; ++k) crc = crc & 1 ? 0xEDB88320u ^ (crc >> 1) : crc >> 1;
  }
  PutU32(out, ~crc);
}

}  // namespace

// An 8-bit RGB PNG whose one IDAT holds stored (uncompressed) deflate blocks,
// so no compression library is needed.
bool WritePng(const std::string& path, const Pixels& pixels) {
  std::vector<uint8_t> raw;  // filter byte 0, then RGB, per row
  for (int y = 0; y < pixels.height; ++y) {
    raw.push_back(0);
    for (int x = 0; x < pixels.width; ++x) {
      for (int shift = 16; shift >= 0; shift -= 8)
        raw.push_back(static_cast<uint8_t>(pixels.At(x, y) >> shift));
    }
  }
  std::vector<uint8_t> z = {0x78, 0x01};
  uint32_t a = 1, b = 0;
  for (uint8_t byte : raw) {
    a = (a + byte) % 65521;
    b = (b + a) % 65521;
  }
  for (size_t at = 0; at < raw.size(); at += 65535) {
    size_t n = std::min<size_t>(raw.size() - at, 65535);
    z.insert(z.end(),
             {static_cast<uint8_t>(at + n == raw.size()), static_cast<uint8_t>(n),
              static_cast<uint8_t>(n >> 8), static_cast<uint8_t>(~n), static_cast<uint8_t>(~n >> 8)});
    z.insert(z.end(), raw.begin() + static_cast<ptrdiff_t>(at), raw.begin() + static_cast<ptrdiff_t>(at + n));
  }
  PutU32(z, b << 16 | a);
  std::vector<uint8_t> file = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'}, header;
  PutU32(header, static_cast<uint32_t>(pixels.width));
  PutU32(header, static_cast<uint32_t>(pixels.height));
  header.insert(header.end(), {8, 2, 0, 0, 0});  // 8-bit RGB, no interlace
  Chunk(file, "IHDR", header);
  Chunk(file, "IDAT", z);
  Chunk(file, "IEND", {});
  return WriteWholeFile(path, std::string(file.begin(), file.end()));
}
