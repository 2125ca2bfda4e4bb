// Input events and the window's own keys, taken from the queue before the
// target sees them. Messages for windows that are not recorded (the
// browser's own, an edit box's inner parts) raise nothing.
#include "windows/window_input_win32.h"

#include <algorithm>
#include <vector>

#include "components/control_win32.h"
#include "format/event_numbers.h"
#include "format/property_fields.h"
#include "windows/live_window_win32.h"

namespace {

// Window indexes of the frame's own properties (index minus 8).
constexpr int kEnterMovesFocusIndex = OwnIndex<WindowProperties>("EnterMovesFocus"),
              kEscClosesIndex = OwnIndex<WindowProperties>("EscCloses"),
              kF1OpensHelpIndex = OwnIndex<WindowProperties>("F1OpensHelp");

bool IsMouseOrKey(UINT msg) {
  return (msg >= WM_KEYFIRST && msg <= WM_KEYLAST) || (msg >= WM_MOUSEFIRST && msg <= WM_MOUSELAST);
}

int32_t ShiftStateNow() {
  return (GetKeyState(VK_CONTROL) < 0 ? kShiftCtrl : 0) | (GetKeyState(VK_SHIFT) < 0 ? kShiftShift : 0) |
         (GetKeyState(VK_MENU) < 0 ? kShiftAlt : 0);
}

// Shown inside its frame: the control and each parent up to the frame.
bool ShownInFrame(HWND hwnd, HWND frame) {
  for (HWND h = hwnd; h && h != frame; h = GetParent(h)) {
    if (!(GetWindowLongPtrW(h, GWL_STYLE) & WS_VISIBLE)) return false;
  }
  return true;
}

// The candidates for the focus in order: visible, enabled tab stops by their
// tab order number, equal numbers from the last record towards the first.
std::vector<HWND> FocusOrder(LiveWindow* w) {
  struct Candidate {
    int32_t order;
    HWND hwnd;
  };
  std::vector<Candidate> candidates;
  const auto& records = w->description()->records;
  for (size_t i = records.size(); i-- > 1;) {
    LiveControl* c = w->FindLive(records[i].id);
    HWND hwnd = c ? c->hwnd() : nullptr;
    if (!hwnd || c->record != &records[i]) continue;
    if (!(GetWindowLongPtrW(hwnd, GWL_STYLE) & WS_TABSTOP) || !IsWindowEnabled(hwnd)) continue;
    if (!ShownInFrame(hwnd, w->hwnd())) continue;
    candidates.push_back({records[i].tab_order, hwnd});
  }
  std::stable_sort(candidates.begin(), candidates.end(),
                   [](const Candidate& a, const Candidate& b) { return a.order < b.order; });
  std::vector<HWND> order;
  for (const Candidate& c : candidates) order.push_back(c.hwnd);
  return order;
}

void MoveFocus(LiveWindow* w, bool backwards) {
  std::vector<HWND> order = FocusOrder(w);
  if (order.empty()) return;
  LiveControl* current = w->RecordedAncestor(GetFocus());
  auto at = current ? std::find(order.begin(), order.end(), current->hwnd()) : order.end();
  size_t next = 0;
  if (at != order.end()) {
    size_t i = static_cast<size_t>(at - order.begin());
    next = backwards ? (i + order.size() - 1) % order.size() : (i + 1) % order.size();
  } else if (backwards) {
    next = order.size() - 1;
  }
  SetFocus(order[next]);
}

// Tab, Enter, Esc and F1 as the window handles them; true when taken.
bool HandleWindowKey(LiveWindow* w, MSG* msg) {
  if (msg->message != WM_KEYDOWN) return PreTranslateKeyMessage(msg);
  LiveControl* focused = w->RecordedAncestor(GetFocus());
  if (focused && focused->object && focused->object->ClaimsKey(msg->wParam)) return false;
  // Before the focused control is offered it: Esc closes from an edit box and
  // from inside the browser too.
  if (msg->wParam == VK_ESCAPE && w->FrameNumber(kEscClosesIndex)) {
    w->RequestClose();
    return true;
  }
  if (PreTranslateKeyMessage(msg)) return true;
  switch (msg->wParam) {
    case VK_TAB:
      MoveFocus(w, GetKeyState(VK_SHIFT) < 0);
      return true;
    case VK_RETURN:
      if (!w->FrameNumber(kEnterMovesFocusIndex)) return false;
      MoveFocus(w, false);
      return true;
    case VK_F1:
      if (!w->FrameNumber(kF1OpensHelpIndex)) return false;
      w->OpenHelp();
      return true;
    default:
      return false;
  }
}

}  // namespace

