// The web-browser control on our own container. Three small COM objects talk to the control:
// the site (client site, in-place site and frame, IDocHostUIHandler, IDocHostShowUI), the
// sink of the control's DWebBrowserEvents2, and the sink of the top document's events. Each
// holds a plain pointer back to the host's state, cleared by Destroy, so a call the control
// makes after that (it may hold the objects a little longer) finds nothing and does nothing.
#include "web/browserhost_win.h"

#include <exdisp.h>
#include <exdispid.h>
#include <mshtml.h>
#include <mshtmhst.h>
#include <ole2.h>

#include <algorithm>
#include <cstddef>
#include <cwctype>

#include "framework/handle_win.h"
#include "framework/text_win.h"
#include "web/browsertest_win.h"
#include "web/pageerror.h"
#include "web/pagenotice_win.h"

// COM objects are destroyed by their own Release, never through an interface pointer, so the
// interfaces' missing virtual destructors are no fault here.
#if defined(__GNUC__)
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
#endif

namespace web {

namespace {

LONG g_liveObjects = 0;

// Not in every SDK's uuid library.
const IID kIidDocHostShowUI = {0xC4D244B0, 0xD43E, 0x11CF, {0x89, 0x3B, 0x00, 0xAA, 0x00, 0xBD, 0xCE, 0x1A}};
const IID kDiidHtmlDocumentEvents2 = {0x3050F613, 0x98B5, 0x11CF, {0xBB, 0x82, 0x00, 0xAA, 0x00, 0xBD, 0xCE, 0x0B}};

// A BSTR owned for one call.
class Bstr {
public:
    explicit Bstr(const wchar_t* text) : s_(::SysAllocString(text)) {}
    Bstr() = default;
    ~Bstr() { ::SysFreeString(s_); }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    BSTR Get() const { return s_; }
    BSTR* Put() {
        ::SysFreeString(s_);
        s_ = nullptr;
        return &s_;
    }
    std::wstring Text() const { return s_ ? std::wstring(s_, ::SysStringLen(s_)) : std::wstring(); }

private:
    BSTR s_ = nullptr;
};

// A VARIANT cleared on scope exit.
class Variant {
public:
    Variant() { ::VariantInit(&v_); }
    ~Variant() { ::VariantClear(&v_); }
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;
    VARIANT* Get() { return &v_; }

private:
    VARIANT v_;
};

// The argument the control passed by position (0 = first), or null when it did not pass it.
// Arguments arrive in reverse order; "by reference to a variant" is followed once.
const VARIANT* Arg(const DISPPARAMS* params, UINT index) {
    if (!params || !params->rgvarg || index >= params->cArgs) return nullptr;
    const VARIANT* v = &params->rgvarg[params->cArgs - 1 - index];
    if (V_VT(v) == (VT_BYREF | VT_VARIANT)) v = V_VARIANTREF(v);
    return v;
}

std::wstring ArgText(const DISPPARAMS* params, UINT index) {
    const VARIANT* v = Arg(params, index);
    if (!v) return L"";
    if (V_VT(v) == VT_BSTR && V_BSTR(v)) return std::wstring(V_BSTR(v), ::SysStringLen(V_BSTR(v)));
    if (V_VT(v) == (VT_BYREF | VT_BSTR) && V_BSTRREF(v) && *V_BSTRREF(v))
        return std::wstring(*V_BSTRREF(v), ::SysStringLen(*V_BSTRREF(v)));
    return L"";
}

long ArgLong(const DISPPARAMS* params, UINT index) {
    const VARIANT* v = Arg(params, index);
    if (!v) return 0;
    switch (V_VT(v)) {
        case VT_I4: return V_I4(v);
        case VT_INT: return V_INT(v);
        case VT_UI4: return static_cast<long>(V_UI4(v));
        case VT_BYREF | VT_I4: return V_I4REF(v) ? *V_I4REF(v) : 0;
        default: return 0;
    }
}

IDispatch* ArgDispatch(const DISPPARAMS* params, UINT index) {
    const VARIANT* v = Arg(params, index);
    if (!v) return nullptr;
    if (V_VT(v) == VT_DISPATCH) return V_DISPATCH(v);
    if (V_VT(v) == (VT_BYREF | VT_DISPATCH) && V_DISPATCHREF(v)) return *V_DISPATCHREF(v);
    return nullptr;
}

// The cancel flag: a boolean by reference.
VARIANT_BOOL* ArgBoolRef(const DISPPARAMS* params, UINT index) {
    if (!params || !params->rgvarg || index >= params->cArgs) return nullptr;
    VARIANT* v = &params->rgvarg[params->cArgs - 1 - index];
    if (V_VT(v) == (VT_BYREF | VT_BOOL)) return V_BOOLREF(v);
    return nullptr;
}

bool SameObject(IUnknown* a, IUnknown* b) {
    if (!a || !b) return false;
    fw::ComPtr<IUnknown> ua, ub;
    if (FAILED(a->QueryInterface(IID_IUnknown, ua.PutVoid())) || FAILED(b->QueryInterface(IID_IUnknown, ub.PutVoid())))
        return false;
    return ua.Get() == ub.Get();
}

// One element of the page behind the portable interface.
class HtmlElement : public tamsolo::PageElement {
public:
    explicit HtmlElement(IHTMLElement* element) {
        element->AddRef();
        *element_.Put() = element;
    }

