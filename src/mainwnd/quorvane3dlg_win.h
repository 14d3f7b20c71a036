// CQuorvane3Dlg: the launcher's main window. It hosts no browser itself: each game page is the
// frame of a page process, re-parented into the content area and shown as one tab of the
// strip in the title band. The window relays keys and the mute state to the pages, offers the
// system and tray menus and the global hotkeys, and closes the pages when a tab or the
// launcher is closed.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <memory>
#include <string>
#include <vector>

#include "dialogs/addaccdlg_win.h"
#include "dialogs/popinfo_win.h"
#include "framework/handle_win.h"
#include "mainwnd/pagelist.h"
#include "mainwnd/pagewindow_win.h"
#include "mainwnd/tabstrip.h"
#include "net/updatecheck_win.h"
#include "ui/btnex_win.h"
#include "ui/dlgex_win.h"
#include "ui/draw_win.h"
#include "ui/staticex_win.h"

namespace mainwnd {

constexpr UINT IDD_MAIN_DLG = 102;
constexpr UINT IDC_HIDE_BUTTON = 1001;
constexpr UINT IDC_SOUND_BUTTON = 1002;
constexpr UINT IDC_MENU_BUTTON = 1003;
constexpr UINT IDC_SPARE_BUTTON = 1004;
constexpr UINT IDC_ADD_ACCOUNT = 1005;

// Private messages of the main window to itself.
// From the keyboard hook: wParam 1 the boss key, 2 the sound key.
constexpr UINT WM_HOTKEY_PRESSED = WM_APP + 31;
// From the cache-clearing worker when it is done: wParam 1 all cleared, 0 something stayed.
constexpr UINT WM_CACHE_CLEARED = WM_APP + 32;
// Posted from the initialisation: back to the corner once the dialog has placed itself.
constexpr UINT WM_PARK_WINDOW = WM_APP + 33;
// From the update command's worker when its check is over (the result stays with the worker).
constexpr UINT WM_UPDATE_CHECKED = WM_APP + 34;

constexpr UINT_PTR kMuteTimer = 3;
// How long an exit gives the pages to leave the window before it goes on without them.
constexpr DWORD kLetGoWaitMs = 1500;
constexpr UINT kMuteTimerMs = 400;

class CQuorvane3Dlg : public tamsolo::ui::CDlgEx {
public:
    CQuorvane3Dlg();
    ~CQuorvane3Dlg() override;

    // The one main window of this process (the keyboard hook reaches it through this).
    static CQuorvane3Dlg* Instance();

    // Hides the launcher, or brings it back in front of everything.
    void BossToggle();
    void SwitchToNextPage();
    // The orderly end: pages let go and closed, hook and tray icon removed, the loop ended.
    void Exit();
    // A further page process with the login page, told our handle and the page count.
    void StartPageProcess();
    // Shows page h in the content area and hides the others (null: hides them all).
    void ShowPage(HWND h);
    // Closes tab t after asking (the last tab asks to end the launcher).
    void ClosePage(int t);

    int PageCount() const { return pages_.Count(); }
    bool Muted() const { return muted_ != 0; }

protected:
    BOOL OnInitDialog() override;
    void OnOK() override {}  // Enter never ends the launcher
    void OnCancel() override;
    BOOL PreTranslateMessage(MSG* msg) override;

    // Protocol with the page processes and other launcher windows.
    LRESULT OnTrayCallback(WPARAM, LPARAM);
    LRESULT OnRegisterFrame(WPARAM, LPARAM);
    LRESULT OnTrayMenu(WPARAM, LPARAM);
    LRESULT OnReloadHotkeys(WPARAM, LPARAM);
    LRESULT OnAddAccount(WPARAM, LPARAM);
    LRESULT OnCopyData(WPARAM, LPARAM);
    LRESULT OnHotkeyPressed(WPARAM, LPARAM);
    LRESULT OnCacheCleared(WPARAM, LPARAM);
    LRESULT OnParkWindow(WPARAM, LPARAM);
    LRESULT OnUpdateChecked(WPARAM, LPARAM);

    // Window.
    LRESULT OnPaint(WPARAM, LPARAM);
    LRESULT OnQueryDragIcon(WPARAM, LPARAM);
    LRESULT OnSize(WPARAM, LPARAM);
    LRESULT OnWindowPosChanging(WPARAM, LPARAM);
    LRESULT OnTimer(WPARAM, LPARAM);
    LRESULT OnDestroy(WPARAM, LPARAM);

