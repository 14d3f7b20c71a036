// CSettingDlg: the player sets the boss, window-switch and sound keys by pressing them. On OK
// the bindings are checked for conflicts, written to the statistics file and every launcher
// main window on the desktop is told to reload them.
#pragma once

#include <windows.h>

#include "framework/handle_win.h"
#include "mainwnd/hotkey.h"
#include "mainwnd/settingrules.h"
#include "ui/btnex_win.h"
#include "ui/dlgex_win.h"
#include "ui/staticex_win.h"

namespace mainwnd {

constexpr UINT IDD_SETTING_DLG = 158;
constexpr UINT IDC_BOSS_EDIT = 1007;
constexpr UINT IDC_SWITCH_EDIT = 1010;
constexpr UINT IDC_SOUND_EDIT = 1014;

// At most this many launcher main windows are told to reload their keys.
constexpr int kMaxNotifiedMainWindows = 10;

// Posts WM_USER+4 to the desktop's top-level windows titled "kelvra - Brennic" of the dialog
// class, in z-order, up to kMaxNotifiedMainWindows of them; returns how many were told.
int TellMainWindowsToReloadHotkeys();

class CSettingDlg : public tamsolo::ui::CDlgEx {
public:
    explicit CSettingDlg(HWND parent);

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    BOOL PreTranslateMessage(MSG* msg) override;
    LRESULT OnCtlColorStatic(WPARAM, LPARAM);
    LRESULT OnDestroy(WPARAM, LPARAM);
    FW_DECLARE_MESSAGE_MAP()

private:
    struct Field {
        UINT editId;
        tamsolo::HotkeyField kind;
        const tamsolo::HotkeyKey* key;
        int* vk;
        tamsolo::HotkeyBinding stored;
    };
    Field* FieldOfWindow(HWND wnd);
    void CaptureInto(Field& field, int key);
    void ApplySkin();

    int bossVk_ = 0;
    int switchVk_ = 0;
    int soundVk_ = 0;
    Field fields_[3];

    tamsolo::ui::CBtnEx ok_;
    tamsolo::ui::CBtnEx cancel_;
    tamsolo::ui::CStaticEx labels_[6];
    fw::Bitmap buttonImage_;    // the buttons draw from it and do not own it
    fw::Brush groupBoxBrush_;   // made once, released with the dialog
};

}  // namespace mainwnd
