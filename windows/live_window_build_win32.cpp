// Making a window and its controls from the description, their cursors, and
// making one control again from its saved properties.
#include <windows.h>

#include <cstring>
#include <utility>

#include "base/bench_marks.h"
#include "components/common_controls_win32.h"
#include "components/kinds_win32.h"
#include "components/owned_values.h"
#include "format/program_windows.h"
#include "windows/live_window_win32.h"

namespace {

constexpr int kFirstChildId = 100;
constexpr int kChildIdStep = 10;

uint64_t g_next_serial = 1;

// One image of a cursor file: its directory entry, checked against the file.
struct CursorImage {
  uint16_t hot_x, hot_y;
  int width;
  int bits;
  const uint8_t* data;
  uint32_t size;
};

uint16_t LoadU16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

// The image that suits the system's cursor size best, then the deepest colour.
bool PickCursorImage(const uint8_t* file, uint32_t size, CursorImage* best) {
  constexpr uint32_t kDirectory = 6, kEntry = 16, kSmallestImage = 40;
  if (size < kDirectory || LoadU16(file) != 0 || LoadU16(file + 2) != 2) return false;
  uint32_t count = LoadU16(file + 4);
  if (count == 0 || kDirectory + kEntry * count > size) return false;
  int wanted = GetSystemMetrics(SM_CXCURSOR);
  bool found = false;
  for (uint32_t i = 0; i < count; ++i) {
    const uint8_t* e = file + kDirectory + kEntry * i;
    uint32_t bytes = LoadU32(e + 8), offset = LoadU32(e + 12);
    if (bytes < kSmallestImage || offset > size || bytes > size - offset) continue;
    const uint8_t* data = file + offset;
    bool png = std::memcmp(data, "\x89PNG", 4) == 0;
    CursorImage image{LoadU16(e + 4), LoadU16(e + 6), e[0] ? e[0] : 256, png ? 32 : LoadU16(data + 14),
                      data,           bytes};
    auto score = [wanted](const CursorImage& c) { return std::make_pair(c.width == wanted, c.bits); };
    if (!found || score(image) > score(*best)) *best = image;
    found = true;
  }
  return found;
}

// A cursor from the bytes of a cursor file, hot spot as stored; no temp file.
CursorHandle CursorFromFile(const uint8_t* file, uint32_t size) {
  CursorImage image{};
  if (!PickCursorImage(file, size, &image)) return CursorHandle();
  // The resource form of a cursor image: the hot spot, then the image.
  std::vector<uint8_t> resource(4 + image.size);
  std::memcpy(resource.data(), &image.hot_x, 2);
  std::memcpy(resource.data() + 2, &image.hot_y, 2);
  std::memcpy(resource.data() + 4, image.data, image.size);
  return CursorHandle(CreateIconFromResourceEx(resource.data(), static_cast<DWORD>(resource.size()), FALSE,
                                               0x00030000, 0, 0, LR_DEFAULTCOLOR));
}

constexpr int32_t kCustomCursorKind = -1;

int32_t PointerKind(const Bytes& pointer) {
  return pointer.size() >= 4 ? static_cast<int32_t>(LoadU32(pointer.data())) : 0;
}

}  // namespace

LiveWindow::LiveWindow(WindowDescription* description)
    : description_(description), serial_(g_next_serial++) {}

LiveWindow* LiveWindow::Load(uint32_t window_id, HWND owner) {
  WindowDescription* description = ProgramWindows().Find(window_id);
  if (!description || description->records.empty() || FindLiveWindow(window_id)) return nullptr;
  LiveWindow* window = Registry().emplace_back(new LiveWindow(description)).get();
  if (!window->Build(owner) || window->gone()) {
    window->Destroy();  // the reaper takes it at once
    return nullptr;
  }
  window->state_ = State::kCreating;
  return window;
}

