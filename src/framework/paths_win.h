// Where the launcher is and where it belongs, and how it starts other processes.
#pragma once

#include <windows.h>

#include <string>

namespace fw {

// The running executable's full path (empty on failure; long paths are supported).
std::wstring ExePath();
// The common application-data folder + "\Kelvra\GameLogin", no trailing backslash.
std::wstring InstallDir();
// The one place that names the per-user folder: everything an ordinary start writes (counters,
// hotkeys, notice state, the notice picture, configuration files fetched from the operator, the
// update download, crash dumps) lives in the user's local application-data folder +
// "\Kelvra\GameLogin", made when missing. The program folder belongs to administrators.
// Empty when the user's folder is unknown.
std::wstring UserStateDir();
// A file in the per-user folder; empty when the folder is unknown or the name is not a plain
// file name.
std::wstring UserStateFile(const std::wstring& name);
// The statistics file (counters, hotkeys, notice state) in the per-user folder. When the user
// has none yet and an earlier version left one beside the program, that one is copied over
// first, so stored hotkeys and notice state survive the move; a user's file is never replaced.
std::wstring StatisticsFile();

// Starts a program in the idle priority class, shown normally, without inherited handles.
// The handles of the new process are closed; returns whether it started.
bool StartProcess(const std::wstring& commandLine);
// As StartProcess, but hands back the process handle (for the one process that is kept).
HANDLE StartProcessKeepHandle(const std::wstring& commandLine);
// Starts a file through the shell with a verb (nullptr: the file's default, which for a
// program whose manifest asks for administrator rights brings up the consent prompt; "runas":
// always with administrator rights). Shown normally; the shell shows no error box of its own.
// Returns the process handle, or nullptr with the system's error kept (ERROR_CANCELLED when
// the player declined the prompt).
HANDLE StartWithShell(const std::wstring& file, const std::wstring& parameters, const wchar_t* verb);
// ERROR_ELEVATION_REQUIRED, which MinGW's headers lack: CreateProcess refuses a program whose
// manifest asks for administrator rights when the caller runs without them.
constexpr DWORD kErrorElevationRequired = 740;
// Where an ordinary start is refused because the program's manifest asks for administrator
// rights (kErrorElevationRequired), starts it through the shell, which asks the player; the idle
// priority is asked for but may be refused. Returns whether it started.
bool StartAskingForRights(const std::wstring& programPath);
// The executable's own command line with the given switches ("" for none).
std::wstring SelfCommandLine(const std::wstring& switches);

}  // namespace fw
