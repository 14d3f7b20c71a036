// HttpGet against the sandbox server (started by the test fixture on the build's sandbox port).
#include <windows.h>
#include <commctrl.h>
#include <wininet.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/handle_win.h"
#include "framework/text_win.h"
#include "net/httpget_win.h"
#include "sandboxclient.h"

namespace {

const std::wstring kBase = sandbox::Base();
using sandbox::Control;
using sandbox::Requests;
using sandbox::Set;

size_t CountOf(const std::string& text, const std::string& what) {
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

std::wstring TempFile(const wchar_t* name) {
    wchar_t dir[MAX_PATH];
    ::GetTempPathW(MAX_PATH, dir);
    return std::wstring(dir) + name;
}

std::string ReadAll(const std::wstring& path) {
    fw::Handle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!file) return "<missing>";
    std::string data;
    char buffer[4096];
    DWORD got = 0;
    while (::ReadFile(file.Get(), buffer, sizeof buffer, &got, nullptr) && got > 0) data.append(buffer, got);
    return data;
}

// The sandbox's generated body of a given size.
std::string Generated(size_t size) {
    std::string pattern;
    for (int i = 0; i < 251; ++i) pattern.push_back(static_cast<char>((i * 7 + 13) & 0xFF));
    std::string out;
    while (out.size() < size) out += pattern;
    out.resize(size);
    return out;
}

class HttpGetTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!Control(L"/__sandbox/reset")) GTEST_SKIP() << "the sandbox server does not answer on " << fw::ToUtf8(kBase);
    }
};

// A progress bar that remembers every position it was given.
struct ProgressRecorder {
    fw::Window bar;
    std::vector<int> positions;
    static LRESULT CALLBACK Proc(HWND wnd, UINT msg, WPARAM w, LPARAM l, UINT_PTR, DWORD_PTR self) {
        if (msg == PBM_SETPOS) reinterpret_cast<ProgressRecorder*>(self)->positions.push_back(static_cast<int>(w));
        return ::DefSubclassProc(wnd, msg, w, l);
    }
    ProgressRecorder() {
        bar.Reset(::CreateWindowExW(0, PROGRESS_CLASSW, L"", WS_POPUP, 0, 0, 200, 20, nullptr, nullptr, nullptr, nullptr));
        ::SetWindowSubclass(bar.Get(), Proc, 1, reinterpret_cast<DWORD_PTR>(this));
    }
    ~ProgressRecorder() { ::RemoveWindowSubclass(bar.Get(), Proc, 1); }
};

}  // namespace

TEST_F(HttpGetTest, StatisticsRequestSendsTheLaunchersRequestForm) {
    EXPECT_TRUE(net::HttpStatisticsRequest(kBase + L"/install.htm?tag=tamsolo&ver=3.0.0.1&count=7"));
    // A missing page is still a sent request.
    ASSERT_TRUE(Set(L"/active.htm", L"mode=404"));
    EXPECT_TRUE(net::HttpStatisticsRequest(kBase + L"/active.htm?tag=tamsolo&ver=3.0.0.1&count=1"));
    const std::string json = Requests();
    EXPECT_NE(json.find("\"path\": \"/install.htm\", \"query\": \"tag=tamsolo&ver=3.0.0.1&count=7\", \"count\": 7"),
              std::string::npos) << json;
    EXPECT_NE(json.find("\"User-Agent\": \"ZQV\""), std::string::npos) << json;
    EXPECT_NE(json.find("\"Accept-Language\": \"zh-cn\""), std::string::npos) << json;
    EXPECT_NE(json.find("\"Content-Type\": \"application/x-www-form-urlencoded\""), std::string::npos) << json;
}

TEST_F(HttpGetTest, StatisticsRequestNeedsPlainHttpAndAListener) {
    const std::wstring https = L"https" + kBase.substr(4) + L"/install.htm?count=1";
    EXPECT_FALSE(net::HttpStatisticsRequest(https));
    EXPECT_FALSE(net::HttpStatisticsRequest(L"ftp://127.0.0.1/x"));
    EXPECT_EQ(CountOf(Requests(), "\"path\""), 0u);
    DWORD error = 0;
    EXPECT_FALSE(net::HttpStatisticsRequest(L"http://127.0.0.1:1/install.htm?count=1", &error));
    EXPECT_NE(error, 0u);
}

