// CAddAccDlg: the small pop-up under the main window's "登录其他账号" label that asks whether
// the next account goes into a further tab here or into a new launcher window. It only answers
// (WM_USER+6 to its parent); the main window acts. Created once, then hidden and shown again.
#pragma once

#include <windows.h>

#include "framework/handle_win.h"
#include "ui/btnex_win.h"
#include "ui/dlgex_win.h"
#include "ui/staticex_win.h"

namespace dialogs {

constexpr UINT IDD_ADDACC_DLG = 161;
constexpr UINT IDC_ADDACC_QUESTION = 1023;

class CAddAccDlg : public tamsolo::ui::CDlgEx {
public:
    CAddAccDlg();

    // Creates the window on first use with parent as its parent, then places it so that its
    // right edge is on the label's right edge and its top on the label's bottom (screen
    // coordinates) and shows it.
    void ShowUnder(HWND parent, const RECT& labelOnScreen);
    // Hides the pop-up if its window exists.
    void Hide();

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;      // "是" or Enter: a further tab here
    void OnCancel() override;  // "否" or Esc: a new launcher window
    LRESULT OnActivate(WPARAM, LPARAM);
    LRESULT OnNcHitTestClient(WPARAM, LPARAM);
    FW_DECLARE_MESSAGE_MAP()

private:
    void Answer(WPARAM inThisWindow);

    tamsolo::ui::CBtnEx yes_;
    tamsolo::ui::CBtnEx no_;
    tamsolo::ui::CStaticEx question_;
    fw::Bitmap buttonImage_;  // the buttons draw from it and do not own it
};

}  // namespace dialogs
