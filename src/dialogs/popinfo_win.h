// CPopInfoDlg: the operator's notice at the bottom-right corner of the work area. The main
// window opens it once (its timer 4); the window fetches the notice and its picture on a
// worker, decides whether to show it, lays itself out, and then shows for 11 seconds at a time,
// every 40 minutes, as often as the notice asks. A click on it opens the notice's link; a click
// or the close button dismisses the notice for good.
#pragma once

#include <windows.h>

#include <atomic>
#include <memory>
#include <string>

#include "dialogs/notice.h"
#include "framework/handle_win.h"
#include "net/httpget_win.h"
#include "ui/dlgex_win.h"
#include "ui/staticex_win.h"

namespace dialogs {

constexpr UINT IDD_POPINFO_DLG = 160;
constexpr UINT IDC_POP_PICTURE = 1019;
constexpr UINT IDC_POP_TITLE = 1020;
constexpr UINT IDC_POP_TEXT = 1021;
constexpr UINT IDC_POP_LINK = 1022;

// The main window's notice timer: started once, at the first registration of a game page, so
// that a notice never covers the login or the game's first loading.
constexpr UINT kNoticeTimerId = 4;
constexpr UINT kNoticeDelayMs = 30000;

// The notice window's own timers.
constexpr UINT kNoticeVisibleTimer = 1;
constexpr UINT kNoticePauseTimer = 2;
constexpr UINT kNoticeVisibleMs = 11000;
constexpr UINT kNoticePauseMs = 2400000;

class CPopInfoDlg : public tamsolo::ui::CDlgEx {
public:
    explicit CPopInfoDlg(HWND mainWindow);
    // Stops a fetch still running; the window goes with the object.
    ~CPopInfoDlg() override;

    // Where the notice and its picture come from and go (tests point them elsewhere).
    std::wstring noticeAddress;
    std::wstring statisticsFile;  // the per-user Statistic.ini
    std::wstring pictureFile;     // PopWnd.jpg in the per-user folder

    // The notice as decided, once the fetch is over.
    bool Decided() const { return decided_; }
    bool HasNotice() const { return hasNotice_; }
    const tamsolo::NoticeRecord& Record() const { return record_; }
    tamsolo::NoticeLayout Layout() const { return layout_; }

    // How many times a notice has been shown again after its first showing, in this process.
    static int ShownAgain();
    static void ResetShownAgain();

protected:
    BOOL OnInitDialog() override;
    void OnOK() override {}
    void OnCancel() override {}

    LRESULT OnNoticeReady(WPARAM, LPARAM);
    LRESULT OnTimer(WPARAM, LPARAM);
    LRESULT OnSysCommand(WPARAM, LPARAM);
    void OnLabelClicked();
    FW_DECLARE_MESSAGE_MAP()

private:
    struct Job;
    static unsigned __stdcall FetchThread(void* job);
    void StopFetch();

    void ShowNotice();
    void LayOut();
    void LayOutPictureAndText(const RECT& client);
    void LayOutPictureOnly(const RECT& client);
    void LayOutTextOnly(const RECT& client);
    void StyleTitle(const RECT& rect);
    void StyleAsLink(tamsolo::ui::CStaticEx& label);
    void PlaceAtCorner();
    void Close();
    void WriteFlag(const wchar_t* value);
    bool MainWindowVisible() const;

    tamsolo::ui::CStaticEx picture_;
    tamsolo::ui::CStaticEx title_;
    tamsolo::ui::CStaticEx text_;
    tamsolo::ui::CStaticEx link_;
    fw::Bitmap pictureImage_;  // the labels draw from it and do not own it

    std::shared_ptr<Job> job_;
    fw::Handle thread_;
    bool decided_ = false;
    bool hasNotice_ = false;
    tamsolo::NoticeRecord record_;
    tamsolo::NoticeLayout layout_ = tamsolo::NoticeLayout::TextOnly;
};

// Opens the notice window for the main window (hidden until it has a notice to show).
std::unique_ptr<CPopInfoDlg> OpenNotice(HWND mainWindow);

}  // namespace dialogs
