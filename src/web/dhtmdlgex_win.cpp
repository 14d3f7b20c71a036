#include "web/dhtmdlgex_win.h"

#include <windowsx.h>

#include "framework/text_win.h"

namespace web {

FW_BEGIN_MESSAGE_MAP(CDHtmDlgEx, CDHtmlDialog)
FW_ON_MESSAGE(WM_DESTROY, OnDestroy)
FW_END_MESSAGE_MAP()

CDHtmDlgEx::CDHtmDlgEx(UINT templateId, HWND parent, const std::wstring& url)
    : CDHtmlDialog(templateId, parent, url), buttons_(*this), drag_(*this) {}

const PageEventEntry* CDHtmDlgEx::PageEvents() const {
    using tamsolo::kDispContextMenu;
    using tamsolo::kDispMouseDown;
    using tamsolo::kDispMouseMove;
    using tamsolo::kDispMouseOut;
    using tamsolo::kDispMouseOver;
    using tamsolo::kDispMouseUp;
    static const PageEventEntry table[] = {
        {PageMatch::kClass, u"button", kDispMouseOut, PageHandler(&CDHtmDlgEx::OnButtonNormal)},
        {PageMatch::kClass, u"button", kDispMouseOver, PageHandler(&CDHtmDlgEx::OnButtonHover)},
        {PageMatch::kClass, u"button", kDispMouseDown, PageHandler(&CDHtmDlgEx::OnButtonPress)},
        {PageMatch::kClass, u"button", kDispMouseUp, PageHandler(&CDHtmDlgEx::OnButtonRelease)},
        {PageMatch::kTag, u"body", kDispMouseDown, PageHandler(&CDHtmDlgEx::OnDragBegin)},
        {PageMatch::kTag, u"body", kDispMouseUp, PageHandler(&CDHtmDlgEx::OnDragEnd)},
        {PageMatch::kTag, u"body", kDispMouseMove, PageHandler(&CDHtmDlgEx::OnDragMove)},
        {PageMatch::kTag, u"body", kDispContextMenu, PageHandler(&CDHtmDlgEx::OnNothing)},
        {PageMatch::kTag, u"td", kDispMouseDown, PageHandler(&CDHtmDlgEx::OnDragBegin)},
        {PageMatch::kTag, u"td", kDispMouseUp, PageHandler(&CDHtmDlgEx::OnDragEnd)},
        {PageMatch::kTag, u"td", kDispMouseMove, PageHandler(&CDHtmDlgEx::OnDragMove)},
        {PageMatch::kTag, u"td", kDispContextMenu, PageHandler(&CDHtmDlgEx::OnNothing)},
        {PageMatch::kTag, u"div", kDispMouseDown, PageHandler(&CDHtmDlgEx::OnDragBegin)},
        {PageMatch::kTag, u"div", kDispMouseUp, PageHandler(&CDHtmDlgEx::OnDragEnd)},
        {PageMatch::kTag, u"div", kDispMouseMove, PageHandler(&CDHtmDlgEx::OnDragMove)},
        {PageMatch::kTag, u"div", kDispContextMenu, PageHandler(&CDHtmDlgEx::OnNothing)},
        {PageMatch::kClass, nullptr, 0, nullptr},
    };
    return table;
}

BOOL CDHtmDlgEx::OnInitDialog() {
    CDHtmlDialog::OnInitDialog();
    // Script errors never raise a dialog over the launcher.
    Browser().SetSilent(true);
    return TRUE;
}

void CDHtmDlgEx::OnBeforeNavigate(const std::wstring& url, bool* cancel) {
    tamsolo::ApplyNavigationFilter(fw::U(url), cancel);
}

void CDHtmDlgEx::OnNavigateComplete(const std::wstring& url, bool topLevel) {
    CDHtmlDialog::OnNavigateComplete(url, topLevel);
    // The browser shows no scroll bars of its own (host flags); a page larger than the
    // window still scrolls.
    if (HasDocument()) Browser().SetBodyScroll(L"auto");
}

void CDHtmDlgEx::OnNavigateError(const std::wstring& url, long status, bool* cancel) {
    OnNavigateErrorEx(url, status, cancel);
}

bool CDHtmDlgEx::OnNavigateErrorEx(const std::wstring&, long, bool* cancel) {
    if (cancel) *cancel = true;
    return true;
}

DWORD CDHtmDlgEx::HostFlags() { return CDHtmlDialog::HostFlags() | kHostFlagDialog; }

LRESULT CDHtmDlgEx::WindowProc(UINT msg, WPARAM w, LPARAM l) {
    switch (msg) {
        case WM_LBUTTONUP:
        case WM_RBUTTONUP:
            if (buttons_.ButtonUpInWindow(GET_X_LPARAM(l), GET_Y_LPARAM(l))) return 0;
            break;
        case WM_CAPTURECHANGED:
            if (reinterpret_cast<HWND>(l) != m_hWnd) buttons_.CaptureLost();
            break;
        default:
            break;
    }
    return CDHtmlDialog::WindowProc(msg, w, l);
}

LRESULT CDHtmDlgEx::OnDestroy(WPARAM w, LPARAM l) {
    // The element belongs to the page, which goes with the browser.
    buttons_.Forget();
    return CDHtmlDialog::OnDestroy(w, l);
}

HRESULT CDHtmDlgEx::OnButtonNormal(const tamsolo::PageElementPtr& source) {
    buttons_.Normal(source);
    return S_FALSE;
}

HRESULT CDHtmDlgEx::OnButtonHover(const tamsolo::PageElementPtr& source) {
    buttons_.Hover(source);
    return S_FALSE;
}

HRESULT CDHtmDlgEx::OnButtonPress(const tamsolo::PageElementPtr& source) {
    buttons_.Press(source);
    return S_FALSE;
}

HRESULT CDHtmDlgEx::OnButtonRelease(const tamsolo::PageElementPtr& source) {
    buttons_.ReleaseInPlace(source);
    return S_FALSE;
}

HRESULT CDHtmDlgEx::OnDragBegin(const tamsolo::PageElementPtr&) {
    drag_.Begin();
    return S_FALSE;
}

HRESULT CDHtmDlgEx::OnDragEnd(const tamsolo::PageElementPtr&) {
    drag_.End();
    return S_FALSE;
}

HRESULT CDHtmDlgEx::OnDragMove(const tamsolo::PageElementPtr&) {
    drag_.Move();
    return S_FALSE;
}

HRESULT CDHtmDlgEx::OnNothing(const tamsolo::PageElementPtr&) { return S_FALSE; }

bool CDHtmDlgEx::HasCapture() const { return m_hWnd && ::GetCapture() == m_hWnd; }

void CDHtmDlgEx::CaptureMouse() {
    if (m_hWnd) ::SetCapture(m_hWnd);
}

void CDHtmDlgEx::ReleaseMouse() { ::ReleaseCapture(); }

tamsolo::ScreenPoint CDHtmDlgEx::CursorPos() const {
    POINT pt{};
    ::GetCursorPos(&pt);
    return {pt.x, pt.y};
}

void CDHtmDlgEx::SendCaptionMouse(tamsolo::CaptionMouse kind, std::uint32_t packedPoint) {
    if (!m_hWnd) return;
    UINT msg = WM_NCMOUSEMOVE;
    if (kind == tamsolo::CaptionMouse::kDown) msg = WM_NCLBUTTONDOWN;
    if (kind == tamsolo::CaptionMouse::kUp) msg = WM_NCLBUTTONUP;
    ::SendMessageW(m_hWnd, msg, HTCAPTION, static_cast<LPARAM>(packedPoint));
}

}  // namespace web
