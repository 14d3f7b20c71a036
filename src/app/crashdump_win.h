// A minidump in the per-user folder when a thread dies of an exception nobody handles.
#pragma once

#include <windows.h>

#include <string>

namespace app {

// Installs the process-wide filter; the first thing every process does.
void InstallCrashFilter();
// Where this process writes its dump; empty when the per-user folder is unknown.
std::wstring DumpPath();
// The filter itself (exposed for tests).
LONG WINAPI CrashFilter(EXCEPTION_POINTERS* pointers);
// Writes a dump of the current process into an open file; false when every dump type failed
// or the debugging-help library is missing.
bool WriteDump(HANDLE file, EXCEPTION_POINTERS* pointers);

}  // namespace app
