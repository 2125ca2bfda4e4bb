#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "components/jpeg_decoder.h"

namespace {

std::vector<uint8_t> ReadData(const char* name) {
  std::ifstream in(std::string(VELMORA_TEST_DATA "/") + name, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Blue, green, red of one pixel.
std::array<int, 3> Pixel(const DecodedImage& image, int x, int y) {
  const uint8_t* p = image.pixels.get() + y * image.stride + x * 3;
  return {p[0], p[1], p[2]};
}

void ExpectNear(std::array<int, 3> seen, std::array<int, 3> want, const char* where) {
  for (int i = 0; i < 3; ++i) EXPECT_NEAR(seen[i], want[i], 12) << where << " channel " << i;
}

TEST(JpegDecoderTest, DecodesColourGreyAndProgressiveIntoPaddedBgrRows) {
  std::vector<uint8_t> bands = ReadData("two_bands.jpg");  // red above blue, 16x16
  DecodedImage image = DecodeJpeg(bands.data(), bands.size());
  ASSERT_FALSE(image.empty());
  EXPECT_EQ(image.width, 16);
  EXPECT_EQ(image.height, 16);
  EXPECT_EQ(image.stride, 48);
  ExpectNear(Pixel(image, 3, 2), {0, 0, 254}, "top is red");
  ExpectNear(Pixel(image, 12, 13), {254, 0, 0}, "bottom is blue");

  std::vector<uint8_t> gray = ReadData("gray.jpg");
  image = DecodeJpeg(gray.data(), gray.size());
  ASSERT_FALSE(image.empty());
  auto g = Pixel(image, 0, 0);
  EXPECT_TRUE(g[0] == g[1] && g[1] == g[2]);

  std::vector<uint8_t> progressive = ReadData("progressive.jpg");  // 40x30: 120-byte rows
  image = DecodeJpeg(progressive.data(), progressive.size());
  ASSERT_FALSE(image.empty());
  EXPECT_EQ(image.width, 40);
  EXPECT_EQ(image.height, 30);
  EXPECT_EQ(image.stride, 120);
}

TEST(JpegDecoderTest, UndecodablePicturesGiveAnEmptyImage) {
  std::vector<uint8_t> cmyk = ReadData("cmyk.jpg");
  std::vector<uint8_t> bands = ReadData("two_bands.jpg");
  std::vector<uint8_t> bad_precision = bands;
  for (size_t i = 0; i + 4 < bad_precision.size(); ++i) {
    if (bad_precision[i] == 0xFF && bad_precision[i + 1] == 0xC0) {
      bad_precision[i + 4] = 3;  // sample precision of the frame
      break;
    }
  }
  const uint8_t png[] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  const uint8_t soi_only[] = {0xFF, 0xD8, 0xFF};
  struct Row {
    const char* label;
    const uint8_t* data;
    size_t size;
  };
  const Row rows[] = {
      {"CMYK has no BGR form", cmyk.data(), cmyk.size()},
      {"impossible precision", bad_precision.data(), bad_precision.size()},
      {"no frame before the end", bands.data(), 20},
      {"not a JPEG", png, sizeof png},
      {"start marker only", soi_only, sizeof soi_only},
      {"null", nullptr, 0},
      {"empty", bands.data(), 0},
  };
  for (const Row& r : rows) EXPECT_TRUE(DecodeJpeg(r.data, r.size).empty()) << r.label;
}

TEST(JpegDecoderTest, EveryTruncationEndsCleanly) {
  std::vector<uint8_t> bytes = ReadData("progressive.jpg");
  for (size_t n = 0; n < bytes.size(); ++n) {
    DecodedImage image = DecodeJpeg(bytes.data(), n);  // ASan watches every read
    if (!image.empty()) EXPECT_EQ(image.width, 40) << n;
  }
}

TEST(JpegDecoderTest, HostileSizesAreRefusedBeforeAllocating) {
  std::vector<uint8_t> bytes = ReadData("two_bands.jpg");
  // Find the baseline frame header (FF C0) and claim 65535 x 65535 pixels.
  for (size_t i = 0; i + 8 < bytes.size(); ++i) {
    if (bytes[i] == 0xFF && bytes[i + 1] == 0xC0) {
      bytes[i + 5] = bytes[i + 6] = bytes[i + 7] = bytes[i + 8] = 0xFF;
      break;
    }
  }
  EXPECT_TRUE(DecodeJpeg(bytes.data(), bytes.size()).empty());
}

}  // namespace
