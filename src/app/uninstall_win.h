// Removal of the launcher: registry key, shortcuts, the executable (by a script after exit).
#pragma once

class CQuorvane3App;

namespace app {

// Runs every removal step, counts and reports the uninstallation and tells the user.
// Returns once the statistics thread has taken its address.
void Uninstall(CQuorvane3App& app);

}  // namespace app
