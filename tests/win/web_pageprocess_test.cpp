// The page process's windows in-process: the login page's commands against a stand-in main
// window, the favourite file, and the sign-in frame.
#include <windows.h>
#include <shlobj.h>
#include <wininet.h>

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "dialogs/favdlg_win.h"
#include "web/gameframe_win.h"
#include "web/logindlg_win.h"
#include "web/loginbkdlg_win.h"
#include "app/protocol.h"
#include "web/pagestate_win.h"
#include "web/qqlogin_win.h"

namespace {

// ---------------------------------------------------------------- a stand-in main window

struct Owner {
    LRESULT reply = 1;
    std::vector<std::wstring> registrations;
};
Owner* g_owner = nullptr;

LRESULT CALLBACK OwnerProc(HWND wnd, UINT msg, WPARAM w, LPARAM l) {
    if (msg == WM_COPYDATA && g_owner) {
        const auto* cds = reinterpret_cast<const COPYDATASTRUCT*>(l);
        const auto* text = static_cast<const wchar_t*>(cds->lpData);
        g_owner->registrations.emplace_back(text, cds->cbData / 2 - 1);
        return g_owner->reply;
    }
    return ::DefWindowProcW(wnd, msg, w, l);
}

HWND MakeOwner() {
    static bool registered = false;
    if (!registered) {
        WNDCLASSW wc{};
        wc.lpfnWndProc = &OwnerProc;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = L"PageTestOwner";
        ::RegisterClassW(&wc);
        registered = true;
    }
    return ::CreateWindowExW(0, L"PageTestOwner", L"owner", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200, nullptr, nullptr,
                             ::GetModuleHandleW(nullptr), nullptr);
}

// Runs once the modal loop is going.
std::function<void()> g_step;
void CALLBACK RunStep(HWND, UINT, UINT_PTR id, DWORD) {
    ::KillTimer(nullptr, id);
    if (g_step) g_step();
}

// A failsafe: a login the test never ends is given up after a while.
web::CLoginBkDlg* g_running = nullptr;
void CALLBACK GiveUp(HWND, UINT, UINT_PTR id, DWORD) {
    ::KillTimer(nullptr, id);
    if (g_running) g_running->EndLogin(-5);
}

struct LoginRun {
    INT_PTR result;
    std::vector<std::wstring> registrations;
};

LoginRun RunLogin(const std::wstring& url, int pageCount, LRESULT reply,
                  std::function<void(web::CLoginBkDlg&)> check = nullptr) {
    Owner owner;
    owner.reply = reply;
    g_owner = &owner;
    HWND ownerWnd = MakeOwner();
    // No page of its own: under Wine a first navigation holds the thread for seconds. The
    // commands arrive as the page's script would send them.
    web::CLoginBkDlg background(ownerWnd, pageCount);
    background.SetLoginAddress(L"");
    g_running = &background;
    g_step = [&] {
        if (check) check(background);
        web::CLoginDlg* page = background.LoginPage();
        if (page) page->Browser().Navigate(url);
    };
    ::SetTimer(nullptr, 0, 100, &RunStep);
    const UINT_PTR failsafe = ::SetTimer(nullptr, 0, 20000, &GiveUp);
    const INT_PTR result = background.DoModal();
    ::KillTimer(nullptr, failsafe);
    g_running = nullptr;
    g_step = nullptr;
    g_owner = nullptr;
    if (::IsWindow(ownerWnd)) ::DestroyWindow(ownerWnd);
    return {result, owner.registrations};
}

const std::wstring kGame = L"http://127.0.0.1:18480/game.php?s=12";

}  // namespace

