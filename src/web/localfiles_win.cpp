#include "web/localfiles_win.h"

#include "framework/handle_win.h"

namespace web {

namespace {

bool IsDotEntry(const wchar_t* name) {
    return (name[0] == L'.' && name[1] == L'\0') || (name[0] == L'.' && name[1] == L'.' && name[2] == L'\0');
}

// A junction, a symbolic link or any other reparse point: removed itself, never entered, so a
// removal can only ever delete what lies inside the folder it was given.
bool IsLink(DWORD attributes) {
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

// Removes a link itself (a folder link with RemoveDirectory, a file link with DeleteFile).
bool RemoveLink(const std::wstring& path, DWORD attributes) {
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) ? ::RemoveDirectoryW(path.c_str()) != FALSE
                                                   : ::DeleteFileW(path.c_str()) != FALSE;
}

void Count(RemovalLeftovers* leftovers, DWORD error) {
    if (!leftovers) return;
    if (error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION) {
        ++leftovers->held;
    } else {
        ++leftovers->other;
    }
}

std::wstring WithSlash(const std::wstring& folder) {
    return (!folder.empty() && folder.back() == L'\\') ? folder : folder + L'\\';
}

}  // namespace

bool IsLinkPath(const std::wstring& path) { return IsLink(::GetFileAttributesW(path.c_str())); }

BOOL RemoveDirectoryTree(const std::wstring& folder, RemovalLeftovers* leftovers) {
    if (folder.empty()) return FALSE;
    const DWORD own = ::GetFileAttributesW(folder.c_str());
    if (IsLink(own)) {
        if (RemoveLink(folder, own)) return TRUE;
        Count(leftovers, ::GetLastError());
        return FALSE;
    }
    const std::wstring base = WithSlash(folder);
    DWORD fileError = 0;
    {
        WIN32_FIND_DATAW entry;
        fw::FindHandle listing(::FindFirstFileW((base + L"*").c_str(), &entry));
        if (!listing) {
            // Nothing inside was seen: whatever keeps the folder counts.
            if (::RemoveDirectoryW(folder.c_str())) return TRUE;
            const DWORD error = ::GetLastError();
            Count(leftovers, error);
            ::SetLastError(error);
            return FALSE;
        }
        do {
            if (IsDotEntry(entry.cFileName)) continue;
            const std::wstring path = base + entry.cFileName;
            if (IsLink(entry.dwFileAttributes)) {
                if (!RemoveLink(path, entry.dwFileAttributes)) {
                    fileError = ::GetLastError();
                    Count(leftovers, fileError);
                }
                continue;
            }
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveDirectoryTree(path, leftovers);  // what stays shows in our own removal below
                continue;
            }
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_READONLY) {
                ::SetFileAttributesW(path.c_str(), entry.dwFileAttributes & ~FILE_ATTRIBUTE_READONLY);
            }
            if (!::DeleteFileW(path.c_str())) {
                fileError = ::GetLastError();
                Count(leftovers, fileError);
            }
        } while (::FindNextFileW(listing.Get(), &entry));
    }
    if (!::RemoveDirectoryW(folder.c_str())) {
        const DWORD error = ::GetLastError();
        // A folder that is not empty holds what was counted above, or what came meanwhile.
        if (error != ERROR_DIR_NOT_EMPTY) Count(leftovers, error);
        ::SetLastError(fileError ? fileError : error);
        return FALSE;
    }
    if (fileError) {
        ::SetLastError(fileError);
        return FALSE;
    }
    return TRUE;
}

unsigned CountFiles(const std::wstring& folder) {
    if (folder.empty()) return 0;
    // A link is counted as one file: what lies behind it is not ours to weigh.
    if (IsLink(::GetFileAttributesW(folder.c_str()))) return 1;
    const std::wstring base = WithSlash(folder);
    WIN32_FIND_DATAW entry;
    fw::FindHandle listing(::FindFirstFileW((base + L"*").c_str(), &entry));
    // What cannot be listed (a missing folder too) counts as one file, so that nobody takes
    // it for empty and removes what they cannot see.
    if (!listing) return 1;
    unsigned count = 0;
    do {
        if (IsDotEntry(entry.cFileName)) continue;
        if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && !IsLink(entry.dwFileAttributes)) {
            count += CountFiles(base + entry.cFileName);
        } else {
            ++count;
        }
    } while (::FindNextFileW(listing.Get(), &entry));
    return count;
}

}  // namespace web
