// HtmlViewer: a plain child window that hosts the system's web browser
// control over its whole client area. Does not render, resolve addresses,
// customise the browser's menus or chrome, or supply browsers for new
// windows (the browser opens those itself).
#include "components/html_viewer_win32.h"

#include <exdisp.h>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <string>
#include <string_view>

#include "base/wide_win32.h"
#include "components/choices.h"
#include "components/fonts_win32.h"
#include "components/handles_win32.h"
#include "components/html_site_win32.h"
#include "components/kinds_win32.h"
#include "components/owned_values.h"
#include "components/page_text_view_win32.h"
#include "components/property_writers.h"
#include "components/texts_gbk.h"
#include "format/property_fields.h"
#include "net/open_url.h"
#include "services/services.h"

namespace {

const wchar_t kHtmlHostClass[] = L"VelmoraHtmlHost";
constexpr int32_t kLargestFontSize = 4;
constexpr long kCommandForward = 1, kCommandBack = 2;  // CSC_NAVIGATEFORWARD, CSC_NAVIGATEBACK

BrowserFactory g_factory = CreateSystemBrowser;

// The HTML document class: where it cannot be made, the browser shows no page.
constexpr CLSID kHtmlDocumentClass = {
    0x25336920, 0x03F9, 0x11CF, {0x8F, 0xD0, 0x00, 0xAA, 0x00, 0x68, 0x6F, 0x13}};

bool SystemShowsHtml() {
  ComRef<IUnknown> document;
  return SUCCEEDED(CoCreateInstance(kHtmlDocumentClass, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                                    reinterpret_cast<void**>(document.out()))) &&
         document;
}

HtmlEngineCheck g_engine_check = SystemShowsHtml;

constexpr int kOpenButtonId = 1;
constexpr int kNoticeMargin = 16, kNoticeLine = 20, kOpenButtonWidth = 160, kOpenButtonHeight = 26;

using T = PropertyType;
// A stored property's kind-specific index, from the field list.
consteval int32_t Own(std::string_view name) { return OwnIndex<HtmlViewerProperties>(name); }
// Read-only indexes after the stored ones.
enum : int32_t { kStatusText = Own("url") + 1, kCaption };
constexpr int kHtmlViewerPropertyCount = 8 + kCaption + 1;

const PropertyType kHtmlViewerTypes[] = {T::kChoice, T::kBool, T::kBool, T::kText, T::kText, T::kText};
static_assert(std::size(kHtmlViewerTypes) == kHtmlViewerPropertyCount - 8);

enum HtmlViewerEvent : int32_t {
  kWillNavigate = 0,
  kNavigated,
  kLoadStarted,
  kLoadProgress,
  kLoadFinished,
  kDocumentReady,
  kStatusTextChanged,
  kTitleChanged,
  kCommandStateChanged,
  kWillOpenNewWindow,
};

const char* const kFontSizes[] = {gbk::kFontSizeSmallest, gbk::kFontSizeSmaller, gbk::kFontSizeMedium,
                                  gbk::kFontSizeLarger, gbk::kFontSizeLargest};
const PropertyText kHtmlViewerProperties[] = {
    {"FontSize", gbk::kFontSizeName, gbk::kFontSizeAbout, kFontSizes, 5},
    {"Offline", gbk::kOfflineName, gbk::kOfflineAbout},
    {"Silent", gbk::kSilentName, gbk::kSilentAbout},
    {"url", gbk::kUrlName, gbk::kUrlAbout},
    {"StatusText", gbk::kStatusTextName, gbk::kStatusTextAbout},
    {"Caption", gbk::kCaptionName, gbk::kCaptionAbout},
};
static_assert(std::size(kHtmlViewerProperties) == kHtmlViewerPropertyCount - 8);

const char* const kProgressArguments[] = {gbk::kLoadProgressPercent};
const char* const kCommandArguments[] = {gbk::kCommandArgument, gbk::kEnabledArgument};
const EventText kHtmlViewerEvents[] = {
    {"WillNavigate", gbk::kWillNavigateName, gbk::kWillNavigateAbout},
    {"Navigated", gbk::kNavigatedName},
    {"LoadStarted", gbk::kLoadStartedName},
    {"LoadProgress", gbk::kLoadProgressName, nullptr, kProgressArguments, 1},
    {"LoadFinished", gbk::kLoadFinishedName},
    {"DocumentReady", gbk::kDocumentReadyName},
    {"StatusTextChanged", gbk::kStatusTextChangedName},
    {"TitleChanged", gbk::kTitleChangedName},
    {"CommandStateChanged", gbk::kCommandStateChangedName, nullptr, kCommandArguments, 2},
    {"WillOpenNewWindow", gbk::kWillOpenNewWindowName, gbk::kWillOpenNewWindowAbout},
};
constexpr int kHtmlViewerEventCount = sizeof kHtmlViewerEvents / sizeof kHtmlViewerEvents[0];
static_assert(kHtmlViewerEventCount == kWillOpenNewWindow + 1);

// Addresses and file paths are GBK like every text, so they cross to the
// browser and back as GBK whatever the system code page.
Text Narrow(const wchar_t* text) {
  if (!text || !*text) return Text();
  const int n = WideCharToMultiByte(kGbkCodePage, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (n <= 1) return Text();
  std::string out(n, '\0');
  WideCharToMultiByte(kGbkCodePage, 0, text, -1, out.data(), n, nullptr, nullptr);
  return Text(NewText(out.data(), static_cast<size_t>(n - 1)));
}

// A BSTR for one call.
class Bstr {
 public:
  explicit Bstr(const std::wstring& text)
      : b_(SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {}
  Bstr() = default;
  Bstr(const Bstr&) = delete;
  Bstr& operator=(const Bstr&) = delete;
  ~Bstr() { SysFreeString(b_); }
  BSTR get() const { return b_; }
  BSTR* out() { return &b_; }

 private:
  BSTR b_ = nullptr;
};

inline VARIANT_BOOL ToVariantBool(int32_t v) { return v ? VARIANT_TRUE : VARIANT_FALSE; }

class HtmlViewer final : public Control, private BrowserEvents {
 public:
  explicit HtmlViewer(const CreateArgs& args) : Control(args), design_(args.design) {}
  ~HtmlViewer() override { TearDown(); }

  bool Create(const CreateArgs& args) {
    // An absent or empty block is all defaults.
    if (!args.properties.empty() && ReadHtmlViewerProperties(args.properties, &p_) != StreamResult::kOk) {
      return false;
    }
    url_ = TextFromView(p_.url);
    p_.url = ByteView{};
    if (!RegisterControlClass(kHtmlHostClass, CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW, ArrowCursor(),
                              static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)))) {
      return false;
    }
    // Clipping the browser: an invalidation of the host never erases over the page.
    if (!CreateHwnd(0, kHtmlHostClass, L"", args.style | WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, args,
                    false))
      return false;
    // Without an HTML engine the view says so and offers the desktop's browser.
    if (!g_engine_check()) return CreateNotice();
    site_ = ComRef<BrowserSite>(new BrowserSite(this));
    if (!site_->Open(hwnd(), g_factory)) return false;  // the caller destroys the host
    browser()->put_Offline(ToVariantBool(p_.Offline));
    browser()->put_Silent(ToVariantBool(p_.Silent));
    ApplyFontSize(p_.FontSize);
    if (url_.get()) Navigate();
    return true;
  }

  bool TakesFocus() const override { return true; }

  bool PreTranslateKey(MSG* msg) override { return site_ && site_->TranslateKey(msg); }

  PropertyRead GetProperty(int index, int, PropertyOut* out) override {
    switch (index) {
      case Own("FontSize"):
        out->number = p_.FontSize;
        return PropertyRead::kAnswered;
      case Own("Offline"):
        out->number = ReadFlag(p_.Offline, &IWebBrowser2::get_Offline);
        return PropertyRead::kAnswered;
      case Own("Silent"):
        out->number = ReadFlag(p_.Silent, &IWebBrowser2::get_Silent);
        return PropertyRead::kAnswered;
      case Own("url"):
        out->text = CopyText(ReadUrl());
        return PropertyRead::kAnswered;
      case kStatusText:
        out->text = CopyText(status_text_.get());
        return PropertyRead::kAnswered;
      case kCaption:
        out->text = CopyText(ReadCaption());
        return PropertyRead::kAnswered;
      default:
        return PropertyRead::kNoAnswer;
    }
  }

  PropertyWrite SetProperty(int index, int, const PropertyIn& in) override {
    switch (index) {
      case Own("FontSize"):
        ApplyFontSize(in.number);
        break;
      case Own("Offline"):
        p_.Offline = in.number ? 1 : 0;
        if (browser()) browser()->put_Offline(ToVariantBool(p_.Offline));
        break;
      case Own("Silent"):
        p_.Silent = in.number ? 1 : 0;
        if (browser()) browser()->put_Silent(ToVariantBool(p_.Silent));
        break;
      case Own("url"):
        url_ = CopyText(in.text);
        Navigate();
        break;
      default:
        break;  // the status text and the title are read only
    }
    return PropertyWrite::kApplied;  // every change shows without re-creation
  }

  Bytes SaveProperties() override {
    HtmlViewerProperties p = p_;
    p.version = kHtmlViewerStreamVersion;
    p.url = ViewOf(url_);
    return WriteHtmlViewerProperties(p);
  }

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override {
    switch (msg) {
      case WM_SIZE:
        OnSize();
        return 0;
      case WM_PAINT:
        if (!open_button_) break;
        PaintNotice();
        return 0;
      case WM_COMMAND:
        if (open_button_ && LOWORD(wp) == kOpenButtonId && HIWORD(wp) == BN_CLICKED && url_.get()) {
          OpenInBrowser(url_.get());
          return 0;
        }
        break;
      case WM_NOTIFY:
        if (page_text_.OnNotify(reinterpret_cast<const NMHDR*>(lp))) return 0;
        break;
      case WM_SETFOCUS:
        if (page_text_.hwnd()) SetFocus(page_text_.hwnd());
        if (site_) site_->TakeFocus();
        return 0;
      case WM_DESTROY:
        TearDown();
        break;
      default:
        break;
    }
    return DefaultProc(msg, wp, lp);
  }

 private:
  IWebBrowser2* browser() const { return site_ ? site_->browser() : nullptr; }

  // The one tear-down, for a failed creation, WM_DESTROY and the destructor.
  void TearDown() {
    if (!site_) return;
    site_->Close();
    site_.Reset();
  }

  void OnSize() {
    RECT client{};
    GetClientRect(hwnd(), &client);
    if (site_) site_->Place(client);
    if (open_button_) {
      SetWindowPos(open_button_, nullptr, kNoticeMargin, kNoticeMargin + 2 * kNoticeLine + 8,
                   kOpenButtonWidth, kOpenButtonHeight, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    PlacePageText(client);
  }

  // The page's own text fills the control under the notice and its button.
  void PlacePageText(const RECT& client) {
    const int top = kNoticeMargin + 2 * kNoticeLine + 8 + kOpenButtonHeight + 8;
    page_text_.Place(kNoticeMargin, top, std::max<int>(0, client.right - kNoticeMargin),
                     std::max<int>(0, client.bottom - top));
  }

  // Without an engine the page itself shows as text; an address that is no
  // file (about:blank where no page could be placed) shows nothing.
  void ShowPageText() {
    const char* url = url_.get();
    page_unreadable_ = false;
    if (!url || !std::strncmp(url, "about:", 6)) {
      page_text_.Clear();
      return;
    }
    page_unreadable_ = page_text_.hwnd() && !page_text_.ShowFile(url);
  }

  bool CreateNotice() {
    LogFontA face = DefaultGuiLogFont();
    face.lfHeight = -12;
    std::memcpy(face.lfFaceName, "\xCB\xCE\xCC\xE5", 5);  // 宋体, with CJK glyphs wherever Chinese reads
    notice_font_ = CreateControlFont(face);
    open_button_ =
        CreateWindowExW(0, L"BUTTON", GbkToWide(gbk::kOpenInBrowser).c_str(),
                        WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0, 0, 0, 0, hwnd(),
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(kOpenButtonId)), nullptr, nullptr);
    if (!open_button_) return false;
    SendMessageW(open_button_, WM_SETFONT, reinterpret_cast<WPARAM>(FontOrDefault(notice_font_)), FALSE);
    page_text_.Create(hwnd(), FontOrDefault(notice_font_));  // without it the notice stands alone
    OnSize();
    ShowPageName();
    return true;
  }

  // The page's file name under the notice; the button only with a page to open.
  void ShowPageName() {
    if (!open_button_) return;
    EnableWindow(open_button_, url_.get() != nullptr);
    ShowPageText();
    InvalidateRect(hwnd(), nullptr, TRUE);
  }

  void PaintNotice() {
    PaintScope paint(hwnd());
    SelectScope font(paint.get(), FontOrDefault(notice_font_));
    SetBkMode(paint.get(), TRANSPARENT);
    SetTextColor(paint.get(), GetSysColor(COLOR_WINDOWTEXT));
    const char* url = url_.get() ? url_.get() : "";
    const int32_t dir = DirectoryPartLength(url, IsGbkLeadByte);
    const char* name = dir > 0 ? url + dir + 1 : url;
    const std::wstring lines[] = {
        GbkToWide(gbk::kNoHtmlEngine),
        *name ? GbkToWide(page_unreadable_ ? gbk::kPageUnreadable : gbk::kPageFileIs) + GbkToWide(name)
              : std::wstring()};
    for (int i = 0; i < 2; ++i) {
      TextOutW(paint.get(), kNoticeMargin, kNoticeMargin + i * kNoticeLine, lines[i].c_str(),
               static_cast<int>(lines[i].size()));
    }
  }

  void ApplyFontSize(int64_t size) {
    p_.FontSize = ChoiceUpTo(size, kLargestFontSize);
    if (!browser()) return;
    VARIANT level;
    VariantInit(&level);
    V_VT(&level) = VT_I4;
    V_I4(&level) = p_.FontSize;
    browser()->ExecWB(OLECMDID_ZOOM, OLECMDEXECOPT_DONTPROMPTUSER, &level, nullptr);
  }

  void Navigate() {
    ShowPageName();
    if (!browser()) return;
    Bstr address(GbkToWide(url_.get()));
    VARIANT flags, none;
    VariantInit(&flags);
    VariantInit(&none);
    V_VT(&flags) = VT_I4;
    V_I4(&flags) = 0;
    browser()->Navigate(address.get(), &flags, &none, &none, &none);
  }

  int32_t ReadFlag(int32_t stored, HRESULT (STDMETHODCALLTYPE IWebBrowser2::*get)(VARIANT_BOOL*)) {
    if (design_ || !browser()) return stored;
    VARIANT_BOOL v = VARIANT_FALSE;
    (browser()->*get)(&v);
    return v == VARIANT_TRUE ? 1 : 0;
  }

  TextValue ReadUrl() {
    if (design_ || !browser()) return url_.get();
    if (in_navigation_event_) return event_url_.get();
    Bstr location;
    browser()->get_LocationURL(location.out());
    url_ = Narrow(location.get());
    return url_.get();
  }

  TextValue ReadCaption() {
    if (in_title_event_ || !browser()) return title_.get();
    Bstr name;
    browser()->get_LocationName(name.out());
    title_ = Narrow(name.get());
    return title_.get();
  }

  // Raises one of the three navigation events with `address` readable as url;
  // *answer gets the handler's result. The control may be gone afterwards.
  void RaiseNavigationEvent(HtmlViewerEvent event, const wchar_t* address, EventNotice* answer) {
    event_url_ = Narrow(address);
    in_navigation_event_ = true;
    if (!RaiseWhileAlive(event, {}, answer)) return;
    in_navigation_event_ = false;
    event_url_ = Text();
  }

  // Raises an event; false when a handler destroyed the host window, after
  // which this object may no longer exist and must not be touched.
  bool RaiseWhileAlive(HtmlViewerEvent event, std::initializer_list<int32_t> args, EventNotice* answer) {
    HWND host = hwnd();
    RaiseEvent(event, args, answer);
    return IsWindow(host) && Control::FromHwnd(host) == this;
  }

  static void SetCancel(VARIANT_BOOL* cancel, const EventNotice& answer) {
    // Only a handler that returned false stops the action.
    if (cancel) *cancel = answer.has_result && answer.result == 0 ? VARIANT_TRUE : VARIANT_FALSE;
  }

  // BrowserEvents
  void BeforeNavigate(const wchar_t* address, VARIANT_BOOL* cancel) override {
    EventNotice answer;
    RaiseNavigationEvent(kWillNavigate, address, &answer);
    SetCancel(cancel, answer);
  }
  void NavigateComplete(const wchar_t* address) override {
    EventNotice answer;
    RaiseNavigationEvent(kNavigated, address, &answer);
  }
  void DocumentComplete(const wchar_t* address) override {
    EventNotice answer;
    RaiseNavigationEvent(kDocumentReady, address, &answer);
  }
  void DownloadBegin() override { RaiseEvent(kLoadStarted); }
  void DownloadComplete() override { RaiseEvent(kLoadFinished); }
  void ProgressChange(long progress, long maximum) override {
    RaiseEvent(kLoadProgress, {maximum == 0 ? 100 : MulDiv(progress, 100, maximum)});
  }
  void StatusTextChange(const wchar_t* text) override {
    status_text_ = Narrow(text);
    RaiseEvent(kStatusTextChanged);
  }
  void TitleChange(const wchar_t* text) override {
    title_ = Narrow(text);
    in_title_event_ = true;
    EventNotice answer;
    if (!RaiseWhileAlive(kTitleChanged, {}, &answer)) return;
    in_title_event_ = false;
    title_ = Text();
  }
  void CommandStateChange(long command, bool enabled) override {
    if (command != kCommandForward && command != kCommandBack) return;
    RaiseEvent(kCommandStateChanged, {command == kCommandForward ? 0 : 1, enabled ? 1 : 0});
  }
  void NewWindow(VARIANT_BOOL* cancel) override {
    EventNotice answer;
    RaiseEvent(kWillOpenNewWindow, {}, &answer);
    SetCancel(cancel, answer);
  }

  HtmlViewerProperties p_;            // FontSize (0..4), Offline, Silent as stored; the address is url_
  Text url_;                          // the last address written or read back
  Text event_url_;                    // the address of the navigation event being raised
  bool in_navigation_event_ = false;  // inside WillNavigate, Navigated or DocumentReady
  Text status_text_;                  // the browser's last status text
  Text title_;                        // the new title inside TitleChanged; the last one read otherwise
  bool in_title_event_ = false;
  bool design_;                 // reads give the stored values
  ComRef<BrowserSite> site_;    // the browser's container; null once torn down
  HWND open_button_ = nullptr;  // with no HTML engine: opens the page in the desktop's browser
  FontHandle notice_font_;      // the notice's text and button

  PageTextView page_text_;        // with no HTML engine: the page's own text under the notice
  bool page_unreadable_ = false;  // the page file at url_ could not be read
};

}  // namespace

void SetBrowserFactory(BrowserFactory factory) { g_factory = factory ? factory : CreateSystemBrowser; }

void SetHtmlEngineCheck(HtmlEngineCheck check) { g_engine_check = check ? check : SystemShowsHtml; }

const ComponentKind kHtmlViewerKind = {
    kKindHtmlViewer,         "HtmlViewer",          kHtmlViewerPropertyCount, kHtmlViewerTypes,
    MakeControl<HtmlViewer>, kHtmlViewerProperties, kHtmlViewerEvents,        kHtmlViewerEventCount};
