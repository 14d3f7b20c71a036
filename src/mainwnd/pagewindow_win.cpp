#include "mainwnd/pagewindow_win.h"

#include <process.h>

#include <algorithm>

namespace mainwnd {

namespace {

// SetWindowPos on a window of another thread asks that thread to do it and waits for the
// answer; with this flag the request is only handed over.
constexpr UINT kNoWait = SWP_ASYNCWINDOWPOS | SWP_NOACTIVATE;

// A change of parent cannot be handed over without waiting: the system asks the page's thread
// and waits for it. That wait happens here, on a thread of ours that nothing else waits for,
// and the close follows it so that the page hears it without a parent.
unsigned __stdcall LetGoThread(void* param) {
    HWND page = static_cast<HWND>(param);
    if (::IsWindow(page)) {
        ::ShowWindow(page, SW_HIDE);
        ::SetParent(page, nullptr);
        ::PostMessageW(page, WM_SYSCOMMAND, SC_CLOSE, 0);
    }
    return 0;
}

bool Finished(const fw::Handle& thread) { return ::WaitForSingleObject(thread.Get(), 0) == WAIT_OBJECT_0; }

}  // namespace

void HidePage(HWND page) {
    if (page) ::ShowWindowAsync(page, SW_HIDE);
}

void MovePage(HWND page, const RECT& area) {
    if (!page) return;
    ::SetWindowPos(page, nullptr, area.left, area.top, area.right - area.left, area.bottom - area.top,
                   SWP_NOZORDER | SWP_NOREDRAW | kNoWait);
}

void ShowPageAt(HWND page, const RECT& area) {
    if (!page) return;
    // Requests from one thread to another are carried out in the order they were made.
    MovePage(page, area);
    ::ShowWindowAsync(page, SW_SHOW);
    ::SetWindowPos(page, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | kNoWait);
}

LetGo LetGoOfPage(HWND page) {
    LetGo result;
    if (!page || !::IsWindow(page)) return result;
    DWORD process = 0;
    ::GetWindowThreadProcessId(page, &process);
    if (process && process != ::GetCurrentProcessId()) {
        result.process.Reset(::OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, process));
    }
    HidePage(page);
    result.thread.Reset(reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, LetGoThread, page, 0, nullptr)));
    if (!result.thread) ::PostMessageW(page, WM_SYSCOMMAND, SC_CLOSE, 0);
    return result;
}

void ForgetFinishedLetGo(std::vector<LetGo>* pages) {
    pages->erase(std::remove_if(pages->begin(), pages->end(), [](const LetGo& p) { return Finished(p.thread); }),
                 pages->end());
}

void WaitForLetGo(std::vector<LetGo>* pages, DWORD ms) {
    const DWORD start = ::GetTickCount();
    for (;;) {
        ForgetFinishedLetGo(pages);
        const DWORD spent = ::GetTickCount() - start;
        if (pages->empty() || spent >= ms) return;
        // A page that answers may still send this thread something while it moves out.
        HANDLE first = pages->front().thread.Get();
        if (::MsgWaitForMultipleObjects(1, &first, FALSE, ms - spent, QS_SENDMESSAGE) == WAIT_OBJECT_0 + 1) {
            MSG msg;
            ::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
        }
    }
}

void EndPagesNotLetGo(std::vector<LetGo>* pages, DWORD ms) {
    std::vector<HANDLE> ending;
    for (const LetGo& page : *pages) {
        if (page.process && ::TerminateProcess(page.process.Get(), 0)) ending.push_back(page.process.Get());
    }
    const DWORD start = ::GetTickCount();
    for (HANDLE process : ending) {
        const DWORD spent = ::GetTickCount() - start;
        if (spent >= ms) break;
        ::WaitForSingleObject(process, ms - spent);
    }
}

}  // namespace mainwnd
