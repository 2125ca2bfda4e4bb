#include "page_control_test_support.h"

#include <utility>

#include "format/program_windows.h"
#include "format/window_ids.h"
#include "support/test_support.h"

bool g_allow_change = true;

namespace {

Events g_events;

// What TabPager's events and ViewButton3's click call: each notes itself.
std::string Arg(const int32_t* args, int32_t count) { return std::to_string(count > 0 ? args[0] : -99); }
const EventBinding kTestBindings[] = {
    {0, [](const int32_t*, int32_t) -> HandlerResult { g_events.push_back("changed"); return {false, 0}; }},
    {1, [](const int32_t* args, int32_t count) -> HandlerResult {
       g_events.push_back("changing " + Arg(args, count));
       return {true, g_allow_change ? 1 : 0};
     }},
    {2, [](const int32_t* args, int32_t count) -> HandlerResult {
       g_events.push_back("clicked " + Arg(args, count));
       return {false, 0};
     }},
};
const EventBinding kButtonBindings[] = {
    {0, [](const int32_t*, int32_t) -> HandlerResult { g_events.push_back("button clicked"); return {false, 0}; }}};

}  // namespace

Events TakeEvents() { return std::exchange(g_events, {}); }

ControlRecord* TabPagerRecord() {
  WindowDescription* w = ProgramWindows().Find(ids::MainWindow);
  return w->RecordAt(w->FindRecord(ids::MainWindow_TabPager));
}

void PrepareDescriptions() {
  static bool done = false;
  if (done) return;
  done = true;
  ReadProgramWindows({});
  TabPagerRecord()->bindings = std::span<const EventBinding>(kTestBindings);
  WindowDescription* w = ProgramWindows().Find(ids::MainWindow);
  w->RecordAt(w->FindRecord(ids::MainWindow_ViewButton3))->bindings =
      std::span<const EventBinding>(kButtonBindings);
}

int main(int argc, char** argv) { return RunTestMain(argc, argv); }
