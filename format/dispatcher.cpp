#include "format/dispatcher.h"

#include "base/fatal.h"
#include "format/program_windows.h"
#include "format/texts_gbk.h"

namespace {

struct EventSource {
  bool active = false;
  uint32_t window_id = 0;
  uint32_t control_id = 0;
};
EventSource g_source;

bool IsShownKind(uint32_t kind) {
  switch (kind) {
    case kKindWindow:
    case kKindMenuItem:
    case kKindEditBox:
    case kKindPicBox:
    case kKindLabel:
    case kKindButton:
    case kKindPageControl:
    case kKindHtmlViewer:
      return true;
    default:
      return false;
  }
}

// Follows "shares bindings of" links to the record whose bindings apply; a
// cycle stops after as many steps as there are records.
const ControlRecord* BindingRecord(const WindowDescription& w, const ControlRecord* r) {
  for (size_t steps = 0; r->shares_bindings_of != 0 && steps < w.records.size(); ++steps) {
    int at = w.FindRecord(r->shares_bindings_of);
    if (at < 0 || w.RecordAt(at)->kind != r->kind) break;
    r = w.RecordAt(at);
  }
  return r;
}

// Finds the handler and runs it with `count` words; true when one ran.
bool Dispatch(uint32_t window_id, uint32_t control_id, int32_t event, const int32_t* words, int32_t count,
              HandlerResult* result) {
  if (FatalReportInProgress()) return false;
  const WindowDescription* w = ProgramWindows().Find(window_id);
  if (!w) ReportFatal(0, gbk::kEventWindowMissing);
  int at = control_id == 0 ? 0 : w->FindRecord(control_id);
  if (at < 0) ReportFatal(0, gbk::kEventControlMissing);
  const ControlRecord* r = BindingRecord(*w, w->RecordAt(at));
  if (!IsShownKind(r->kind)) ReportFatal(0, gbk::kEventControlInvalid);

  Handler handler = nullptr;
  if (r->kind == kKindMenuItem) {
    if (!r->bindings.empty()) handler = r->bindings[0].handler;
  } else {
    for (const EventBinding& b : r->bindings) {
      if (b.event == event) {
        handler = b.handler;
        break;
      }
    }
  }
  if (!handler) return false;

  // Nested events (a modal window's) restore the outer source when they end.
  EventSource outer = g_source;
  g_source = {true, window_id, control_id};
  *result = handler(words, count);
  g_source = outer;
  return true;
}

}  // namespace

int32_t ArgumentWords(const EventArgument* args, int32_t count, int32_t words[2 * kMaxTypedArguments]) {
  int32_t n = 0;
  for (int32_t i = 0; i < count && i < kMaxTypedArguments; ++i) {
    const EventArgument& a = args[i];
    auto word = [](uint32_t w) { return static_cast<int32_t>(w); };
    bool both = false;
    int32_t first = word(a.words[0]);
    if (a.flags & kArgFirstWordOnly) {
      both = false;
    } else if (a.flags & kArgBothWords) {
      both = true;
    } else if (a.type == kArgLong || a.type == kArgDouble || a.type == kArgDate) {
      both = true;
    } else if (a.type == kArgByte) {
      first = static_cast<int32_t>(a.words[0] & 0xFFu);
    } else if (a.type == kArgShort) {
      first = static_cast<int16_t>(a.words[0] & 0xFFFFu);
    }
    words[n++] = first;
    if (both) words[n++] = word(a.words[1]);
  }
  return n;
}

bool DispatchEvent(EventNotice* notice) {
  int32_t count = notice->arg_count < 0 ? 0 : (notice->arg_count > 5 ? 5 : notice->arg_count);
  HandlerResult result{};
  if (!Dispatch(notice->window_id, notice->control_id, notice->event, notice->args, count, &result))
    return false;
  if (result.has_value) {
    notice->has_result = true;
    notice->result = static_cast<int32_t>(result.value);
  }
  return true;
}

bool DispatchTypedEvent(TypedEventNotice* notice) {
  int32_t words[2 * kMaxTypedArguments];
  int32_t items = notice->arg_count < 0 ? 0 : notice->arg_count;
  int32_t count = ArgumentWords(notice->args, items, words);
  HandlerResult result{};
  if (!Dispatch(notice->window_id, notice->control_id, notice->event, words, count, &result)) return false;
  if (result.has_value) {
    notice->has_result = true;
    notice->result = result.value;
  }
  return true;
}

bool CurrentEventSource(uint32_t* window_id, uint32_t* control_id) {
  if (!g_source.active) return false;
  *window_id = g_source.window_id;
  *control_id = g_source.control_id;
  return true;
}