    std::u16string ClassName() const override {
        Bstr s;
        if (FAILED(element_->get_className(s.Put()))) return u"";
        return fw::U(s.Text());
    }
    std::u16string TagName() const override {
        Bstr s;
        if (FAILED(element_->get_tagName(s.Put()))) return u"";
        std::wstring tag = s.Text();
        std::transform(tag.begin(), tag.end(), tag.begin(), [](wchar_t c) { return static_cast<wchar_t>(std::towlower(c)); });
        return fw::U(tag);
    }
    bool DisabledIsTrue() const override {
        Bstr name(L"disabled");
        if (!name.Get()) return false;
        Variant value;
        if (FAILED(element_->getAttribute(name.Get(), 0, value.Get()))) return false;
        return V_VT(value.Get()) == VT_BOOL && V_BOOL(value.Get()) == VARIANT_TRUE;
    }
    long OffsetLeft() const override {
        long v = 0;
        return SUCCEEDED(element_->get_offsetLeft(&v)) ? v : 0;
    }
    long OffsetTop() const override {
        long v = 0;
        return SUCCEEDED(element_->get_offsetTop(&v)) ? v : 0;
    }
    long OffsetWidth() const override {
        long v = 0;
        return SUCCEEDED(element_->get_offsetWidth(&v)) ? v : 0;
    }
    long OffsetHeight() const override {
        long v = 0;
        return SUCCEEDED(element_->get_offsetHeight(&v)) ? v : 0;
    }
    bool SetBackgroundPositionX(long x) override {
        fw::ComPtr<IHTMLStyle> style;
        if (FAILED(element_->get_style(style.Put())) || !style) return false;
        VARIANT v;
        ::VariantInit(&v);
        V_VT(&v) = VT_I4;
        V_I4(&v) = x;
        return SUCCEEDED(style->put_backgroundPositionX(v));
    }
    void Click() override { element_->click(); }

private:
    fw::ComPtr<IHTMLElement> element_;
};

}  // namespace

// ------------------------------------------------------------------------------------------
// The host's state, shared with the COM objects through their back-pointers.

struct CBrowserHost::Impl {
    CBrowserHost* owner = nullptr;
    HWND parent = nullptr;
    RECT rect{};
    BrowserEvents* events = nullptr;
    bool oleInitialised = false;

    class Site;
    class EventSink;
    class DocumentSink;
    Site* site = nullptr;              // one reference held
    EventSink* sink = nullptr;         // one reference held
    DocumentSink* docSink = nullptr;   // one reference held
    fw::ComPtr<IOleObject> ole;
    fw::ComPtr<IWebBrowser2> browser;
    fw::ComPtr<IConnectionPoint> browserPoint;
    DWORD browserCookie = 0;
    fw::ComPtr<IConnectionPoint> documentPoint;
    fw::ComPtr<IUnknown> connectedDocument;  // the document whose events we hear
    DWORD documentCookie = 0;

    std::unique_ptr<CPageNotice> notice;
    std::wstring failedUrl;
    std::unique_ptr<BrowserTestChannel> channel;

