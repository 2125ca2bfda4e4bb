// Writes 0x00RRGGBB pixels as a PNG file: one IDAT of stored (uncompressed)
// deflate blocks, so no compression library is needed. Test use only.
#pragma once

#include <string>

#include "components_test_support.h"

bool WritePng(const std::string& path, const Pixels& pixels);
