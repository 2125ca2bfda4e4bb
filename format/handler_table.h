// The shape every handler is called through and the table of them a window
// description binds its events with; the adapters that fill a table are in
// format/handlers.h.
#pragma once

#include <cstdint>
#include <span>

#include "format/handler_key.h"

struct HandlerResult {
  bool has_value;  // the procedure returned something
  int64_t value;   // a 32-bit result sign-extended
};

// Every handler is called through this one shape; the event's 32-bit
// argument words come first to last, `count` of them.
using Handler = HandlerResult (*)(const int32_t* args, int32_t count);

struct HandlerEntry {
  uint32_t key;
  Handler handler;
};
using HandlerTable = std::span<const HandlerEntry>;

// The handler for `key`, or null for kNoHandlerKey and keys the table lacks.
inline Handler FindHandler(HandlerTable table, uint32_t key) {
  if (key == kNoHandlerKey) return nullptr;
  for (const HandlerEntry& e : table) {
    if (e.key == key) return e.handler;
  }
  return nullptr;
}
