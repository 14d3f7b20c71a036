// What the installation keeps out of ordinary users' hands, and where an ordinary start writes.
// Wine keeps a registry key's access list, so the key's list is read back; for files it only
// maps a list onto the Unix mode, so a folder can be checked no further than the list being
// accepted. Wine reports a Unix symbolic link as a reparse point, which is how links are shown.
#include <windows.h>
#include <aclapi.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/elevation_win.h"
#include "framework/handle_win.h"
#include "framework/paths_win.h"
#include "web/localfiles_win.h"

namespace {

struct Entry {
    WELL_KNOWN_SID_TYPE who;
    ACCESS_MASK mask;
    BYTE flags;
    bool operator==(const Entry& o) const { return who == o.who && mask == o.mask && flags == o.flags; }
};

std::vector<Entry> EntriesOf(PACL acl) {
    std::vector<Entry> entries;
    for (DWORD i = 0; acl && i < acl->AceCount; ++i) {
        void* ace = nullptr;
        if (!::GetAce(acl, i, &ace)) break;
        auto* allowed = static_cast<ACCESS_ALLOWED_ACE*>(ace);
        Entry e{WinNullSid, allowed->Mask, allowed->Header.AceFlags};
        if (allowed->Header.AceType != ACCESS_ALLOWED_ACE_TYPE) e.mask = 0xDEAD;  // no denials expected
        for (WELL_KNOWN_SID_TYPE type : {WinLocalSystemSid, WinBuiltinAdministratorsSid, WinBuiltinUsersSid}) {
            if (::IsWellKnownSid(&allowed->SidStart, type)) e.who = type;
        }
        entries.push_back(e);
    }
    return entries;
}

std::wstring Scratch(const wchar_t* name) {
    wchar_t dir[MAX_PATH];
    ::GetTempPathW(MAX_PATH, dir);
    return std::wstring(dir) + name;
}

using UnixName = char*(CDECL*)(LPCWSTR);

// Wine's own way to a path's Unix name; null elsewhere.
UnixName WineUnixName() {
    return reinterpret_cast<UnixName>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
}

// Starts a Unix program of the host with the Unix names of the paths as its last arguments
// (Wine starts host programs like its own, but does not tell when they end).
bool RunOnHost(const wchar_t* program, const std::string& options, const std::vector<std::wstring>& paths) {
    const UnixName unixName = WineUnixName();
    if (!unixName) return false;
    std::string line = "x " + options;
    for (const std::wstring& path : paths) {
        char* name = unixName(path.c_str());
        if (!name) return false;
        line += std::string(" \"") + name + "\"";
        ::HeapFree(::GetProcessHeap(), 0, name);
    }
    std::wstring command(line.begin(), line.end());
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi{};
    if (!::CreateProcessW(program, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return false;
    fw::Handle process(pi.hProcess);
    fw::Handle thread(pi.hThread);
    return ::WaitForSingleObject(pi.hProcess, 10000) == WAIT_OBJECT_0;
}

// A symbolic link to a folder: under Wine a Unix link made by ln, which Wine shows as a
// reparse point; on Windows the system's own. False when neither can be made here.
bool MakeFolderLink(const std::wstring& link, const std::wstring& target) {
    if (WineUnixName()) {
        RunOnHost(L"Z:\\bin\\ln", "-s", {target, link});
        for (int i = 0; i < 50 && !web::IsLinkPath(link); ++i) ::Sleep(100);
    } else {
        ::CreateSymbolicLinkW(link.c_str(), target.c_str(), SYMBOLIC_LINK_FLAG_DIRECTORY | 0x2 /* unprivileged */);
    }
    return web::IsLinkPath(link);
}

// What a test leaves behind, links included (Wine cannot remove a Unix link itself). A host
// program's end is not waited for by Wine, so its effect is.
void RemoveScratch(const std::wstring& folder) {
    if (::GetFileAttributesW(folder.c_str()) == INVALID_FILE_ATTRIBUTES) return;  // a late rm would hit its successor
    if (!RunOnHost(L"Z:\\bin\\rm", "-rf", {folder})) web::RemoveDirectoryTree(folder);
    for (int i = 0; i < 50 && ::GetFileAttributesW(folder.c_str()) != INVALID_FILE_ATTRIBUTES; ++i) ::Sleep(100);
}

void Write(const std::wstring& path, const char* text) {
    fw::Handle file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    ::WriteFile(file.Get(), text, static_cast<DWORD>(strlen(text)), &written, nullptr);
}

std::string Read(const std::wstring& path) {
    fw::Handle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    char buffer[256] = {};
    DWORD got = 0;
    ::ReadFile(file.Get(), buffer, sizeof buffer, &got, nullptr);
    return std::string(buffer, got);
}

}  // namespace

TEST(MachineAccess, TheLaunchersKeyGetsItsOwnListAndAnEarlierGrantToUsersIsTakenBack) {
    const wchar_t kKey[] = L"Software\\TamsoloAccessTest";
    ::RegDeleteTreeW(HKEY_CURRENT_USER, kKey);
    fw::RegKey key;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_READ | KEY_WRITE | WRITE_DAC, nullptr,
                                key.Put(), nullptr),
              ERROR_SUCCESS);
    // What an earlier version did: ordinary users may write the key.
    BYTE users[SECURITY_MAX_SID_SIZE];
    DWORD size = sizeof(users);
    ASSERT_TRUE(::CreateWellKnownSid(WinBuiltinUsersSid, nullptr, users, &size));
    EXPLICIT_ACCESSW grant{};
    grant.grfAccessPermissions = KEY_READ | KEY_WRITE;
    grant.grfAccessMode = GRANT_ACCESS;
    grant.grfInheritance = SUB_CONTAINERS_AND_OBJECTS_INHERIT;
    grant.Trustee.TrusteeForm = TRUSTEE_IS_SID;
    grant.Trustee.ptstrName = reinterpret_cast<LPWSTR>(users);
    PACL old = nullptr;
    ASSERT_EQ(::SetEntriesInAclW(1, &grant, nullptr, &old), static_cast<DWORD>(ERROR_SUCCESS));
    fw::LocalMemory oldOwned(old);
    ASSERT_EQ(::SetSecurityInfo(key.Get(), SE_REGISTRY_KEY, DACL_SECURITY_INFORMATION, nullptr, nullptr, old, nullptr),
              static_cast<DWORD>(ERROR_SUCCESS));

