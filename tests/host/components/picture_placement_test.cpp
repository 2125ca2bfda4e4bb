#include "components/picture_placement.h"

#include <gtest/gtest.h>

namespace {

struct PlacementRow {
  const char* label;
  int mode, client_w, client_h, picture_w, picture_h;
  PlacedPicture expected;
};

const PlacementRow kRows[] = {
    {"contact code: 512x512 in 216x176 is 176x176 at x 20", 2, 216, 176, 512, 512, {20, 0, 176, 176}},
    {"follow code: 512x512 in 232x216", 2, 232, 216, 512, 512, {8, 0, 216, 216}},
    {"wide picture limited by the width", 2, 200, 200, 400, 100, {0, 75, 200, 50}},
    {"too tall only: the height ratio wins", 2, 300, 100, 200, 400, {125, 0, 50, 100}},
    {"smaller picture is centred at its own size", 2, 216, 176, 100, 50, {58, 63, 100, 50}},
    {"equal size sits at the origin", 2, 120, 40, 120, 40, {0, 0, 120, 40}},
    {"tab picture 128x44 in 120x44 at its own size, cut by the box", 0, 120, 44, 128, 44, {0, 0, 128, 44}},
    {"stretch fills the box", 1, 120, 40, 117, 37, {0, 0, 120, 40}},
    {"mode -3 is clamped to 0", -3, 120, 40, 117, 37, {0, 0, 117, 37}},
    {"mode 9 is clamped to 2", 9, 216, 176, 512, 512, {20, 0, 176, 176}},
    {"no picture places nothing", 2, 216, 176, 0, 0, {0, 0, 0, 0}},
    {"an empty box scales the picture to nothing", 2, 0, 0, 50, 50, {0, 0, 0, 0}},
};

TEST(PicturePlacementTest, EachDisplayModePlacesThePicture) {
  for (const PlacementRow& r : kRows) {
    PlacedPicture at = PlacePicture(r.mode, r.client_w, r.client_h, r.picture_w, r.picture_h);
    EXPECT_EQ(at.x, r.expected.x) << r.label;
    EXPECT_EQ(at.y, r.expected.y) << r.label;
    EXPECT_EQ(at.width, r.expected.width) << r.label;
    EXPECT_EQ(at.height, r.expected.height) << r.label;
  }
}

}  // namespace
