// PageView inside MainWindow hosting the tests' own browser object: the calls
// the view makes on the browser, the events it raises from the browser's and
// what url, Caption and StatusText read meanwhile; and the OLE site's identity
// and reference counts through set-up, tear-down and a failed creation.
#include <gtest/gtest.h>
#include <windows.h>
// clang-format off
#include <exdispid.h>
#include <mshtmhst.h>
// clang-format on

#include <span>
#include <string>
#include <vector>

#include "components/html_site_win32.h"
#include "components/html_viewer_win32.h"
#include "components/kinds_win32.h"
#include "core/links.h"
#include "core/page_files.h"
#include "format/program_windows.h"
#include "format/property_fields.h"
#include "format/window_ids.h"
#include "services/services.h"
#include "support/test_support.h"
#include "test_browser.h"
#include "windows/live_window_win32.h"
#include "windows/property_access.h"

namespace {

constexpr int kWidth = 2, kFontSize = PropertyIndex<HtmlViewerProperties>("FontSize"),
              kOffline = PropertyIndex<HtmlViewerProperties>("Offline"),
              kSilent = PropertyIndex<HtmlViewerProperties>("Silent"),
              kUrl = PropertyIndex<HtmlViewerProperties>("url"), kStatusText = kUrl + 1, kCaption = kUrl + 2;

// What a handler saw: the event, its arguments and the three texts read inside.
struct Seen {
  int32_t event;
  std::vector<int32_t> args;
  std::string url, caption, status;
  bool operator==(const Seen&) const = default;
};
std::ostream& operator<<(std::ostream& o, const Seen& s) {
  o << "{event " << s.event << " args";
  for (int32_t a : s.args) o << " " << a;
  return o << ", url \"" << s.url << "\", caption \"" << s.caption << "\", status \"" << s.status << "\"}";
}

std::vector<Seen> g_seen;
enum class Answer { kNothing, kFalse, kTrue } g_answer = Answer::kNothing;
enum class Destroy { kNothing, kPageView, kMainWindow } g_destroy = Destroy::kNothing;

std::string Read(int index) {
  Text t = GetControlText(ids::MainWindow, ids::MainWindow_PageView, index);
  return t.get() ? t.get() : "";
}

HWND PageViewHwnd() {
  LiveWindow* w = FindLiveWindow(ids::MainWindow);
  Control* c = w ? w->FindControl(ids::MainWindow_PageView) : nullptr;
  return c ? c->hwnd() : nullptr;
}

template <int32_t Event>
HandlerResult Record(const int32_t* args, int32_t count) {
  g_seen.push_back(
      {Event, std::vector<int32_t>(args, args + count), Read(kUrl), Read(kCaption), Read(kStatusText)});
  if (g_destroy == Destroy::kPageView) DestroyWindow(PageViewHwnd());
  if (g_destroy == Destroy::kMainWindow) DestroyWindow(FindLiveWindow(ids::MainWindow)->hwnd());
  if (g_answer == Answer::kNothing) return {false, 0};
  return {true, g_answer == Answer::kTrue ? 1 : 0};
}

const EventBinding kAllEvents[] = {{0, Record<0>}, {1, Record<1>}, {2, Record<2>}, {3, Record<3>},
                                   {4, Record<4>}, {5, Record<5>}, {6, Record<6>}, {7, Record<7>},
                                   {8, Record<8>}, {9, Record<9>}};

ControlRecord* PageViewRecord() {
  WindowDescription* w = ProgramWindows().Find(ids::MainWindow);
  return w->RecordAt(w->FindRecord(ids::MainWindow_PageView));
}

VARIANT Bstr(const wchar_t* text) {
  VARIANT v;
  V_VT(&v) = VT_BSTR;
  V_BSTR(&v) = SysAllocString(text);  // left to the test's process: a few bytes
  return v;
}
VARIANT ByRef(VARIANT* to) {
  VARIANT v;
  V_VT(&v) = VT_BYREF | VT_VARIANT;
  V_VARIANTREF(&v) = to;
  return v;
}
VARIANT Number(long n) {
  VARIANT v;
  V_VT(&v) = VT_I4;
  V_I4(&v) = n;
  return v;
}
VARIANT Flag(bool b) {
  VARIANT v;
  V_VT(&v) = VT_BOOL;
  V_BOOL(&v) = b ? VARIANT_TRUE : VARIANT_FALSE;
  return v;
}
VARIANT FlagRef(VARIANT_BOOL* b) {
  VARIANT v;
  V_VT(&v) = VT_BYREF | VT_BOOL;
  V_BOOLREF(&v) = b;
  return v;
}
VARIANT DispatchRef(IDispatch** d) {
  VARIANT v;
  V_VT(&v) = VT_BYREF | VT_DISPATCH;
  V_DISPATCHREF(&v) = d;
  return v;
}
VARIANT Empty() {
  VARIANT v;
  VariantInit(&v);
  return v;
}

// The test browser stands for a system that shows HTML.
bool HasEngine() { return true; }

class HtmlViewTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    ReadProgramWindows({});
    SetBrowserFactory(TestBrowser::Create);
    SetHtmlEngineCheck(HasEngine);
  }
  static void TearDownTestSuite() {
    SetBrowserFactory(nullptr);
    SetHtmlEngineCheck(nullptr);
  }

  void SetUp() override {
    PageViewRecord()->bindings = std::span<const EventBinding>(kAllEvents);
    g_seen.clear();
    g_answer = Answer::kNothing;
    g_destroy = Destroy::kNothing;
    window_ = LiveWindow::Load(ids::MainWindow);
    ASSERT_NE(window_, nullptr);
    browser_ = TestBrowser::Last();
    ASSERT_NE(browser_, nullptr);
    browser_->AddRef();  // the test's own, so the object outlives the view
  }
  void TearDown() override {
    if (FindLiveWindow(ids::MainWindow)) window_->Destroy();
    EXPECT_FALSE(browser_->holds_site()) << "the view cleared its client site";
    EXPECT_FALSE(browser_->subscribed()) << "the view disconnected its sink";
    EXPECT_EQ(browser_->Release(), 0u) << "the view released every reference it took";
    EXPECT_EQ(TestBrowser::Alive(), 0);
  }

  // Fires BeforeNavigate2 to `address` and returns the cancel flag as left.
  VARIANT_BOOL BeforeNavigate(const wchar_t* address) {
    VARIANT url = Bstr(address), flags = Number(0), frame = Bstr(L""), post = Empty(), headers = Bstr(L"");
    VARIANT_BOOL cancel = 99;  // neither answer: the view must write one
    browser_->Fire(DISPID_BEFORENAVIGATE2, {Empty(), ByRef(&url), ByRef(&flags), ByRef(&frame), ByRef(&post),
                                            ByRef(&headers), FlagRef(&cancel)});
    return cancel;
  }
  VARIANT_BOOL NewWindow(IDispatch** new_browser) {
    VARIANT_BOOL cancel = 99;
    browser_->Fire(DISPID_NEWWINDOW2, {DispatchRef(new_browser), FlagRef(&cancel)});
    return cancel;
  }

  LiveWindow* window_ = nullptr;
  TestBrowser* browser_ = nullptr;
};

