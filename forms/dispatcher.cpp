#include "forms/dispatcher.h"

#include "base/fatal.h"
#include "forms/program_windows.h"
#include "forms/texts_gbk.h"

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

}  // namespace

bool DispatchEvent(EventNotice* notice) {
  if (FatalReportInProgress()) return false;
  const WindowDescription* w = ProgramWindows().Find(notice->window_id);
  if (!w) ReportFatal(0, gbk::kEventWindowMissing);
  int at = notice->control_id == 0 ? 0 : w->FindRecord(notice->control_id);
  if (at < 0) ReportFatal(0, gbk::kEventControlMissing);
  const ControlRecord* r = BindingRecord(*w, w->RecordAt(at));
  if (!IsShownKind(r->kind)) ReportFatal(0, gbk::kEventControlInvalid);

  Handler handler = nullptr;
  if (r->kind == kKindMenuItem) {
    if (!r->bindings.empty()) handler = r->bindings[0].handler;
  } else {
    for (const EventBinding& b : r->bindings) {
      if (b.event == notice->event) {
        handler = b.handler;
        break;
      }
    }
  }
  if (!handler) return false;

  // Nested events (a modal window's) restore the outer source when they end.
  EventSource outer = g_source;
  g_source = {true, notice->window_id, notice->control_id};
  int32_t count = notice->arg_count < 0 ? 0 : (notice->arg_count > 5 ? 5 : notice->arg_count);
  HandlerResult result = handler(notice->args, count);
  g_source = outer;
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
