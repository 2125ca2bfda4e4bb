#include "bench/floor_browser_site_win32.h"

bool FloorBrowserSite::Open(HWND host) {
  host_ = host;
  IUnknown* made = nullptr;
  if (FAILED(CoCreateInstance(CLSID_WebBrowser, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                              reinterpret_cast<void**>(&made))))
    return false;
  HRESULT hr = made->QueryInterface(IID_IOleObject, reinterpret_cast<void**>(&object_));
  if (SUCCEEDED(hr)) hr = made->QueryInterface(IID_IWebBrowser2, reinterpret_cast<void**>(&browser_));
  made->Release();
  if (FAILED(hr) || FAILED(object_->SetClientSite(this))) return false;
  RECT client;
  GetClientRect(host, &client);
  return SUCCEEDED(object_->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, this, 0, host, &client));
}

void FloorBrowserSite::Close() {
  if (object_) {
    object_->Close(OLECLOSE_NOSAVE);
    object_->SetClientSite(nullptr);
    object_->Release();
    object_ = nullptr;
  }
  if (browser_) {
    browser_->Release();
    browser_ = nullptr;
  }
}

STDMETHODIMP FloorBrowserSite::QueryInterface(REFIID iid, void** out) {
  if (!out) return E_POINTER;
  if (iid == IID_IUnknown || iid == IID_IOleClientSite) {
    *out = static_cast<IOleClientSite*>(this);
  } else if (iid == IID_IOleWindow || iid == IID_IOleInPlaceSite) {
    *out = static_cast<IOleInPlaceSite*>(this);
  } else if (iid == IID_IOleInPlaceUIWindow || iid == IID_IOleInPlaceFrame) {
    *out = static_cast<IOleInPlaceFrame*>(this);
  } else {
    *out = nullptr;
    return E_NOINTERFACE;
  }
  return S_OK;
}

STDMETHODIMP FloorBrowserSite::GetMoniker(DWORD, DWORD, IMoniker** out) {
  if (out) *out = nullptr;
  return E_NOTIMPL;
}

STDMETHODIMP FloorBrowserSite::GetContainer(IOleContainer** out) {
  if (out) *out = nullptr;
  return E_NOINTERFACE;
}

STDMETHODIMP FloorBrowserSite::GetWindow(HWND* out) {
  if (!out) return E_POINTER;
  *out = host_;
  return S_OK;
}

STDMETHODIMP FloorBrowserSite::GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document,
                                                RECT* position, RECT* clip, OLEINPLACEFRAMEINFO* info) {
  if (!frame || !document || !position || !clip || !info) return E_POINTER;
  *frame = this;
  *document = nullptr;
  GetClientRect(host_, position);
  *clip = *position;
  info->fMDIApp = FALSE;
  info->hwndFrame = GetAncestor(host_, GA_ROOT);
  info->haccel = nullptr;
  info->cAccelEntries = 0;
  return S_OK;
}
