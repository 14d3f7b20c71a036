// Stands in for a main launcher window: a top-level window that logs the messages a page
// process sends its owner. Prints its handle in decimal, then runs until closed or timed out.
// A registration (WM_COPYDATA) is answered with `reply` (default 1) and its text logged too.
//   fakeowner <log file> [seconds] [reply]
#include <windows.h>

#include <cstdio>
#include <cwchar>

namespace {

const wchar_t* g_log = nullptr;
LRESULT g_reply = 1;

// The registration text as UTF-8, when it is whole UTF-16 text with its terminator.
void LogText(const COPYDATASTRUCT* cds) {
    if (!cds || !cds->lpData || cds->cbData < 2 || cds->cbData % 2 || cds->cbData > 4096) return;
    const wchar_t* text = static_cast<const wchar_t*>(cds->lpData);
    const size_t units = cds->cbData / 2;
    if (text[units - 1] != L'\0') return;
    char utf8[8192];
    const int n = ::WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8, sizeof(utf8), nullptr, nullptr);
    if (n <= 0) return;
    FILE* f = _wfopen(g_log, L"ab");
    if (!f) return;
    std::fprintf(f, "COPYDATA-TEXT %s\n", utf8);
    std::fclose(f);
}

void Log(const char* what, WPARAM w, LPARAM l) {
    FILE* f = _wfopen(g_log, L"ab");
    if (!f) return;
    std::fprintf(f, "%s wparam=%llu lparam=%lld\n", what, static_cast<unsigned long long>(w), static_cast<long long>(l));
    std::fclose(f);
}

LRESULT CALLBACK Proc(HWND wnd, UINT msg, WPARAM w, LPARAM l) {
    switch (msg) {
        case WM_SYSCOMMAND:
            Log("WM_SYSCOMMAND", w, l);
            if ((w & 0xFFF0) == SC_CLOSE) ::DestroyWindow(wnd);
            return 0;
        case WM_COPYDATA: {
            const COPYDATASTRUCT* cds = reinterpret_cast<const COPYDATASTRUCT*>(l);
            Log("WM_COPYDATA", cds ? cds->dwData : 0, cds ? static_cast<LPARAM>(cds->cbData) : -1);
            LogText(cds);
            return g_reply;
        }
        case WM_TIMER:
            ::DestroyWindow(wnd);
            return 0;
        case WM_DESTROY:
            ::PostQuitMessage(0);
            return 0;
        default:
            if (msg >= WM_USER && msg < WM_USER + 100) {
                char name[32];
                std::snprintf(name, sizeof(name), "WM_USER+%u", msg - WM_USER);
                Log(name, w, l);
                return 0;
            }
            return ::DefWindowProcW(wnd, msg, w, l);
    }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) return 2;
    g_log = argv[1];
    int seconds = argc > 2 ? _wtoi(argv[2]) : 60;
    if (argc > 3) g_reply = _wtoi(argv[3]);
    WNDCLASSW wc{};
    wc.lpfnWndProc = &Proc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = L"FakeOwner";
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_APPWORKSPACE + 1);
    ::RegisterClassW(&wc);
    HWND wnd = ::CreateWindowExW(0, L"FakeOwner", L"fakeowner", WS_OVERLAPPEDWINDOW, 10, 10, 800, 560, nullptr,
                                 nullptr, wc.hInstance, nullptr);
    if (!wnd) return 1;
    // Shown like a main window, so a page frame placed inside it can be seen.
    ::ShowWindow(wnd, SW_SHOWNOACTIVATE);
    ::SetTimer(wnd, 1, static_cast<UINT>(seconds) * 1000u, nullptr);
    std::printf("%lld\n", static_cast<long long>(reinterpret_cast<INT_PTR>(wnd)));
    std::fflush(stdout);
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    return 0;
}
