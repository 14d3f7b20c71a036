#include "web/logindlg_win.h"

#include <algorithm>

#include "app/protocol.h"
#include "framework/handle_win.h"
#include "framework/text_win.h"
#include "ui/msgbox_win.h"
#include "web/loginbkdlg_win.h"
#include "web/qqlogin_win.h"

namespace web {

namespace {

// The colour of page areas that let the background picture show through.
constexpr COLORREF kSeeThrough = RGB(254, 254, 254);
// The picture's rounded border around the panel the page stands in.
constexpr int kPanelMargin = 28;

}  // namespace

FW_BEGIN_MESSAGE_MAP(CLoginDlg, CDHtmDlgEx)
    FW_ON_MESSAGE(kMsgRunPageCommands, OnRunPageCommands)
    FW_ON_MESSAGE(kMsgOpenLoginPage, OnOpenLoginPage)
    FW_ON_MESSAGE(WM_TIMER, OnTimer)
    FW_ON_MESSAGE(WM_ERASEBKGND, OnEraseBkgnd)
FW_END_MESSAGE_MAP()

CLoginDlg::CLoginDlg(CLoginBkDlg& background, const std::wstring& address)
    : CDHtmDlgEx(kLoginTemplate, nullptr), background_(background), address_(address),
      signIn_(std::make_unique<CQQLogin>()) {}

CLoginDlg::~CLoginDlg() {
    if (signIn_ && signIn_->m_hWnd) signIn_->DestroyWindow();
    if (m_hWnd) DestroyWindow();
}

const PageEventEntry* CLoginDlg::PageEvents() const {
    using tamsolo::kDispMouseDown;
    using tamsolo::kDispMouseMove;
    using tamsolo::kDispMouseUp;
    // No image buttons and no context-menu entries here: only dragging by the background.
    static const PageEventEntry table[] = {
        {PageMatch::kTag, u"body", kDispMouseDown, PageHandler(&CLoginDlg::OnDragDown)},
        {PageMatch::kTag, u"body", kDispMouseUp, PageHandler(&CLoginDlg::OnDragUp)},
        {PageMatch::kTag, u"body", kDispMouseMove, PageHandler(&CLoginDlg::OnDragMouseMove)},
        {PageMatch::kTag, u"td", kDispMouseDown, PageHandler(&CLoginDlg::OnDragDown)},
        {PageMatch::kTag, u"td", kDispMouseUp, PageHandler(&CLoginDlg::OnDragUp)},
        {PageMatch::kTag, u"td", kDispMouseMove, PageHandler(&CLoginDlg::OnDragMouseMove)},
        {PageMatch::kTag, u"div", kDispMouseDown, PageHandler(&CLoginDlg::OnDragDown)},
        {PageMatch::kTag, u"div", kDispMouseUp, PageHandler(&CLoginDlg::OnDragUp)},
        {PageMatch::kTag, u"div", kDispMouseMove, PageHandler(&CLoginDlg::OnDragMouseMove)},
        {PageMatch::kClass, nullptr, 0, nullptr},
    };
    return table;
}

BOOL CLoginDlg::PreTranslateMessage(MSG* msg) {
    // No closing and no reload of the login page from the keyboard.
    if (msg->message == WM_KEYDOWN && (msg->wParam == VK_ESCAPE || msg->wParam == VK_F5)) return TRUE;
    return CDHtmDlgEx::PreTranslateMessage(msg);
}

BOOL CLoginDlg::OnInitDialog() {
    CDHtmDlgEx::OnInitDialog();
    const LONG_PTR ex = ::GetWindowLongPtrW(m_hWnd, GWL_EXSTYLE);
    ::SetWindowLongPtrW(m_hWnd, GWL_EXSTYLE, ((ex ^ WS_EX_LAYERED) & ~WS_EX_APPWINDOW) | WS_EX_TOOLWINDOW);
    ::SetLayeredWindowAttributes(m_hWnd, kSeeThrough, 0, LWA_COLORKEY);
    // The control's first navigation can hold this thread for a while (seconds under Wine);
    // it starts once the background is on screen, so the player sees the launcher at once.
    if (!address_.empty()) PostMessage(kMsgOpenLoginPage);
    return FALSE;
}

LRESULT CLoginDlg::OnOpenLoginPage(WPARAM, LPARAM) {
    Browser().Navigate(address_);
    return 0;
}

void CLoginDlg::ShowPage() {
    ::ShowWindow(m_hWnd, SW_SHOW);
    RECT client{};
    ::GetClientRect(m_hWnd, &client);
    Browser().Move(client);
    ::InvalidateRect(m_hWnd, nullptr, TRUE);
}

void CLoginDlg::OnNavigateComplete(const std::wstring& url, bool topLevel) {
    CDHtmDlgEx::OnNavigateComplete(url, topLevel);
    ShowPage();
}

bool CLoginDlg::OnPageUnreachable(const std::wstring&, long) {
    // The host's notice with its retry button takes the page's place; the player must see it
    // rather than a background without a page. The page window reaches past the picture (a
    // real login page paints that part in the see-through colour), so the notice keeps to the
    // part that lies over the picture's panel.
    ShowPage();
    RECT client{};
    ::GetClientRect(m_hWnd, &client);
    RECT overPicture = client;
    if (background_.PictureWidth() > 0 && background_.PictureHeight() > 0) {
        overPicture.right = std::min<LONG>(client.right, background_.PictureWidth() - kLoginPageOffsetX - kPanelMargin);
        overPicture.bottom = std::min<LONG>(client.bottom, background_.PictureHeight() - kLoginPageOffsetY - kPanelMargin);
    }
    if (overPicture.right > 0 && overPicture.bottom > 0) Browser().Move(overPicture);
    return true;
}

LRESULT CLoginDlg::OnEraseBkgnd(WPARAM w, LPARAM) {
    // Whatever the page does not cover is see-through, like the page's own see-through parts.
    RECT client{};
    ::GetClientRect(m_hWnd, &client);
    fw::Brush brush(::CreateSolidBrush(kSeeThrough));
    ::FillRect(reinterpret_cast<HDC>(w), &client, brush.Get());
    return TRUE;
}

void CLoginDlg::OnBeforeNavigate(const std::wstring& url, bool* cancel) {
    CDHtmDlgEx::OnBeforeNavigate(url, cancel);  // every "app:" address is cancelled there
    tamsolo::PageCommand command = tamsolo::ParsePageCommand(fw::U(url));
    if (command.kind == tamsolo::PageCommandKind::kNone) return;
    if (cancel) *cancel = true;
    if (command.kind == tamsolo::PageCommandKind::kUnknown) return;
    pending_.push_back(std::move(command));
    PostMessage(kMsgRunPageCommands);
}

LRESULT CLoginDlg::OnRunPageCommands(WPARAM, LPARAM) {
    while (!pending_.empty()) {
        tamsolo::PageCommand command = std::move(pending_.front());
        pending_.pop_front();
        RunCommand(command);
        if (background_.Ending()) {
            pending_.clear();  // the login is over: later commands have nothing left to act on
            break;
        }
    }
    return 0;
}

void CLoginDlg::RunCommand(const tamsolo::PageCommand& command) {
    switch (command.kind) {
        case tamsolo::PageCommandKind::kLoadGame:
            LoadGame(command);
            break;
        case tamsolo::PageCommandKind::kExitGame:
            background_.EndLogin(IDCANCEL);
            break;
        case tamsolo::PageCommandKind::kMinimize:
            Minimize();
            break;
        default:
            break;
    }
}

void CLoginDlg::LoadGame(const tamsolo::PageCommand& command) {
    if (!tamsolo::LoginArgumentFits(command.loginArgument)) {
        background_.EndLogin(IDCANCEL);
        return;
    }
    std::u16string argument = command.loginArgument;
    if (tamsolo::NeedsPercentDecoding(argument)) {
        argument = tamsolo::DecodeLoginArgument(fw::ToAnsi(fw::W(argument)));
    }
    if (!tamsolo::DecodedLoginArgumentUsable(argument)) {
        background_.EndLogin(IDCANCEL);
        return;
    }
    const tamsolo::Registration registration = tamsolo::SplitLoginArgument(argument);
    const std::u16string text = registration.Text();
    const DWORD bytes = static_cast<DWORD>((text.size() + 1) * sizeof(char16_t));
    if (bytes > tamsolo::kMaxRegistrationBytes) {
        background_.EndLogin(IDCANCEL);
        return;
    }

    COPYDATASTRUCT data{};
    data.dwData = 0;
    data.cbData = bytes;
    data.lpData = const_cast<char16_t*>(text.c_str());
    DWORD_PTR reply = 0;
    // A main window that is gone or hangs cannot have refused the account: the login ends
    // without claiming a duplicate. wParam names the sender, so that the main window can drop
    // the text should this process end before its frame registers.
    const HWND owner = background_.Owner();
    const WPARAM sender = reinterpret_cast<WPARAM>(m_hWnd);
    if (!owner || !::IsWindow(owner) ||
        !::SendMessageTimeoutW(owner, WM_COPYDATA, sender, reinterpret_cast<LPARAM>(&data), SMTO_ABORTIFHUNG,
                               kRegistrationTimeoutMs, &reply)) {
        background_.EndLogin(IDCANCEL);
        return;
    }
    if (reply == 0) {
        ShowMessageBox(0, kAppTitle, fw::W(tamsolo::DuplicateAccountMessage(registration)), nullptr);
        background_.EndLogin(IDCANCEL);
        return;
    }
    background_.EndLogin(IDOK, fw::W(command.gameAddress));
}

void CLoginDlg::Minimize() {
    if (background_.PageCount() > 0) {
        background_.EndLogin(IDCANCEL);
    } else if (IsUacOn()) {
        ::ShowWindow(background_.m_hWnd, SW_MINIMIZE);
    } else if (background_.Owner()) {
        ::ShowWindow(background_.Owner(), SW_MINIMIZE);
    }
}

void CLoginDlg::SendDrag(UINT message) {
    POINT pt{};
    ::GetCursorPos(&pt);
    ::ScreenToClient(m_hWnd, &pt);
    if (tamsolo::InLoginButtonArea(pt.x, pt.y)) return;
    if (!background_.m_hWnd) return;
    ::SendMessageW(background_.m_hWnd, message, HTCAPTION, MAKELPARAM(pt.x, pt.y));
}

HRESULT CLoginDlg::OnDragDown(const tamsolo::PageElementPtr&) {
    SendDrag(WM_NCLBUTTONDOWN);
    return S_FALSE;
}

HRESULT CLoginDlg::OnDragUp(const tamsolo::PageElementPtr&) {
    SendDrag(WM_NCLBUTTONUP);
    return S_FALSE;
}

HRESULT CLoginDlg::OnDragMouseMove(const tamsolo::PageElementPtr&) {
    SendDrag(WM_NCMOUSEMOVE);
    return S_FALSE;
}

LRESULT CLoginDlg::OnTimer(WPARAM, LPARAM) { return Default(); }

bool IsUacOn() {
    using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOW*);
    HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
    auto getVersion = ntdll ? reinterpret_cast<RtlGetVersionFn>(
                                  reinterpret_cast<void*>(::GetProcAddress(ntdll, "RtlGetVersion")))
                            : nullptr;
    OSVERSIONINFOW version{};
    version.dwOSVersionInfoSize = sizeof(version);
    if (!getVersion || getVersion(&version) != 0 || version.dwMajorVersion <= 5) return false;
    fw::RegKey key;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Policies\\System\\", 0,
                        KEY_READ, key.Put()) != ERROR_SUCCESS) {
        return false;
    }
    DWORD value = 0, size = sizeof(value), type = 0;
    if (::RegQueryValueExW(key.Get(), L"EnableLUA", nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) !=
            ERROR_SUCCESS ||
        size != sizeof(value)) {
        return false;
    }
    return value == 1;
}

}  // namespace web
