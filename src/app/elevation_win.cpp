// Asking for administrator rights only where the machine is changed, and keeping what the
// installation made out of ordinary users' hands.
#include "app/elevation_win.h"

#include <aclapi.h>
#include <sddl.h>
#include <shellapi.h>

#include <vector>

#include "framework/paths_win.h"
#include "framework/text_win.h"
#include "framework/trace_win.h"
#include "net/update_win.h"
#include "ui/msgbox_win.h"

namespace app {

namespace {

static_assert(tamsolo::kFileFullControl == FILE_ALL_ACCESS, "file mask");
static_assert(tamsolo::kFileReadExecute == (FILE_GENERIC_READ | FILE_GENERIC_EXECUTE), "file mask");
static_assert(tamsolo::kKeyFullControl == KEY_ALL_ACCESS, "key mask");
static_assert(tamsolo::kKeyRead == KEY_READ, "key mask");

const wchar_t kTrustedInstaller[] = L"S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464";
const wchar_t kFolderUntrusted[] =
    L"安装文件夹是一个链接或不属于管理员，为安全起见已停止。\r\n请删除该文件夹后再试：";

std::vector<std::u16string> OwnArguments() {
    std::vector<std::u16string> args;
    int argc = 0;
    fw::LocalMemory argv(::CommandLineToArgvW(::GetCommandLineW(), &argc));
    if (!argv) return args;
    auto* const list = static_cast<LPWSTR*>(argv.Get());
    for (int i = 1; i < argc; ++i) args.push_back(fw::U(list[i]));
    return args;
}

// A well-known SID in a buffer of its own.
struct WellKnownSid {
    explicit WellKnownSid(WELL_KNOWN_SID_TYPE type) {
        DWORD size = sizeof(bytes);
        ok = ::CreateWellKnownSid(type, nullptr, bytes, &size) != FALSE;
    }
    PSID Get() { return ok ? static_cast<PSID>(bytes) : nullptr; }
    BYTE bytes[SECURITY_MAX_SID_SIZE] = {};
    bool ok = false;
};

WELL_KNOWN_SID_TYPE SidType(tamsolo::Trustee who) {
    switch (who) {
        case tamsolo::Trustee::kSystem:
            return WinLocalSystemSid;
        case tamsolo::Trustee::kAdministrators:
            return WinBuiltinAdministratorsSid;
        case tamsolo::Trustee::kUsers:
            break;
    }
    return WinBuiltinUsersSid;
}

// The access list of the entries, nothing merged in. Empty (and the reason in *error) on failure.
fw::LocalMemory BuildAcl(const std::vector<tamsolo::AccessEntry>& entries, DWORD passedOnAs, DWORD* error) {
    std::vector<WellKnownSid> sids;
    sids.reserve(entries.size());
    std::vector<EXPLICIT_ACCESSW> list(entries.size());
    for (size_t i = 0; i < entries.size(); ++i) {
        sids.emplace_back(SidType(entries[i].who));
        if (!sids.back().ok) {
            *error = ::GetLastError();
            return fw::LocalMemory();
        }
        list[i].grfAccessPermissions = entries[i].rights;
        list[i].grfAccessMode = SET_ACCESS;
        list[i].grfInheritance = entries[i].passedOn ? passedOnAs : NO_INHERITANCE;
        list[i].Trustee.TrusteeForm = TRUSTEE_IS_SID;
        list[i].Trustee.TrusteeType = TRUSTEE_IS_WELL_KNOWN_GROUP;
        list[i].Trustee.ptstrName = static_cast<LPWSTR>(sids[i].Get());
    }
    PACL acl = nullptr;
    *error = ::SetEntriesInAclW(static_cast<ULONG>(list.size()), list.data(), nullptr, &acl);
    return fw::LocalMemory(*error == ERROR_SUCCESS ? acl : nullptr);
}

void TraceResult(const std::wstring& what, DWORD error) {
    fw::Trace((what + (error == ERROR_SUCCESS ? L" ok" : L" failed " + std::to_wstring(error))).c_str());
}

bool IsSid(PSID sid, const wchar_t* text) {
    PSID other = nullptr;
    if (!::ConvertStringSidToSidW(text, &other)) return false;
    fw::LocalMemory owned(other);
    return ::EqualSid(sid, other) != FALSE;
}

bool IsOwnAccount(PSID sid) {
    fw::Handle token;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, token.Put())) return false;
    std::vector<BYTE> buffer(sizeof(TOKEN_USER) + SECURITY_MAX_SID_SIZE);
    DWORD size = 0;
    if (!::GetTokenInformation(token.Get(), TokenUser, buffer.data(), static_cast<DWORD>(buffer.size()), &size)) {
        return false;
    }
    return ::EqualSid(sid, reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid) != FALSE;
}

bool TrustedOwner(PSID owner) {
    return ::IsWellKnownSid(owner, WinLocalSystemSid) || ::IsWellKnownSid(owner, WinBuiltinAdministratorsSid) ||
           IsSid(owner, kTrustedInstaller) || IsOwnAccount(owner);
}

}  // namespace

tamsolo::ElevatedJob ElevatedJobOfThisStart() { return tamsolo::ElevatedJobFrom(OwnArguments()); }

bool IsElevatedJob() {
    const tamsolo::ElevatedJob job = ElevatedJobOfThisStart();
    return job != tamsolo::ElevatedJob::kNone && job != tamsolo::ElevatedJob::kRefused;
}

