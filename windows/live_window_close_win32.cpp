// Closing a window: the close request and QueryClose, the frame's end, and
// the windows a modal one disabled.
#include <memory>
#include <utility>
#include <vector>

#include "format/event_numbers.h"
#include "windows/live_window_win32.h"
#include "windows/windows_win32.h"

void LiveWindow::Destroy() {
  if (HWND frame = hwnd()) {
    RestoreOthers();
    DestroyWindow(frame);  // the frame's last message ends in FrameGone
  } else {
    FrameGone();
  }
  DeleteGoneWindows();
}

void LiveWindow::FrameGone() {
  if (gone()) return;
  state_ = State::kGone;
  RestoreOthers();
  // The last window gone ends the loop that runs.
  if (LiveWindows().empty() && MessageLoopRunning()) PostQuitMessage(0);
}

void LiveWindow::DeleteGoneWindows() {
  // Taken out of the registry first: a control's last messages may look it up.
  std::vector<std::unique_ptr<LiveWindow>> reaped;
  auto& all = Registry();
  for (auto it = all.begin(); it != all.end();) {
    if ((*it)->gone() && (*it)->handlers_running_ == 0) {
      reaped.push_back(std::move(*it));
      it = all.erase(it);
    } else {
      ++it;
    }
  }
  // The cursors and the control objects go with each window here.
}

void LiveWindow::PostCloseRequest() {
  close_pending_ = true;
  if (hwnd()) PostMessageW(hwnd(), kCloseRequestMessage, 0, 0);
}

void LiveWindow::RequestClose() {
  if (state_ == State::kDestroying || gone()) return;
  if (handlers_running_ > 0) {
    close_pending_ = close_deferred_ = true;
    return;
  }
  CloseNow();
}

void LiveWindow::CloseNow() {
  EventNotice answer;
  RaiseOwnEvent(kQueryClose, &answer);
  if (gone()) return;  // the handler closed it
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
