// The base of every control object and the one place that makes a control's
// window. A control object is attached to its window when the window is made,
// handles its own messages, and gets its parent's notifications handed back.
// Does not know windows' descriptions or event bindings: it raises events
// and asks for anything window-wide through its ControlHost.
#pragma once

#include <windows.h>

#include <cstdint>
#include <initializer_list>

#include "components/control_host_win32.h"
#include "components/private_messages_win32.h"
#include "components/property_values.h"
#include "format/byte_stream.h"
#include "format/dispatcher.h"

// What a kind is given to make one control from its record.
struct CreateArgs {
  ByteView properties;  // the kind's stored property stream
  DWORD style = 0;      // WS_TABSTOP and WS_DISABLED from the record; never WS_VISIBLE
  HWND parent = nullptr;
  int child_id = 0;  // 100, 110, 120, ... in creation order
  int x = 0, y = 0, width = 0, height = 0;
  uint32_t window_id = 0;
  uint32_t control_id = 0;
  bool design = false;
  ControlHost* host =
      nullptr;  // the window the control belongs to; null: events go straight to the dispatcher
};

class Control {
 public:
  explicit Control(const CreateArgs& args)
      : host_(args.host), window_id_(args.window_id), control_id_(args.control_id) {}
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;
  // Destroys the window if it still exists.
  virtual ~Control();

  HWND hwnd() const { return hwnd_; }
  uint32_t window_id() const { return window_id_; }
  uint32_t control_id() const { return control_id_; }
  ControlHost* host() const { return host_; }

  // The kind's own properties; index is the property index minus 8. A read
  // without an answer gives the reader zero.
  virtual PropertyRead GetProperty(int index, int sub, PropertyOut* out) = 0;
  virtual PropertyWrite SetProperty(int index, int sub, const PropertyIn& in) = 0;
  // A new stored property stream holding the current values (for re-creation).
  virtual Bytes SaveProperties() = 0;

  // Whether focus may land here when a page's children are refreshed.
  virtual bool TakesFocus() const { return false; }
  // A key the control keeps for itself while it has the focus: the window
  // then neither moves the focus nor closes on it.
  virtual bool ClaimsKey(WPARAM) const { return false; }
  // A key message for this window or one inside it, offered before it is
  // dispatched; true when the control took it (it is then not dispatched).
  virtual bool PreTranslateKey(MSG*) { return false; }
  // Parent notifications (WM_COMMAND, WM_NOTIFY, WM_CTLCOLOR*, WM_DRAWITEM)
  // handed back to the control that caused them; true when handled.
  virtual bool OnParentNotify(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result);

  // Raises an event of this control through the dispatcher; true when a
  // handler ran (out, when given, receives the notice with its result).
  bool RaiseEvent(int32_t event, std::initializer_list<int32_t> args = {}, EventNotice* out = nullptr);
  // The same with typed arguments, as library kinds raise theirs.
  bool RaiseTypedEvent(TypedEventNotice* notice);

  // Routes messages of a control window to its object.
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  static Control* FromHwnd(HWND hwnd);

 protected:
  // The one place a control's window is made. For a class of our own the
  // object is attached at WM_NCCREATE; a system class (BUTTON, EDIT) is
  // subclassed right after creation. Either way messages reach HandleMessage.
  bool CreateHwnd(DWORD ex_style, const wchar_t* window_class, const wchar_t* text, DWORD style,
                  const CreateArgs& args, bool system_class);
  virtual LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);
  LRESULT DefaultProc(UINT msg, WPARAM wp, LPARAM lp);
  // Called once the window is gone (after WM_NCDESTROY); the object may be
  // deleted inside, so nothing may touch it afterwards.
  virtual void OnWindowGone() {}

 private:
  // A system class's window subclassed through comctl32, so other subclasses
  // (the skin engine's) stack with ours in either order; the rest of the chain
  // stays the default.
  static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id, DWORD_PTR ref);
  LRESULT Route(UINT msg, WPARAM wp, LPARAM lp);
  void Attach(HWND hwnd);

  HWND hwnd_ = nullptr;
  bool subclassed_ = false;  // SubclassProc is installed on hwnd_
  ControlHost* host_;
  uint32_t window_id_;
  uint32_t control_id_;
};

// Hands a parent notification to the control object that sent it; used by
// every window procedure that can be a parent (the frame, a PageControl).
bool ForwardToChild(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result);

// Offers a key message to the controls from its window up through its
// parents, for the message loop; true when one took it.
bool PreTranslateKeyMessage(MSG* msg);

// The system's arrow, the cursor of every class of ours.
inline HCURSOR ArrowCursor() { return LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)); }

// Registers a window class of our own once; false when registration failed.
bool RegisterControlClass(const wchar_t* name, UINT class_style, HCURSOR cursor, HBRUSH background,
                          bool program_icon = false);
