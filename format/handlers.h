// The table that turns stored handler keys into the application's procedures.
// The application adds a handler with one line, VELMORA_HANDLER(Name), in its
// table; the key comes from the name, so nothing else needs to change.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <type_traits>
#include <utility>

#include "format/handler_key.h"
#include "format/handler_table.h"

// Adapts a plain procedure (32-bit or 64-bit arguments, returning nothing or
// a value) to the Handler shape. A 64-bit argument takes two words, low
// first; missing words arrive as 0.
template <auto Fn>
struct HandlerThunk;

template <typename R, typename... A, R (*Fn)(A...)>
struct HandlerThunk<Fn> {
  static HandlerResult Call(const int32_t* args, int32_t count) {
    return Invoke(args, count, std::index_sequence_for<A...>{});
  }

 private:
  template <typename T>
  static constexpr int32_t kWords = sizeof(T) > 4 ? 2 : 1;

  // Where each argument's first word lies.
  static constexpr std::array<int32_t, sizeof...(A) + 1> Offsets() {
    std::array<int32_t, sizeof...(A) + 1> at{};
    int32_t words[] = {kWords<A>..., 0};
    for (size_t i = 0; i < sizeof...(A); ++i) at[i + 1] = at[i] + words[i];
    return at;
  }

  template <typename T>
  static T Argument(const int32_t* args, int32_t count, int32_t at) {
    auto word = [&](int32_t i) { return i < count ? static_cast<uint32_t>(args[i]) : 0u; };
    if constexpr (sizeof(T) > 4) {
      uint64_t bits = word(at) | static_cast<uint64_t>(word(at + 1)) << 32;
      T value;
      std::memcpy(&value, &bits, sizeof value);
      return value;
    } else {
      return static_cast<T>(static_cast<int32_t>(word(at)));
    }
  }

  template <typename T>
  static int64_t ResultBits(T r) {
    if constexpr (sizeof(T) > 4) {
      int64_t bits;
      std::memcpy(&bits, &r, sizeof bits);
      return bits;
    } else {
      return static_cast<int32_t>(r);
    }
  }

  template <size_t... I>
  static HandlerResult Invoke(const int32_t* args, int32_t count, std::index_sequence<I...>) {
    [[maybe_unused]] constexpr auto at = Offsets();
    if constexpr (std::is_void_v<R>) {
      Fn(Argument<A>(args, count, at[I])...);
      return {false, 0};
    } else {
      return {true, ResultBits(Fn(Argument<A>(args, count, at[I])...))};
    }
  }
};

#define VELMORA_HANDLER(fn) \
  HandlerEntry { HandlerKey(#fn), &HandlerThunk<&fn>::Call }

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