    bool IsTopLevel(IDispatch* frame) const { return !frame || SameObject(frame, browser.Get()); }
    void BeforeNavigate(const DISPPARAMS* params);
    void NavigateComplete(IDispatch* frame, const std::wstring& url);
    void DocumentComplete(IDispatch* frame, const std::wstring& url);
    void NavigateError(const DISPPARAMS* params);
    void ConnectDocument();
    void DisconnectDocument();
    HRESULT ElementEvent(DISPID dispid, const DISPPARAMS* params);
    void ShowNotice(const std::wstring& url, long status);
};

// ------------------------------------------------------------------------------------------
// The site: everything the control asks of its container.

class CBrowserHost::Impl::Site : public IOleClientSite,
                                 public IOleInPlaceSite,
                                 public IOleInPlaceFrame,
                                 public IDocHostUIHandler,
                                 public IDocHostShowUI {
public:
    explicit Site(Impl* impl) : impl_(impl) { ::InterlockedIncrement(&g_liveObjects); }
    virtual ~Site() { ::InterlockedDecrement(&g_liveObjects); }
    void Detach() { impl_ = nullptr; }

    // IUnknown
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (iid == IID_IUnknown || iid == IID_IOleClientSite) *out = static_cast<IOleClientSite*>(this);
        else if (iid == IID_IOleWindow || iid == IID_IOleInPlaceSite) *out = static_cast<IOleInPlaceSite*>(this);
        else if (iid == IID_IOleInPlaceUIWindow || iid == IID_IOleInPlaceFrame) *out = static_cast<IOleInPlaceFrame*>(this);
        else if (iid == IID_IDocHostUIHandler) *out = static_cast<IDocHostUIHandler*>(this);
        else if (iid == kIidDocHostShowUI) *out = static_cast<IDocHostShowUI*>(this);
        else return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(::InterlockedIncrement(&refs_)); }
    STDMETHODIMP_(ULONG) Release() override {
        const LONG left = ::InterlockedDecrement(&refs_);
        if (left == 0) delete this;
        return static_cast<ULONG>(left);
    }

