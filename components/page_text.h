// A content page's text for a view without an HTML engine: the page's bytes
// turned into a flat list of runs in document order. Portable. Does not run
// script, lay out tables beyond tab stops, load pictures, follow style sheets
// beyond class colours, or convert text: runs keep the page's GBK bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Bytes of a page that are read; the rest is left out.
inline constexpr size_t kPageTextLimit = 4 * 1024 * 1024;
// Open elements that are tracked; deeper ones still break lines but style nothing.
inline constexpr int kPageTextDepth = 64;

enum class PageRunKind : uint8_t { kText, kLineBreak, kCellBreak };

struct PageRun {
  PageRunKind kind = PageRunKind::kText;
  std::string text;     // GBK, without markup or entities; empty for breaks
  bool bold = false;    // a heading, <b>, <strong>, <th> or a bold class
  int32_t colour = -1;  // 0xRRGGBB as the markup states it; -1 for the default
  int32_t link = -1;    // index into PageText::links; -1 when not a link
};

struct PageText {
  std::vector<PageRun> runs;
  std::vector<std::string> links;  // GBK addresses, entities decoded
  // Cell starts in pixels from the line's start, from the first row whose
  // cells all state a pixel width; empty when none does.
  std::vector<int32_t> tab_stops;
};

// Reads page bytes of any charset declaration as GBK (GB2312 is its subset).
// Never fails: bytes that are not HTML come out as what text there is.
PageText ReadPageText(const uint8_t* data, size_t size);