TEST_F(HttpGetTest, FileMembersStoreTheBodyOfA200Only) {
    const std::wstring file = TempFile(L"net_get_file.bin");
    ASSERT_TRUE(Set(L"/update/ConfigTamsolo.htm", L"mode=size&size=3000"));
    EXPECT_TRUE(net::HttpUpdateConfig(kBase + L"/update/ConfigTamsolo.htm", file));
    EXPECT_EQ(ReadAll(file), Generated(3000));

    ASSERT_TRUE(Set(L"/elsewhere.ini", L"mode=ok&body=elsewhere"));
    struct Case {
        const char* what;
        std::wstring setting;
    } const refused[] = {
        {"a server error's page", L"mode=500&body=server%20error%20page"},
        {"a missing file", L"mode=404"},
        // A portal's redirect, even to a page that would answer: never followed into a success.
        {"a redirect", L"mode=500&status=302&location=" + sandbox::Escape(kBase + L"/elsewhere.ini")},
        // The configurations are a few lines; someone else's large page is not stored.
        {"a configuration over its bound", L"mode=size&size=16385"},
        // A server that never answers, before its headers or inside its body: the time limits
        // end the exchange long before the answer would come.
        {"an answer that stalls", L"mode=stall&delay=12&body=late"},
        {"a body that stalls", L"mode=slow&size=40&delay=12"},
    };
    for (const Case& c : refused) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(Set(L"/hall.ini", c.setting));
        net::DownloadHandles handles;
        EXPECT_FALSE(net::HttpHallConfig(kBase + L"/hall.ini", file, &handles));
        EXPECT_TRUE(handles.Empty());
    }
    EXPECT_EQ(CountOf(Requests(), "\"/elsewhere.ini\""), 0u);
    ASSERT_TRUE(Set(L"/hall.ini", L"mode=size&size=16384"));
    EXPECT_TRUE(net::HttpHallConfig(kBase + L"/hall.ini", file, nullptr));
    ASSERT_TRUE(Set(L"/pic.png", L"mode=500&body=x"));
    EXPECT_FALSE(net::HttpNoticePicture(kBase + L"/pic.png", file));
    ::DeleteFileW(file.c_str());
}

TEST_F(HttpGetTest, FileMembersNeedTheWholeAnnouncedBody) {
    const std::wstring file = TempFile(L"net_get_short.bin");
    ASSERT_TRUE(Set(L"/pic.png", L"mode=nolength&body=no-length-here"));
    EXPECT_FALSE(net::HttpNoticePicture(kBase + L"/pic.png", file));

    ASSERT_TRUE(Set(L"/pic.png", L"mode=short&size=4000"));
    EXPECT_FALSE(net::HttpNoticePicture(kBase + L"/pic.png", file));
    // The partial file stays where it was written.
    const std::string partial = ReadAll(file);
    EXPECT_EQ(partial, Generated(3000));

    ASSERT_TRUE(Set(L"/pic.png", L"mode=slow&size=2000&delay=0.02"));
    EXPECT_TRUE(net::HttpNoticePicture(kBase + L"/pic.png", file));
    EXPECT_EQ(ReadAll(file), Generated(2000));
    ::DeleteFileW(file.c_str());
}

TEST_F(HttpGetTest, PermittedHostsOnlyForDownloadsThatMayRun) {
    const std::wstring file = TempFile(L"net_get_domain.bin");
    ASSERT_TRUE(Set(L"/new.exe", L"mode=size&size=100"));
    const std::wstring port = kBase.substr(kBase.rfind(L':'));
    // The domain named in the query does not make the host permitted.
    EXPECT_FALSE(net::HttpNoticePicture(L"http://127.0.0.2" + port + L"/new.exe?127.0.0.1", file));
    EXPECT_FALSE(net::HttpUpdateDownload(L"http://127.0.0.2" + port + L"/new.exe?kelvra.com", file, nullptr, nullptr));
    EXPECT_EQ(CountOf(Requests(), "\"path\""), 0u);
    // The same file from the permitted host.
    EXPECT_TRUE(net::HttpUpdateDownload(kBase + L"/new.exe", file, nullptr, nullptr));
    ::DeleteFileW(file.c_str());
}

