#include "components/html_site_win32.h"

#include <exdispid.h>

namespace {

// A by-reference variant seen through to what it refers to.
const VARIANT* Referred(const VARIANT* v) {
  return v && V_VT(v) == (VT_BYREF | VT_VARIANT) ? V_VARIANTREF(v) : v;
}

// The browser lists arguments last first; a missing one reads as null.
const VARIANT* Argument(const DISPPARAMS& params, UINT from_first, UINT count) {
  if (params.cArgs != count || !params.rgvarg) return nullptr;
  return Referred(&params.rgvarg[count - 1 - from_first]);
}

const wchar_t* TextOf(const VARIANT* v) {
  if (!v) return nullptr;
  if (V_VT(v) == VT_BSTR) return V_BSTR(v);
  if (V_VT(v) == (VT_BYREF | VT_BSTR) && V_BSTRREF(v)) return *V_BSTRREF(v);
  return nullptr;
}

long NumberOf(const VARIANT* v) {
  if (!v) return 0;
  VARIANT n;
  VariantInit(&n);
  if (FAILED(VariantChangeType(&n, const_cast<VARIANT*>(v), 0, VT_I4))) return 0;
  return V_I4(&n);
}

VARIANT_BOOL* CancelFlagOf(const VARIANT* v) {
  return v && V_VT(v) == (VT_BYREF | VT_BOOL) ? V_BOOLREF(v) : nullptr;
}

// Keeps the site alive while it calls out: a handler may close it.
class KeepAlive {
 public:
  explicit KeepAlive(IUnknown* object) : object_(object) { object_->AddRef(); }
  KeepAlive(const KeepAlive&) = delete;
  KeepAlive& operator=(const KeepAlive&) = delete;
  ~KeepAlive() { object_->Release(); }

 private:
  IUnknown* object_;
};

}  // namespace

HRESULT CreateSystemBrowser(IUnknown** out) {
  return CoCreateInstance(CLSID_WebBrowser, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                          reinterpret_cast<void**>(out));
}

bool BrowserSite::Open(HWND host, BrowserFactory factory) {
  host_ = host;
  ComRef<IUnknown> made;
  if (!factory || FAILED(factory(made.out())) || !made) return false;
  object_ = ComRef<IOleObject>(kComQuery, made.get());
  if (!object_ || FAILED(object_->SetClientSite(this))) {
    Close();
    return false;
  }
  if (ComRef<IPersistStreamInit> persist(kComQuery, made.get()); persist) persist->InitNew();
  RECT client{};
  GetClientRect(host, &client);
  in_place_ = ComRef<IOleInPlaceObject>(kComQuery, made.get());
  if (FAILED(object_->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, this, 0, host, &client)) || !in_place_ ||
      FAILED(in_place_->GetWindow(&browser_window_)) || !browser_window_) {
    browser_window_ = nullptr;
    Close();
    return false;
  }
  SetWindowLongPtrW(browser_window_, GWLP_ID, kBrowserChildId);
  SetWindowPos(browser_window_, nullptr, 0, 0, client.right, client.bottom,
               SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
  browser_ = ComRef<IWebBrowser2>(kComQuery, made.get());
  if (!browser_) {
    Close();
    return false;
  }
  // Without the subscription the view still shows pages; it only raises nothing.
  ComRef<IConnectionPointContainer> points(kComQuery, made.get());
  if (points && SUCCEEDED(points->FindConnectionPoint(DIID_DWebBrowserEvents2, events_point_.out())) &&
      FAILED(events_point_->Advise(static_cast<IDispatch*>(this), &events_cookie_))) {
    events_cookie_ = 0;
  }
  return true;
}

void BrowserSite::Close() {
  events_ = nullptr;
  if (in_place_) in_place_->InPlaceDeactivate();
  if (events_point_ && events_cookie_) events_point_->Unadvise(events_cookie_);
  events_cookie_ = 0;
  events_point_.Reset();
  if (object_) {
    // Closed while it still has its site, as the control expects; the site goes last.
    object_->Close(OLECLOSE_NOSAVE);
    object_->SetClientSite(nullptr);
  }
  if (browser_window_ && IsWindow(browser_window_) && GetParent(browser_window_) == host_) {
    DestroyWindow(browser_window_);
  }
  browser_window_ = nullptr;
  active_.Reset();
  browser_.Reset();
  in_place_.Reset();
  object_.Reset();
}

void BrowserSite::Place(const RECT& rect) {
  if (browser_window_) {
    SetWindowPos(browser_window_, nullptr, rect.left, rect.top, rect.right - rect.left,
                 rect.bottom - rect.top, SWP_NOZORDER | SWP_NOACTIVATE);
  }
  if (in_place_) in_place_->SetObjectRects(&rect, &rect);
}

void BrowserSite::TakeFocus() {
  if (!object_ || !browser_window_) return;
  // Only a UI-active browser hands over its active object and scrolls with the keys.
  RECT client{};
  GetClientRect(host_, &client);
  object_->DoVerb(OLEIVERB_UIACTIVATE, nullptr, this, 0, host_, &client);
  const HWND focus = GetFocus();
  if (browser_window_ && focus != browser_window_ && !IsChild(browser_window_, focus))
    SetFocus(browser_window_);
}

