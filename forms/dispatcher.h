// Events find their handlers here: the window's description, the record, its
// bindings, first match wins. Portable; the windows and controls raise events
// through DispatchEvent and nothing else.
#pragma once

#include <cstdint>

// One event as windows and controls raise it.
struct EventNotice {
  uint32_t window_id = 0;
  uint32_t control_id = 0;  // the window's own record for the window's events; 0 means that too
  int32_t event = 0;
  int32_t arg_count = 0;
  int32_t args[5] = {};
  bool has_result = false;  // set when the handler returned a value
  int32_t result = 0;
};

// Runs the handler bound to the event, if any; true when one ran. An event for
// a window or control that is not described ends the program with the fatal
// report; nothing runs while a fatal report is under way.
bool DispatchEvent(EventNotice* notice);

// While a handler runs: the window and control of the event that started it.
bool CurrentEventSource(uint32_t* window_id, uint32_t* control_id);