    EXPECT_TRUE(app::ProtectKey(key.Get()));
    PACL acl = nullptr;
    fw::LocalMemory descriptor;
    ASSERT_EQ(::GetSecurityInfo(key.Get(), SE_REGISTRY_KEY, DACL_SECURITY_INFORMATION, nullptr, nullptr, &acl, nullptr,
                                descriptor.Put()),
              static_cast<DWORD>(ERROR_SUCCESS));
    const std::vector<Entry> expected = {
        {WinLocalSystemSid, KEY_ALL_ACCESS, CONTAINER_INHERIT_ACE},
        {WinBuiltinAdministratorsSid, KEY_ALL_ACCESS, CONTAINER_INHERIT_ACE},
        {WinBuiltinUsersSid, KEY_READ, CONTAINER_INHERIT_ACE},
    };
    // Exactly these: the earlier grant is gone. (Wine keeps the entries but not the flag that
    // stops the keys above from passing theirs down, so that flag cannot be read back here.)
    EXPECT_EQ(EntriesOf(acl), expected);
    key.Reset();
    ::RegDeleteTreeW(HKEY_CURRENT_USER, kKey);
}

TEST(MachineAccess, AProgramFolderIsMadeAndProtectedOnlyWhereNoLinkLeadsElsewhere) {
    const std::wstring parent = Scratch(L"TamsoloFolderTest");
    const std::wstring elsewhere = Scratch(L"TamsoloFolderElsewhere");
    RemoveScratch(parent);
    RemoveScratch(elsewhere);
    EXPECT_EQ(app::InspectFolder(parent), app::FolderTrust::kMissing);

    // Both levels are made, and the program folder takes its list.
    EXPECT_EQ(app::SecureProgramFolder(parent + L"\\GameLogin"), app::ProgramFolder::kProtected);
    EXPECT_EQ(app::InspectFolder(parent + L"\\GameLogin"), app::FolderTrust::kTrusted);
    // Somebody's file where the folder belongs is not a folder to install into.
    Write(parent + L"\\NotAFolder", "x");
    EXPECT_EQ(app::SecureProgramFolder(parent + L"\\NotAFolder"), app::ProgramFolder::kUntrusted);

    // A link in the program folder's place, or in its parent's, stops the step.
    ::CreateDirectoryW(elsewhere.c_str(), nullptr);
    if (!MakeFolderLink(parent + L"\\Linked", elsewhere)) GTEST_SKIP() << "no folder links here";
    EXPECT_EQ(app::InspectFolder(parent + L"\\Linked"), app::FolderTrust::kLink);
    EXPECT_EQ(app::SecureProgramFolder(parent + L"\\Linked"), app::ProgramFolder::kUntrusted);
    EXPECT_EQ(app::SecureProgramFolder(parent + L"\\Linked\\GameLogin"), app::ProgramFolder::kUntrusted);
    EXPECT_EQ(::GetFileAttributesW((elsewhere + L"\\GameLogin").c_str()), INVALID_FILE_ATTRIBUTES);
    RemoveScratch(parent);
    RemoveScratch(elsewhere);
}

