#include "dialogs/downgamedlg_win.h"

#include <process.h>

#include <atomic>
#include <cstdio>

#include "framework/paths_win.h"
#include "framework/text_win.h"
#include "net/httpget_win.h"
#include "net/updaterules.h"
#include "operator_config.h"
#include "ui/image_win.h"

namespace dialogs {

namespace {

// Posted by the worker: the percentage received (wParam); the configuration step failed; the
// download is over (wParam: whether it succeeded).
constexpr UINT WM_HALL_PROGRESS = WM_APP + 63;
constexpr UINT WM_HALL_CONFIG_FAILED = WM_APP + 64;
constexpr UINT WM_HALL_FINISHED = WM_APP + 65;
// How long the dialog waits for a worker whose connection it has closed.
constexpr DWORD kStopWaitMs = 10000;

constexpr UINT kSkinImage = 131;
constexpr UINT kButtonImage = 133;
constexpr UINT kBarBackground = 152;
constexpr UINT kBarFill = 153;
constexpr COLORREF kLabelColor = RGB(72, 81, 86);
constexpr int kLabelFontHeight = 16;
constexpr DWORD kAddressChars = 512;

const wchar_t kWorking[] = L"游戏下载中...";
const wchar_t kDone[] = L"下载完成";
const wchar_t kFailed[] = L"下载失败";

std::wstring TempFolder() {
    wchar_t folder[MAX_PATH + 1] = {};
    const DWORD n = ::GetTempPathW(MAX_PATH + 1, folder);
    return n > 0 && n <= MAX_PATH ? std::wstring(folder, n) : std::wstring();
}

}  // namespace

struct CDownGameDlg::Job {
    std::wstring configAddress;
    std::wstring configFile;
    std::wstring installerPath;
    HWND window = nullptr;
    net::DownloadHandles handles;
    std::atomic<bool> abandoned{false};

    void Post(UINT msg, WPARAM w) {
        if (!abandoned) ::PostMessageW(window, msg, w, 0);
    }
};

FW_BEGIN_MESSAGE_MAP(CDownGameDlg, tamsolo::ui::CDlgEx)
FW_ON_MESSAGE(WM_SYSCOMMAND, OnSysCommand)
FW_ON_MESSAGE(WM_HALL_PROGRESS, OnProgress)
FW_ON_MESSAGE(WM_HALL_CONFIG_FAILED, OnConfigFailed)
FW_ON_MESSAGE(WM_HALL_FINISHED, OnFinished)
FW_END_MESSAGE_MAP()

CDownGameDlg::CDownGameDlg(const std::wstring& hallId, HWND parent)
    : tamsolo::ui::CDlgEx(IDD_DOWNGAME_DLG, parent),
      configAddress(fw::W(tamsolo::HallConfigAddress(tamsolo::UpdateConfigAddress(TAMSOLO_UPDATE_HOST), fw::U(hallId)))),
      hallId_(hallId) {}

CDownGameDlg::~CDownGameDlg() {
    StopWorker();
    if (m_hWnd) DestroyWindow();
}

BOOL CDownGameDlg::OnInitDialog() {
    tamsolo::ui::CDlgEx::OnInitDialog();
    SetTitle(kWorking);
    SetSmallDialogSkin(kSkinImage);
    ok_.SubclassDlgItem(IDOK, this);
    cancel_.SubclassDlgItem(IDCANCEL, this);
    label_.SubclassDlgItem(IDC_DOWNGAME_LABEL, this);
    bar_.SubclassDlgItem(IDC_DOWNGAME_BAR, this);

    // The id names the files written here; the page process checked it, and so do we. Without
    // a usable one nothing is fetched, and the title says so rather than "downloading".
    const std::wstring temp = TempFolder();
    installerPath_ = temp + hallId_ + L".exe";
    if (!tamsolo::IsValidHallId(fw::U(hallId_)) || temp.empty() || installerPath_.size() >= MAX_PATH) {
        installerPath_.clear();
        SetTitle(kFailed);
        return TRUE;
    }
    // Everything the worker's reports build on is in place before it starts, so its final
    // enabling of OK can never be undone here.
    PrepareControls();
    if (!StartWorker()) {
        SetTitle(kFailed);
        ::EnableWindow(ok_.m_hWnd, TRUE);
        ::EnableWindow(cancel_.m_hWnd, FALSE);
    }
    return TRUE;
}

void CDownGameDlg::PrepareControls() {
    ::EnableWindow(ok_.m_hWnd, FALSE);
    buttonImage_.Reset(tamsolo::ui::LoadSkinImage(fw::ResourceModule(), kButtonImage));
    ok_.SetImage(buttonImage_.Get(), true);
    cancel_.SetImage(buttonImage_.Get(), true);
    label_.text.clear();
    label_.textColor = kLabelColor;
    label_.fontHeight = kLabelFontHeight;
    ::InvalidateRect(label_.m_hWnd, nullptr, TRUE);
    const HMODULE module = fw::ResourceModule();
    bar_.SetImages(tamsolo::ui::LoadSkinImage(module, kBarBackground), tamsolo::ui::LoadSkinImage(module, kBarFill));
    bar_.showText = false;
}

bool CDownGameDlg::StartWorker() {
    const std::wstring configFile = fw::UserStateFile(hallId_ + L".ini");
    if (configFile.empty()) return false;
    job_ = std::make_shared<Job>();
    job_->configAddress = configAddress;
    job_->configFile = configFile;
    job_->installerPath = installerPath_;
    job_->window = m_hWnd;
    auto* keep = new std::shared_ptr<Job>(job_);
    thread_.Reset(reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, WorkerThread, keep, 0, nullptr)));
    if (!thread_) {
        delete keep;
        job_.reset();
        return false;
    }
    return true;
}

