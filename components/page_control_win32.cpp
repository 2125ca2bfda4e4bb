// PageControl: pages of child controls in a window of its own class, one page
// shown at a time, with an optional header strip it draws itself. Does not
// wrap the system tab control, does not create or own its pages' children
// (the window loader does) and does not decide which of them show: it asks
// its window to refresh them.
#include "components/page_control_win32.h"

#include <string>

#include "base/wide_win32.h"
#include "components/com_ref_win32.h"
#include "components/common_controls_win32.h"
#include "components/fonts_win32.h"
#include "components/handles_win32.h"
#include "components/page_model.h"

namespace {

const wchar_t kClassName[] = L"CPageControl";
// The private message the control reports its events through (wParam: PageNotice).
constexpr UINT kNoticeMessage = 0x87BC;
constexpr int kScrollBackId = 1, kScrollForwardId = 2;
constexpr int kHeaderPadding = 8;
constexpr int kArrowSide = 13;  // the built-in scroll button images
const char kScrollBackTip[] = "\xCF\xF2\xD7\xF3\xB9\xF6\xB6\xAF\xD7\xD3\xBC\xD0\xCD\xB7";  // 向左滚动子夹头
const char kScrollForwardTip[] =
    "\xCF\xF2\xD3\xD2\xB9\xF6\xB6\xAF\xD7\xD3\xBC\xD0\xCD\xB7";  // 向右滚动子夹头

// The events as the window's bindings number them.
enum PageEvent : int32_t {
  kPageChanged = 0,
  kPageChanging,
  kHeaderClicked,
  kHeaderHovered,
  kHeaderRightClicked
};

inline bool FreeImageList(HIMAGELIST h) { return CommonControls().ImageList_Destroy(h) != FALSE; }
using ImageListHandle = OwnedHandle<HIMAGELIST, FreeImageList>;

// An image list from an image-list block; null for an empty block or one that
// does not read.
ImageListHandle ReadImageList(const ByteBuffer& block) {
  const ByteView stream = ImageListStream(ViewOf(block));
  if (stream.empty()) return ImageListHandle();
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, stream.size);
  if (!memory) return ImageListHandle();
  void* p = GlobalLock(memory);
  if (!p) {
    GlobalFree(memory);
    return ImageListHandle();
  }
  memcpy(p, stream.data, stream.size);
  GlobalUnlock(memory);
  ComRef<IStream> s;
  if (CreateStreamOnHGlobal(memory, TRUE, s.out()) != S_OK) {
    GlobalFree(memory);
    return ImageListHandle();
  }
  return ImageListHandle(CommonControls().ImageList_Read(s.get()));
}

// The two built-in 13x13 arrows, drawn on magenta, which becomes transparent.
ImageListHandle BuiltInArrows() {
  ImageListHandle list(
      CommonControls().ImageList_Create(kArrowSide, kArrowSide, ILC_COLOR24 | ILC_MASK, 2, 0));
  if (!list) return list;
  WindowDC screen(nullptr);
  MemoryDC dc(CreateCompatibleDC(screen.get()));
  BitmapHandle bitmap(CreateCompatibleBitmap(screen.get(), 2 * kArrowSide, kArrowSide));
  if (!dc || !bitmap) return ImageListHandle();
  {
    SelectScope select(dc.get(), bitmap.get());
    BrushHandle magenta(CreateSolidBrush(RGB(255, 0, 255)));
    RECT all = {0, 0, 2 * kArrowSide, kArrowSide};
    FillRect(dc.get(), &all, magenta.get());
    SelectScope brush(dc.get(), GetStockObject(BLACK_BRUSH));
    SelectScope pen(dc.get(), GetStockObject(BLACK_PEN));
    const POINT back[] = {{8, 3}, {8, 9}, {5, 6}};
    const POINT forward[] = {{kArrowSide + 5, 3}, {kArrowSide + 5, 9}, {kArrowSide + 8, 6}};
    Polygon(dc.get(), back, 3);
    Polygon(dc.get(), forward, 3);
  }
  CommonControls().ImageList_AddMasked(list.get(), bitmap.get(), RGB(255, 0, 255));
  return list;
}

