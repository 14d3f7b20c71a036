// The main launcher window.
#pragma once

class CQuorvane3App;

namespace app {

// Creates the main window, makes it the application's main window, runs it modally and
// destroys it when it returns.
void RunMainWindow(CQuorvane3App& app);

}  // namespace app
