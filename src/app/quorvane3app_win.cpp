#include "app/quorvane3app_win.h"

#include <commctrl.h>
#include <ole2.h>
#include <shellapi.h>

#include <algorithm>
namespace Gdiplus {
using std::max;
using std::min;
}  // namespace Gdiplus
#include <gdiplus.h>

#include "app/crashdump_win.h"
#include "app/elevation_win.h"
#include "app/install_win.h"
#include "framework/paths_win.h"
#include "app/startmode.h"
#include "app/statistics_win.h"
#include "app/uninstall_win.h"
#include "framework/trace_win.h"
#include "mainwnd/mainwnd_win.h"
#include "net/update_win.h"
#include "operator_config.h"
#include "framework/text_win.h"
#include "ui/msgbox_win.h"
#include "web/cachelimit_win.h"
#include "web/ownerwatch_win.h"
#include "web/pageprocess_win.h"

using namespace tamsolo;

namespace {

const wchar_t kUninstallQuestion[] = L"确定要移除 kelvraBrennic极速登陆器吗？";
const wchar_t kOleFailed[] = L"初始化OLE库失败";

// The marker of messages the launcher sends itself.
constexpr LPARAM kSelfMarker = 5171;

void WaitForever(HANDLE event) { ::WaitForSingleObject(event, INFINITE); }

}  // namespace

