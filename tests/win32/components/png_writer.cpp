#include "png_writer.h"

#include <cstdio>
#include <vector>

namespace {

uint32_t Crc32(const uint8_t* data, size_t n, uint32_t crc = 0) {
  static uint32_t table[256];
  if (!table[1]) {
    for (uint32_t i = 0; i < 256; ++i) {
      uint32_t c = i;
      for (int k = 0; k < 8; ++k) c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      table[i] = c;
    }
  }
  crc = ~crc;
  for (size_t i = 0; i < n; ++i) crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
  return ~crc;
}

void PutU32(std::vector<uint8_t>& out, uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(v >> shift));
}

void Chunk(std::vector<uint8_t>& out, const char* type, const std::vector<uint8_t>& body) {
  PutU32(out, static_cast<uint32_t>(body.size()));
  size_t start = out.size();
  out.insert(out.end(), type, type + 4);
  out.insert(out.end(), body.begin(), body.end());
  PutU32(out, Crc32(out.data() + start, out.size() - start));
}

}  // namespace

bool WritePng(const std::string& path, const Pixels& pixels) {
  std::vector<uint8_t> raw;  // filter byte 0, then RGB, per row
  for (int y = 0; y < pixels.height; ++y) {
    raw.push_back(0);
    for (int x = 0; x < pixels.width; ++x) {
      uint32_t p = pixels.At(x, y);
      raw.push_back(static_cast<uint8_t>(p >> 16));
      raw.push_back(static_cast<uint8_t>(p >> 8));
      raw.push_back(static_cast<uint8_t>(p));
    }
  }
  std::vector<uint8_t> z = {0x78, 0x01};
  uint32_t a = 1, b = 0;
  for (uint8_t byte : raw) {
    a = (a + byte) % 65521;
    b = (b + a) % 65521;
  }
  for (size_t at = 0; at < raw.size() || at == 0; at += 65535) {
    size_t n = raw.size() - at < 65535 ? raw.size() - at : 65535;
    z.push_back(at + n == raw.size() ? 1 : 0);
    z.push_back(static_cast<uint8_t>(n));
    z.push_back(static_cast<uint8_t>(n >> 8));
    z.push_back(static_cast<uint8_t>(~n));
    z.push_back(static_cast<uint8_t>(~n >> 8));
    z.insert(z.end(), raw.begin() + static_cast<ptrdiff_t>(at), raw.begin() + static_cast<ptrdiff_t>(at + n));
    if (raw.empty()) break;
  }
  PutU32(z, b << 16 | a);

  std::vector<uint8_t> file = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  std::vector<uint8_t> header;
  PutU32(header, static_cast<uint32_t>(pixels.width));
  PutU32(header, static_cast<uint32_t>(pixels.height));
  header.insert(header.end(), {8, 2, 0, 0, 0});  // 8-bit RGB, no interlace
  Chunk(file, "IHDR", header);
  Chunk(file, "IDAT", z);
  Chunk(file, "IEND", {});
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  bool ok = std::fwrite(file.data(), 1, file.size(), f) == file.size();
  return std::fclose(f) == 0 && ok;
}
