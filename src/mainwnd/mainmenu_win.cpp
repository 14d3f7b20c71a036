// The main window's commands: the system menu under "系统", the tray icon and its menu, and
// what their items do.
#include "framework/paths_win.h"
#include "app/protocol.h"
#include "app/quorvane3app_win.h"
#include "framework/text_win.h"
#include "framework/trace_win.h"
#include "mainwnd/hotkeys_win.h"
#include "mainwnd/quorvane3dlg_win.h"
#include "mainwnd/settingdlg_win.h"
#include "net/updatecheck_win.h"
#include "ui/msgbox_win.h"
#include "web/cache_win.h"

namespace mainwnd {

namespace {

enum MenuCommand : int {
    kRefresh = 1,
    kHideRestore = 2,
    kClearCache = 3,
    kUpdate = 4,
    kSettings = 5,
    kExit = 6,
    kVersion = -1,
};

// The settings dialog while it is open: the boss toggle ends it.
CSettingDlg* g_settingsDialog = nullptr;

const wchar_t kCacheCleared[] = L"缓存清除完毕！";
const wchar_t kCacheNotCleared[] = L"部分缓存未能清除，请关闭游戏页面后再试。";
const wchar_t kUpToDate[] = L"已经是最新版本，无需进行更新。";
const wchar_t kUpdateCheckFailed[] = L"检查更新失败，请检查网络连接后再试。";

// The items as the menu itself holds them, one trace line per opening (test build only).
void TraceMenu(HMENU menu, const wchar_t* which) {
    std::wstring line = std::wstring(L"menu ") + which;
    const int count = ::GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        wchar_t text[128] = {};
        MENUITEMINFOW info{};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_FTYPE | MIIM_STRING;
        info.dwTypeData = text;
        info.cch = ARRAYSIZE(text) - 1;
        if (!::GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info)) continue;
        line += L"|";
        line += (info.fType & MFT_SEPARATOR) ? L"-" : text;
    }
    fw::Trace(line.c_str());
}

}  // namespace

HMENU CQuorvane3Dlg::BuildMenu(bool tray) const {
    HMENU menu = ::CreatePopupMenu();
    if (!menu) return nullptr;
    // The boss key as stored now, not as held: the settings may have changed it elsewhere.
    const std::wstring boss = fw::W(tamsolo::BindingText(LoadHotkeyBinding(tamsolo::kBossKey)));
    ::AppendMenuW(menu, MF_STRING, kRefresh, L"刷新 (F5)");
    ::AppendMenuW(menu, MF_STRING, kHideRestore, (L"隐藏/恢复(" + boss + L")").c_str());
    ::AppendMenuW(menu, MF_STRING, kClearCache, L"清除缓存");
    ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuW(menu, MF_STRING, kUpdate, L"更新");
    ::AppendMenuW(menu, MF_STRING, kSettings, L"设置...");
    if (tray) {
        ::AppendMenuW(menu, MF_STRING, kExit, L"退出");
    } else {
        ::AppendMenuW(menu, MF_STRING, static_cast<UINT_PTR>(kVersion), L"版本号: 3.0.0.1");
    }
    return menu;
}

void CQuorvane3Dlg::OnMenuButton() {
    RECT button{};
    if (menuButton_.m_hWnd) ::GetWindowRect(menuButton_.m_hWnd, &button);
    HMENU menu = BuildMenu(false);
    if (!menu) return;
    TraceMenu(menu, L"system");
    const int id = static_cast<int>(
        ::TrackPopupMenu(menu, TPM_RETURNCMD, button.left, button.bottom + 2, 0, m_hWnd, nullptr));
    ::DestroyMenu(menu);
    RunCommand(id);
}

LRESULT CQuorvane3Dlg::OnTrayMenu(WPARAM, LPARAM) {
    ::SetForegroundWindow(m_hWnd);
    POINT cursor{};
    ::GetCursorPos(&cursor);
    HMENU menu = BuildMenu(true);
    if (!menu) return 0;
    TraceMenu(menu, L"tray");
    const int id = static_cast<int>(::TrackPopupMenu(menu, TPM_RETURNCMD | TPM_BOTTOMALIGN | TPM_RIGHTALIGN, cursor.x,
                                                     cursor.y, 0, m_hWnd, nullptr));
    ::DestroyMenu(menu);
    RunCommand(id);
    return 0;
}

LRESULT CQuorvane3Dlg::OnTrayCallback(WPARAM, LPARAM l) {
    if (l == WM_LBUTTONUP) {
        BossToggle();
    } else if (l == WM_RBUTTONUP) {
        PostMessage(tamsolo::kMsgTrayMenu, 0, 0);
    }
    return 0;
}

