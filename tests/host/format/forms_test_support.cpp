#include "forms_test_support.h"

#include <gtest/gtest.h>

using formc::Json;

Json WindowOfOneRecord(const std::string& kind, const Json& props) {
  Json own = {{"version", 1}};
  for (const char* name : {"Border", "PictureMode", "BackColor", "MaxButton", "MinButton", "ControlBox", "Position",
                           "Movable", "SoundRepeat", "EnterMovesFocus", "EscCloses", "F1OpensHelp", "HelpContext"}) {
    own[name] = 0;
  }
  for (const char* name : {"BackPicture", "Icon", "BackSound", "Caption", "HelpFile"}) own[name] = "";
  auto record = [](const char* name, uint32_t id, const std::string& kind, const Json& props) {
    return Json{{"name", name},      {"id", id},           {"kind", kind},
                {"stored_name", "r"}, {"geometry", {1, 2, 3, 4}}, {"properties", props}};
  };
  Json records = Json::array();
  if (kind != "window") records.push_back(record("W", 0x06000000, "window", own));
  records.push_back(record("R", 0x06000001, kind, props));
  return {{"id", 0x52000001}, {"design_value", 0}, {"handler_module", 0}, {"texts", {"", ""}},
          {"shared", {{"record", {{"visible", 1}, {"disable", 0}, {"tag", ""}, {"tab_order", 0}, {"tab_stop", 0},
                                  {"MousePointer", "default"}}}}},
          {"records", records}};
}

std::vector<uint8_t> Compile(const std::vector<Json>& windows, std::string* error) {
  std::vector<formc::WindowSource> sources;
  for (const Json& j : windows) sources.push_back({j, VELMORA_ASSETS "/forms", "test"});
  std::string reason;
  std::vector<uint8_t> block = formc::CompileWindowsOrError(sources, &reason);
  if (error) {
    *error = reason;
  } else {
    EXPECT_EQ(reason, "");
  }
  return block;
}
