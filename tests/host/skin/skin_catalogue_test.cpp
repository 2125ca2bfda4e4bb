// The 33 built-in skins as the program carries them.
#include "skin/skin_catalogue.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "skinengine/skin_format.h"

namespace {

const int32_t kLengths[kSkinCount] = {
    15574, 9533,  19786, 19497, 17699, 41098, 12564, 18930, 13192, 24409, 30738,
    8321,  26370, 15733, 12105, 23603, 20863, 16746, 11676, 17997, 12882, 37461,
    30958, 25715, 34523, 28961, 29447, 15562, 20738, 18765, 31134, 44110, 20275,
};

skin::SkinLook Look(int number) {
  ByteArray s = SkinCatalogueEntry(number);
  skin::SkinLook look{};
  EXPECT_EQ(skin::ReadSkin(ByteArrayData(s), static_cast<uint32_t>(s->length), &look), skin::ReadResult::kOk)
      << "skin " << number;
  return look;
}

int Distance(uint32_t a, uint32_t b) {
  int d = 0;
  for (int shift = 0; shift < 24; shift += 8)
    d += std::abs(static_cast<int>((a >> shift & 0xFF) - (b >> shift & 0xFF)));
  return d;
}

TEST(SkinCatalogueTest, EverySkinHasItsLengthMarkerAndReads) {
  for (int n = 1; n <= kSkinCount; ++n) {
    SCOPED_TRACE(n);
    ByteArray s = SkinCatalogueEntry(n);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->marker, 1);
    EXPECT_EQ(s->length, kLengths[n - 1]);
    EXPECT_EQ(std::memcmp(ByteArrayData(s), ".SHE", 4), 0);
    Look(n);
  }
}

TEST(SkinCatalogueTest, NumbersOutsideOneTo33HaveNoSkin) {
  for (int32_t n : {0, 34, -1, INT32_MIN, INT32_MAX}) EXPECT_EQ(SkinCatalogueEntry(n), nullptr) << n;
}

// A person tells any two skins apart by their caption or their background.
TEST(SkinCatalogueTest, SkinsLookDifferentFromOneAnother) {
  for (int a = 1; a <= kSkinCount; ++a) {
    const skin::SkinLook la = Look(a);
    for (int b = a + 1; b <= kSkinCount; ++b) {
      const skin::SkinLook lb = Look(b);
      const int caption =
          Distance(la.colors[skin::kCaptionActiveBottom], lb.colors[skin::kCaptionActiveBottom]);
      const int back = Distance(la.colors[skin::kWindowBack], lb.colors[skin::kWindowBack]);
      EXPECT_GE(caption + back, 60) << "skins " << a << " and " << b;
    }
  }
}

// The program's own look: captions readable, the background light enough for
// the pictures' white edges to sit on it.
TEST(SkinCatalogueTest, SkinThirteenIsReadableAndLight) {
  const skin::SkinLook look = Look(13);
  EXPECT_GE(Distance(look.colors[skin::kCaptionText], look.colors[skin::kCaptionActiveBottom]), 300);
  EXPECT_GE(Distance(look.colors[skin::kButtonText], look.colors[skin::kButtonFace]), 300);
  EXPECT_LE(Distance(look.colors[skin::kWindowBack], 0xFFFFFF), 40);
}

}  // namespace
