#include "test_browser.h"

#include <olectl.h>

#include <utility>

TestBrowser* TestBrowser::last_ = nullptr;
int TestBrowser::alive_ = 0;
BrowserFailure TestBrowser::next_failure = BrowserFailure::kNone;

namespace {

const wchar_t kWindowClass[] = L"VelmoraTestBrowser";

std::string Shown(const VARIANT* v) {
  if (!v) return "null";
  if (V_VT(v) == VT_EMPTY) return "empty";
  if (V_VT(v) == VT_I4) return "i4 " + std::to_string(V_I4(v));
  return "vt " + std::to_string(V_VT(v));
}

}  // namespace

std::string Encode(const std::wstring& text, UINT code_page) {
  const int n = WideCharToMultiByte(code_page, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string out(n > 0 ? n - 1 : 0, '\0');
  if (n > 1) WideCharToMultiByte(code_page, 0, text.c_str(), -1, out.data(), n, nullptr, nullptr);
  return out;
}

std::string Utf8(const std::wstring& text) { return Encode(text, CP_UTF8); }

TestBrowser::TestBrowser() : failure_(std::exchange(next_failure, BrowserFailure::kNone)) {
  point_.outer = this;
  active_.outer = this;
  ++alive_;
  last_ = this;
}

TestBrowser::~TestBrowser() {
  --alive_;
  if (last_ == this) last_ = nullptr;
  if (window_) DestroyWindow(window_);
}

HRESULT TestBrowser::Create(IUnknown** out) {
  *out = static_cast<IWebBrowser2*>(new TestBrowser);
  return S_OK;
}

std::vector<std::string> TestBrowser::TakeCalls() { return std::exchange(calls_, {}); }

void TestBrowser::Fire(DISPID id, std::vector<VARIANT> args) {
  if (!sink_) return;
  AddRef();  // as the real control does: a handler may let go of it
  std::vector<VARIANT> reversed(args.rbegin(), args.rend());
  DISPPARAMS params{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
  ComRef<IDispatch> sink(sink_.get());
  sink->AddRef();
  sink->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr);
  Release();
}

STDMETHODIMP TestBrowser::QueryInterface(REFIID iid, void** out) {
  if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IWebBrowser || iid == IID_IWebBrowserApp) {
    *out = static_cast<IWebBrowser2*>(this);
  } else if (iid == IID_IWebBrowser2 && failure_ != BrowserFailure::kNoWebBrowser2) {
    *out = static_cast<IWebBrowser2*>(this);
  } else if (iid == IID_IOleObject) {
    *out = static_cast<IOleObject*>(this);
  } else if (iid == IID_IOleWindow || iid == IID_IOleInPlaceObject) {
    *out = static_cast<IOleInPlaceObject*>(this);
  } else if (iid == IID_IConnectionPointContainer) {
    *out = static_cast<IConnectionPointContainer*>(this);
  } else if (iid == IID_IOleInPlaceActiveObject) {
    *out = &active_;
  } else {
    *out = nullptr;
    return E_NOINTERFACE;
  }
  AddRef();
  return S_OK;
}

STDMETHODIMP_(ULONG) TestBrowser::Release() {
  const ULONG left = --references_;
  if (left == 0) delete this;
  return left;
}

STDMETHODIMP TestBrowser::Navigate(BSTR url, VARIANT* flags, VARIANT* frame, VARIANT* post,
                                   VARIANT* headers) {
  Log("Navigate \"" + Utf8(url ? url : L"(null)") + "\" flags " + Shown(flags) + ", frame " + Shown(frame) +
      ", post " + Shown(post) + ", headers " + Shown(headers));
  return S_OK;
}

STDMETHODIMP TestBrowser::ExecWB(OLECMDID id, OLECMDEXECOPT option, VARIANT* in, VARIANT* out) {
  Log("ExecWB " + std::to_string(id) + " " + std::to_string(option) + " " + Shown(in) + (out ? " out" : ""));
  return S_OK;
}

STDMETHODIMP TestBrowser::get_LocationName(BSTR* name) {
  *name = SysAllocString(location_name.c_str());
  return S_OK;
}

STDMETHODIMP TestBrowser::get_LocationURL(BSTR* url) {
  *url = SysAllocString(location_url.c_str());
  return S_OK;
}

STDMETHODIMP TestBrowser::put_Offline(VARIANT_BOOL v) {
  Log("put_Offline " + std::to_string(v));
  offline_ = v;
  return S_OK;
}

