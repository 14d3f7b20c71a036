// Plays another process's windows for the framework tests: a top-level window and a child of
// it, both carrying the framework's window property with a junk value, as any process may.
// Prints both handles in decimal on one line, then runs until its top window is closed or the
// time is up.
//   foreignwnd [seconds]
#include <windows.h>

#include <cstdio>
#include <cwchar>

namespace {

LRESULT CALLBACK Proc(HWND wnd, UINT msg, WPARAM w, LPARAM l) {
    switch (msg) {
        case WM_TIMER:
        case WM_CLOSE:
            ::DestroyWindow(wnd);
            return 0;
        case WM_DESTROY:
            if (!::GetParent(wnd)) ::PostQuitMessage(0);
            return 0;
        default:
            return ::DefWindowProcW(wnd, msg, w, l);
    }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const int seconds = argc > 1 ? _wtoi(argv[1]) : 60;
    WNDCLASSW wc{};
    wc.lpfnWndProc = &Proc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = L"ForeignWnd";
    ::RegisterClassW(&wc);
    HWND top = ::CreateWindowExW(0, L"ForeignWnd", L"foreign", WS_OVERLAPPEDWINDOW, 20, 20, 200, 150, nullptr,
                                 nullptr, wc.hInstance, nullptr);
    HWND child = top ? ::CreateWindowExW(0, L"ForeignWnd", L"foreign child", WS_CHILD | WS_VISIBLE, 5, 5, 50, 50,
                                         top, nullptr, wc.hInstance, nullptr)
                     : nullptr;
    if (!top || !child) return 1;
    // A pointer no process has: whoever calls through it crashes.
    HANDLE junk = reinterpret_cast<HANDLE>(static_cast<INT_PTR>(0x10));
    ::SetPropW(top, L"Tamsolo.CWnd", junk);
    ::SetPropW(child, L"Tamsolo.CWnd", junk);
    ::SetTimer(top, 1, static_cast<UINT>(seconds) * 1000u, nullptr);
    std::printf("%lld %lld\n", static_cast<long long>(reinterpret_cast<INT_PTR>(top)),
                static_cast<long long>(reinterpret_cast<INT_PTR>(child)));
    std::fflush(stdout);
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    return 0;
}
