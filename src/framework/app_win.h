// The application object of the framework: one per process, created as a global by the program.
// AppMain runs InitInstance; when it returns TRUE the message loop runs until WM_QUIT; in
// every case ExitInstance runs last and its result is the process exit code.
#pragma once

#include <windows.h>

namespace fw {

class CWnd;

class CWinAppBase {
public:
    CWinAppBase();
    virtual ~CWinAppBase();
    CWinAppBase(const CWinAppBase&) = delete;
    CWinAppBase& operator=(const CWinAppBase&) = delete;

    static CWinAppBase* Current();

    virtual BOOL InitInstance() { return FALSE; }
    virtual int ExitInstance() { return m_exitCode; }
    // The message loop of the main thread; returns the WM_QUIT exit code.
    virtual int Run();
    // Offers a message to the filters of its window and that window's ancestors, then to the app.
    virtual BOOL PreTranslateMessage(MSG* msg);

    HINSTANCE m_hInstance = nullptr;
    CWnd* m_pMainWnd = nullptr;

protected:
    int m_exitCode = 0;
};

// Gives a message to CWnd::PreTranslateMessage of the window it is for and of each ancestor,
// innermost first, stopping at the first that consumes it. Shared by every loop of the program.
BOOL WalkPreTranslateFilters(MSG* msg);

// Entry used by wWinMain: runs the current application object.
int AppMain(HINSTANCE instance);

}  // namespace fw