    // IOleClientSite
    STDMETHODIMP SaveObject() override { return E_NOTIMPL; }
    STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker** out) override {
        if (out) *out = nullptr;
        return E_NOTIMPL;
    }
    STDMETHODIMP GetContainer(IOleContainer** out) override {
        if (out) *out = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP ShowObject() override { return S_OK; }
    STDMETHODIMP OnShowWindow(BOOL) override { return S_OK; }
    STDMETHODIMP RequestNewObjectLayout() override { return E_NOTIMPL; }

    // IOleWindow (shared by the in-place site and the frame)
    STDMETHODIMP GetWindow(HWND* wnd) override {
        if (!wnd) return E_POINTER;
        *wnd = impl_ ? impl_->parent : nullptr;
        return *wnd ? S_OK : E_FAIL;
    }
    STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

    // IOleInPlaceSite
    STDMETHODIMP CanInPlaceActivate() override { return impl_ ? S_OK : S_FALSE; }
    STDMETHODIMP OnInPlaceActivate() override { return S_OK; }
    STDMETHODIMP OnUIActivate() override { return S_OK; }
    STDMETHODIMP GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** doc, LPRECT pos, LPRECT clip,
                                  LPOLEINPLACEFRAMEINFO info) override {
        if (frame) *frame = nullptr;
        if (doc) *doc = nullptr;
        if (!frame || !doc || !pos || !clip || !info) return E_POINTER;
        if (!impl_) return E_FAIL;
        *frame = static_cast<IOleInPlaceFrame*>(this);
        AddRef();
        *pos = impl_->rect;
        *clip = impl_->rect;
        info->fMDIApp = FALSE;
        info->hwndFrame = ::GetAncestor(impl_->parent, GA_ROOT);
        info->haccel = nullptr;
        info->cAccelEntries = 0;
        return S_OK;
    }
    STDMETHODIMP Scroll(SIZE) override { return E_NOTIMPL; }
    STDMETHODIMP OnUIDeactivate(BOOL) override { return S_OK; }
    STDMETHODIMP OnInPlaceDeactivate() override { return S_OK; }
    STDMETHODIMP DiscardUndoState() override { return E_NOTIMPL; }
    STDMETHODIMP DeactivateAndUndo() override { return E_NOTIMPL; }
    STDMETHODIMP OnPosRectChange(LPCRECT) override { return S_OK; }

    // IOleInPlaceUIWindow / IOleInPlaceFrame: no menus, no tool space, no status bar.
    STDMETHODIMP GetBorder(LPRECT) override { return INPLACE_E_NOTOOLSPACE; }
    STDMETHODIMP RequestBorderSpace(LPCBORDERWIDTHS) override { return INPLACE_E_NOTOOLSPACE; }
    STDMETHODIMP SetBorderSpace(LPCBORDERWIDTHS) override { return S_OK; }
    STDMETHODIMP SetActiveObject(IOleInPlaceActiveObject*, LPCOLESTR) override { return S_OK; }
    STDMETHODIMP InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) override { return E_NOTIMPL; }
    STDMETHODIMP SetMenu(HMENU, HOLEMENU, HWND) override { return S_OK; }
    STDMETHODIMP RemoveMenus(HMENU) override { return E_NOTIMPL; }
    STDMETHODIMP SetStatusText(LPCOLESTR) override { return S_OK; }
    STDMETHODIMP EnableModeless(BOOL) override { return S_OK; }  // also IDocHostUIHandler's
    STDMETHODIMP TranslateAccelerator(LPMSG, WORD) override { return S_FALSE; }

    // IDocHostUIHandler
    STDMETHODIMP ShowContextMenu(DWORD, POINT*, IUnknown*, IDispatch*) override {
        // S_OK: handled here, the browser shows no menu of its own.
        return impl_ && impl_->events && impl_->events->VetoContextMenu() ? S_OK : S_FALSE;
    }
    STDMETHODIMP GetHostInfo(DOCHOSTUIINFO* info) override {
        if (!info) return E_POINTER;
        if (info->cbSize < offsetof(DOCHOSTUIINFO, dwDoubleClick) + sizeof(DWORD)) return E_INVALIDARG;
        info->dwFlags = impl_ && impl_->events ? impl_->events->HostFlags() : kHostFlagNo3dBorder | kHostFlagScrollNo;
        info->dwDoubleClick = DOCHOSTUIDBLCLK_DEFAULT;
        return S_OK;
    }
    STDMETHODIMP ShowUI(DWORD, IOleInPlaceActiveObject*, IOleCommandTarget*, IOleInPlaceFrame*,
                        IOleInPlaceUIWindow*) override {
        return S_OK;  // no tool bars or menus of the browser's own
    }
    STDMETHODIMP HideUI() override { return S_OK; }
    STDMETHODIMP UpdateUI() override { return S_OK; }
    STDMETHODIMP OnDocWindowActivate(BOOL) override { return S_OK; }
    STDMETHODIMP OnFrameWindowActivate(BOOL) override { return S_OK; }
    STDMETHODIMP ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) override { return S_OK; }
    STDMETHODIMP TranslateAccelerator(LPMSG, const GUID*, DWORD) override { return S_FALSE; }
    STDMETHODIMP GetOptionKeyPath(LPOLESTR* key, DWORD) override {
        if (key) *key = nullptr;
        return S_FALSE;
    }
    STDMETHODIMP GetDropTarget(IDropTarget*, IDropTarget** out) override {
        if (out) *out = nullptr;
        return E_NOTIMPL;
    }
    STDMETHODIMP GetExternal(IDispatch** out) override {
        // Pages get no script-callable host object.
        if (out) *out = nullptr;
        return S_FALSE;
    }
    STDMETHODIMP TranslateUrl(DWORD, LPWSTR, LPWSTR* out) override {
        if (out) *out = nullptr;
        return S_FALSE;
    }
    STDMETHODIMP FilterDataObject(IDataObject*, IDataObject** out) override {
        if (out) *out = nullptr;
        return S_FALSE;
    }

    // IDocHostShowUI
    STDMETHODIMP ShowMessage(HWND wnd, LPOLESTR text, LPOLESTR caption, DWORD type, LPOLESTR, DWORD,
                             LRESULT* result) override {
        if (!impl_ || !impl_->events) return S_FALSE;
        return impl_->events->ShowMessage(wnd, text, caption, type, result);
    }
    STDMETHODIMP ShowHelp(HWND, LPOLESTR, UINT, DWORD, POINT, IDispatch*) override {
        if (!impl_ || !impl_->events) return S_FALSE;
        return impl_->events->ShowHelp();
    }

