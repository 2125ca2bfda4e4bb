#include "components/picture_placement.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(PicturePlacementTest, EachDisplayModePlacesThePicture) {
  const struct {
    const char* label;
    int mode, client_w, client_h, picture_w, picture_h;
    std::vector<int> expected;  // x, y, width, height
  } rows[] = {
      {"512x512 in 216x176 is 176x176 at x 20", 2, 216, 176, 512, 512, {20, 0, 176, 176}},
      {"512x512 in 232x216", 2, 232, 216, 512, 512, {8, 0, 216, 216}},
      {"wide picture limited by the width", 2, 200, 200, 400, 100, {0, 75, 200, 50}},
      {"too tall only: the height ratio wins", 2, 300, 100, 200, 400, {125, 0, 50, 100}},
      {"smaller picture is centred at its own size", 2, 216, 176, 100, 50, {58, 63, 100, 50}},
      {"mode 0: own size, cut by the box", 0, 120, 44, 128, 44, {0, 0, 128, 44}},
      {"stretch fills the box", 1, 120, 40, 117, 37, {0, 0, 120, 40}},
      {"mode -3 is clamped to 0", -3, 120, 40, 117, 37, {0, 0, 117, 37}},
      {"mode 9 is clamped to 2", 9, 216, 176, 512, 512, {20, 0, 176, 176}},
      {"no picture places nothing", 2, 216, 176, 0, 0, {0, 0, 0, 0}},
      {"an empty box scales the picture to nothing", 2, 0, 0, 50, 50, {0, 0, 0, 0}},
  };
  for (const auto& r : rows) {
    PlacedPicture at = PlacePicture(r.mode, r.client_w, r.client_h, r.picture_w, r.picture_h);
    EXPECT_EQ((std::vector<int>{at.x, at.y, at.width, at.height}), r.expected) << r.label;
  }
}

}  // namespace
