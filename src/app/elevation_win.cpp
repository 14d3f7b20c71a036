// Asking for administrator rights only where the machine is changed, and opening what the
// installation made to ordinary users.
#include "app/elevation_win.h"

#include <aclapi.h>
#include <shellapi.h>

#include <vector>

#include "app/elevation.h"
#include "framework/paths_win.h"
#include "framework/text_win.h"
#include "framework/trace_win.h"
#include "net/update_win.h"

namespace app {

namespace {

std::vector<std::u16string> OwnArguments() {
    std::vector<std::u16string> args;
    int argc = 0;
    fw::LocalMemory argv(::CommandLineToArgvW(::GetCommandLineW(), &argc));
    if (!argv) return args;
    auto* const list = static_cast<LPWSTR*>(argv.Get());
    for (int i = 1; i < argc; ++i) args.push_back(fw::U(list[i]));
    return args;
}

// BUILTIN\Users, S-1-5-32-545.
struct UsersSid {
    UsersSid() {
        SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
        ok = ::AllocateAndInitializeSid(&nt, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_USERS, 0, 0, 0, 0, 0, 0,
                                        &sid) != FALSE;
    }
    ~UsersSid() {
        if (ok) ::FreeSid(sid);
    }
    UsersSid(const UsersSid&) = delete;
    UsersSid& operator=(const UsersSid&) = delete;
    PSID sid = nullptr;
    bool ok = false;
};

// The old list with one more entry granting ordinary users these rights, inherited as given.
// Empty (and the reason in *error) on failure.
fw::LocalMemory WithUsersGranted(PACL old, DWORD rights, DWORD inheritance, DWORD* error) {
    UsersSid users;
    if (!users.ok) {
        *error = ::GetLastError();
        return fw::LocalMemory();
    }
    EXPLICIT_ACCESSW entry{};
    entry.grfAccessPermissions = rights;
    entry.grfAccessMode = GRANT_ACCESS;
    entry.grfInheritance = inheritance;
    entry.Trustee.TrusteeForm = TRUSTEE_IS_SID;
    entry.Trustee.TrusteeType = TRUSTEE_IS_WELL_KNOWN_GROUP;
    entry.Trustee.ptstrName = static_cast<LPWSTR>(users.sid);
    PACL merged = nullptr;
    *error = ::SetEntriesInAclW(1, &entry, old, &merged);
    return fw::LocalMemory(*error == ERROR_SUCCESS ? merged : nullptr);
}

void TraceGrant(const wchar_t* what, DWORD error) {
    fw::Trace((std::wstring(what) + (error == ERROR_SUCCESS ? L" ok" : L" failed " + std::to_wstring(error))).c_str());
}

}  // namespace

bool IsElevatedRestart() { return tamsolo::IsElevatedRestart(OwnArguments()); }

LONG OpenLauncherKeyAsAdministrator(fw::RegKey* key) {
    const PretendedUser pretended = Pretended();
    if (pretended == PretendedUser::kNeverEnough || (pretended != PretendedUser::kNone && !IsElevatedRestart())) {
        key->Reset();
        return ERROR_ACCESS_DENIED;  // as the system refuses a standard user: nothing is made
    }
    // The program is built for 64-bit Windows only, so this is the machine's native view; the
    // grant below goes through the same handle, so it always lands on the key opened here.
    return ::RegCreateKeyExW(HKEY_LOCAL_MACHINE, kLauncherKey, 0, nullptr, 0, KEY_READ | KEY_WRITE | WRITE_DAC, nullptr,
                             key->Put(), nullptr);
}

bool NeedsAdministrator(LONG result) {
    return result == ERROR_ACCESS_DENIED || result == ERROR_PRIVILEGE_NOT_HELD;
}

Restart RestartElevated(fw::Handle* process) {
    const std::wstring exe = fw::ExePath();
    const std::wstring args = fw::W(tamsolo::ElevatedRestartArguments(OwnArguments()));
    fw::Trace((L"elevation-restart runas " + args).c_str());
    if (exe.empty()) return Restart::kFailed;
    fw::Handle started;
    if (Pretended() == PretendedUser::kDeclines) {
        ::SetLastError(ERROR_CANCELLED);
    } else {
        started.Reset(fw::StartWithShell(exe, args, L"runas"));
    }
    if (!started) {
        const DWORD error = ::GetLastError();
        fw::Trace(error == ERROR_CANCELLED ? L"elevation-declined" : L"elevation-failed");
        return error == ERROR_CANCELLED ? Restart::kDeclined : Restart::kFailed;
    }
    if (process) *process = std::move(started);
    return Restart::kStarted;
}

void OpenInstallationToUsersIfAdministrator() {
    fw::RegKey key;
    if (OpenLauncherKeyAsAdministrator(&key) != ERROR_SUCCESS) return;
    GrantUsersKey(key.Get());
    const std::wstring installDir = fw::InstallDir();
    if (!installDir.empty()) GrantUsersFolder(installDir);
}

bool GrantUsersFolder(const std::wstring& folder) {
    PACL old = nullptr;
    fw::LocalMemory descriptor;
    DWORD error = ::GetNamedSecurityInfoW(folder.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr,
                                          &old, nullptr, descriptor.Put());
    fw::LocalMemory merged;
    if (error == ERROR_SUCCESS) {
        // Modify: read, write, run and delete, for the folder, its files and its sub-folders.
        merged = WithUsersGranted(old, FILE_GENERIC_READ | FILE_GENERIC_WRITE | FILE_GENERIC_EXECUTE | DELETE,
                                  SUB_CONTAINERS_AND_OBJECTS_INHERIT, &error);
    }
    if (error == ERROR_SUCCESS) {
        // Also passes the new entry on to the files already in the folder.
        error = ::SetNamedSecurityInfoW(const_cast<LPWSTR>(folder.c_str()), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION,
                                        nullptr, nullptr, static_cast<PACL>(merged.Get()), nullptr);
    }
    TraceGrant(L"grant-folder", error);
    return error == ERROR_SUCCESS;
}

bool GrantUsersKey(HKEY key) {
    PACL old = nullptr;
    fw::LocalMemory descriptor;
    DWORD error = ::GetSecurityInfo(key, SE_REGISTRY_KEY, DACL_SECURITY_INFORMATION, nullptr, nullptr, &old, nullptr,
                                    descriptor.Put());
    fw::LocalMemory merged;
    if (error == ERROR_SUCCESS) {
        // Not DELETE, WRITE_DAC or WRITE_OWNER: removing the key stays with administrators.
        merged = WithUsersGranted(old, KEY_READ | KEY_WRITE, SUB_CONTAINERS_AND_OBJECTS_INHERIT, &error);
    }
    if (error == ERROR_SUCCESS) {
        error = ::SetSecurityInfo(key, SE_REGISTRY_KEY, DACL_SECURITY_INFORMATION, nullptr, nullptr,
                                  static_cast<PACL>(merged.Get()), nullptr);
    }
    TraceGrant(L"grant-key", error);
    return error == ERROR_SUCCESS;
}

}  // namespace app
