// Where the launcher is and where it belongs, and how it starts other processes.
#pragma once

#include <windows.h>

#include <string>

namespace fw {

// The running executable's full path (empty on failure; long paths are supported).
std::wstring ExePath();
// The common application-data folder + "\Kelvra\GameLogin", no trailing backslash.
std::wstring InstallDir();
// Starts a program in the idle priority class, shown normally, without inherited handles.
// The handles of the new process are closed; returns whether it started.
bool StartProcess(const std::wstring& commandLine);
// As StartProcess, but hands back the process handle (for the one process that is kept).
HANDLE StartProcessKeepHandle(const std::wstring& commandLine);
// The executable's own command line with the given switches ("" for none).
std::wstring SelfCommandLine(const std::wstring& switches);

}  // namespace fw
