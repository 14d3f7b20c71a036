// Crashes on purpose with the launcher's crash filter installed, for the crash-dump tests.
//   crasher once    - one unhandled access violation on the main thread
//   crasher thread  - the same on a worker thread
//   crasher twice   - the filter runs for a first crash (as if something had handled it),
//                     the dump is deleted, then a second real crash must not write another
#include <windows.h>

#include <cstdio>
#include <cstring>

#include "app/crashdump.h"
#include "app/crashdump_win.h"
#include "framework/paths_win.h"
#include "framework/text_win.h"

namespace {

void Crash() {
    volatile int* volatile nowhere = nullptr;
    *nowhere = 42;
}

DWORD WINAPI CrashingThread(void*) {
    Crash();
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    app::InstallCrashFilter();
    const wchar_t* how = argc > 1 ? argv[1] : L"once";
    if (std::wcscmp(how, L"thread") == 0) {
        HANDLE t = ::CreateThread(nullptr, 0, &CrashingThread, nullptr, 0, nullptr);
        if (t) ::WaitForSingleObject(t, INFINITE);
        std::printf("survived\n");  // not reached: the crash ends the process
        return 3;
    }
    if (std::wcscmp(how, L"twice") == 0) {
        EXCEPTION_RECORD record{};
        record.ExceptionCode = EXCEPTION_BREAKPOINT;
        CONTEXT context{};
        ::RtlCaptureContext(&context);
        EXCEPTION_POINTERS pointers{&record, &context};
        LONG first = app::CrashFilter(&pointers);
        std::wstring dump = app::DumpPath();
        bool existed = ::GetFileAttributesW(dump.c_str()) != INVALID_FILE_ATTRIBUTES;
        ::DeleteFileW(dump.c_str());
        std::printf("first=%ld dumped=%d\n", static_cast<long>(first), existed ? 1 : 0);
        std::fflush(stdout);
    }
    Crash();
    std::printf("survived\n");  // not reached: the crash ends the process
    return 3;
}
