// Installation of a downloaded copy into the install directory.
#pragma once

#include <string>

namespace app {

// Copies the executable into the install directory, creates the shortcuts and starts the
// installed copy. Each step fails silently; returns whether the copy is in place.
bool Install();

// The common desktop's link to the installed executable ("/TamsoloD"), replacing an older per-user one.
bool CreateDesktopShortcut(const std::wstring& installedExe);
// A link in the common programs folder's "Kelvra登录器" folder, created if missing.
bool CreateStartMenuShortcut(const std::wstring& name, const std::wstring& installedExe, const std::wstring& args);

}  // namespace app