TEST_F(HtmlViewTest, CreationActivatesTheBrowserInPlaceAndAppliesTheStoredFlags) {
  // PageView stores text size 2, offline, not silent and no address: nothing is navigated.
  EXPECT_EQ(browser_->TakeCalls(),
            (std::vector<std::string>{"SetClientSite", "DoVerb -5", "Advise", "put_Offline -1",
                                      "put_Silent 0", "ExecWB 19 2 i4 2"}));
  HWND host = PageViewHwnd(), inner = browser_->window();
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  ASSERT_TRUE(GetClassInfoExW(GetModuleHandleW(nullptr), L"VelmoraHtmlHost", &wc));
  EXPECT_EQ(wc.style, static_cast<UINT>(CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW));
  EXPECT_EQ(wc.hbrBackground, GetStockObject(WHITE_BRUSH));
  EXPECT_EQ(wc.hCursor, LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)));
  const LONG_PTR kStyle = WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
  EXPECT_EQ(GetWindowLongPtrW(host, GWL_STYLE) & kStyle, kStyle);
  EXPECT_EQ(GetParent(inner), host);
  EXPECT_EQ(GetDlgCtrlID(inner), 0xE900);
  EXPECT_EQ(GetWindowLongPtrW(inner, GWL_STYLE) & (WS_CHILD | WS_VISIBLE), WS_CHILD | WS_VISIBLE);

  // The browser covers the host's client area, also after a resize.
  for (int width : {0, 300}) {
    SCOPED_TRACE(width);
    if (width) SetControlNumber(ids::MainWindow, ids::MainWindow_PageView, kWidth, width);
    RECT client, inside;
    GetClientRect(host, &client);
    GetWindowRect(inner, &inside);
    MapWindowPoints(HWND_DESKTOP, host, reinterpret_cast<POINT*>(&inside), 2);
    EXPECT_TRUE(EqualRect(&client, &inside));
  }
}

