// The browser host and CDHtmDlgEx on the real web-browser control under Wine: the control's
// own before-navigate and navigation-error events, the page-command filter, the notice shown
// for an unreachable page, the test channel, and tear-down.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "framework/text_win.h"
#include "operator_config.h"
#include "web/browserchannel.h"
#include "web/dhtmdlgex_win.h"
#include "web/pagenotice_win.h"

namespace {

constexpr UINT kBareTemplate = 130;
const std::wstring kSandbox = fw::W(TAMSOLO_UPDATE_HOST);

struct Seen {
    std::wstring what, url;
    bool cancel = false;
    long status = 0;
};

class CTestPage : public web::CDHtmDlgEx {
public:
    CTestPage() : web::CDHtmDlgEx(kBareTemplate, nullptr) {}
    std::vector<Seen> log;
    DWORD Flags() { return HostFlags(); }

protected:
    void OnBeforeNavigate(const std::wstring& url, bool* cancel) override {
        web::CDHtmDlgEx::OnBeforeNavigate(url, cancel);
        log.push_back({L"before", url, *cancel, 0});
    }
    void OnNavigateError(const std::wstring& url, long status, bool* cancel) override {
        web::CDHtmDlgEx::OnNavigateError(url, status, cancel);
        log.push_back({L"error", url, *cancel, status});
    }
    void OnNavigateComplete(const std::wstring& url, bool topLevel) override {
        web::CDHtmDlgEx::OnNavigateComplete(url, topLevel);
        log.push_back({L"complete", url, topLevel, 0});
    }
    void OnDocumentComplete(const std::wstring& url, bool topLevel) override {
        log.push_back({L"document", url, topLevel, 0});
    }
    void OnTitleChange(const std::wstring& title) override { log.push_back({L"title", title, false, 0}); }
};

void Pump(DWORD ms, const std::function<bool()>& done = nullptr) {
    const DWORD start = ::GetTickCount();
    while (::GetTickCount() - start < ms) {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        if (done && done()) return;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
}

bool Has(const std::vector<Seen>& log, const std::wstring& what, const std::wstring& url) {
    for (const auto& s : log)
        if (s.what == what && s.url == url) return true;
    return false;
}

const Seen* Find(const std::vector<Seen>& log, const std::wstring& what) {
    for (const auto& s : log)
        if (s.what == what) return &s;
    return nullptr;
}

HWND ChannelOf(HWND dialog) {
    return ::FindWindowExW(dialog, nullptr, fw::W(tamsolo::kBrowserChannelClass).c_str(), nullptr);
}

LRESULT SendCommand(HWND channel, ULONG_PTR command, const void* data, DWORD bytes) {
    COPYDATASTRUCT cds{};
    cds.dwData = command;
    cds.cbData = bytes;
    cds.lpData = const_cast<void*>(data);
    return ::SendMessageW(channel, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&cds));
}

LRESULT SendText(HWND channel, tamsolo::ChannelCommand command, const std::wstring& text) {
    return SendCommand(channel, static_cast<ULONG_PTR>(command), text.c_str(),
                       static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

class BrowserHostTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(page.Create());
        ASSERT_TRUE(page.Browser().IsCreated()) << "the web-browser control was not created";
        ::SetWindowPos(page.m_hWnd, nullptr, 100, 100, 480, 320, SWP_NOZORDER | SWP_SHOWWINDOW);
        Pump(100);
    }
    void TearDown() override {
        if (page.m_hWnd) page.DestroyWindow();
        Pump(50);
    }
    CTestPage page;
};

TEST_F(BrowserHostTest, BeforeNavigateFiltersPageCommands) {
    struct Case {
        const wchar_t* url;
        bool cancelled;
    } cases[] = {
        {L"app://loadgame?x", true},
        {L"app:", true},
        {L"javascript:void(0)", false},
    };
    for (const auto& c : cases) {
        page.log.clear();
        ASSERT_TRUE(page.Browser().Navigate(c.url)) << c.url;
        Pump(3000, [&] { return Find(page.log, L"before") != nullptr; });
        const Seen* before = Find(page.log, L"before");
        ASSERT_NE(before, nullptr) << c.url << ": no BeforeNavigate2";
        EXPECT_EQ(before->url, c.url);
        EXPECT_EQ(before->cancel, c.cancelled) << c.url;
        if (c.cancelled) {
            Pump(300);
            EXPECT_EQ(Find(page.log, L"error"), nullptr) << c.url << ": a cancelled command went on";
        }
    }
}

TEST_F(BrowserHostTest, UnreachablePageGetsTheNoticeAndRetry) {
    // Wine opens no document, so even a page the sandbox serves ends in a navigation error.
    const std::wstring url = kSandbox + L"/login.htm";
    ASSERT_TRUE(page.Browser().Navigate(url));
    Pump(10000, [&] { return Find(page.log, L"error") != nullptr; });
    ASSERT_TRUE(Has(page.log, L"before", url));
    const Seen* error = Find(page.log, L"error");
    ASSERT_NE(error, nullptr) << "no NavigateError";
    EXPECT_EQ(error->url, url);
    EXPECT_TRUE(error->cancel) << "the browser's own error page was not suppressed";

    HWND notice = page.Browser().NoticeWindow();
    ASSERT_NE(notice, nullptr) << "the player would see an empty window";
    EXPECT_TRUE(::IsWindowVisible(notice));
    EXPECT_EQ(page.Browser().FailedUrl(), url);
    ::UpdateWindow(page.m_hWnd);
    Pump(200);

    // Retry asks the control for the same address again.
    page.log.clear();
    HWND retry = ::GetDlgItem(notice, web::CPageNotice::kRetryId);
    ASSERT_NE(retry, nullptr);
    ::SendMessageW(retry, BM_CLICK, 0, 0);
    Pump(10000, [&] { return Find(page.log, L"error") != nullptr; });
    EXPECT_TRUE(Has(page.log, L"before", url));

    // A completed navigation takes the notice away again.
    HWND channel = ChannelOf(page.m_hWnd);
    ASSERT_NE(channel, nullptr);
    ASSERT_EQ(SendText(channel, tamsolo::ChannelCommand::kNavigateComplete, url), 1);
    Pump(2000, [&] { return Find(page.log, L"complete") != nullptr; });
    EXPECT_EQ(page.Browser().NoticeWindow(), nullptr);
    EXPECT_TRUE(page.Browser().FailedUrl().empty());
}

TEST_F(BrowserHostTest, HostFlagsReachTheSite) {
    EXPECT_EQ(page.Browser().SiteHostFlags(), 0x0Du);
    EXPECT_TRUE(page.Browser().SiteHasShowUI());
}

TEST_F(BrowserHostTest, ChannelRaisesCompleteAndTitleAndNavigates) {
    HWND channel = ChannelOf(page.m_hWnd);
    ASSERT_NE(channel, nullptr) << "the test build's channel window is missing";
    EXPECT_FALSE(::IsWindowVisible(channel));
    // The control is still the dialog's first child window.
    EXPECT_EQ(::GetWindow(page.m_hWnd, GW_CHILD), page.Browser().ControlWindow());

    const std::wstring game = kSandbox + L"/game.htm";
    ASSERT_EQ(SendText(channel, tamsolo::ChannelCommand::kNavigateComplete, game), 1);
    ASSERT_EQ(SendText(channel, tamsolo::ChannelCommand::kTitleChange, L"游戏"), 1);
    ASSERT_EQ(SendText(channel, tamsolo::ChannelCommand::kNavigate, L"app://exitgame"), 1);
    Pump(3000, [&] { return Find(page.log, L"before") != nullptr; });
    ASSERT_GE(page.log.size(), 4u);
    EXPECT_EQ(page.log[0].what, L"complete");
    EXPECT_EQ(page.log[0].url, game);
    EXPECT_TRUE(page.log[0].cancel) << "top level";
    EXPECT_EQ(page.log[1].what, L"document");
    EXPECT_EQ(page.log[2].what, L"title");
    EXPECT_EQ(page.log[2].url, L"游戏");
    EXPECT_EQ(page.log[3].what, L"before");
    EXPECT_TRUE(page.log[3].cancel);
    EXPECT_TRUE(page.HasDocument());
}

TEST_F(BrowserHostTest, ChannelRefusesMalformedCommands) {
    HWND channel = ChannelOf(page.m_hWnd);
    ASSERT_NE(channel, nullptr);
    const wchar_t text[] = L"http://x/";
    struct Case {
        ULONG_PTR command;
        const void* data;
        DWORD bytes;
    } cases[] = {
        {0, text, sizeof text},                 // no such command
        {99, text, sizeof text},                // no such command
        {1, text, 3},                           // odd byte count
        {1, nullptr, 8},                        // bytes announced, none given
    };
    for (const auto& c : cases) EXPECT_EQ(SendCommand(channel, c.command, c.data, c.bytes), 0) << c.command;
    Pump(200);
    EXPECT_TRUE(page.log.empty());
}

TEST(BrowserHostLifetime, DestroyTwiceAndNoObjectLeftAfterClose) {
    {
        CTestPage page;
        ASSERT_TRUE(page.Create());
        ASSERT_TRUE(page.Browser().IsCreated());
        EXPECT_GT(web::CBrowserHost::LiveComObjects(), 0);
        page.Browser().Destroy();
        page.Browser().Destroy();
        EXPECT_FALSE(page.Browser().IsCreated());
        EXPECT_FALSE(page.Browser().Navigate(L"app://x"));
        EXPECT_EQ(ChannelOf(page.m_hWnd), nullptr);
        page.DestroyWindow();
    }
    {
        CTestPage page;
        ASSERT_TRUE(page.Create());
        page.Browser().Navigate(L"app://loadgame?x");
        Pump(200);
        page.DestroyWindow();  // the dialog's own destruction closes the control
        EXPECT_FALSE(page.Browser().IsCreated());
    }
    Pump(500, [] { return web::CBrowserHost::LiveComObjects() == 0; });
    EXPECT_EQ(web::CBrowserHost::LiveComObjects(), 0) << "the control kept our site or a sink";
}

}  // namespace
