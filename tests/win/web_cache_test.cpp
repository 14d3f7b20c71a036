// The URL cache routines against the real WinINet cache of the prefix: which entries the
// game-loader purge and the clear-cache job remove, and that the job reports back.
#include <windows.h>
#include <shlobj.h>
#include <wininet.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

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

const std::wstring kFlash = L"\\Macromedia\\Flash Player\\#SharedObjects";

// Runs the clear-cache job; its report (1 cleared, 0 something stayed, -1 none, -2 an lParam).
// The folders of the cache: a job sweeps them away, and Wine's cache does not make them again.
std::vector<std::wstring> Folders(const std::wstring& root) {
    std::vector<std::wstring> found;
    WIN32_FIND_DATAW entry;
    fw::FindHandle listing(::FindFirstFileW((root + L"\\*").c_str(), &entry));
    if (!listing) return found;
    do {
        const std::wstring name = entry.cFileName;
        if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || name == L"." || name == L"..") continue;
        found.push_back(root + L"\\" + name);
        for (std::wstring& inner : Folders(found.back())) found.push_back(std::move(inner));
    } while (::FindNextFileW(listing.Get(), &entry));
    return found;
}

int ClearingReport(bool pagesRunning) {
    const std::vector<std::wstring> cacheFolders = Folders(ShellFolder(CSIDL_INTERNET_CACHE));
    fw::Window notify(::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr));
    if (!web::StartCacheClearing(notify.Get(), kMsgCleared, pagesRunning)) return -1;
    MSG msg{};
    for (DWORD start = ::GetTickCount(); ::GetTickCount() - start < 30000;) {
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 200, QS_POSTMESSAGE);
        if (::PeekMessageW(&msg, notify.Get(), kMsgCleared, kMsgCleared, PM_REMOVE)) {
            for (const std::wstring& folder : cacheFolders) ::CreateDirectoryW(folder.c_str(), nullptr);
            return msg.lParam == 0 ? static_cast<int>(msg.wParam) : -2;
        }
    }
    return -1;
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

    // Everything but the cookies went, so the job reports success even though WinINet's own
    // index keeps the cache folder in place.
    EXPECT_EQ(ClearingReport(false), 1);

    EXPECT_FALSE(Exists(flash));
    for (const std::wstring& url : {kLoaderCaps, kLoaderLower, kLoaderNoUser, kOther, LongLoaderAddress()}) {
        EXPECT_FALSE(Cached(url)) << url.substr(0, 80);
    }
    EXPECT_TRUE(Cached(kCookie));
    EXPECT_TRUE(Cached(kLoaderCookie));
}

// What a running page holds open (the entry it is loading, its Flash data) stays, and is no
// failure while pages run; with no page of ours running, whatever holds it is not ours.
TEST(BrowserCache, ClearingJobCountsWhatRunningPagesHoldAsTheirs) {
    const std::wstring held = L"http://127.0.0.1/game/held.swf";
    const std::wstring folder = ShellFolder(CSIDL_APPDATA) + kFlash + L"\\HELD";
    for (bool pagesRunning : {true, false}) {
        SCOPED_TRACE(pagesRunning ? "pages running" : "no page running");
        ASSERT_TRUE(AddEntry(held, NORMAL_CACHE_ENTRY));
        ASSERT_TRUE(AddEntry(kOther, NORMAL_CACHE_ENTRY));
        DWORD size = 0;
        ::RetrieveUrlCacheEntryFileW(held.c_str(), nullptr, &size, 0);
        std::vector<unsigned char> info(size ? size : 1);
        ASSERT_TRUE(::RetrieveUrlCacheEntryFileW(held.c_str(), reinterpret_cast<INTERNET_CACHE_ENTRY_INFOW*>(info.data()),
                                                 &size, 0));
        ::SHCreateDirectoryExW(nullptr, folder.c_str(), nullptr);
        fw::Handle sol(::CreateFileW((folder + L"\\game.sol").c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                     CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(sol);

        EXPECT_EQ(ClearingReport(pagesRunning), pagesRunning ? 1 : 0);
        EXPECT_FALSE(Cached(kOther));  // what nobody holds goes either way

        ::UnlockUrlCacheEntryFileW(held.c_str(), 0);
        sol.Reset();
        ::DeleteUrlCacheEntryW(held.c_str());
        web::RemoveDirectoryTree(folder);
    }
}
