#include "web/loginbkdlg_win.h"

#include "ui/msgbox_win.h"
#include "web/layeredpicture_win.h"
#include "web/logindlg_win.h"
#include "web/pagestate_win.h"

namespace web {

FW_BEGIN_MESSAGE_MAP(CLoginBkDlg, fw::CDialog)
    FW_ON_MESSAGE(WM_LBUTTONDOWN, OnLButtonDown)
    FW_ON_MESSAGE(WM_WINDOWPOSCHANGED, OnWindowPosChanged)
    FW_ON_MESSAGE(WM_SHOWWINDOW, OnShowWindow)
    FW_ON_MESSAGE(WM_DESTROY, OnDestroy)
FW_END_MESSAGE_MAP()

CLoginBkDlg::CLoginBkDlg(HWND owner, int pageCount)
    : fw::CDialog(kLoginTemplate, owner), owner_(owner), pageCount_(pageCount), loginAddress_(LoginAddress()) {}

CLoginBkDlg::~CLoginBkDlg() {
    page_.reset();
    if (m_hWnd) DestroyWindow();
}

BOOL CLoginBkDlg::PreTranslateMessage(MSG* msg) {
    // Enter would end the dialog through the dialog manager; the background has nothing to
    // confirm.
    if (msg->message == WM_KEYDOWN && msg->wParam == VK_RETURN) return TRUE;
    return fw::CDialog::PreTranslateMessage(msg);
}

BOOL CLoginBkDlg::OnInitDialog() {
    fw::CDialog::OnInitDialog();
    ending_ = false;
    ::SetWindowTextW(m_hWnd, kAppTitle);
    // Without its picture the background keeps the template's plain size and colour; the
    // login page over it still works.
    DrawBackground();
    CreateLoginPage();
    ::SetWindowLongPtrW(m_hWnd, GWL_STYLE, ::GetWindowLongPtrW(m_hWnd, GWL_STYLE) | WS_MINIMIZEBOX);
    return FALSE;
}

void CLoginBkDlg::OnCancel() { EndLogin(IDCANCEL); }

void CLoginBkDlg::EndLogin(INT_PTR result, const std::wstring& gameAddress) {
    if (ending_) return;
    ending_ = true;
    if (result == IDOK) GameAddress() = gameAddress;
    EndDialog(result);
}

bool CLoginBkDlg::DrawBackground() {
    return ShowLayeredPicture(m_hWnd, fw::ResourceModule(), kLoginBackgroundPng, &pictureWidth_, &pictureHeight_);
}

void CLoginBkDlg::CreateLoginPage() {
    page_ = std::make_unique<CLoginDlg>(*this, loginAddress_);
    if (!page_->Create(m_hWnd)) {
        page_.reset();
        return;
    }
    PlacePage();
}

void CLoginBkDlg::PlacePage() {
    if (!page_ || !page_->m_hWnd) return;
    RECT r{};
    ::GetWindowRect(m_hWnd, &r);
    ::MoveWindow(page_->m_hWnd, r.left + kLoginPageOffsetX, r.top + kLoginPageOffsetY, r.right - r.left,
                 r.bottom - r.top, TRUE);
}

LRESULT CLoginBkDlg::OnLButtonDown(WPARAM, LPARAM) {
    Default();
    // The whole picture is a caption: the system drags it from where it was pressed.
    SendMessage(WM_NCLBUTTONDOWN, HTCAPTION, static_cast<LPARAM>(::GetMessagePos()));
    return 0;
}

LRESULT CLoginBkDlg::OnWindowPosChanged(WPARAM, LPARAM) {
    const LRESULT result = Default();
    PlacePage();
    return result;
}

LRESULT CLoginBkDlg::OnShowWindow(WPARAM, LPARAM) { return Default(); }

LRESULT CLoginBkDlg::OnDestroy(WPARAM, LPARAM) {
    // The page is owned by this window and goes with it.
    if (page_ && page_->m_hWnd) page_->DestroyWindow();
    return Default();
}

}  // namespace web
