#include "framework/paths_win.h"

#include <shlobj.h>

#include <vector>

#include "app/cmdline.h"
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

bool StartProcess(const std::wstring& commandLine) {
    Handle process(StartProcessKeepHandle(commandLine));
    return static_cast<bool>(process);
}

std::wstring SelfCommandLine(const std::wstring& switches) {
    return W(tamsolo::BuildCommandLine(U(ExePath()), U(switches)));
}

}  // namespace fw
