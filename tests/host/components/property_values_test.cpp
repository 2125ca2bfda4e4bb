#include <gtest/gtest.h>

#include <cstring>

#include "components/property_values.h"

namespace {

TEST(PropertyValuesTest, NumberConversionsByType) {
  struct Row {
    int64_t in;
    int32_t choice, boolean, read_bool, position, size;
  };
  const Row rows[] = {
      {0, 0, 0, 0, 0, 0},
      {1, 1, 1, 1, 1, 1},
      {-3, 0, 1, 0, -3, 0},
      {2, 2, 1, 0, 2, 2},
      {40000, 40000, 1, 0, 32627, 32627},
      {-40000, 0, 1, 0, -32627, 0},
      {-5, 0, 1, 0, -5, 0},
  };
  for (const Row& r : rows) {
    EXPECT_EQ(NormalizeChoice(r.in), r.choice) << r.in;
    EXPECT_EQ(NormalizeBool(r.in), r.boolean) << r.in;
    EXPECT_EQ(BoolForReading(r.in), r.read_bool) << r.in;
    EXPECT_EQ(ClampPosition(r.in), r.position) << r.in;
    EXPECT_EQ(ClampSize(r.in), r.size) << r.in;
  }
}

TEST(PropertyValuesTest, FontFieldsKeepTheRestOfTheFont) {
  LogFontA font{};
  font.lfHeight = -14;
  font.lfWeight = 400;
  std::strcpy(font.lfFaceName, "SimSun");
  PropertyIn v;
  v.number = 3700;
  ASSERT_TRUE(ApplyFontValue(&font, kFontAngle, v));
  EXPECT_EQ(font.lfEscapement, 100) << "angle is taken modulo 3600";
  v.number = 5;
  ASSERT_TRUE(ApplyFontValue(&font, kFontBold, v));
  EXPECT_EQ(font.lfWeight, 700);
  EXPECT_EQ(font.lfHeight, -14);
  EXPECT_STREQ(font.lfFaceName, "SimSun");
  EXPECT_FALSE(ApplyFontValue(&font, 7, v));
  EXPECT_FALSE(ApplyFontValue(&font, -2, v));

  struct FaceRow {
    const char* label;
    TextValue face;
    const char* expected;
  };
  const std::string long_face(31, 'x');
  const FaceRow faces[] = {
      {"given", "Tahoma", "Tahoma"},
      {"missing", nullptr, kDefaultFontFace},
      {"empty", "", kDefaultFontFace},
      {"31 bytes", long_face.c_str(), kDefaultFontFace},
      {"30 bytes", long_face.c_str() + 1, long_face.c_str() + 1},
  };
  for (const FaceRow& r : faces) {
    PropertyIn face;
    face.text = r.face;
    ASSERT_TRUE(ApplyFontValue(&font, kFontFace, face));
    EXPECT_STREQ(font.lfFaceName, r.expected) << r.label;
    FontRecord whole{0, 1, 0, 1, 0, 16, r.face};
    PropertyIn record;
    record.font = &whole;
    ASSERT_TRUE(ApplyFontValue(&font, -1, record));
    EXPECT_STREQ(font.lfFaceName, r.expected) << r.label;
  }
}

TEST(PropertyValuesTest, WholeFontReadsBackAsWritten) {
  LogFontA font{};
  FontRecord in{450, 1, 1, 0, 1, 16, "Tahoma"};
  PropertyIn v;
  v.font = &in;
  ASSERT_TRUE(ApplyFontValue(&font, -1, v));
  PropertyOut out;
  ASSERT_TRUE(ReadFontValue(font, -1, &out));
  EXPECT_EQ(out.font.angle, 450);
  EXPECT_EQ(out.font.bold, 1);
  EXPECT_EQ(out.font.italic, 1);
  EXPECT_EQ(out.font.underline, 0);
  EXPECT_EQ(out.font.strikeout, 1);
  EXPECT_EQ(out.font.size, 16);
  EXPECT_STREQ(out.font.face, "Tahoma");
  PropertyOut size;
  ASSERT_TRUE(ReadFontValue(font, kFontSize, &size));
  EXPECT_EQ(size.number, 16);
}

TEST(PropertyValuesTest, CursorKindsTranslateBothWays) {
  EXPECT_EQ(SystemCursorFromIndex(13), 32649);
  EXPECT_EQ(IndexFromSystemCursor(32649), 13);
  EXPECT_EQ(SystemCursorFromIndex(0), 0);
  EXPECT_EQ(SystemCursorFromIndex(17), 0);
  EXPECT_EQ(IndexFromSystemCursor(12345), 0);

  const int32_t hand_index = 13;
  Bytes in(NewByteArray(&hand_index, 4));
  Bytes stored = TranslateCursorIn(in.get());
  ASSERT_EQ(stored.size(), 4);
  int32_t word;
  std::memcpy(&word, stored.data(), 4);
  EXPECT_EQ(word, 32649);
  Bytes back = TranslateCursorOut(ByteView{stored.data(), 4});
  std::memcpy(&word, back.data(), 4);
  EXPECT_EQ(word, hand_index);

  const uint8_t custom[] = {0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 2, 0};  // -1, then cursor file bytes
  Bytes custom_in(NewByteArray(custom, sizeof custom));
  Bytes custom_stored = TranslateCursorIn(custom_in.get());
  ASSERT_EQ(custom_stored.size(), 8);
  EXPECT_EQ(std::memcmp(custom_stored.data(), custom, 8), 0);
  EXPECT_EQ(TranslateCursorIn(nullptr).get(), nullptr);
  EXPECT_EQ(TranslateCursorOut(ByteView{}).get(), nullptr);
}

}  // namespace
