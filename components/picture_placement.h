// Where a picture box draws its picture, by DisplayMode. Portable; does not
// decode or draw.
#pragma once

struct PlacedPicture {
  int x = 0, y = 0, width = 0, height = 0;
};

enum DisplayMode : int {
  kDisplayTopLeft = 0,  // own size, top-left corner, cut at the edges
  kDisplayStretch = 1,  // the whole client area
  kDisplayCentre = 2,   // centred; scaled down, proportions kept, when too large
};
inline constexpr int kLastDisplayMode = kDisplayCentre;

// Modes outside 0 to 2 are clamped to that range.
PlacedPicture PlacePicture(int mode, int client_width, int client_height, int picture_width,
                           int picture_height);
