#include "web/ownerwatch_win.h"

#include <process.h>

#include <memory>
#include <new>

#include "framework/handle_win.h"
#include "framework/trace_win.h"
#include "web/gameframe_win.h"

namespace web {

namespace {

constexpr DWORD kWindowPollMs = 200;

struct Watch {
    HWND owner = nullptr;
    UINT_PTR timer = 0;
    fw::Handle ownerProcess;  // empty when the owner's process could not be opened
    fw::Handle stop;
    fw::Handle thread;
};

std::unique_ptr<Watch> g_watch;

void CALLBACK CheckOwner(HWND, UINT, UINT_PTR, DWORD) {
    if (!g_watch || ::IsWindow(g_watch->owner)) return;
    ::KillTimer(nullptr, g_watch->timer);
    g_watch->timer = 0;
    fw::Trace(L"owner-gone");
    // The browser goes while OLE is still up; a login simply ends with its loops.
    if (CMainFrame* frame = MainFrame()) frame->Shutdown();
    ::PostQuitMessage(0);
}

// The watch's own thread: it only reads the watch's handles, which outlive it.
unsigned __stdcall WatchThread(void* param) {
    const Watch* watch = static_cast<const Watch*>(param);
    HANDLE waits[2] = {watch->stop.Get(), watch->ownerProcess.Get()};
    const DWORD count = watch->ownerProcess ? 2 : 1;
    for (;;) {
        const DWORD r = ::WaitForMultipleObjects(count, waits, FALSE, kWindowPollMs);
        if (r == WAIT_OBJECT_0) return 0;
        if (r == WAIT_OBJECT_0 + 1 || !::IsWindow(watch->owner)) break;
        if (r == WAIT_FAILED) ::Sleep(kWindowPollMs);
    }
    if (::WaitForSingleObject(watch->stop.Get(), kOwnerGraceMs) == WAIT_OBJECT_0) return 0;
    fw::Trace(L"owner-gone-ended");
    ::TerminateProcess(::GetCurrentProcess(), 0);
    return 0;
}

}  // namespace

bool StartOwnerWatch(HWND owner) {
    if (g_watch) return true;
    auto watch = std::unique_ptr<Watch>(new (std::nothrow) Watch);
    if (!watch) return false;
    watch->owner = owner;
    DWORD pid = 0;
    if (owner) ::GetWindowThreadProcessId(owner, &pid);
    if (pid) watch->ownerProcess.Reset(::OpenProcess(SYNCHRONIZE, FALSE, pid));
    watch->stop.Reset(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!watch->stop) return false;
    watch->timer = ::SetTimer(nullptr, 0, kOwnerCheckMs, &CheckOwner);
    g_watch = std::move(watch);
    g_watch->thread.Reset(reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, WatchThread, g_watch.get(), 0, nullptr)));
    return g_watch->timer != 0 || g_watch->thread;
}

void StopOwnerWatch() {
    if (!g_watch) return;
    if (g_watch->timer) ::KillTimer(nullptr, g_watch->timer);
    g_watch->timer = 0;
    ::SetEvent(g_watch->stop.Get());
    // Told, the thread returns at once. Its handles must outlive it: should it not have
    // returned, they are left to the process's end.
    if (g_watch->thread && ::WaitForSingleObject(g_watch->thread.Get(), 2000) != WAIT_OBJECT_0) {
        (void)g_watch.release();
        return;
    }
    g_watch.reset();
}

}  // namespace web
