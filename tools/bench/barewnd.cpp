// barewnd [TITLE]: the benchmarks' reference program, a bare Win32 window: one registered
// class, one visible 640 x 480 top-level window with a title, DefWindowProc and a message
// loop. Built like the launcher (MinGW, static runtime) and started the same way, so that
// its start-up time, memory and idle CPU are what Wine costs any windowed program.
#include <windows.h>

namespace {

LRESULT CALLBACK Proc(HWND wnd, UINT msg, WPARAM w, LPARAM l) {
    if (msg == WM_DESTROY) {
        ::PostQuitMessage(0);
        return 0;
    }
    return ::DefWindowProcW(wnd, msg, w, l);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR commandLine, int show) {
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = Proc;
    wc.hInstance = instance;
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = L"TamsoloBenchBare";
    if (!::RegisterClassExW(&wc)) return 1;
    // The title is the command line after the program's name, quotes around it removed.
    wchar_t title[256] = L"bare window";
    if (commandLine && *commandLine) {
        const wchar_t* from = commandLine[0] == L'"' ? commandLine + 1 : commandLine;
        ::lstrcpynW(title, from, 256);
        const int length = ::lstrlenW(title);
        if (commandLine[0] == L'"' && length > 0 && title[length - 1] == L'"') title[length - 1] = L'\0';
    }
    HWND wnd = ::CreateWindowExW(0, wc.lpszClassName, title, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 640,
                                 480, nullptr, nullptr, instance, nullptr);
    if (!wnd) return 1;
    ::ShowWindow(wnd, show);
    ::UpdateWindow(wnd);
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    return 0;
}
