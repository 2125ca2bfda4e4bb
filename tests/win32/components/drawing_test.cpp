// What labels and picture boxes put on the screen, read back from the screen
// with a tolerance: where a label's ink lies for each alignment, its colours,
// wrapping and ampersands, and where a picture lands for each DisplayMode.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "components_test_support.h"
#include "format/window_ids.h"
#include "windows/property_access.h"

namespace {

constexpr int kWidth = 2, kHeight = 3;
constexpr int kTextColor = PropertyIndex<LabelProperties>("TextColor"),
              kBackColor = PropertyIndex<LabelProperties>("BackColor"),
              kAlign = PropertyIndex<LabelProperties>("Align"),
              kWordWrap = PropertyIndex<LabelProperties>("WordWrap"),
              kVAlign = PropertyIndex<LabelProperties>("VAlign");
constexpr int kPicBackColor = PropertyIndex<PicBoxProperties>("BackColor");

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
      ink = {std::min(ink.left, x), std::min(ink.top, y), std::max(ink.right, x), std::max(ink.bottom, y)};
    }
  }
  return ink;
}

int CountNear(const Pixels& p, uint32_t colour, int tolerance) {
  return static_cast<int>(
      std::count_if(p.data.begin(), p.data.end(), [&](uint32_t px) { return Near(px, colour, tolerance); }));
}

Pixels Shot(HWND hwnd) {
  RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  PumpMessages(30);
  return Capture(hwnd);
}

// NoticeLabel as stored: 480x38, red bold text on white, centred, one line.
class LabelDrawingTest : public ::testing::Test {
 protected:
  LabelDrawingTest() : window_(ids::NewVersionWindow) {}
  void SetUp() override {
    ASSERT_NE(window_.get(), nullptr);
    window_.ShowAndPaint();
  }
  Ink InkShot() { return InkOf(Shot(window_.Hwnd(ids::NewVersionWindow_NoticeLabel)), 0xFFFFFF); }
  void Set(int index, int64_t value) {
    SetControlNumber(ids::NewVersionWindow, ids::NewVersionWindow_NoticeLabel, index, value);
  }
  void Caption(const char* text) {
    SetControlText(ids::NewVersionWindow, ids::NewVersionWindow_NoticeLabel, kLabelCaption, text);
  }
  LoadedWindow window_;
};

TEST_F(LabelDrawingTest, StoredColoursAndAlignAndVAlignWhenNotWrapping) {
  Caption("HHHH");  // ink as wide as its advance: a full-width "！" is not
  Pixels p = Shot(window_.Hwnd(ids::NewVersionWindow_NoticeLabel));
  ASSERT_EQ(p.width, 480);
  ASSERT_EQ(p.height, 38);
  EXPECT_TRUE(Near(p.At(1, 1), 0xFFFFFF, 8)) << std::hex << p.At(1, 1);
  EXPECT_GT(CountNear(p, 0xFF0000, 70), 40) << "TextColor 0x0000FF is red";

  Ink seen[3];  // Align and VAlign 0 (left, top), 1 (centred) and 2 (right, bottom)
  for (int i = 0; i < 3; ++i) {
    Set(kAlign, i);
    Set(kVAlign, i);
    seen[i] = InkShot();
    ASSERT_TRUE(seen[i].any()) << i;
  }
  EXPECT_LE(seen[0].left, 2);
  EXPECT_NEAR(seen[1].left, 479 - seen[1].right, 4) << "Align 1 centres across";
  EXPECT_NEAR(seen[1].top, 37 - seen[1].bottom, 4) << "VAlign 1 centres down";
  EXPECT_GE(seen[2].right, 480 - 3);
  EXPECT_LT(seen[0].top, seen[1].top);
  EXPECT_LT(seen[1].top, seen[2].top);
  EXPECT_EQ(seen[0].height(), seen[2].height()) << "the same one line";
  Set(kWordWrap, 1);
  EXPECT_EQ(InkShot().top, seen[0].top) << "with WordWrap on, VAlign does not apply";
}

