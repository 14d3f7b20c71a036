#include "net/updatecheck_win.h"

#include <process.h>

#include <mutex>
#include <new>

#include "framework/trace_win.h"
#include "net/httpget_win.h"

namespace app {

namespace {

// Closing the connection ends a fetch at once on Windows; this covers the digest of our own
// file. Wine's WinINet lets a request that still waits for its answer's headers run on to its
// time limit whatever is closed: the window then goes without it rather than keep the exit.
constexpr DWORD kStopWaitMs = 1000;

}  // namespace

// Shared by the window and the worker, so that a window going first leaves nothing dangling.
struct BackgroundUpdateCheck::Job {
    HWND notify = nullptr;
    UINT message = 0;
    net::DownloadHandles handles;

    // The post happens under the lock, so once Abandon has set the flag nothing more arrives.
    std::mutex lock;
    bool abandoned = false;
    bool done = false;
    UpdateCheck outcome = UpdateCheck::kFailed;
    PublishedUpdate published;
};

BackgroundUpdateCheck::~BackgroundUpdateCheck() { Abandon(); }

bool BackgroundUpdateCheck::Start(HWND notify, UINT message) {
    if (job_) return false;
    auto job = std::make_shared<Job>();
    job->notify = notify;
    job->message = message;
    auto* keep = new (std::nothrow) std::shared_ptr<Job>(job);
    if (!keep) return false;
    thread_.Reset(reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, CheckThread, keep, 0, nullptr)));
    if (!thread_) {
        delete keep;
        return false;
    }
    job_ = std::move(job);
    return true;
}

unsigned __stdcall BackgroundUpdateCheck::CheckThread(void* param) {
    std::unique_ptr<std::shared_ptr<Job>> keep(static_cast<std::shared_ptr<Job>*>(param));
    Job& job = **keep;
    fw::Trace(L"update-check forced");
    PublishedUpdate published = FetchPublishedUpdate(&job.handles);
    const UpdateCheck outcome = JudgePublishedUpdate(published);
    std::lock_guard<std::mutex> hold(job.lock);
    job.published = std::move(published);
    job.outcome = outcome;
    job.done = true;
    if (!job.abandoned) ::PostMessageW(job.notify, job.message, 0, 0);
    return 0;
}

bool BackgroundUpdateCheck::Finish(CQuorvane3App& app, UpdateCheck* outcome) {
    if (!job_) return false;
    {
        std::lock_guard<std::mutex> hold(job_->lock);
        if (!job_->done) return false;
        *outcome = job_->outcome;
        AdoptPublishedUpdate(app, job_->published);
    }
    // It posted as its last act.
    if (thread_) ::WaitForSingleObject(thread_.Get(), kStopWaitMs);
    thread_.Reset();
    job_.reset();
    return true;
}

void BackgroundUpdateCheck::Abandon() {
    if (job_) {
        {
            std::lock_guard<std::mutex> hold(job_->lock);
            job_->abandoned = true;
        }
        job_->handles.Cancel();
    }
    if (thread_) ::WaitForSingleObject(thread_.Get(), kStopWaitMs);
    thread_.Reset();
    job_.reset();
}

}  // namespace app