bool LiveWindow::Build(HWND owner) {
  controls_.resize(description_->records.size());
  for (size_t i = 0; i < controls_.size(); ++i) {
    LiveControl& c = controls_[i];
    const ControlRecord& r = description_->records[i];
    c.record = &r;
    c.kind = FindComponentKind(r.kind);
    c.left = r.left;
    c.top = r.top;
    c.width = r.width;
    c.height = r.height;
    c.tag = CopyText(r.tag);
    c.visible = r.visible();
    c.disable = r.disable();
  }
  // 1. The frame, not yet shown.
  LiveControl& frame = controls_[0];
  if (!frame.kind || frame.kind->id != kKindWindow || !CreateControl(&frame, owner)) return false;
  // Close requests, Destroying, moves and activation pass through the window first.
  CommonControls().SetWindowSubclass(frame.hwnd(), &LiveWindow::FrameProc, 0,
                                     reinterpret_cast<DWORD_PTR>(this));
  VELMORA_BENCH_MARK("frame");

  // 2. The controls, a parent control before the controls it holds, each
  // parent's children in record order: a new child window goes below its
  // siblings, so they stack in record order, the first on top, and none has
  // to be moved into its parent or restacked afterwards. Child identifiers
  // count 100, 110, ... from the last record up, whatever the creation order.
  const size_t count = controls_.size();
  for (size_t i = 1; i < count; ++i)
    controls_[i].child_id = kFirstChildId + kChildIdStep * static_cast<int>(count - 1 - i);
  for (size_t i : CreationOrder()) {
    LiveControl* inside = ParentControl(controls_[i]);
    if (!CreateControl(&controls_[i], inside ? inside->hwnd() : frame.hwnd())) return false;
  }
  VELMORA_BENCH_MARK("controls");

  // 3. Members of later pages hidden.
  for (size_t i = 1; i < count; ++i) {
    if (controls_[i].record->kind != kKindPageControl) continue;
    ForEachPageMember(*controls_[i].record, [this](int page, uint32_t id) {
      LiveControl* member = FindLive(id);
      if (member && page > 0) member->page_hidden = true;
    });
  }

  // 4. Custom cursors of every record.
  for (LiveControl& c : controls_) SetPointer(&c, BytesFromView(c.record->mouse_pointer));
  VELMORA_BENCH_MARK("cursors");

  // 5. Creation is complete: each control, last record first, then the window.
  for (size_t i = controls_.size() - 1; i >= 1 && !gone(); --i) {
    if (HWND hwnd = controls_[i].hwnd()) SendMessageW(hwnd, kLoadCompleteMessage, 0, 0);
  }
  if (gone()) return false;
  SendMessageW(frame.hwnd(), kLoadCompleteMessage, 0, 0);
  if (gone()) return false;
  VELMORA_BENCH_MARK("load complete");

  // 6. Visibility from the stored flags and the page marks.
  for (size_t i = 1; i < controls_.size(); ++i) {
    LiveControl& c = controls_[i];
    HWND hwnd = c.hwnd();
    if (!hwnd) continue;
    // Only changes: a window that is already as it should be is left alone.
    bool show = c.visible && !c.page_hidden, shown = (GetWindowLongPtrW(hwnd, GWL_STYLE) & WS_VISIBLE) != 0;
    if (show != shown) ShowWindow(hwnd, show ? SW_SHOWNA : SW_HIDE);
  }
  VELMORA_BENCH_MARK("visibility");
  return true;
}

LiveControl* LiveWindow::ParentControl(const LiveControl& c) {
  if (c.record->parent == 0) return nullptr;
  LiveControl* parent = FindLive(c.record->parent);
  if (!parent || parent == &controls_[0] || !parent->hwnd()) return nullptr;
  return parent;
}

CreateArgs LiveWindow::ArgsFor(const LiveControl& c, HWND parent, RECT place, DWORD style) {
  CreateArgs args;
  args.properties = c.properties();
  args.style = style;
  args.parent = parent;
  args.child_id = c.child_id;
  args.x = place.left;
  args.y = place.top;
  args.width = place.right - place.left;
  args.height = place.bottom - place.top;
  args.window_id = id();
  args.control_id = c.record->id;
  args.host = this;
  return args;
}