STDMETHODIMP TestBrowser::put_Silent(VARIANT_BOOL v) {
  Log("put_Silent " + std::to_string(v));
  silent_ = v;
  return S_OK;
}

STDMETHODIMP TestBrowser::SetClientSite(IOleClientSite* site) {
  Log(site ? "SetClientSite" : "SetClientSite null");
  if (site) site->AddRef();
  site_.Reset(site);
  return S_OK;
}

STDMETHODIMP TestBrowser::Close(DWORD) {
  Log("Close");
  InPlaceDeactivate();
  return S_OK;
}

STDMETHODIMP TestBrowser::DoVerb(LONG verb, MSG*, IOleClientSite* site, LONG, HWND parent, LPCRECT rect) {
  Log("DoVerb " + std::to_string(verb));
  if (verb == OLEIVERB_UIACTIVATE) return in_place_site_ ? S_OK : E_FAIL;
  if (failure_ == BrowserFailure::kActivation || verb != OLEIVERB_INPLACEACTIVATE || !site) return E_FAIL;
  in_place_site_ = ComRef<IOleInPlaceSite>(kComQuery, site);
  HWND site_window = nullptr;
  if (!in_place_site_ || in_place_site_->GetWindow(&site_window) != S_OK || site_window != parent)
    return E_FAIL;
  in_place_site_->CanInPlaceActivate();
  in_place_site_->OnInPlaceActivate();
  IOleInPlaceUIWindow* document = nullptr;
  RECT position{}, clip{};
  OLEINPLACEFRAMEINFO info{};
  info.cb = sizeof info;
  in_place_site_->GetWindowContext(frame_.out(), &document, &position, &clip, &info);
  if (document) document->Release();
  WNDCLASSW wc{};
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = kWindowClass;
  RegisterClassW(&wc);
  // Made hidden and without an identifier: showing and numbering it are the view's.
  window_ = CreateWindowExW(0, kWindowClass, L"", WS_CHILD, rect->left, rect->top, rect->right - rect->left,
                            rect->bottom - rect->top, parent, nullptr, GetModuleHandleW(nullptr), nullptr);
  SetPropW(window_, L"TestBrowser", this);
  return S_OK;
}

STDMETHODIMP TestBrowser::InPlaceDeactivate() {
  Log("InPlaceDeactivate");
  if (frame_) frame_->SetActiveObject(nullptr, nullptr);
  frame_.Reset();
  if (in_place_site_) in_place_site_->OnInPlaceDeactivate();
  in_place_site_.Reset();
  return S_OK;
}

STDMETHODIMP TestBrowser::FindConnectionPoint(REFIID iid, IConnectionPoint** point) {
  if (iid != DIID_DWebBrowserEvents2) return *point = nullptr, CONNECT_E_NOCONNECTION;
  *point = &point_;
  AddRef();
  return S_OK;
}

STDMETHODIMP TestBrowser::EventsPoint::QueryInterface(REFIID iid, void** out) {
  if (iid == IID_IUnknown || iid == IID_IConnectionPoint) {
    *out = this;
    AddRef();
    return S_OK;
  }
  *out = nullptr;
  return E_NOINTERFACE;
}

STDMETHODIMP TestBrowser::EventsPoint::Advise(IUnknown* sink, DWORD* cookie) {
  outer->Log("Advise");
  outer->sink_ = ComRef<IDispatch>(kComQuery, sink);
  *cookie = 7;
  return outer->sink_ ? S_OK : CONNECT_E_CANNOTCONNECT;
}

STDMETHODIMP TestBrowser::EventsPoint::Unadvise(DWORD cookie) {
  outer->Log("Unadvise " + std::to_string(cookie));
  if (cookie != 7) return CONNECT_E_NOCONNECTION;
  outer->sink_.Reset();
  return S_OK;
}

STDMETHODIMP TestBrowser::ActiveObject::TranslateAccelerator(MSG* msg) {
  outer->Log("TranslateAccelerator " + std::to_string(msg->wParam));
  return msg->wParam == VK_TAB ? S_OK : S_FALSE;
}

// Taking the focus makes the browser the frame's active object, as the real one does.
LRESULT CALLBACK TestBrowser::WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  auto* self = static_cast<TestBrowser*>(GetPropW(hwnd, L"TestBrowser"));
  if (msg == WM_SETFOCUS && self && self->frame_) self->frame_->SetActiveObject(&self->active_, L"test");
  if (msg == WM_NCDESTROY) {
    RemovePropW(hwnd, L"TestBrowser");
    if (self) self->window_ = nullptr;
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}
