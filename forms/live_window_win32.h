// A loaded window: its frame, its controls made from the description, and the
// window-wide work they ask for (page children, focus, cursors). Loading
// events, modal loops and the message loop build on Load and Destroy; this
// file raises no event of its own and runs no message loop.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "base/value.h"
#include "components/control_win32.h"
#include "components/handles_win32.h"
#include "forms/window_descriptions.h"

struct ComponentKind;

// What the window keeps for one record while it is loaded: the common
// properties (indexes 0 to 7; the kind keeps its own) and the live object.
struct LiveControl {
  const ControlRecord* record = nullptr;
  const ComponentKind* kind = nullptr;
  std::unique_ptr<Control> object;  // null once its window is gone
  Bytes saved_properties;           // the kind's stream after a re-creation; null: the record's
  int child_id = 0;                 // 100, 110, ... in creation order; 0 for the frame
  int32_t left = 0, top = 0, width = 0, height = 0;
  Text tag;  // null: empty
  bool visible = false;
  bool disable = false;
  bool page_hidden = false;    // a member of a page other than the first, at load
  Bytes pointer;               // MousePointer as stored (system id or -1 and a file); null: default
  CursorHandle custom_cursor;  // made from `pointer` when it holds a cursor file

  ByteView properties() const;
  // The control's window, or null when it does not exist.
  HWND hwnd() const;
};

class LiveWindow {
 public:
  // Creates the frame and every control from the window's description: frame
  // at its stored outer size (centred for Position 1), controls last record
  // first with child identifiers 100, 110, ..., moved into their parent
  // controls, members of pages other than the first hidden, custom cursors,
  // stacking in record order, the load-complete message to each control and
  // then the window, and visibility from the stored flags and page marks.
  // The frame is not shown. Null when the window is not described, is
  // already loaded, or a control cannot be made (nothing is left behind).
  static LiveWindow* Load(uint32_t window_id);
  // Destroys the frame (and so every control) and forgets the live objects;
  // the LiveWindow itself is deleted. Closing the frame any other way ends
  // the same way. Not from inside a control's own message: post a request.
  void Destroy();

  HWND hwnd() const;
  uint32_t id() const { return description_->id; }
  WindowDescription* description() const { return description_; }
  // The control object for a record identifier (the window's own record gives
  // the frame's object); null when the window has no such control.
  Control* FindControl(uint32_t control_id) const;
  // The window's keeping of a record; null when the window has no such record.
  LiveControl* FindLive(uint32_t control_id);

  // Carried out for a PageControl whose current page changed: hides the other
  // pages' children, shows the current page's stored-visible ones and focuses
  // the first that can take the focus.
  void RefreshPageChildren(uint32_t page_control_id);

  // The cursor to show over a control: its custom or system cursor, or null
  // for the kind's own.
  HCURSOR CursorFor(uint32_t control_id) const;
  // Replaces a record's MousePointer (stored form; null: default).
  void SetPointer(LiveControl* c, Bytes stored);
  // Makes a control again from `saved_properties`, in the same place, parent,
  // stacking position and visibility; false when the kind refuses the stream.
  bool Recreate(LiveControl* c);

  // Called by the frame's object when the frame's window is gone.
  void OnFrameGone();

 private:
  explicit LiveWindow(WindowDescription* description) : description_(description) {}
  bool Build();
  bool CreateControl(LiveControl* c, HWND parent);
  HWND ParentWindowOf(const LiveControl& c) const;
  void StackInRecordOrder();

  WindowDescription* description_;
  std::vector<LiveControl> controls_;              // record order; [0] is the frame
  std::vector<std::unique_ptr<Control>> retired_;  // replaced by re-creation; windows gone
  bool loading_ = true;                            // inside Load: the frame's end does not delete
  bool gone_ = false;                              // the frame went while loading
};

// The loaded window with that identifier, or null.
LiveWindow* FindLiveWindow(uint32_t window_id);
