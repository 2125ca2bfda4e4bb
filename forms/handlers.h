// The table that turns stored handler keys into the application's procedures.
// The application adds a handler with one line, VELMORA_HANDLER(Name), in its
// table; the key comes from the name, so nothing else needs to change.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <type_traits>
#include <utility>

#include "forms/handler_key.h"

struct HandlerResult {
  bool has_value;  // the procedure returned something
  int32_t value;
};

// Every handler is called through this one shape; the event's 32-bit
// arguments come first to last, `count` of them.
using Handler = HandlerResult (*)(const int32_t* args, int32_t count);

struct HandlerEntry {
  uint32_t key;
  Handler handler;
};
using HandlerTable = std::span<const HandlerEntry>;

// Adapts a plain procedure (any number of 32-bit arguments, returning nothing
// or a value) to the Handler shape; missing arguments arrive as 0.
template <auto Fn>
struct HandlerThunk;

template <typename R, typename... A, R (*Fn)(A...)>
struct HandlerThunk<Fn> {
  static HandlerResult Call(const int32_t* args, int32_t count) {
    return Invoke(args, count, std::index_sequence_for<A...>{});
  }

 private:
  template <size_t... I>
  static HandlerResult Invoke(const int32_t* args, int32_t count, std::index_sequence<I...>) {
    if constexpr (std::is_void_v<R>) {
      Fn(static_cast<A>(static_cast<int32_t>(I) < count ? args[I] : 0)...);
      return {false, 0};
    } else {
      return {true, static_cast<int32_t>(Fn(static_cast<A>(static_cast<int32_t>(I) < count ? args[I] : 0)...))};
    }
  }
};

#define VELMORA_HANDLER(fn) HandlerEntry{HandlerKey(#fn), &HandlerThunk<&fn>::Call}

// For a static_assert on the application's table: two names that hash alike,
// or a name that hashes to "no handler", would bind the wrong procedure.
constexpr bool HandlerKeysUsable(HandlerTable table) {
  for (size_t i = 0; i < table.size(); ++i) {
    if (table[i].key == kNoHandlerKey) return false;
    for (size_t j = i + 1; j < table.size(); ++j) {
      if (table[i].key == table[j].key) return false;
    }
  }
  return true;
}

// The handler for `key`, or null for kNoHandlerKey and keys the table lacks.
inline Handler FindHandler(HandlerTable table, uint32_t key) {
  if (key == kNoHandlerKey) return nullptr;
  for (const HandlerEntry& e : table) {
    if (e.key == key) return e.handler;
  }
  return nullptr;
}
