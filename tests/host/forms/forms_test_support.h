// Helpers shared by the window description tests.
#pragma once

#include <string>
#include <vector>

#include "forms/window_descriptions.h"
#include "tools/form_compiler/compiler.h"

// GBK bytes of a UTF-8 text, as the program stores it.
std::string Gbk(const std::string& utf8);
std::string Str(ByteView v);
inline ByteView View(const std::vector<uint8_t>& b) { return ByteView{b.data(), static_cast<uint32_t>(b.size())}; }

// A table of the application's handler names, each bound to its own probe.
HandlerTable ProbeHandlers();
// The name a probe stands for, or "" for null and unknown handlers.
std::string ProbeName(Handler h);

// Compiles sources given as JSON; media paths are relative to assets/forms.
// The tests build without exceptions, so a faulty source shows as an error text.
std::vector<uint8_t> Compile(const std::vector<formc::Json>& windows, std::string* error = nullptr);
