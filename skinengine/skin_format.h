// The engine's skin format: reads and checks a skin held in memory. Portable and
// freestanding (no C++ library, no <windows.h>), so the host tests run the very
// reader the DLL uses. Does not draw anything.
//
// Layout, little-endian: ".SHE", u16 version, u16 header size, u32 whole length,
// u32 checksum (FNV-1a of the whole skin with this field read as zero),
// u32 palette offset, u16 colour count, u16 metric count, u32 metric offset,
// u32 flags; the palette as R, G, B, 0 bytes per colour; the metrics as u16
// each; then padding up to the whole length.
#pragma once

#include <stdint.h>

namespace skin {

constexpr uint16_t kFormatVersion = 1;
constexpr uint32_t kHeaderSize = 32;
constexpr uint32_t kChecksumOffset = 12;
// Larger skins are refused rather than walked.
constexpr uint32_t kMaxSkinLength = 16u << 20;

// Palette entries, in stored order; a skin may carry more, which are ignored.
enum Color : int {
  kFrameActive,          // border of the active window
  kFrameInactive,        // border of an inactive window
  kFrameEdge,            // one-pixel outer line of the border
  kCaptionActiveTop,     // caption gradient, top row, active
  kCaptionActiveBottom,  // caption gradient, bottom row, active
  kCaptionInactiveTop,
  kCaptionInactiveBottom,
  kCaptionText,
  kCaptionTextInactive,
  kCaptionButtonHot,      // minimise and maximise box under the pointer
  kCaptionButtonPressed,  // any caption box held down
  kCaptionGlyph,          // the drawn x, square and bar
  kCloseHot,              // close box under the pointer
  kWindowBack,            // client area of frames
  kDialogBack,            // client area of dialogs
  kText,                  // static text on the backgrounds
  kButtonFace,
  kButtonFaceHot,
  kButtonFacePressed,
  kButtonFaceDisabled,
  kButtonBorder,
  kButtonBorderFocused,
  kButtonText,
  kButtonTextDisabled,
  kColorCount
};

// Metrics in pixels (or flags), in stored order, each checked against its range.
enum Metric : int {
  kBorderWidth,          // frame border, 1 to 12
  kCaptionHeight,        // caption bar, 16 to 48
  kCaptionButtonWidth,   // 14 to 48
  kCaptionButtonHeight,  // 12 to 48, no taller than the caption
  kButtonRadius,         // push button corner radius, 0 to 12
  kCaptionBold,          // caption text bold: 0 or 1
  kCaptionTextInset,     // caption text left of the border, 2 to 24
  kMetricCount
};

struct MetricRange {
  int32_t min, max;
};
extern const MetricRange kMetricRanges[kMetricCount];

// What the engine keeps from a skin: colours as 0x00BBGGRR, metrics in range.
struct SkinLook {
  uint32_t colors[kColorCount];
  int32_t metrics[kMetricCount];
};

enum class ReadResult {
  kOk,
  kNoData,       // null or shorter than the header
  kBadMarker,    // not ".SHE"
  kBadVersion,   // a version this engine does not know
  kBadLength,    // the stored length is not the length given, or too large
  kBadChecksum,  // the bytes were changed or cut
  kBadTable,     // palette or metrics outside the skin, or too few entries
  kBadValue,     // a colour or metric out of range
};

uint32_t SkinChecksum(const uint8_t* data, uint32_t length);
// Fills *out only when the whole skin reads; on failure *out is untouched.
ReadResult ReadSkin(const uint8_t* data, uint32_t length, SkinLook* out);

}  // namespace skin
