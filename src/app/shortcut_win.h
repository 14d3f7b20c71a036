// Shell links and the shell's special folders.
#pragma once

#include <windows.h>

#include <string>

namespace app {

// A special folder (CSIDL_*) of the shell; empty when the shell has none.
std::wstring ShellFolder(int csidl);

// Saves a link at linkPath to target with its arguments, the target's first icon and the
// description (if any), through the shell's link object. The caller has initialised COM.
bool CreateShortcut(const std::wstring& linkPath, const std::wstring& target, const std::wstring& args,
                    const std::wstring& description);

struct ShortcutInfo {
    std::wstring target, args, description, iconPath, workingDir;
    int iconIndex = -1;
};
// Reads a link back through the same interfaces (used to check what was written).
bool ReadShortcut(const std::wstring& linkPath, ShortcutInfo* info);

}  // namespace app
