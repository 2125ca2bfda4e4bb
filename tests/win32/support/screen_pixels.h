// Pixels read back off the screen, compared with a tolerance and saved as PNG
// files to look at. Shared by the Wine test programs.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

// A window's pixels as the screen shows them (its client area, or its whole
// outer rectangle), as 0x00RRGGBB rows top-down.
struct Pixels {
  int width = 0, height = 0;
  std::vector<uint32_t> data;
  uint32_t At(int x, int y) const { return data[static_cast<size_t>(y) * width + x]; }
};
Pixels Capture(HWND hwnd, bool whole_window = false);
bool Near(uint32_t rgb, uint32_t expected, int tolerance);
// Saves pixels as an 8-bit RGB PNG file.
bool WritePng(const std::string& path, const Pixels& pixels);
