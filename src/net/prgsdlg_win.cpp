#include "net/prgsdlg_win.h"

#include <commctrl.h>
#include <process.h>

#include "framework/trace_win.h"
#include "ui/image_win.h"

namespace {

// Posted by the watcher once the download thread has ended; wParam: whether it succeeded.
constexpr UINT WM_DOWNLOAD_OVER = WM_APP + 61;
// How long a cancel lets a worker finish on its own after its connection was closed.
constexpr DWORD kStopGraceMs = 3000;

// Waits for a thread while still answering messages sent to this thread: the download thread
// reports progress with synchronous messages to our progress bar.
bool WaitPumpingSent(HANDLE thread, DWORD timeoutMs) {
    const DWORD start = ::GetTickCount();
    for (;;) {
        const DWORD elapsed = ::GetTickCount() - start;
        if (elapsed >= timeoutMs) return ::WaitForSingleObject(thread, 0) == WAIT_OBJECT_0;
        const DWORD r = ::MsgWaitForMultipleObjects(1, &thread, FALSE, timeoutMs - elapsed, QS_SENDMESSAGE);
        if (r == WAIT_OBJECT_0) return true;
        if (r != WAIT_OBJECT_0 + 1) return ::WaitForSingleObject(thread, 0) == WAIT_OBJECT_0;
        MSG msg;
        ::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

}  // namespace

FW_BEGIN_MESSAGE_MAP(CPrgsDlg, tamsolo::ui::CDlgEx)
FW_ON_MESSAGE(WM_DOWNLOAD_OVER, OnDownloadOver)
FW_END_MESSAGE_MAP()

CPrgsDlg::CPrgsDlg() : tamsolo::ui::CDlgEx(IDD_PRGS_DLG) {}

BOOL CPrgsDlg::OnInitDialog() {
    tamsolo::ui::CDlgEx::OnInitDialog();
    ApplySkin();

    // Centred on the desktop and above everything else.
    RECT rc{}, desk{};
    ::GetWindowRect(m_hWnd, &rc);
    ::GetWindowRect(::GetDesktopWindow(), &desk);
    const int x = desk.left + ((desk.right - desk.left) - (rc.right - rc.left)) / 2;
    const int y = desk.top + ((desk.bottom - desk.top) - (rc.bottom - rc.top)) / 2;
    ::SetWindowPos(m_hWnd, HWND_TOPMOST, x, y, 0, 0, SWP_NOSIZE);

    m_progress.SubclassDlgItem(IDC_PRGS_BAR, this);
    const HMODULE module = fw::ResourceModule();
    m_progress.SetImages(tamsolo::ui::LoadSkinImage(module, 152), tamsolo::ui::LoadSkinImage(module, 153));
    m_progress.SetRange(0, 100);
    m_progress.SetPos(0);

    m_success = false;
    m_over = false;
    m_handles.Rearm();
    StartThreads();
    fw::Trace(L"progress-dialog");
    return TRUE;
}

void CPrgsDlg::ApplySkin() {
    SetSmallDialogSkin(131);
    SetTitle(L"版本更新中...");
}

void CPrgsDlg::StartThreads() {
    m_downloadThread.Reset(reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, DownloadThread, this, 0, nullptr)));
    if (!m_downloadThread) {
        PostMessage(WM_DOWNLOAD_OVER, FALSE, 0);
        return;
    }
    m_watcherThread.Reset(reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, WatcherThread, this, 0, nullptr)));
    if (!m_watcherThread) OnCancel();
}

unsigned __stdcall CPrgsDlg::DownloadThread(void* param) {
    auto* self = static_cast<CPrgsDlg*>(param);
    self->m_success = net::HttpUpdateDownload(self->downloadAddress, self->targetPath,
                                              self->m_progress.GetSafeHwnd(), &self->m_handles);
    return 0;
}

unsigned __stdcall CPrgsDlg::WatcherThread(void* param) {
    auto* self = static_cast<CPrgsDlg*>(param);
    const HWND dialog = self->m_hWnd;
    ::WaitForSingleObject(self->m_downloadThread.Get(), INFINITE);
    // The dialog ends on its own thread; a cancelled dialog is gone and the message is dropped.
    ::PostMessageW(dialog, WM_DOWNLOAD_OVER, self->m_success.load() ? TRUE : FALSE, 0);
    return 0;
}

LRESULT CPrgsDlg::OnDownloadOver(WPARAM ok, LPARAM) {
    if (m_over.exchange(true)) return 0;
    StopThreads();
    EndDialog(ok ? IDOK : IDCANCEL);
    return 0;
}

void CPrgsDlg::StopThreads() {
    if (m_watcherThread) {
        WaitPumpingSent(m_watcherThread.Get(), kStopGraceMs);
        if (::WaitForSingleObject(m_watcherThread.Get(), 0) != WAIT_OBJECT_0) ::TerminateThread(m_watcherThread.Get(), 1);
    }
    if (m_downloadThread) {
        if (!WaitPumpingSent(m_downloadThread.Get(), kStopGraceMs)) ::TerminateThread(m_downloadThread.Get(), 1);
    }
    m_watcherThread.Reset();
    m_downloadThread.Reset();
    m_handles.CloseAll();
}

void CPrgsDlg::OnCancel() {
    if (m_over.exchange(true)) return;
    fw::Trace(L"progress-cancel");
    // Closing the connection makes the read in progress fail, so the worker ends by itself
    // (it holds WinINet's and the heap's locks while it runs; killing it outright could leave
    // them held for the rest of this process). Only a worker that does not end is stopped.
    m_handles.Cancel();
    if (m_downloadThread && !WaitPumpingSent(m_downloadThread.Get(), kStopGraceMs)) {
        ::TerminateThread(m_downloadThread.Get(), 1);
    }
    StopThreads();
    m_success = false;
    EndDialog(IDCANCEL);
}
