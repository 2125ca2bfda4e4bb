// The conversions the property entry points make by type: numbers, fonts
// (whole or one field, with the default face) and the standard cursors.
#include "components/property_values.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>

namespace {

TEST(PropertyValuesTest, NumberConversionsByType) {
  const struct {
    int64_t in;
    int32_t choice, boolean, read_bool, position, size;
  } rows[] = {
      {0, 0, 0, 0, 0, 0},
      {1, 1, 1, 1, 1, 1},
      {-3, 0, 1, 0, -3, 0},
      {2, 2, 1, 0, 2, 2},
      {40000, 40000, 1, 0, 32627, 32627},
      {-40000, 0, 1, 0, -32627, 0},
  };
  for (const auto& r : rows) {
    EXPECT_EQ((std::vector<int32_t>{NormalizeChoice(r.in), NormalizeBool(r.in), BoolForReading(r.in),
                                    ClampPosition(r.in), ClampSize(r.in)}),
              (std::vector<int32_t>{r.choice, r.boolean, r.read_bool, r.position, r.size}))
        << r.in;
  }
}

TEST(PropertyValuesTest, FontsAreWrittenWholeOrOneFieldKeepingTheRest) {
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

  // One field takes a face of 1 to 31 bytes; the whole record only up to 30.
  const std::string long_face(32, 'x');
  const struct {
    const char* label;
    TextValue face;
    const char* field, *whole;
  } faces[] = {
      {"given", "Tahoma", "Tahoma", "Tahoma"},
      {"missing", nullptr, kDefaultFontFace, kDefaultFontFace},
      {"empty", "", kDefaultFontFace, kDefaultFontFace},
      {"32 bytes", long_face.c_str(), kDefaultFontFace, kDefaultFontFace},
      {"31 bytes", long_face.c_str() + 1, long_face.c_str() + 1, kDefaultFontFace},
      {"30 bytes", long_face.c_str() + 2, long_face.c_str() + 2, long_face.c_str() + 2},
  };
  for (const auto& r : faces) {
    PropertyIn face;
    face.text = r.face;
    ASSERT_TRUE(ApplyFontValue(&font, kFontFace, face));
    EXPECT_STREQ(font.lfFaceName, r.field) << "one field, " << r.label;
    FontRecord whole{0, 1, 0, 1, 0, 16, r.face};
    PropertyIn record;
    record.font = &whole;
    ASSERT_TRUE(ApplyFontValue(&font, -1, record));
    EXPECT_STREQ(font.lfFaceName, r.whole) << "whole, " << r.label;
  }

  FontRecord in{450, 1, 1, 0, 1, 16, "Tahoma"};
  v.font = &in;
  ASSERT_TRUE(ApplyFontValue(&font, -1, v));
  PropertyOut out, size;
  ASSERT_TRUE(ReadFontValue(font, -1, &out));
  EXPECT_EQ((std::vector<int32_t>{out.font.angle, out.font.bold, out.font.italic, out.font.underline,
                                  out.font.strikeout, out.font.size}),
            (std::vector<int32_t>{450, 1, 1, 0, 1, 16}));
  EXPECT_STREQ(out.font.face, "Tahoma");
  ASSERT_TRUE(ReadFontValue(font, kFontSize, &size));
  EXPECT_EQ(size.number, 16);
}

// The rest of the translation is checked through the entry points under Wine.
TEST(PropertyValuesTest, CursorIndexesOutsideTheTableMeanTheDefault) {
  for (auto [index, cursor] : {std::pair{13, 32649}, std::pair{16, 32646}}) {  // 16 is the table's last
    EXPECT_EQ(SystemCursorFromIndex(index), cursor);
    EXPECT_EQ(IndexFromSystemCursor(cursor), index);
  }
  for (int32_t index : {0, 17, -2}) EXPECT_EQ(SystemCursorFromIndex(index), 0) << index;
  EXPECT_EQ(IndexFromSystemCursor(12345), 0);
  EXPECT_EQ(TranslateCursorIn(nullptr).get(), nullptr);
  EXPECT_EQ(TranslateCursorOut(ByteView{}).get(), nullptr);
}

}  // namespace
