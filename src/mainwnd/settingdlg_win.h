// CSettingDlg: the player sets the boss, window-switch and sound keys by pressing them. On OK
// the bindings are checked for conflicts, written to the statistics file and every launcher
// main window on the desktop is told to reload them.
#pragma once

#include <windows.h>

#include "ui/btnex_win.h"
#include "ui/dlgex_win.h"
#include "ui/staticex_win.h"

namespace mainwnd {

class CSettingDlg : public tamsolo::ui::CDlgEx {
public:
    explicit CSettingDlg(HWND parent);

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    BOOL PreTranslateMessage(MSG* msg) override;
    LRESULT OnCtlColorStatic(WPARAM, LPARAM);
    FW_DECLARE_MESSAGE_MAP()

private:
    int bossVk_ = 0;
    int switchVk_ = 0;
    int soundVk_ = 0;
};

}  // namespace mainwnd