LONG OpenLauncherKeyAsAdministrator(fw::RegKey* key) {
    const PretendedUser pretended = Pretended();
    if (pretended == PretendedUser::kNeverEnough || (pretended != PretendedUser::kNone && !IsElevatedJob())) {
        key->Reset();
        return ERROR_ACCESS_DENIED;  // as the system refuses a standard user: nothing is made
    }
    // The program is built for 64-bit Windows only, so this is the machine's native view; the
    // list below goes through the same handle, so it always lands on the key opened here.
    return ::RegCreateKeyExW(HKEY_LOCAL_MACHINE, kLauncherKey, 0, nullptr, 0, KEY_READ | KEY_WRITE | WRITE_DAC, nullptr,
                             key->Put(), nullptr);
}

bool NeedsAdministrator(LONG result) {
    return result == ERROR_ACCESS_DENIED || result == ERROR_PRIVILEGE_NOT_HELD;
}

JobRun RunElevatedJob(tamsolo::ElevatedJob job) {
    JobRun run;
    const std::wstring exe = fw::ExePath();
    const std::wstring args = fw::W(tamsolo::ElevatedJobArguments(job));
    fw::Trace((L"elevation-restart runas " + args).c_str());
    if (exe.empty() || args.empty()) return run;
    fw::Handle started;
    if (Pretended() == PretendedUser::kDeclines) {
        ::SetLastError(ERROR_CANCELLED);
    } else {
        started.Reset(fw::StartWithShell(exe, args, L"runas"));
    }
    if (!started) {
        const DWORD error = ::GetLastError();
        fw::Trace(error == ERROR_CANCELLED ? L"elevation-declined" : L"elevation-failed");
        run.restart = error == ERROR_CANCELLED ? Restart::kDeclined : Restart::kFailed;
        return run;
    }
    ::WaitForSingleObject(started.Get(), INFINITE);
    run.restart = Restart::kStarted;
    if (!::GetExitCodeProcess(started.Get(), &run.exitCode)) run.exitCode = tamsolo::kJobFailed;
    fw::Trace((L"elevation-ended " + std::to_wstring(run.exitCode == tamsolo::kJobDone)).c_str());
    return run;
}

FolderTrust InspectFolder(const std::wstring& folder) {
    const DWORD attributes = ::GetFileAttributesW(folder.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = ::GetLastError();
        return (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) ? FolderTrust::kMissing
                                                                                : FolderTrust::kForeignOwner;
    }
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) return FolderTrust::kLink;
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) return FolderTrust::kForeignOwner;  // somebody's file
    PSID owner = nullptr;
    fw::LocalMemory descriptor;
    if (::GetNamedSecurityInfoW(folder.c_str(), SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, &owner, nullptr, nullptr,
                                nullptr, descriptor.Put()) != ERROR_SUCCESS ||
        !owner) {
        return FolderTrust::kForeignOwner;
    }
    return TrustedOwner(owner) ? FolderTrust::kTrusted : FolderTrust::kForeignOwner;
}

bool ProtectFolder(const std::wstring& folder) {
    DWORD error = ERROR_SUCCESS;
    fw::LocalMemory acl = BuildAcl(tamsolo::ProgramFolderAccess(), SUB_CONTAINERS_AND_OBJECTS_INHERIT, &error);
    WellKnownSid administrators(WinBuiltinAdministratorsSid);
    if (error == ERROR_SUCCESS && !administrators.ok) error = ::GetLastError();
    if (error == ERROR_SUCCESS) {
        // Protected: nothing comes down from the common application-data folder, whose own list
        // lets every user create files in the folders below it. The new list also reaches the
        // files already inside, replacing what they had inherited.
        error = ::SetNamedSecurityInfoW(const_cast<LPWSTR>(folder.c_str()), SE_FILE_OBJECT,
                                        OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION |
                                            PROTECTED_DACL_SECURITY_INFORMATION,
                                        administrators.Get(), nullptr, static_cast<PACL>(acl.Get()), nullptr);
    }
    TraceResult(L"protect-folder", error);
    return error == ERROR_SUCCESS;
}

bool ProtectKey(HKEY key) {
    DWORD error = ERROR_SUCCESS;
    fw::LocalMemory acl = BuildAcl(tamsolo::LauncherKeyAccess(), SUB_CONTAINERS_ONLY_INHERIT, &error);
    if (error == ERROR_SUCCESS) {
        error = ::SetSecurityInfo(key, SE_REGISTRY_KEY, DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION,
                                  nullptr, nullptr, static_cast<PACL>(acl.Get()), nullptr);
    }
    TraceResult(L"protect-key", error);
    return error == ERROR_SUCCESS;
}

ProgramFolder SecureProgramFolder(const std::wstring& installDir) {
    const size_t cut = installDir.rfind(L'\\');
    if (installDir.empty() || cut == std::wstring::npos) return ProgramFolder::kFailed;
    // Each level is looked at after it was made: one that appeared meanwhile is judged as found.
    for (const std::wstring& folder : {installDir.substr(0, cut), installDir}) {
        ::CreateDirectoryW(folder.c_str(), nullptr);
        const FolderTrust trust = InspectFolder(folder);
        if (trust != FolderTrust::kTrusted) {
            fw::Trace(trust == FolderTrust::kLink ? L"folder-untrusted link" : L"folder-untrusted owner");
            return trust == FolderTrust::kMissing ? ProgramFolder::kFailed : ProgramFolder::kUntrusted;
        }
    }
    return ProtectFolder(installDir) ? ProgramFolder::kProtected : ProgramFolder::kFailed;
}

void TellFolderUntrusted(const std::wstring& installDir) {
    ShowMessageBox(0, kAppTitle, kFolderUntrusted + installDir, nullptr);
}

}  // namespace app
