// Plays a page process for the main window's end-to-end tests: started by the test build of
// the launcher in place of its own page process ("/newgm /<main window> /<page count>"), it
// waits at its "login" for the test to say what happens, then behaves as a game frame does:
// registers, re-parents itself into the main window, shows itself in the content area and
// logs what the main window sends it.
//
// The test talks to the hidden control window (class TamsoloFakePage) with WM_COPYDATA:
//   dwData 1, text T  log in as T: send T to the main window; if accepted, make the frame
//   dwData 2          give up the login (SC_CLOSE with the marker 5171 to the main window), end
//   dwData 3          make a game-list frame (registers with lParam 1), no login
//   dwData 4, text T  log in as T, then end without a frame (a login that died on its way)
//   dwData 5, text U  hold browser data as a game does: the cache entry U locked, a Flash file
//                     open without delete sharing, and U's entry made anew every 100 ms
//   dwData 6          stop answering for two minutes (after answering this send)
// The answer of the copy-data send is the main window's answer (or 1). A login names the
// control window as its sender in wParam, as the login page names its own.
//
// Every line of C:\tamsolo_fakepage.txt is "pid=P frame=H event=E"; the first two of a process
// are its arguments and how it was started (its show command).
#include <windows.h>
#include <shlobj.h>
#include <wininet.h>

#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <string>
#include <vector>

#include "framework/text_win.h"
#include "framework/trace_win.h"

