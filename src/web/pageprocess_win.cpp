// The windows of a page process: the login background and the game frame.
#include "web/pageprocess_win.h"

#include "app/quorvane3app_win.h"
#include "framework/trace_win.h"
#include "web/gameframe_win.h"
#include "web/loginbkdlg_win.h"

namespace app {

INT_PTR RunLoginBackground(HWND owner) {
    fw::Trace(L"login");
    web::CLoginBkDlg background(owner, app::ParentPageCount());
    const INT_PTR result = background.DoModal();
    // A background that could not even be made counts as a given-up login.
    return result == IDOK ? IDOK : IDCANCEL;
}

bool CreateGameFrame(CQuorvane3App& app, int) {
    fw::Trace(L"game-frame");
    web::CMainFrame* frame = web::CreateMainFrame(app::OwnerWindow());
    if (!frame) return false;
    app.m_pMainWnd = frame;
    return true;
}

}  // namespace app
