// The pages of a PageControl as the control owns them, and the writers of its
// stored property block and page list: the inverse of property_streams.h's
// readers, so a saved control reads back as it was. Portable. Does not apply
// anything to a window and does not know the current page's rules.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "format/property_streams.h"

using ByteBuffer = std::vector<uint8_t>;

// One page, with its own copies of the stored texts.
struct Page {
  std::string caption;  // GBK
  int32_t header_images[3] = {-1, -1, -1};
  int32_t attributes[3][3] = {};
  int32_t reserved[6] = {};  // written back as they were read
  int32_t shown = 1;
  int32_t enabled = 1;
  std::string tooltip;  // GBK
  int32_t excluded = 0;
  ByteBuffer groups;  // trailing groups of four words, written back as read
};

inline constexpr uint32_t kPageListVersion = 3;

// The pages of a page list block; false (pages untouched) when it is damaged.
// A list without pages gets one page with an empty caption.
bool PagesFromBlock(ByteView block, std::vector<Page>* pages);
// A page list block of version 3.
ByteBuffer EncodePageList(const std::vector<Page>& pages);
// A stored property block of version 7 from the values in `p`; its views
// (Pages, the image lists, the picture) are written as counted blocks.
ByteBuffer EncodePageControlProperties(const PageControlProperties& p);

inline ByteView ViewOf(const ByteBuffer& b) { return ByteView{b.data(), static_cast<uint32_t>(b.size())}; }
inline ByteBuffer CopyOf(ByteView v) {
  return v.empty() ? ByteBuffer{} : ByteBuffer(v.data, v.data + v.size);
}