    // Tab strip.
    LRESULT OnEraseBkgnd(WPARAM, LPARAM);
    LRESULT OnNcHitTest(WPARAM, LPARAM);
    LRESULT OnNcLButtonDown(WPARAM, LPARAM);
    LRESULT OnLButtonDown(WPARAM, LPARAM);
    LRESULT OnNcLButtonUp(WPARAM, LPARAM);
    LRESULT OnLButtonUp(WPARAM, LPARAM);
    LRESULT OnNcLButtonDblClk(WPARAM, LPARAM);
    LRESULT OnLButtonDblClk(WPARAM, LPARAM);
    LRESULT OnMButtonUp(WPARAM, LPARAM);
    LRESULT OnNcMButtonUp(WPARAM, LPARAM);
    LRESULT OnMouseLeave(WPARAM, LPARAM);
    LRESULT OnNcMouseLeave(WPARAM, LPARAM);

    // Controls.
    void OnHideButton() { BossToggle(); }
    void OnSoundButton() { muted_ = !muted_; }
    void OnMenuButton();
    void OnAddAccountLabel();
    FW_DECLARE_MESSAGE_MAP()

private:
    // The launcher's message box over this window (the test build traces its text).
    int Say(int style, const std::wstring& text);

    // Initialisation pieces.
    void ApplySkin();
    void BindControls();
    void BuildTabStrip();
    void InstallKeyboardHook();
    void RemoveKeyboardHook();

    // Pages.
    bool AcceptableFrame(HWND frame) const;
    RECT ContentArea() const;
    HWND VisibleTarget() const;
    void ReloadHotkeys();
    void PostToPages(UINT msg, WPARAM w, LPARAM l) const;
    void LetGoOfWindow(HWND wnd);
    // Login processes whose registration texts wait for their frames.
    void WatchLogin(DWORD process);
    void ForgetLogin(DWORD process);
    void DropEndedLogins();

    // Filter steps.
    bool FilterSwitchKey(const MSG& msg);
    bool FilterClose(const MSG& msg);
    bool FilterRelayedKey(const MSG& msg);

    // Menus and tray.
    HMENU BuildMenu(bool tray) const;
    void RunCommand(int id);
    void Refresh();
    void ClearCache();
    void Update();
    void Settings();
    void AddTrayIcon();
    void DeleteTrayIcon();
    NOTIFYICONDATAW TrayRecord() const;

    // Tab strip.
    void Invalidate(const tamsolo::ui::Rect& r, bool erase = true);
    void ApplyHover(const tamsolo::HoverEffects& fx);
    bool StripPoint(LPARAM screenPoint, POINT* client, int* tab) const;
    bool ClientStripPoint(LPARAM clientPoint, POINT* client, int* tab) const;
    void SelectTab(int t, POINT client);
    void ReleaseOnTab(int t, POINT client);
    void DrawTabs(HDC dc);

    fw::Icon bigIcon_;
    fw::Icon smallIcon_;
    tamsolo::ui::CBtnEx hideButton_;
    tamsolo::ui::CBtnEx menuButton_;
    tamsolo::ui::CBtnEx soundButton_;
    tamsolo::ui::CStaticEx addAccountLabel_;
    fw::Bitmap soundOnImage_;
    fw::Bitmap mutedImage_;
    int muted_ = 0;
    DWORD osMajor_ = 0;
    HWND startWindow_ = nullptr;
    fw::Handle pendingProcess_;
    struct LoginWatch {
        DWORD process;
        fw::Handle handle;
    };
    std::vector<LoginWatch> logins_;
    tamsolo::PageList pages_;
    dialogs::CAddAccDlg addAccount_;
    std::unique_ptr<dialogs::CPopInfoDlg> notice_;  // the operator's notice, once timer 4 has fired
    app::BackgroundUpdateCheck updateCheck_;        // the update command's check while it runs

    tamsolo::ui::ImageList tabImages_;
    tamsolo::ui::ImageList closeImages_;
    tamsolo::TabHover hover_;
    fw::Window tooltip_;
    std::wstring tipText_;

    fw::Hook hook_;
    std::vector<LetGo> letGo_;  // pages being let go (see LetGoOfWindow)
    bool registered_ = false;  // the first frame has registered: full size, tray icon, timer
    bool trayAdded_ = false;
    bool exited_ = false;
    int lastWidth_ = 0;
    int shownMute_ = 1;
};

}  // namespace mainwnd
