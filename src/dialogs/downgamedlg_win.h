// CDownGameDlg: the game-hall download. It fetches the hall's configuration from the update
// server, downloads the installer it names into the temporary folder under a progress bar,
// starts it, and says in its title how it went. The work runs on a worker that reports only by
// posted messages; cancel stops it by closing its connection and waits for it.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "framework/handle_win.h"
#include "ui/btnex_win.h"
#include "ui/dlgex_win.h"
#include "ui/imgprogress_win.h"
#include "ui/staticex_win.h"

namespace dialogs {

constexpr UINT IDD_DOWNGAME_DLG = 163;
constexpr UINT IDC_DOWNGAME_LABEL = 1024;
constexpr UINT IDC_DOWNGAME_BAR = 1025;

class CDownGameDlg : public tamsolo::ui::CDlgEx {
public:
    CDownGameDlg(const std::wstring& hallId, HWND parent);
    // Stops a worker still running and waits for it: nothing it opened outlives the dialog.
    ~CDownGameDlg() override;

    // Built at initialisation; tests may point the configuration elsewhere beforehand.
    std::wstring configAddress;
    const std::wstring& InstallerPath() const { return installerPath_; }
    bool WorkerRunning() const { return static_cast<bool>(thread_); }

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    BOOL PreTranslateMessage(MSG* msg) override;

    LRESULT OnSysCommand(WPARAM, LPARAM);
    LRESULT OnProgress(WPARAM, LPARAM);
    LRESULT OnConfigFailed(WPARAM, LPARAM);
    LRESULT OnFinished(WPARAM, LPARAM);
    FW_DECLARE_MESSAGE_MAP()

private:
    struct Job;
    static unsigned __stdcall WorkerThread(void* job);
    void PrepareControls();
    bool StartWorker();
    void StopWorker();
    bool Finished() const;

    std::wstring hallId_;
    std::wstring installerPath_;
    tamsolo::ui::CImgProgress bar_;
    tamsolo::ui::CBtnEx ok_;
    tamsolo::ui::CBtnEx cancel_;
    tamsolo::ui::CStaticEx label_;
    fw::Bitmap buttonImage_;  // the buttons draw from it and do not own it
    std::shared_ptr<Job> job_;
    fw::Handle thread_;
    bool ended_ = false;
};

}  // namespace dialogs
