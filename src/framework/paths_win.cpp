#include "framework/paths_win.h"

#include <shellapi.h>
#include <shlobj.h>

#include <vector>

#include "app/cmdline.h"
#include "app/installrules.h"
#include "app/startmode.h"
#include "framework/handle_win.h"
#include "framework/text_win.h"

namespace fw {

std::wstring ExePath() {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        DWORD n = ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n == 0) return {};
        if (n < buffer.size()) return std::wstring(buffer.data(), n);
        if (buffer.size() >= 32768) return {};
        buffer.resize(buffer.size() * 2);
    }
}

std::wstring InstallDir() {
    wchar_t folder[MAX_PATH] = {};
    if (FAILED(::SHGetFolderPathW(nullptr, CSIDL_COMMON_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder)) || !folder[0]) {
        return {};  // unknown; never a folder in the root of the current drive
    }
    return W(tamsolo::InstallDirFrom(U(folder)));
}

std::wstring UserStateDir() {
    wchar_t folder[MAX_PATH] = {};
    if (FAILED(::SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT,
                                  folder)) ||
        !folder[0]) {
        return {};
    }
    const std::wstring dir = W(tamsolo::UserStateDirFrom(U(folder)));
    if (dir.empty()) return {};
    // Both levels; existing folders are fine.
    ::CreateDirectoryW(dir.substr(0, dir.rfind(L'\\')).c_str(), nullptr);
    ::CreateDirectoryW(dir.c_str(), nullptr);
    return dir;
}

std::wstring UserStateFile(const std::wstring& name) {
    return W(tamsolo::StateFileIn(U(UserStateDir()), U(name)));
}

std::wstring StatisticsFile() {
    const std::wstring file = UserStateFile(W(tamsolo::kStatisticsFileName));
    if (file.empty()) return {};
    if (::GetFileAttributesW(file.c_str()) == INVALID_FILE_ATTRIBUTES) {
        // The earlier version's file beside the program. The copy fails when the user's file
        // exists after all (another process was first): it is never replaced.
        const std::u16string older = tamsolo::FileInInstallDir(tamsolo::FolderOfPath(U(ExePath())),
                                                               tamsolo::kStatisticsFileName);
        if (!older.empty()) ::CopyFileW(W(older).c_str(), file.c_str(), TRUE);
    }
    return file;
}

HANDLE StartProcessKeepHandle(const std::wstring& commandLine) {
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION pi{};
    std::vector<wchar_t> line(commandLine.begin(), commandLine.end());
    line.push_back(L'\0');  // CreateProcessW may write into its command line
    if (!::CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, IDLE_PRIORITY_CLASS, nullptr, nullptr, &si,
                          &pi)) {
        return nullptr;
    }
    ::CloseHandle(pi.hThread);
    return pi.hProcess;
}

HANDLE StartWithShell(const std::wstring& file, const std::wstring& parameters, const wchar_t* verb) {
    ComInit com(COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);  // the shell may hand over to an extension
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
    info.lpVerb = verb;
    info.lpFile = file.c_str();
    info.lpParameters = parameters.empty() ? nullptr : parameters.c_str();
    info.nShow = SW_SHOWNORMAL;
    if (!::ShellExecuteExW(&info)) return nullptr;
    if (!info.hProcess) ::SetLastError(ERROR_FILE_NOT_FOUND);  // handed to a running program
    return info.hProcess;
}

bool StartAskingForRights(const std::wstring& programPath) {
    Handle process(StartWithShell(programPath, L"", nullptr));
    if (process) ::SetPriorityClass(process.Get(), IDLE_PRIORITY_CLASS);
    return static_cast<bool>(process);
}

bool StartProcess(const std::wstring& commandLine) {
    Handle process(StartProcessKeepHandle(commandLine));
    return static_cast<bool>(process);
}

std::wstring SelfCommandLine(const std::wstring& switches) {
    return W(tamsolo::BuildCommandLine(U(ExePath()), U(switches)));
}

}  // namespace fw
