// The browser host and CDHtmDlgEx on the real web-browser control under Wine: the control's
// own before-navigate and navigation-error events, the page-command filter, the notice shown
// for an unreachable page, the test channel, and tear-down.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "framework/app_win.h"
#include "framework/handle_win.h"
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
    bool closeOnNavigate = false;  // the page goes away from inside its before-navigate

protected:
    void OnBeforeNavigate(const std::wstring& url, bool* cancel) override {
        web::CDHtmDlgEx::OnBeforeNavigate(url, cancel);
        log.push_back({L"before", url, *cancel, 0});
        if (closeOnNavigate) DestroyWindow();
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
        // Wine's Navigate2 may take some ten seconds to return on a control's first real
        // navigation; its BeforeNavigate2 has come by then.
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

// Wine takes about ten seconds to give up on a page, and several times that on a loaded
// machine; the waits end as soon as the error is there.
constexpr DWORD kNavigationErrorWaitMs = 120000;

TEST_F(BrowserHostTest, UnreachablePageGetsTheNoticeAndRetry) {
    // Wine opens no document, so even a page the sandbox serves ends in a navigation error.
    const std::wstring url = kSandbox + L"/login.htm";
    ASSERT_TRUE(page.Browser().Navigate(url));
    Pump(kNavigationErrorWaitMs, [&] { return Find(page.log, L"error") != nullptr; });
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
    Pump(kNavigationErrorWaitMs, [&] { return Find(page.log, L"error") != nullptr; });
    EXPECT_TRUE(Has(page.log, L"before", url));
    ASSERT_TRUE(Has(page.log, L"error", url)) << "the retry did not fail as Wine fails every page";
    EXPECT_NE(page.Browser().NoticeWindow(), nullptr);

    // A completed navigation takes the notice away again.
    HWND channel = ChannelOf(page.m_hWnd);
    ASSERT_NE(channel, nullptr);
    ASSERT_EQ(SendText(channel, tamsolo::ChannelCommand::kNavigateComplete, url), 1);
    Pump(2000, [&] { return Find(page.log, L"complete") != nullptr; });
    EXPECT_EQ(page.Browser().NoticeWindow(), nullptr);
    EXPECT_TRUE(page.Browser().FailedUrl().empty());
}

TEST_F(BrowserHostTest, PageClosedFromItsRetryGoesQuietly) {
    const std::wstring url = kSandbox + L"/game.htm";
    ASSERT_TRUE(page.Browser().Navigate(url));
    Pump(kNavigationErrorWaitMs, [&] { return page.Browser().NoticeWindow() != nullptr; });
    HWND notice = page.Browser().NoticeWindow();
    ASSERT_NE(notice, nullptr);
    page.closeOnNavigate = true;
    ::SendMessageW(::GetDlgItem(notice, web::CPageNotice::kRetryId), BM_CLICK, 0, 0);
    Pump(200);
    EXPECT_EQ(page.m_hWnd, nullptr);
    EXPECT_FALSE(page.Browser().IsCreated());
    EXPECT_FALSE(::IsWindow(notice));
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

namespace {

// The page-event table of CDHtmDlgEx on a real dialog window, with elements of a fake page:
// which handler an element event reaches, and what it does to the window.
class FakeElement : public tamsolo::PageElement {
public:
    FakeElement(const char16_t* cls, const char16_t* tag) : cls_(cls), tag_(tag) {}
    std::u16string ClassName() const override { return cls_; }
    std::u16string TagName() const override { return tag_; }
    bool DisabledIsTrue() const override { return false; }
    long OffsetLeft() const override { return 10; }
    long OffsetTop() const override { return 10; }
    long OffsetWidth() const override { return 50; }
    long OffsetHeight() const override { return 20; }
    bool SetBackgroundPositionX(long x) override {
        positions.push_back(x);
        return true;
    }
    void Click() override { ++clicks; }
    std::vector<long> positions;
    int clicks = 0;

private:
    std::u16string cls_, tag_;
};

class CEventPage : public web::CDHtmDlgEx {
public:
    CEventPage() : web::CDHtmDlgEx(kBareTemplate, nullptr) {}
    HRESULT Raise(long dispid, const tamsolo::PageElementPtr& e) { return OnElementEvent(dispid, e); }
    std::vector<UINT> caption;  // non-client messages the drag handlers sent

protected:
    LRESULT WindowProc(UINT msg, WPARAM w, LPARAM l) override {
        if ((msg == WM_NCLBUTTONDOWN || msg == WM_NCLBUTTONUP || msg == WM_NCMOUSEMOVE) && w == HTCAPTION) {
            caption.push_back(msg);
            return 0;  // no move loop in a test: there is no real button to let go of
        }
        return web::CDHtmDlgEx::WindowProc(msg, w, l);
    }
};

TEST(DHtmDlgExEvents, TableSendsEachEventToItsHandler) {
    CEventPage page;
    ASSERT_TRUE(page.Create());
    EXPECT_TRUE(page.Browser().IsSilent()) << "script errors would raise dialogs";
    ::ShowWindow(page.m_hWnd, SW_SHOWNA);
    struct Case {
        const char16_t* cls;
        const char16_t* tag;
        long dispid;
        std::vector<long> positions;
        UINT caption;  // 0: none
    } cases[] = {
        {u"button", u"div", tamsolo::kDispMouseOver, {-50}, 0},  // the class entry wins over the div's
        {u"button", u"td", tamsolo::kDispMouseOut, {0}, 0},
        {u"button", u"div", tamsolo::kDispMouseMove, {}, WM_NCMOUSEMOVE},  // no class entry: the tag's
        {u"", u"body", tamsolo::kDispMouseDown, {}, WM_NCLBUTTONDOWN},
        {u"", u"td", tamsolo::kDispMouseUp, {}, WM_NCLBUTTONUP},
        {u"", u"div", tamsolo::kDispMouseMove, {}, WM_NCMOUSEMOVE},
        {u"", u"div", tamsolo::kDispContextMenu, {}, 0},
        {u"", u"span", tamsolo::kDispMouseDown, {}, 0},  // not in the table
        {u"Button", u"span", tamsolo::kDispMouseOver, {}, 0},
    };
    for (const auto& c : cases) {
        auto e = std::make_shared<FakeElement>(c.cls, c.tag);
        page.caption.clear();
        EXPECT_EQ(page.Raise(c.dispid, e), S_FALSE);
        EXPECT_EQ(e->positions, c.positions) << c.dispid;
        if (c.caption) {
            ASSERT_EQ(page.caption.size(), 1u) << c.dispid;
            EXPECT_EQ(page.caption[0], c.caption);
        } else {
            EXPECT_TRUE(page.caption.empty()) << c.dispid;
        }
    }
    page.DestroyWindow();
}

TEST(DHtmDlgExEvents, PressCapturesAndReleaseInsideClicks) {
    CEventPage page;
    ASSERT_TRUE(page.Create());
    ::ShowWindow(page.m_hWnd, SW_SHOWNA);
    struct Case {
        UINT up;
        int x, y;
        int clicks;
        long last;
    } cases[] = {
        {WM_LBUTTONUP, 20, 15, 1, -50},
        {WM_RBUTTONUP, 20, 15, 1, -50},  // a right release ends the press the same way
        {WM_LBUTTONUP, 200, 15, 0, 0},
    };
    for (const auto& c : cases) {
        auto e = std::make_shared<FakeElement>(u"button", u"a");
        page.Raise(tamsolo::kDispMouseDown, e);
        EXPECT_EQ(::GetCapture(), page.m_hWnd);
        EXPECT_EQ(e->positions.back(), -100);
        EXPECT_EQ(::SendMessageW(page.m_hWnd, c.up, 0, MAKELPARAM(c.x, c.y)), 0);
        EXPECT_NE(::GetCapture(), page.m_hWnd);
        EXPECT_EQ(e->clicks, c.clicks);
        EXPECT_EQ(e->positions.back(), c.last);
        EXPECT_EQ(e.use_count(), 1) << "the dialog still holds the button";
    }
    // Another window taking the capture ends a press without a click.
    auto e = std::make_shared<FakeElement>(u"button", u"a");
    page.Raise(tamsolo::kDispMouseDown, e);
    HWND other = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    ::SetCapture(other);
    EXPECT_EQ(e->positions.back(), 0);
    EXPECT_EQ(e.use_count(), 1);
    ::ReleaseCapture();
    ::DestroyWindow(other);
    page.DestroyWindow();
}

TEST(HtmlView, ChildViewHostsTheControl) {
    fw::Window parent(::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 300, 200, nullptr, nullptr, nullptr, nullptr));
    ASSERT_TRUE(parent);
    {
        web::CHtmlView view;
        ASSERT_TRUE(view.Create(parent.Get(), RECT{0, 0, 300, 200}, 1));
        EXPECT_TRUE(view.Browser().IsCreated());
        EXPECT_EQ(view.Browser().SiteHostFlags(), 0x0Cu);  // no text-selection veto in a plain view
        EXPECT_EQ(::GetParent(view.m_hWnd), parent.Get());
    }
    Pump(300, [] { return web::CBrowserHost::LiveComObjects() == 0; });
    EXPECT_EQ(web::CBrowserHost::LiveComObjects(), 0);
}

}  // namespace

namespace {

class CPlainPage : public web::CDHtmlDialog {
public:
    CPlainPage() : web::CDHtmlDialog(kBareTemplate, nullptr) {}
    int oks = 0, cancels = 0;

protected:
    void OnOK() override { ++oks; }
    void OnCancel() override { ++cancels; }
};

TEST(HtmlDialogKeys, KeysForThePageNeverReachTheDialogManager) {
    CPlainPage page;
    ASSERT_TRUE(page.Create());
    ::ShowWindow(page.m_hWnd, SW_SHOWNA);
    HWND control = page.Browser().ControlWindow();
    ASSERT_NE(control, nullptr);
    for (WPARAM key : {VK_RETURN, VK_ESCAPE, VK_TAB}) {
        // As a modal loop runs: the filters, then the dialog manager, then dispatch.
        MSG msg{control, WM_KEYDOWN, key, 0, 0, {0, 0}};
        if (page.PreTranslateMessage(&msg)) continue;
        if (::IsDialogMessageW(page.m_hWnd, &msg)) continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    Pump(100);
    EXPECT_EQ(page.oks, 0) << "Enter in the page would have closed the dialog";
    EXPECT_EQ(page.cancels, 0) << "Esc in the page would have closed the dialog";
    // The same keys on the dialog itself still reach the dialog manager.
    MSG esc{page.m_hWnd, WM_KEYDOWN, VK_ESCAPE, 0, 0, {0, 0}};
    EXPECT_TRUE(page.PreTranslateMessage(&esc));
    Pump(100);
    EXPECT_EQ(page.cancels, 1);
    page.DestroyWindow();
}

}  // namespace

namespace {

// A frame around a view that keeps F5 for itself, as the game frame does.
class CKeyFrame : public fw::CWnd {
public:
    std::vector<WPARAM> seen;
    BOOL PreTranslateMessage(MSG* msg) override {
        if (msg->message != WM_KEYDOWN) return FALSE;
        seen.push_back(msg->wParam);
        return msg->wParam == VK_F5;
    }
};

TEST(HtmlViewKeys, TheFrameSeesKeysForThePageFirstAndOnce) {
    CKeyFrame frame;
    ASSERT_TRUE(frame.CreateEx(0, L"frame", WS_POPUP, 0, 0, 300, 200, nullptr, nullptr));
    web::CHtmlView view;
    ASSERT_TRUE(view.Create(frame.m_hWnd, RECT{0, 0, 300, 200}, 1));
    HWND control = view.Browser().ControlWindow();
    ASSERT_NE(control, nullptr);
    struct Case {
        WPARAM key;
        BOOL consumed;
    } cases[] = {{VK_F5, TRUE}, {'A', TRUE}};
    for (const auto& c : cases) {
        frame.seen.clear();
        MSG msg{control, WM_KEYDOWN, c.key, 0, 0, {0, 0}};
        EXPECT_EQ(fw::WalkPreTranslateFilters(&msg), c.consumed) << c.key;
        EXPECT_EQ(frame.seen, std::vector<WPARAM>{c.key}) << "the frame was not asked exactly once";
    }
    view.DestroyWindow();
    frame.DestroyWindow();
}

}  // namespace
