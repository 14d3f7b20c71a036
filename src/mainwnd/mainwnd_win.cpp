// The launcher's main window, run modally by the application object.
#include "mainwnd/mainwnd_win.h"

#include "app/quorvane3app_win.h"
#include "mainwnd/quorvane3dlg_win.h"

namespace app {

void RunMainWindow(CQuorvane3App& app) {
    mainwnd::CQuorvane3Dlg dialog;
    app.m_pMainWnd = &dialog;
    dialog.DoModal();
    app.m_pMainWnd = nullptr;
}

}  // namespace app
