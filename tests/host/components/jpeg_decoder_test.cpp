// The JPEG decoder wrapper: 24-bit BGR rows from colour, grey and progressive
// pictures, and an empty image, never a crash, for anything it cannot decode.
#include "components/jpeg_decoder.h"

#include <gtest/gtest.h>

#include <array>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

std::vector<uint8_t> ReadData(const char* name) {
  std::ifstream in(std::string(VELMORA_TEST_DATA "/") + name, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

DecodedImage Decode(const std::vector<uint8_t>& bytes) { return DecodeJpeg(bytes.data(), bytes.size()); }

// Blue, green, red of one pixel, to within 12.
void ExpectPixel(const DecodedImage& image, int x, int y, std::array<int, 3> bgr, const char* where) {
  const uint8_t* p = image.pixels.get() + y * image.stride + x * 3;
  for (int i = 0; i < 3; ++i) EXPECT_NEAR(p[i], bgr[i], 12) << where << " channel " << i;
}

// The file with the baseline frame header's (FF C0) byte at `offset` set to each of `values`.
std::vector<uint8_t> PatchedFrame(std::vector<uint8_t> bytes, size_t offset, std::vector<uint8_t> values) {
  for (size_t i = 0; i + offset + values.size() < bytes.size(); ++i) {
    if (bytes[i] == 0xFF && bytes[i + 1] == 0xC0) {
      std::copy(values.begin(), values.end(), bytes.begin() + static_cast<ptrdiff_t>(i + offset));
      break;
    }
  }
  return bytes;
}

TEST(JpegDecoderTest, DecodesColourGreyAndProgressiveIntoPaddedBgrRows) {
  DecodedImage image = Decode(ReadData("two_bands.jpg"));  // red above blue, 16x16
  ASSERT_FALSE(image.empty());
  EXPECT_EQ((std::vector<int>{image.width, image.height, image.stride}), (std::vector<int>{16, 16, 48}));
  ExpectPixel(image, 3, 2, {0, 0, 254}, "top is red");
  ExpectPixel(image, 12, 13, {254, 0, 0}, "bottom is blue");

  image = Decode(ReadData("gray.jpg"));
  ASSERT_FALSE(image.empty());
  const uint8_t* g = image.pixels.get();
  EXPECT_TRUE(g[0] == g[1] && g[1] == g[2]);

  image = Decode(ReadData("progressive.jpg"));  // 40x30: 120-byte rows
  ASSERT_FALSE(image.empty());
  EXPECT_EQ((std::vector<int>{image.width, image.height, image.stride}), (std::vector<int>{40, 30, 120}));
}

TEST(JpegDecoderTest, UndecodablePicturesGiveAnEmptyImage) {
  const std::vector<uint8_t> bands = ReadData("two_bands.jpg");
  const struct {
    const char* label;
    std::vector<uint8_t> bytes;
  } rows[] = {
      {"CMYK has no BGR form", ReadData("cmyk.jpg")},
      {"impossible precision", PatchedFrame(bands, 4, {3})},
      {"65535x65535 claimed: refused before allocating", PatchedFrame(bands, 5, {0xFF, 0xFF, 0xFF, 0xFF})},
      {"no frame before the end", std::vector<uint8_t>(bands.begin(), bands.begin() + 20)},
      {"not a JPEG", {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A}},
      {"start marker only", {0xFF, 0xD8, 0xFF}},
      {"empty", {}},
  };
  for (const auto& r : rows) EXPECT_TRUE(Decode(r.bytes).empty()) << r.label;
  EXPECT_TRUE(DecodeJpeg(nullptr, 0).empty());

  std::vector<uint8_t> progressive = ReadData("progressive.jpg");
  for (size_t n = 0; n < progressive.size(); ++n) {
    DecodedImage image = DecodeJpeg(progressive.data(), n);  // ASan watches every read
    if (!image.empty()) {
      EXPECT_EQ(image.width, 40) << "cut at " << n;
    }
  }
}

}  // namespace
