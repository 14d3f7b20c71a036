// Hand-over points: the login page and the game frame are not built yet. The login is
// reported as given up so the main window is told, and no frame is made.
#include "web/pageprocess_win.h"

#include "framework/trace_win.h"

namespace app {

INT_PTR RunLoginBackground(HWND) {
    fw::Trace(L"login");
    return IDCANCEL;
}

bool CreateGameFrame(CQuorvane3App&, int) {
    fw::Trace(L"game-frame");
    return false;
}

}  // namespace app
