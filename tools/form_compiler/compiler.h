// The form compiler: window sources (JSON, UTF-8) in, the stored block of
// window descriptions out. A host tool; it may throw.
#pragma once

#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

namespace formc {

using Json = nlohmann::ordered_json;

struct CompileError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

struct WindowSource {
  Json json;
  std::filesystem::path dir;  // file paths in the source are relative to it
  std::string origin;         // for messages
};

// The whole block: the window index, then each window in the given order.
std::vector<uint8_t> CompileWindows(const std::vector<WindowSource>& windows);

// As CompileWindows, for callers built without exceptions: an empty block
// and the reason in *error when the sources are faulty.
std::vector<uint8_t> CompileWindowsOrError(const std::vector<WindowSource>& windows, std::string* error);

// The header that names every window and control identifier of the sources:
// ids::<Window>, ids::<Window>_Record for the window's own record and
// ids::<Window>_<Control>. Throws on a name C++ cannot spell or one made twice.
std::string IdsHeader(const std::vector<WindowSource>& windows);

// Reads a source file.
WindowSource LoadWindowSource(const std::filesystem::path& file);

// UTF-8 to GBK; throws on a character GBK lacks.
std::string ToGbk(const std::string& utf8);

}  // namespace formc
