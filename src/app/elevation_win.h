// Least privilege: the launcher runs with the player's own rights. The few steps that change
// the machine (installing, uninstalling, putting an update in place) run in a copy restarted
// with administrator rights for that one job, and what the installation makes belongs to
// administrators: ordinary users may read and run the program folder and read the key.
#pragma once

#include <windows.h>

#include <string>

#include "app/elevation.h"
#include "framework/handle_win.h"

namespace app {

// The job this process was started for (none for an ordinary start).
tamsolo::ElevatedJob ElevatedJobOfThisStart();
// Whether this process runs one of the elevated jobs. Such a copy never restarts again.
bool IsElevatedJob();

// Opens (creating it when missing) the launcher's key of the machine-wide hive with the right
// to change who may use it. Only an administrator gets that right, so a refusal is how a
// machine-wide step learns that it needs one. Returns the system's result.
LONG OpenLauncherKeyAsAdministrator(fw::RegKey* key);

// Whether a machine-wide step's result means that the player's rights are not enough.
bool NeedsAdministrator(LONG result);

enum class Restart {
    kStarted,   // the copy ran and ended; its exit code is kept
    kDeclined,  // the player declined the consent prompt
    kFailed,    // it could not be started for another reason
};
struct JobRun {
    Restart restart = Restart::kFailed;
    DWORD exitCode = 0;  // one of tamsolo::kJob… when started
};
// Starts this executable with administrator rights ("runas") with the job's own fixed command
// line, and waits for it to end.
JobRun RunElevatedJob(tamsolo::ElevatedJob job);

// Whether an existing folder may be taken as the program folder: not a junction or symbolic
// link, and owned by SYSTEM, Administrators, TrustedInstaller or the account running this
// step. The same account covers a folder made by an earlier installation under Wine, which
// reports every file as the current user's; on Windows an administrator's step makes its
// folders owned by Administrators.
enum class FolderTrust { kTrusted, kMissing, kLink, kForeignOwner };
FolderTrust InspectFolder(const std::wstring& folder);

// Makes the program folder and its parent when missing, then gives the program folder its own
// list: owner Administrators, SYSTEM and Administrators full control, Users read and run,
// nothing inherited from above, passed on to everything inside (which takes back the modify
// rights an earlier version gave ordinary users). A folder or parent that is a link or belongs
// to another account is left as it is.
enum class ProgramFolder { kProtected, kUntrusted, kFailed };
ProgramFolder SecureProgramFolder(const std::wstring& installDir);

// Gives a folder the program folder's list (owner and access). Returns whether it was set.
bool ProtectFolder(const std::wstring& folder);
// Gives the launcher's key its list: SYSTEM and Administrators full control, Users read, nothing
// inherited from above. The handle needs WRITE_DAC. Returns whether it was set.
bool ProtectKey(HKEY key);

// What the player is told when the program folder cannot be trusted; the step then stops.
void TellFolderUntrusted(const std::wstring& installDir);

// The test build can play a standard user under Wine, which grants everything: its
// TAMSOLO_TEST_ELEVATION variable says how ("standard-user": refused until restarted,
// "never-enough": refused even after the restart, "declines": refused, and the player declines
// the prompt). The product build never pretends.
enum class PretendedUser { kNone, kStandardUser, kNeverEnough, kDeclines };
PretendedUser Pretended();

}  // namespace app
