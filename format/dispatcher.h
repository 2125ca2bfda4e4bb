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

// Value types of a typed argument.
enum EventArgumentType : uint32_t {
  kArgByte = 1,
  kArgShort,
  kArgInteger,
  kArgLong,  // 64-bit integer
  kArgFloat,
  kArgDouble,
  kArgBool,
  kArgDate,  // a double, days since 1899-12-30
  kArgText,
  kArgBytes,
  kArgProcedure,
};

// How a typed argument reaches the handler, whatever its type says.
enum EventArgumentFlag : uint32_t {
  kArgFirstWordOnly = 1u << 0,
  kArgBothWords = 1u << 1,
};

// One typed argument: its value as two 32-bit words (low first), its type and flags.
struct EventArgument {
  uint32_t words[2] = {};
  uint32_t type = kArgInteger;
  uint32_t flags = 0;
};
static_assert(sizeof(EventArgument) == 16);

inline constexpr int kMaxTypedArguments = 12;

// An event as library kinds raise it: typed arguments and a 64-bit result.
struct TypedEventNotice {
  uint32_t window_id = 0;
  uint32_t control_id = 0;
  int32_t event = 0;
  int32_t arg_count = 0;
  EventArgument args[kMaxTypedArguments];
  bool has_result = false;
  int64_t result = 0;
};

// The 32-bit words a handler receives for typed arguments, first to last; at
// most two words an item. Returns how many words were written.
int32_t ArgumentWords(const EventArgument* args, int32_t count, int32_t words[2 * kMaxTypedArguments]);

// Runs the handler bound to the event, if any; true when one ran. An event for
// a window or control that is not described ends the program with the fatal
// report; nothing runs while a fatal report is under way.
bool DispatchEvent(EventNotice* notice);
bool DispatchTypedEvent(TypedEventNotice* notice);

// While a handler runs: the window and control of the event that started it.
bool CurrentEventSource(uint32_t* window_id, uint32_t* control_id);
