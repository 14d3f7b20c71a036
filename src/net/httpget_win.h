// HttpGet: the launcher's one HTTP GET routine on WinINet, in the seven forms its callers need.
// Every form sends the same agent and headers, waits within the time limits below, follows no
// redirect, takes only a 200 with a Content-Length as an answer and closes request, connection
// and session in that order whatever happens. No retries.
#pragma once

#include <windows.h>
#include <wininet.h>

#include <atomic>
#include <functional>
#include <string>

namespace net {

// How long one exchange may wait for the network at each step. Every session and request gets
// them, so a host that never answers ends as a failure instead of holding its thread for ever.
constexpr DWORD kConnectTimeoutMs = 20000;
constexpr DWORD kSendTimeoutMs = 20000;
constexpr DWORD kReceiveTimeoutMs = 30000;

struct RequestTimeouts {
    DWORD connectMs;
    DWORD sendMs;
    DWORD receiveMs;
};
// The limits this executable uses: the ones above, shorter in the test build so that its
// scenarios of a silent server end in seconds (timelimits_flavor_win.cpp).
RequestTimeouts RequestTimeLimits();

// The handles of one exchange. A cancellable download keeps them in its dialog object so that
// the dialog's cancel can close them while the worker runs: each slot is taken atomically by
// whoever closes it, so a handle is closed exactly once. Closing the network handles makes a
// read in progress fail at once; the file is closed by the worker itself, or by the cancel
// only after the worker has stopped (a closed file handle's value could be reused meanwhile).
class DownloadHandles {
public:
    DownloadHandles() = default;
    ~DownloadHandles() { CloseAll(); }
    DownloadHandles(const DownloadHandles&) = delete;
    DownloadHandles& operator=(const DownloadHandles&) = delete;

    // Request, connection and session, in that order.
    void CloseNetwork();
    // From another thread: stops the exchange. A handle the worker has not published yet is
    // closed by the worker itself as soon as it sees the flag.
    void Cancel() {
        cancelled = true;
        CloseNetwork();
    }
    // Before a new exchange with the same object.
    void Rearm() { cancelled = false; }
    void CloseFile();
    void CloseAll() {
        CloseNetwork();
        CloseFile();
    }
    bool Empty() const { return !session && !connection && !request && !file; }

    std::atomic<HINTERNET> session{nullptr};
    std::atomic<HINTERNET> connection{nullptr};
    std::atomic<HINTERNET> request{nullptr};
    std::atomic<HANDLE> file{nullptr};
    std::atomic<bool> cancelled{false};
};

// Statistics request: the address must begin with "http://"; success is that the request was
// sent, nothing is read. On a failed connect or send, *lastError gets the system's error code.
bool HttpStatisticsRequest(const std::wstring& address, DWORD* lastError = nullptr);

// The operator's update configuration into `file` (a few lines of text: a body over 16 KiB
// fails). With `handles`, another thread can stop it.
bool HttpUpdateConfig(const std::wstring& address, const std::wstring& file, DownloadHandles* handles = nullptr);

// The new executable into `file`, setting `progress` (range 0-100) to each new percentage
// received, synchronously; permitted hosts only.
bool HttpUpdateDownload(const std::wstring& address, const std::wstring& file, HWND progress,
                        DownloadHandles* handles);

// The notice text (under 1024 bytes, ANSI) into `text` (at most 1024 characters); permitted
// hosts only. With `handles`, another thread can stop it.
bool HttpNoticeText(const std::wstring& address, std::wstring* text, DownloadHandles* handles = nullptr);

// The notice picture into `file`; permitted hosts only. With `handles`, another thread can stop it.
bool HttpNoticePicture(const std::wstring& address, const std::wstring& file, DownloadHandles* handles = nullptr);

// The game-hall configuration into `file` (bounded like the update configuration), cancellable.
bool HttpHallConfig(const std::wstring& address, const std::wstring& file, DownloadHandles* handles);

// Called on the downloading thread whenever the percentage received so far (0-100) changes,
// so at most 101 times. It must not touch windows of another thread other than by posting to them.
using ProgressReport = std::function<void(int percent)>;

// The game-hall installer into `file`, reporting each new percentage to `report`; permitted
// hosts only; cancellable.
bool HttpHallDownload(const std::wstring& address, const std::wstring& file, const ProgressReport& report,
                      DownloadHandles* handles);

// Whether the address names one of the operator's permitted hosts.
bool IsPermitted(const std::wstring& address);

}  // namespace net
