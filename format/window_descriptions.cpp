#include "format/window_descriptions.h"

#include "base/fatal.h"
#include "format/texts_gbk.h"

namespace {

struct PendingBindings {
  size_t first;
  size_t count;
};

class BlockReader {
 public:
  BlockReader(ByteView block, HandlerTable handlers, ReadFailure* failure)
      : block_(block), handlers_(handlers), failure_(failure) {}

  bool Window(ByteStream& s, WindowDescription* w);

 private:
  bool Record(ByteView bytes, uint32_t id, WindowDescription* w, ControlRecord* r, PendingBindings* pending);
  bool Fail(const uint8_t* where, const char* what) {
    if (failure_) {
      failure_->offset = static_cast<uint32_t>(where - block_.data);
      failure_->what = what;
    }
    return false;
  }

  ByteView block_;
  HandlerTable handlers_;
  ReadFailure* failure_;
};

bool BlockReader::Window(ByteStream& s, WindowDescription* w) {
  uint32_t count;
  ByteView area;
  if (!s.U32(&w->design_value) || !s.U32(&w->handler_module) || !s.Counted(&w->texts[0]) ||
      !s.Counted(&w->texts[1]) || !s.U32(&count) || !s.Counted(&area)) {
    return Fail(s.position(), "window description ends early");
  }
  // Identifiers and offsets come first: C dwords each.
  if (count == 0 || count > area.size / 8) return Fail(area.data, "record count exceeds its block");
  const uint32_t table_bytes = 8 * count;
  w->records.resize(count);
  std::vector<PendingBindings> pending(count);
  for (uint32_t i = 0; i < count; ++i) {
    uint32_t offset = LoadU32(area.data + 4 * (count + i));
    uint32_t room = area.size - table_bytes;
    if (offset > room || room - offset < 4) return Fail(area.data + 4 * (count + i), "record offset outside");
    const uint8_t* start = area.data + table_bytes + offset;
    uint32_t size = LoadU32(start);
    if (size > room - offset - 4) return Fail(start, "record size exceeds its block");
    if (!Record(ByteView{start + 4, size}, LoadU32(area.data + 4 * i), w, &w->records[i], &pending[i])) {
      return false;
    }
  }
  // The store is complete now, so the spans into it stay valid.
  for (uint32_t i = 0; i < count; ++i) {
    w->records[i].bindings =
        std::span<const EventBinding>(w->binding_store).subspan(pending[i].first, pending[i].count);
  }
  return true;
}

bool BlockReader::Record(ByteView bytes, uint32_t id, WindowDescription* w, ControlRecord* r,
                         PendingBindings* pending) {
  ByteStream s(bytes);
  r->id = id;
  pending->first = w->binding_store.size();
  pending->count = 0;
  if (!s.U32(&r->kind)) return Fail(s.position(), "record ends early");
  if (r->kind == kKindMenuItem) {
    // A menu item carries one handler key and nothing this reader needs.
    uint32_t key;
    if (!s.U32(&key)) return Fail(s.position(), "menu item ends early");
    w->binding_store.push_back({0, FindHandler(handlers_, key)});
    pending->count = 1;
    return true;
  }
  uint32_t binding_count;
  ByteView bindings;
  if (!s.U32(&r->shares_bindings_of) || !s.Skip(16) || !s.ZeroTerminated(&r->name) ||
      !s.ZeroTerminated(&r->second_text) || !s.Skip(4) || !s.I32(&r->left) || !s.I32(&r->top) ||
      !s.I32(&r->width) || !s.I32(&r->height) || !s.Skip(4) || !s.U32(&r->parent) || !s.U32(&r->child_count) ||
      r->child_count > s.remaining() / 4 || !s.Bytes(4 * r->child_count, &r->children) ||
      !s.Counted(&r->mouse_pointer) || !s.ZeroTerminated(&r->tag) || !s.Skip(4) || !s.U32(&r->flags) ||
      !s.I32(&r->tab_order) || !s.U32(&binding_count) || binding_count > s.remaining() / 8 ||
      !s.Bytes(8 * binding_count, &bindings) || !s.Skip(20)) {
    return Fail(s.position(), "record ends early");
  }
  r->properties = ByteView{s.position(), s.remaining()};
  for (uint32_t i = 0; i < binding_count; ++i) {
    int32_t event = static_cast<int32_t>(LoadU32(bindings.data + 8 * i));
    w->binding_store.push_back({event, FindHandler(handlers_, LoadU32(bindings.data + 8 * i + 4))});
  }
  pending->count = binding_count;
  return true;
}

}  // namespace

int WindowDescription::FindRecord(uint32_t record_id) const {
  for (size_t i = 0; i < records.size(); ++i) {
    if (records[i].id == record_id) return static_cast<int>(i);
  }
  return -1;
}

ControlRecord* WindowDescription::RecordAt(int position) {
  return position >= 0 && static_cast<size_t>(position) < records.size() ? &records[position] : nullptr;
}

const ControlRecord* WindowDescription::RecordAt(int position) const {
  return const_cast<WindowDescription*>(this)->RecordAt(position);
}

bool WindowDescriptionTable::Parse(ByteView block, HandlerTable handlers, ReadFailure* failure) {
  windows_.clear();
  bytes_read_ = 0;
  BlockReader reader(block, handlers, failure);
  ByteStream s(block);
  ByteView index;
  if (!s.Counted(&index)) {
    if (failure) *failure = {s.offset(), "window index ends early"};
    return false;
  }
  const uint32_t count = index.size / 8;
  std::vector<WindowDescription> windows(count);
  for (uint32_t i = 0; i < count; ++i) {
    windows[i].id = LoadU32(index.data + 4 * i);
    if (!reader.Window(s, &windows[i])) return false;
  }
  windows_ = std::move(windows);
  bytes_read_ = s.offset();
  return true;
}

void WindowDescriptionTable::Read(ByteView block, HandlerTable handlers) {
  if (!Parse(block, handlers)) ReportDamagedWindowData();
}

WindowDescription* WindowDescriptionTable::Find(uint32_t window_id) {
  for (WindowDescription& w : windows_) {
    if (w.id == window_id) return &w;
  }
  return nullptr;
}

const WindowDescription* WindowDescriptionTable::Find(uint32_t window_id) const {
  return const_cast<WindowDescriptionTable*>(this)->Find(window_id);
}

void ReportDamagedWindowData() { ReportFatal(0, gbk::kWindowDataDamaged); }
