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
#include "web/localfiles_win.h"

namespace app {

namespace {

constexpr size_t kKeyChars = 64;       // read buffers, terminator included
constexpr size_t kAddressChars = 512;
constexpr size_t kPathChars = 260;

// The key published with the address of the last check: the download must agree with it.
std::wstring g_publishedKey;

fw::RegKey OpenLauncherKey(REGSAM access) {
    fw::RegKey key;
    if (::RegCreateKeyExW(HKEY_LOCAL_MACHINE, kLauncherKey, 0, nullptr, 0, access, nullptr, key.Put(), nullptr) !=
        ERROR_SUCCESS) {
        key.Reset();
    }
    return key;
}

template <size_t N>
std::array<std::uint8_t, N> ReadBinary(HKEY key, const wchar_t* name) {
    std::array<std::uint8_t, N> bytes{};
    DWORD type = 0;
    DWORD size = N;
    if (::RegQueryValueExW(key, name, nullptr, &type, bytes.data(), &size) != ERROR_SUCCESS) bytes.fill(0);
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
    fw::RegKey key = OpenLauncherKey(KEY_READ);
    if (!key) return false;
    SYSTEMTIME now{};
    ::GetSystemTime(&now);
    return tamsolo::UpdateGateAllows(ReadBinary<16>(key.Get(), L"UpdTime"), ReadBinary<4>(key.Get(), L"DisableDays"),
                                     FromSystemTime(now));
}

std::wstring BesideProgram(const wchar_t* name) {
    std::wstring path;
    web::PathBesideProgram(name, &path);
    return path;
}

// Fetches the operator's configuration and reads the key and the download address from it.
// *fetched tells whether the configuration arrived whole.
std::wstring ReadPublishedKey(CQuorvane3App& app, bool* fetched) {
    *fetched = false;
    const std::wstring file = BesideProgram(L"ConfigTamsolo.htm");
    if (file.empty()) return {};
    const std::wstring address = fw::W(tamsolo::UpdateConfigAddress(TAMSOLO_UPDATE_HOST));
    if (!net::HttpUpdateConfig(address, file)) return {};  // an incomplete file is left alone
    *fetched = true;
    wchar_t key[kKeyChars] = {};
    wchar_t download[kAddressChars] = {};
    ::GetPrivateProfileStringW(L"VerKey", L"Tamsolo", L"", key, kKeyChars, file.c_str());
    ::GetPrivateProfileStringW(L"VerKey", L"UpdAddr", L"", download, kAddressChars, file.c_str());
    app.updateAddress = download;
    ::DeleteFileW(file.c_str());
    return key;
}

void DeleteAtRestart(const std::wstring& path) {
    ::MoveFileExW(path.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
}

}  // namespace

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
    bool fetched = false;
    g_publishedKey = ReadPublishedKey(app, &fetched);
    if (!fetched) {
        fw::Trace(L"update-check-failed");
        return UpdateCheck::kFailed;
    }
    if (g_publishedKey.empty()) {
        fw::Trace(L"update-none");
        return UpdateCheck::kNone;
    }
    const std::wstring own = OwnVersionKey(fw::ExePath());
    if (!tamsolo::KeysDiffer(fw::U(g_publishedKey), fw::U(own))) {
        fw::Trace(L"update-none");
        return UpdateCheck::kNone;
    }
    fw::Trace(L"update-available");
    return UpdateCheck::kAvailable;
}

bool DownloadAndSwap(CQuorvane3App& app) {
    fw::Trace(L"download-and-swap");
    const std::wstring exe = fw::ExePath();
    const std::wstring newPath = BesideProgram(L"NewTamsolo.exe");
    if (exe.empty() || newPath.empty()) return false;
    CPrgsDlg& dlg = app.progressDialog;
    dlg.downloadAddress = app.updateAddress.substr(0, kAddressChars - 1);
    dlg.targetPath = newPath.substr(0, kPathChars - 1);
    const INT_PTR result = dlg.DoModal();

    // A truncated body or someone else's page must not replace a working launcher: the file
    // has to be the one whose digest the operator published.
    const bool verified = result == IDOK &&
                          tamsolo::DownloadMatchesKey(fw::U(g_publishedKey), FileMd5Hex(newPath));
    if (!verified) {
        fw::Trace(result == IDOK ? L"swap-refused digest" : L"swap-refused download");
        DeleteAtRestart(newPath);
        return false;
    }
    const std::wstring oldPath = BesideProgram(L"OldTamsolo.exe");
    // A folder the player may not change (an installation made before it was opened to
    // ordinary users) refuses the moves: then nothing was swapped and the program says so, and a
    // launcher whose second move failed gets its own file back instead of none at all.
    if (!::MoveFileExW(exe.c_str(), oldPath.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        fw::Trace(L"swap-refused move");
        DeleteAtRestart(newPath);
        return false;
    }
    if (!::MoveFileExW(newPath.c_str(), exe.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        ::MoveFileExW(oldPath.c_str(), exe.c_str(), MOVEFILE_REPLACE_EXISTING);
        fw::Trace(L"swap-refused move");
        DeleteAtRestart(newPath);
        return false;
    }
    DeleteAtRestart(oldPath);
    fw::Trace(L"swapped");
    return true;
}

void RecordUpdateDay() {
    fw::RegKey key = OpenLauncherKey(KEY_WRITE);
    if (!key) return;
    SYSTEMTIME now{};
    ::GetSystemTime(&now);
    const auto bytes = tamsolo::PackDateTime(FromSystemTime(now));
    ::RegSetValueExW(key.Get(), L"UpdTime", 0, REG_BINARY, bytes.data(), static_cast<DWORD>(bytes.size()));
}

void WriteUpdateDaySpread() {
    fw::RegKey key = OpenLauncherKey(KEY_WRITE);
    if (!key) return;
    SYSTEMTIME now{};
    ::GetSystemTime(&now);
    // The runtime's generator is never seeded, so the weekdays depend on the millisecond only.
    tamsolo::RuntimeRandom random;
    const unsigned r1 = static_cast<unsigned>(random.Next());
    const unsigned r2 = static_cast<unsigned>(random.Next());
    const auto bytes = tamsolo::UpdateDaySpread(now.wMilliseconds, r1, r2);
    ::RegSetValueExW(key.Get(), L"DisableDays", 0, REG_BINARY, bytes.data(), static_cast<DWORD>(bytes.size()));
}

}  // namespace app
