#include "framework/app_win.h"

#include "framework/wnd_win.h"

namespace fw {

namespace {
CWinAppBase* g_app = nullptr;
}

CWinAppBase::CWinAppBase() { g_app = this; }
CWinAppBase::~CWinAppBase() {
    if (g_app == this) g_app = nullptr;
}

CWinAppBase* CWinAppBase::Current() { return g_app; }

BOOL WalkPreTranslateFilters(MSG* msg) {
    for (HWND wnd = msg->hwnd; wnd; wnd = ::GetParent(wnd)) {
        CWnd* obj = CWnd::FromHandlePermanent(wnd);
        if (obj && obj->PreTranslateMessage(msg)) return TRUE;
    }
    return FALSE;
}

BOOL CWinAppBase::PreTranslateMessage(MSG* msg) { return WalkPreTranslateFilters(msg); }

int CWinAppBase::Run() {
    MSG msg;
    for (;;) {
        BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) return static_cast<int>(msg.wParam);
        if (got == -1) return -1;
        if (PreTranslateMessage(&msg)) continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

int AppMain(HINSTANCE instance) {
    CWinAppBase* app = CWinAppBase::Current();
    if (!app) return -1;
    app->m_hInstance = instance;
    int code = 0;
    if (app->InitInstance()) code = app->Run();
    int exitCode = app->ExitInstance();
    return exitCode != 0 ? exitCode : code;
}

}  // namespace fw
