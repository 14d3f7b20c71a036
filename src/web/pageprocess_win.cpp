// The windows of a page process: the login background and the game frame.
#include "web/pageprocess_win.h"

#include "framework/trace_win.h"
#include "web/loginbkdlg_win.h"

namespace app {

INT_PTR RunLoginBackground(HWND owner) {
    fw::Trace(L"login");
    web::CLoginBkDlg background(owner);
    const INT_PTR result = background.DoModal();
    // A background that could not even be made counts as a given-up login.
    return result == IDOK ? IDOK : IDCANCEL;
}

bool CreateGameFrame(CQuorvane3App&, int) {
    fw::Trace(L"game-frame");
    return false;
}

}  // namespace app
