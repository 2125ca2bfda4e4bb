// The identifier header: names only, made from the sources as they are; the
// block's own checks (unique ids, known kinds) stay with CompileWindows.
#include <cstdio>
#include <map>

#include "tools/form_compiler/compiler.h"

namespace formc {
namespace {

bool IsIdentifier(const std::string& s) {
  if (s.empty() || (s[0] >= '0' && s[0] <= '9')) return false;
  for (char c : s) {
    if (!(c == '_' || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')))
      return false;
  }
  return true;
}

std::string Hex(const Json& id, const std::string& where) {
  const unsigned long v = id.is_string() ? std::stoul(id.get<std::string>(), nullptr, 0) : id.get<uint32_t>();
  if (v > UINT32_MAX) throw CompileError(where + ": the identifier does not fit 32 bits");
  char text[16];
  std::snprintf(text, sizeof text, "0x%08lx", v);
  return text;
}

}  // namespace

std::string IdsHeader(const std::vector<WindowSource>& windows) {
  std::string constants, all;
  std::map<std::string, std::string> seen;  // name -> where it comes from, to refuse a name made twice
  auto add = [&](const std::string& name, const std::string& window, const Json& id,
                 const std::string& where) {
    if (!IsIdentifier(name)) throw CompileError(where + ": " + name + " cannot name an identifier");
    if (auto [it, added] = seen.emplace(name, where); !added) {
      throw CompileError(where + ": the identifier name " + name + " is also made by " + it->second);
    }
    constants += "inline constexpr uint32_t " + name + " = " + Hex(id, where) + ";\n";
    all += "    {\"" + name + "\", " + window + ", " + name + "},\n";
  };
  for (const WindowSource& w : windows) {
    const std::string window = w.json.at("window").get<std::string>();
    constants += "\n// " + w.origin + "\n";
    add(window, window, w.json.at("id"), w.origin);
    const Json& records = w.json.at("records");
    for (size_t i = 0; i < records.size(); ++i) {
      // The window's own record is named after the window, so it takes a name of its own.
      const std::string name = i == 0 ? "Record" : records[i].at("name").get<std::string>();
      add(window + "_" + name, window, records[i].at("id"), w.origin + ": " + name);
    }
  }
  return "// Made by the form compiler from the window sources: every window and control\n"
         "// identifier by name. Change the sources, not this file.\n"
         "#pragma once\n\n#include <cstdint>\n\nnamespace ids {\n" +
         constants +
         "\n// Each name with its window and identifier, for a test that walks them all.\n"
         "struct NamedId {\n  const char* name;\n  uint32_t window, id;\n};\n"
         "inline constexpr NamedId kAll[] = {\n" +
         all + "};\n\n}  // namespace ids\n";
}

}  // namespace formc
