// A choice property written outside its listed values keeps to the nearest
// end of the list. Portable.
#pragma once

#include <cstdint>

inline int32_t ChoiceUpTo(int64_t v, int32_t last) {
  return v < 0 ? 0 : (v > last ? last : static_cast<int32_t>(v));
}
