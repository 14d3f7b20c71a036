#include "app/crashdump_win.h"

#include <dbghelp.h>

#include "app/crashdump.h"
#include "app/installrules.h"
#include "framework/paths_win.h"
#include "framework/handle_win.h"
#include "framework/text_win.h"

namespace app {

namespace {

// Set once a dump was attempted: a second crash ends the process without another.
volatile LONG g_dumped = 0;
// Where the dump goes, found when the filter goes in: the filter itself asks the system as
// little as it can. In the per-user folder, since the program folder is not the player's.
wchar_t g_dumpPath[MAX_PATH] = {};

using MiniDumpWriteDumpFn = BOOL(WINAPI*)(HANDLE, DWORD, HANDLE, MINIDUMP_TYPE, PMINIDUMP_EXCEPTION_INFORMATION,
                                          PMINIDUMP_USER_STREAM_INFORMATION, PMINIDUMP_CALLBACK_INFORMATION);

}  // namespace

bool WriteDump(HANDLE file, EXCEPTION_POINTERS* pointers) {
    // The system's own copy only, never one lying beside the program.
    fw::Module dbghelp(::LoadLibraryExW(L"DbgHelp.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32));
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
    if (!g_dumpPath[0]) return EXCEPTION_CONTINUE_SEARCH;
    {
        // A file that cannot be created is still handed on: every dump type then fails quietly.
        fw::Handle file(::CreateFileW(g_dumpPath, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
        WriteDump(file.Get(), pointers);
    }
    ::InterlockedExchange(&g_dumped, 1);
    return EXCEPTION_CONTINUE_SEARCH;
}

void InstallCrashFilter() {
    const std::wstring path =
        fw::W(tamsolo::DumpPathFor(fw::U(fw::UserStateDir()), fw::U(fw::ExePath())));
    if (path.size() < MAX_PATH) path.copy(g_dumpPath, path.size());
    ::SetUnhandledExceptionFilter(&CrashFilter);
}

std::wstring DumpPath() { return g_dumpPath; }

}  // namespace app
