// The update command's check, run on a worker of its own: the main window's thread also answers
// the desktop-wide keyboard hook and the page processes' registrations, and must never wait for
// the network. The result comes back as a posted message.
#pragma once

#include <windows.h>

#include <memory>

#include "framework/handle_win.h"
#include "net/update_win.h"

namespace app {

class BackgroundUpdateCheck {
public:
    BackgroundUpdateCheck() = default;
    // Abandons a check still running (see Abandon).
    ~BackgroundUpdateCheck();
    BackgroundUpdateCheck(const BackgroundUpdateCheck&) = delete;
    BackgroundUpdateCheck& operator=(const BackgroundUpdateCheck&) = delete;

    // A check has been started and its result not yet taken.
    bool Running() const { return job_ != nullptr; }
    // Starts the forced check unless one is running; when it is over, `message` is posted to
    // `notify`. False when a check runs already or no thread could be started.
    bool Start(HWND notify, UINT message);
    // For the posted message: true, with the outcome, when the check is over; the key and the
    // address it read are adopted into `app` and the thread is joined. False for a message that
    // did not come from the check (anyone can post to a window): nothing changes then.
    bool Finish(CQuorvane3App& app, UpdateCheck* outcome);
    // The window is going: the check's connection is closed, it posts nothing from now on, and
    // its thread is waited for a short while. A thread that is still busy then keeps its own
    // share of the job and ends by itself.
    void Abandon();

private:
    struct Job;
    static unsigned __stdcall CheckThread(void* job);

    std::shared_ptr<Job> job_;
    fw::Handle thread_;
};

}  // namespace app