private:
    Impl* impl_;
    LONG refs_ = 1;
};

// ------------------------------------------------------------------------------------------
// IDispatch sinks: the control's events and the document's.

namespace {

class DispatchSink : public IDispatch {
public:
    explicit DispatchSink(const IID& events) : events_(events) { ::InterlockedIncrement(&g_liveObjects); }
    virtual ~DispatchSink() { ::InterlockedDecrement(&g_liveObjects); }

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (iid != IID_IUnknown && iid != IID_IDispatch && iid != events_) return E_NOINTERFACE;
        *out = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(::InterlockedIncrement(&refs_)); }
    STDMETHODIMP_(ULONG) Release() override {
        const LONG left = ::InterlockedDecrement(&refs_);
        if (left == 0) delete this;
        return static_cast<ULONG>(left);
    }
    STDMETHODIMP GetTypeInfoCount(UINT* count) override {
        if (count) *count = 0;
        return S_OK;
    }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo** out) override {
        if (out) *out = nullptr;
        return E_NOTIMPL;
    }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }

private:
    IID events_;
    LONG refs_ = 1;
};

}  // namespace

class CBrowserHost::Impl::EventSink : public DispatchSink {
public:
    explicit EventSink(Impl* impl) : DispatchSink(DIID_DWebBrowserEvents2), impl_(impl) {}
    void Detach() { impl_ = nullptr; }

    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*, UINT*) override {
        if (!impl_ || !impl_->events) return S_OK;
        // A handler may destroy the host, which lets go of this sink.
        AddRef();
        switch (id) {
            case DISPID_BEFORENAVIGATE2:  // frame, address, flags, target, post data, headers, cancel
                impl_->BeforeNavigate(params);
                break;
            case DISPID_NAVIGATECOMPLETE2:  // frame, address
                impl_->NavigateComplete(ArgDispatch(params, 0), ArgText(params, 1));
                break;
            case DISPID_DOCUMENTCOMPLETE:  // frame, address
                impl_->DocumentComplete(ArgDispatch(params, 0), ArgText(params, 1));
                break;
            case DISPID_NAVIGATEERROR:  // frame, address, target, status, cancel
                impl_->NavigateError(params);
                break;
            case DISPID_TITLECHANGE:  // text
                impl_->events->OnTitleChange(ArgText(params, 0));
                break;
            default:
                break;
        }
        Release();
        return S_OK;
    }

private:
    Impl* impl_;
};

class CBrowserHost::Impl::DocumentSink : public DispatchSink {
public:
    explicit DocumentSink(Impl* impl) : DispatchSink(kDiidHtmlDocumentEvents2), impl_(impl) {}
    void Detach() { impl_ = nullptr; }

    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*, UINT*) override {
        if (!impl_) return S_OK;
        AddRef();
        impl_->ElementEvent(id, params);
        Release();
        return S_OK;
    }

private:
    Impl* impl_;
};

// ------------------------------------------------------------------------------------------
// What the control's events do.

void CBrowserHost::Impl::BeforeNavigate(const DISPPARAMS* params) {
    VARIANT_BOOL* cancelRef = ArgBoolRef(params, 6);
    bool cancel = cancelRef && *cancelRef != VARIANT_FALSE;
    events->OnBeforeNavigate(ArgText(params, 1), &cancel);
    if (cancelRef) *cancelRef = cancel ? VARIANT_TRUE : VARIANT_FALSE;
}

void CBrowserHost::Impl::NavigateComplete(IDispatch* frame, const std::wstring& url) {
    const bool top = IsTopLevel(frame);
    if (top) {
        failedUrl.clear();
        if (notice) notice->Hide();
        HWND control = owner->ControlWindow();
        if (control && !::IsWindowVisible(control)) ::ShowWindow(control, SW_SHOWNA);
    }
    events->OnNavigateComplete(url, top);
}

void CBrowserHost::Impl::DocumentComplete(IDispatch* frame, const std::wstring& url) {
    const bool top = IsTopLevel(frame);
    if (top) ConnectDocument();
    events->OnDocumentComplete(url, top);
}

