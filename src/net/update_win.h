// The self-update: the check against the operator's configuration, the download and the swap.
#pragma once

#include <windows.h>

#include <string>

class CQuorvane3App;

namespace net {
class DownloadHandles;
}

namespace app {

// The launcher's machine-wide key (UpdTime, DisableDays); removed whole by uninstallation.
constexpr const wchar_t* kLauncherKey = L"Software\\Kelvra\\GameLogin\\Tamsolo";

// What an update check found out.
enum class UpdateCheck {
    kNone,       // the operator publishes this version, or nothing
    kAvailable,  // a different version is published
    kFailed,     // the configuration could not be fetched, or was none: nothing is known
};

// Non-zero when the operator publishes a different version. Not forced: only in the modes
// that may update and when the daily gate allows. Refreshes app.updateAddress when the
// configuration was read.
int CheckForUpdate(bool forced, CQuorvane3App& app);
// The same check, telling a failed fetch apart from "no update" (the update command says which).
UpdateCheck CheckForUpdateOutcome(bool forced, CQuorvane3App& app);
// What the operator's configuration said.
struct PublishedUpdate {
    bool read = false;  // it arrived whole and was a configuration
    std::wstring key;
    std::wstring address;
};
// The parts of the check, for a check run off the interface thread: the fetch and the verdict
// touch nothing of the application (with `handles`, another thread can stop the fetch); the
// interface thread adopts the result as the check above does itself.
PublishedUpdate FetchPublishedUpdate(net::DownloadHandles* handles);
UpdateCheck JudgePublishedUpdate(const PublishedUpdate& published);
void AdoptPublishedUpdate(CQuorvane3App& app, const PublishedUpdate& published);
// Downloads the new executable into the per-user folder under the progress dialog, checks it
// and has it swapped in by the administrators' step (in this process when it has the rights,
// else in a copy restarted for that job); true when the new program is in place.
bool DownloadAndSwap(CQuorvane3App& app);
// The administrators' step: takes back what earlier versions opened to ordinary users, fetches
// the configuration itself (unless this very process fetched the key it is given), copies the download into the program folder under a temporary name
// (or fetches it there when this account has none), checks that copy against the key, swaps it
// in and records the day. One of tamsolo::kJobDone, kJobFailed, kJobRefused.
DWORD SwapInUpdate(CQuorvane3App& app, std::wstring published = std::wstring());
// Writes today as the last update day into the launcher's key (opened for writing).
void RecordUpdateDay(HKEY key);
// Writes the weekdays on which the ordinary check does not run (once, at installation).
void WriteUpdateDaySpread(HKEY key);

// The version key of a file: its MD5 in lower-case hex, cut to leave room for the dotless version.
std::wstring OwnVersionKey(const std::wstring& exePath);
// MD5 of a file in lower-case hex; empty when it cannot be read.
std::string FileMd5Hex(const std::wstring& path);

}  // namespace app