TEST_F(HtmlViewTest, WritesBecomeBrowserCallsAndNeverAskForReCreation) {
  browser_->TakeCalls();
  // A GBK path whose character ends in the byte of "\", whatever the system code page.
  const std::string ansi_path = "C:\\pages\\velmora365\x9C\x5C.html";
  const std::wstring wide_path = L"C:\\pages\\velmora365\u6DFA.html";
  const std::string flat_rest = " flags i4 0, frame empty, post empty, headers empty";
  const struct {
    const char* label;
    int index;
    int64_t number;
    const char* text;
    std::vector<std::string> calls;
    int64_t reads = 0;  // for the numbers
  } rows[] = {
      {"FontSize 7 is 4", kFontSize, 7, nullptr, {"ExecWB 19 2 i4 4"}, 4},
      {"FontSize -1 is 0", kFontSize, -1, nullptr, {"ExecWB 19 2 i4 0"}, 0},
      {"FontSize 3", kFontSize, 3, nullptr, {"ExecWB 19 2 i4 3"}, 3},
      {"Offline off", kOffline, 0, nullptr, {"put_Offline 0"}, 0},
      {"Offline 5 is on", kOffline, 5, nullptr, {"put_Offline -1"}, 1},
      {"Silent on", kSilent, 1, nullptr, {"put_Silent -1"}, 1},
      {"url: a path, unchanged",
       kUrl,
       0,
       ansi_path.c_str(),
       {"Navigate \"" + Utf8(wide_path) + "\"" + flat_rest}},
      {"url: empty still navigates", kUrl, 0, "", {"Navigate \"\"" + flat_rest}},
      {"url: null stores and navigates the empty text", kUrl, 0, nullptr, {"Navigate \"\"" + flat_rest}},
      {"StatusText is read only", kStatusText, 0, "x", {}},
      {"Caption is read only", kCaption, 0, "x", {}},
  };
  Control* view = window_->FindControl(ids::MainWindow_PageView);
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    PropertyIn in;
    in.number = row.number;
    in.text = row.text;
    SetControlProperty(ids::MainWindow, ids::MainWindow_PageView, row.index, -1, in);
    EXPECT_EQ(browser_->TakeCalls(), row.calls);
    EXPECT_EQ(window_->FindControl(ids::MainWindow_PageView), view) << "not made again";
    if (row.index != kUrl && row.index < kStatusText) {
      EXPECT_EQ(GetControlNumber(ids::MainWindow, ids::MainWindow_PageView, row.index), row.reads);
    }
  }
  EXPECT_EQ(Read(kStatusText), "") << "writing it changed nothing";
  EXPECT_EQ(Read(kCaption), Utf8(browser_->location_name));

  // Outside an event url reads the browser's location, which is then stored.
  EXPECT_EQ(Read(kUrl), Utf8(browser_->location_url));
  Bytes saved = view->SaveProperties();
  HtmlViewerProperties p;
  ASSERT_EQ(ReadHtmlViewerProperties(ByteView{saved.data(), static_cast<uint32_t>(saved.size())}, &p),
            StreamResult::kOk);
  EXPECT_EQ((std::vector<int32_t>{static_cast<int32_t>(p.version), p.FontSize, p.Offline, p.Silent}),
            (std::vector<int32_t>{1, 3, 1, 1}));
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(p.url.data), p.url.size), Utf8(browser_->location_url));
}