COLORREF ColourOr(uint32_t stored, int system_colour) {
  return stored == kNoColor ? GetSysColor(system_colour) : static_cast<COLORREF>(stored & 0xFFFFFF);
}

void Fill(HDC dc, const RECT& r, COLORREF colour) {
  SetBkColor(dc, colour);
  ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);
}

RECT ToRect(const PageRect& r) { return RECT{r.left, r.top, r.right, r.bottom}; }

class PageControl final : public Control, private PageHost {
 public:
  explicit PageControl(const CreateArgs& args) : Control(args), model_(this) {}

  bool Create(const CreateArgs& args) {
    if (!model_.Load(args.properties, args.design)) return false;
    if (!RegisterControlClass(kClassName, CS_HREDRAW | CS_VREDRAW,
                              LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)), nullptr)) {
      return false;
    }
    if (!CreateHwnd(0, kClassName, L"", args.style | WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, args,
                    false)) {
      return false;
    }
    CreateScrollButtons();
    if (model_.properties().DefaultFont) model_.SetFont(DefaultGuiLogFont());
    ApplyFont();
    LoadImageLists();
    model_.Relayout();
    model_.FinishCreation();
    Repaint();
    return true;
  }

  PropertyRead GetProperty(int index, int sub, PropertyOut* out) override {
    return Answered(model_.GetProperty(index, sub, out));
  }

  PropertyWrite SetProperty(int index, int sub, const PropertyIn& in) override {
    switch (model_.SetProperty(index, sub, in)) {
      case PageChange::kNone:
        break;
      case PageChange::kFont:
        ApplyFont();
        Relayout();
        break;
      case PageChange::kImages:
        LoadImageLists();
        Relayout();
        break;
      case PageChange::kLayout:
        Relayout();
        break;
      case PageChange::kPaint:
        Repaint();
        break;
    }
    return PropertyWrite::kApplied;  // every change shows without re-creation
  }

  Bytes SaveProperties() override {
    const ByteBuffer saved = model_.Save();
    return Bytes(NewByteArray(saved.data(), static_cast<int32_t>(saved.size())));
  }

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override {
    const int x = static_cast<short>(LOWORD(lp)), y = static_cast<short>(HIWORD(lp));
    switch (msg) {
      case kNoticeMessage:
        return OnNotice(static_cast<PageNotice>(wp), static_cast<int32_t>(lp));
      case kLoadCompleteMessage:
        model_.LoadComplete();
        return 0;
      case TCM_GETITEMCOUNT:
        return model_.ItemCount();
      case TCM_GETCURSEL:
        return model_.CurrentPosition();
      case TCM_SETCURSEL:
        return model_.SelectPosition(static_cast<int32_t>(wp));
      case TCM_HITTEST:
        return OnHitTest(reinterpret_cast<TCHITTESTINFO*>(lp));
      case WM_SIZE:
        Relayout();
        return 0;
      case WM_ERASEBKGND:
        return 1;
      case WM_PAINT:
        OnPaint();
        return 0;
      case WM_PRINTCLIENT:
        PaintTo(reinterpret_cast<HDC>(wp));
        return 0;
      case WM_LBUTTONDOWN:
        model_.LeftButtonDown(x, y);
        return 0;
      case WM_RBUTTONUP:
        model_.RightButtonUp(x, y);
        return 0;
      case WM_MOUSEMOVE:
        OnMouseMove(x, y);
        return 0;
      case WM_MOUSELEAVE:
        tracking_mouse_ = false;
        model_.MouseLeave();
        return 0;
      case WM_COMMAND:
        if (OnScrollClick(reinterpret_cast<HWND>(lp), HIWORD(wp))) return 0;
        break;
      case WM_DRAWITEM:
        if (DrawScrollButton(reinterpret_cast<const DRAWITEMSTRUCT*>(lp))) return TRUE;
        break;
      case WM_DESTROY:
        if (tooltip_) DestroyWindow(tooltip_);
        tooltip_ = nullptr;
        break;
      default:
        break;
    }
    return DefaultProc(msg, wp, lp);
  }

 private:
  // PageHost: what the model asks of the window.
  bool Notify(PageNotice notice, int32_t index) override {
    return hwnd() && SendMessageW(hwnd(), kNoticeMessage, static_cast<WPARAM>(notice), index) == 1;
  }
  void RefreshPageChildren() override {
    if (host()) host()->RefreshPageChildren(control_id());
  }
  void HideAllChildren() override {
    for (HWND c = GetWindow(hwnd(), GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
      if (c != scroll_back_ && c != scroll_forward_ && IsWindowVisible(c)) ShowWindow(c, SW_HIDE);
    }
  }
  void Repaint() override {
    if (!hwnd()) return;
    PlaceScrollButtons();
    InvalidateRect(hwnd(), nullptr, FALSE);
  }
  void ClientSize(int32_t* width, int32_t* height) override {
    RECT r{};
    if (hwnd()) GetClientRect(hwnd(), &r);
    *width = r.right;
    *height = r.bottom;
  }
  int32_t FontHeight() override {
    WindowDC dc(hwnd());
    SelectScope font(dc.get(), font_.get());
    TEXTMETRICW tm{};
    GetTextMetricsW(dc.get(), &tm);
    return tm.tmHeight;
  }
  int32_t HeaderExtent(const Page& page, bool) override {
    WindowDC dc(hwnd());
    SelectScope font(dc.get(), font_.get());
    const std::wstring caption = GbkToWide(page.caption.c_str());
    SIZE size{};
    GetTextExtentPoint32W(dc.get(), caption.c_str(), static_cast<int>(caption.size()), &size);
    int extent = size.cx + 2 * kHeaderPadding;
    int cx = 0, cy = 0;
    if (page.header_images[0] >= 0 && images_[0] &&
        CommonControls().ImageList_GetIconSize(images_[0].get(), &cx, &cy)) {
      extent += cx + kHeaderPadding / 2;
    }
    return extent;
  }

  LRESULT OnNotice(PageNotice notice, int32_t index) {
    switch (notice) {
      case PageNotice::kChanged:
        RaiseEvent(kPageChanged);
        return 0;
      case PageNotice::kChanging: {
        EventNotice answer;
        RaiseEvent(kPageChanging, {index}, &answer);
        return answer.has_result && answer.result == 0 ? 1 : 0;  // false cancels
      }
      case PageNotice::kClicked:
        RaiseEvent(kHeaderClicked, {index});
        return 0;
      case PageNotice::kHovered:
        RaiseEvent(kHeaderHovered, {index});
        return 0;
      case PageNotice::kRightClicked:
        RaiseEvent(kHeaderRightClicked, {index});
        return 0;
    }
    return 0;
  }

  LRESULT OnHitTest(TCHITTESTINFO* info) {
    if (!info) return -1;
    uint32_t flags = 0;
    const int32_t position = model_.HitTest(info->pt.x, info->pt.y, &flags);
    info->flags = flags;
    return position;
  }

  void OnMouseMove(int x, int y) {
    if (!tracking_mouse_) {
      TRACKMOUSEEVENT t{sizeof t, TME_LEAVE, hwnd(), 0};
      tracking_mouse_ = TrackMouseEvent(&t) != FALSE;
    }
    model_.MouseMove(x, y);
  }

  void Relayout() {
    model_.Relayout();
    Repaint();
  }

  void ApplyFont() {
    font_ = CreateStoredFont(model_.properties().Font);
    if (!font_) font_ = CreateStoredFont(DefaultGuiLogFont());
  }

  void LoadImageLists() {
    for (int i = 0; i < 3; ++i) images_[i] = ReadImageList(model_.image_block(i));
  }

  void CreateScrollButtons() {
    const DWORD style = WS_CHILD | BS_OWNERDRAW;
    scroll_back_ =
        CreateWindowExW(0, L"BUTTON", L"<", style, 0, 0, 0, 0, hwnd(), reinterpret_cast<HMENU>(kScrollBackId),
                        GetModuleHandleW(nullptr), nullptr);
    scroll_forward_ =
        CreateWindowExW(0, L"BUTTON", L">", style, 0, 0, 0, 0, hwnd(),
                        reinterpret_cast<HMENU>(kScrollForwardId), GetModuleHandleW(nullptr), nullptr);
    arrows_ = BuiltInArrows();
  }

  // The tips' popup window is made when the buttons first show: a strip
  // that never scrolls, like TabPager's, never pays for one.
  void MakeTips() {
    if (tooltip_) return;
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES};
    CommonControls().InitCommonControlsEx(&icc);
    tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd(), nullptr,
                               GetModuleHandleW(nullptr), nullptr);
    AddTip(scroll_back_, kScrollBackTip);
    AddTip(scroll_forward_, kScrollForwardTip);
  }

  void AddTip(HWND button, const char* gbk) {
    if (!tooltip_ || !button) return;
    std::wstring text = GbkToWide(gbk);
    TOOLINFOW ti{};
    ti.cbSize = TTTOOLINFOW_V2_SIZE;
    ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    ti.hwnd = hwnd();
    ti.uId = reinterpret_cast<UINT_PTR>(button);
    ti.lpszText = text.data();
    SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
  }

  void PlaceScrollButtons() {
    const StripLayout& l = model_.layout();
    const bool show = model_.headers_shown() && l.scrolls;
    const struct {
      HWND button;
      const PageRect& at;
      bool enabled;
    } buttons[] = {{scroll_back_, l.scroll_back, l.can_scroll_back},
                   {scroll_forward_, l.scroll_forward, l.can_scroll_forward}};
    if (show) MakeTips();
    for (const auto& b : buttons) {
      if (!b.button) continue;
      if (show) {
        SetWindowPos(b.button, nullptr, b.at.left, b.at.top, b.at.width(), b.at.height(),
                     SWP_NOZORDER | SWP_NOACTIVATE);
        EnableWindow(b.button, b.enabled);
      }
      // Every relayout comes here: a button already as it should be is left alone.
      if (show != ((GetWindowLongPtrW(b.button, GWL_STYLE) & WS_VISIBLE) != 0))
        ShowWindow(b.button, show ? SW_SHOWNA : SW_HIDE);
    }
  }

  bool OnScrollClick(HWND from, UINT code) {
    if (!from || (from != scroll_back_ && from != scroll_forward_)) return false;
    if (code == BN_CLICKED) model_.Scroll(from == scroll_back_ ? -1 : 1);
    return true;
  }

  bool DrawScrollButton(const DRAWITEMSTRUCT* item) {
    if (!item || (item->hwndItem != scroll_back_ && item->hwndItem != scroll_forward_)) return false;
    RECT r = item->rcItem;
    Fill(item->hDC, r, ColourOr(model_.properties().ScrollButtonColour, COLOR_BTNFACE));
    DrawEdge(item->hDC, &r, (item->itemState & ODS_SELECTED) ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
    const int index = item->hwndItem == scroll_back_ ? 0 : 1;
    HIMAGELIST list = images_[2] && CommonControls().ImageList_GetImageCount(images_[2].get()) > index
                          ? images_[2].get()
                          : arrows_.get();
    int cx = 0, cy = 0;
    if (list && CommonControls().ImageList_GetIconSize(list, &cx, &cy)) {
      const UINT style = (item->itemState & ODS_DISABLED) ? ILD_BLEND50 : ILD_TRANSPARENT;
      CommonControls().ImageList_DrawEx(list, index, item->hDC, (r.left + r.right - cx) / 2,
                                        (r.top + r.bottom - cy) / 2, 0, 0, CLR_NONE, CLR_DEFAULT, style);
    }
    return true;
  }

  void OnPaint() {
    PaintScope paint(hwnd());
    RECT client{};
    GetClientRect(hwnd(), &client);
    // Drawn off screen first so the strip does not flicker.
    MemoryDC memory(CreateCompatibleDC(paint.get()));
    BitmapHandle bitmap(CreateCompatibleBitmap(paint.get(), client.right, client.bottom));
    if (!memory || !bitmap) {
      PaintTo(paint.get());
      return;
    }
    SelectScope select(memory.get(), bitmap.get());
    PaintTo(memory.get());
    BitBlt(paint.get(), 0, 0, client.right, client.bottom, memory.get(), 0, 0, SRCCOPY);
  }

  // Colours: 29 strip, 30 header, 31 current header, 34 hot header, 35 header
  // border, 38/39/40 text of a header, the current one and the hot one;
  // with option 53 the headers take 54, 55 and 56 instead of 30, 31 and 34.
  // A disabled page's caption is grey; option 28 leaves the borders out.
  void PaintTo(HDC dc) {
    RECT client{};
    GetClientRect(hwnd(), &client);
    Fill(dc, client, GetSysColor(COLOR_BTNFACE));
    if (!model_.headers_shown()) return;
    const PageControlProperties& p = model_.properties();
    const StripLayout& l = model_.layout();
    Fill(dc, ToRect(l.strip), ColourOr(p.StripColour, COLOR_BTNFACE));

    const int saved = SaveDC(dc);
    if (l.scrolls) IntersectClipRect(dc, l.strip.left, l.strip.top, l.visible_end, l.strip.bottom);
    SelectScope font(dc, font_.get());
    SetBkMode(dc, TRANSPARENT);
    BrushHandle border(CreateSolidBrush(ColourOr(p.HeaderBorderColour, COLOR_BTNSHADOW)));
    const std::vector<Page>& pages = model_.pages();
    for (int32_t i = 0; i < static_cast<int32_t>(pages.size()); ++i) {
      if (l.headers[i].empty()) continue;
      const bool current = i == model_.current(), hot = i == model_.hot() && !current;
      const uint32_t face = current ? (p.AltHeaderColours ? p.AltCurrentHeaderColour : p.CurrentHeaderColour)
                            : hot   ? (p.AltHeaderColours ? p.AltHotHeaderColour : p.HotHeaderColour)
                                    : (p.AltHeaderColours ? p.AltHeaderColour : p.HeaderColour);
      const int system_face = current ? COLOR_WINDOW : hot ? COLOR_3DLIGHT : COLOR_BTNFACE;
      RECT r = ToRect(l.headers[i]);
      InflateRect(&r, -1, -1);
      Fill(dc, r, ColourOr(face, system_face));
      if (!p.HeaderStripOption) FrameRect(dc, &r, border.get());
      const int state = current ? 1 : hot ? 2 : 0;
      const int32_t image =
          pages[i].header_images[state] >= 0 ? pages[i].header_images[state] : pages[i].header_images[0];
      int cx = 0, cy = 0;
      if (image >= 0 && images_[0] && CommonControls().ImageList_GetIconSize(images_[0].get(), &cx, &cy)) {
        // An image taller than the row is cut at the header's edges.
        const int clip = SaveDC(dc);
        IntersectClipRect(dc, r.left, r.top, r.right, r.bottom);
        CommonControls().ImageList_Draw(images_[0].get(), image, dc, r.left + kHeaderPadding / 2,
                                        (r.top + r.bottom - cy) / 2, ILD_TRANSPARENT);
        RestoreDC(dc, clip);
        r.left += cx + kHeaderPadding / 2;
      }
      const uint32_t text = current ? p.CurrentHeaderTextColour
                            : hot   ? p.HotHeaderTextColour
                                    : p.HeaderTextColour;
      SetTextColor(dc,
                   pages[i].enabled ? static_cast<COLORREF>(text & 0xFFFFFF) : GetSysColor(COLOR_GRAYTEXT));
      const std::wstring caption = GbkToWide(pages[i].caption.c_str());
      DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &r,
                DT_SINGLELINE | DT_VCENTER | DT_CENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    }
    RestoreDC(dc, saved);
  }

  PageModel model_;
  FontHandle font_;                // header text, from the Font property
  ImageListHandle images_[3];      // properties 22, 23, 24 as loaded
  ImageListHandle arrows_;         // scroll button images when 24 has none
  HWND scroll_back_ = nullptr;     // "<", a child: goes with the window
  HWND scroll_forward_ = nullptr;  // ">"
  HWND tooltip_ = nullptr;         // owned popup holding the buttons' tips
  bool tracking_mouse_ = false;    // a leave notice is requested
};

}  // namespace

const ComponentKind kPageControlKind = {kKindPageControl, "PageControl", kPageControlPropertyCount,
                                        kPageControlPropertyTypes, MakeControl<PageControl>};
