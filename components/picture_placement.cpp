#include "components/picture_placement.h"

#include <cstdint>

PlacedPicture PlacePicture(int mode, int cw, int ch, int pw, int ph) {
  if (mode < kDisplayTopLeft) mode = kDisplayTopLeft;
  if (mode > kLastDisplayMode) mode = kLastDisplayMode;
  if (cw < 0) cw = 0;
  if (ch < 0) ch = 0;
  if (pw <= 0 || ph <= 0) return {};
  switch (mode) {
    case kDisplayTopLeft:
      return {0, 0, pw, ph};
    case kDisplayStretch:
      return {0, 0, cw, ch};
    default: {
      int w = pw, h = ph;
      if (pw > cw || ph > ch) {
        // Scale by the smaller of cw/pw and ch/ph, compared without rounding.
        if (int64_t{cw} * ph <= int64_t{ch} * pw) {
          w = cw;
          h = static_cast<int>(int64_t{ph} * cw / pw);
        } else {
          h = ch;
          w = static_cast<int>(int64_t{pw} * ch / ph);
        }
      }
      return {(cw - w) / 2, (ch - h) / 2, w, h};
    }
  }
}