// The handlers behind the pictures: a tab leaves the view where it is, and a
// page is navigated to each time, also the page already on show.
TEST_F(HtmlViewTest, TabsLeaveTheViewAloneAndAPageIsNavigatedToEachTime) {
  ScratchDir dir;
  RecordRunDirectory(dir.File("velmora.exe").c_str(), IsGbkLeadByte);
  ASSERT_TRUE(PlaceContentPages());
  browser_->TakeCalls();
  const std::string page2 =
      "Navigate \"" + dir.File("dashayh263.html") + "\" flags i4 0, frame empty, post empty, headers empty";
  const struct {
    const char* label;
    void (*handler)(int32_t, int32_t, int32_t);
    std::vector<std::string> calls;
  } rows[] = {{"SelectTab1", SelectTab1, {}},
              {"ShowPage2", ShowPage2, {page2}},
              {"ShowPage2 again", ShowPage2, {page2}},
              {"SelectTab0: the view takes the focus back", SelectTab0, {"DoVerb -4"}}};
  for (const auto& row : rows) {
    row.handler(0, 0, 0);
    EXPECT_EQ(browser_->TakeCalls(), row.calls) << row.label;
  }
  RemoveContentPages();
}

TEST_F(HtmlViewTest, EachBrowserEventRaisesItsEventWithTheTextsItTellsOf) {
  const std::string location = Utf8(browser_->location_url), name = Utf8(browser_->location_name);
  const std::string title = Encode(L"新的标题", 936), status = Encode(L"正在载入", 936);
  VARIANT address = Bstr(L"file:///C:/pages/a.html");
  IDispatch* new_browser = nullptr;
  EXPECT_EQ(Read(kStatusText), "") << "empty until the browser first reports one";
  const struct {
    const char* label;
    DISPID id;
    std::vector<VARIANT> args;
    std::vector<Seen> seen;  // the status text is the one before the row's own change
  } rows[] = {
      {"NavigateComplete2",
       DISPID_NAVIGATECOMPLETE2,
       {Empty(), ByRef(&address)},
       {{1, {}, "file:///C:/pages/a.html", name, ""}}},
      {"DocumentComplete",
       DISPID_DOCUMENTCOMPLETE,
       {Empty(), ByRef(&address)},
       {{5, {}, "file:///C:/pages/a.html", name, ""}}},
      {"DownloadBegin", DISPID_DOWNLOADBEGIN, {}, {{2, {}, location, name, ""}}},
      {"DownloadComplete", DISPID_DOWNLOADCOMPLETE, {}, {{4, {}, location, name, ""}}},
      {"ProgressChange 50 of 200",
       DISPID_PROGRESSCHANGE,
       {Number(50), Number(200)},
       {{3, {25}, location, name, ""}}},
      {"ProgressChange 2 of 3 rounds",
       DISPID_PROGRESSCHANGE,
       {Number(2), Number(3)},
       {{3, {67}, location, name, ""}}},
      {"ProgressChange, maximum 0",
       DISPID_PROGRESSCHANGE,
       {Number(5), Number(0)},
       {{3, {100}, location, name, ""}}},
      {"CommandStateChange forward on",
       DISPID_COMMANDSTATECHANGE,
       {Number(1), Flag(true)},
       {{8, {0, 1}, location, name, ""}}},
      {"CommandStateChange back off",
       DISPID_COMMANDSTATECHANGE,
       {Number(2), Flag(false)},
       {{8, {1, 0}, location, name, ""}}},
      {"CommandStateChange, another command", DISPID_COMMANDSTATECHANGE, {Number(-1), Flag(true)}, {}},
      {"StatusTextChange", DISPID_STATUSTEXTCHANGE, {Bstr(L"正在载入")}, {{6, {}, location, name, status}}},
      {"TitleChange", DISPID_TITLECHANGE, {Bstr(L"新的标题")}, {{7, {}, location, title, status}}},
      {"NewWindow2",
       DISPID_NEWWINDOW2,
       {DispatchRef(&new_browser), FlagRef(nullptr)},
       {{9, {}, location, name, status}}},
      {"PropertyChange", DISPID_PROPERTYCHANGE, {Bstr(L"p")}, {}},
      {"OnQuit", DISPID_ONQUIT, {}, {}},
      {"OnVisible", DISPID_ONVISIBLE, {Flag(true)}, {}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    browser_->Fire(row.id, row.args);
    EXPECT_EQ(g_seen, row.seen);
    g_seen.clear();
  }
  EXPECT_EQ(new_browser, nullptr) << "the browser opens new windows itself";
  // After the events: the status text stays, the title is the location's again.
  EXPECT_EQ(Read(kStatusText), status);
  EXPECT_EQ(Read(kCaption), name);
  EXPECT_EQ(Read(kUrl), location);
}

TEST_F(HtmlViewTest, OnlyAHandlerReturningFalseCancelsANavigationOrANewWindow) {
  const struct {
    const char* label;
    bool bound;
    Answer answer;
    VARIANT_BOOL cancel;
  } rows[] = {
      {"no handler", false, Answer::kNothing, VARIANT_FALSE},
      {"returns nothing", true, Answer::kNothing, VARIANT_FALSE},
      {"returns true", true, Answer::kTrue, VARIANT_FALSE},
      {"returns false", true, Answer::kFalse, VARIANT_TRUE},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    PageViewRecord()->bindings =
        row.bound ? std::span<const EventBinding>(kAllEvents) : std::span<const EventBinding>();
    g_answer = row.answer;
    EXPECT_EQ(BeforeNavigate(L"http://target.example/next.html"), row.cancel);
    IDispatch* new_browser = nullptr;
    EXPECT_EQ(NewWindow(&new_browser), row.cancel);
    if (row.bound) {
      const std::string location = Utf8(browser_->location_url);
      ASSERT_EQ(g_seen.size(), 2u);
      EXPECT_EQ(g_seen[0],
                (Seen{0, {}, "http://target.example/next.html", Utf8(browser_->location_name), ""}))
          << "url reads the pending navigation's target inside WillNavigate";
      EXPECT_EQ(g_seen[1].event, 9);
      EXPECT_EQ(g_seen[1].url, location);
    }
    g_seen.clear();
    EXPECT_EQ(Read(kUrl), Utf8(browser_->location_url)) << "after the event, the location again";
  }
}

TEST_F(HtmlViewTest, AHandlerThatDestroysTheWindowInsideAnEventEndsTheViewCleanly) {
  for (Destroy what : {Destroy::kPageView, Destroy::kMainWindow}) {
    SCOPED_TRACE(what == Destroy::kPageView ? "PageView" : "MainWindow");
    if (what == Destroy::kMainWindow) {
      TearDown();
      SetUp();
    }
    browser_->TakeCalls();
    g_destroy = what;
    g_answer = Answer::kFalse;
    EXPECT_EQ(BeforeNavigate(L"http://target.example/"), VARIANT_TRUE) << "the answer still counts";
    EXPECT_EQ(PageViewHwnd(), nullptr);
    EXPECT_EQ(browser_->TakeCalls(), (std::vector<std::string>{"InPlaceDeactivate", "Unadvise 7", "Close",
                                                               "InPlaceDeactivate", "SetClientSite null"}))
        << "torn down inside the event, in order";
    EXPECT_EQ(browser_->window(), nullptr) << "its window went with the view";
  }
}

TEST_F(HtmlViewTest, TheFocusGoesToTheBrowserWhichThenTakesKeysFirst) {
  ShowWindow(window_->hwnd(), SW_SHOW);
  SetForegroundWindow(window_->hwnd());
  browser_->TakeCalls();
  SetFocus(PageViewHwnd());
  EXPECT_EQ(GetFocus(), browser_->window());
  EXPECT_EQ(browser_->TakeCalls(), std::vector<std::string>{"DoVerb -4"});
  const struct {
    UINT message;
    WPARAM key;
    bool taken;
    std::vector<std::string> calls;
  } rows[] = {
      {WM_KEYDOWN, VK_TAB, true, {"TranslateAccelerator 9"}},
      {WM_KEYDOWN, 'A', false, {"TranslateAccelerator 65"}},
      {WM_LBUTTONDOWN, 0, false, {}},
  };
  for (const auto& row : rows) {
    MSG msg{};
    msg.hwnd = browser_->window();
    msg.message = row.message;
    msg.wParam = row.key;
    EXPECT_EQ(PreTranslateKeyMessage(&msg), row.taken) << row.key;
    EXPECT_EQ(browser_->TakeCalls(), row.calls);
  }
}

// The site alone, on a window of the test's own.
class BrowserSiteTest : public ::testing::Test, private BrowserEvents {
 protected:
  void SetUp() override {
    host_ = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 200, 100, nullptr, nullptr, nullptr, nullptr);
    site_ = new BrowserSite(this);
  }
  void TearDown() override {
    EXPECT_EQ(site_->Release(), 0u);
    DestroyWindow(host_);
    EXPECT_EQ(TestBrowser::Alive(), 0);
  }
  // Our reference count as the site reports it.
  ULONG References() {
    site_->AddRef();
    return site_->Release();
  }

  void BeforeNavigate(const wchar_t*, VARIANT_BOOL*) override {}
  void NavigateComplete(const wchar_t*) override {}
  void DocumentComplete(const wchar_t*) override {}
  void DownloadBegin() override {}
  void DownloadComplete() override {}
  void ProgressChange(long, long) override {}
  void StatusTextChange(const wchar_t*) override {}
  void TitleChange(const wchar_t*) override {}
  void CommandStateChange(long, bool) override {}
  void NewWindow(VARIANT_BOOL*) override {}

  HWND host_ = nullptr;
  BrowserSite* site_ = nullptr;
};

