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

// The machine-wide part: the launcher's key, the install directory (both opened to ordinary
// users), the copy and the shortcuts. Each step fails silently. Returns whether the copy is in place.
bool MakeMachinePart(fw::RegKey key, const std::wstring& installDir, const std::wstring& self,
                     const std::wstring& target) {
    if (key) GrantUsersKey(key.Get());
    key.Reset();
    const std::wstring parent = installDir.substr(0, installDir.rfind(L'\\'));
    ::CreateDirectoryW(parent.c_str(), nullptr);
    ::CreateDirectoryW(installDir.c_str(), nullptr);
    GrantUsersFolder(installDir);

    bool copied = true;
    if (!tamsolo::SamePathIgnoringCase(fw::U(target), fw::U(self))) {
        copied = ::CopyFileW(self.c_str(), target.c_str(), FALSE) != FALSE;
    }
    CreateDesktopShortcut(target);
    CreateStartMenuShortcut(kName, target, fw::W(tamsolo::kShortcutArgs));
    CreateStartMenuShortcut(kUninstallName, target, fw::W(tamsolo::kUninstallArgs));
    return copied;
}

void StartInstalledCopy(const std::wstring& target) {
    // The installed copy runs in mode 3: inside the install directory, no switch.
    fw::StartProcess(fw::W(tamsolo::QuoteArgument(fw::U(target))));
    fw::Trace(L"install-done");
}

}  // namespace

InstallOutcome Install() {
    fw::Trace(L"install");
    fw::ComInit com;
    const std::wstring installDir = fw::InstallDir();
    const std::wstring self = fw::ExePath();
    if (installDir.empty() || self.empty()) return InstallOutcome::kFailed;
    const std::wstring target = fw::W(tamsolo::FileInInstallDir(fw::U(installDir), tamsolo::FileNameOf(fw::U(self))));

    // The first machine-wide step tells whether the player's rights are enough; refused, nothing
    // has been made yet, so a declined prompt leaves no half-made installation behind.
    fw::RegKey key;
    const LONG opened = OpenLauncherKeyAsAdministrator(&key);
    const bool restarted = IsElevatedRestart();
    if (NeedsAdministrator(opened) && !restarted) {
        fw::Handle elevated;
        switch (RestartElevated(&elevated)) {
            case Restart::kDeclined:
                return InstallOutcome::kDeclined;
            case Restart::kStarted:
                ::WaitForSingleObject(elevated.Get(), INFINITE);
                fw::Trace(L"install-elevated-ended");
                StartInstalledCopy(target);
                return FileExists(target) ? InstallOutcome::kInstalled : InstallOutcome::kFailed;
            case Restart::kFailed:
                break;  // go on with the player's rights: each step fails silently
        }
    }
    const bool copied = MakeMachinePart(std::move(key), installDir, self, target);
    if (restarted) {
        fw::Trace(L"install-machine-part-done");
        return InstallOutcome::kMachinePartDone;
    }
    StartInstalledCopy(target);
    return copied ? InstallOutcome::kInstalled : InstallOutcome::kFailed;
}

}  // namespace app
