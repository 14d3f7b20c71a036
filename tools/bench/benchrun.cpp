// benchrun: the Windows side of tools/bench/bench.py, timed inside Wine so that no process
// start-up of the measuring side counts.
//   benchrun start TITLE CLASS MINWIDTH TIMEOUT_MS PROGRAM [ARGS...]
//       starts PROGRAM and waits until any process shows a visible top-level window of this
//       title and class (CLASS "*": any) at least MINWIDTH pixels wide; prints
//       "start ok=1 ms=M" (ms from the CreateProcess call). The program is left running.
//   benchrun fetch URL FILE
//       the update download member of HttpGet into FILE on a worker thread, reporting to a
//       progress bar of this (main) thread as the update's progress dialog does; prints
//       "fetch ok=1 bytes=N ms=M positions=P" (P: the positions the bar was sent).
//   benchrun md5 FILE
//       the update check's digest of a file; prints "md5 HEX ms=M cpu_ms=C" (C: this thread's
//       user and kernel time while hashing).
#include <windows.h>
#include <commctrl.h>
#include <process.h>

#include <cstdio>
#include <string>

#include "framework/handle_win.h"
#include "net/httpget_win.h"
#include "net/update_win.h"

namespace {

double NowMs() {
    LARGE_INTEGER f, c;
    ::QueryPerformanceFrequency(&f);
    ::QueryPerformanceCounter(&c);
    return 1000.0 * static_cast<double>(c.QuadPart) / static_cast<double>(f.QuadPart);
}

double ThreadCpuMs() {
    FILETIME created, exited, kernel, user;
    if (!::GetThreadTimes(::GetCurrentThread(), &created, &exited, &kernel, &user)) return 0;
    const auto ticks = [](const FILETIME& t) {
        return static_cast<double>((static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime);
    };
    return (ticks(kernel) + ticks(user)) / 10000.0;
}

// ---------------------------------------------------------------- start

struct Wanted {
    std::wstring title;
    std::wstring cls;
    long minWidth = 0;
    bool found = false;
};

BOOL CALLBACK Match(HWND wnd, LPARAM param) {
    auto* wanted = reinterpret_cast<Wanted*>(param);
    if (!::IsWindowVisible(wnd)) return TRUE;
    wchar_t text[256] = {};
    ::GetWindowTextW(wnd, text, 256);
    if (wanted->title != text) return TRUE;
    if (wanted->cls != L"*") {
        wchar_t cls[256] = {};
        ::GetClassNameW(wnd, cls, 256);
        if (wanted->cls != cls) return TRUE;
    }
    RECT r{};
    ::GetWindowRect(wnd, &r);
    if (r.right - r.left < wanted->minWidth) return TRUE;
    wanted->found = true;
    return FALSE;
}

std::wstring Quoted(const std::wstring& arg) {
    return arg.find_first_of(L" \t") == std::wstring::npos && !arg.empty() ? arg : L"\"" + arg + L"\"";
}

int Start(int argc, wchar_t** argv) {
    if (argc < 7) return 2;
    Wanted wanted;
    wanted.title = argv[2];
    wanted.cls = argv[3];
    wanted.minWidth = std::wcstol(argv[4], nullptr, 10);
    const double timeoutMs = std::wcstod(argv[5], nullptr);
    std::wstring command = Quoted(argv[6]);
    for (int i = 7; i < argc; ++i) command += L" " + Quoted(argv[i]);

    STARTUPINFOW si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    const double start = NowMs();
    if (!::CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
        std::printf("start ok=0 error=%lu\n", ::GetLastError());
        return 1;
    }
    fw::Handle process(pi.hProcess);
    fw::Handle thread(pi.hThread);
    double elapsed = 0;
    for (;;) {
        ::EnumWindows(Match, reinterpret_cast<LPARAM>(&wanted));
        elapsed = NowMs() - start;
        if (wanted.found || elapsed > timeoutMs) break;
        ::Sleep(10);
    }
    std::printf("start ok=%d ms=%.1f\n", wanted.found ? 1 : 0, elapsed);
    return wanted.found ? 0 : 1;
}

// ---------------------------------------------------------------- fetch

struct Fetch {
    const wchar_t* url;
    const wchar_t* file;
    HWND bar;
    bool ok = false;
};

unsigned __stdcall FetchThread(void* param) {
    auto* job = static_cast<Fetch*>(param);
    job->ok = net::HttpUpdateDownload(job->url, job->file, job->bar, nullptr);
    return 0;
}

int Positions = 0;

LRESULT CALLBACK CountPositions(HWND wnd, UINT msg, WPARAM w, LPARAM l, UINT_PTR, DWORD_PTR) {
    if (msg == PBM_SETPOS) ++Positions;
    return ::DefSubclassProc(wnd, msg, w, l);
}

int FetchCommand(const wchar_t* url, const wchar_t* file) {
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_PROGRESS_CLASS};
    ::InitCommonControlsEx(&icc);
    fw::Window bar(::CreateWindowExW(0, PROGRESS_CLASSW, L"", WS_POPUP, 0, 0, 258, 20, nullptr, nullptr, nullptr, nullptr));
    ::SendMessageW(bar.Get(), PBM_SETRANGE, 0, MAKELPARAM(0, 100));
    ::SetWindowSubclass(bar.Get(), CountPositions, 1, 0);
    Fetch job{url, file, bar.Get()};
    const double start = NowMs();
    fw::Handle worker(reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, FetchThread, &job, 0, nullptr)));
    if (!worker) return 1;
    // The bar's thread answers the worker's synchronous reports while it waits.
    HANDLE waited = worker.Get();
    while (::MsgWaitForMultipleObjects(1, &waited, FALSE, INFINITE, QS_ALLINPUT) != WAIT_OBJECT_0) {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
    }
    const double ms = NowMs() - start;
    ::RemoveWindowSubclass(bar.Get(), CountPositions, 1);
    WIN32_FILE_ATTRIBUTE_DATA data{};
    ::GetFileAttributesExW(file, GetFileExInfoStandard, &data);
    const unsigned long long bytes = (static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    std::printf("fetch ok=%d bytes=%llu ms=%.1f positions=%d\n", job.ok ? 1 : 0, bytes, ms, Positions);
    return job.ok ? 0 : 1;
}

// ---------------------------------------------------------------- md5

int Md5Command(const wchar_t* file) {
    const double cpu = ThreadCpuMs();
    const double start = NowMs();
    const std::string digest = app::FileMd5Hex(file);
    const double ms = NowMs() - start;
    std::printf("md5 %s ms=%.1f cpu_ms=%.1f\n", digest.c_str(), ms, ThreadCpuMs() - cpu);
    return digest.empty() ? 1 : 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const std::wstring command = argc > 1 ? argv[1] : L"";
    int code = 2;
    if (command == L"start") {
        code = Start(argc, argv);
    } else if (command == L"fetch" && argc == 4) {
        code = FetchCommand(argv[2], argv[3]);
    } else if (command == L"md5" && argc == 3) {
        code = Md5Command(argv[2]);
    }
    if (code == 2) std::fprintf(stderr, "usage: benchrun start|fetch|md5 ... (see benchrun.cpp)\n");
    std::fflush(stdout);
    return code;
}