BOOL CQuorvane3App::InitInstance() {
    // 1. The crash filter comes first so that it covers everything after it.
    app::InstallCrashFilter();

    // 2. Common controls of every class the kit uses. Our framework needs no separate step to
    // host ActiveX controls: the browser host provides its own OLE site.
    INITCOMMONCONTROLSEX icc{};
    icc.dwSize = sizeof(icc);
    icc.dwICC = 0xFF;
    ::InitCommonControlsEx(&icc);

    // 3. The two events of the statistics requests.
    requestTaken.Reset(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    requestDone.Reset(::CreateEventW(nullptr, TRUE, FALSE, nullptr));

    // A copy restarted with administrator rights does its one job and ends; its command line is
    // its own, so the start-mode rule never sees it.
    const tamsolo::ElevatedJob job = app::ElevatedJobOfThisStart();
    if (job != tamsolo::ElevatedJob::kNone) {
        m_exitCode = static_cast<int>(RunElevatedJob(job));
        return FALSE;
    }

    // The role of this process.
    const int mode = app::ComputeStartMode();
    fw::SetTraceMode(mode);
    fw::Trace(L"start");

    // 4. Uninstallation, after the player confirms it.
    if (mode == kModeUninstall) {
        if (ShowMessageBox(4, kAppTitle, kUninstallQuestion, nullptr) == IDYES) {
            if (app::Uninstall(*this)) WaitForever(requestDone.Get());
        }
        return FALSE;
    }

    // 5. The update command's process: a forced check refreshes the address, then the swap.
    if (mode == kModeSelfUpdate) {
        app::CheckForUpdate(true, *this);
        if (app::DownloadAndSwap(*this)) {
            RelaunchAfterUpdate();
            return FALSE;
        }
        // No swap: go on as an ordinary start.
    }

    // 6. First start and shortcut start may update themselves before anything else.
    if (mode == kModeFirstStart || mode == kModeShortcutStart) {
        if (app::CheckForUpdate(false, *this) && app::DownloadAndSwap(*this)) {
            RelaunchAfterUpdate();
            return FALSE;
        }
    }

    // 7. GDI+ for the skin images.
    StartGdiplus();

    // 8. First start of a downloaded copy: install, report, end. Without administrator rights
    // or in a folder that cannot be trusted nothing was installed, so nothing is counted.
    if (mode == kModeFirstStart) {
        const app::InstallOutcome outcome = app::Install();
        if (outcome == app::InstallOutcome::kDeclined || outcome == app::InstallOutcome::kRefused) return FALSE;
        unsigned count = app::IncrementCounter(L"Inst");
        app::SendStatisticsRequest(app::StatisticsAddress(app::kInstallRequest, count), *this);
        WaitForever(requestDone.Get());
        return FALSE;
    }

    // 9. Partner-edition start: the game hall's site, counted and reported.
    if (mode == kModePartnerStart) {
        RunPartnerStart();
        return FALSE;
    }

    // 10. Ordinary starts are counted without waiting for the report.
    if (mode == kModeShortcutStart || mode == kModeInstalledStart) {
        unsigned count = app::IncrementCounter(L"Game");
        app::SendStatisticsRequest(app::StatisticsAddress(app::kStartRequest, count), *this);
    }

    // 11. Everything that shows pages keeps the browser cache small.
    app::SetBrowserCacheLimit();

    // 12. The launcher window.
    if (mode != kModeGamePage && mode != kModeGameHall) {
        app::RunMainWindow(*this);
        return FALSE;
    }

    return RunPageProcess(mode);
}

BOOL CQuorvane3App::RunPageProcess(int mode) {
    // 13. Page processes host the browser control and need OLE.
    if (FAILED(::OleInitialize(nullptr))) {
        ShowMessageBox(0, kAppTitle, kOleFailed, nullptr);
        return FALSE;
    }
    oleInitialized_ = true;

    // A page process ends with the window that started it, at its login as much as later.
    web::StartOwnerWatch(app::OwnerWindow());

    // 14. The login comes first for an account page; a given-up login tells the main window.
    if (mode == kModeGamePage) {
        if (app::RunLoginBackground(app::OwnerWindow()) == IDCANCEL) {
            if (::IsWindow(app::OwnerWindow())) {
                ::PostMessageW(app::OwnerWindow(), WM_SYSCOMMAND, SC_CLOSE, kSelfMarker);
            }
            return FALSE;
        }
    }

    // 15. The game frame; the message loop runs until it closes.
    return app::CreateGameFrame(*this, mode) ? TRUE : FALSE;
}

void CQuorvane3App::RunPartnerStart() {
    fw::Trace(L"partner-start");
    ::ShellExecuteW(nullptr, L"open", reinterpret_cast<const wchar_t*>(TAMSOLO_HALL_SITE), nullptr, nullptr, SW_SHOWMAXIMIZED);
    unsigned count = app::IncrementCounter(L"Kelvra");
    app::SendStatisticsRequest(app::StatisticsAddress(app::kPartnerStartRequest, count), *this);
    WaitForever(requestDone.Get());
}

void CQuorvane3App::RelaunchAfterUpdate() {
    // Started by this process, so with the player's rights, never the swap's.
    fw::Trace(L"relaunch");
    fw::StartProcess(fw::SelfCommandLine(L""));  // a failed start is not reported
}

void CQuorvane3App::StartGdiplus() {
    if (gdiplusToken) return;
    Gdiplus::GdiplusStartupInput input;  // version 1, no debug callback, nothing suppressed
    if (Gdiplus::GdiplusStartup(&gdiplusToken, &input, nullptr) != Gdiplus::Ok) gdiplusToken = 0;
}

DWORD CQuorvane3App::RunElevatedJob(tamsolo::ElevatedJob job) {
    StartGdiplus();  // the jobs may show the progress dialog or a message box
    switch (job) {
        case tamsolo::ElevatedJob::kInstall: {
            fw::SetTraceMode(kModeFirstStart);
            fw::Trace(L"elevated-job install");
            const app::InstallOutcome outcome = app::InstallMachinePart();
            return outcome == app::InstallOutcome::kInstalled ? tamsolo::kJobDone
                   : outcome == app::InstallOutcome::kRefused ? tamsolo::kJobRefused
                                                                : tamsolo::kJobFailed;
        }
        case tamsolo::ElevatedJob::kUninstall:
            // The player confirmed it in the copy that restarted this one: the question is asked once.
            fw::SetTraceMode(kModeUninstall);
            fw::Trace(L"elevated-job uninstall");
            if (!app::Uninstall(*this)) return tamsolo::kJobFailed;
            WaitForever(requestDone.Get());
            return tamsolo::kJobDone;
        case tamsolo::ElevatedJob::kSwap:
            fw::SetTraceMode(kModeSelfUpdate);
            fw::Trace(L"elevated-job swap");
            return app::SwapInUpdate(*this);
        case tamsolo::ElevatedJob::kNone:
        case tamsolo::ElevatedJob::kRefused:
            break;
    }
    // A job switch in any other company: not ours to carry out.
    fw::Trace(L"elevated-job refused");
    return tamsolo::kJobFailed;
}

int CQuorvane3App::ExitInstance() {
    web::StopOwnerWatch();
    requestTaken.Reset();
    requestDone.Reset();
    if (gdiplusToken) Gdiplus::GdiplusShutdown(gdiplusToken);
    gdiplusToken = 0;
    if (oleInitialized_) ::OleUninitialize();
    oleInitialized_ = false;
    fw::Trace(L"exit");
    return fw::CWinAppBase::ExitInstance();
}
