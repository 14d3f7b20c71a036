#include "web/htmldialog_win.h"

namespace web {

namespace {

RECT ClientRect(HWND wnd) {
    RECT rc{};
    if (wnd) ::GetClientRect(wnd, &rc);
    return rc;
}

}  // namespace

// ------------------------------------------------------------------------------------------
// CDHtmlDialog

FW_BEGIN_MESSAGE_MAP(CDHtmlDialog, fw::CDialog)
FW_ON_MESSAGE(WM_SIZE, OnSize)
FW_ON_MESSAGE(WM_DESTROY, OnDestroy)
FW_END_MESSAGE_MAP()

CDHtmlDialog::CDHtmlDialog(UINT templateId, HWND parent, const std::wstring& url)
    : fw::CDialog(templateId, parent), url_(url) {}

BOOL CDHtmlDialog::OnInitDialog() {
    hasDocument_ = false;
    if (browser_.Create(m_hWnd, ClientRect(m_hWnd), this) && !url_.empty()) browser_.Navigate(url_);
    return TRUE;
}

void CDHtmlDialog::OnNavigateComplete(const std::wstring&, bool topLevel) {
    if (topLevel) hasDocument_ = true;
}

const PageEventEntry* CDHtmlDialog::PageEvents() const {
    static const PageEventEntry none[] = {{PageMatch::kClass, nullptr, 0, nullptr}};
    return none;
}

HRESULT CDHtmlDialog::OnElementEvent(long dispid, const tamsolo::PageElementPtr& source) {
    if (!source) return S_FALSE;
    const PageEventEntry* table = PageEvents();
    if (!table) return S_FALSE;
    // Read each name once: every read is a call into the page.
    std::u16string className, tagName;
    bool haveClass = false, haveTag = false;
    for (const PageEventEntry* e = table; e->name; ++e) {
        if (e->dispid != dispid || !e->handler) continue;
        const std::u16string* name = nullptr;
        if (e->match == PageMatch::kClass) {
            if (!haveClass) className = source->ClassName(), haveClass = true;
            name = &className;
        } else {
            if (!haveTag) tagName = source->TagName(), haveTag = true;
            name = &tagName;
        }
        if (*name == e->name) return (this->*(e->handler))(source);
    }
    return S_FALSE;
}

LRESULT CDHtmlDialog::OnSize(WPARAM, LPARAM) {
    browser_.Move(ClientRect(m_hWnd));
    return Default();
}

LRESULT CDHtmlDialog::OnDestroy(WPARAM, LPARAM) {
    browser_.Destroy();
    hasDocument_ = false;
    return Default();
}

// ------------------------------------------------------------------------------------------
// CHtmlView

FW_BEGIN_MESSAGE_MAP(CHtmlView, fw::CWnd)
FW_ON_MESSAGE(WM_SIZE, OnSize)
FW_ON_MESSAGE(WM_DESTROY, OnDestroy)
FW_END_MESSAGE_MAP()

bool CHtmlView::Create(HWND parent, const RECT& rect, UINT id) {
    if (!CreateEx(0, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, rect.left, rect.top,
                  rect.right - rect.left, rect.bottom - rect.top, parent,
                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(id))))
        return false;
    if (!browser_.Create(m_hWnd, ClientRect(m_hWnd), this)) {
        DestroyWindow();
        return false;
    }
    OnInitialUpdate();
    return true;
}

LRESULT CHtmlView::OnSize(WPARAM, LPARAM) {
    browser_.Move(ClientRect(m_hWnd));
    return Default();
}

LRESULT CHtmlView::OnDestroy(WPARAM, LPARAM) {
    browser_.Destroy();
    return Default();
}

}  // namespace web