bool BrowserSite::TranslateKey(MSG* msg) {
  // Held for the call, as the browser may replace it from inside; asked of the browser when none was handed
  // over.
  ComRef<IOleInPlaceActiveObject> active(kComQuery,
                                         active_ ? static_cast<IUnknown*>(active_.get()) : object_.get());
  return active && active->TranslateAccelerator(msg) == S_OK;
}

STDMETHODIMP BrowserSite::QueryInterface(REFIID iid, void** out) {
  if (!out) return E_POINTER;
  if (iid == IID_IUnknown || iid == IID_IOleClientSite) {
    *out = static_cast<IOleClientSite*>(this);
  } else if (iid == IID_IOleWindow || iid == IID_IOleInPlaceSite) {
    *out = static_cast<IOleInPlaceSite*>(this);
  } else if (iid == IID_IOleInPlaceUIWindow || iid == IID_IOleInPlaceFrame) {
    *out = static_cast<IOleInPlaceFrame*>(this);
  } else if (iid == IID_IDispatch || iid == DIID_DWebBrowserEvents2) {
    *out = static_cast<IDispatch*>(this);
  } else {
    *out = nullptr;
    return E_NOINTERFACE;
  }
  AddRef();
  return S_OK;
}

STDMETHODIMP_(ULONG) BrowserSite::AddRef() { return static_cast<ULONG>(++references_); }

STDMETHODIMP_(ULONG) BrowserSite::Release() {
  const LONG left = --references_;
  if (left == 0) delete this;
  return static_cast<ULONG>(left);
}

STDMETHODIMP BrowserSite::GetWindow(HWND* hwnd) {
  if (!hwnd) return E_POINTER;
  *hwnd = host_;
  return host_ ? S_OK : E_FAIL;
}

STDMETHODIMP BrowserSite::GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document,
                                           RECT* position, RECT* clip, OLEINPLACEFRAMEINFO* info) {
  if (!frame || !document || !position || !clip || !info) return E_POINTER;
  *frame = this;
  AddRef();
  *document = nullptr;  // the frame is the document window too
  GetClientRect(host_, position);
  *clip = *position;
  info->fMDIApp = FALSE;
  info->hwndFrame = GetAncestor(host_, GA_ROOT);
  info->haccel = nullptr;
  info->cAccelEntries = 0;
  return S_OK;
}

STDMETHODIMP BrowserSite::SetActiveObject(IOleInPlaceActiveObject* object, LPCOLESTR) {
  if (object) object->AddRef();
  active_.Reset(object);
  return S_OK;
}

STDMETHODIMP BrowserSite::GetTypeInfoCount(UINT* count) {
  if (!count) return E_POINTER;
  *count = 0;
  return S_OK;
}

STDMETHODIMP BrowserSite::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*,
                                 UINT*) {
  if (!params) return E_INVALIDARG;
  switch (id) {
    case DISPID_BEFORENAVIGATE2:
    case DISPID_NAVIGATECOMPLETE2:
    case DISPID_DOCUMENTCOMPLETE:
    case DISPID_DOWNLOADBEGIN:
    case DISPID_DOWNLOADCOMPLETE:
    case DISPID_PROGRESSCHANGE:
    case DISPID_STATUSTEXTCHANGE:
    case DISPID_TITLECHANGE:
    case DISPID_COMMANDSTATECHANGE:
    case DISPID_NEWWINDOW2:
      break;
    default:
      return DISP_E_MEMBERNOTFOUND;  // PropertyChange, OnQuit, OnVisible, ambient properties
  }
  if (events_) {
    KeepAlive keep(static_cast<IOleClientSite*>(this));
    HandEvent(id, *params);
  }
  return S_OK;
}

void BrowserSite::HandEvent(DISPID id, const DISPPARAMS& p) {
  switch (id) {
    case DISPID_BEFORENAVIGATE2:  // (browser, address, flags, frame, post data, headers, cancel)
      events_->BeforeNavigate(TextOf(Argument(p, 1, 7)), CancelFlagOf(Argument(p, 6, 7)));
      break;
    case DISPID_NAVIGATECOMPLETE2:  // (browser, address)
      events_->NavigateComplete(TextOf(Argument(p, 1, 2)));
      break;
    case DISPID_DOCUMENTCOMPLETE:  // (browser, address)
      events_->DocumentComplete(TextOf(Argument(p, 1, 2)));
      break;
    case DISPID_DOWNLOADBEGIN:
      events_->DownloadBegin();
      break;
    case DISPID_DOWNLOADCOMPLETE:
      events_->DownloadComplete();
      break;
    case DISPID_PROGRESSCHANGE:  // (progress, maximum)
      events_->ProgressChange(NumberOf(Argument(p, 0, 2)), NumberOf(Argument(p, 1, 2)));
      break;
    case DISPID_STATUSTEXTCHANGE:  // (text)
      events_->StatusTextChange(TextOf(Argument(p, 0, 1)));
      break;
    case DISPID_TITLECHANGE:  // (text)
      events_->TitleChange(TextOf(Argument(p, 0, 1)));
      break;
    case DISPID_COMMANDSTATECHANGE:  // (command, enabled)
      events_->CommandStateChange(NumberOf(Argument(p, 0, 2)), NumberOf(Argument(p, 1, 2)) != 0);
      break;
    case DISPID_NEWWINDOW2:  // (new browser, cancel); the new browser is the control's to choose
      events_->NewWindow(CancelFlagOf(Argument(p, 1, 2)));
      break;
    default:
      break;
  }
}
