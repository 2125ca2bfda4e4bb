// The four windows as a person sees them, saved as PNG files to look at.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "forms/property_access.h"
#include "components_test_support.h"
#include "support/test_support.h"

namespace {

using namespace ids;

std::string g_screens;  // where to save screenshots, as Windows sees it; empty: nowhere

void PutU32(std::vector<uint8_t>& out, uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(v >> shift));
}

void Chunk(std::vector<uint8_t>& out, const char* type, const std::vector<uint8_t>& body) {
  PutU32(out, static_cast<uint32_t>(body.size()));
  size_t start = out.size();
  out.insert(out.end(), type, type + 4);
  out.insert(out.end(), body.begin(), body.end());
  uint32_t crc = ~0u;
  for (size_t i = start; i < out.size(); ++i) {
    crc ^= out[i];
    for (int k = 0; k < 8; ++k) crc = crc & 1 ? 0xEDB88320u ^ (crc >> 1) : crc >> 1;
  }
  PutU32(out, ~crc);
}

// An 8-bit RGB PNG whose one IDAT holds stored (uncompressed) deflate blocks,
// so no compression library is needed.
bool WritePng(const std::string& path, const Pixels& pixels) {
  std::vector<uint8_t> raw;  // filter byte 0, then RGB, per row
  for (int y = 0; y < pixels.height; ++y) {
    raw.push_back(0);
    for (int x = 0; x < pixels.width; ++x) {
      for (int shift = 16; shift >= 0; shift -= 8)
        raw.push_back(static_cast<uint8_t>(pixels.At(x, y) >> shift));
    }
  }
  std::vector<uint8_t> z = {0x78, 0x01};
  uint32_t a = 1, b = 0;
  for (uint8_t byte : raw) {
    a = (a + byte) % 65521;
    b = (b + a) % 65521;
  }
  for (size_t at = 0; at < raw.size(); at += 65535) {
    size_t n = std::min<size_t>(raw.size() - at, 65535);
    z.insert(z.end(),
             {static_cast<uint8_t>(at + n == raw.size()), static_cast<uint8_t>(n),
              static_cast<uint8_t>(n >> 8), static_cast<uint8_t>(~n), static_cast<uint8_t>(~n >> 8)});
    z.insert(z.end(), raw.begin() + static_cast<ptrdiff_t>(at), raw.begin() + static_cast<ptrdiff_t>(at + n));
  }
  PutU32(z, b << 16 | a);
  std::vector<uint8_t> file = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'}, header;
  PutU32(header, static_cast<uint32_t>(pixels.width));
  PutU32(header, static_cast<uint32_t>(pixels.height));
  header.insert(header.end(), {8, 2, 0, 0, 0});  // 8-bit RGB, no interlace
  Chunk(file, "IHDR", header);
  Chunk(file, "IDAT", z);
  Chunk(file, "IEND", {});
  return WriteWholeFile(path, std::string(file.begin(), file.end()));
}

TEST(ScreensTest, EachWindowIsSavedAsItLooks) {
  if (g_screens.empty()) GTEST_SKIP() << "no --screens=<dir> given";
  CreateDirectoryA(g_screens.c_str(), nullptr);
  const struct {
    const char* file;
    uint32_t window;
    int page;  // of TabPager, or -1
  } screens[] = {
      {"main_window.png", kMainWindow, 0},       {"main_window_page1.png", kMainWindow, 1},
      {"main_window_page2.png", kMainWindow, 2}, {"main_window_page3.png", kMainWindow, 3},
      {"help_window.png", kHelpWindow, -1},      {"new_version_window.png", kNewVersionWindow, -1},
      {"follow_window.png", kFollowWindow, -1},
  };
  for (const auto& row : screens) {
    SCOPED_TRACE(row.file);
    LoadedWindow window(row.window);
    ASSERT_NE(window.get(), nullptr);
    // The application selects page 0 before the main window is first shown;
    // the stored current page is 3, so writing 3 at once would change nothing.
    if (row.page >= 0) SetControlNumber(kMainWindow, kTabPager, 12, 0);
    if (row.page > 0) SetControlNumber(kMainWindow, kTabPager, 12, row.page);
    window.ShowAndPaint();
    Pixels p = Capture(window->hwnd(), true);
    EXPECT_GT(p.width * p.height, 0);
    EXPECT_TRUE(WritePng(g_screens + "\\" + row.file, p));
  }
}

}  // namespace

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (std::strncmp(argv[i], "--screens=", 10) == 0) g_screens = WindowsPath(argv[i] + 10);
  }
  return RunTestMain(argc, argv);
}
