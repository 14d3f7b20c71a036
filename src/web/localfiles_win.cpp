#include "web/localfiles_win.h"

#include "framework/paths_win.h"
#include "framework/handle_win.h"
#include "framework/text_win.h"
#include "web/localfiles.h"

namespace web {

namespace {

bool IsDotEntry(const wchar_t* name) {
    return (name[0] == L'.' && name[1] == L'\0') || (name[0] == L'.' && name[1] == L'.' && name[2] == L'\0');
}

std::wstring WithSlash(const std::wstring& folder) {
    return (!folder.empty() && folder.back() == L'\\') ? folder : folder + L'\\';
}

}  // namespace

BOOL RemoveDirectoryTree(const std::wstring& folder) {
    if (folder.empty()) return FALSE;
    const std::wstring base = WithSlash(folder);
    DWORD fileError = 0;
    {
        WIN32_FIND_DATAW entry;
        fw::FindHandle listing(::FindFirstFileW((base + L"*").c_str(), &entry));
        if (!listing) return ::RemoveDirectoryW(folder.c_str());
        do {
            if (IsDotEntry(entry.cFileName)) continue;
            const std::wstring path = base + entry.cFileName;
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveDirectoryTree(path);  // what stays shows in our own removal below
                continue;
            }
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_READONLY) {
                ::SetFileAttributesW(path.c_str(), entry.dwFileAttributes & ~FILE_ATTRIBUTE_READONLY);
            }
            if (!::DeleteFileW(path.c_str())) fileError = ::GetLastError();
        } while (::FindNextFileW(listing.Get(), &entry));
    }
    if (!::RemoveDirectoryW(folder.c_str())) {
        if (fileError) ::SetLastError(fileError);
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
    const std::wstring base = WithSlash(folder);
    WIN32_FIND_DATAW entry;
    fw::FindHandle listing(::FindFirstFileW((base + L"*").c_str(), &entry));
    // What cannot be listed (a missing folder too) counts as one file, so that nobody takes
    // it for empty and removes what they cannot see.
    if (!listing) return 1;
    unsigned count = 0;
    do {
        if (IsDotEntry(entry.cFileName)) continue;
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            count += CountFiles(base + entry.cFileName);
        } else {
            ++count;
        }
    } while (::FindNextFileW(listing.Get(), &entry));
    return count;
}

BOOL PathBesideProgram(const std::wstring& name, std::wstring* out) {
    std::u16string path;
    const bool ok = tamsolo::PathBesideProgram(fw::U(fw::ExePath()), fw::U(name), &path);
    *out = fw::W(path);
    return ok ? TRUE : FALSE;
}

}  // namespace web
