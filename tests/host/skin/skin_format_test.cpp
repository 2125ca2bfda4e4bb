// The engine's skin reader against damaged skins: each damage is refused with
// its own reason and leaves the caller's look untouched.
#include "skinengine/skin_format.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "skin/skin_catalogue.h"

namespace {

using skin::ReadResult;

std::vector<uint8_t> Thirteen() {
  ByteArray s = SkinCatalogueEntry(13);
  return std::vector<uint8_t>(ByteArrayData(s), ByteArrayData(s) + s->length);
}

void Put16(std::vector<uint8_t>& s, size_t at, uint32_t v) {
  s[at] = static_cast<uint8_t>(v);
  s[at + 1] = static_cast<uint8_t>(v >> 8);
}
void Put32(std::vector<uint8_t>& s, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) s[at + i] = static_cast<uint8_t>(v >> (8 * i));
}
uint32_t Get32(const std::vector<uint8_t>& s, size_t at) {
  uint32_t v;
  std::memcpy(&v, s.data() + at, 4);
  return v;
}
// Damage that keeps the checksum right, so the reader must catch it by its meaning.
void Resign(std::vector<uint8_t>& s) {
  Put32(s, skin::kChecksumOffset, skin::SkinChecksum(s.data(), static_cast<uint32_t>(s.size())));
}
void SetMetric(std::vector<uint8_t>& s, skin::Metric m, uint32_t v) { Put16(s, Get32(s, 24) + 2 * m, v); }

TEST(SkinFormatTest, DamagedSkinsAreRefusedWithTheirReason) {
  const struct {
    const char* damage;
    void (*spoil)(std::vector<uint8_t>&);
    ReadResult expected;
  } cases[] = {
      {"shorter than a header", [](std::vector<uint8_t>& s) { s.resize(31); }, ReadResult::kNoData},
      {"wrong marker", [](std::vector<uint8_t>& s) { s[0] = ','; }, ReadResult::kBadMarker},
      {"version 2", [](std::vector<uint8_t>& s) { Put16(s, 4, 2); }, ReadResult::kBadVersion},
      {"header size 0", [](std::vector<uint8_t>& s) { Put16(s, 6, 0); }, ReadResult::kBadVersion},
      {"cut short", [](std::vector<uint8_t>& s) { s.resize(s.size() - 1); }, ReadResult::kBadLength},
      {"one byte longer", [](std::vector<uint8_t>& s) { s.push_back(0); }, ReadResult::kBadLength},
      {"stored length absurd",
       [](std::vector<uint8_t>& s) {
         Put32(s, 8, 0xFFFFFFFFu);
         Resign(s);
       },
       ReadResult::kBadLength},
      {"padding changed", [](std::vector<uint8_t>& s) { s[s.size() - 1] = 1; }, ReadResult::kBadChecksum},
      {"colour changed", [](std::vector<uint8_t>& s) { s[40] ^= 1; }, ReadResult::kBadChecksum},
      {"palette past the end",
       [](std::vector<uint8_t>& s) {
         Put32(s, 16, 0xFFFFFFF0u);
         Resign(s);
       },
       ReadResult::kBadTable},
      {"palette inside the header",
       [](std::vector<uint8_t>& s) {
         Put32(s, 16, 4);
         Resign(s);
       },
       ReadResult::kBadTable},
      {"65535 colours",
       [](std::vector<uint8_t>& s) {
         Put16(s, 20, 0xFFFF);
         Resign(s);
       },
       ReadResult::kBadTable},
      {"too few colours",
       [](std::vector<uint8_t>& s) {
         Put16(s, 20, skin::kColorCount - 1);
         Resign(s);
       },
       ReadResult::kBadTable},
      {"metrics past the end",
       [](std::vector<uint8_t>& s) {
         Put32(s, 24, static_cast<uint32_t>(s.size() - 2));
         Resign(s);
       },
       ReadResult::kBadTable},
      {"caption 1000 pixels",
       [](std::vector<uint8_t>& s) {
         SetMetric(s, skin::kCaptionHeight, 1000);
         Resign(s);
       },
       ReadResult::kBadValue},
      {"no border",
       [](std::vector<uint8_t>& s) {
         SetMetric(s, skin::kBorderWidth, 0);
         Resign(s);
       },
       ReadResult::kBadValue},
      {"caption box taller than the caption",
       [](std::vector<uint8_t>& s) {
         SetMetric(s, skin::kCaptionHeight, 20);
         SetMetric(s, skin::kCaptionButtonHeight, 24);
         Resign(s);
       },
       ReadResult::kBadValue},
      {"colour with a top byte",
       [](std::vector<uint8_t>& s) {
         s[Get32(s, 16) + 3] = 0xFF;
         Resign(s);
       },
       ReadResult::kBadValue},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.damage);
    std::vector<uint8_t> s = Thirteen();
    c.spoil(s);
    skin::SkinLook look;
    std::memset(&look, 0xAB, sizeof look);
    EXPECT_EQ(skin::ReadSkin(s.data(), static_cast<uint32_t>(s.size()), &look), c.expected);
    EXPECT_EQ(look.colors[0], 0xABABABABu) << "untouched";
  }
  skin::SkinLook look;
  EXPECT_EQ(skin::ReadSkin(nullptr, 26370, &look), ReadResult::kNoData);
}

// A later skin may carry more colours and metrics than this engine knows.
TEST(SkinFormatTest, LongerTablesAreReadUpToWhatTheEngineKnows) {
  std::vector<uint8_t> s = Thirteen();
  Put16(s, 20, skin::kColorCount + 4);
  Put16(s, 22, skin::kMetricCount + 2);
  Put32(s, 24, Get32(s, 24) + 16);  // metrics move behind the four extra colours
  std::vector<uint8_t> original = Thirteen();
  std::memmove(s.data() + Get32(s, 24), original.data() + Get32(original, 24), 2 * skin::kMetricCount);
  Resign(s);
  skin::SkinLook look, expected;
  ASSERT_EQ(skin::ReadSkin(original.data(), static_cast<uint32_t>(original.size()), &expected),
            ReadResult::kOk);
  ASSERT_EQ(skin::ReadSkin(s.data(), static_cast<uint32_t>(s.size()), &look), ReadResult::kOk);
  EXPECT_EQ(std::memcmp(look.colors, expected.colors, sizeof look.colors), 0);
  EXPECT_EQ(std::memcmp(look.metrics, expected.metrics, sizeof look.metrics), 0);
}

}  // namespace
