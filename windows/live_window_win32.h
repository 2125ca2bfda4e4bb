// A loaded window: its frame, its controls made from the description, the
// window-wide work they ask for (page children, focus, cursors, events) and
// its closing: the close request, Destroying, the windows a modal one
// disabled. The registry of loaded windows owns each one; a window whose
// frame is gone is deleted by the message loop's reaper, never inside its own
// messages. Loading events, modal loops and the message loop build on Load
// (windows_win32.h); this file runs no message loop. Made in
// live_window_build_win32.cpp, closed in live_window_close_win32.cpp, its
// events and frame messages in live_window_messages_win32.cpp.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "base/value.h"
#include "components/control_host_win32.h"
#include "components/control_win32.h"
#include "components/handles_win32.h"
#include "components/private_messages_win32.h"
#include "format/window_descriptions.h"

struct ComponentKind;

// What the window keeps for one record while it is loaded: the common
// properties (indexes 0 to 7; the kind keeps its own) and the live object.
struct LiveControl {
  const ControlRecord* record = nullptr;
  const ComponentKind* kind = nullptr;
  std::unique_ptr<Control> object;  // null once its window is gone
  Bytes saved_properties;           // the kind's stream after a re-creation; null: the record's
  int child_id = 0;                 // 100, 110, ... from the last record up; 0 for the frame
  int32_t left = 0, top = 0, width = 0, height = 0;
  Text tag;  // null: empty
  bool visible = false;
  bool disable = false;
  bool page_hidden = false;         // a member of a page other than the first, at load
  Bytes pointer;                    // MousePointer as stored (system id or -1 and a file); null: default
  HCURSOR custom_cursor = nullptr;  // from `pointer` when it holds a cursor file; the window owns it

  ByteView properties() const;
  // The control's window, or null when it does not exist.
  HWND hwnd() const;
};

class LiveWindow final : public ControlHost {
 public:
  // kLoading: inside Load; kCreating: its creation events; kGone: the frame
  // is gone and the window waits for the reaper.
  enum class State { kLoading, kCreating, kLive, kDestroying, kGone };

  // Creates the frame and every control from the window's description: frame
  // at its stored outer size (centred for Position 1) and owned by `owner`;
  // then the controls, a parent control before the controls it holds and
  // each parent's children in record order, with child identifiers 100, 110,
  // ... counted from the last record up; members of pages other than the
  // first hidden, custom cursors, the load-complete message to each control
  // (last record first) and then the window, and visibility from the stored
  // flags and page marks. The frame is not shown. Null when the window is
  // not described, is already loaded, or a control cannot be made (no window
  // is left behind).
  static LiveWindow* Load(uint32_t window_id, HWND owner = nullptr);
  // Destroys the frame (and so every control) at once, without asking, and
  // reaps. Closing the frame any other way ends the same way, reaped on the
  // loop's next turn.
  void Destroy();

  HWND hwnd() const;
  uint32_t id() const { return description_->id; }
  uint32_t own_record_id() const { return description_->records[0].id; }
  uint64_t serial() const { return serial_; }
  WindowDescription* description() const { return description_; }
  State state() const { return state_; }
  bool gone() const { return state_ == State::kGone; }
  // Creation is over: from now on moves and size changes raise 3 and 4.
  void set_live();
  // A close was asked for and has not been carried out yet.
  bool close_pending() const { return close_pending_; }
  // The control object for a record identifier (the window's own record gives
  // the frame's object); null when the window has no such control.
  Control* FindControl(uint32_t control_id) const;
  // The window's keeping of a record; null when the window has no such record.
  LiveControl* FindLive(uint32_t control_id);
  // The record whose window is exactly `hwnd` (the frame or a control).
  LiveControl* FindLiveByHwnd(HWND hwnd);
  // The recorded control holding `hwnd` or an inner window of it, nearest first.
  LiveControl* RecordedAncestor(HWND hwnd);
  // A bool or integer property of the window itself (index 8 and up).
  int64_t FrameNumber(int index) const;
  Text FrameText(int index) const;

  // Raises one of the window's own events; true when a handler ran.
  bool RaiseOwnEvent(int32_t event, EventNotice* out = nullptr);

