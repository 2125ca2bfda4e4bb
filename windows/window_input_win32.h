// What the message loop hands to the program's windows before dispatching:
// mouse, key and wheel messages become input events of the window or the
// recorded control they are for, and the window's own keys (Tab, Enter, Esc,
// F1) are handled here.
#pragma once

#include <windows.h>

#include <cstdint>

// True when the message was taken and must not be dispatched.
bool PreTranslateWindowMessage(MSG* msg);

// The input event a message becomes, and its arguments; false for messages
// that raise none.
struct InputEvent {
  int32_t event = 0;
  int32_t args[3] = {};
  int32_t arg_count = 0;
};
bool InputEventFor(const MSG& msg, int32_t alt_ctrl_shift_keys, InputEvent* out);
