// Handler keys: the 32-bit FNV-1a hash of a handler's name. The form compiler
// and the program both derive keys from names, so neither keeps a table of
// numbers by hand. Portable, and usable by the host tools.
#pragma once

#include <cstdint>
#include <string_view>

// A binding whose key is this has no handler.
inline constexpr uint32_t kNoHandlerKey = 0xFFFFFFFFu;

constexpr uint32_t HandlerKey(std::string_view name) {
  uint32_t hash = 2166136261u;
  for (char c : name) {
    hash ^= static_cast<uint8_t>(c);
    hash *= 16777619u;
  }
  return hash;
}
