// What reaches a window while it lives: its events, the frame's messages
// (close, Destroying, moves and sizes, activation) and help.
#include <windows.h>

#include "components/common_controls_win32.h"
#include "format/event_numbers.h"
#include "format/property_fields.h"
#include "windows/live_window_win32.h"

namespace {

// Window indexes of the frame's own properties (index minus 8).
constexpr int kHelpFileIndex = OwnIndex<WindowProperties>("HelpFile"),
              kHelpContextIndex = OwnIndex<WindowProperties>("HelpContext");

}  // namespace

bool LiveWindow::RaiseEvent(EventNotice* notice) {
  ++handlers_running_;
  bool ran = DispatchEvent(notice);
  EndHandler();
  return ran;
}

bool LiveWindow::RaiseTypedEvent(TypedEventNotice* notice) {
  ++handlers_running_;
  bool ran = DispatchTypedEvent(notice);
  EndHandler();
  return ran;
}

bool LiveWindow::RaiseOwnEvent(int32_t event, EventNotice* out) {
  EventNotice notice;
  notice.window_id = id();
  notice.control_id = own_record_id();
  notice.event = event;
  bool ran = RaiseEvent(&notice);
  if (out) *out = notice;
  return ran;
}

void LiveWindow::EndHandler() {
  // A close that came while a handler ran gets its turn once none does.
  if (--handlers_running_ == 0 && close_deferred_ && !gone() && hwnd()) {
    close_deferred_ = false;
    PostMessageW(hwnd(), kCloseRequestMessage, 0, 0);
  }
}

void LiveWindow::set_live() {
  state_ = State::kLive;
  POINT origin{0, 0};
  ClientToScreen(hwnd(), &origin);
  RECT rc{};
  GetClientRect(hwnd(), &rc);
  client_origin_ = origin;
  client_size_ = {rc.right, rc.bottom};
}

void LiveWindow::OnActivate(bool active) {
  HWND frame = hwnd();
  if (!active) {
    HWND focus = GetFocus();
    last_focus_ = focus && IsChild(frame, focus) ? focus : nullptr;
  } else if (last_focus_ && IsWindow(last_focus_) && IsChild(frame, last_focus_)) {
    SetFocus(last_focus_);
  }
}

void LiveWindow::OpenHelp() {
  Text file = FrameText(kHelpFileIndex);
  if (!file.get()) return;
  int64_t context = FrameNumber(kHelpContextIndex);
  help_opened_ = WinHelpA(hwnd(), file.get(), context ? HELP_CONTEXT : HELP_FINDER,
                          static_cast<ULONG_PTR>(context)) != FALSE;
}

LRESULT CALLBACK LiveWindow::FrameProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR data) {
  auto* self = reinterpret_cast<LiveWindow*>(data);
  switch (msg) {
    case WM_CLOSE:
      self->RequestClose();
      return 0;
    case kCloseRequestMessage:
      self->close_pending_ = true;
      self->RequestClose();
      return 0;
    case WM_DESTROY:
      // Every control still exists while Destroying runs.
      self->state_ = State::kDestroying;
      self->RestoreOthers();
      self->RaiseOwnEvent(kDestroying);
      if (self->help_opened_) WinHelpA(hwnd, nullptr, HELP_QUIT, 0);
      break;
    case WM_MOVE:
    case WM_SIZE: {
      LRESULT result = CommonControls().DefSubclassProc(hwnd, msg, wp, lp);
      // Only real changes: the first showing repeats both messages unchanged.
      int32_t x = static_cast<int16_t>(LOWORD(lp)), y = static_cast<int16_t>(HIWORD(lp));
      if (self->state_ != State::kLive) return result;
      if (msg == WM_MOVE && (x != self->client_origin_.x || y != self->client_origin_.y)) {
        self->client_origin_ = {x, y};
        self->RaiseOwnEvent(kMoved);
      } else if (msg == WM_SIZE && (x != self->client_size_.cx || y != self->client_size_.cy)) {
        self->client_size_ = {x, y};
        self->RaiseOwnEvent(kResized);
      }
      return result;
    }
    case WM_ACTIVATE:
      if (LOWORD(wp) == WA_INACTIVE) {
        self->OnActivate(false);
      } else {
        LRESULT result = CommonControls().DefSubclassProc(hwnd, msg, wp, lp);
        self->OnActivate(true);
        return result;
      }
      break;
    case WM_NCDESTROY:
      // The frame's object reports FrameGone from inside; self lives until the reaper.
      CommonControls().RemoveWindowSubclass(hwnd, &LiveWindow::FrameProc, 0);
      return CommonControls().DefSubclassProc(hwnd, msg, wp, lp);
    default:
      break;
  }
  return CommonControls().DefSubclassProc(hwnd, msg, wp, lp);
}
