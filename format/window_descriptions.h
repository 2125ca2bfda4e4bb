// The stored window descriptions: the block read once at start, the windows in
// it, and each window's records parsed into plain fields that point back into
// the block. Reading never goes outside the block; a damaged block is refused
// as a whole. Portable. Does not create windows or read property streams
// (property_streams.h does that when a control is made).
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "format/byte_stream.h"
#include "format/handler_table.h"

// Component kinds as records name them: library number high, kind number low.
enum KindId : uint32_t {
  kKindWindow = 0x00010001,
  kKindMenuItem = 0x00010003,
  kKindEditBox = 0x00010005,
  kKindPicBox = 0x00010006,
  kKindLabel = 0x0001000A,
  kKindButton = 0x0001000B,
  kKindPageControl = 0x00020002,
  kKindHtmlViewer = 0x00030001,
};

enum RecordFlag : uint32_t {
  kFlagVisible = 1u << 0,
  kFlagDisable = 1u << 1,
  kFlagTabStop = 1u << 2,
};

struct EventBinding {
  int32_t event;
  Handler handler;  // null: the stored key named no handler of this build
};

// One record of a window: the window's own (record 0) or a control's.
struct ControlRecord {
  uint32_t id = 0;
  uint32_t kind = 0;
  uint32_t shares_bindings_of = 0;  // record whose bindings this one uses; 0 = none
  const char* name = "";            // design-time name, GBK, inside the block
  const char* second_text = "";
  int32_t left = 0, top = 0, width = 0, height = 0;
  uint32_t parent = 0;  // control identifier, 0 = the window
  ByteView children;    // child_count dwords; pages separated by a 0 entry
  uint32_t child_count = 0;
  ByteView mouse_pointer;  // the MousePointer block's contents
  const char* tag = "";
  uint32_t flags = 0;
  int32_t tab_order = 0;
  std::span<const EventBinding> bindings;  // for a menu item: its one handler
  ByteView properties;                     // the kind's property stream

  uint32_t ChildAt(uint32_t i) const { return LoadU32(children.data + 4 * i); }
  bool visible() const { return flags & kFlagVisible; }
  bool disable() const { return flags & kFlagDisable; }
  bool tab_stop() const { return flags & kFlagTabStop; }
};

// Calls f(page, member id) for each member of a PageControl's child list;
// every 0 entry starts the next page.
template <typename F>
void ForEachPageMember(const ControlRecord& r, F f) {
  int page = 0;
  for (uint32_t i = 0; i < r.child_count; ++i) {
    uint32_t id = r.ChildAt(i);
    if (id == 0) {
      ++page;
    } else {
      f(page, id);
    }
  }
}

struct WindowDescription {
  uint32_t id = 0;
  uint32_t design_value = 0;
  uint32_t handler_module = 0;
  ByteView texts[2];
  std::vector<ControlRecord> records;       // record order; record 0 is the window's own
  std::vector<EventBinding> binding_store;  // what the records' bindings point into

  // First record with that identifier, or -1.
  int FindRecord(uint32_t record_id) const;
  ControlRecord* RecordAt(int position);
  const ControlRecord* RecordAt(int position) const;
};

// Where reading stopped, for tests and the fuzz target.
struct ReadFailure {
  uint32_t offset = 0;  // byte offset inside the block near the damage
  const char* what = "";
};

class WindowDescriptionTable {
 public:
  // Reads a whole block. On damage returns false, leaves the table empty and
  // tells where; nothing is read outside `block`.
  bool Parse(ByteView block, HandlerTable handlers, ReadFailure* failure = nullptr);
  // As Parse, but damage ends the program with the fatal report.
  void Read(ByteView block, HandlerTable handlers);

  // First window with that identifier, or null.
  WindowDescription* Find(uint32_t window_id);
  const WindowDescription* Find(uint32_t window_id) const;

  std::span<WindowDescription> windows() { return windows_; }
  std::span<const WindowDescription> windows() const { return windows_; }
  // Bytes taken by the descriptions: the block's size when it ends exactly.
  uint32_t bytes_read() const { return bytes_read_; }

 private:
  std::vector<WindowDescription> windows_;
  uint32_t bytes_read_ = 0;
};

// Reports the damaged-block fatal error; does not return.
[[noreturn]] void ReportDamagedWindowData();