void CBrowserHost::Impl::NavigateError(const DISPPARAMS* params) {
    IDispatch* frame = ArgDispatch(params, 0);
    const std::wstring url = ArgText(params, 1);
    const long status = ArgLong(params, 3);
    VARIANT_BOOL* cancelRef = ArgBoolRef(params, 4);
    bool cancel = cancelRef && *cancelRef != VARIANT_FALSE;
    events->OnNavigateError(url, status, &cancel);
    if (cancelRef) *cancelRef = cancel ? VARIANT_TRUE : VARIANT_FALSE;
    // A failing frame inside a page (an advertisement, say) leaves the page as it is.
    if (events && IsTopLevel(frame) && events->OnPageUnreachable(url, status)) ShowNotice(url, status);
}

void CBrowserHost::Impl::ShowNotice(const std::wstring& url, long status) {
    if (!notice) {
        notice.reset(new CPageNotice([this] { owner->Retry(); }));
        if (!notice->Create(parent)) {
            notice.reset();
            return;
        }
    }
    failedUrl = url;
    const tamsolo::PageErrorText text = tamsolo::PageErrorFor(status);
    HWND control = owner->ControlWindow();
    if (control) ::ShowWindow(control, SW_HIDE);
    notice->Show(fw::W(text.headline), fw::W(text.detail), rect);
}

void CBrowserHost::Impl::ConnectDocument() {
    if (!browser) return;
    fw::ComPtr<IDispatch> doc;
    if (FAILED(browser->get_Document(doc.Put())) || !doc) return;
    fw::ComPtr<IUnknown> docUnknown;
    if (FAILED(doc->QueryInterface(IID_IUnknown, docUnknown.PutVoid()))) return;
    if (connectedDocument && connectedDocument.Get() == docUnknown.Get()) return;
    DisconnectDocument();
    fw::ComPtr<IConnectionPointContainer> container;
    if (FAILED(doc->QueryInterface(IID_IConnectionPointContainer, container.PutVoid()))) return;
    fw::ComPtr<IConnectionPoint> point;
    if (FAILED(container->FindConnectionPoint(kDiidHtmlDocumentEvents2, point.Put())) || !point) return;
    DWORD cookie = 0;
    if (FAILED(point->Advise(static_cast<IDispatch*>(docSink), &cookie))) return;
    documentPoint = std::move(point);
    documentCookie = cookie;
    connectedDocument = std::move(docUnknown);
}

void CBrowserHost::Impl::DisconnectDocument() {
    if (documentPoint && documentCookie) documentPoint->Unadvise(documentCookie);
    documentPoint.Reset();
    documentCookie = 0;
    connectedDocument.Reset();
}

HRESULT CBrowserHost::Impl::ElementEvent(DISPID dispid, const DISPPARAMS* params) {
    if (!events) return S_FALSE;
    switch (dispid) {
        case tamsolo::kDispMouseOver:
        case tamsolo::kDispMouseOut:
        case tamsolo::kDispMouseDown:
        case tamsolo::kDispMouseMove:
        case tamsolo::kDispMouseUp:
        case tamsolo::kDispContextMenu:
            break;
        default:
            return S_FALSE;
    }
    // The event object comes as the one argument; its source is the innermost element.
    IDispatch* arg = ArgDispatch(params, 0);
    if (!arg) return S_FALSE;
    fw::ComPtr<IHTMLEventObj> event;
    if (FAILED(arg->QueryInterface(IID_IHTMLEventObj, event.PutVoid())) || !event) return S_FALSE;
    fw::ComPtr<IHTMLElement> source;
    if (FAILED(event->get_srcElement(source.Put())) || !source) return S_FALSE;
    auto element = std::make_shared<HtmlElement>(source.Get());
    return events->OnElementEvent(dispid, element);
}

// ------------------------------------------------------------------------------------------

CBrowserHost::CBrowserHost() : impl_(new Impl) { impl_->owner = this; }

CBrowserHost::~CBrowserHost() { Destroy(); }