// Both progress members, the bar's and the callback's: each new percentage once, rising to
// 100, whatever the size and however the body arrives (an installer of hundreds of megabytes
// must not send the bar a message per read).
TEST_F(HttpGetTest, ProgressGetsEachNewPercentageOnceUpTo100) {
    const std::wstring file = TempFile(L"net_get_progress.bin");
    struct Case {
        const wchar_t* setting;
        size_t size;
    } const cases[] = {
        {L"mode=ok&body=", 0},                  // empty: complete at once, no division by zero
        {L"mode=size&size=5120", 5120},
        {L"mode=size&size=3000000", 3000000},   // many reads
        {L"mode=slow&size=3000&delay=0.02", 3000},  // small pieces apart in time
    };
    for (const Case& c : cases) {
        for (bool bar : {true, false}) {
            SCOPED_TRACE(fw::ToUtf8(c.setting) + (bar ? " (bar)" : " (hall)"));
            ASSERT_TRUE(Set(L"/progress.exe", c.setting));
            ProgressRecorder rec;
            std::vector<int> reported;
            net::DownloadHandles handles;
            const bool ok = bar ? net::HttpUpdateDownload(kBase + L"/progress.exe", file, rec.bar.Get(), &handles)
                                : net::HttpHallDownload(kBase + L"/progress.exe", file,
                                                        [&](int p) { reported.push_back(p); }, &handles);
            const std::vector<int>& positions = bar ? rec.positions : reported;
            EXPECT_TRUE(ok);
            EXPECT_EQ(ReadAll(file), Generated(c.size));
            ASSERT_FALSE(positions.empty());
            EXPECT_LE(positions.size(), 101u);
            EXPECT_EQ(positions.back(), 100);
            for (size_t i = 1; i < positions.size(); ++i) EXPECT_LT(positions[i - 1], positions[i]);
            EXPECT_TRUE(handles.Empty());
        }
    }
    ::DeleteFileW(file.c_str());
}

TEST_F(HttpGetTest, NoticeTextBelow1024BytesInTheAnsiCodePage) {
    std::wstring text;
    ASSERT_TRUE(Set(L"/notice.txt", L"mode=ok&body=" + std::wstring(1023, L'n')));
    EXPECT_TRUE(net::HttpNoticeText(kBase + L"/notice.txt", &text));
    EXPECT_EQ(text, std::wstring(1023, L'n'));
    ASSERT_TRUE(Set(L"/notice.txt", L"mode=ok&body=" + std::wstring(1024, L'n')));
    EXPECT_FALSE(net::HttpNoticeText(kBase + L"/notice.txt", &text));
    // Chinese text in the system's code page (GBK here).
    ASSERT_TRUE(Set(L"/notice.txt", L"mode=ok&charset=gbk&body=%E5%85%AC%E5%91%8A%3A%20%E6%9C%8D%E5%8A%A1%E5%99%A8"));
    EXPECT_TRUE(net::HttpNoticeText(kBase + L"/notice.txt", &text));
    ASSERT_EQ(::GetACP(), 936u) << "the test bed runs a Chinese Windows";
    EXPECT_EQ(text, L"公告: 服务器");
    ASSERT_TRUE(Set(L"/notice.txt", L"mode=nolength&body=x"));
    EXPECT_FALSE(net::HttpNoticeText(kBase + L"/notice.txt", &text));
}

TEST_F(HttpGetTest, CancelFromAnotherThreadEndsTheDownloadAtOnce) {
    const std::wstring file = TempFile(L"net_get_cancel.bin");
    ASSERT_TRUE(Set(L"/slow.exe", L"mode=slow&size=20000&delay=0.5"));
    struct Job {
        std::wstring address, file;
        net::DownloadHandles handles;
        bool result = true;
    } job{kBase + L"/slow.exe", file, {}, true};
    auto run = [](void* p) -> DWORD {
        auto* j = static_cast<Job*>(p);
        j->result = net::HttpUpdateDownload(j->address, j->file, nullptr, &j->handles);
        return 0;
    };
    fw::Handle worker(::CreateThread(nullptr, 0, run, &job, 0, nullptr));
    ASSERT_TRUE(worker);
    ::Sleep(1200);
    const DWORD cancelledAt = ::GetTickCount();
    job.handles.Cancel();
    EXPECT_EQ(::WaitForSingleObject(worker.Get(), 5000), static_cast<DWORD>(WAIT_OBJECT_0));
    EXPECT_LT(::GetTickCount() - cancelledAt, 3000u);
    EXPECT_FALSE(job.result);
    EXPECT_TRUE(job.handles.Empty());
    // A cancel before the exchange begins stops it before anything is fetched.
    job.handles.Rearm();
    job.handles.Cancel();
    EXPECT_FALSE(net::HttpUpdateDownload(job.address, file, nullptr, &job.handles));
    EXPECT_TRUE(job.handles.Empty());
    ::DeleteFileW(file.c_str());
}
