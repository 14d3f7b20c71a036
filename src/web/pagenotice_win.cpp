#include "web/pagenotice_win.h"

#include "web/pageerror.h"

namespace web {

namespace {

constexpr int kButtonWidth = 120;
constexpr int kButtonHeight = 32;

fw::Font MakeFont(int height, int weight) {
    return fw::Font(::CreateFontW(-height, 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                  CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY, DEFAULT_PITCH | FF_SWISS, L"微软雅黑"));
}

}  // namespace

FW_BEGIN_MESSAGE_MAP(CPageNotice, fw::CWnd)
FW_ON_MESSAGE(WM_PAINT, OnPaint)
FW_ON_MESSAGE(WM_ERASEBKGND, OnEraseBkgnd)
FW_ON_MESSAGE(WM_SIZE, OnSize)
FW_ON_COMMAND(kRetryId, OnRetry)
FW_END_MESSAGE_MAP()

bool CPageNotice::Create(HWND parent) {
    if (!CreateEx(0, L"", WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, 0, 0, 0, 0, parent, nullptr)) return false;
    headFont_ = MakeFont(20, FW_BOLD);
    textFont_ = MakeFont(14, FW_NORMAL);
    const std::u16string caption = tamsolo::kPageRetryCaption;
    button_ = ::CreateWindowExW(0, L"BUTTON", std::wstring(caption.begin(), caption.end()).c_str(),
                                WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0, 0, kButtonWidth, kButtonHeight,
                                m_hWnd, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kRetryId)),
                                ::GetModuleHandleW(nullptr), nullptr);
    if (button_ && textFont_) ::SendMessageW(button_, WM_SETFONT, reinterpret_cast<WPARAM>(textFont_.Get()), FALSE);
    return true;
}

void CPageNotice::Show(const std::wstring& headline, const std::wstring& detail, const RECT& rect) {
    if (!m_hWnd) return;
    headline_ = headline;
    detail_ = detail;
    Move(rect);
    ::InvalidateRect(m_hWnd, nullptr, TRUE);
    ::ShowWindow(m_hWnd, SW_SHOWNA);
}

void CPageNotice::Hide() {
    if (m_hWnd) ::ShowWindow(m_hWnd, SW_HIDE);
}

void CPageNotice::Move(const RECT& rect) {
    if (m_hWnd)
        ::SetWindowPos(m_hWnd, nullptr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                       SWP_NOZORDER | SWP_NOACTIVATE);
}

bool CPageNotice::IsShown() const { return m_hWnd && ::IsWindowVisible(m_hWnd); }

void CPageNotice::PlaceButton() {
    if (!button_) return;
    RECT rc{};
    ::GetClientRect(m_hWnd, &rc);
    ::SetWindowPos(button_, nullptr, (rc.right - kButtonWidth) / 2, rc.bottom / 2 + 24, kButtonWidth, kButtonHeight,
                   SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT CPageNotice::OnSize(WPARAM, LPARAM) {
    PlaceButton();
    return 0;
}

LRESULT CPageNotice::OnEraseBkgnd(WPARAM, LPARAM) { return 1; }

LRESULT CPageNotice::OnPaint(WPARAM, LPARAM) {
    PAINTSTRUCT ps;
    HDC dc = ::BeginPaint(m_hWnd, &ps);
    if (!dc) return 0;
    RECT rc{};
    ::GetClientRect(m_hWnd, &rc);
    fw::Brush background(::CreateSolidBrush(RGB(255, 255, 255)));
    ::FillRect(dc, &rc, background.Get());
    ::SetBkMode(dc, TRANSPARENT);
    const int middle = rc.bottom / 2;
    RECT head{rc.left + 8, middle - 48, rc.right - 8, middle - 18};
    RECT text{rc.left + 8, middle - 12, rc.right - 8, middle + 14};
    {
        fw::Selection font(dc, headFont_.Get());
        ::SetTextColor(dc, RGB(51, 51, 51));
        ::DrawTextW(dc, headline_.c_str(), static_cast<int>(headline_.size()), &head,
                    DT_CENTER | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    }
    {
        fw::Selection font(dc, textFont_.Get());
        ::SetTextColor(dc, RGB(102, 102, 102));
        ::DrawTextW(dc, detail_.c_str(), static_cast<int>(detail_.size()), &text,
                    DT_CENTER | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    }
    ::EndPaint(m_hWnd, &ps);
    return 0;
}

void CPageNotice::OnRetry() {
    if (onRetry_) onRetry_();
}

}  // namespace web
