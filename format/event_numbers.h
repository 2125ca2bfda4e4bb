// The event numbers windows and controls raise in common. Portable.
#pragma once

#include <cstdint>

// The window's own events.
inline constexpr int32_t kCreated = 0;
inline constexpr int32_t kQueryClose = 1;
inline constexpr int32_t kDestroying = 2;
inline constexpr int32_t kMoved = 3;
inline constexpr int32_t kResized = 4;

// A button's own event.
inline constexpr int32_t kClicked = 0;

// Input events of any control or the window.
inline constexpr int32_t kLeftButtonDown = -1;
inline constexpr int32_t kLeftButtonUp = -2;
inline constexpr int32_t kDoubleClick = -3;
inline constexpr int32_t kRightButtonDown = -4;
inline constexpr int32_t kRightButtonUp = -5;
inline constexpr int32_t kMouseMoved = -6;
inline constexpr int32_t kGotFocus = -7;
inline constexpr int32_t kLostFocus = -8;
inline constexpr int32_t kKeyDown = -9;
inline constexpr int32_t kKeyUp = -10;
inline constexpr int32_t kCharacter = -11;
inline constexpr int32_t kWheel = -12;

// Shift state bits of the input events.
inline constexpr int32_t kShiftCtrl = 1;
inline constexpr int32_t kShiftShift = 2;
inline constexpr int32_t kShiftAlt = 4;

// What a handler's answer does to the message behind an input event or
// QueryClose: false stops it, anything else (or no answer) lets it go on.
inline bool AnswerStops(bool has_result, int64_t result) { return has_result && result == 0; }
