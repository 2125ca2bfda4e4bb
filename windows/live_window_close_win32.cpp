// Closing a window: the close request and QueryClose, the frame's end, and
// the windows a modal one disabled.
#include <algorithm>
#include <utility>

#include "format/event_numbers.h"
#include "windows/live_window_win32.h"
#include "windows/windows_win32.h"

namespace {

// Gone while one of their handlers ran; deleted once those have returned.
std::vector<LiveWindow*>& GoneWindows() {
  static std::vector<LiveWindow*> windows;
  return windows;
}

}  // namespace

void LiveWindow::Destroy() {
  if (HWND frame = hwnd()) {
    RestoreOthers();
    DestroyWindow(frame);  // the frame's last message ends in FrameGone
  } else {
    FrameGone();
  }
}

void LiveWindow::FrameGone() {
  auto& loaded = Loaded();
  loaded.erase(std::remove(loaded.begin(), loaded.end(), this), loaded.end());
  gone_ = true;
  RestoreOthers();
  // The last window gone ends the loop that runs.
  if (loaded.empty() && MessageLoopRunning()) PostQuitMessage(0);
  if (loading_) return;  // Load finds out and deletes
  if (handlers_running_ > 0) {
    GoneWindows().push_back(this);
    return;
  }
  delete this;  // the cursors and the control objects go with it
}

void LiveWindow::DeleteGoneWindows() {
  auto& gone = GoneWindows();
  for (size_t i = 0; i < gone.size();) {
    if (gone[i]->handlers_running_ > 0) {
      ++i;
      continue;
    }
    LiveWindow* w = gone[i];
    gone.erase(gone.begin() + static_cast<std::ptrdiff_t>(i));
    delete w;
  }
}

void LiveWindow::PostCloseRequest() {
  close_pending_ = true;
  if (hwnd()) PostMessageW(hwnd(), kCloseRequestMessage, 0, 0);
}

void LiveWindow::RequestClose() {
  if (gone_ || state_ == State::kDestroying) return;
  if (handlers_running_ > 0) {
    close_pending_ = close_deferred_ = true;
    return;
  }
  CloseNow();
}

void LiveWindow::CloseNow() {
  EventNotice answer;
  uint64_t self = serial_;
  RaiseOwnEvent(kQueryClose, &answer);
  if (FindLiveWindowBySerial(self) != this) return;  // the handler closed it
  if (AnswerStops(answer.has_result, answer.result)) {
    close_pending_ = false;  // refused: the window stays open
    return;
  }
  // Enabled before the frame goes, so activation moves to them and not to
  // another program.
  RestoreOthers();
  DestroyWindow(hwnd());
}

void LiveWindow::DisableOthers() {
  for (LiveWindow* w : LiveWindows()) {
    HWND frame = w->hwnd();
    if (w == this || !frame) continue;
    disabled_.emplace_back(frame, IsWindowEnabled(frame) != FALSE);
    EnableWindow(frame, FALSE);
  }
}

void LiveWindow::RestoreOthers() {
  std::vector<std::pair<HWND, bool>> windows = std::move(disabled_);
  disabled_.clear();
  for (const auto& [frame, enabled] : windows) {
    if (FindLiveWindowByFrame(frame)) EnableWindow(frame, enabled);
  }
}