TEST(LoginPage, PageCommandsEndTheLogin) {
    struct Case {
        const char* name;
        std::wstring url;
        int pageCount;
        LRESULT reply;
        INT_PTR result;
        std::vector<std::wstring> registrations;
        std::wstring gameAddress;  // after IDOK
    } cases[] = {
        {"example", L"app://loadgame?S12服-《x》abcdefg-player1|" + kGame, 0, 1, IDOK, {L"12服-abcd-player1"}, kGame},
        {"percent-encoded UTF-8",
         L"app://loadgame?S12%E6%9C%8D-%E3%80%8Ax%E3%80%8Babcdefg-player1|" + kGame, 0, 1, IDOK,
         {L"12服-abcd-player1"}, kGame},
        {"nothing after the word", L"app://loadgame", 0, 1, IDOK, {L"服--"}, L""},
        {"exitgame", L"app://exitgame", 0, 1, IDCANCEL, {}, L""},
        {"minimize with pages open", L"app://minimize", 2, 1, IDCANCEL, {}, L""},
        {"over-long login argument", L"app://loadgame?" + std::wstring(600, L'a') + L"|" + kGame, 0, 1,
         IDCANCEL, {}, L""},
        // The main window would read "12" only: an account the page never named.
        {"login argument decoding to a NUL", L"app://loadgame?S12%00%E6%9C%8D-abcd-player1|" + kGame, 0, 1,
         IDCANCEL, {}, L""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        web::GameAddress() = L"unchanged";
        const LoginRun run = RunLogin(c.url, c.pageCount, c.reply);
        EXPECT_EQ(run.result, c.result);
        EXPECT_EQ(run.registrations, c.registrations);
        EXPECT_EQ(web::GameAddress(), c.result == IDOK ? c.gameAddress : L"unchanged");
    }
}

TEST(LoginPage, KeysThatWouldCloseOrReloadAreSwallowed) {
    bool checked = false;
    RunLogin(L"app://exitgame", 0, 1, [&](web::CLoginBkDlg& background) {
        web::CLoginDlg* page = background.LoginPage();
        ASSERT_NE(page, nullptr);
        MSG m{};
        m.hwnd = page->m_hWnd;
        m.message = WM_KEYDOWN;
        for (WPARAM key : {VK_ESCAPE, VK_F5}) {
            m.wParam = key;
            EXPECT_TRUE(page->PreTranslateMessage(&m)) << key;
        }
        m.hwnd = background.m_hWnd;
        m.wParam = VK_RETURN;
        EXPECT_TRUE(background.PreTranslateMessage(&m));
        // The page is a tool window at its offset, hidden until its page completes.
        RECT bk{}, pg{};
        ::GetWindowRect(background.m_hWnd, &bk);
        ::GetWindowRect(page->m_hWnd, &pg);
        EXPECT_EQ(pg.left - bk.left, web::kLoginPageOffsetX);
        EXPECT_EQ(pg.top - bk.top, web::kLoginPageOffsetY);
        EXPECT_TRUE(::GetWindowLongPtrW(page->m_hWnd, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
        EXPECT_EQ(background.PictureWidth(), 888);
        EXPECT_EQ(background.PictureHeight(), 518);
        checked = true;
    });
    EXPECT_TRUE(checked);
}

// ---------------------------------------------------------------- favourites

namespace {

std::wstring Favourites() {
    wchar_t folder[MAX_PATH] = {};
    ::SHGetFolderPathW(nullptr, CSIDL_FAVORITES | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT, folder);
    return folder;
}

std::string ReadAll(const std::wstring& path) {
    HANDLE f = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return "<missing>";
    std::string data(1 << 16, '\0');
    DWORD got = 0;
    ::ReadFile(f, &data[0], static_cast<DWORD>(data.size()), &got, nullptr);
    ::CloseHandle(f);
    data.resize(got);
    return data;
}

std::string Shortcut(const std::string& url) {
    return "[DEFAULT]\r\nBASEURL=" + url + "\r\n[{000214A0-0000-0000-C000-000000000046}]\r\n=19,2\r\n"
           "[InternetShortcut]\r\nURL=" + url + "\r\nIDList=\r\n";
}

}  // namespace

TEST(Favourites, ShortcutFileBytesAndNames) {
    const std::wstring folder = Favourites();
    ASSERT_FALSE(folder.empty());
    struct Case {
        std::wstring name, url, file;  // file: expected name in the folder, empty = nothing written
        std::string bytes;
    } cases[] = {
        {L"x", L"http://a/b", L"x.url", Shortcut("http://a/b")},
        {L"x", L"http://a/second", L"x.url", Shortcut("http://a/second")},  // overwritten
        {L"Brennic 12服", L"http://a/服", L"Brennic 12服.url", Shortcut("http://a/\xB7\xFE")},  // GBK
        {L"..\\..\\evil", L"http://a/", L".._.._evil.url", Shortcut("http://a/")},
        {L"con", L"http://a/", L"_con.url", Shortcut("http://a/")},  // not the console
        {L"long", L"http://a/" + std::wstring(300, L'z'), L"", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.file.begin(), c.file.end()));
        const bool written = dialogs::WriteFavourite(c.name, c.url);
        EXPECT_EQ(written, !c.file.empty());
        if (c.file.empty()) continue;
        const std::string data = ReadAll(folder + L"\\" + c.file);
        EXPECT_EQ(data, c.bytes);
    }
    EXPECT_EQ(ReadAll(folder + L"\\x.url").size(), 135u);  // "http://a/second": 15 characters
    EXPECT_EQ(::GetFileAttributesW((folder + L"\\long.url").c_str()), INVALID_FILE_ATTRIBUTES);
    for (const wchar_t* f : {L"x.url", L"Brennic 12服.url", L".._.._evil.url", L"_con.url"}) ::DeleteFileW((folder + L"\\" + f).c_str());
}

TEST(Favourites, TenCharacterAddressIs125Bytes) {
    ASSERT_TRUE(dialogs::WriteFavourite(L"x", L"http://a/b"));
    const std::wstring path = Favourites() + L"\\x.url";
    EXPECT_EQ(ReadAll(path).size(), 125u);
    ::DeleteFileW(path.c_str());
}

// ---------------------------------------------------------------- sign-in

TEST(SignIn, CallbacksAndCookie) {
    struct Case {
        std::wstring url;
        bool callback;
    } cases[] = {
        {web::PartnerCallbackAddress() + L"&code=1", true},
        {web::WeiboCallbackAddress() + L"=x&code=1", true},
        {L"http://elsewhere/?r=" + web::PartnerCallbackAddress(), false},  // inside the query
        {web::QQAuthorizeAddress(), false},
    };
    for (const auto& c : cases) EXPECT_EQ(web::IsSignInCallback(c.url), c.callback) << std::string(c.url.begin(), c.url.end());

    const std::wstring url = web::PartnerCallbackAddress() + L"&code=1";
    EXPECT_FALSE(web::HasSignInCookie(url));
    // The platform's other cookies are handed back whatever name is asked for.
    ASSERT_TRUE(::InternetSetCookieW(url.c_str(), L"XPauth", L"1"));
    ASSERT_TRUE(::InternetSetCookieW(url.c_str(), L"Pauth2", L"1"));
    EXPECT_FALSE(web::HasSignInCookie(url));
    ASSERT_TRUE(::InternetSetCookieW(url.c_str(), L"Pauth", L"token"));
    EXPECT_TRUE(web::HasSignInCookie(url));
    const std::wstring longValue(400, L'v');  // more than the 256 characters read
    ASSERT_TRUE(::InternetSetCookieW(url.c_str(), L"Pauth", longValue.c_str()));
    EXPECT_TRUE(web::HasSignInCookie(url));
}

TEST(SignIn, FrameHoldsItsPageInsideTheBorder) {
    web::CQQLogin frame;
    ASSERT_TRUE(frame.Create());
    ::ShowWindow(frame.m_hWnd, SW_SHOW);
    RECT f{}, p{};
    ::GetWindowRect(frame.m_hWnd, &f);
    EXPECT_EQ(f.right - f.left, 740);
    EXPECT_EQ(f.bottom - f.top, 470);
    ASSERT_NE(frame.Page().m_hWnd, nullptr) << "showing the frame makes its page";
    EXPECT_TRUE(::IsWindowVisible(frame.Page().m_hWnd));
    ::GetWindowRect(frame.Page().m_hWnd, &p);
    EXPECT_EQ(p.left - f.left, 4);
    EXPECT_EQ(p.top - f.top, 30);
    EXPECT_EQ(p.right - p.left, 732);
    EXPECT_EQ(p.bottom - p.top, 436);
    wchar_t title[64] = {};
    ::GetWindowTextW(frame.m_hWnd, title, 64);
    EXPECT_STREQ(title, L"QQ账号安全登录");

    // The service's page must not load while nobody can see it.
    ::ShowWindow(frame.m_hWnd, SW_HIDE);
    bool cancel = false;
    frame.Page().OnBeforeNavigate(web::QQAuthorizeAddress() + L"?client_id=1", &cancel);
    EXPECT_TRUE(cancel);
    ::ShowWindow(frame.m_hWnd, SW_SHOW);
    cancel = false;
    frame.Page().OnBeforeNavigate(web::QQAuthorizeAddress() + L"?client_id=1", &cancel);
    EXPECT_FALSE(cancel);

    // Pausing here lets a screenshot be taken of the frame (TAMSOLO_HOLD_MS).
    wchar_t hold[16] = {};
    if (::GetEnvironmentVariableW(L"TAMSOLO_HOLD_MS", hold, 16)) {
        const DWORD until = ::GetTickCount() + static_cast<DWORD>(_wtoi(hold));
        MSG m;
        while (::GetTickCount() < until) {
            while (::PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&m);
            ::Sleep(20);
        }
    }

    // Completion: a callback with the cookie closes the page and ends the frame.
    const std::wstring url = web::WeiboCallbackAddress() + L"=s";
    ASSERT_TRUE(::InternetSetCookieW(url.c_str(), L"Pauth", L"ok"));
    frame.Page().OnNavigateComplete(url, true);
    EXPECT_FALSE(::IsWindowVisible(frame.m_hWnd)) << "the frame ends with the sign-in";
}

namespace {

// The sign-in page as it is, telling what became of each navigation it was asked to make.
class CWatchedSignIn : public web::CQQHtml {
public:
    std::vector<std::pair<std::wstring, bool>> seen;  // address, cancelled
    void OnBeforeNavigate(const std::wstring& url, bool* cancel) override {
        web::CQQHtml::OnBeforeNavigate(url, cancel);
        seen.emplace_back(url, *cancel);
    }
};

}  // namespace

TEST(SignIn, AuthorisationPageOpensWhenThePageIsShown) {
    CWatchedSignIn page;
    const std::wstring address = web::QQAuthorizeAddress() + L"?client_id=1";
    page.SetAddress(address);
    ASSERT_TRUE(page.Create());
    ASSERT_FALSE(::IsWindowVisible(page.m_hWnd));
    ::ShowWindow(page.m_hWnd, SW_SHOWNA);  // as the frame shows it
    // Wine's first real navigation may hold Navigate2 for seconds; its BeforeNavigate2 has
    // come by then.
    const DWORD start = ::GetTickCount();
    while (page.seen.empty() && ::GetTickCount() - start < 20000) {
        MSG m;
        while (::PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&m);
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
    ASSERT_EQ(page.seen.size(), 1u) << "the page opens once per showing";
    EXPECT_EQ(page.seen[0].first, address);
    EXPECT_FALSE(page.seen[0].second) << "the authorisation page was refused to the page being shown";
    page.DestroyWindow();
}

// ---------------------------------------------------------------- close-time message box

namespace {

HWND MakeBox(const wchar_t* title) {
    // The dialog class of message boxes.
    return ::CreateWindowExW(0, L"#32770", title, WS_POPUP, 0, 0, 50, 50, nullptr, nullptr, nullptr, nullptr);
}

}  // namespace

TEST(GameFrame, ClosingRemovesOnlyThisThreadsPageBox) {
    HWND other = nullptr;
    HANDLE ready = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE done = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    struct Ctx { HWND* box; HANDLE ready, done; } ctx{&other, ready, done};
    HANDLE thread = ::CreateThread(nullptr, 0, [](void* p) -> DWORD {
        auto* c = static_cast<Ctx*>(p);
        *c->box = MakeBox(L"来自网页的消息");
        ::SetEvent(c->ready);
        ::WaitForSingleObject(c->done, 10000);
        ::DestroyWindow(*c->box);
        return 0;
    }, &ctx, 0, nullptr);
    ASSERT_EQ(::WaitForSingleObject(ready, 10000), WAIT_OBJECT_0);
    ASSERT_NE(other, nullptr);

    EXPECT_FALSE(web::DestroyPageMessageBox()) << "another thread's box was taken";
    EXPECT_TRUE(::IsWindow(other));

    struct Case {
        const wchar_t* title;
        bool removed;
    } cases[] = {
        {L"来自网页的消息", true},
        {L"Windows Internet Explorer", true},
        {L"Microsoft Internet Explorer", true},
        {L"kelvra - Brennic", false},
    };
    for (const auto& c : cases) {
        HWND mine = MakeBox(c.title);
        ASSERT_NE(mine, nullptr);
        EXPECT_EQ(web::DestroyPageMessageBox(), c.removed);
        EXPECT_EQ(::IsWindow(mine) == FALSE, c.removed);
        if (::IsWindow(mine)) ::DestroyWindow(mine);
    }
    EXPECT_TRUE(::IsWindow(other));
    ::SetEvent(done);
    ::WaitForSingleObject(thread, 10000);
    ::CloseHandle(thread);
    ::CloseHandle(ready);
    ::CloseHandle(done);
}

TEST(GameFrame, RegistrationAndHostFlagsFollowTheGameAddress) {
    struct Case {
        std::wstring address;
        LPARAM isList;
        DWORD flags;
    } cases[] = {
        {web::GameListAddress(), 1, 0},  // the list page keeps border and scroll bars
        {L"http://127.0.0.1:18480/game.php?s=12", 0, web::kHostFlagNo3dBorder | web::kHostFlagScrollNo},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.address.begin(), c.address.end()));
        web::GameAddress() = c.address;
        HWND owner = MakeOwner();
        web::CMainFrame frame(owner);
        ASSERT_TRUE(frame.Create());
        EXPECT_EQ(::GetParent(frame.m_hWnd), owner);
        EXPECT_TRUE(::GetWindowLongPtrW(frame.m_hWnd, GWL_STYLE) & WS_CHILD);
        EXPECT_FALSE(::IsWindowVisible(frame.m_hWnd)) << "hidden until its page completes";
        EXPECT_FALSE(::GetWindowLongPtrW(frame.m_hWnd, GWL_STYLE) & WS_CAPTION);
        // Only the owner's messages: the view's first navigation stays queued.
        MSG m{};
        ASSERT_TRUE(::PeekMessageW(&m, owner, tamsolo::kMsgRegisterFrame, tamsolo::kMsgRegisterFrame, PM_REMOVE));
        EXPECT_EQ(reinterpret_cast<HWND>(m.wParam), frame.m_hWnd);
        EXPECT_EQ(m.lParam, c.isList);
        ASSERT_NE(frame.View(), nullptr);
        EXPECT_EQ(frame.View()->Browser().SiteHostFlags() & (web::kHostFlagNo3dBorder | web::kHostFlagScrollNo), c.flags);

        // Placed into the owner's content area on a completed navigation.
        frame.PlaceInOwner();
        const RECT area = web::ContentArea(owner);
        RECT r{};
        ::GetWindowRect(frame.m_hWnd, &r);
        ::MapWindowPoints(nullptr, owner, reinterpret_cast<POINT*>(&r), 2);
        EXPECT_EQ(r.left, area.left);
        EXPECT_EQ(r.top, area.top);
        EXPECT_EQ(r.right, area.right);
        EXPECT_EQ(r.bottom, area.bottom);

        frame.DestroyWindow();
        ::DestroyWindow(owner);
    }
    web::GameAddress() = web::GameListAddress();
}
