// The two property entry points over loaded windows. Does not know any kind's
// properties beyond their types; the kinds apply the values.
#include "base/fatal.h"
#include "components/kinds_win32.h"
#include "components/owned_values.h"
#include "windows/live_window_win32.h"
#include "windows/property_access.h"
#include "windows/texts_gbk.h"

namespace {

enum CommonIndex { kLeft = 0, kTop, kWidth, kHeight, kTag, kVisible, kDisable, kMousePointer, kFirstOwn };

// The window, the control and the index must exist; anything else ends the
// program, as the application only uses identifiers and indexes that do.
LiveControl* FindTarget(uint32_t window_id, uint32_t control_id, int32_t index, LiveWindow** window) {
  LiveWindow* w = FindLiveWindow(window_id);
  if (!w) ReportFatal(0, gbk::kWindowNotLoaded);
  LiveControl* c = w->FindLive(control_id);
  if (!c || !c->kind) ReportFatal(0, gbk::kControlNotInWindow);
  if (index < 0 || index >= c->kind->property_count) ReportFatal(0, gbk::kPropertyNotInKind);
  *window = w;
  return c;
}

Control* LiveObject(LiveControl* c) {
  if (!c->hwnd()) ReportFatal(0, gbk::kControlWindowMissing);
  return c->object.get();
}

// The outer rectangle in the parent's client coordinates (a frame's: the screen's).
RECT RectInParent(HWND hwnd) {
  RECT rc;
  GetWindowRect(hwnd, &rc);
  if (GetWindowLongPtrW(hwnd, GWL_STYLE) & WS_CHILD) {
    MapWindowPoints(HWND_DESKTOP, GetParent(hwnd), reinterpret_cast<POINT*>(&rc), 2);
  }
  return rc;
}

void SetCommon(LiveWindow* w, LiveControl* c, int32_t index, const PropertyIn& in) {
  HWND hwnd = c->hwnd();
  switch (index) {
    case kLeft:
    case kTop: {
      (index == kLeft ? c->left : c->top) = ClampPosition(in.number);
      if (!hwnd) return;
      RECT rc = RectInParent(hwnd);
      int x = index == kLeft ? c->left : rc.left;
      int y = index == kTop ? c->top : rc.top;
      SetWindowPos(hwnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
      return;
    }
    case kWidth:
    case kHeight: {
      (index == kWidth ? c->width : c->height) = ClampSize(in.number);
      if (!hwnd) return;
      RECT rc = RectInParent(hwnd);
      int cx = index == kWidth ? c->width : rc.right - rc.left;
      int cy = index == kHeight ? c->height : rc.bottom - rc.top;
      SetWindowPos(hwnd, nullptr, 0, 0, cx, cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
      return;
    }
    case kTag:
      c->tag = CopyText(in.text);
      return;
    case kVisible:
      c->visible = NormalizeBool(in.number);
      if (!hwnd) return;
      // A frame is shown as a window is; a control without taking activation.
      if (!c->visible) {
        ShowWindow(hwnd, SW_HIDE);
      } else {
        ShowWindow(hwnd, (GetWindowLongPtrW(hwnd, GWL_STYLE) & WS_CHILD) ? SW_SHOWNA : SW_SHOW);
      }
      return;
    case kDisable:
      c->disable = NormalizeBool(in.number);
      if (hwnd) EnableWindow(hwnd, !c->disable);
      return;
    case kMousePointer: {
      w->SetPointer(c, TranslateCursorIn(in.bytes));
      // Moving the cursor onto itself makes the system ask for it again.
      POINT at;
      if (GetCursorPos(&at)) SetCursorPos(at.x, at.y);
      return;
    }
    default:
      return;
  }
}

PropertyOut GetCommon(LiveControl* c, int32_t index) {
  PropertyOut out;
  HWND hwnd = c->hwnd();
  RECT rc{c->left, c->top, c->left + c->width, c->top + c->height};
  if (hwnd && index <= kHeight) rc = RectInParent(hwnd);
  switch (index) {
    case kLeft:
      out.number = hwnd ? rc.left : c->left;
      break;
    case kTop:
      out.number = hwnd ? rc.top : c->top;
      break;
    case kWidth:
      out.number = hwnd ? rc.right - rc.left : c->width;
      break;
    case kHeight:
      out.number = hwnd ? rc.bottom - rc.top : c->height;
      break;
    case kTag:
      out.text = CopyText(c->tag.get());
      break;
    case kVisible:
      out.number = hwnd ? (GetWindowLongPtrW(hwnd, GWL_STYLE) & WS_VISIBLE) != 0 : c->visible;
      break;
    case kDisable:
      out.number = hwnd ? !IsWindowEnabled(hwnd) : c->disable;
      break;
    case kMousePointer:
      out.bytes = TranslateCursorOut(ViewOf(c->pointer));
      break;
    default:
      break;
  }
  return out;
}

}  // namespace

void SetControlProperty(uint32_t window_id, uint32_t control_id, int32_t index, int32_t sub,
                        const PropertyIn& value) {
  LiveWindow* w;
  LiveControl* c = FindTarget(window_id, control_id, index, &w);
  if (index < kFirstOwn) return SetCommon(w, c, index, value);

  Control* control = LiveObject(c);
  PropertyIn in = value;
  switch (c->kind->types[index - kFirstOwn]) {
    case PropertyType::kChoice:
      in.number = NormalizeChoice(value.number);
      break;
    case PropertyType::kBool:
      in.number = NormalizeBool(value.number);
      break;
    case PropertyType::kInteger:
    case PropertyType::kColor:
      in.number = static_cast<int32_t>(value.number);
      break;
    case PropertyType::kText:
      in.text = OrEmpty(value.text);
      break;
    case PropertyType::kHidden:
      return;
    default:
      break;
  }
  // A cursor-typed value reaches the kind with the system's identifier.
  Bytes cursor;
  if (c->kind->types[index - kFirstOwn] == PropertyType::kCursor) {
    cursor = TranslateCursorIn(value.bytes);
    in.bytes = cursor.get();
  }
  if (control->SetProperty(index - kFirstOwn, sub, in) != PropertyWrite::kRecreate) return;
  // A handler run by the write may have closed the window: look again.
  w = FindLiveWindow(window_id);
  c = w ? w->FindLive(control_id) : nullptr;
  if (!c || !c->hwnd()) return;
  c->saved_properties = c->object->SaveProperties();
  w->Recreate(c);
}

PropertyOut GetControlProperty(uint32_t window_id, uint32_t control_id, int32_t index, int32_t sub) {
  LiveWindow* w;
  LiveControl* c = FindTarget(window_id, control_id, index, &w);
  if (index < kFirstOwn) return GetCommon(c, index);

  PropertyOut out;
  if (LiveObject(c)->GetProperty(index - kFirstOwn, sub, &out) != PropertyRead::kAnswered)
    return PropertyOut{};
  switch (c->kind->types[index - kFirstOwn]) {
    case PropertyType::kBool:
      out.number = BoolForReading(out.number);
      break;
    case PropertyType::kInteger:
    case PropertyType::kChoice:
    case PropertyType::kColor:
      out.number = static_cast<int32_t>(out.number);
      break;
    case PropertyType::kText:
      if (out.text.get() && !*out.text.get()) out.text = Text();  // empty reads as null
      break;
    case PropertyType::kBytes:
      if (out.bytes.get() && out.bytes.size() == 0) out.bytes = Bytes();
      break;
    case PropertyType::kCursor: {
      Bytes stored = std::move(out.bytes);
      out.bytes = TranslateCursorOut(ViewOf(stored));
      break;
    }
    default:
      break;
  }
  return out;
}

void SetControlNumber(uint32_t window_id, uint32_t control_id, int32_t index, int64_t value) {
  PropertyIn in;
  in.number = value;
  SetControlProperty(window_id, control_id, index, -1, in);
}

void SetControlText(uint32_t window_id, uint32_t control_id, int32_t index, TextValue text) {
  PropertyIn in;
  in.text = text;
  SetControlProperty(window_id, control_id, index, -1, in);
}

Text GetControlText(uint32_t window_id, uint32_t control_id, int32_t index) {
  return std::move(GetControlProperty(window_id, control_id, index, -1).text);
}

int64_t GetControlNumber(uint32_t window_id, uint32_t control_id, int32_t index) {
  return GetControlProperty(window_id, control_id, index, -1).number;
}