TEST(UserState, AnEarlierStatisticsFileIsCopiedOnceAndNeverOverAUsersFile) {
    const std::wstring user = fw::StatisticsFile();
    ASSERT_FALSE(user.empty());
    EXPECT_EQ(user.find(fw::UserStateDir()), 0u);
    wchar_t self[MAX_PATH];
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring older(self);
    older.resize(older.rfind(L'\\') + 1);
    older += L"Statistic.ini";
    const std::string kept = Read(user);  // other tests' keys, put back at the end

    ::DeleteFileW(user.c_str());
    Write(older, "[Tamsolo]\r\nShortKey=2,65\r\nPopEnable=0\r\n");
    EXPECT_EQ(fw::StatisticsFile(), user);
    EXPECT_EQ(Read(user), "[Tamsolo]\r\nShortKey=2,65\r\nPopEnable=0\r\n");
    // The user's own file is newer than anything beside the program from then on.
    Write(user, "[Tamsolo]\r\nShortKey=0,121\r\n");
    Write(older, "[Tamsolo]\r\nShortKey=1,66\r\n");
    fw::StatisticsFile();
    EXPECT_EQ(Read(user), "[Tamsolo]\r\nShortKey=0,121\r\n");

    ::DeleteFileW(older.c_str());
    ::DeleteFileW(user.c_str());
    if (!kept.empty()) Write(user, kept.c_str());
    // Names from outside never leave the folder.
    EXPECT_EQ(fw::UserStateFile(L"..\\Statistic.ini"), L"");
    EXPECT_EQ(fw::UserStateFile(L"C:x.ini"), L"");
}

TEST(UserState, ARemovalMeetsALinkAndLeavesItsTargetWhole) {
    const std::wstring root = Scratch(L"TamsoloLinkRemoval");
    const std::wstring target = Scratch(L"TamsoloLinkTarget");
    RemoveScratch(root);
    RemoveScratch(target);
    ::CreateDirectoryW(root.c_str(), nullptr);
    ::CreateDirectoryW(target.c_str(), nullptr);
    Write(root + L"\\own", "x");
    Write(target + L"\\precious", "keep");
    if (!MakeFolderLink(root + L"\\link", target)) GTEST_SKIP() << "no folder links here";

    // The link counts as one file and is not entered.
    EXPECT_EQ(web::CountFiles(root), 2u);
    EXPECT_EQ(web::CountFiles(root + L"\\link"), 1u);
    web::RemoveDirectoryTree(root + L"\\link");  // the link given itself
    web::RemoveDirectoryTree(root);
    EXPECT_EQ(::GetFileAttributesW((root + L"\\own").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(Read(target + L"\\precious"), "keep");
    RemoveScratch(root);
    RemoveScratch(target);
}
