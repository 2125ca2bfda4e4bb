// The five content pages: stored bytes and file names, in the one order every
// handler writes, hides, deletes and shows them.
#pragma once

#include "base/value.h"

struct ContentPage {
  const char* file_name;  // bare name, written next to the executable
  ByteArray bytes;        // constant in the image, written byte for byte
};

inline constexpr int kContentPageCount = 5;
extern const ContentPage kContentPages[kContentPageCount];