bool CBrowserHost::Create(HWND parent, const RECT& rect, BrowserEvents* events) {
    if (IsCreated() || !parent || !events) return false;
    Impl& s = *impl_;
    s.oleInitialised = SUCCEEDED(::OleInitialize(nullptr));
    s.parent = parent;
    s.rect = rect;
    s.events = events;
    s.site = new Impl::Site(impl_.get());
    s.sink = new Impl::EventSink(impl_.get());
    s.docSink = new Impl::DocumentSink(impl_.get());

    bool ok = SUCCEEDED(::CoCreateInstance(CLSID_WebBrowser, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject,
                                           s.ole.PutVoid())) &&
              s.ole && SUCCEEDED(s.ole->SetClientSite(static_cast<IOleClientSite*>(s.site)));
    if (ok) {
        s.ole->SetHostNames(L"Tamsolo", nullptr);
        ::OleSetContainedObject(s.ole.Get(), TRUE);
        RECT r = rect;
        ok = SUCCEEDED(s.ole->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, static_cast<IOleClientSite*>(s.site), 0,
                                     parent, &r)) &&
             SUCCEEDED(s.ole->QueryInterface(IID_IWebBrowser2, s.browser.PutVoid())) && s.browser;
    }
    if (ok) {
        fw::ComPtr<IConnectionPointContainer> container;
        DWORD cookie = 0;
        ok = SUCCEEDED(s.browser->QueryInterface(IID_IConnectionPointContainer, container.PutVoid())) &&
             SUCCEEDED(container->FindConnectionPoint(DIID_DWebBrowserEvents2, s.browserPoint.Put())) &&
             s.browserPoint && SUCCEEDED(s.browserPoint->Advise(static_cast<IDispatch*>(s.sink), &cookie));
        s.browserCookie = ok ? cookie : 0;
    }
    if (!ok) {
        Destroy();
        return false;
    }
    Move(rect);
    // Made after the control, so the control stays the parent's first child window.
    s.channel = CreateBrowserTestChannel(parent, this);
    return true;
}

void CBrowserHost::Destroy() {
    Impl& s = *impl_;
    s.channel.reset();
    s.notice.reset();
    s.failedUrl.clear();
    s.DisconnectDocument();
    if (s.browserPoint && s.browserCookie) s.browserPoint->Unadvise(s.browserCookie);
    s.browserPoint.Reset();
    s.browserCookie = 0;
    if (s.browser) s.browser->Stop();
    if (s.ole) {
        fw::ComPtr<IOleInPlaceObject> inPlace;
        if (SUCCEEDED(s.ole->QueryInterface(IID_IOleInPlaceObject, inPlace.PutVoid())) && inPlace)
            inPlace->InPlaceDeactivate();
        s.ole->Close(OLECLOSE_NOSAVE);
        s.ole->SetClientSite(nullptr);
    }
    s.browser.Reset();
    s.ole.Reset();
    // The control may keep our objects a while; they now point at nothing.
    if (s.site) {
        s.site->Detach();
        s.site->Release();
        s.site = nullptr;
    }
    if (s.sink) {
        s.sink->Detach();
        s.sink->Release();
        s.sink = nullptr;
    }
    if (s.docSink) {
        s.docSink->Detach();
        s.docSink->Release();
        s.docSink = nullptr;
    }
    s.events = nullptr;
    s.parent = nullptr;
    if (s.oleInitialised) {
        ::OleUninitialize();
        s.oleInitialised = false;
    }
}

bool CBrowserHost::IsCreated() const { return impl_->browser.Get() != nullptr; }

bool CBrowserHost::Navigate(const std::wstring& url) {
    if (!impl_->browser) return false;
    Bstr address(url.c_str());
    if (!address.Get()) return false;
    VARIANT v;
    ::VariantInit(&v);
    V_VT(&v) = VT_BSTR;
    V_BSTR(&v) = address.Get();  // still owned by address
    VARIANT empty;
    ::VariantInit(&empty);
    return SUCCEEDED(impl_->browser->Navigate2(&v, &empty, &empty, &empty, &empty));
}

bool CBrowserHost::Refresh() { return impl_->browser && SUCCEEDED(impl_->browser->Refresh()); }

bool CBrowserHost::SetSilent(bool silent) {
    return impl_->browser && SUCCEEDED(impl_->browser->put_Silent(silent ? VARIANT_TRUE : VARIANT_FALSE));
}

