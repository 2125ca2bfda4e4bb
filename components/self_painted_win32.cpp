#include "components/self_painted_win32.h"

#include "components/borders_win32.h"
#include "components/handles_win32.h"

bool SelfPaintedControl::CreateSelfPainted(const wchar_t* class_name, const wchar_t* text, int32_t border,
                                           const CreateArgs& args) {
  if (!RegisterControlClass(class_name, CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW, ArrowCursor(), nullptr)) {
    return false;
  }
  BorderStyles styles = StylesForBorder(border);
  return CreateHwnd(styles.ex_style, class_name, text, args.style | WS_CHILD | WS_CLIPSIBLINGS | styles.style,
                    args, false);
}

LRESULT SelfPaintedControl::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_ERASEBKGND:
      return 1;  // WM_PAINT fills everything
    case WM_PAINT: {
      PaintScope paint(hwnd());
      RECT rc;
      GetClientRect(hwnd(), &rc);
      BrushHandle back(CreateSolidBrush(ColourOr(BackColour(), COLOR_BTNFACE)));
      FillRect(paint.get(), &rc, back.get());
      PaintOver(paint.get(), rc);
      return 0;
    }
    default:
      return DefaultProc(msg, wp, lp);
  }
}
