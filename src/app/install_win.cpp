// Installation of a downloaded copy: the install directory, the copy, the three shortcuts and
// the start of the installed copy. Every step fails silently and the next one still runs.
#include "app/install_win.h"

#include <shlobj.h>
#include <shobjidl.h>

#include "app/cmdline.h"
#include "app/elevation_win.h"
#include "app/installrules.h"
#include "framework/paths_win.h"
#include "app/shortcut_win.h"
#include "framework/handle_win.h"
#include "framework/text_win.h"
#include "framework/trace_win.h"
#include "net/update_win.h"

namespace app {

namespace {

const std::wstring kName = fw::W(tamsolo::kShortcutName);
const std::wstring kUninstallName = fw::W(tamsolo::kUninstallShortcutName);

bool FileExists(const std::wstring& path) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

bool CreateDesktopShortcut(const std::wstring& installedExe) {
    const std::wstring desktop = ShellFolder(CSIDL_COMMON_DESKTOPDIRECTORY);
    if (!FileExists(installedExe) || desktop.empty()) return false;
    // Earlier versions linked from the user's own desktop; one link is enough.
    const std::wstring documents = ShellFolder(CSIDL_PERSONAL);
    if (!documents.empty()) {
        const std::wstring older = fw::W(tamsolo::OlderPerUserShortcut(fw::U(documents), fw::U(desktop)));
        if (!older.empty()) ::DeleteFileW(older.c_str());
    }
    return CreateShortcut(desktop + L"\\" + kName + L".lnk", installedExe, fw::W(tamsolo::kShortcutArgs), kName);
}

bool CreateStartMenuShortcut(const std::wstring& name, const std::wstring& installedExe, const std::wstring& args) {
    if (name.empty() || installedExe.empty() || !FileExists(installedExe)) return false;
    const std::wstring programs = ShellFolder(CSIDL_COMMON_PROGRAMS);
    if (programs.empty()) return false;
    const std::wstring folder = programs + fw::W(tamsolo::kStartMenuFolder);
    ::CreateDirectoryW(folder.c_str(), nullptr);  // an existing folder is fine
    return CreateShortcut(folder + L"\\" + name + L".lnk", installedExe, args, name);
}

namespace {

// The machine-wide part: the launcher's key, the install directory (both belonging to
// administrators), the copy and the shortcuts. Nothing is made in a folder that cannot be
// trusted; otherwise each step fails silently and the next one still runs.
InstallOutcome MakeMachinePart(fw::RegKey key, const std::wstring& installDir, const std::wstring& self,
                               const std::wstring& target) {
    switch (SecureProgramFolder(installDir)) {
        case ProgramFolder::kUntrusted:
            TellFolderUntrusted(installDir);
            return InstallOutcome::kRefused;
        case ProgramFolder::kFailed:
        case ProgramFolder::kProtected:
            break;  // a folder without its list is no worse than the system's default
    }
    if (key) {
        ProtectKey(key.Get());
        WriteUpdateDaySpread(key.Get());
    }
    key.Reset();

    bool copied = true;
    if (!tamsolo::SamePathIgnoringCase(fw::U(target), fw::U(self))) {
        copied = ::CopyFileW(self.c_str(), target.c_str(), FALSE) != FALSE;
    }
    CreateDesktopShortcut(target);
    CreateStartMenuShortcut(kName, target, fw::W(tamsolo::kShortcutArgs));
    CreateStartMenuShortcut(kUninstallName, target, fw::W(tamsolo::kUninstallArgs));
    return copied ? InstallOutcome::kInstalled : InstallOutcome::kFailed;
}

void StartInstalledCopy(const std::wstring& target) {
    // The installed copy runs in mode 3: inside the install directory, no switch.
    fw::StartProcess(fw::W(tamsolo::QuoteArgument(fw::U(target))));
    fw::Trace(L"install-done");
}

struct Paths {
    std::wstring installDir;
    std::wstring self;
    std::wstring target;
};

bool FindPaths(Paths* paths) {
    paths->installDir = fw::InstallDir();
    paths->self = fw::ExePath();
    if (paths->installDir.empty() || paths->self.empty()) return false;
    paths->target =
        fw::W(tamsolo::FileInInstallDir(fw::U(paths->installDir), tamsolo::FileNameOf(fw::U(paths->self))));
    return true;
}

}  // namespace

InstallOutcome InstallMachinePart() {
    fw::Trace(L"install-machine-part");
    fw::ComInit com;
    Paths paths;
    if (!FindPaths(&paths)) return InstallOutcome::kFailed;
    fw::RegKey key;
    OpenLauncherKeyAsAdministrator(&key);  // refused even now: the key stays as it is
    const InstallOutcome outcome = MakeMachinePart(std::move(key), paths.installDir, paths.self, paths.target);
    fw::Trace(L"install-machine-part-done");
    return outcome;
}

InstallOutcome Install() {
    fw::Trace(L"install");
    fw::ComInit com;
    Paths paths;
    if (!FindPaths(&paths)) return InstallOutcome::kFailed;

    // The first machine-wide step tells whether the player's rights are enough; refused, nothing
    // has been made yet, so a declined prompt leaves no half-made installation behind.
    fw::RegKey key;
    if (NeedsAdministrator(OpenLauncherKeyAsAdministrator(&key))) {
        const JobRun run = RunElevatedJob(tamsolo::ElevatedJob::kInstall);
        switch (run.restart) {
            case Restart::kDeclined:
            case Restart::kFailed:
                // Never with the player's rights: a folder an ordinary user makes is theirs to change.
                return InstallOutcome::kDeclined;
            case Restart::kStarted:
                break;
        }
        fw::Trace(L"install-elevated-ended");
        if (run.exitCode == tamsolo::kJobRefused) return InstallOutcome::kRefused;
        if (!FileExists(paths.target)) return InstallOutcome::kFailed;
        StartInstalledCopy(paths.target);
        return run.exitCode == tamsolo::kJobDone ? InstallOutcome::kInstalled : InstallOutcome::kFailed;
    }
    const InstallOutcome outcome = MakeMachinePart(std::move(key), paths.installDir, paths.self, paths.target);
    if (outcome == InstallOutcome::kRefused) return outcome;
    StartInstalledCopy(paths.target);
    return outcome;
}

}  // namespace app
