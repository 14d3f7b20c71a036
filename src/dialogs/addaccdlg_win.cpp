#include "dialogs/addaccdlg_win.h"

#include "app/protocol.h"
#include "ui/image_win.h"

namespace dialogs {

namespace {

constexpr UINT kSkinImage = 162;
constexpr UINT kButtonImage = 133;
constexpr int kQuestionLineSpacing = 5;

}  // namespace

FW_BEGIN_MESSAGE_MAP(CAddAccDlg, tamsolo::ui::CDlgEx)
FW_ON_MESSAGE(WM_ACTIVATE, OnActivate)
FW_ON_MESSAGE(WM_NCHITTEST, OnNcHitTestClient)
FW_END_MESSAGE_MAP()

CAddAccDlg::CAddAccDlg() : tamsolo::ui::CDlgEx(IDD_ADDACC_DLG) {}

BOOL CAddAccDlg::OnInitDialog() {
    tamsolo::ui::CDlgEx::OnInitDialog();
    // The window takes the picture's size: its answers and question must keep the skin's scale.
    LayOutAtSkinScale();
    SetTitle(L"登录其他账号");
    titleHeight = 30;
    borderWidth = 3;
    buttonRightMargin = 5;
    buttonTop = 1;
    buttonSpacing = 0;
    // Drawn as it is and the window takes the picture's size; no caption buttons.
    SetSkin(tamsolo::ui::LoadSkinImage(fw::ResourceModule(), kSkinImage), true, false, nullptr);

    buttonImage_.Reset(tamsolo::ui::LoadSkinImage(fw::ResourceModule(), kButtonImage));
    if (yes_.SubclassDlgItem(IDOK, this)) yes_.SetImage(buttonImage_.Get(), true);
    if (no_.SubclassDlgItem(IDCANCEL, this)) no_.SetImage(buttonImage_.Get(), true);
    if (question_.SubclassDlgItem(IDC_ADDACC_QUESTION, this)) {
        question_.lineSpacing = kQuestionLineSpacing;
        ::InvalidateRect(question_.m_hWnd, nullptr, TRUE);
    }
    return TRUE;
}

void CAddAccDlg::ShowUnder(HWND parent, const RECT& labelOnScreen) {
    if (!m_hWnd && !Create(parent)) return;
    RECT own{};
    ::GetWindowRect(m_hWnd, &own);
    const int width = own.right - own.left;
    ::SetWindowPos(m_hWnd, nullptr, labelOnScreen.right - width, labelOnScreen.bottom, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ::InvalidateRect(m_hWnd, nullptr, TRUE);
    ::ShowWindow(m_hWnd, SW_SHOW);
}

void CAddAccDlg::Hide() {
    if (m_hWnd) ::ShowWindow(m_hWnd, SW_HIDE);
}

void CAddAccDlg::Answer(WPARAM inThisWindow) {
    if (m_parent) ::PostMessageW(m_parent, tamsolo::kMsgAddAccount, inThisWindow, 0);
    Hide();
}

void CAddAccDlg::OnOK() { Answer(1); }

void CAddAccDlg::OnCancel() { Answer(0); }

LRESULT CAddAccDlg::OnActivate(WPARAM w, LPARAM) {
    const LRESULT result = Default();
    // Clicking anywhere else dismisses the question without an answer.
    if (LOWORD(w) == WA_INACTIVE) Hide();
    return result;
}

// Unlike the other skinned windows this one cannot be dragged by its title band.
LRESULT CAddAccDlg::OnNcHitTestClient(WPARAM, LPARAM) { return HTCLIENT; }

}  // namespace dialogs
