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
void RemoveTreeIfPresent(const std::wstring& folder, RemovalLeftovers* leftovers) {
    if (::GetFileAttributesW(folder.c_str()) == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = ::GetLastError();
        if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND) ++leftovers->other;
        return;
    }
    RemoveDirectoryTree(folder, leftovers);
}

// The Flash player's shared objects of every site.
void PurgeFlashData(RemovalLeftovers* leftovers) {
    const std::wstring roaming = ShellFolder(CSIDL_APPDATA);
    // Without the roaming folder there is no path to remove; never fall back to a relative one.
    if (roaming.empty()) {
        ++leftovers->other;
        return;
    }
    RemoveTreeIfPresent(roaming + kFlashDataFolder, leftovers);
}

// Every cached page and file but the cookies, then a sweep of the cache folder. The entries'
// own deletions are what counts: an entry that a running page loads again while the job runs
// is the page's new copy, not one the job left behind. An entry in use is marked by the cache
// and goes once it is let go; the cache says so with a sharing violation (Wine) or with access
// denied (Windows). The folder's removal is only a sweep of stray files and is not counted:
// WinINet keeps its index file open in every process that has used the cache (this one
// included), so the folder itself never goes while the system runs.
void PurgeWholeCache(RemovalLeftovers* leftovers) {
    const bool walked = ForEachCacheEntry([leftovers](const INTERNET_CACHE_ENTRY_INFOW& entry) {
        if (IsCookie(entry) || !entry.lpszSourceUrlName) return;
        if (::DeleteUrlCacheEntryW(entry.lpszSourceUrlName)) return;
        switch (::GetLastError()) {
            case ERROR_FILE_NOT_FOUND:  // gone meanwhile
                break;
            case ERROR_SHARING_VIOLATION:
            case ERROR_ACCESS_DENIED:
                ++leftovers->held;
                break;
            default:
                ++leftovers->other;
                break;
        }
    });
    if (!walked) ++leftovers->other;
    RemovalLeftovers notCounted;
    const std::wstring folder = ShellFolder(CSIDL_INTERNET_CACHE);
    if (!folder.empty()) RemoveTreeIfPresent(folder, &notCounted);
}

struct ClearingJob {
    HWND notify;
    UINT message;
    bool pagesRunning;
};

unsigned __stdcall ClearCacheThread(void* param) {
    const ClearingJob job = *static_cast<ClearingJob*>(param);
    delete static_cast<ClearingJob*>(param);
    RemovalLeftovers leftovers;
    PurgeFlashData(&leftovers);
    PurgeWholeCache(&leftovers);
    const bool cleared = ClearingSucceeded(leftovers, job.pagesRunning);
    if (job.notify) ::PostMessageW(job.notify, job.message, cleared ? 1 : 0, 0);
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

bool ClearingSucceeded(const RemovalLeftovers& leftovers, bool pagesRunning) {
    // The game pages keep their Flash data and the entries they are loading open: what stays
    // for that reason is theirs, and it goes once they close. Only a sharing or lock violation
    // is taken for that; a file the player has no right to delete stays whoever runs. With no
    // page of ours running, something else holds what stayed, and the player is told.
    return leftovers.other == 0 && (pagesRunning || leftovers.held == 0);
}

bool StartCacheClearing(HWND notify, UINT message, bool pagesRunning) {
    auto* job = new (std::nothrow) ClearingJob{notify, message, pagesRunning};
    if (!job) return false;
    fw::Handle thread(reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, ClearCacheThread, job, 0, nullptr)));
    if (!thread) {
        delete job;
        return false;
    }
    return true;  // the job runs on by itself; its handle is not kept
}

}  // namespace web