void CQuorvane3Dlg::RunCommand(int id) {
    switch (id) {
        case kRefresh: Refresh(); break;
        case kHideRestore: BossToggle(); break;
        case kClearCache: ClearCache(); break;
        case kUpdate: Update(); break;
        case kSettings: Settings(); break;
        case kExit: Exit(); break;
        default: break;  // the version line, or no choice
    }
}

void CQuorvane3Dlg::Refresh() {
    // The marker keeps the key from being taken for a hotkey; the filter passes it to the page.
    PostMessage(WM_KEYDOWN, VK_F5, tamsolo::kSelfMarker);
}

void CQuorvane3Dlg::ClearCache() {
    // A page process at its login, a game-list window and the game pages all use the browser.
    const bool pagesRunning = pages_.Count() > 0 || (startWindow_ && ::IsWindow(startWindow_)) ||
                              (pendingProcess_ && ::WaitForSingleObject(pendingProcess_.Get(), 0) == WAIT_TIMEOUT);
    if (!web::StartCacheClearing(m_hWnd, WM_CACHE_CLEARED, pagesRunning)) {
        Say(0, kCacheNotCleared);
    }
}

LRESULT CQuorvane3Dlg::OnCacheCleared(WPARAM w, LPARAM) {
    Say(0, w ? kCacheCleared : kCacheNotCleared);
    return 0;
}

void CQuorvane3Dlg::Update() {
    // One check at a time; its answer comes as WM_UPDATE_CHECKED.
    if (updateCheck_.Running()) return;
    if (!updateCheck_.Start(m_hWnd, WM_UPDATE_CHECKED)) Say(0, kUpdateCheckFailed);
}

LRESULT CQuorvane3Dlg::OnUpdateChecked(WPARAM, LPARAM) {
    app::UpdateCheck outcome = app::UpdateCheck::kFailed;
    if (!updateCheck_.Finish(TheApp(), &outcome) || exited_) return 0;
    switch (outcome) {
        case app::UpdateCheck::kAvailable:
            fw::StartProcess(fw::SelfCommandLine(L"/update"));  // a failed start still exits
            Exit();
            break;
        case app::UpdateCheck::kFailed:
            Say(0, kUpdateCheckFailed);
            break;
        default:
            Say(0, kUpToDate);
            break;
    }
    return 0;
}

void CQuorvane3Dlg::Settings() {
    CSettingDlg dialog(m_hWnd);
    g_settingsDialog = &dialog;
    dialog.DoModal();
    g_settingsDialog = nullptr;
}

// ------------------------------------------------------------------ tray icon

NOTIFYICONDATAW CQuorvane3Dlg::TrayRecord() const {
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof(data);
    data.hWnd = m_hWnd;
    data.uID = 1;
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = tamsolo::kMsgTrayCallback;
    data.hIcon = smallIcon_.Get();
    lstrcpynW(data.szTip, fw::W(tamsolo::kAppTitle16).c_str(), ARRAYSIZE(data.szTip));
    return data;
}

void CQuorvane3Dlg::AddTrayIcon() {
    NOTIFYICONDATAW data = TrayRecord();
    trayAdded_ = ::Shell_NotifyIconW(NIM_ADD, &data) != FALSE;
    fw::Trace(trayAdded_ ? L"tray-icon" : L"tray-icon-failed");
}

void CQuorvane3Dlg::DeleteTrayIcon() {
    if (!trayAdded_) return;
    NOTIFYICONDATAW data = TrayRecord();
    ::Shell_NotifyIconW(NIM_DELETE, &data);
    trayAdded_ = false;
}

// ------------------------------------------------------------------ boss toggle

void CQuorvane3Dlg::BossToggle() {
    if (::IsWindowVisible(m_hWnd)) {
        ::ShowWindow(m_hWnd, SW_HIDE);
        addAccount_.Hide();
        if (g_settingsDialog && g_settingsDialog->m_hWnd && ::IsWindowVisible(g_settingsDialog->m_hWnd)) {
            g_settingsDialog->EndDialog(IDCANCEL);
        }
        return;
    }
    ::ShowWindow(m_hWnd, SW_RESTORE);
    // Windows lets only the foreground thread hand the foreground on: join its input for the
    // moment it takes, and lift the window through the topmost band without moving it.
    const DWORD ours = ::GetCurrentThreadId();
    const DWORD theirs = ::GetWindowThreadProcessId(::GetForegroundWindow(), nullptr);
    const bool attached = theirs && theirs != ours && ::AttachThreadInput(ours, theirs, TRUE);
    constexpr UINT kKeep = SWP_NOMOVE | SWP_NOSIZE;
    ::SetWindowPos(m_hWnd, HWND_TOPMOST, 0, 0, 0, 0, kKeep);
    ::SetWindowPos(m_hWnd, HWND_NOTOPMOST, 0, 0, 0, 0, kKeep);
    ::SetForegroundWindow(m_hWnd);
    if (attached) ::AttachThreadInput(ours, theirs, FALSE);
}

}  // namespace mainwnd
