#include "skinengine/skin_format.h"

namespace skin {

const MetricRange kMetricRanges[kMetricCount] = {
    {1, 12}, {16, 48}, {14, 48}, {12, 48}, {0, 12}, {0, 1}, {2, 24},
};

namespace {

uint32_t U16(const uint8_t* p) { return static_cast<uint32_t>(p[0] | p[1] << 8); }
uint32_t U32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
         static_cast<uint32_t>(p[3]) << 24;
}

// A table of count entries of size bytes at offset, inside the skin and past the header.
bool TableFits(uint32_t offset, uint32_t count, uint32_t size, uint32_t length) {
  if (offset < kHeaderSize || offset > length) return false;
  return count <= (length - offset) / size;
}

}  // namespace

uint32_t SkinChecksum(const uint8_t* data, uint32_t length) {
  uint32_t hash = 2166136261u;
  for (uint32_t i = 0; i < length; ++i) {
    const bool in_field = i >= kChecksumOffset && i < kChecksumOffset + 4;
    hash = (hash ^ (in_field ? 0u : data[i])) * 16777619u;
  }
  return hash;
}

ReadResult ReadSkin(const uint8_t* data, uint32_t length, SkinLook* out) {
  if (!data || length < kHeaderSize) return ReadResult::kNoData;
  if (data[0] != '.' || data[1] != 'S' || data[2] != 'H' || data[3] != 'E') return ReadResult::kBadMarker;
  if (U16(data + 4) != kFormatVersion || U16(data + 6) != kHeaderSize) return ReadResult::kBadVersion;
  if (length > kMaxSkinLength || U32(data + 8) != length) return ReadResult::kBadLength;
  if (U32(data + kChecksumOffset) != SkinChecksum(data, length)) return ReadResult::kBadChecksum;

  const uint32_t palette = U32(data + 16), colors = U16(data + 20);
  const uint32_t metric_count = U16(data + 22), metrics = U32(data + 24);
  if (colors < kColorCount || metric_count < kMetricCount || !TableFits(palette, colors, 4, length) ||
      !TableFits(metrics, metric_count, 2, length)) {
    return ReadResult::kBadTable;
  }

  SkinLook look;
  for (int i = 0; i < kColorCount; ++i) {
    const uint8_t* c = data + palette + 4 * i;
    if (c[3] != 0) return ReadResult::kBadValue;  // not a plain colour
    look.colors[i] = c[0] | c[1] << 8 | c[2] << 16;
  }
  for (int i = 0; i < kMetricCount; ++i) {
    const int32_t v = static_cast<int32_t>(U16(data + metrics + 2 * i));
    if (v < kMetricRanges[i].min || v > kMetricRanges[i].max) return ReadResult::kBadValue;
    look.metrics[i] = v;
  }
  if (look.metrics[kCaptionButtonHeight] > look.metrics[kCaptionHeight]) return ReadResult::kBadValue;
  *out = look;
  return ReadResult::kOk;
}

}  // namespace skin
