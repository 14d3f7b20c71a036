#include "app/crashdump_win.h"

#include <dbghelp.h>

#include "app/crashdump.h"
#include "framework/paths_win.h"
#include "framework/handle_win.h"
#include "framework/text_win.h"

namespace app {

namespace {

// Set once a dump was attempted: a second crash ends the process without another.
volatile LONG g_dumped = 0;

using MiniDumpWriteDumpFn = BOOL(WINAPI*)(HANDLE, DWORD, HANDLE, MINIDUMP_TYPE, PMINIDUMP_EXCEPTION_INFORMATION,
                                          PMINIDUMP_USER_STREAM_INFORMATION, PMINIDUMP_CALLBACK_INFORMATION);

}  // namespace

bool WriteDump(HANDLE file, EXCEPTION_POINTERS* pointers) {
    fw::Module dbghelp(::LoadLibraryW(L"DbgHelp.dll"));
    if (!dbghelp) return false;
    auto write = reinterpret_cast<MiniDumpWriteDumpFn>(
        reinterpret_cast<void*>(::GetProcAddress(dbghelp.Get(), "MiniDumpWriteDump")));
    if (!write) return false;
    MINIDUMP_EXCEPTION_INFORMATION info{};
    info.ThreadId = ::GetCurrentThreadId();
    info.ExceptionPointers = pointers;
    info.ClientPointers = TRUE;
    for (unsigned type : tamsolo::kDumpTypes) {
        if (write(::GetCurrentProcess(), ::GetCurrentProcessId(), file, static_cast<MINIDUMP_TYPE>(type),
                  pointers ? &info : nullptr, nullptr, nullptr)) {
            return true;
        }
    }
    return false;
}

LONG WINAPI CrashFilter(EXCEPTION_POINTERS* pointers) {
    if (::InterlockedCompareExchange(&g_dumped, 0, 0) != 0) return EXCEPTION_EXECUTE_HANDLER;
    std::wstring dumpPath = fw::W(tamsolo::DumpPathFor(fw::U(fw::ExePath())));
    if (dumpPath.empty()) return EXCEPTION_CONTINUE_SEARCH;
    {
        // A file that cannot be created is still handed on: every dump type then fails quietly.
        fw::Handle file(::CreateFileW(dumpPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
        WriteDump(file.Get(), pointers);
    }
    ::InterlockedExchange(&g_dumped, 1);
    return EXCEPTION_CONTINUE_SEARCH;
}

void InstallCrashFilter() { ::SetUnhandledExceptionFilter(&CrashFilter); }

}  // namespace app
