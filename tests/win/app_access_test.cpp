// What the installation opens to ordinary users, read back from the security the system keeps.
// Wine keeps a registry key's access list; for files it only maps the list onto the Unix mode,
// so a folder can be checked no further than the grant being accepted.
#include <windows.h>
#include <aclapi.h>

#include <gtest/gtest.h>

#include <string>

#include "app/elevation_win.h"
#include "framework/handle_win.h"

namespace {

// The access mask and flags of the allowing entry for BUILTIN\Users, or false when there is none.
bool UsersEntry(PACL acl, ACCESS_MASK* mask, BYTE* flags) {
    SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
    PSID users = nullptr;
    if (!::AllocateAndInitializeSid(&nt, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_USERS, 0, 0, 0, 0, 0, 0, &users)) {
        return false;
    }
    bool found = false;
    for (DWORD i = 0; acl && i < acl->AceCount && !found; ++i) {
        void* ace = nullptr;
        if (!::GetAce(acl, i, &ace)) break;
        auto* allowed = static_cast<ACCESS_ALLOWED_ACE*>(ace);
        if (allowed->Header.AceType == ACCESS_ALLOWED_ACE_TYPE && !(allowed->Header.AceFlags & INHERIT_ONLY_ACE) &&
            ::EqualSid(&allowed->SidStart, users)) {
            *mask = allowed->Mask;
            *flags = allowed->Header.AceFlags;
            found = true;
        }
    }
    ::FreeSid(users);
    return found;
}

}  // namespace

TEST(MachineAccess, OrdinaryUsersMayUseButNeitherRemoveNorRestrictWhatTheInstallMade) {
    const wchar_t kKey[] = L"Software\\TamsoloAccessTest";
    fw::RegKey key;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_READ | KEY_WRITE | WRITE_DAC, nullptr,
                                key.Put(), nullptr),
              ERROR_SUCCESS);
    EXPECT_TRUE(app::GrantUsersKey(key.Get()));
    PACL acl = nullptr;
    fw::LocalMemory descriptor;
    ASSERT_EQ(::GetSecurityInfo(key.Get(), SE_REGISTRY_KEY, DACL_SECURITY_INFORMATION, nullptr, nullptr, &acl, nullptr,
                                descriptor.Put()),
              ERROR_SUCCESS);
    ACCESS_MASK mask = 0;
    BYTE flags = 0;
    ASSERT_TRUE(UsersEntry(acl, &mask, &flags));
    EXPECT_EQ(mask & (KEY_READ | KEY_WRITE), static_cast<ACCESS_MASK>(KEY_READ | KEY_WRITE));
    EXPECT_EQ(mask & (DELETE | WRITE_DAC | WRITE_OWNER), 0u);
    EXPECT_TRUE(flags & CONTAINER_INHERIT_ACE);  // sub-keys made later are usable too
    key.Reset();
    ::RegDeleteTreeW(HKEY_CURRENT_USER, kKey);

    wchar_t temp[MAX_PATH];
    ::GetTempPathW(MAX_PATH, temp);
    const std::wstring folder = std::wstring(temp) + L"TamsoloAccessTest";
    ::CreateDirectoryW(folder.c_str(), nullptr);
    EXPECT_TRUE(app::GrantUsersFolder(folder));
    EXPECT_FALSE(app::GrantUsersFolder(folder + L"\\missing"));
    ::RemoveDirectoryW(folder.c_str());
}
