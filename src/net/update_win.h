// The self-update: the check against the operator's configuration, the download and the swap.
#pragma once

#include <string>

class CQuorvane3App;

namespace app {

// The launcher's machine-wide key (UpdTime, DisableDays); removed whole by uninstallation.
constexpr const wchar_t* kLauncherKey = L"Software\\Kelvra\\GameLogin\\Tamsolo";

// What an update check found out.
enum class UpdateCheck {
    kNone,       // the operator publishes this version, or nothing
    kAvailable,  // a different version is published
    kFailed,     // the configuration could not be fetched: nothing is known
};

// Non-zero when the operator publishes a different version. Not forced: only in the modes
// that may update and when the daily gate allows. Refreshes app.updateAddress when the
// configuration was read.
int CheckForUpdate(bool forced, CQuorvane3App& app);
// The same check, telling a failed fetch apart from "no update" (the update command says which).
UpdateCheck CheckForUpdateOutcome(bool forced, CQuorvane3App& app);
// Downloads the new executable under the progress dialog and swaps it in; true when in place.
bool DownloadAndSwap(CQuorvane3App& app);
// Writes today as the last update day.
void RecordUpdateDay();
// Writes the weekdays on which the ordinary check does not run (once, at installation).
void WriteUpdateDaySpread();

// The version key of a file: its MD5 in lower-case hex, cut to leave room for the dotless version.
std::wstring OwnVersionKey(const std::wstring& exePath);
// MD5 of a file in lower-case hex; empty when it cannot be read.
std::string FileMd5Hex(const std::wstring& path);

}  // namespace app
