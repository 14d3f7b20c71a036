// CPrgsDlg: the update's progress dialog. It downloads the new executable on a worker thread
// while a watcher thread waits for the worker and ends the dialog with OK (all of it arrived)
// or Cancel. The close button cancels at once.
#pragma once

#include <windows.h>

#include <atomic>
#include <string>

#include "framework/handle_win.h"
#include "net/httpget_win.h"
#include "ui/dlgex_win.h"
#include "ui/imgprogress_win.h"

constexpr UINT IDD_PRGS_DLG = 156;
constexpr UINT IDC_PRGS_BAR = 1000;

class CPrgsDlg : public tamsolo::ui::CDlgEx {
public:
    CPrgsDlg();

    std::wstring downloadAddress;  // at most 511 characters
    std::wstring targetPath;       // at most 259 characters
    bool succeeded() const { return m_success.load(); }

protected:
    BOOL OnInitDialog() override;
    void OnCancel() override;
    void OnOK() override {}  // Enter does not end the download

private:
    LRESULT OnDownloadOver(WPARAM ok, LPARAM);
    void StartThreads();
    void StopThreads();
    static unsigned __stdcall DownloadThread(void* self);
    static unsigned __stdcall WatcherThread(void* self);

    void ApplySkin();

    tamsolo::ui::CImgProgress m_progress;
    fw::Handle m_downloadThread;
    fw::Handle m_watcherThread;
    net::DownloadHandles m_handles;  // session, connection, request and the open target file
    std::atomic<bool> m_success{false};
    std::atomic<bool> m_over{false};
    FW_DECLARE_MESSAGE_MAP()
};
