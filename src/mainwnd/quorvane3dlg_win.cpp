#include "mainwnd/quorvane3dlg_win.h"

#include <algorithm>
#include <string>

#include "app/cmdline.h"
#include "framework/paths_win.h"
#include "app/protocol.h"
#include "framework/text_win.h"
#include "framework/trace_win.h"
#include "mainwnd/hotkeys_win.h"
#include "mainwnd/pageprogram_win.h"
#include "mainwnd/pagewindow_win.h"
#include "ui/image_win.h"
#include "ui/msgbox_win.h"

namespace mainwnd {

namespace {

CQuorvane3Dlg* g_mainWindow = nullptr;

const wchar_t kTooManyPages[] = L"当前窗体只支持3个游戏页";

HBITMAP Skin(UINT id) { return tamsolo::ui::LoadSkinImage(fw::ResourceModule(), id); }

DWORD ProcessOf(HWND wnd) {
    DWORD pid = 0;
    ::GetWindowThreadProcessId(wnd, &pid);
    return pid;
}

HWND AsWindow(tamsolo::PageHandle h) { return reinterpret_cast<HWND>(h); }
tamsolo::PageHandle AsPage(HWND h) { return reinterpret_cast<tamsolo::PageHandle>(h); }

}  // namespace

FW_BEGIN_MESSAGE_MAP(CQuorvane3Dlg, tamsolo::ui::CDlgEx)
FW_ON_MESSAGE(tamsolo::kMsgTrayCallback, OnTrayCallback)
FW_ON_MESSAGE(tamsolo::kMsgRegisterFrame, OnRegisterFrame)
FW_ON_MESSAGE(tamsolo::kMsgTrayMenu, OnTrayMenu)
FW_ON_MESSAGE(tamsolo::kMsgReloadHotkeys, OnReloadHotkeys)
FW_ON_MESSAGE(tamsolo::kMsgAddAccount, OnAddAccount)
FW_ON_MESSAGE(WM_COPYDATA, OnCopyData)
FW_ON_MESSAGE(WM_HOTKEY_PRESSED, OnHotkeyPressed)
FW_ON_MESSAGE(WM_CACHE_CLEARED, OnCacheCleared)
FW_ON_MESSAGE(WM_PARK_WINDOW, OnParkWindow)
FW_ON_MESSAGE(WM_UPDATE_CHECKED, OnUpdateChecked)
FW_ON_MESSAGE(WM_PAINT, OnPaint)
FW_ON_MESSAGE(WM_QUERYDRAGICON, OnQueryDragIcon)
FW_ON_MESSAGE(WM_SIZE, OnSize)
FW_ON_MESSAGE(WM_WINDOWPOSCHANGING, OnWindowPosChanging)
FW_ON_MESSAGE(WM_TIMER, OnTimer)
FW_ON_MESSAGE(WM_DESTROY, OnDestroy)
FW_ON_MESSAGE(WM_ERASEBKGND, OnEraseBkgnd)
FW_ON_MESSAGE(WM_NCHITTEST, OnNcHitTest)
FW_ON_MESSAGE(WM_NCLBUTTONDOWN, OnNcLButtonDown)
FW_ON_MESSAGE(WM_LBUTTONDOWN, OnLButtonDown)
FW_ON_MESSAGE(WM_NCLBUTTONUP, OnNcLButtonUp)
FW_ON_MESSAGE(WM_LBUTTONUP, OnLButtonUp)
FW_ON_MESSAGE(WM_NCLBUTTONDBLCLK, OnNcLButtonDblClk)
FW_ON_MESSAGE(WM_LBUTTONDBLCLK, OnLButtonDblClk)
FW_ON_MESSAGE(WM_MBUTTONUP, OnMButtonUp)
FW_ON_MESSAGE(WM_NCMBUTTONUP, OnNcMButtonUp)
FW_ON_MESSAGE(WM_MOUSELEAVE, OnMouseLeave)
FW_ON_MESSAGE(WM_NCMOUSELEAVE, OnNcMouseLeave)
FW_ON_COMMAND(IDC_HIDE_BUTTON, OnHideButton)
FW_ON_COMMAND(IDC_SOUND_BUTTON, OnSoundButton)
FW_ON_COMMAND(IDC_MENU_BUTTON, OnMenuButton)
FW_ON_COMMAND(IDC_ADD_ACCOUNT, OnAddAccountLabel)
FW_END_MESSAGE_MAP()

CQuorvane3Dlg::CQuorvane3Dlg() : tamsolo::ui::CDlgEx(IDD_MAIN_DLG) { g_mainWindow = this; }

CQuorvane3Dlg::~CQuorvane3Dlg() {
    RemoveKeyboardHook();
    if (g_mainWindow == this) g_mainWindow = nullptr;
}

CQuorvane3Dlg* CQuorvane3Dlg::Instance() { return g_mainWindow; }

// ------------------------------------------------------------------ initialisation

BOOL CQuorvane3Dlg::OnInitDialog() {
    tamsolo::ui::CDlgEx::OnInitDialog();

    const HMODULE module = fw::ResourceModule();
    bigIcon_.Reset(static_cast<HICON>(::LoadImageW(module, MAKEINTRESOURCEW(128), IMAGE_ICON,
                                                   ::GetSystemMetrics(SM_CXICON), ::GetSystemMetrics(SM_CYICON), 0)));
    smallIcon_.Reset(static_cast<HICON>(::LoadImageW(module, MAKEINTRESOURCEW(128), IMAGE_ICON,
                                                     ::GetSystemMetrics(SM_CXSMICON),
                                                     ::GetSystemMetrics(SM_CYSMICON), 0)));
    SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_.Get()));
    SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_.Get()));

    InstallKeyboardHook();

    // Windows before Vista leave a stale corner when the window narrows (see OnSize).
    osMajor_ = LOBYTE(LOWORD(::GetVersion()));

    // The title band's places are pixels of the skin: its texts must keep the skin's scale.
    LayOutAtSkinScale();
    ApplySkin();
    // Until the first page registers, only the login page of the first page process is seen.
    ::SetWindowPos(m_hWnd, nullptr, 0, 0, 1, 1, SWP_NOZORDER | SWP_NOACTIVATE);
    // The dialog centres a window it finds in the corner after this; put it back then.
    PostMessage(WM_PARK_WINDOW);

    BindControls();
    BuildTabStrip();
    StartPageProcess();
    ReloadHotkeys();
    fw::Trace(L"main-window");
    return TRUE;
}