namespace {

constexpr UINT kRegisterFrame = WM_USER + 2;
constexpr UINT kMuteState = WM_USER + 5;
constexpr UINT kReloadHotkeys = WM_USER + 7;
constexpr LPARAM kMarker = 5171;
constexpr UINT_PTR kOwnerTimer = 2;
constexpr UINT_PTR kRecacheTimer = 3;

HWND g_owner = nullptr;
HWND g_frame = nullptr;
std::wstring g_name;
long long g_lastMute = -1;
std::wstring g_heldUrl;
HANDLE g_heldFile = INVALID_HANDLE_VALUE;  // kept open until the process ends

void Log(const std::string& event) {
    FILE* f = _wfopen(L"C:\\tamsolo_fakepage.txt", L"ab");
    if (!f) return;
    std::fprintf(f, "pid=%lu frame=%lld event=%s\n", ::GetCurrentProcessId(),
                 static_cast<long long>(reinterpret_cast<INT_PTR>(g_frame)), event.c_str());
    std::fclose(f);
}

std::string Num(long long v) { return std::to_string(v); }

bool CacheEntry(const std::wstring& url) {
    wchar_t file[MAX_PATH] = {};
    if (!::CreateUrlCacheEntryW(url.c_str(), 0, L"dat", file, 0)) return false;
    HANDLE f = ::CreateFileW(file, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    ::WriteFile(f, "page", 4, &written, nullptr);
    ::CloseHandle(f);
    FILETIME none{};
    return ::CommitUrlCacheEntryW(url.c_str(), file, none, none, NORMAL_CACHE_ENTRY, nullptr, 0, nullptr, nullptr) !=
           FALSE;
}

// What a running game keeps of the browser's data while it plays.
bool HoldBrowserData(HWND control, const std::wstring& url) {
    g_heldUrl = url;
    if (!CacheEntry(url)) return false;
    DWORD size = 0;
    ::RetrieveUrlCacheEntryFileW(url.c_str(), nullptr, &size, 0);
    std::vector<unsigned char> info(size ? size : 1);
    if (!::RetrieveUrlCacheEntryFileW(url.c_str(), reinterpret_cast<INTERNET_CACHE_ENTRY_INFOW*>(info.data()), &size, 0)) {
        return false;
    }
    wchar_t roaming[MAX_PATH] = {};
    if (FAILED(::SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, roaming))) return false;
    const std::wstring folder = std::wstring(roaming) + L"\\Macromedia\\Flash Player\\#SharedObjects\\" +
                                std::to_wstring(::GetCurrentProcessId());
    ::SHCreateDirectoryExW(nullptr, folder.c_str(), nullptr);
    g_heldFile = ::CreateFileW((folder + L"\\game.sol").c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
    if (g_heldFile == INVALID_HANDLE_VALUE) return false;
    ::SetTimer(control, kRecacheTimer, 100, nullptr);
    return true;
}

LRESULT CALLBACK FrameProc(HWND wnd, UINT msg, WPARAM w, LPARAM l) {
    switch (msg) {
        case kMuteState:
            // Every 400 ms; only changes are worth a line.
            if (static_cast<long long>(w) != g_lastMute) {
                g_lastMute = static_cast<long long>(w);
                Log("mute=" + Num(g_lastMute));
            }
            return 0;
        case kReloadHotkeys:
            Log("reload-hotkeys");
            return 0;
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
            Log(std::string(msg == WM_KEYDOWN ? "keydown" : "syskeydown") + " vk=" + Num(static_cast<long long>(w)) +
                " lparam=" + Num(static_cast<long long>(l)));
            return 0;
        case WM_CHAR:
            Log("char=" + Num(static_cast<long long>(w)) + " lparam=" + Num(static_cast<long long>(l)));
            return 0;
        case WM_SYSCOMMAND:
            if ((w & 0xFFF0) == SC_CLOSE) {
                HWND parent = ::GetAncestor(wnd, GA_PARENT);
                Log("close lparam=" + Num(static_cast<long long>(l)) + " visible=" +
                    Num(::IsWindowVisible(wnd) ? 1 : 0) + " parent=" +
                    Num(parent == ::GetDesktopWindow() ? 0 : static_cast<long long>(reinterpret_cast<INT_PTR>(parent))));
                ::DestroyWindow(wnd);
                return 0;
            }
            break;
        case WM_TIMER:
            if (w == kOwnerTimer && !::IsWindow(g_owner)) {
                Log("owner-gone");
                ::DestroyWindow(wnd);
            }
            return 0;
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = ::BeginPaint(wnd, &ps);
            RECT r;
            ::GetClientRect(wnd, &r);
            HBRUSH brush = ::CreateSolidBrush(RGB(24, 60, 96));
            ::FillRect(dc, &r, brush);
            ::DeleteObject(brush);
            ::SetBkMode(dc, TRANSPARENT);
            ::SetTextColor(dc, RGB(255, 255, 255));
            std::wstring text = L"game page: " + g_name;
            ::TextOutW(dc, 20, 20, text.c_str(), static_cast<int>(text.size()));
            ::EndPaint(wnd, &ps);
            return 0;
        }
        case WM_DESTROY:
            Log("destroyed");
            ::PostQuitMessage(0);
            return 0;
        default:
            break;
    }
    return ::DefWindowProcW(wnd, msg, w, l);
}

// As a game frame does: register, become the main window's child, place and show itself.
void MakeFrame(LPARAM gameList) {
    g_frame = ::CreateWindowExW(WS_EX_TOOLWINDOW, L"TamsoloFakeFrame", L"fake game frame", WS_POPUP, 0, 0, 10, 10,
                                nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    if (!g_frame) {
        Log("frame-failed");
        return;
    }
    ::PostMessageW(g_owner, kRegisterFrame, reinterpret_cast<WPARAM>(g_frame), gameList);
    // A child in the owner's content area, as the documentation asks before SetParent.
    ::SetWindowLongPtrW(g_frame, GWL_STYLE, (::GetWindowLongPtrW(g_frame, GWL_STYLE) & ~WS_POPUP) | WS_CHILD);
    ::SetParent(g_frame, g_owner);
    ::SetTimer(g_frame, kOwnerTimer, 800, nullptr);
    RECT r{};
    ::GetClientRect(g_owner, &r);
    ::MoveWindow(g_frame, r.left + 4, r.top + 30, r.right - r.left - 8, r.bottom - r.top - 34, TRUE);
    ::ShowWindow(g_frame, SW_SHOW);
    Log(gameList ? "frame game-list" : "frame");
}

LRESULT CALLBACK ControlProc(HWND wnd, UINT msg, WPARAM w, LPARAM l) {
    if (msg == WM_TIMER && w == kRecacheTimer) {
        // The page loads what it plays with again, clearing or not.
        CacheEntry(g_heldUrl + L"&again");
        return 0;
    }
    // A page process still at its login ends with the main window, as the login's owner does.
    if (msg == WM_TIMER && !::IsWindow(g_owner)) {
        Log("owner-gone");
        ::PostQuitMessage(0);
        return 0;
    }
    if (msg == WM_COPYDATA) {
        const auto* cds = reinterpret_cast<const COPYDATASTRUCT*>(l);
        switch (cds ? cds->dwData : 0) {
            case 1:
            case 4: {
                g_name.assign(static_cast<const wchar_t*>(cds->lpData), cds->cbData / sizeof(wchar_t));
                while (!g_name.empty() && g_name.back() == L'\0') g_name.pop_back();
                std::wstring text = g_name;
                COPYDATASTRUCT out{};
                out.dwData = 0;
                out.cbData = static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t));
                out.lpData = &text[0];
                DWORD_PTR answer = 0;
                ::SendMessageTimeoutW(g_owner, WM_COPYDATA, reinterpret_cast<WPARAM>(wnd), reinterpret_cast<LPARAM>(&out),
                                      SMTO_NORMAL, 10000, &answer);
                Log("login answer=" + Num(static_cast<long long>(answer)));
                if (cds->dwData == 4) {
                    // Answer first, then die before any frame: nothing of ours is left to close.
                    ::ReplyMessage(static_cast<LRESULT>(answer));
                    Log("login-died");
                    ::ExitProcess(3);
                }
                if (answer) MakeFrame(0);
                return static_cast<LRESULT>(answer);
            }
            case 2:
                // Answer first: with no page the launcher ends at once and terminates us.
                ::ReplyMessage(1);
                Log("login-cancelled");
                ::PostMessageW(g_owner, WM_SYSCOMMAND, SC_CLOSE, kMarker);
                ::PostQuitMessage(0);
                return 1;
            case 3:
                MakeFrame(1);
                return 1;
            case 5: {
                std::wstring url(static_cast<const wchar_t*>(cds->lpData), cds->cbData / sizeof(wchar_t));
                while (!url.empty() && url.back() == L'\0') url.pop_back();
                const bool held = HoldBrowserData(wnd, url);
                Log(held ? "holding" : "holding-failed");
                return held ? 1 : 0;
            }
            case 6:
                ::ReplyMessage(1);
                Log("hanging");
                ::Sleep(120000);
                Log("answering-again");
                return 1;
            default:
                return 0;
        }
    }
    return ::DefWindowProcW(wnd, msg, w, l);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    const int argc = __argc;
    wchar_t** argv = __wargv;
    // "/newgm /<handle> /<count>": each number follows one skipped character.
    if (argc >= 3 && std::wcslen(argv[2]) > 1) {
        g_owner = reinterpret_cast<HWND>(static_cast<INT_PTR>(_wtoi64(argv[2] + 1)));
    }
    std::string args;
    for (int i = 1; i < argc; ++i) {
        char buf[256];
        std::snprintf(buf, sizeof buf, "%s%ls", i > 1 ? " " : "", argv[i]);
        args += buf;
    }
    Log("start args=" + args);
    Log(fw::ToUtf8(fw::LaunchState()));

    WNDCLASSW wc{};
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = L"TamsoloFakePage";
    wc.lpfnWndProc = ControlProc;
    ::RegisterClassW(&wc);
    wc.lpszClassName = L"TamsoloFakeFrame";
    wc.lpfnWndProc = FrameProc;
    wc.hCursor = ::LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    ::RegisterClassW(&wc);

    const std::wstring title = L"fakepage " + std::to_wstring(::GetCurrentProcessId());
    HWND control = ::CreateWindowExW(0, L"TamsoloFakePage", title.c_str(), WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                     wc.hInstance, nullptr);
    if (!control) return 1;
    ::SetTimer(control, kOwnerTimer, 800, nullptr);
    MSG m;
    while (::GetMessageW(&m, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&m);
        ::DispatchMessageW(&m);
    }
    ::DestroyWindow(control);
    // The lock would otherwise outlive us in the shared cache index.
    if (g_heldFile != INVALID_HANDLE_VALUE) {
        ::UnlockUrlCacheEntryFileW(g_heldUrl.c_str(), 0);
        ::CloseHandle(g_heldFile);
    }
    Log("end");
    return 0;
}
