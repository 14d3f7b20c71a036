// The URL cache routines against the real WinINet cache of the prefix: which entries the
// game-loader purge and the clear-cache job remove, and that the job reports back.
#include <windows.h>
#include <shlobj.h>
#include <wininet.h>

#include <gtest/gtest.h>

#include <string>

#include "framework/handle_win.h"
#include "web/cache_win.h"
#include "web/localfiles_win.h"

namespace {

constexpr UINT kMsgCleared = WM_APP + 80;

const std::wstring kLoaderCaps = L"http://127.0.0.1/game/WMAINLOADER.SWF?USERNAME=Bob";
const std::wstring kLoaderLower = L"http://127.0.0.1/game/wmainloader.swf?username=amy&x=1";
const std::wstring kLoaderNoUser = L"http://127.0.0.1/game/WMainLoader.swf";
const std::wstring kOther = L"http://127.0.0.1/game/other.swf";
const std::wstring kCookie = L"Cookie:tester@127.0.0.1/";
const std::wstring kLoaderCookie = L"Cookie:tester@127.0.0.1/wmainloader.swf?username=tester";

// An entry whose address alone needs more than the first kilobyte of the walk's buffer.
std::wstring LongLoaderAddress() {
    return L"http://127.0.0.1/game/WMainLoader.swf?username=long&pad=" + std::wstring(1500, L'p');
}

bool AddEntry(const std::wstring& url, DWORD type) {
    wchar_t file[MAX_PATH] = {};
    if (!::CreateUrlCacheEntryW(url.c_str(), 0, L"dat", file, 0)) return false;
    {
        fw::Handle f(::CreateFileW(file, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        DWORD written = 0;
        if (!f || !::WriteFile(f.Get(), "data", 4, &written, nullptr)) return false;
    }
    FILETIME none{};
    return ::CommitUrlCacheEntryW(url.c_str(), file, none, none, type, nullptr, 0, nullptr, nullptr) != FALSE;
}

bool Cached(const std::wstring& url) {
    DWORD size = 0;
    if (::GetUrlCacheEntryInfoW(url.c_str(), nullptr, &size)) return true;
    return ::GetLastError() == ERROR_INSUFFICIENT_BUFFER;
}

std::wstring ShellFolder(int csidl) {
    wchar_t path[MAX_PATH] = {};
    ::SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path);
    return path;
}

bool Exists(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

void AddAllEntries() {
    // A cookie whose address holds the loader pattern: only its type keeps it.
    ASSERT_TRUE(AddEntry(kLoaderCookie, COOKIE_CACHE_ENTRY));
    ASSERT_TRUE(AddEntry(kLoaderCaps, NORMAL_CACHE_ENTRY));
    ASSERT_TRUE(AddEntry(kLoaderLower, NORMAL_CACHE_ENTRY));
    ASSERT_TRUE(AddEntry(kLoaderNoUser, NORMAL_CACHE_ENTRY));
    ASSERT_TRUE(AddEntry(kOther, NORMAL_CACHE_ENTRY));
    ASSERT_TRUE(AddEntry(LongLoaderAddress(), NORMAL_CACHE_ENTRY));
    ASSERT_TRUE(AddEntry(kCookie, COOKIE_CACHE_ENTRY));
    for (const std::wstring& url : {kLoaderCaps, kLoaderLower, kLoaderNoUser, kOther, LongLoaderAddress(), kCookie}) {
        ASSERT_TRUE(Cached(url)) << url;
    }
}

}  // namespace

TEST(BrowserCache, GameLoaderPurgeTakesEveryLoaderCopyAndNothingElse) {
    AddAllEntries();
    EXPECT_TRUE(web::PurgeGameLoader());
    struct Case {
        std::wstring url;
        bool stays;
    } cases[] = {
        {kLoaderCaps, false},          // letter case does not matter
        {kLoaderLower, false},
        {LongLoaderAddress(), false},  // found although it did not fit the first buffer
        {kLoaderNoUser, true},         // the loader without a user name is not the pattern
        {kOther, true},
        {kCookie, true},               // cookies never go
        {kLoaderCookie, true},
    };
    for (const Case& c : cases) EXPECT_EQ(Cached(c.url), c.stays) << c.url.substr(0, 80);
    // Nothing left to purge is still a walk to the end.
    EXPECT_TRUE(web::PurgeGameLoader());
}

TEST(BrowserCache, ClearingJobEmptiesCacheAndFlashDataButKeepsCookiesAndReports) {
    AddAllEntries();
    const std::wstring flash = ShellFolder(CSIDL_APPDATA) + L"\\Macromedia\\Flash Player\\#SharedObjects";
    ::SHCreateDirectoryExW(nullptr, (flash + L"\\ABCD1234\\127.0.0.1").c_str(), nullptr);
    {
        fw::Handle f(::CreateFileW((flash + L"\\ABCD1234\\127.0.0.1\\game.sol").c_str(), GENERIC_WRITE, 0, nullptr,
                                   CREATE_ALWAYS, FILE_ATTRIBUTE_READONLY, nullptr));
        ASSERT_TRUE(f);
    }

    fw::Window notify(::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr));
    ASSERT_TRUE(web::StartCacheClearing(notify.Get(), kMsgCleared, false));
    MSG msg{};
    bool reported = false;
    for (DWORD start = ::GetTickCount(); !reported && ::GetTickCount() - start < 30000;) {
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 200, QS_POSTMESSAGE);
        reported = ::PeekMessageW(&msg, notify.Get(), kMsgCleared, kMsgCleared, PM_REMOVE) != FALSE;
    }
    ASSERT_TRUE(reported);
    EXPECT_EQ(msg.lParam, 0);
    // Everything but the cookies went, so the job reports success even though WinINet's own
    // index keeps the cache folder in place.
    EXPECT_EQ(msg.wParam, 1u);

    EXPECT_FALSE(Exists(flash));
    for (const std::wstring& url : {kLoaderCaps, kLoaderLower, kLoaderNoUser, kOther, LongLoaderAddress()}) {
        EXPECT_FALSE(Cached(url)) << url.substr(0, 80);
    }
    EXPECT_TRUE(Cached(kCookie));
    EXPECT_TRUE(Cached(kLoaderCookie));
}
