// Least privilege: the launcher runs with the player's own rights. The few steps that change
// the machine (installing, uninstalling) restart the program with administrator rights when
// they are refused, and the installation opens its folder and registry key to ordinary users
// so that counting, the update gate and the self-update need no administrator afterwards.
#pragma once

#include <windows.h>

#include <string>

#include "framework/handle_win.h"

namespace app {

// Whether this process is the copy restarted with administrator rights (its last argument is
// the restart switch). Such a copy never restarts again.
bool IsElevatedRestart();

// Opens (creating it when missing) the launcher's key of the machine-wide hive with the right
// to change who may use it. Only an administrator gets that right, so a refusal is how the
// install and the uninstall learn that they need one. Returns the system's result.
LONG OpenLauncherKeyAsAdministrator(fw::RegKey* key);

// Whether a machine-wide step's result means that the player's rights are not enough.
bool NeedsAdministrator(LONG result);

enum class Restart {
    kStarted,   // the restarted copy runs
    kDeclined,  // the player declined the consent prompt
    kFailed,    // it could not be started for another reason
};
// Starts this executable again with administrator rights ("runas"), with this process's own
// arguments followed by the restart switch. *process receives its handle when asked for.
Restart RestartElevated(fw::Handle* process);

// Lets ordinary users (BUILTIN\Users) change files in the folder and everything created in it
// later: modify rights, inherited by files and sub-folders. Returns whether the grant was made.
bool GrantUsersFolder(const std::wstring& folder);
// Lets ordinary users read and write the key's values and sub-keys, but neither delete it nor
// change who may use it. The handle needs READ_CONTROL and WRITE_DAC. Returns whether the grant
// was made.
bool GrantUsersKey(HKEY key);

// An installation made by an earlier version, which ran with administrator rights throughout,
// is not open to ordinary users. A start that happens to have administrator rights (the first
// start after such a version updated itself is one) opens it, as the installation does now.
void OpenInstallationToUsersIfAdministrator();

// The test build can play a standard user under Wine, which grants everything: its
// TAMSOLO_TEST_ELEVATION variable says how ("standard-user": refused until restarted,
// "never-enough": refused even after the restart, "declines": refused, and the player declines
// the prompt). The product build never pretends.
enum class PretendedUser { kNone, kStandardUser, kNeverEnough, kDeclines };
PretendedUser Pretended();

}  // namespace app