void CQuorvane3Dlg::ApplySkin() {
    ::SetWindowLongPtrW(m_hWnd, GWL_STYLE, ::GetWindowLongPtrW(m_hWnd, GWL_STYLE) | WS_CLIPCHILDREN);
    SetTitle(fw::W(tamsolo::kAppTitle16));
    titleHeight = 30;
    borderWidth = 4;
    buttonRightMargin = 0;
    buttonTop = 0;
    buttonSpacing = 0;
    // The frame copies the close and minimise strips and keeps the rest.
    fw::Bitmap close(Skin(132));
    fw::Bitmap minimize(Skin(136));
    SetSkin(Skin(134), false, true, close.Get(), minimize.Get(), Skin(135), Skin(137));
    resizable = true;
}

void CQuorvane3Dlg::BindControls() {
    hideButton_.SubclassDlgItem(IDC_HIDE_BUTTON, this);
    menuButton_.SubclassDlgItem(IDC_MENU_BUTTON, this);
    soundButton_.SubclassDlgItem(IDC_SOUND_BUTTON, this);
    addAccountLabel_.SubclassDlgItem(IDC_ADD_ACCOUNT, this);

    // The buttons copy their strips; only the two sound pictures are kept for switching.
    fw::Bitmap hide(Skin(138));
    fw::Bitmap menu(Skin(139));
    soundOnImage_.Reset(Skin(149));
    mutedImage_.Reset(Skin(148));
    hideButton_.SetImage(hide.Get(), true);
    soundButton_.SetImage(soundOnImage_.Get(), true);
    menuButton_.SetImage(menu.Get(), true);
    menuButton_.textColor = RGB(255, 255, 255);

    fw::Bitmap link(Skin(142));
    addAccountLabel_.SetImage(link.Get());
    addAccountLabel_.textColor = RGB(255, 255, 255);
    addAccountLabel_.hoverColor = RGB(255, 255, 255);
    addAccountLabel_.linkCursor = true;
    addAccountLabel_.underline = true;
    if (addAccountLabel_.m_hWnd) {
        ::SetWindowLongPtrW(addAccountLabel_.m_hWnd, GWL_STYLE,
                            ::GetWindowLongPtrW(addAccountLabel_.m_hWnd, GWL_STYLE) | SS_NOTIFY);
    }
}

// ------------------------------------------------------------------ page processes

