// The built-in skins and the skin engine's file image, constants in the
// program's image. Portable; applying a skin is not done here.
#pragma once

#include <cstdint>

#include "base/value.h"

constexpr int32_t kSkinCount = 33;

// Skin `number` (1 to kSkinCount) as its constant byte array, whose bytes
// begin with ".SHE"; null for any other number.
ByteArray SkinCatalogueEntry(int32_t number);

// The complete file of SkinH_EL.dll. Only in the Windows builds, which build it.
ByteArray SkinEngineImage();
