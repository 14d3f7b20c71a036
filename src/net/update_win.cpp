// The self-update: daily gate, configuration fetch, version comparison, download and swap.
#include "net/update_win.h"

#include <vector>

#include "framework/paths_win.h"
#include "app/quorvane3app_win.h"
#include "app/startmode.h"
#include "framework/handle_win.h"
#include "framework/text_win.h"
#include "framework/trace_win.h"
#include "net/httpget_win.h"
#include "net/md5.h"
#include "net/prgsdlg_win.h"
#include "net/updaterules.h"
#include "operator_config.h"
#include "app/elevation_win.h"
#include "app/installrules.h"
#include "web/localfiles_win.h"

namespace app {

namespace {

constexpr size_t kKeyChars = 64;       // read buffers, terminator included
constexpr size_t kAddressChars = 512;
constexpr size_t kPathChars = 260;

// The key published with the address of the last check: the download must agree with it.
std::wstring g_publishedKey;

constexpr wchar_t kConfigName[] = L"ConfigTamsolo.htm";
constexpr wchar_t kDownloadName[] = L"NewTamsolo.exe";
constexpr wchar_t kOldName[] = L"OldTamsolo.exe";

template <size_t N>
std::array<std::uint8_t, N> ReadBinary(HKEY key, const wchar_t* name) {
    std::array<std::uint8_t, N> bytes{};
    DWORD type = 0;
    DWORD size = N;
    if (!key || ::RegQueryValueExW(key, name, nullptr, &type, bytes.data(), &size) != ERROR_SUCCESS) bytes.fill(0);
    return bytes;
}

tamsolo::DateTime FromSystemTime(const SYSTEMTIME& st) {
    tamsolo::DateTime t;
    t.year = st.wYear;
    t.month = st.wMonth;
    t.dayOfWeek = st.wDayOfWeek;
    t.day = st.wDay;
    t.hour = st.wHour;
    t.minute = st.wMinute;
    t.second = st.wSecond;
    t.milliseconds = st.wMilliseconds;
    return t;
}

bool GateAllows() {
    // Only administrators' steps make the key now: a missing one holds no day that forbids a
    // check, read as missing values are; any other failure to read it closes the gate.
    fw::RegKey key;
    const LONG opened = ::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kLauncherKey, 0, KEY_READ, key.Put());
    if (opened != ERROR_SUCCESS && opened != ERROR_FILE_NOT_FOUND) return false;
    SYSTEMTIME now{};
    ::GetSystemTime(&now);
    const HKEY values = opened == ERROR_SUCCESS ? key.Get() : nullptr;
    return tamsolo::UpdateGateAllows(ReadBinary<16>(values, L"UpdTime"), ReadBinary<4>(values, L"DisableDays"),
                                     FromSystemTime(now));
}

// Fetches the operator's configuration and reads the key and the download address from it.
// *fetched tells whether the configuration arrived whole and was one.
std::wstring ReadPublishedKey(CQuorvane3App& app, bool* fetched) {
    const PublishedUpdate published = FetchPublishedUpdate(nullptr);
    *fetched = published.read;
    if (published.read) app.updateAddress = published.address;
    return published.key;
}

void DeleteAtRestart(const std::wstring& path) {
    ::MoveFileExW(path.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
}

// Downloads the new executable under the progress dialog; true when all of it arrived.
bool Download(CQuorvane3App& app, const std::wstring& target) {
    CPrgsDlg& dlg = app.progressDialog;
    dlg.downloadAddress = app.updateAddress.substr(0, kAddressChars - 1);
    dlg.targetPath = target.substr(0, kPathChars - 1);
    return target.size() < kPathChars && dlg.DoModal() == IDOK;
}

}  // namespace

PublishedUpdate FetchPublishedUpdate(net::DownloadHandles* handles) {
    PublishedUpdate published;
    const std::wstring file = fw::UserStateFile(kConfigName);
    if (file.empty()) return published;
    const std::wstring address = fw::W(tamsolo::UpdateConfigAddress(TAMSOLO_UPDATE_HOST));
    if (!net::HttpUpdateConfig(address, file, handles)) return published;  // an incomplete file is left alone
    // A captive portal's or a proxy's page arrives whole with a 200 as well. Only a file with the
    // configuration's section says anything; an operator's section with an empty key still
    // means "nothing new".
    wchar_t names[8] = {};
    if (::GetPrivateProfileStringW(L"VerKey", nullptr, L"", names, ARRAYSIZE(names), file.c_str()) > 0) {
        wchar_t key[kKeyChars] = {};
        wchar_t download[kAddressChars] = {};
        ::GetPrivateProfileStringW(L"VerKey", L"Tamsolo", L"", key, kKeyChars, file.c_str());
        ::GetPrivateProfileStringW(L"VerKey", L"UpdAddr", L"", download, kAddressChars, file.c_str());
        published.read = true;
        published.key = key;
        published.address = download;
    }
    ::DeleteFileW(file.c_str());
    return published;
}

void AdoptPublishedUpdate(CQuorvane3App& app, const PublishedUpdate& published) {
    g_publishedKey = published.key;
    if (published.read) app.updateAddress = published.address;
}

UpdateCheck JudgePublishedUpdate(const PublishedUpdate& published) {
    if (!published.read) {
        fw::Trace(L"update-check-failed");
        return UpdateCheck::kFailed;
    }
    if (published.key.empty()) {
        fw::Trace(L"update-none");
        return UpdateCheck::kNone;
    }
    const std::wstring own = OwnVersionKey(fw::ExePath());
    if (!tamsolo::KeysDiffer(fw::U(published.key), fw::U(own))) {
        fw::Trace(L"update-none");
        return UpdateCheck::kNone;
    }
    fw::Trace(L"update-available");
    return UpdateCheck::kAvailable;
}

std::string FileMd5Hex(const std::wstring& path) {
    fw::Handle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return {};
    // The digest does not depend on the piece size; large reads keep the system calls few.
    tamsolo::Md5 md5;
    std::vector<char> piece(64 * 1024);
    DWORD got = 0;
    while (::ReadFile(file.Get(), piece.data(), static_cast<DWORD>(piece.size()), &got, nullptr) && got > 0) {
        md5.Update(piece.data(), got);
    }
    return tamsolo::Md5Hex(md5.Finish());
}

std::wstring OwnVersionKey(const std::wstring& exePath) {
    const std::string digest = FileMd5Hex(exePath);
    if (digest.empty()) return {};
    return fw::W(tamsolo::VersionKey(digest, tamsolo::kVersionText));
}

int CheckForUpdate(bool forced, CQuorvane3App& app) {
    return CheckForUpdateOutcome(forced, app) == UpdateCheck::kAvailable ? 1 : 0;
}

UpdateCheck CheckForUpdateOutcome(bool forced, CQuorvane3App& app) {
    fw::Trace(forced ? L"update-check forced" : L"update-check");
    if (!forced) {
        const int mode = ComputeStartMode();
        if (mode == tamsolo::kModeFirstStart || mode == tamsolo::kModePartnerStart ||
            mode == tamsolo::kModeUninstall || mode == tamsolo::kModeGamePage) {
            return UpdateCheck::kNone;
        }
        if (!GateAllows()) {
            fw::Trace(L"update-gate-closed");
            return UpdateCheck::kNone;
        }
    }
    const PublishedUpdate published = FetchPublishedUpdate(nullptr);
    AdoptPublishedUpdate(app, published);
    return JudgePublishedUpdate(published);
}

bool DownloadAndSwap(CQuorvane3App& app) {
    fw::Trace(L"download-and-swap");
    const std::wstring download = fw::UserStateFile(kDownloadName);
    if (download.empty()) return false;
    const bool arrived = Download(app, download);

    // A truncated body or someone else's page must not replace a working launcher: the file
    // has to be the one whose digest the operator published. Checked here first so that a bad
    // download asks for no administrator rights; the swap checks its own copy again.
    if (!arrived || !tamsolo::DownloadMatchesKey(fw::U(g_publishedKey), FileMd5Hex(download))) {
        fw::Trace(arrived ? L"swap-refused digest" : L"swap-refused download");
        ::DeleteFileW(download.c_str());
        return false;
    }
    bool swapped = false;
    fw::RegKey key;
    const LONG opened = OpenLauncherKeyAsAdministrator(&key);
    key.Reset();
    if (opened == ERROR_SUCCESS) {
        // This process has the rights already, and the key it checks against is its own fetch.
        swapped = SwapInUpdate(app, g_publishedKey) == tamsolo::kJobDone;
    } else if (NeedsAdministrator(opened)) {
        // Declined: the old version runs on; the day is not recorded, so the next check offers it again.
        const JobRun run = RunElevatedJob(tamsolo::ElevatedJob::kSwap);
        swapped = run.restart == Restart::kStarted && run.exitCode == tamsolo::kJobDone;
    }
    ::DeleteFileW(download.c_str());
    return swapped;
}

DWORD SwapInUpdate(CQuorvane3App& app, std::wstring published) {
    fw::Trace(L"swap-step");
    const std::wstring exe = fw::ExePath();
    const std::wstring installDir = fw::InstallDir();
    // Only the installed program is ever replaced, and only in a folder that is administrators'.
    if (exe.empty() || installDir.empty() ||
        !tamsolo::SamePathIgnoringCase(tamsolo::FolderOfPath(fw::U(exe)), fw::U(installDir))) {
        fw::Trace(L"swap-refused place");
        return tamsolo::kJobFailed;
    }
    if (SecureProgramFolder(installDir) == ProgramFolder::kUntrusted) {
        TellFolderUntrusted(installDir);
        return tamsolo::kJobRefused;
    }
    fw::RegKey key;
    if (OpenLauncherKeyAsAdministrator(&key) == ERROR_SUCCESS) ProtectKey(key.Get());

    // A restarted copy fetches the key itself rather than take it from its caller; the copy
    // checked is the one that lies where only administrators can change it.
    bool fetched = !published.empty();
    if (!fetched) published = ReadPublishedKey(app, &fetched);
    const std::wstring staged = fw::W(tamsolo::FileInInstallDir(fw::U(installDir), fw::U(kDownloadName)));
    ::DeleteFileW(staged.c_str());
    if (!fetched || published.empty()) {
        fw::Trace(L"swap-refused config");
        return tamsolo::kJobFailed;
    }
    const std::wstring download = fw::UserStateFile(kDownloadName);
    bool copied = false;
    if (!download.empty() && ::GetFileAttributesW(download.c_str()) != INVALID_FILE_ATTRIBUTES) {
        copied = !web::IsLinkPath(download) && ::CopyFileW(download.c_str(), staged.c_str(), TRUE) != FALSE;
    } else {
        // Another account's rights (a standard user's update, approved by an administrator):
        // the player's download is not in this account's folder, so the step fetches it itself.
        copied = Download(app, staged);
    }
    if (!copied || !tamsolo::DownloadMatchesKey(fw::U(published), FileMd5Hex(staged))) {
        fw::Trace(copied ? L"swap-refused digest" : L"swap-refused download");
        ::DeleteFileW(staged.c_str());
        return tamsolo::kJobFailed;
    }
    const std::wstring oldPath = fw::W(tamsolo::FileInInstallDir(fw::U(installDir), fw::U(kOldName)));
    // A launcher whose second move failed gets its own file back instead of none at all.
    if (!::MoveFileExW(exe.c_str(), oldPath.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        fw::Trace(L"swap-refused move");
        ::DeleteFileW(staged.c_str());
        return tamsolo::kJobFailed;
    }
    if (!::MoveFileExW(staged.c_str(), exe.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        ::MoveFileExW(oldPath.c_str(), exe.c_str(), MOVEFILE_REPLACE_EXISTING);
        fw::Trace(L"swap-refused move");
        ::DeleteFileW(staged.c_str());
        return tamsolo::kJobFailed;
    }
    DeleteAtRestart(oldPath);
    if (key) RecordUpdateDay(key.Get());
    fw::Trace(L"swapped");
    return tamsolo::kJobDone;
}

void RecordUpdateDay(HKEY key) {
    SYSTEMTIME now{};
    ::GetSystemTime(&now);
    const auto bytes = tamsolo::PackDateTime(FromSystemTime(now));
    ::RegSetValueExW(key, L"UpdTime", 0, REG_BINARY, bytes.data(), static_cast<DWORD>(bytes.size()));
}

void WriteUpdateDaySpread(HKEY key) {
    SYSTEMTIME now{};
    ::GetSystemTime(&now);
    // The runtime's generator is never seeded, so the weekdays depend on the millisecond only.
    tamsolo::RuntimeRandom random;
    const unsigned r1 = static_cast<unsigned>(random.Next());
    const unsigned r2 = static_cast<unsigned>(random.Next());
    const auto bytes = tamsolo::UpdateDaySpread(now.wMilliseconds, r1, r2);
    ::RegSetValueExW(key, L"DisableDays", 0, REG_BINARY, bytes.data(), static_cast<DWORD>(bytes.size()));
}

}  // namespace app