void CQuorvane3Dlg::StartPageProcess() {
    const std::wstring line = fw::W(tamsolo::BuildNewPageCommandLine(
        fw::U(PageProgramPath()), static_cast<std::int64_t>(reinterpret_cast<INT_PTR>(m_hWnd)), pages_.Count()));
    HANDLE process = fw::StartProcessKeepHandle(line);
    if (!process) return;  // nothing changes, nothing is said
    // The older process keeps running; we only stop holding it.
    pendingProcess_.Reset(process);
}

bool CQuorvane3Dlg::AcceptableFrame(HWND frame) const {
    // Anyone can post to us: only another process's live window that we do not hold yet.
    if (!frame || !::IsWindow(frame) || frame == m_hWnd) return false;
    if (ProcessOf(frame) == ::GetCurrentProcessId()) return false;
    return !pages_.Holds(AsPage(frame)) && frame != startWindow_;
}

LRESULT CQuorvane3Dlg::OnRegisterFrame(WPARAM w, LPARAM l) {
    HWND frame = reinterpret_cast<HWND>(w);
    if (exited_ || !AcceptableFrame(frame)) return 0;
    if (!registered_) {
        registered_ = true;
        ToggleMaximize();
        AddTrayIcon();
        ::SetTimer(m_hWnd, kMuteTimer, kMuteTimerMs, nullptr);
        // The notice waits until the game has had time to load, so it never covers the login
        // or the game's first screen.
        ::SetTimer(m_hWnd, dialogs::kNoticeTimerId, dialogs::kNoticeDelayMs, nullptr);
        fw::Trace(L"first-registration");
    }
    if (l != 0) {
        startWindow_ = frame;
        return 0;
    }
    for (tamsolo::PageHandle p : pages_.Pages()) HidePage(AsWindow(p));
    if (startWindow_ && ::IsWindow(startWindow_)) HidePage(startWindow_);
    const DWORD process = ProcessOf(frame);
    pages_.AddPage(AsPage(frame), process);
    if (!pages_.IsWaiting(process)) ForgetLogin(process);
    // The process we started has made it past its login: no need to hold it any more. A frame
    // of some other process leaves the pending one alone.
    if (pendingProcess_ && ::GetProcessId(pendingProcess_.Get()) == process) pendingProcess_.Reset();
    Invalidate(tamsolo::StripAfterAdd(pages_.Count()));
    return 0;
}

LRESULT CQuorvane3Dlg::OnParkWindow(WPARAM, LPARAM) {
    if (!registered_) ::SetWindowPos(m_hWnd, nullptr, 0, 0, 1, 1, SWP_NOZORDER | SWP_NOACTIVATE);
    return 0;
}

LRESULT CQuorvane3Dlg::OnCopyData(WPARAM w, LPARAM l) {
    const auto* record = reinterpret_cast<const COPYDATASTRUCT*>(l);
    if (!record) return 0;
    std::u16string text;
    if (!tamsolo::ReadRegistrationRecord(record->lpData, record->cbData, &text)) return 0;
    // A login that ended without its frame no longer holds its account.
    DropEndedLogins();
    // The login page names its window in wParam, as WM_COPYDATA senders do; through it the
    // text follows its process. A sender that names none keeps the order rule of old.
    HWND sender = reinterpret_cast<HWND>(w);
    DWORD process = 0;
    if (sender && ::IsWindow(sender) && ProcessOf(sender) != ::GetCurrentProcessId()) process = ProcessOf(sender);
    if (!pages_.AddName(text, process)) return 0;
    if (process != 0) WatchLogin(process);
    fw::Trace((L"page-registered " + fw::W(text)).c_str());
    return 1;
}

void CQuorvane3Dlg::WatchLogin(DWORD process) {
    for (const LoginWatch& watch : logins_) {
        if (watch.process == process) return;
    }
    // Without the right to wait for it the text stays until its tab goes, as any other.
    fw::Handle handle(::OpenProcess(SYNCHRONIZE, FALSE, process));
    if (handle) logins_.push_back(LoginWatch{process, std::move(handle)});
}

void CQuorvane3Dlg::ForgetLogin(DWORD process) {
    logins_.erase(std::remove_if(logins_.begin(), logins_.end(),
                                 [process](const LoginWatch& w) { return w.process == process; }),
                  logins_.end());
}

void CQuorvane3Dlg::DropEndedLogins() {
    for (auto it = logins_.begin(); it != logins_.end();) {
        if (::WaitForSingleObject(it->handle.Get(), 0) == WAIT_OBJECT_0) {
            pages_.DropWaitingNames(it->process);
            it = logins_.erase(it);
        } else {
            ++it;
        }
    }
}

