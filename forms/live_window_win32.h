// A loaded window: its frame, its controls made from the description, and the
// window-wide work they ask for (page children, focus). Loading events,
// modal loops and the message loop build on Load and Destroy.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "components/control_win32.h"
#include "forms/window_descriptions.h"

class LiveWindow {
 public:
  // Creates the frame and every control from the window's description: frame
  // at its stored outer size (centred for Position 1), controls last record
  // first with child identifiers 100, 110, ..., moved into their parent
  // controls, members of pages other than the first hidden, custom cursors,
  // stacking in record order, the load-complete message to each control and
  // then the window, and visibility from the stored flags and page marks.
  // The frame is not shown. Null when the window is not described or a
  // control cannot be made.
  static LiveWindow* Load(uint32_t window_id);
  // Destroys the frame (and so every control) and forgets the live objects.
  void Destroy();

  HWND hwnd() const;
  uint32_t id() const { return description_->id; }
  WindowDescription* description() const { return description_; }
  // The control object for a record identifier (the window's own record gives
  // the frame's object); null when the window has no such control.
  Control* FindControl(uint32_t control_id) const;

  // Carried out for a PageControl whose current page changed: hides the other
  // pages' children, shows the current page's stored-visible ones and focuses
  // the first that can take the focus.
  void RefreshPageChildren(uint32_t page_control_id);

 private:
  explicit LiveWindow(WindowDescription* description) : description_(description) {}
  WindowDescription* description_;
  std::vector<std::unique_ptr<Control>> controls_;  // record order; [0] is the frame
};

// The loaded window with that identifier, or null.
LiveWindow* FindLiveWindow(uint32_t window_id);