  // The close request (close box, Esc, the program): QueryClose, then the
  // disabled windows enabled again and the frame destroyed. Asked for while a
  // handler of this window runs, it is carried out on a later turn instead.
  void RequestClose();
  // Marks the window as closing and posts the close request.
  void PostCloseRequest();
  // Disables the program's other windows for this modal one, remembering
  // their states; RestoreOthers gives them back.
  void DisableOthers();
  void RestoreOthers();
  // Keeps focus on a control across activation; the frame's own otherwise.
  void OnActivate(bool active);
  void OpenHelp();

  // ControlHost.
  HCURSOR CursorFor(uint32_t control_id) override;
  // Hides the other pages' children, shows the current page's stored-visible
  // ones and focuses the first that can take the focus.
  void RefreshPageChildren(uint32_t page_control_id) override;
  void FrameGone() override;
  bool RaiseEvent(EventNotice* notice) override;
  bool RaiseTypedEvent(TypedEventNotice* notice) override;

  // Replaces a record's MousePointer (stored form; null: default).
  void SetPointer(LiveControl* c, Bytes stored);
  // Makes a control again from `saved_properties`, in the same place, parent,
  // stacking position and visibility; false when the kind refuses the stream.
  bool Recreate(LiveControl* c);

  // The reaper, the one place a window is deleted: every window whose frame
  // is gone and none of whose handlers is on the stack. The loop calls it
  // after each message; Destroy after destroying the frame.
  static void DeleteGoneWindows();

 private:
  friend struct std::default_delete<LiveWindow>;
  friend LiveWindow* FindLiveWindow(uint32_t window_id);
  friend LiveWindow* FindLiveWindowByFrame(HWND frame);
  friend LiveWindow* FindLiveWindowBySerial(uint64_t serial);
  friend std::vector<LiveWindow*> LiveWindows();
  // Every loaded window in load order, owned; one whose frame is gone stays
  // until the reaper deletes it.
  static std::vector<std::unique_ptr<LiveWindow>>& Registry();
  explicit LiveWindow(WindowDescription* description);
  ~LiveWindow() = default;
  bool Build(HWND owner);
  // The construction arguments of a control at `place` (parent coordinates).
  CreateArgs ArgsFor(const LiveControl& c, HWND parent, RECT place, DWORD style);
  bool CreateControl(LiveControl* c, HWND parent);
  // The control's parent control when that is not the frame and exists; null otherwise.
  LiveControl* ParentControl(const LiveControl& c);
  std::vector<size_t> CreationOrder() const;  // record indexes, parents first
  // The cursor made from a cursor file's bytes, made on first use; null when they do not read.
  HCURSOR SharedCursor(ByteView file);
  void CloseNow();
  void EndHandler();
  static LRESULT CALLBACK FrameProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR self);

  WindowDescription* description_;
  // Each cursor file the controls point at, made once and shared; kept until
  // the controls are gone (declared first, destroyed last).
  std::vector<std::pair<Bytes, CursorHandle>> cursors_;
  std::vector<LiveControl> controls_;              // record order; [0] is the frame
  std::vector<std::unique_ptr<Control>> retired_;  // replaced by re-creation; windows gone
  std::vector<std::pair<HWND, bool>> disabled_;    // windows disabled for this modal one, and their states
  uint64_t serial_;                                // tells this load apart from later loads
  State state_ = State::kLoading;
  int handlers_running_ = 0;     // handlers of this window's events on the stack
  bool close_pending_ = false;   // a close request waits for its turn
  bool close_deferred_ = false;  // the request came while a handler ran
  bool help_opened_ = false;     // F1 opened the help file
  HWND last_focus_ = nullptr;    // the focus when the frame was last deactivated
  POINT client_origin_{};        // where the client area was when 3 was last raised
  SIZE client_size_{};           // its size when 4 was last raised
};

// The loaded window with that identifier (or frame), or null; a window whose
// frame is gone is no longer found.
LiveWindow* FindLiveWindow(uint32_t window_id);
LiveWindow* FindLiveWindowByFrame(HWND frame);
// The loaded window with that serial, or null once it is gone.
LiveWindow* FindLiveWindowBySerial(uint64_t serial);
// Every loaded window whose frame is not gone, in load order.
std::vector<LiveWindow*> LiveWindows();
