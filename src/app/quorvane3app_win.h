// The application object: the first code of every launcher process. It decides the start-up
// mode, does the short-lived work of that mode and either ends the process or opens a window.
#pragma once

#include <windows.h>

#include <string>

#include "app/elevation.h"
#include "framework/app_win.h"
#include "framework/handle_win.h"
#include "net/prgsdlg_win.h"

class CQuorvane3App : public fw::CWinAppBase {
public:
    CQuorvane3App() = default;

    BOOL InitInstance() override;
    int ExitInstance() override;

    // The update's progress dialog, run modally by the download-and-swap.
    CPrgsDlg progressDialog;
    ULONG_PTR gdiplusToken = 0;
    // Download address of the new executable, read from the operator's update configuration.
    std::wstring updateAddress;
    // Set by a statistics request thread once it has copied its address (the starter resets it).
    fw::Handle requestTaken;
    // Set by a statistics request thread when its request is over; never reset.
    fw::Handle requestDone;

private:
    void RelaunchAfterUpdate();
    void StartGdiplus();
    DWORD RunElevatedJob(tamsolo::ElevatedJob job);
    void RunPartnerStart();
    BOOL RunPageProcess(int mode);

    bool oleInitialized_ = false;
};

CQuorvane3App& TheApp();

namespace app {
// The start-up mode of this process, recomputed the same way wherever it is needed. It also
// stores the owner window handle and the parent page count when it sees modes 6 and 7.
int ComputeStartMode();
// Process-wide values of a page process (0 in other modes).
HWND OwnerWindow();
int ParentPageCount();
}  // namespace app
