// The HTML view's OLE container: the one object the browser control talks
// back to (client site, in-place site, in-place frame and the sink of its
// events), and the one set-up and tear-down of the control. Does not offer
// host-side UI customisation (no IDocHostUIHandler: the browser's own context
// menu, scroll bars and borders stay), a container, ambient properties, menus
// or border space. Knows nothing of properties or EventNotices.
#pragma once

#include <windows.h>
// clang-format off
#include <ole2.h>
#include <exdisp.h>
// clang-format on

#include "components/browser_factory_win32.h"
#include "components/com_ref_win32.h"

// What the site hands on from the browser's events; texts as the browser
// gives them (null reads as empty).
class BrowserEvents {
 public:
  virtual void BeforeNavigate(const wchar_t* address, VARIANT_BOOL* cancel) = 0;
  virtual void NavigateComplete(const wchar_t* address) = 0;
  virtual void DocumentComplete(const wchar_t* address) = 0;
  virtual void DownloadBegin() = 0;
  virtual void DownloadComplete() = 0;
  virtual void ProgressChange(long progress, long maximum) = 0;
  virtual void StatusTextChange(const wchar_t* text) = 0;
  virtual void TitleChange(const wchar_t* text) = 0;
  virtual void CommandStateChange(long command, bool enabled) = 0;
  virtual void NewWindow(VARIANT_BOOL* cancel) = 0;

 protected:
  ~BrowserEvents() = default;
};

// Makes the system WebBrowser control, the program's BrowserFactory.
HRESULT CreateSystemBrowser(IUnknown** out);

// The browser window's child identifier inside the host.
inline constexpr int kBrowserChildId = 0xE900;

class BrowserSite final : public IOleClientSite,
                          public IOleInPlaceSite,
                          public IOleInPlaceFrame,
                          public IDispatch {
 public:
  // Starts with one reference, the caller's.
  explicit BrowserSite(BrowserEvents* events) : events_(events) {}
  BrowserSite(const BrowserSite&) = delete;
  BrowserSite& operator=(const BrowserSite&) = delete;

  // Creates the browser through `factory`, activates it in place as a child
  // of `host` covering its client area (visible, id kBrowserChildId), takes
  // its IWebBrowser2 and subscribes to its events. On any failure the steps
  // already taken are undone by Close and false is returned.
  bool Open(HWND host, BrowserFactory factory);
  // Deactivates the browser, disconnects the sink, closes the browser, clears
  // the client site, destroys its window and releases every reference it
  // holds. No event reaches the owner afterwards. Harmless when repeated.
  void Close();

  IWebBrowser2* browser() const { return browser_.get(); }
  HWND browser_window() const { return browser_window_; }
  // Moves and sizes the browser to `rect` of the host (no stacking change, no activation).
  void Place(const RECT& rect);
  // UI-activates the browser and gives its window the focus, unless it already has it.
  void TakeFocus();
  // Offers a key message to the object the browser made active (or, when it
  // handed none over, to the one it answers for); true when taken.
  bool TranslateKey(MSG* msg);

  // IUnknown
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
  STDMETHODIMP_(ULONG) AddRef() override;
  STDMETHODIMP_(ULONG) Release() override;
  // IOleClientSite
  STDMETHODIMP SaveObject() override { return E_NOTIMPL; }
  STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker** m) override { return Nothing(m, E_NOTIMPL); }
  STDMETHODIMP GetContainer(IOleContainer** c) override { return Nothing(c, E_NOINTERFACE); }
  STDMETHODIMP ShowObject() override { return S_OK; }
  STDMETHODIMP OnShowWindow(BOOL) override { return S_OK; }
  STDMETHODIMP RequestNewObjectLayout() override { return E_NOTIMPL; }
  // IOleWindow, shared by the in-place site and the frame: both are the host.
  STDMETHODIMP GetWindow(HWND* hwnd) override;
  STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
  // IOleInPlaceSite
  STDMETHODIMP CanInPlaceActivate() override { return S_OK; }
  STDMETHODIMP OnInPlaceActivate() override { return S_OK; }
  STDMETHODIMP OnUIActivate() override { return S_OK; }
  STDMETHODIMP GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document, RECT* position,
                                RECT* clip, OLEINPLACEFRAMEINFO* info) override;
  STDMETHODIMP Scroll(SIZE) override { return E_NOTIMPL; }
  STDMETHODIMP OnUIDeactivate(BOOL) override { return S_OK; }
  STDMETHODIMP OnInPlaceDeactivate() override { return S_OK; }
  STDMETHODIMP DiscardUndoState() override { return S_OK; }
  STDMETHODIMP DeactivateAndUndo() override { return S_OK; }
  STDMETHODIMP OnPosRectChange(const RECT*) override { return S_OK; }
  // IOleInPlaceUIWindow, IOleInPlaceFrame
  STDMETHODIMP GetBorder(RECT*) override { return INPLACE_E_NOTOOLSPACE; }
  STDMETHODIMP RequestBorderSpace(const BORDERWIDTHS*) override { return INPLACE_E_NOTOOLSPACE; }
  STDMETHODIMP SetBorderSpace(const BORDERWIDTHS*) override { return INPLACE_E_NOTOOLSPACE; }
  STDMETHODIMP SetActiveObject(IOleInPlaceActiveObject* object, LPCOLESTR) override;
  STDMETHODIMP InsertMenus(HMENU, OLEMENUGROUPWIDTHS*) override { return E_NOTIMPL; }
  STDMETHODIMP SetMenu(HMENU, HOLEMENU, HWND) override { return S_OK; }
  STDMETHODIMP RemoveMenus(HMENU) override { return E_NOTIMPL; }
  STDMETHODIMP SetStatusText(LPCOLESTR) override { return S_OK; }
  STDMETHODIMP EnableModeless(BOOL) override { return S_OK; }
  STDMETHODIMP TranslateAccelerator(MSG*, WORD) override { return S_FALSE; }
  // IDispatch: the browser's events (DWebBrowserEvents2); anything else, such
  // as an ambient property the browser asks the client site for, is unknown.
  STDMETHODIMP GetTypeInfoCount(UINT* count) override;
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo** info) override { return Nothing(info, E_NOTIMPL); }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*,
                      UINT*) override;

 private:
  ~BrowserSite() { Close(); }
  template <typename T>
  static HRESULT Nothing(T** out, HRESULT hr) {
    if (out) *out = nullptr;
    return hr;
  }
  void HandEvent(DISPID id, const DISPPARAMS& params);

  LONG references_ = 1;
  BrowserEvents* events_;          // null once closed
  HWND host_ = nullptr;            // our window, the browser's parent
  HWND browser_window_ = nullptr;  // made by the browser when activated in place
  ComRef<IOleObject> object_;
  ComRef<IOleInPlaceObject> in_place_;
  ComRef<IWebBrowser2> browser_;
  ComRef<IConnectionPoint> events_point_;
  DWORD events_cookie_ = 0;                 // 0: not subscribed
  ComRef<IOleInPlaceActiveObject> active_;  // from SetActiveObject, for the message loop's keys
};
