// What labels and picture boxes put on the screen, read back from the screen
// with a tolerance: where the text's ink lies for each alignment, its
// colours, and where a picture lands for each DisplayMode.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "components/property_access.h"
#include "components_test_support.h"

namespace {

using namespace ids;

constexpr int kLabelCaption = 8, kTextColor = 16, kBackColor = 17, kAlign = 24, kWordWrap = 25, kVAlign = 26;
constexpr int kPicBackColor = 9, kPicPicture = 10, kPicDisplayMode = 11;
constexpr int kWidth = 2, kHeight = 3;
constexpr COLORREF kGreen = RGB(0, 255, 0);

// The box around every pixel that differs from the background.
struct Ink {
  int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;  // right and bottom inclusive
  bool any() const { return right >= 0; }
  int width() const { return right - left + 1; }
  int height() const { return bottom - top + 1; }
};

Ink InkOf(const Pixels& p, uint32_t background) {
  Ink ink;
  for (int y = 0; y < p.height; ++y) {
    for (int x = 0; x < p.width; ++x) {
      if (Near(p.At(x, y), background, 48)) continue;
      ink.left = std::min(ink.left, x);
      ink.right = std::max(ink.right, x);
      ink.top = std::min(ink.top, y);
      ink.bottom = std::max(ink.bottom, y);
    }
  }
  return ink;
}

class LabelDrawingTest : public ::testing::Test {
 protected:
  LabelDrawingTest() : window_(kNewVersionWindow) {}
  void SetUp() override {
    ASSERT_NE(window_.get(), nullptr);
    window_.ShowAndPaint();
  }
  // NoticeLabel: 480x38, red bold text on white, centred, one line.
  Pixels Shot() {
    HWND label = window_.Hwnd(kNoticeLabel);
    RedrawWindow(label, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    PumpMessages(30);
    return CaptureClient(label);
  }
  void Set(int index, int64_t value) { SetControlNumber(kNewVersionWindow, kNoticeLabel, index, value); }
  void Caption(const char* text) { SetControlText(kNewVersionWindow, kNoticeLabel, kLabelCaption, text); }
  LoadedWindow window_;
};

TEST_F(LabelDrawingTest, StoredColoursAndCentring) {
  Caption("HHHH");  // ink as wide as its advance: a full-width "！" is not
  Pixels p = Shot();
  ASSERT_EQ(p.width, 480);
  ASSERT_EQ(p.height, 38);
  EXPECT_TRUE(Near(p.At(1, 1), 0xFFFFFF, 8)) << std::hex << p.At(1, 1);
  Ink ink = InkOf(p, 0xFFFFFF);
  ASSERT_TRUE(ink.any());
  EXPECT_NEAR(ink.left, p.width - 1 - ink.right, 4) << "Align 1 centres across";
  EXPECT_NEAR(ink.top, p.height - 1 - ink.bottom, 4) << "VAlign 1 centres down";
  int red = 0;
  for (uint32_t px : p.data) red += (px >> 16 & 0xFF) > 200 && (px >> 8 & 0xFF) < 80 && (px & 0xFF) < 80;
  EXPECT_GT(red, 40) << "TextColor 0x0000FF is red";
}

struct AlignRow {
  const char* label;
  int align, valign;
};

TEST_F(LabelDrawingTest, AlignAndVAlignMoveTheTextWhenNotWrapping) {
  Caption("HHHH");
  const AlignRow rows[] = {{"left top", 0, 0}, {"centre centre", 1, 1}, {"right bottom", 2, 2}};
  Ink seen[3];
  for (int i = 0; i < 3; ++i) {
    Set(kAlign, rows[i].align);
    Set(kVAlign, rows[i].valign);
    seen[i] = InkOf(Shot(), 0xFFFFFF);
    ASSERT_TRUE(seen[i].any()) << rows[i].label;
  }
  EXPECT_LE(seen[0].left, 2);
  EXPECT_GE(seen[2].right, 480 - 3);
  EXPECT_LT(seen[0].top, seen[1].top);
  EXPECT_LT(seen[1].top, seen[2].top);
  EXPECT_EQ(seen[0].height(), seen[2].height()) << "the same one line";
  // With WordWrap on, VAlign does not apply: the text starts at the top.
  Set(kWordWrap, 1);
  Ink wrapped = InkOf(Shot(), 0xFFFFFF);
  EXPECT_EQ(wrapped.top, seen[0].top);
}

TEST_F(LabelDrawingTest, WordWrapBreaksLongTextIntoLines) {
  Set(kVAlign, 0);
  Caption("word word word word word word word word word word word word word word word word word word word");
  Set(kWordWrap, 0);
  Ink one_line = InkOf(Shot(), 0xFFFFFF);
  Set(kWordWrap, 1);
  Ink wrapped = InkOf(Shot(), 0xFFFFFF);
  EXPECT_GT(wrapped.height(), one_line.height() + 8) << "a second line below the first";
}

TEST_F(LabelDrawingTest, AmpersandsAreShownAsTheyAre) {
  Set(kAlign, 0);
  Caption("H");
  Ink plain = InkOf(Shot(), 0xFFFFFF);
  Caption("&H");
  Ink with_ampersand = InkOf(Shot(), 0xFFFFFF);
  EXPECT_GT(with_ampersand.width(), plain.width() + 4) << "the & is drawn, not taken as a prefix";
}

TEST_F(LabelDrawingTest, TheDefaultColoursAreTheSystemOnes) {
  Set(kBackColor, 0xFF000000);
  Set(kTextColor, kGreen);
  Pixels p = Shot();
  uint32_t face = Rgb(GetSysColor(COLOR_BTNFACE));
  EXPECT_TRUE(Near(p.At(1, 1), face, 8)) << std::hex << p.At(1, 1) << " vs " << face;
  int green = 0;
  for (uint32_t px : p.data) green += Near(px, 0x00FF00, 60);
  EXPECT_GT(green, 50);
}

class PicBoxDrawingTest : public ::testing::Test {
 protected:
  PicBoxDrawingTest() : window_(kFollowWindow) {}
  void SetUp() override {
    ASSERT_NE(window_.get(), nullptr);
    window_.ShowAndPaint();
    // A background no pixel of the picture has, so the picture's place shows.
    SetControlNumber(kFollowWindow, kFollowPicture, kPicBackColor, kGreen);
  }
  Pixels Shot() {
    HWND box = window_.Hwnd(kFollowPicture);
    RedrawWindow(box, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    PumpMessages(30);
    return CaptureClient(box);
  }
  // The columns of a row that are not background.
  static Ink PictureSpan(const Pixels& p) { return InkOf(p, 0x00FF00); }
  LoadedWindow window_;
};

struct PlacementRow {
  const char* label;
  int mode, width, height;
  int left, top, right, bottom;  // the picture's drawn box, right and bottom inclusive
};
const PlacementRow kPlacements[] = {
    {"mode 2: 512x512 in 216x176 is 176x176 at x 20", 2, 216, 176, 20, 0, 195, 175},
    {"mode 2: 512x512 in the stored 232x216", 2, 232, 216, 8, 0, 223, 215},
    {"mode 0: own size from the corner, cut off", 0, 216, 176, 0, 0, 215, 175},
    {"mode 1: stretched over the box", 1, 216, 176, 0, 0, 215, 175},
};

TEST_F(PicBoxDrawingTest, EachDisplayModePutsThePictureInItsPlace) {
  for (const PlacementRow& row : kPlacements) {
    SCOPED_TRACE(row.label);
    SetControlNumber(kFollowWindow, kFollowPicture, kPicDisplayMode, row.mode);
    SetControlNumber(kFollowWindow, kFollowPicture, kWidth, row.width);
    SetControlNumber(kFollowWindow, kFollowPicture, kHeight, row.height);
    Pixels p = Shot();
    ASSERT_EQ(p.width, row.width);
    ASSERT_EQ(p.height, row.height);
    Ink picture = PictureSpan(p);
    ASSERT_TRUE(picture.any());
    // One pixel of give for the scaling filter at the edges.
    EXPECT_NEAR(picture.left, row.left, 1);
    EXPECT_NEAR(picture.top, row.top, 1);
    EXPECT_NEAR(picture.right, row.right, 1);
    EXPECT_NEAR(picture.bottom, row.bottom, 1);
  }
}

TEST_F(PicBoxDrawingTest, APictureThatDoesNotDecodeShowsOnlyTheBackground) {
  const char not_a_picture[] = "\xFF\xD8 not really a JPEG";
  Bytes bytes(NewByteArray(not_a_picture, sizeof not_a_picture));
  PropertyIn in;
  in.bytes = bytes.get();
  SetControlProperty(kFollowWindow, kFollowPicture, kPicPicture, -1, in);
  EXPECT_FALSE(PictureSpan(Shot()).any());
  EXPECT_EQ(GetControlProperty(kFollowWindow, kFollowPicture, kPicPicture, -1).bytes.size(),
            static_cast<int32_t>(sizeof not_a_picture))
      << "kept as written";
}

}  // namespace
