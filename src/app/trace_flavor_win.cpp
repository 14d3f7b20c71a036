// Compiled into each executable with that executable's definitions, so only the test build traces.
#include "framework/trace_win.h"

#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

#include "framework/handle_win.h"
#include "framework/text_win.h"

namespace fw {

namespace {
int g_mode = -1;
}

void SetTraceMode(int mode) { g_mode = mode; }

#ifdef TAMSOLO_TEST_BUILD
namespace {

LONG g_launchTraced = 0;

void Append(const wchar_t* event) {
    wchar_t line[512];
    std::swprintf(line, 512, L"pid=%lu mode=%d event=%ls\r\n", ::GetCurrentProcessId(), g_mode, event ? event : L"");
    std::string utf8 = ToUtf8(line);
    Handle file(::CreateFileW(L"C:\\tamsolo_trace.txt", FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return;
    DWORD written = 0;
    ::WriteFile(file.Get(), utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
}

// A process whose environment names one of its hand-over points in TAMSOLO_TEST_CRASH_AT dies
// there of an access violation nobody handles, so the crash tests reach the launcher's own
// filter where start-up installed it.
void CrashIfAskedAt(const wchar_t* event) {
    wchar_t point[64] = {};
    const DWORD n = ::GetEnvironmentVariableW(L"TAMSOLO_TEST_CRASH_AT", point, 64);
    if (n == 0 || n >= 64 || !event || std::wcscmp(point, event) != 0) return;
    volatile int* volatile nowhere = nullptr;
    *nowhere = 1;
}

}  // namespace

std::wstring LaunchState() {
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    ::GetStartupInfoW(&si);
    return L"launched show=" + std::to_wstring((si.dwFlags & STARTF_USESHOWWINDOW) ? si.wShowWindow : -1);
}

// The first line of a process says how it was started: the show command its starter handed
// over (-1: none).
void Trace(const wchar_t* event) {
    if (::InterlockedExchange(&g_launchTraced, 1) == 0) Append(LaunchState().c_str());
    Append(event);
    CrashIfAskedAt(event);
}
#else
void Trace(const wchar_t*) {}
#endif

}  // namespace fw
