// Installation of a downloaded copy into the install directory.
#pragma once

#include <string>

namespace app {

enum class InstallOutcome {
    kInstalled,  // the copy is in place and was started
    kFailed,     // a step failed (silently, each step still ran); the copy may be missing
    kDeclined,   // administrator rights were needed and the player declined them: nothing was made
    kMachinePartDone,  // the restarted copy made its part; the copy that restarted it goes on
};

// Copies the executable into the install directory, creates the shortcuts and starts the
// installed copy. A process with only the player's rights hands the machine-wide part to a
// copy of itself restarted with administrator rights, waits for it and then starts the
// installed copy itself, so that the installed copy runs with the player's own rights.
InstallOutcome Install();

// The common desktop's link to the installed executable ("/TamsoloD"), replacing an older per-user one.
bool CreateDesktopShortcut(const std::wstring& installedExe);
// A link in the common programs folder's "Kelvra登录器" folder, created if missing.
bool CreateStartMenuShortcut(const std::wstring& name, const std::wstring& installedExe, const std::wstring& args);

}  // namespace app
