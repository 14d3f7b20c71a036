#include "web/gameframe_win.h"

#include <shellapi.h>

#include <memory>
#include <vector>

#include "framework/paths_win.h"
#include "app/installrules.h"
#include "app/protocol.h"
#include "dialogs/favdlg_win.h"
#include "dialogs/gamehall_win.h"
#include "framework/text_win.h"
#include "framework/trace_win.h"
#include "mainwnd/hotkeys_win.h"
#include "sound/mute_win.h"
#include "ui/msgbox_win.h"
#include "web/cache_win.h"
#include "web/pagestate_win.h"

namespace web {

namespace {

std::unique_ptr<CMainFrame> g_frame;

constexpr UINT kViewId = 0xE900;  // the first pane of a frame
constexpr LPARAM kMarker = tamsolo::kSelfMarker;

const wchar_t kHallCaption[] = L"KelvraFerrow游戏大厅";
const wchar_t kHallQuestion[] = L"下载Ferrow登录器，玩游戏更加方便快捷，现在就去下载吧？";

bool IsF5Alone(const tamsolo::HotkeyBinding& b) { return b.vk == VK_F5 && b.modifiers == 0; }

// Starts a program by its full path: the path is both the application name and the one quoted
// argument, so nothing after a blank can be taken for another program.
bool StartProgram(const std::wstring& path) {
    std::wstring line = L"\"" + path + L"\"";
    std::vector<wchar_t> buffer(line.begin(), line.end());
    buffer.push_back(L'\0');
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION pi{};
    if (!::CreateProcessW(path.c_str(), buffer.data(), nullptr, nullptr, FALSE, IDLE_PRIORITY_CLASS, nullptr,
                          nullptr, &si, &pi)) {
        // The launcher runs with the player's own rights; a program that needs more asks for them.
        return ::GetLastError() == fw::kErrorElevationRequired && fw::StartAskingForRights(path);
    }
    ::CloseHandle(pi.hThread);
    ::CloseHandle(pi.hProcess);
    return true;
}

bool IsFile(const std::wstring& path) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// A top-level dialog of this thread with that title.
HWND FindOwnDialog(const wchar_t* title) {
    const DWORD thread = ::GetCurrentThreadId();
    for (HWND box = ::FindWindowExW(nullptr, nullptr, L"#32770", title); box;
         box = ::FindWindowExW(nullptr, box, L"#32770", title)) {
        if (::GetWindowThreadProcessId(box, nullptr) == thread) return box;
    }
    return nullptr;
}

}  // namespace

// ------------------------------------------------------------------------------------------
// CGmWndView

FW_BEGIN_MESSAGE_MAP(CGmWndView, CHtmlView)
    FW_ON_MESSAGE(WM_CREATE, OnCreate)
    FW_ON_MESSAGE(kMsgRunEnterGame, OnRunEnterGame)
    FW_ON_MESSAGE(kMsgInitialNavigate, OnInitialNavigate)
FW_END_MESSAGE_MAP()

LRESULT CGmWndView::OnInitialNavigate(WPARAM, LPARAM) {
    Browser().Navigate(GameAddress());
    return 0;
}

LRESULT CGmWndView::OnCreate(WPARAM, LPARAM) {
    const LONG_PTR ex = ::GetWindowLongPtrW(m_hWnd, GWL_EXSTYLE);
    ::SetWindowLongPtrW(m_hWnd, GWL_EXSTYLE, ex & ~static_cast<LONG_PTR>(WS_EX_CLIENTEDGE));
    return Default();
}

void CGmWndView::OnInitialUpdate() {
    Browser().SetSilent(true);
    // The frame registers with the main window first: a slow first navigation must not keep
    // it waiting.
    PostMessage(kMsgInitialNavigate);
}

DWORD CGmWndView::HostFlags() {
    // The game-list page keeps the browser's border and scroll bars; games get neither.
    return GameAddress() == GameListAddress() ? 0 : (kHostFlagNo3dBorder | kHostFlagScrollNo);
}

void CGmWndView::OnNavigateComplete(const std::wstring& url, bool topLevel) {
    // A frame inside the page is not the page: the favourite stores the page's own address.
    if (topLevel) CurrentAddress() = url;
    if (CMainFrame* frame = MainFrame()) frame->PlaceInOwner();
}

void CGmWndView::OnTitleChange(const std::wstring& title) { PageTitle() = title; }

void CGmWndView::OnBeforeNavigate(const std::wstring& url, bool* cancel) {
    tamsolo::EnterGameCommand command = tamsolo::ParseEnterGame(fw::U(url), fw::U(HallSite()));
    if (!command.isCommand) return;
    if (cancel) *cancel = true;
    if (!command.valid) {
        fw::Trace(L"entergame-refused");
        return;
    }
    // Questions and programs wait until the browser's event has returned.
    pending_.push_back(std::move(command));
    PostMessage(kMsgRunEnterGame);
}

LRESULT CGmWndView::OnRunEnterGame(WPARAM, LPARAM) {
    while (!pending_.empty()) {
        tamsolo::EnterGameCommand command = std::move(pending_.front());
        pending_.pop_front();
        EnterGameHall(command);
    }
    return 0;
}

void CGmWndView::EnterGameHall(const tamsolo::EnterGameCommand& command) {
    const std::wstring name = fw::W(command.name);
    // Without a known install directory the path is empty and the game hall counts as missing.
    const std::wstring path = fw::W(tamsolo::FileInInstallDir(fw::U(fw::InstallDir()), command.name + u".exe"));
    if (path.size() > MAX_PATH) return;
    const HWND owner = MainFrame() ? MainFrame()->Owner() : nullptr;
    if (IsFile(path)) {
        fw::Trace(L"entergame-start");
        StartProgram(path);
        return;
    }
    fw::Trace(L"entergame-ask");
    if (ShowMessageBox(1, kHallCaption, kHallQuestion, owner) == IDOK) {
        dialogs::RunGameHallDownload(name, owner);
    } else {
        ::ShellExecuteW(nullptr, L"open", fw::W(command.hallSite).c_str(), nullptr, nullptr, SW_SHOW);
    }
}

// ------------------------------------------------------------------------------------------
// CMainFrame

FW_BEGIN_MESSAGE_MAP(CMainFrame, fw::CWnd)
    FW_ON_MESSAGE(WM_CREATE, OnCreate)
    FW_ON_MESSAGE(WM_SIZE, OnSize)
    FW_ON_MESSAGE(WM_TIMER, OnTimer)
    FW_ON_MESSAGE(tamsolo::kMsgMuteState, OnMuteState)
    FW_ON_MESSAGE(tamsolo::kMsgPageReloadHotkeys, OnReloadHotkeys)
    FW_ON_MESSAGE(WM_MOUSEACTIVATE, OnMouseActivate)
    FW_ON_MESSAGE(WM_DESTROY, OnDestroy)
FW_END_MESSAGE_MAP()

CMainFrame::~CMainFrame() {
    if (m_hWnd) DestroyWindow();
}

bool CMainFrame::Create() {
    const DWORD style = WS_OVERLAPPEDWINDOW & ~static_cast<DWORD>(WS_CAPTION | WS_THICKFRAME);
    if (!CreateEx(WS_EX_TOOLWINDOW, kAppTitle, style | WS_CLIPCHILDREN, 0, 0, 10, 10, nullptr, nullptr)) return false;
    ::SetWindowTextW(m_hWnd, kAppTitle);
    ::ShowWindow(m_hWnd, SW_HIDE);  // the first navigate-complete shows it
    ::UpdateWindow(m_hWnd);
    return true;
}

LRESULT CMainFrame::OnCreate(WPARAM, LPARAM) {
    // No caption, no sizing border, no client edge, no taskbar button.
    LONG_PTR style = ::GetWindowLongPtrW(m_hWnd, GWL_STYLE);
    ::SetWindowLongPtrW(m_hWnd, GWL_STYLE, style & ~static_cast<LONG_PTR>(WS_CAPTION | WS_THICKFRAME));
    LONG_PTR ex = ::GetWindowLongPtrW(m_hWnd, GWL_EXSTYLE);
    ex &= ~static_cast<LONG_PTR>(WS_EX_CLIENTEDGE | WS_EX_APPWINDOW);
    ::SetWindowLongPtrW(m_hWnd, GWL_EXSTYLE, ex | WS_EX_TOOLWINDOW);

    RECT client{};
    ::GetClientRect(m_hWnd, &client);
    if (!view_.Create(m_hWnd, client, kViewId)) return -1;
    viewCreated_ = true;

    ::SetWindowPos(m_hWnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    if (owner_ && ::IsWindow(owner_)) {
        const LPARAM isList = GameAddress() == GameListAddress() ? 1 : 0;
        ::PostMessageW(owner_, tamsolo::kMsgRegisterFrame, reinterpret_cast<WPARAM>(m_hWnd), isList);
        // A child inside the main window's content area: WS_CHILD first, so the system treats
        // it as one rather than as an owned pop-up.
        style = ::GetWindowLongPtrW(m_hWnd, GWL_STYLE);
        ::SetWindowLongPtrW(m_hWnd, GWL_STYLE, (style & ~static_cast<LONG_PTR>(WS_POPUP)) | WS_CHILD);
        ::SetParent(m_hWnd, owner_);
    }
    mainwnd::LoadAllHotkeys();
    return 0;
}

void CMainFrame::Shutdown() {
    // The browser goes while OLE is still up, whether or not the window is still there.
    if (m_hWnd && ::IsWindow(m_hWnd)) DestroyWindow();
    view_.Browser().Destroy();
}

LRESULT CMainFrame::OnSize(WPARAM, LPARAM) {
    if (viewCreated_ && view_.m_hWnd) {
        RECT client{};
        ::GetClientRect(m_hWnd, &client);
        ::MoveWindow(view_.m_hWnd, 0, 0, client.right, client.bottom, TRUE);
    }
    return Default();
}

RECT ContentArea(HWND owner) {
    RECT r{};
    ::GetClientRect(owner, &r);
    r.top += 30;
    r.left += 4;
    r.right -= 4;
    r.bottom -= 4;
    return r;
}

void CMainFrame::PlaceInOwner() {
    if (!m_hWnd) return;
    if (owner_ && ::IsWindow(owner_)) {
        const RECT r = ContentArea(owner_);
        ::MoveWindow(m_hWnd, r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
    }
    ::ShowWindow(m_hWnd, SW_SHOW);
}

BOOL CMainFrame::PreTranslateMessage(MSG* msg) {
    const UINT m = msg->message;
    if ((m == WM_KEYDOWN || m == WM_SYSKEYDOWN) && msg->lParam != kMarker) {
        const int vk = static_cast<int>(msg->wParam);
        if (mainwnd::Hotkeys().windowSwitch.Matches(vk, mainwnd::ModifiersFromThreadState())) {
            if (owner_) ::PostMessageW(owner_, m, msg->wParam, msg->lParam);
            return TRUE;
        }
    }
    if (m == WM_CHAR && msg->wParam == 4 && msg->lParam >= 0x00200000 && msg->lParam <= 0x0020FFFF) {
        dialogs::AddToFavourites(PageTitle(), CurrentAddress(), owner_);
        return TRUE;
    }
    if (m == WM_KEYDOWN && msg->wParam == VK_F5) return Refresh(msg->lParam);
    if (m == WM_SYSCOMMAND && (msg->wParam & 0xFFF0) == SC_CLOSE) {
        ::SetTimer(m_hWnd, kPageBoxTimer, 130, nullptr);
        return FALSE;
    }
    return fw::CWnd::PreTranslateMessage(msg);
}

bool CMainFrame::Refresh(LPARAM lParam) {
    const mainwnd::HotkeySet& keys = mainwnd::Hotkeys();
    // F5 bound to the boss or sound key belongs to the main window, unless it sent it.
    if ((IsF5Alone(keys.boss) || IsF5Alone(keys.sound)) && lParam != kMarker) return true;
    if (!viewCreated_) return true;
    web::PurgeGameLoader();
    view_.Browser().Refresh();
    fw::Trace(L"refresh");
    return true;
}

LRESULT CMainFrame::OnTimer(WPARAM id, LPARAM) {
    switch (id) {
        case kPageBoxTimer:
            ::KillTimer(m_hWnd, kPageBoxTimer);
            DestroyPageMessageBox();
            return 0;
        case kRaiseOwnerTimer:
            ::KillTimer(m_hWnd, kRaiseOwnerTimer);
            RaiseOwner();
            return 0;
        default:
            return Default();
    }
}

bool DestroyPageMessageBox() {
    // A page that asks before it is closed would otherwise keep the process alive.
    for (const wchar_t* title : {L"来自网页的消息", L"Windows Internet Explorer", L"Microsoft Internet Explorer"}) {
        if (HWND box = FindOwnDialog(title)) return ::DestroyWindow(box) != FALSE;
    }
    return false;
}

void CMainFrame::RaiseOwner() {
    if (!owner_ || !::IsWindow(owner_)) return;
    const DWORD ownerThread = ::GetWindowThreadProcessId(owner_, nullptr);
    const HWND foreground = ::GetForegroundWindow();
    const DWORD foregroundThread = foreground ? ::GetWindowThreadProcessId(foreground, nullptr) : 0;
    const bool attached = foregroundThread && foregroundThread != ownerThread &&
                          ::AttachThreadInput(ownerThread, foregroundThread, TRUE);
    const UINT flags = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE;
    ::SetWindowPos(owner_, HWND_TOPMOST, 0, 0, 0, 0, flags);
    ::SetWindowPos(owner_, HWND_NOTOPMOST, 0, 0, 0, 0, flags);
    if (attached) ::AttachThreadInput(ownerThread, foregroundThread, FALSE);
}

LRESULT CMainFrame::OnMuteState(WPARAM w, LPARAM) {
    // Repeats go to the sound code too: on older Windows each one is when a sound library the
    // plug-in loaded since the last request gets intercepted.
    const int mute = w ? 1 : 0;
    if (sound::OnMuteRequest(mute)) fw::Trace(mute ? L"mute 1" : L"mute 0");
    return 0;
}

LRESULT CMainFrame::OnReloadHotkeys(WPARAM, LPARAM) {
    mainwnd::LoadAllHotkeys();
    return 0;
}

LRESULT CMainFrame::OnMouseActivate(WPARAM, LPARAM) {
    ::SetTimer(m_hWnd, kRaiseOwnerTimer, 10, nullptr);
    return Default();
}

LRESULT CMainFrame::OnDestroy(WPARAM, LPARAM) {
    // The game page closed: the process has nothing left to show.
    if (this == g_frame.get()) ::PostQuitMessage(0);
    return Default();
}

CMainFrame* MainFrame() { return g_frame.get(); }

CMainFrame* CreateMainFrame(HWND owner) {
    g_frame = std::make_unique<CMainFrame>(owner);
    if (!g_frame->Create()) {
        g_frame.reset();
        return nullptr;
    }
    return g_frame.get();
}

}  // namespace web
