#include "web/loginbkdlg_win.h"

#include "ui/msgbox_win.h"
#include "web/layeredpicture_win.h"

namespace web {

FW_BEGIN_MESSAGE_MAP(CLoginBkDlg, fw::CDialog)
    FW_ON_MESSAGE(WM_LBUTTONDOWN, OnLButtonDown)
    FW_ON_MESSAGE(WM_WINDOWPOSCHANGED, OnWindowPosChanged)
    FW_ON_MESSAGE(WM_SHOWWINDOW, OnShowWindow)
FW_END_MESSAGE_MAP()

CLoginBkDlg::CLoginBkDlg(HWND owner) : fw::CDialog(kLoginTemplate, owner) {}

CLoginBkDlg::~CLoginBkDlg() = default;

BOOL CLoginBkDlg::PreTranslateMessage(MSG* msg) {
    // Enter would end the dialog through the dialog manager; the background has nothing to
    // confirm.
    if (msg->message == WM_KEYDOWN && msg->wParam == VK_RETURN) return TRUE;
    return fw::CDialog::PreTranslateMessage(msg);
}

BOOL CLoginBkDlg::OnInitDialog() {
    fw::CDialog::OnInitDialog();
    ::SetWindowTextW(m_hWnd, kAppTitle);
    // Without its picture the background keeps the template's plain size and colour; the
    // login page over it still works.
    DrawBackground();
    CreateLoginPage();
    ::SetWindowLongPtrW(m_hWnd, GWL_STYLE, ::GetWindowLongPtrW(m_hWnd, GWL_STYLE) | WS_MINIMIZEBOX);
    return FALSE;
}

bool CLoginBkDlg::DrawBackground() {
    return ShowLayeredPicture(m_hWnd, fw::ResourceModule(), kLoginBackgroundPng, &pictureWidth_, &pictureHeight_);
}

void CLoginBkDlg::CreateLoginPage() {}

LRESULT CLoginBkDlg::OnLButtonDown(WPARAM, LPARAM) {
    Default();
    // The whole picture is a caption: the system drags it from where it was pressed.
    DWORD pos = ::GetMessagePos();
    SendMessage(WM_NCLBUTTONDOWN, HTCAPTION, static_cast<LPARAM>(pos));
    return 0;
}

LRESULT CLoginBkDlg::OnWindowPosChanged(WPARAM, LPARAM) {
    Default();
    return 0;
}

LRESULT CLoginBkDlg::OnShowWindow(WPARAM, LPARAM) { return Default(); }

}  // namespace web