void CBrowserHost::Move(const RECT& rect) {
    impl_->rect = rect;
    if (impl_->ole) {
        fw::ComPtr<IOleInPlaceObject> inPlace;
        if (SUCCEEDED(impl_->ole->QueryInterface(IID_IOleInPlaceObject, inPlace.PutVoid())) && inPlace)
            inPlace->SetObjectRects(&rect, &rect);
    }
    if (impl_->notice) impl_->notice->Move(rect);
}

HWND CBrowserHost::ControlWindow() const {
    if (!impl_->ole) return nullptr;
    fw::ComPtr<IOleWindow> window;
    HWND wnd = nullptr;
    if (SUCCEEDED(impl_->ole->QueryInterface(IID_IOleWindow, window.PutVoid())) && window) window->GetWindow(&wnd);
    if (!wnd && impl_->parent) wnd = ::GetWindow(impl_->parent, GW_CHILD);
    return wnd;
}

bool CBrowserHost::SetBodyScroll(const wchar_t* value) {
    if (!impl_->browser || !value) return false;
    fw::ComPtr<IDispatch> doc;
    if (FAILED(impl_->browser->get_Document(doc.Put())) || !doc) return false;
    fw::ComPtr<IHTMLDocument2> html;
    if (FAILED(doc->QueryInterface(IID_IHTMLDocument2, html.PutVoid())) || !html) return false;
    fw::ComPtr<IHTMLElement> body;
    if (FAILED(html->get_body(body.Put())) || !body) return false;
    fw::ComPtr<IHTMLBodyElement> bodyElement;
    if (FAILED(body->QueryInterface(IID_IHTMLBodyElement, bodyElement.PutVoid())) || !bodyElement) return false;
    Bstr text(value);
    return text.Get() && SUCCEEDED(bodyElement->put_scroll(text.Get()));
}

std::wstring CBrowserHost::LocationUrl() const {
    if (!impl_->browser) return L"";
    Bstr url;
    if (FAILED(impl_->browser->get_LocationURL(url.Put()))) return L"";
    return url.Text();
}

HWND CBrowserHost::NoticeWindow() const {
    return impl_->notice && impl_->notice->IsShown() ? impl_->notice->GetSafeHwnd() : nullptr;
}

const std::wstring& CBrowserHost::FailedUrl() const { return impl_->failedUrl; }

bool CBrowserHost::Retry() {
    if (impl_->failedUrl.empty()) return false;
    const std::wstring url = impl_->failedUrl;
    return Navigate(url);
}

DWORD CBrowserHost::SiteHostFlags() const {
    if (!impl_->ole) return 0;
    fw::ComPtr<IOleClientSite> site;
    if (FAILED(impl_->ole->GetClientSite(site.Put())) || !site) return 0;
    fw::ComPtr<IDocHostUIHandler> handler;
    if (FAILED(site->QueryInterface(IID_IDocHostUIHandler, handler.PutVoid())) || !handler) return 0;
    DOCHOSTUIINFO info{};
    info.cbSize = sizeof(info);
    return SUCCEEDED(handler->GetHostInfo(&info)) ? info.dwFlags : 0;
}

bool CBrowserHost::SiteHasShowUI() const {
    if (!impl_->ole) return false;
    fw::ComPtr<IOleClientSite> site;
    if (FAILED(impl_->ole->GetClientSite(site.Put())) || !site) return false;
    fw::ComPtr<IDocHostUIHandler> handler;
    if (FAILED(site->QueryInterface(IID_IDocHostUIHandler, handler.PutVoid())) || !handler) return false;
    fw::ComPtr<IUnknown> showUi;
    return SUCCEEDED(handler->QueryInterface(kIidDocHostShowUI, showUi.PutVoid())) && showUi;
}

long CBrowserHost::LiveComObjects() { return ::InterlockedCompareExchange(&g_liveObjects, 0, 0); }

void CBrowserHost::RaiseNavigateComplete(const std::wstring& url) {
    if (!impl_->events || !impl_->browser) return;
    impl_->NavigateComplete(nullptr, url);
    if (impl_->events) impl_->DocumentComplete(nullptr, url);
}

void CBrowserHost::RaiseTitleChange(const std::wstring& title) {
    if (impl_->events) impl_->events->OnTitleChange(title);
}

}  // namespace web
