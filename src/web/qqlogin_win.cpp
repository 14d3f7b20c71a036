#include "web/qqlogin_win.h"

#include <wininet.h>

#include <vector>

#include "framework/dialog_win.h"
#include "framework/text_win.h"
#include "operator_config.h"
#include "ui/image_win.h"
#include "web/cookie.h"
#include "web/loginbkdlg_win.h"

namespace web {

namespace {

std::wstring Wide(const char16_t* text) { return std::wstring(reinterpret_cast<const wchar_t*>(text)); }

bool BeginsWith(const std::wstring& text, const std::wstring& prefix) {
    return text.size() >= prefix.size() && text.compare(0, prefix.size(), prefix) == 0;
}

// More cookie text than any site sets for one address; beyond it the lookup counts as failed.
constexpr DWORD kMostCookieChars = 64 * 1024;

// Sent to itself once it is shown: the page opens when the window can be seen.
constexpr UINT kMsgOpenAddress = WM_APP + 41;

}  // namespace

std::wstring QQAuthorizeAddress() { return Wide(TAMSOLO_QQ_AUTH_HOST) + L"/oauth2.0/authorize"; }

std::wstring PartnerCallbackAddress() {
    return Wide(TAMSOLO_PARTNER_CALLBACK_HOST) + L"/clientcallback.php?game=vopr";
}

std::wstring WeiboCallbackAddress() { return Wide(TAMSOLO_WEIBO_CALLBACK_HOST) + L"/weibo/callback.do?state"; }

bool IsSignInCallback(const std::wstring& url) {
    return BeginsWith(url, PartnerCallbackAddress()) || BeginsWith(url, WeiboCallbackAddress());
}

bool HasSignInCookie(const std::wstring& url) {
    // The system does not filter by the name it is given: it hands back every cookie of the
    // address as one text, so "Pauth" is looked for in that text.
    for (int attempt = 0; attempt < 3; ++attempt) {
        DWORD size = 0;
        if (!::InternetGetCookieW(url.c_str(), nullptr, nullptr, &size) || size == 0) return false;
        // Asked without a buffer, the system counts bytes; as characters that is ample room.
        if (size > kMostCookieChars) return false;
        std::vector<wchar_t> text(size + 1, L'\0');
        DWORD chars = size;
        if (::InternetGetCookieW(url.c_str(), nullptr, text.data(), &chars)) {
            return tamsolo::HasCookie(fw::U(text.data()), u"Pauth");
        }
        // A cookie set between the two calls can make the text longer: ask again.
        if (::GetLastError() != ERROR_INSUFFICIENT_BUFFER) return false;
    }
    return false;
}

// ------------------------------------------------------------------------------------------
// CQQHtml

FW_BEGIN_MESSAGE_MAP(CQQHtml, CDHtmlDialog)
    FW_ON_MESSAGE(WM_SHOWWINDOW, OnShowWindow)
    FW_ON_MESSAGE(WM_TIMER, OnTimer)
    FW_ON_MESSAGE(kMsgOpenAddress, OnOpenAddress)
FW_END_MESSAGE_MAP()

CQQHtml::CQQHtml(HWND parent) : CDHtmlDialog(kLoginTemplate, parent) {}

BOOL CQQHtml::OnInitDialog() {
    CDHtmlDialog::OnInitDialog();
    return TRUE;
}

BOOL CQQHtml::PreTranslateMessage(MSG* msg) {
    // The service's forms are sent by their own buttons; Escape does not close the sign-in.
    if (msg->message == WM_KEYDOWN && (msg->wParam == VK_RETURN || msg->wParam == VK_ESCAPE)) return TRUE;
    return CDHtmlDialog::PreTranslateMessage(msg);
}

LRESULT CQQHtml::OnShowWindow(WPARAM w, LPARAM) {
    const LRESULT result = Default();
    // The window is not visible yet while it hears of its showing, and the authorisation page
    // is refused to a window nobody sees: the page opens from the queue, once it is shown.
    if (w && !address_.empty() && m_hWnd) ::PostMessageW(m_hWnd, kMsgOpenAddress, 0, 0);
    return result;
}

LRESULT CQQHtml::OnOpenAddress(WPARAM, LPARAM) {
    // Hidden again before the message came: it opens at the next showing.
    if (m_hWnd && ::IsWindowVisible(m_hWnd) && !address_.empty()) Browser().Navigate(address_);
    return 0;
}

void CQQHtml::OnBeforeNavigate(const std::wstring& url, bool* cancel) {
    // The authorisation page loads only where the player can see it.
    if (BeginsWith(url, QQAuthorizeAddress()) && !(m_hWnd && ::IsWindowVisible(m_hWnd)) && cancel) *cancel = true;
}

void CQQHtml::OnNavigateComplete(const std::wstring& url, bool topLevel) {
    if (IsSignInCallback(url) && HasSignInCookie(url)) {
        if (m_hWnd) ::PostMessageW(m_hWnd, WM_CLOSE, 0, 0);
        if (frame_) frame_->EndDialog(IDCANCEL);
        ticks_ = 0;
        if (m_hWnd) ::SetTimer(m_hWnd, 1, 10, nullptr);
        return;
    }
    CDHtmlDialog::OnNavigateComplete(url, topLevel);
}

LRESULT CQQHtml::OnTimer(WPARAM id, LPARAM) {
    Default();
    // A message box the page raised while it was closing; only ours, and not for ever.
    const DWORD thread = ::GetCurrentThreadId();
    for (HWND box = ::FindWindowExW(nullptr, nullptr, L"#32770", nullptr); box;
         box = ::FindWindowExW(nullptr, box, L"#32770", nullptr)) {
        if (::GetWindowThreadProcessId(box, nullptr) != thread) continue;
        if (::GetWindow(box, GW_OWNER) != m_hWnd && ::GetParent(box) != m_hWnd) continue;
        ::KillTimer(m_hWnd, id);
        ::DestroyWindow(box);
        return 0;
    }
    if (++ticks_ >= kLeftoverBoxTicks) ::KillTimer(m_hWnd, id);
    return 0;
}

// ------------------------------------------------------------------------------------------
// CQQLogin

FW_BEGIN_MESSAGE_MAP(CQQLogin, tamsolo::ui::CDlgEx)
    FW_ON_MESSAGE(WM_SHOWWINDOW, OnShowWindow)
    FW_ON_MESSAGE(WM_WINDOWPOSCHANGED, OnWindowPosChanged)
FW_END_MESSAGE_MAP()

CQQLogin::CQQLogin() : tamsolo::ui::CDlgEx(kLoginTemplate) { page_.SetFrame(this); }

CQQLogin::~CQQLogin() {
    if (page_.m_hWnd) page_.DestroyWindow();
    if (m_hWnd) DestroyWindow();
}

BOOL CQQLogin::OnInitDialog() {
    tamsolo::ui::CDlgEx::OnInitDialog();
    SetTitle(L"QQ账号安全登录");
    SetSmallDialogSkin(134);
    ::SetWindowPos(m_hWnd, nullptr, 0, 0, 740, 470, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    return TRUE;
}

void CQQLogin::OnCancel() {
    if (page_.m_hWnd) ::PostMessageW(page_.m_hWnd, WM_CLOSE, 0, 0);
    tamsolo::ui::CDlgEx::OnCancel();
}

LRESULT CQQLogin::OnShowWindow(WPARAM w, LPARAM) {
    const LRESULT result = Default();
    if (!page_.m_hWnd) {
        page_.Create(m_hWnd);
        PlacePage();
    }
    if (page_.m_hWnd) ::ShowWindow(page_.m_hWnd, w ? SW_SHOWNA : SW_HIDE);
    return result;
}

LRESULT CQQLogin::OnWindowPosChanged(WPARAM, LPARAM) {
    const LRESULT result = Default();
    PlacePage();
    return result;
}

void CQQLogin::PlacePage() {
    if (!page_.m_hWnd || !m_hWnd) return;
    RECT r{};
    ::GetWindowRect(m_hWnd, &r);
    ::MoveWindow(page_.m_hWnd, r.left + 4, r.top + 30, r.right - r.left - 8, r.bottom - r.top - 34, TRUE);
}

}  // namespace web
