#include "net/httpget_win.h"

#include <commctrl.h>
#include <wininet.h>

#include <cstdio>
#include <vector>

#include "framework/text_win.h"
#include "net/address.h"
#include "operator_config.h"

namespace net {

namespace {

using tamsolo::SplitAddress;

constexpr DWORD kNoticeBytes = 1024;  // the notice text must be shorter than this
constexpr size_t kNoticeChars = 1024;
// The update and hall configurations are a few INI lines: a key of 64 characters and an address
// of 512 are all that is kept. A body far larger is someone else's page, and is not stored.
constexpr DWORD kConfigBytes = 16 * 1024;

// Where the body goes and what the caller sees while it arrives.
struct Destination {
    const std::wstring* file = nullptr;
    std::wstring* text = nullptr;
    HWND progress = nullptr;
    const ProgressReport* report = nullptr;
    DWORD maxBytes = 0;  // 0: no bound but the announced length
};

double NowMs() {
    LARGE_INTEGER frequency, count;
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&count);
    return 1000.0 * static_cast<double>(count.QuadPart) / static_cast<double>(frequency.QuadPart);
}

void CloseInternet(std::atomic<HINTERNET>& slot) {
    if (HINTERNET h = slot.exchange(nullptr)) ::InternetCloseHandle(h);
}

// WinINet waits as long as the network lets it by default; on a filtered network that is for
// ever. The session's limits are inherited by what it opens; they are set on the request as
// well because not every WinINet hands the session's down to an open connection.
void SetTimeLimits(HINTERNET handle) {
    const RequestTimeouts limits = RequestTimeLimits();
    DWORD connect = limits.connectMs, send = limits.sendMs, receive = limits.receiveMs;
    ::InternetSetOptionW(handle, INTERNET_OPTION_CONNECT_TIMEOUT, &connect, sizeof(connect));
    ::InternetSetOptionW(handle, INTERNET_OPTION_SEND_TIMEOUT, &send, sizeof(send));
    ::InternetSetOptionW(handle, INTERNET_OPTION_RECEIVE_TIMEOUT, &receive, sizeof(receive));
}

// Opens the session, connects and sends the request, publishing each handle in `h` as soon as
// it exists so that a cancel can close it.
bool OpenAndSend(const std::wstring& address, DownloadHandles& h, DWORD* lastError) {
    SplitAddress parts;
    if (!tamsolo::SplitHttpAddress(fw::U(address), &parts)) return false;
    const std::wstring host = fw::W(parts.host);
    const std::wstring object = fw::W(parts.object);

    HINTERNET session = ::InternetOpenW(reinterpret_cast<const wchar_t*>(tamsolo::kUserAgent),
                                        INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
    if (!session) return false;
    h.session = session;
    if (h.cancelled) return false;
    SetTimeLimits(session);
    HINTERNET connection =
        ::InternetConnectW(session, host.c_str(), parts.port, nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 0);
    if (!connection) {
        if (lastError) *lastError = ::GetLastError();
        return false;
    }
    h.connection = connection;
    if (h.cancelled) return false;
    // A redirect is not followed: an answer from wherever a captive portal or a proxy sends us
    // is not the operator's, so a 3xx fails like any other status but 200.
    HINTERNET request = ::HttpOpenRequestW(connection, L"GET", object.c_str(), L"HTTP/1.1", nullptr, nullptr,
                                           INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_AUTO_REDIRECT, 0);
    if (!request) return false;
    h.request = request;
    if (h.cancelled) return false;
    SetTimeLimits(request);
    const wchar_t* headers = reinterpret_cast<const wchar_t*>(tamsolo::kRequestHeaders);
    if (!::HttpSendRequestW(request, headers, static_cast<DWORD>(wcslen(headers)), nullptr, 0)) {
        if (lastError) *lastError = ::GetLastError();
        return false;
    }
    return true;
}

// Only 200 is an answer. A server error's page, a proxy's notice or a redirect stored as the
// configuration would read as "no update", or be offered to the player as a notice.
bool StatusAccepted(HINTERNET request) {
    char status[32] = {};
    DWORD size = sizeof(status) - 1;
    if (!::HttpQueryInfoA(request, HTTP_QUERY_STATUS_CODE, status, &size, nullptr)) return false;
    return std::atoi(status) == 200;
}

bool ContentLength(HINTERNET request, DWORD* length) {
    DWORD size = sizeof(*length);
    *length = 0;
    if (!::HttpQueryInfoW(request, HTTP_QUERY_CONTENT_LENGTH | HTTP_QUERY_FLAG_NUMBER, length, &size, nullptr)) {
        return false;
    }
    return size == sizeof(DWORD);
}

// Tells the bar and the caller a percentage it has not been told yet (*last: the previous
// one, -1 before the first): at most 101 reports whatever the size, each a synchronous
// message to another thread's window.
void ReportProgress(const Destination& to, unsigned long long received, DWORD length, int* last) {
    const int percent = tamsolo::ProgressPercent(received, length);
    if (percent == *last) return;
    *last = percent;
    if (to.progress) ::SendMessageW(to.progress, PBM_SETPOS, static_cast<WPARAM>(percent), 0);
    if (to.report && *to.report) (*to.report)(percent);
}

// Collects small reads into larger writes, as a buffered C stream does: one system call per
// small piece made the file member many times slower than the network.
class FileAppender {
public:
    explicit FileAppender(HANDLE file) : file_(file) { buffer_.reserve(kSize); }
    bool Append(const char* data, DWORD size) {
        if (buffer_.empty() && size >= kSize) return Write(data, size);  // large enough already
        buffer_.insert(buffer_.end(), data, data + size);
        return buffer_.size() < kSize || Flush();
    }
    bool Flush() {
        const bool ok = buffer_.empty() || Write(buffer_.data(), static_cast<DWORD>(buffer_.size()));
        buffer_.clear();
        return ok;
    }

private:
    bool Write(const char* data, DWORD size) {
        DWORD written = 0;
        return ::WriteFile(file_, data, size, &written, nullptr) && written == size;
    }

    static constexpr size_t kSize = 64 * 1024;
    HANDLE file_;
    std::vector<char> buffer_;
};

// Reads the body chunk by chunk (each as large as NextReadSize says) into the open file.
// Success is at least the announced length and every byte on disk; whatever arrived before a
// failure stays in the file.
bool ReadIntoFile(HINTERNET request, HANDLE file, DWORD length, const Destination& to) {
    // A bounded member stops reading once the body has gone past what it may hold, whatever
    // the server announced or keeps sending.
    const unsigned long long limit = to.maxBytes ? to.maxBytes : ~0ULL;
    std::vector<char> chunk;
    DWORD ask = tamsolo::kLeastRead;
    FileAppender out(file);
    unsigned long long total = 0;
    int reported = -1;
    bool written = true;
    for (;;) {
        if (chunk.size() < ask) chunk.resize(ask);
        DWORD got = 0;
        const double started = NowMs();
        if (!::InternetReadFile(request, chunk.data(), ask, &got)) break;
        ask = tamsolo::NextReadSize(ask, got, NowMs() - started);
        if (got > 0 && !out.Append(chunk.data(), got)) {
            written = false;
            break;
        }
        total += got;
        if (total > limit) {
            written = false;
            break;
        }
        if (to.progress || to.report) ReportProgress(to, total, length, &reported);
        ::InternetSetFilePointer(request, static_cast<LONG>(total), nullptr, FILE_BEGIN, 0);
        if (got == 0) break;
    }
    written = out.Flush() && written;
    return written && total >= length;
}

bool ReadIntoText(HINTERNET request, DWORD length, std::wstring* text) {
    if (length >= kNoticeBytes) return false;
    std::vector<char> bytes(length + 1, '\0');
    DWORD got = 0;
    if (!::InternetReadFile(request, bytes.data(), length, &got)) return false;
    std::wstring wide = fw::FromAnsi(std::string(bytes.data(), got));
    if (wide.size() > kNoticeChars - 1) wide.resize(kNoticeChars - 1);
    *text = wide;
    return true;
}

// The part common to every member that reads a body.
bool Fetch(const std::wstring& address, bool checkDomain, const Destination& to, DownloadHandles* kept) {
    if (checkDomain && !IsPermitted(address)) return false;
    DownloadHandles local;
    DownloadHandles& h = kept ? *kept : local;
    bool ok = false;
    DWORD length = 0;
    if (OpenAndSend(address, h, nullptr)) {
        HINTERNET request = h.request.load();
        if (request && StatusAccepted(request) && ContentLength(request, &length) &&
            (to.maxBytes == 0 || length <= to.maxBytes)) {
            if (to.text) {
                ok = ReadIntoText(request, length, to.text);
            } else if (to.file) {
                HANDLE file = ::CreateFileW(to.file->c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                            FILE_ATTRIBUTE_NORMAL, nullptr);
                if (file != INVALID_HANDLE_VALUE) {
                    h.file = file;
                    ok = ReadIntoFile(request, file, length, to);
                    h.CloseFile();  // a partial file stays in place
                }
            }
        }
    }
    h.CloseNetwork();
    return ok;
}

}  // namespace

void DownloadHandles::CloseNetwork() {
    CloseInternet(request);
    CloseInternet(connection);
    CloseInternet(session);
}

void DownloadHandles::CloseFile() {
    if (HANDLE h = file.exchange(nullptr)) ::CloseHandle(h);
}

bool IsPermitted(const std::wstring& address) {
    static const std::u16string kDomains[3] = {TAMSOLO_DOMAIN_1, TAMSOLO_DOMAIN_2, TAMSOLO_DOMAIN_3};
    return tamsolo::IsPermittedAddress(fw::U(address), kDomains, 3);
}

bool HttpStatisticsRequest(const std::wstring& address, DWORD* lastError) {
    if (!tamsolo::HasHttpPrefix(fw::U(address))) return false;
    DownloadHandles h;
    const bool sent = OpenAndSend(address, h, lastError);
    h.CloseNetwork();
    return sent;
}

bool HttpUpdateConfig(const std::wstring& address, const std::wstring& file, DownloadHandles* handles) {
    Destination to;
    to.file = &file;
    to.maxBytes = kConfigBytes;
    return Fetch(address, false, to, handles);
}

bool HttpUpdateDownload(const std::wstring& address, const std::wstring& file, HWND progress,
                        DownloadHandles* handles) {
    Destination to;
    to.file = &file;
    to.progress = progress;
    return Fetch(address, true, to, handles);
}

bool HttpNoticeText(const std::wstring& address, std::wstring* text, DownloadHandles* handles) {
    Destination to;
    to.text = text;
    return Fetch(address, true, to, handles);
}

bool HttpNoticePicture(const std::wstring& address, const std::wstring& file, DownloadHandles* handles) {
    Destination to;
    to.file = &file;
    return Fetch(address, true, to, handles);
}

bool HttpHallConfig(const std::wstring& address, const std::wstring& file, DownloadHandles* handles) {
    Destination to;
    to.file = &file;
    to.maxBytes = kConfigBytes;
    return Fetch(address, false, to, handles);
}

bool HttpHallDownload(const std::wstring& address, const std::wstring& file, const ProgressReport& report,
                      DownloadHandles* handles) {
    Destination to;
    to.file = &file;
    to.report = &report;
    return Fetch(address, true, to, handles);
}

}  // namespace net
