// Removal of the launcher: its registry key, its shortcuts, the count and report, and a
// script that deletes the executable once this process has let go of it.
#include "app/uninstall_win.h"

#include <shlobj.h>

#include "app/elevation_win.h"
#include "app/installrules.h"
#include "framework/paths_win.h"
#include "app/quorvane3app_win.h"
#include "app/script.h"
#include "app/shortcut_win.h"
#include "app/statistics_win.h"
#include "framework/handle_win.h"
#include "framework/text_win.h"
#include "framework/trace_win.h"
#include "net/update_win.h"
#include "ui/msgbox_win.h"
#include "web/localfiles_win.h"

namespace app {

namespace {

const wchar_t kRemovedMessage[] = L"kelvra - Brennic已成功移除，部分文件将在程序退出\r\n或计算机重启后自行删除";

void DeleteLauncherKey() { ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, kLauncherKey); }

// Where the script is written. It runs with the uninstalling process's rights, an
// administrator's: the system's temporary folder lets ordinary users add files but not change
// or remove an administrator's, whereas in the player's own temporary folder their unelevated
// programs could rewrite the script before it runs. The player's folder only when there is no other.
std::wstring ScriptFolder() {
    wchar_t windows[MAX_PATH] = {};
    const UINT n = ::GetSystemWindowsDirectoryW(windows, MAX_PATH);
    if (n > 0 && n < MAX_PATH - 6) {
        const std::wstring temp = std::wstring(windows) + L"\\Temp";
        const DWORD attributes = ::GetFileAttributesW(temp.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) &&
            !(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
            return temp;
        }
    }
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    return temp;
}

}  // namespace

void RemoveShortcuts() {
    fw::ComInit com;
    const std::wstring name = fw::W(tamsolo::kShortcutName);
    const std::wstring desktop = ShellFolder(CSIDL_COMMON_DESKTOPDIRECTORY);
    if (!desktop.empty()) ::DeleteFileW((desktop + L"\\" + name + L".lnk").c_str());
    const std::wstring programs = ShellFolder(CSIDL_COMMON_PROGRAMS);
    if (programs.empty()) return;
    const std::wstring folder = programs + fw::W(tamsolo::kStartMenuFolder);
    ::DeleteFileW((folder + L"\\" + name + L".lnk").c_str());
    ::DeleteFileW((folder + L"\\" + fw::W(tamsolo::kUninstallShortcutName) + L".lnk").c_str());
    if (web::CountFiles(folder) == 0) web::RemoveDirectoryTree(folder);
}

long AppendToFile(const std::wstring& path, const std::string& text) {
    fw::Handle file(::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return -1;
    if (::SetFilePointer(file.Get(), 0, nullptr, FILE_END) == INVALID_SET_FILE_POINTER && ::GetLastError() != NO_ERROR) {
        return -1;
    }
    DWORD written = 0;
    if (!::WriteFile(file.Get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr)) {
        const DWORD error = ::GetLastError();
        file.Reset();
        ::SetLastError(error);  // the caller sees why
        return -1;
    }
    return static_cast<long>(written);
}

void ScheduleSelfRemoval() {
    STARTUPINFOA si{};
    si.cb = sizeof(si);
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = SW_HIDE;

    wchar_t unique[MAX_PATH] = {};
    // Leaves an empty file of that name.
    if (!::GetTempFileNameW(ScriptFolder().c_str(), L"DelSelf", 0, unique)) return;
    const std::wstring scriptPath = std::wstring(unique) + L".bat";
    {
        // A file of that name that is there already is somebody else's: it is never run.
        fw::Handle fresh(::CreateFileW(scriptPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                       FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!fresh) return;
    }

    const std::wstring exe = fw::ExePath();
    const std::string exeAnsi = fw::ToAnsi(exe);
    if (exe.empty() || exeAnsi.empty()) return;
    const std::wstring folder = exe.substr(0, exe.rfind(L'\\'));
    // The script's "del" of a folder would reach into a link's target: a linked folder is never
    // emptied, only the program in it deleted.
    const std::size_t files = web::IsLinkPath(folder) ? 2 : web::CountFiles(folder);
    const std::string script = tamsolo::BuildDelSelfScript(files, exeAnsi, fw::ToAnsi(scriptPath));
    if (script.empty() || AppendToFile(scriptPath, script) < 0) return;

    std::string commandLine = "\"" + fw::ToAnsi(scriptPath) + "\"";
    PROCESS_INFORMATION pi{};
    if (!::CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return;
    fw::Handle process(pi.hProcess);
    fw::Handle thread(pi.hThread);
    ::SetThreadPriority(thread.Get(), THREAD_PRIORITY_IDLE);
    fw::Trace((L"delself-started " + scriptPath).c_str());
}

bool Uninstall(CQuorvane3App& app) {
    fw::Trace(L"uninstall");
    {
        // Removing the key is the first machine-wide step; refused, the copy restarted for the
        // job removes, counts, reports and tells, and nothing more happens here.
        fw::RegKey key;
        if (NeedsAdministrator(OpenLauncherKeyAsAdministrator(&key)) && !IsElevatedJob() &&
            RunElevatedJob(tamsolo::ElevatedJob::kUninstall).restart != Restart::kFailed) {
            return false;
        }
    }
    // What an earlier version opened to ordinary users is theirs no longer, even for the moment
    // until the script has deleted the program (the folder may stay, holding other files).
    const std::wstring installDir = fw::InstallDir();
    if (!installDir.empty() && InspectFolder(installDir) == FolderTrust::kTrusted) ProtectFolder(installDir);
    DeleteLauncherKey();
    RemoveShortcuts();
    ScheduleSelfRemoval();
    const unsigned count = IncrementCounter(L"UnInst");
    SendStatisticsRequest(StatisticsAddress(kUninstallRequest, count), app);
    ShowMessageBox(0, kAppTitle, kRemovedMessage, nullptr);
    return true;
}

}  // namespace app