LRESULT CQuorvane3Dlg::OnAddAccount(WPARAM w, LPARAM) {
    if (w == 1) {
        if (pages_.Full()) {
            Say(0, kTooManyPages);
        } else {
            StartPageProcess();
        }
    } else if (w == 0) {
        fw::StartProcess(fw::SelfCommandLine(L""));
    }
    return 0;
}

void CQuorvane3Dlg::OnAddAccountLabel() {
    if (!addAccountLabel_.m_hWnd) return;
    RECT label{};
    ::GetWindowRect(addAccountLabel_.m_hWnd, &label);
    addAccount_.ShowUnder(m_hWnd, label);
}

RECT CQuorvane3Dlg::ContentArea() const {
    RECT c{};
    ::GetClientRect(m_hWnd, &c);
    return RECT{c.left + 4, c.top + 30, c.right - 4, c.bottom - 4};
}

void CQuorvane3Dlg::ShowPage(HWND h) {
    const RECT area = ContentArea();
    for (tamsolo::PageHandle p : pages_.Pages()) {
        HWND page = AsWindow(p);
        if (page != h) {
            HidePage(page);
            continue;
        }
        ShowPageAt(page, area);
        if (startWindow_ && ::IsWindowVisible(startWindow_)) HidePage(startWindow_);
    }
}

void CQuorvane3Dlg::ClosePage(int t) {
    if (t < 0 || t >= pages_.Count()) return;
    if (pages_.Count() <= 1) {
        Invalidate(tamsolo::TabCloseRect(t));
        hover_.Reset();
        OnCancel();
        return;
    }
    // The account name is the page process's text: bounded by the record check already.
    const std::wstring question = L"确定要退出账号：" + fw::W(pages_.NameAt(t)) + L" ?";
    if (Say(4, question) != IDYES) {
        Invalidate(tamsolo::TabRect(t));
        hover_.Reset();
        return;
    }
    // The question ran a message loop: the pages may have changed meanwhile.
    if (t >= pages_.Count()) return;
    tamsolo::PageHandle removed = 0;
    if (!pages_.Remove(t, &removed)) return;
    ShowPage(AsWindow(pages_.CurrentPage()));
    LetGoOfWindow(AsWindow(removed));
    Invalidate(tamsolo::StripAfterRemove(pages_.Count()));
    hover_.Reset();
}

// A page leaves our window: hidden first so it never flashes up on the desktop, then given
// no parent and told to close (its process ends itself). A page that hangs keeps only its own
// thread of ours waiting.
void CQuorvane3Dlg::LetGoOfWindow(HWND wnd) {
    ForgetFinishedLetGo(&letGo_);
    LetGo page = LetGoOfPage(wnd);
    if (page.thread) letGo_.push_back(std::move(page));
}

void CQuorvane3Dlg::SwitchToNextPage() {
    if (pages_.Count() == 0 || !::IsWindowVisible(m_hWnd) || ::IsIconic(m_hWnd)) return;
    const bool startShown = startWindow_ && ::IsWindowVisible(startWindow_);
    if (pages_.Count() >= 2 && !startShown) {
        Invalidate(tamsolo::TabRect(pages_.Current()));
        pages_.SelectNext();
        Invalidate(tamsolo::TabRect(pages_.Current()));
    }
    ShowPage(AsWindow(pages_.CurrentPage()));
}

HWND CQuorvane3Dlg::VisibleTarget() const {
    HWND page = AsWindow(pages_.CurrentPage());
    if (page && ::IsWindowVisible(page)) return page;
    if (startWindow_ && ::IsWindowVisible(startWindow_)) return startWindow_;
    return nullptr;
}

void CQuorvane3Dlg::PostToPages(UINT msg, WPARAM w, LPARAM l) const {
    for (tamsolo::PageHandle p : pages_.Pages()) ::PostMessageW(AsWindow(p), msg, w, l);
}

void CQuorvane3Dlg::ReloadHotkeys() {
    HotkeySet& keys = Hotkeys();
    keys.boss = LoadHotkeyBinding(tamsolo::kBossKey);
    keys.windowSwitch = LoadHotkeyBinding(tamsolo::kSwitchKey);
    PostToPages(tamsolo::kMsgPageReloadHotkeys, 0, 0);
    if (startWindow_) ::PostMessageW(startWindow_, tamsolo::kMsgPageReloadHotkeys, 0, 0);
    keys.sound = LoadHotkeyBinding(tamsolo::kSoundKey);
}