bool InputEventFor(const MSG& msg, int32_t keys, InputEvent* out) {
  auto mouse = [&](int32_t event) {
    // Client coordinates as the message carries them: low and high word.
    int32_t shift = (msg.wParam & MK_CONTROL ? kShiftCtrl : 0) | (msg.wParam & MK_SHIFT ? kShiftShift : 0) |
                    (keys & kShiftAlt);
    *out = {event,
            {static_cast<int16_t>(LOWORD(msg.lParam)), static_cast<int16_t>(HIWORD(msg.lParam)), shift},
            3};
    return true;
  };
  switch (msg.message) {
    case WM_LBUTTONDOWN:
      return mouse(kLeftButtonDown);
    case WM_LBUTTONUP:
      return mouse(kLeftButtonUp);
    case WM_LBUTTONDBLCLK:
      return mouse(kDoubleClick);
    case WM_RBUTTONDOWN:
      return mouse(kRightButtonDown);
    case WM_RBUTTONUP:
      return mouse(kRightButtonUp);
    case WM_MOUSEMOVE:
      return mouse(kMouseMoved);
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYUP: {
      bool down = msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN;
      *out = {down ? kKeyDown : kKeyUp, {static_cast<int32_t>(msg.wParam), keys}, 2};
      return true;
    }
    case WM_CHAR:
      *out = {kCharacter, {static_cast<int32_t>(msg.wParam)}, 1};
      return true;
    case WM_MOUSEWHEEL: {
      int32_t shift = (GET_KEYSTATE_WPARAM(msg.wParam) & MK_CONTROL ? kShiftCtrl : 0) |
                      (GET_KEYSTATE_WPARAM(msg.wParam) & MK_SHIFT ? kShiftShift : 0) | (keys & kShiftAlt);
      *out = {kWheel, {GET_WHEEL_DELTA_WPARAM(msg.wParam) / WHEEL_DELTA, shift}, 2};
      return true;
    }
    default:
      return false;
  }
}

bool PreTranslateWindowMessage(MSG* msg) {
  if (!IsMouseOrKey(msg->message) || !msg->hwnd) return false;
  LiveWindow* w = FindLiveWindowByFrame(GetAncestor(msg->hwnd, GA_ROOT));
  if (!w) return PreTranslateKeyMessage(msg);
  InputEvent input;
  LiveControl* target = w->FindLiveByHwnd(msg->hwnd);
  if (target && InputEventFor(*msg, ShiftStateNow(), &input)) {
    EventNotice notice;
    notice.window_id = w->id();
    notice.control_id = target->record->id;
    notice.event = input.event;
    notice.arg_count = input.arg_count;
    std::copy(input.args, input.args + input.arg_count, notice.args);
    w->RaiseEvent(&notice);
    if (w->gone()) return true;  // the handler closed the window; the reaper deletes it later
    if (input.event == kCharacter && notice.has_result) {
      // A returned character replaces the typed one; zero drops it.
      if (notice.result == 0) return true;
      msg->wParam = static_cast<WPARAM>(static_cast<uint32_t>(notice.result));
    } else if (AnswerStops(notice.has_result, notice.result)) {
      return true;
    }
  }
  if (msg->message >= WM_KEYFIRST && msg->message <= WM_KEYLAST) return HandleWindowKey(w, msg);
  return false;
}