unsigned __stdcall CDownGameDlg::WorkerThread(void* param) {
    std::unique_ptr<std::shared_ptr<Job>> keep(static_cast<std::shared_ptr<Job>*>(param));
    Job& job = **keep;
    std::wstring download;
    bool ok = net::HttpHallConfig(job.configAddress, job.configFile, &job.handles);
    if (ok) {
        std::wstring value(kAddressChars, L'\0');
        const DWORD got = ::GetPrivateProfileStringW(L"VerKey", L"UpdAddr", L"", &value[0], kAddressChars,
                                                     job.configFile.c_str());
        download.assign(value.c_str(), got);
        ::DeleteFileW(job.configFile.c_str());  // an incomplete one stays for a look
    }
    if (!ok) {
        job.Post(WM_HALL_CONFIG_FAILED, 0);
        return 0;
    }
    // Only when the percentage changes: a large installer would otherwise fill the queue.
    int last = -1;
    ok = net::HttpHallDownload(download, job.installerPath,
                               [&job, &last](int percent) {
                                   if (percent == last) return;
                                   last = percent;
                                   job.Post(WM_HALL_PROGRESS, static_cast<WPARAM>(percent));
                               },
                               &job.handles);
    // A cancelled dialog starts nothing, whatever arrived.
    if (ok && !job.handles.cancelled && !fw::StartProcess(L"\"" + job.installerPath + L"\"") &&
        ::GetLastError() == fw::kErrorElevationRequired) {
        fw::StartAskingForRights(job.installerPath);  // an installer that needs administrator rights
    }
    // Fails harmlessly while the installer runs; removes what a failed download left.
    ::DeleteFileW(job.installerPath.c_str());
    job.Post(WM_HALL_FINISHED, ok ? 1 : 0);
    return 0;
}

void CDownGameDlg::StopWorker() {
    if (job_) {
        job_->abandoned = true;
        job_->handles.Cancel();
    }
    // Closing the connection makes the worker's read fail at once, and it closes its file as
    // it leaves. One that still does not end keeps its share of the job and posts nothing.
    if (thread_) ::WaitForSingleObject(thread_.Get(), kStopWaitMs);
    thread_.Reset();
    job_.reset();
}

bool CDownGameDlg::Finished() const { return ok_.m_hWnd && ::IsWindowEnabled(ok_.m_hWnd); }

LRESULT CDownGameDlg::OnProgress(WPARAM percent, LPARAM) {
    if (ended_) return 0;
    bar_.SetPos(static_cast<int>(percent));
    wchar_t text[16];
    std::swprintf(text, 16, L"已加载  %d%%", static_cast<int>(percent));
    label_.text = text;
    ::InvalidateRect(label_.m_hWnd, nullptr, FALSE);
    return 0;
}

LRESULT CDownGameDlg::OnConfigFailed(WPARAM, LPARAM) {
    if (ended_) return 0;
    StopWorker();
    SetTitle(kFailed);  // OK stays disabled; cancel or the close button ends the dialog
    return 0;
}

LRESULT CDownGameDlg::OnFinished(WPARAM ok, LPARAM) {
    if (ended_) return 0;
    StopWorker();
    SetTitle(ok ? kDone : kFailed);
    ::EnableWindow(ok_.m_hWnd, TRUE);
    ::EnableWindow(cancel_.m_hWnd, FALSE);
    return 0;
}

void CDownGameDlg::OnOK() {
    // Enter while the download runs must not end it.
    if (!Finished()) return;
    ended_ = true;
    EndDialog(IDOK);
}

void CDownGameDlg::OnCancel() {
    if (ended_) return;
    ended_ = true;
    EndDialog(IDCANCEL);
    // The dialog goes from the screen at once; the worker is stopped behind it.
    ::ShowWindow(m_hWnd, SW_HIDE);
    StopWorker();
}

LRESULT CDownGameDlg::OnSysCommand(WPARAM w, LPARAM) {
    if ((w & 0xFFF0) != SC_CLOSE) return Default();
    OnCancel();  // a finished worker has nothing left to stop
    return 0;
}

BOOL CDownGameDlg::PreTranslateMessage(MSG* msg) {
    // Esc does nothing here: only the cancel button or the close button stops a download.
    const bool key = msg->message == WM_KEYDOWN || msg->message == WM_KEYUP || msg->message == WM_CHAR;
    if (key && msg->wParam == VK_ESCAPE && m_hWnd && (msg->hwnd == m_hWnd || ::IsChild(m_hWnd, msg->hwnd))) {
        return TRUE;
    }
    return tamsolo::ui::CDlgEx::PreTranslateMessage(msg);
}

}  // namespace dialogs