bool LiveWindow::CreateControl(LiveControl* c, HWND parent) {
  if (!c->kind) return false;
  const RECT place{c->left, c->top, c->left + c->width, c->top + c->height};
  const DWORD style = (c->record->tab_stop() ? WS_TABSTOP : 0) | (c->disable ? WS_DISABLED : 0);
  c->object.reset(c->kind->create(ArgsFor(*c, parent, place, style)));
  return c->object != nullptr;
}

std::vector<size_t> LiveWindow::CreationOrder() const {
  // A record's depth is the number of parent controls above it; a chain that
  // does not end (a loop) stops at the record count.
  const size_t count = controls_.size();
  std::vector<size_t> depth(count, 0);
  for (size_t i = 1; i < count; ++i) {
    for (uint32_t up = controls_[i].record->parent; up != 0 && depth[i] < count; ++depth[i]) {
      int at = description_->FindRecord(up);
      if (at <= 0) break;
      up = controls_[static_cast<size_t>(at)].record->parent;
    }
  }
  std::vector<size_t> order;
  for (size_t level = 0; order.size() < count - 1; ++level) {
    for (size_t i = 1; i < count; ++i) {
      if (depth[i] == level) order.push_back(i);
    }
  }
  return order;
}

HCURSOR LiveWindow::CursorFor(uint32_t control_id) {
  int at = description_->FindRecord(control_id);
  if (at < 0 || static_cast<size_t>(at) >= controls_.size()) return nullptr;
  const LiveControl& c = controls_[static_cast<size_t>(at)];
  if (c.custom_cursor) return c.custom_cursor;
  int32_t kind = PointerKind(c.pointer);
  return kind > 0 ? LoadCursorW(nullptr, MAKEINTRESOURCEW(kind)) : nullptr;
}

void LiveWindow::SetPointer(LiveControl* c, Bytes stored) {
  c->pointer = std::move(stored);
  c->custom_cursor = nullptr;
  if (PointerKind(c->pointer) == kCustomCursorKind) {
    ByteView pointer = ViewOf(c->pointer);
    c->custom_cursor = SharedCursor(ByteView{pointer.data + 4, pointer.size - 4});
  }
}

HCURSOR LiveWindow::SharedCursor(ByteView file) {
  for (const auto& [bytes, cursor] : cursors_) {
    ByteView known = ViewOf(bytes);
    if (known.size == file.size && std::memcmp(known.data, file.data, file.size) == 0) return cursor.get();
  }
  CursorHandle made = CursorFromFile(file.data, file.size);
  if (!made) return nullptr;
  HCURSOR cursor = made.get();
  cursors_.emplace_back(BytesFromView(file), std::move(made));
  return cursor;
}

bool LiveWindow::Recreate(LiveControl* c) {
  HWND old = c->hwnd();
  if (!old || c == &controls_[0]) return false;  // a frame is never made again: its children would go
  RECT rc;
  GetWindowRect(old, &rc);
  HWND parent = GetParent(old);
  MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&rc), 2);
  HWND above = GetWindow(old, GW_HWNDPREV);
  bool shown = (GetWindowLongPtrW(old, GWL_STYLE) & WS_VISIBLE) != 0;
  bool focused = GetFocus() == old;

  const DWORD style = static_cast<DWORD>(GetWindowLongPtrW(old, GWL_STYLE) & WS_TABSTOP) |
                      (IsWindowEnabled(old) ? 0 : WS_DISABLED);
  std::unique_ptr<Control> made(c->kind->create(ArgsFor(*c, parent, rc, style)));
  if (!made) return false;

  SetWindowPos(made->hwnd(), above ? above : HWND_TOP, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
  // The old object may be inside one of its own messages: it goes with the window.
  retired_.push_back(std::move(c->object));
  c->object = std::move(made);
  DestroyWindow(old);
  if (shown) ShowWindow(c->hwnd(), SW_SHOWNA);
  if (focused) SetFocus(c->hwnd());
  return true;
}
