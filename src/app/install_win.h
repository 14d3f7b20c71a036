// Installation of a downloaded copy into the install directory.
#pragma once

#include <string>

namespace app {

enum class InstallOutcome {
    kInstalled,  // the copy is in place and was started
    kFailed,     // a step failed (silently, each step still ran); the copy may be missing
    kDeclined,   // administrator rights were needed and not had (declined, or the restart failed):
                 // nothing was made
    kRefused,    // the program folder could not be trusted: nothing was copied, the player was told
};

// Copies the executable into the install directory, creates the shortcuts and starts the
// installed copy. A process with only the player's rights hands the machine-wide part to a
// copy of itself restarted with administrator rights for that job, waits for it and then
// starts the installed copy itself, so that the installed copy runs with the player's own rights.
InstallOutcome Install();

// The machine-wide part alone, in the copy restarted for it: the launcher's key with its list
// and the update-day spread, the protected program folder, the copy and the shortcuts.
// kInstalled when the copy is in place.
InstallOutcome InstallMachinePart();

// The common desktop's link to the installed executable ("/TamsoloD"), replacing an older per-user one.
bool CreateDesktopShortcut(const std::wstring& installedExe);
// A link in the common programs folder's "Kelvra登录器" folder, created if missing.
bool CreateStartMenuShortcut(const std::wstring& name, const std::wstring& installedExe, const std::wstring& args);

}  // namespace app
