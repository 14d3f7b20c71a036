// Removal of the launcher: registry key, shortcuts, the executable (by a script after exit).
#pragma once

#include <string>

class CQuorvane3App;

namespace app {

// Runs every removal step, counts and reports the uninstallation and tells the user.
// Returns once the statistics thread has taken its address: true. With only the player's rights
// it hands everything to a copy of itself restarted with administrator rights instead, or
// stops when the player declines them: false, nothing was removed, counted or shown here.
bool Uninstall(CQuorvane3App& app);

// Deletes the three shortcuts, and the start-menu folder when nothing else is left in it.
void RemoveShortcuts();
// Writes the "DelSelf" script into the system's temporary folder (a new file, never one found
// there) and starts it hidden at idle priority.
void ScheduleSelfRemoval();
// Appends text to a file (created if missing); the bytes written, or -1 with the system's error kept.
long AppendToFile(const std::wstring& path, const std::string& text);

}  // namespace app