TEST_F(LabelDrawingTest, WordWrapAmpersandsAndTheDefaultColours) {
  Set(kAlign, 0);
  Set(kVAlign, 0);
  Caption("word word word word word word word word word word word word word word word word word word word");
  Ink one_line = InkShot();
  Set(kWordWrap, 1);
  EXPECT_GT(InkShot().height(), one_line.height() + 8) << "a second line below the first";

  Caption("H");
  Ink plain = InkShot();
  Caption("&H");
  EXPECT_GT(InkShot().width(), plain.width() + 4) << "the & is drawn, not taken as a prefix";

  Set(kBackColor, 0xFF000000);
  Set(kTextColor, RGB(0, 255, 0));
  Pixels p = Shot(window_.Hwnd(ids::NewVersionWindow_NoticeLabel));
  COLORREF face = GetSysColor(COLOR_BTNFACE);
  uint32_t face_rgb = GetRValue(face) << 16 | GetGValue(face) << 8 | GetBValue(face);
  EXPECT_TRUE(Near(p.At(1, 1), face_rgb, 8)) << std::hex << p.At(1, 1) << " vs " << face_rgb;
  EXPECT_GT(CountNear(p, 0x00FF00, 60), 50);
}

TEST(PicBoxDrawingTest, EachDisplayModePutsThePictureInItsPlaceAndBadDataShowsNothing) {
  LoadedWindow window(ids::FollowWindow);
  ASSERT_NE(window.get(), nullptr);
  window.ShowAndPaint();
  HWND box = window.Hwnd(ids::FollowWindow_FollowPicture);
  // A background no pixel of the picture has, so the picture's place shows.
  SetControlNumber(ids::FollowWindow, ids::FollowWindow_FollowPicture, kPicBackColor, RGB(0, 255, 0));
  const struct {
    const char* label;
    int mode, width, height;
    int left, top, right, bottom;  // the picture's drawn box, right and bottom inclusive
  } placements[] = {
      {"mode 2: 512x512 in 216x176 is 176x176 at x 20", 2, 216, 176, 20, 0, 195, 175},
      {"mode 0: own size from the corner, cut off", 0, 216, 176, 0, 0, 215, 175},
      {"mode 1: stretched over the box", 1, 216, 176, 0, 0, 215, 175},
  };
  for (const auto& row : placements) {
    SCOPED_TRACE(row.label);
    SetControlNumber(ids::FollowWindow, ids::FollowWindow_FollowPicture, kPicDisplayMode, row.mode);
    SetControlNumber(ids::FollowWindow, ids::FollowWindow_FollowPicture, kWidth, row.width);
    SetControlNumber(ids::FollowWindow, ids::FollowWindow_FollowPicture, kHeight, row.height);
    Pixels p = Shot(box);
    ASSERT_EQ(p.width, row.width);
    ASSERT_EQ(p.height, row.height);
    Ink picture = InkOf(p, 0x00FF00);
    // One pixel of give for the scaling filter at the edges.
    EXPECT_NEAR(picture.left, row.left, 1);
    EXPECT_NEAR(picture.top, row.top, 1);
    EXPECT_NEAR(picture.right, row.right, 1);
    EXPECT_NEAR(picture.bottom, row.bottom, 1);
  }

  const char not_a_picture[] = "\xFF\xD8 not really a JPEG";
  Bytes bytes(NewByteArray(not_a_picture, sizeof not_a_picture));
  PropertyIn in;
  in.bytes = bytes.get();
  SetControlProperty(ids::FollowWindow, ids::FollowWindow_FollowPicture, kPicPicture, -1, in);
  EXPECT_FALSE(InkOf(Shot(box), 0x00FF00).any()) << "a picture that does not decode shows nothing";
  EXPECT_EQ(
      GetControlProperty(ids::FollowWindow, ids::FollowWindow_FollowPicture, kPicPicture, -1).bytes.size(),
      static_cast<int32_t>(sizeof not_a_picture))
      << "kept as written";
}

}  // namespace
