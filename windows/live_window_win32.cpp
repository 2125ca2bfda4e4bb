#include "windows/live_window_win32.h"

#include <commctrl.h>

#include <utility>

#include "components/kinds_win32.h"
#include "components/owned_values.h"

ByteView LiveControl::properties() const {
  return saved_properties.get() ? ViewOf(saved_properties) : record->properties;
}

HWND LiveControl::hwnd() const { return object ? object->hwnd() : nullptr; }

std::vector<std::unique_ptr<LiveWindow>>& LiveWindow::Registry() {
  static std::vector<std::unique_ptr<LiveWindow>> windows;
  return windows;
}

LiveWindow* FindLiveWindow(uint32_t window_id) {
  for (const auto& w : LiveWindow::Registry()) {
    if (!w->gone() && w->id() == window_id) return w.get();
  }
  return nullptr;
}

LiveWindow* FindLiveWindowByFrame(HWND frame) {
  for (const auto& w : LiveWindow::Registry()) {
    if (frame && !w->gone() && w->hwnd() == frame) return w.get();
  }
  return nullptr;
}

LiveWindow* FindLiveWindowBySerial(uint64_t serial) {
  for (const auto& w : LiveWindow::Registry()) {
    if (!w->gone() && w->serial() == serial) return w.get();
  }
  return nullptr;
}

std::vector<LiveWindow*> LiveWindows() {
  std::vector<LiveWindow*> live;
  for (const auto& w : LiveWindow::Registry()) {
    if (!w->gone()) live.push_back(w.get());
  }
  return live;
}

HWND LiveWindow::hwnd() const { return controls_.empty() ? nullptr : controls_[0].hwnd(); }

LiveControl* LiveWindow::FindLive(uint32_t control_id) {
  int at = description_->FindRecord(control_id);
  return at >= 0 && static_cast<size_t>(at) < controls_.size() ? &controls_[static_cast<size_t>(at)]
                                                               : nullptr;
}

Control* LiveWindow::FindControl(uint32_t control_id) const {
  int at = description_->FindRecord(control_id);
  return at >= 0 && static_cast<size_t>(at) < controls_.size()
             ? controls_[static_cast<size_t>(at)].object.get()
             : nullptr;
}

void LiveWindow::RefreshPageChildren(uint32_t page_control_id) {
  LiveControl* pages = FindLive(page_control_id);
  if (!pages || !pages->hwnd()) return;
  int current = static_cast<int>(SendMessageW(pages->hwnd(), TCM_GETCURSEL, 0, 0));
  if (current < 0) current = 0;
  LiveControl* focus = nullptr;
  ForEachPageMember(*pages->record, [&](int page, uint32_t id) {
    LiveControl* member = FindLive(id);
    HWND hwnd = member ? member->hwnd() : nullptr;
    if (!hwnd) return;
    // While the window loads, its visibility step decides what shows; only
    // the focus, which raises events, is given here.
    const bool shown = (GetWindowLongPtrW(hwnd, GWL_STYLE) & WS_VISIBLE) != 0;
    if (page != current) {
      if (shown && state_ != State::kLoading) ShowWindow(hwnd, SW_HIDE);
      return;
    }
    if (!member->visible) return;
    if (!shown && state_ != State::kLoading) ShowWindow(hwnd, SW_SHOWNA);
    // The lowest ordering number wins; among equals the first in the list.
    if (IsWindowEnabled(hwnd) && member->object->TakesFocus() &&
        (!focus || member->record->tab_order < focus->record->tab_order)) {
      focus = member;
    }
  });
  if (focus) SetFocus(focus->hwnd());
}

int64_t LiveWindow::FrameNumber(int index) const {
  PropertyOut out;
  Control* frame = controls_.empty() ? nullptr : controls_[0].object.get();
  return frame && frame->GetProperty(index, -1, &out) == PropertyRead::kAnswered ? out.number : 0;
}

Text LiveWindow::FrameText(int index) const {
  PropertyOut out;
  Control* frame = controls_.empty() ? nullptr : controls_[0].object.get();
  if (!frame || frame->GetProperty(index, -1, &out) != PropertyRead::kAnswered) return Text();
  return std::move(out.text);
}

LiveControl* LiveWindow::FindLiveByHwnd(HWND hwnd) {
  if (!hwnd) return nullptr;
  for (LiveControl& c : controls_) {
    if (c.hwnd() == hwnd) return &c;
  }
  return nullptr;
}

LiveControl* LiveWindow::RecordedAncestor(HWND hwnd) {
  for (HWND h = hwnd; h; h = GetParent(h)) {
    if (LiveControl* c = FindLiveByHwnd(h)) return c;
    if (h == this->hwnd()) break;
  }
  return nullptr;
}
