// The windows of a page process: the login background (with login) and the game frame.
#pragma once

#include <windows.h>

class CQuorvane3App;

namespace app {

// Runs the login background window, owned by the main window, modally; returns its result
// (IDCANCEL when the login was given up).
INT_PTR RunLoginBackground(HWND owner);
// Creates the game frame (hidden; it shows itself). False when it could not be made.
bool CreateGameFrame(CQuorvane3App& app, int mode);

}  // namespace app