TEST_F(BrowserSiteTest, EveryInterfaceAnswersForTheOneObjectAndOthersAreRefused) {
  IUnknown* identity = nullptr;
  ASSERT_EQ(site_->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&identity)), S_OK);
  const struct {
    const char* name;
    IID iid;
    void* expected;  // the interface's own part of the object
  } rows[] = {
      {"IUnknown", IID_IUnknown, static_cast<IOleClientSite*>(site_)},
      {"IOleClientSite", IID_IOleClientSite, static_cast<IOleClientSite*>(site_)},
      {"IOleWindow", IID_IOleWindow, static_cast<IOleInPlaceSite*>(site_)},
      {"IOleInPlaceSite", IID_IOleInPlaceSite, static_cast<IOleInPlaceSite*>(site_)},
      {"IOleInPlaceUIWindow", IID_IOleInPlaceUIWindow, static_cast<IOleInPlaceFrame*>(site_)},
      {"IOleInPlaceFrame", IID_IOleInPlaceFrame, static_cast<IOleInPlaceFrame*>(site_)},
      {"IDispatch", IID_IDispatch, static_cast<IDispatch*>(site_)},
      {"DWebBrowserEvents2", DIID_DWebBrowserEvents2, static_cast<IDispatch*>(site_)},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    IUnknown* got = nullptr;
    ASSERT_EQ(site_->QueryInterface(row.iid, reinterpret_cast<void**>(&got)), S_OK);
    EXPECT_EQ(static_cast<void*>(got), row.expected);
    IUnknown* back = nullptr;
    ASSERT_EQ(got->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&back)), S_OK);
    EXPECT_EQ(back, identity) << "the same IUnknown from every interface";
    back->Release();
    got->Release();
  }
  const struct {
    const char* name;
    IID iid;
  } refused[] = {{"IDocHostUIHandler", IID_IDocHostUIHandler}, {"IOleControlSite", IID_IOleControlSite},
                 {"IOleContainer", IID_IOleContainer},         {"IServiceProvider", IID_IServiceProvider},
                 {"IOleInPlaceSiteEx", IID_IOleInPlaceSiteEx}, {"IOleCommandTarget", IID_IOleCommandTarget}};
  for (const auto& row : refused) {
    void* got = &got;
    EXPECT_EQ(site_->QueryInterface(row.iid, &got), E_NOINTERFACE) << row.name;
    EXPECT_EQ(got, nullptr) << row.name;
  }
  identity->Release();
  EXPECT_EQ(References(), 1u);
}

