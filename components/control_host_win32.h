// What a control asks of the window it belongs to. The window that loads the
// controls implements it; a control never sees more of its window than this.
#pragma once

#include <windows.h>

#include <cstdint>

#include "format/dispatcher.h"

class ControlHost {
 public:
  // The cursor to show over the control: its custom or system cursor, or
  // null for the kind's own.
  virtual HCURSOR CursorFor(uint32_t control_id) = 0;
  // A PageControl's current page changed: show that page's children only.
  virtual void RefreshPageChildren(uint32_t page_control_id) = 0;
  // The frame's window is gone; the host forgets the window and deletes it
  // later, never inside this call.
  virtual void FrameGone() = 0;
  // Raises a control's event; true when a handler ran.
  virtual bool RaiseEvent(EventNotice* notice) = 0;
  virtual bool RaiseTypedEvent(TypedEventNotice* notice) = 0;

 protected:
  ~ControlHost() = default;
};