LRESULT CQuorvane3Dlg::OnReloadHotkeys(WPARAM, LPARAM) {
    ReloadHotkeys();
    return 0;
}

// ------------------------------------------------------------------ the key and command filter

bool CQuorvane3Dlg::FilterSwitchKey(const MSG& msg) {
    if ((msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN) || msg.lParam == tamsolo::kSelfMarker) {
        return false;
    }
    if (!Hotkeys().windowSwitch.Matches(static_cast<int>(msg.wParam), ModifiersFromThreadState())) return false;
    SwitchToNextPage();
    return true;
}

bool CQuorvane3Dlg::FilterClose(const MSG& msg) {
    // The filter also sees the messages of our own dialogs, boxes and the notice, which close
    // themselves with the same command: only a close aimed at this window may end the launcher.
    if (msg.hwnd != m_hWnd || msg.message != WM_SYSCOMMAND || (msg.wParam & 0xFFF0) != SC_CLOSE) return false;
    if (msg.lParam == tamsolo::kSelfMarker) {
        // A page process gave up its login.
        if (pages_.Count() == 0) {
            Exit();
            return true;
        }
        // With pages the launcher goes on. The message does not say which process sent it,
        // so the pending one is let go only once it has really ended.
        if (pendingProcess_ && ::WaitForSingleObject(pendingProcess_.Get(), 0) == WAIT_OBJECT_0) {
            pendingProcess_.Reset();
        }
        return true;
    }
    if (msg.lParam == 0 && pages_.Count() == 0) {
        Exit();
        return true;
    }
    return false;  // the default handling asks through OnCancel
}

bool CQuorvane3Dlg::FilterRelayedKey(const MSG& msg) {
    const bool ctrlD = msg.message == WM_CHAR && msg.wParam == 4 && HIWORD(msg.lParam) == 0x0020;
    const bool f5 = msg.message == WM_KEYDOWN && msg.wParam == VK_F5;
    if (!(ctrlD || f5) || pages_.Count() == 0) return false;
    if (HWND target = VisibleTarget()) ::PostMessageW(target, msg.message, msg.wParam, msg.lParam);
    return true;
}

BOOL CQuorvane3Dlg::PreTranslateMessage(MSG* msg) {
    if (FilterSwitchKey(*msg)) return TRUE;
    if (msg->message == WM_KEYDOWN && (msg->wParam == VK_ESCAPE || msg->wParam == VK_SPACE)) return TRUE;
    if (FilterClose(*msg)) return TRUE;
    if (FilterRelayedKey(*msg)) return TRUE;
    if (msg->message == WM_SYSCOMMAND && (msg->wParam & 0xFFF0) == SC_RESTORE && pages_.Count() == 0) {
        ::ShowWindow(m_hWnd, SW_RESTORE);
    }
    if (tooltip_) ::SendMessageW(tooltip_.Get(), TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(msg));
    return tamsolo::ui::CDlgEx::PreTranslateMessage(msg);
}

// ------------------------------------------------------------------ window

LRESULT CQuorvane3Dlg::OnPaint(WPARAM, LPARAM) {
    if (!::IsIconic(m_hWnd)) return Default();
    PAINTSTRUCT ps{};
    HDC dc = ::BeginPaint(m_hWnd, &ps);
    RECT r{};
    ::GetClientRect(m_hWnd, &r);
    const int cx = ::GetSystemMetrics(SM_CXICON), cy = ::GetSystemMetrics(SM_CYICON);
    ::DrawIcon(dc, (r.right - cx + 1) / 2, (r.bottom - cy + 1) / 2, bigIcon_.Get());
    ::EndPaint(m_hWnd, &ps);
    return 0;
}

LRESULT CQuorvane3Dlg::OnQueryDragIcon(WPARAM, LPARAM) { return reinterpret_cast<LRESULT>(bigIcon_.Get()); }