TEST_F(BrowserSiteTest, OpenAndCloseAndAFailureHalfwayLeaveTheCountsWhereTheyStarted) {
  const struct {
    const char* label;
    BrowserFailure failure;
    bool opens;
  } rows[] = {
      {"opens", BrowserFailure::kNone, true},
      {"activation fails", BrowserFailure::kActivation, false},
      {"no IWebBrowser2", BrowserFailure::kNoWebBrowser2, false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    TestBrowser::next_failure = row.failure;
    EXPECT_EQ(site_->Open(host_, TestBrowser::Create), row.opens);
    EXPECT_EQ(site_->browser() != nullptr, row.opens);
    EXPECT_EQ(GetWindow(host_, GW_CHILD) != nullptr, row.opens) << "a failure leaves no window";
    MSG tab{nullptr, WM_KEYDOWN, VK_TAB, 0, 0, {}};
    EXPECT_EQ(site_->TranslateKey(&tab), row.opens)
        << "keys reach a browser that handed no active object over";
    site_->Close();
    EXPECT_EQ(GetWindow(host_, GW_CHILD), nullptr);
    EXPECT_EQ(References(), 1u);
    EXPECT_EQ(TestBrowser::Alive(), 0) << "the browser was released to the end";
  }
}

TEST(HtmlViewerKind, StoredBlocksAndAFailingBrowser) {
  SetBrowserFactory(TestBrowser::Create);
  SetHtmlEngineCheck(HasEngine);
  HWND parent =
      CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 300, 200, nullptr, nullptr, nullptr, nullptr);
  const ComponentKind* kind = FindComponentKind(kKindHtmlViewer);
  ASSERT_NE(kind, nullptr);
  auto block = [](uint32_t version, int32_t size, int32_t offline, int32_t silent, const std::string& url) {
    std::vector<uint8_t> b;
    for (uint32_t v : {version, static_cast<uint32_t>(size), static_cast<uint32_t>(offline),
                       static_cast<uint32_t>(silent), static_cast<uint32_t>(url.size())}) {
      for (int i = 0; i < 4; ++i) b.push_back(static_cast<uint8_t>(v >> (8 * i)));
    }
    b.insert(b.end(), url.begin(), url.end());
    return b;
  };
  const std::vector<uint8_t> cut = [&] {
    auto b = block(1, 2, 0, 0, "a.html");
    b.pop_back();
    return b;
  }();
  const struct {
    const char* label;
    std::vector<uint8_t> stored;
    BrowserFailure failure;
    bool made;
    std::vector<std::string> calls;
  } rows[] = {
      {"empty block: defaults",
       {},
       BrowserFailure::kNone,
       true,
       {"put_Offline 0", "put_Silent 0", "ExecWB 19 2 i4 2"}},
      {"stored address is navigated, size 9 is 4",
       block(1, 9, 1, 1, "a.html"),
       BrowserFailure::kNone,
       true,
       {"put_Offline -1", "put_Silent -1", "ExecWB 19 2 i4 4",
        "Navigate \"a.html\" flags i4 0, frame empty, post empty, headers empty"}},
      {"version 2", block(2, 2, 0, 0, ""), BrowserFailure::kNone, false, {}},
      {"ends inside the address", cut, BrowserFailure::kNone, false, {}},
      {"the browser cannot be activated", {}, BrowserFailure::kActivation, false, {}},
      {"no IWebBrowser2", {}, BrowserFailure::kNoWebBrowser2, false, {}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    TestBrowser::next_failure = row.failure;
    CreateArgs args;
    args.properties = ByteView{row.stored.data(), static_cast<uint32_t>(row.stored.size())};
    args.parent = parent;
    args.child_id = 100;
    args.width = 200;
    args.height = 100;
    args.window_id = ids::MainWindow;
    args.control_id = ids::MainWindow_PageView;
    Control* made = kind->create(args);
    EXPECT_EQ(made != nullptr, row.made);
    EXPECT_EQ(GetWindow(parent, GW_CHILD) != nullptr, row.made) << "a failed creation leaves no window";
    if (made) {
      std::vector<std::string> calls = TestBrowser::Last()->TakeCalls();
      calls.erase(calls.begin(), calls.begin() + 3);  // SetClientSite, DoVerb, Advise
      EXPECT_EQ(calls, row.calls);
      delete made;
    }
    EXPECT_EQ(TestBrowser::Alive(), 0);
  }

  // Made for a designer, the control reads its stored address and flags, not the browser's.
  const std::vector<uint8_t> stored = block(1, 2, 1, 1, "a.html");
  CreateArgs args;
  args.properties = ByteView{stored.data(), static_cast<uint32_t>(stored.size())};
  args.parent = parent;
  args.width = 200;
  args.height = 100;
  args.design = true;
  Control* designed = kind->create(args);
  ASSERT_NE(designed, nullptr);
  TestBrowser::Last()->put_Offline(VARIANT_FALSE);
  TestBrowser::Last()->put_Silent(VARIANT_FALSE);
  const int32_t own[] = {kOffline - 8, kSilent - 8, kUrl - 8};
  std::vector<std::string> reads;
  for (int32_t index : own) {
    PropertyOut out;
    ASSERT_EQ(designed->GetProperty(index, -1, &out), PropertyRead::kAnswered);
    reads.push_back(out.text.get() ? out.text.get() : std::to_string(out.number));
  }
  EXPECT_EQ(reads, (std::vector<std::string>{"1", "1", "a.html"}));
  delete designed;
  EXPECT_EQ(TestBrowser::Alive(), 0);
  DestroyWindow(parent);
  SetBrowserFactory(nullptr);
  SetHtmlEngineCheck(nullptr);
}

}  // namespace

int main(int argc, char** argv) { return RunTestMain(argc, argv); }
