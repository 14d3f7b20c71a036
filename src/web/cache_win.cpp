#include "web/cache_win.h"

#include <process.h>
#include <shlobj.h>
#include <wininet.h>

#include <string>
#include <new>
#include <vector>

#include "framework/handle_win.h"
#include "web/localfiles_win.h"

namespace web {

namespace {

constexpr DWORD kCookieEntry = 0x00100000;  // COOKIE_CACHE_ENTRY
constexpr DWORD kFirstBufferBytes = 1024;
constexpr wchar_t kGameLoaderPattern[] = L"WMainLoader.swf?username=";
constexpr wchar_t kFlashDataFolder[] = L"\\Macromedia\\Flash Player\\#SharedObjects";

// One enumeration of the URL cache in one buffer that grows whenever the cache says an entry
// does not fit. visit is called for every entry; true when the enumeration ran to its end.
template <class Visit>
bool ForEachCacheEntry(Visit visit) {
    std::vector<unsigned char> buffer(kFirstBufferBytes);
    auto entry = [&buffer] { return reinterpret_cast<INTERNET_CACHE_ENTRY_INFOW*>(buffer.data()); };
    // A step that asks for more room is repeated with it; a cache that keeps asking for no
    // more than it already had would never let us through, so that ends the walk.
    auto grown = [&buffer](DWORD wanted) {
        if (::GetLastError() != ERROR_INSUFFICIENT_BUFFER || wanted <= buffer.size()) return false;
        buffer.resize(wanted);
        return true;
    };

    fw::UrlCacheFind find;
    for (;;) {
        DWORD size = static_cast<DWORD>(buffer.size());
        find.Reset(::FindFirstUrlCacheEntryW(nullptr, entry(), &size));
        if (find) break;
        if (!grown(size)) return ::GetLastError() == ERROR_NO_MORE_ITEMS;
    }
    for (;;) {
        visit(*entry());
        for (;;) {
            DWORD size = static_cast<DWORD>(buffer.size());
            if (::FindNextUrlCacheEntryW(find.Get(), entry(), &size)) break;
            if (!grown(size)) return ::GetLastError() == ERROR_NO_MORE_ITEMS;
        }
    }
}

bool IsCookie(const INTERNET_CACHE_ENTRY_INFOW& entry) { return (entry.CacheEntryType & kCookieEntry) != 0; }

std::wstring Lower(std::wstring text) {
    if (!text.empty()) ::CharLowerBuffW(&text[0], static_cast<DWORD>(text.size()));
    return text;
}

std::wstring ShellFolder(int csidl) {
    wchar_t path[MAX_PATH] = {};
    if (FAILED(::SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path))) return L"";
    return path;
}

// A folder that is not there has nothing left in it.
bool RemoveTreeIfPresent(const std::wstring& folder) {
    if (folder.empty()) return false;
    if (::GetFileAttributesW(folder.c_str()) == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = ::GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
    }
    return RemoveDirectoryTree(folder) != FALSE;
}

// The Flash player's shared objects of every site.
bool PurgeFlashData() {
    const std::wstring roaming = ShellFolder(CSIDL_APPDATA);
    // Without the roaming folder there is no path to remove; never fall back to a relative one.
    if (roaming.empty()) return false;
    return RemoveTreeIfPresent(roaming + kFlashDataFolder);
}

// Every cached page and file but the cookies, then the cache folder itself.
bool PurgeWholeCache() {
    ForEachCacheEntry([](const INTERNET_CACHE_ENTRY_INFOW& entry) {
        // An entry a browser is using at the same moment may refuse to go; it is skipped.
        if (!IsCookie(entry) && entry.lpszSourceUrlName) ::DeleteUrlCacheEntryW(entry.lpszSourceUrlName);
    });
    return RemoveTreeIfPresent(ShellFolder(CSIDL_INTERNET_CACHE));
}

struct ClearingJob {
    HWND notify;
    UINT message;
};

unsigned __stdcall ClearCacheThread(void* param) {
    const ClearingJob job = *static_cast<ClearingJob*>(param);
    delete static_cast<ClearingJob*>(param);
    const bool flash = PurgeFlashData();
    const bool cache = PurgeWholeCache();
    if (job.notify) ::PostMessageW(job.notify, job.message, (flash && cache) ? 1 : 0, 0);
    return 0;
}

}  // namespace

BOOL PurgeGameLoader() {
    const std::wstring pattern = Lower(kGameLoaderPattern);
    const bool ended = ForEachCacheEntry([&pattern](const INTERNET_CACHE_ENTRY_INFOW& entry) {
        if (IsCookie(entry) || !entry.lpszSourceUrlName) return;
        if (Lower(entry.lpszSourceUrlName).find(pattern) != std::wstring::npos) {
            ::DeleteUrlCacheEntryW(entry.lpszSourceUrlName);
        }
    });
    return ended ? TRUE : FALSE;
}

bool StartCacheClearing(HWND notify, UINT message) {
    auto* job = new (std::nothrow) ClearingJob{notify, message};
    if (!job) return false;
    fw::Handle thread(reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, ClearCacheThread, job, 0, nullptr)));
    if (!thread) {
        delete job;
        return false;
    }
    return true;  // the job runs on by itself; its handle is not kept
}

}  // namespace web