LRESULT CQuorvane3Dlg::OnSize(WPARAM w, LPARAM l) {
    const RECT area = ContentArea();
    if (startWindow_ && ::IsWindowVisible(startWindow_)) {
        MovePage(startWindow_, area);
    } else if (HWND page = AsWindow(pages_.CurrentPage())) {
        MovePage(page, area);
    }
    const LRESULT result = tamsolo::ui::CDlgEx::OnSize(w, l);

    const int cx = static_cast<short>(LOWORD(l));
    if (cx != lastWidth_) {
        struct Place {
            HWND wnd;
            int x, y, w, h;
        } places[] = {
            {hideButton_.m_hWnd, cx - 114, 0, 27, 27},
            {soundButton_.m_hWnd, cx - 141, 0, 27, 27},
            {menuButton_.m_hWnd, cx - 185, 0, 44, 28},
            {addAccountLabel_.m_hWnd, cx - 285, 7, 92, 16},
        };
        for (const Place& p : places) {
            if (!p.wnd) continue;
            ::MoveWindow(p.wnd, p.x, p.y, p.w, p.h, TRUE);
            ::InvalidateRect(p.wnd, nullptr, TRUE);
        }
        RECT title{0, 0, cx, 30};
        ::InvalidateRect(m_hWnd, &title, TRUE);
        if (osMajor_ < 6 && cx < lastWidth_) {
            RECT wr{};
            ::GetWindowRect(m_hWnd, &wr);
            RECT corner{wr.right - 4, wr.top, wr.right, wr.top + 4};
            ::RedrawWindow(::GetDesktopWindow(), &corner, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
        }
    }
    lastWidth_ = cx;
    return result;
}

LRESULT CQuorvane3Dlg::OnWindowPosChanging(WPARAM, LPARAM l) {
    auto* pos = reinterpret_cast<WINDOWPOS*>(l);
    if (pos && !(pos->flags & SWP_NOSIZE) && tamsolo::ApplyMinimumSize(pages_.Count(), &pos->cx, &pos->cy)) {
        return 0;
    }
    return Default();
}

LRESULT CQuorvane3Dlg::OnTimer(WPARAM w, LPARAM) {
    if (w == dialogs::kNoticeTimerId) {
        ::KillTimer(m_hWnd, dialogs::kNoticeTimerId);
        // The notice fetches itself off this thread and shows itself once it has something to
        // show, if this window is visible then.
        if (!notice_) notice_ = dialogs::OpenNotice(m_hWnd);
        return 0;
    }
    if (w != kMuteTimer) return Default();
    PostToPages(tamsolo::kMsgMuteState, static_cast<WPARAM>(muted_), 0);
    if (muted_ != shownMute_) {
        shownMute_ = muted_;
        soundButton_.SetImage(muted_ ? mutedImage_.Get() : soundOnImage_.Get(), false);
        if (soundButton_.m_hWnd) ::InvalidateRect(soundButton_.m_hWnd, nullptr, TRUE);
    }
    return 0;
}

LRESULT CQuorvane3Dlg::OnDestroy(WPARAM, LPARAM) {
    // However the window goes, nothing of it may stay behind in the system.
    RemoveKeyboardHook();
    ::KillTimer(m_hWnd, kMuteTimer);
    ::KillTimer(m_hWnd, dialogs::kNoticeTimerId);
    notice_.reset();
    updateCheck_.Abandon();
    DeleteTrayIcon();
    return Default();
}

// ------------------------------------------------------------------ exit

int CQuorvane3Dlg::Say(int style, const std::wstring& text) {
    fw::Trace((L"message-box " + text).c_str());
    return ShowMessageBox(style, kAppTitle, text, m_hWnd);
}

void CQuorvane3Dlg::OnCancel() {
    if (Say(4, L"窗口即将关闭，确定要退出游戏？") == IDYES) Exit();
}

void CQuorvane3Dlg::Exit() {
    if (exited_) return;
    exited_ = true;
    fw::Trace(L"main-window-exit");
    if (pendingProcess_) {
        ::TerminateProcess(pendingProcess_.Get(), 0);
        pendingProcess_.Reset();
    }
    RemoveKeyboardHook();
    for (tamsolo::PageHandle p : pages_.Pages()) LetGoOfWindow(AsWindow(p));
    // The game-list window is a frame of ours as much as a page is.
    LetGoOfWindow(startWindow_);
    ::KillTimer(m_hWnd, kMuteTimer);
    ::KillTimer(m_hWnd, dialogs::kNoticeTimerId);
    // A check still waiting for the network must not keep the process.
    updateCheck_.Abandon();
    DeleteTrayIcon();
    // The pages that answer are out of our window within moments. One that does not is still
    // our child, and our window's end would wait for it for good: its process is ended, as its
    // own watch of ours would end it a moment after we are gone.
    WaitForLetGo(&letGo_, kLetGoWaitMs);
    if (!letGo_.empty()) {
        fw::Trace(L"pages-not-answering-ended");
        EndPagesNotLetGo(&letGo_, kLetGoWaitMs);
    }
    ::PostQuitMessage(0);
}

}  // namespace mainwnd
