// The page policy of CDHtmDlgEx on a fake element model: navigation filter, image buttons,
// dragging; and the reading of test-channel payloads and the unreachable-page texts.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "web/browserchannel.h"
#include "web/dhtmpolicy.h"
#include "web/pageerror.h"

namespace {

using tamsolo::CaptionMouse;
using tamsolo::ImageButtonPolicy;
using tamsolo::NavigationVerdict;

class FakeElement : public tamsolo::PageElement {
public:
    std::u16string cls = u"button", tag = u"div";
    bool disabled = false;
    bool hasStyle = true;
    long left = 10, top = 20, width = 40, height = 16;
    std::vector<long> positions;  // every backgroundPositionX written
    int clicks = 0;

    std::u16string ClassName() const override { return cls; }
    std::u16string TagName() const override { return tag; }
    bool DisabledIsTrue() const override { return disabled; }
    long OffsetLeft() const override { return left; }
    long OffsetTop() const override { return top; }
    long OffsetWidth() const override { return width; }
    long OffsetHeight() const override { return height; }
    bool SetBackgroundPositionX(long x) override {
        if (!hasStyle) return false;
        positions.push_back(x);
        return true;
    }
    void Click() override { ++clicks; }
    long Last() const { return positions.empty() ? 12345 : positions.back(); }
};

class FakeWindow : public tamsolo::PageHostWindow {
public:
    bool capture = false;
    int captures = 0, releases = 0;
    tamsolo::ScreenPoint cursor{300, 200};
    std::vector<std::pair<CaptionMouse, std::uint32_t>> sent;
    ImageButtonPolicy* policy = nullptr;  // told of a lost capture, as the window would be

    bool HasCapture() const override { return capture; }
    void CaptureMouse() override {
        ++captures;
        if (capture && policy) policy->CaptureLost();  // some systems tell even the same window
        capture = true;
    }
    void ReleaseMouse() override {
        ++releases;
        capture = false;
        if (policy) policy->CaptureLost();
    }
    tamsolo::ScreenPoint CursorPos() const override { return cursor; }
    void SendCaptionMouse(CaptionMouse kind, std::uint32_t packed) override { sent.emplace_back(kind, packed); }
};

TEST(NavigationFilter, PageCommandsScriptsAndTheRest) {
    struct Case {
        const char16_t* url;
        NavigationVerdict verdict;
    } cases[] = {
        {u"app://loadgame?x", NavigationVerdict::kCancel},
        {u"app:", NavigationVerdict::kCancel},
        {u"app:whatever", NavigationVerdict::kCancel},
        {u"APP://loadgame", NavigationVerdict::kUnchanged},  // case-sensitive
        {u"App:", NavigationVerdict::kUnchanged},
        {u"app", NavigationVerdict::kUnchanged},  // shorter than four characters
        {u"ap", NavigationVerdict::kUnchanged},
        {u"", NavigationVerdict::kUnchanged},
        {u" app:x", NavigationVerdict::kUnchanged},
        {u"javascript:void(0)", NavigationVerdict::kAllow},
        {u"javascript", NavigationVerdict::kAllow},
        {u"javascrip", NavigationVerdict::kUnchanged},
        {u"JavaScript:void(0)", NavigationVerdict::kUnchanged},
        {u"http://127.0.0.1/app:x", NavigationVerdict::kUnchanged},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(tamsolo::FilterNavigation(c.url), c.verdict) << std::string(c.url, c.url + std::char_traits<char16_t>::length(c.url));
        for (bool start : {false, true}) {
            bool cancel = start;
            tamsolo::ApplyNavigationFilter(c.url, &cancel);
            const bool expected = c.verdict == NavigationVerdict::kCancel  ? true
                                  : c.verdict == NavigationVerdict::kAllow ? false
                                                                           : start;
            EXPECT_EQ(cancel, expected);
        }
    }
    tamsolo::ApplyNavigationFilter(u"app:", nullptr);  // no flag: nothing to do, no crash
}

class ImageButtonTest : public ::testing::Test {
protected:
    void SetUp() override { window.policy = &policy; }
    FakeWindow window;
    ImageButtonPolicy policy{window};
    std::shared_ptr<FakeElement> button = std::make_shared<FakeElement>();
};

TEST_F(ImageButtonTest, HoverAndNormalFollowTheStripUnlessCapturedOrDisabled) {
    struct Case {
        bool capture, disabled;
        long afterHover, afterNormal;  // 12345: not written
    } cases[] = {
        {false, false, -40, 0},
        {false, true, 12345, 0},  // a disabled button does not light, but goes back to normal
        {true, false, 12345, 12345},
        {true, true, 12345, 12345},
    };
    for (const auto& c : cases) {
        auto b = std::make_shared<FakeElement>();
        b->disabled = c.disabled;
        window.capture = c.capture;
        policy.Hover(b);
        EXPECT_EQ(b->Last(), c.afterHover) << c.capture << c.disabled;
        policy.Normal(b);
        EXPECT_EQ(b->Last(), c.afterNormal) << c.capture << c.disabled;
    }
}

TEST_F(ImageButtonTest, PressCapturesAndShowsThePressedState) {
    policy.Press(button);
    EXPECT_TRUE(window.capture);
    EXPECT_TRUE(policy.Pressing());
    EXPECT_EQ(button->Last(), -80);
    EXPECT_EQ(button.use_count(), 2) << "the pressed button is held";
}

TEST_F(ImageButtonTest, DisabledButtonNeitherPressesNorCaptures) {
    button->disabled = true;
    policy.Press(button);
    EXPECT_FALSE(window.capture);
    EXPECT_FALSE(policy.Pressing());
    EXPECT_TRUE(button->positions.empty());
}

TEST_F(ImageButtonTest, ReleaseInWindowClicksOnlyInsideTheButton) {
    // The button covers x 10..49, y 20..35 of the client area.
    struct Case {
        long x, y;
        int clicks;
        long state;
    } cases[] = {
        {10, 20, 1, -40},   // top-left corner is inside
        {49, 35, 1, -40},   // last pixel inside
        {30, 28, 1, -40},
        {50, 28, 0, 0},     // right edge is outside
        {30, 36, 0, 0},     // bottom edge is outside
        {9, 28, 0, 0},
        {-5, -5, 0, 0},
    };
    for (const auto& c : cases) {
        auto b = std::make_shared<FakeElement>();
        policy.Press(b);
        EXPECT_TRUE(policy.ButtonUpInWindow(c.x, c.y));
        EXPECT_EQ(b->clicks, c.clicks) << c.x << "," << c.y;
        EXPECT_EQ(b->Last(), c.state) << c.x << "," << c.y;
        EXPECT_FALSE(window.capture);
        EXPECT_FALSE(policy.Pressing());
        EXPECT_EQ(b.use_count(), 1) << "the button is let go";
    }
}

TEST_F(ImageButtonTest, ReleaseWithoutCaptureGoesToTheWindow) {
    EXPECT_FALSE(policy.ButtonUpInWindow(30, 28));
    policy.Press(button);
    window.capture = false;  // taken by someone else without our hearing of it
    EXPECT_FALSE(policy.ButtonUpInWindow(30, 28));
    EXPECT_EQ(button->clicks, 0);
}

TEST_F(ImageButtonTest, ReleaseWithCaptureButNoButtonOnlyLetsGo) {
    window.capture = true;
    EXPECT_TRUE(policy.ButtonUpInWindow(30, 28));
    EXPECT_FALSE(window.capture);
}

TEST_F(ImageButtonTest, NewPressLetsGoOfTheEarlierButton) {
    auto first = std::make_shared<FakeElement>();
    policy.Press(first);
    policy.Press(button);
    EXPECT_EQ(first.use_count(), 1);
    EXPECT_EQ(policy.Captured().get(), button.get());
    EXPECT_TRUE(policy.Pressing()) << "re-capturing the same window must not end the new press";
    policy.ButtonUpInWindow(30, 28);
    EXPECT_EQ(first->clicks, 0);
    EXPECT_EQ(button->clicks, 1);
}

TEST_F(ImageButtonTest, ReleaseInPlaceHoversThenClicks) {
    policy.ReleaseInPlace(button);
    EXPECT_EQ(button->Last(), -40);
    EXPECT_EQ(button->clicks, 1);
}

TEST_F(ImageButtonTest, LostCaptureEndsThePressWithoutAClick) {
    policy.Press(button);
    window.capture = false;
    policy.CaptureLost();
    EXPECT_FALSE(policy.Pressing());
    EXPECT_EQ(button->Last(), 0);
    EXPECT_EQ(button->clicks, 0);
    EXPECT_EQ(button.use_count(), 1);
}

TEST_F(ImageButtonTest, MissingStyleSkipsTheChangeButStillClicks) {
    button->hasStyle = false;
    policy.Press(button);
    EXPECT_TRUE(policy.ButtonUpInWindow(30, 28));
    EXPECT_EQ(button->clicks, 1);
    EXPECT_TRUE(button->positions.empty());
}

TEST_F(ImageButtonTest, NullElementsAreIgnored) {
    policy.Hover(nullptr);
    policy.Normal(nullptr);
    policy.Press(nullptr);
    policy.ReleaseInPlace(nullptr);
    EXPECT_FALSE(policy.Pressing());
    EXPECT_EQ(window.captures, 0);
}

TEST(PageDrag, SendsCaptionMessagesWithTheCursorPacked) {
    FakeWindow window;
    tamsolo::PageDragPolicy drag(window);
    struct Case {
        long x, y;
        std::uint32_t packed;
    } cases[] = {
        {300, 200, 0x00C8012Cu},
        {0, 0, 0u},
        {-1, -2, 0xFFFEFFFFu},  // a screen left of or above the primary one
        {65536 + 5, 7, 0x00070005u},
    };
    for (const auto& c : cases) {
        window.sent.clear();
        window.cursor = {c.x, c.y};
        drag.Begin();
        drag.Move();
        drag.End();
        ASSERT_EQ(window.sent.size(), 3u);
        EXPECT_EQ(window.sent[0].first, CaptionMouse::kDown);
        EXPECT_EQ(window.sent[1].first, CaptionMouse::kMove);
        EXPECT_EQ(window.sent[2].first, CaptionMouse::kUp);
        for (const auto& s : window.sent) EXPECT_EQ(s.second, c.packed) << c.x << "," << c.y;
    }
}

TEST(BrowserChannel, ReadsOnlyWellFormedText) {
    const char16_t withZero[] = u"http://x/";
    const char16_t inner[] = {u'a', 0, u'b', 0};
    std::u16string big(tamsolo::kChannelTextMax + 1, u'x');
    std::u16string max(tamsolo::kChannelTextMax, u'x');
    struct Case {
        const void* data;
        std::size_t bytes;
        bool ok;
        std::u16string text;
    } cases[] = {
        {withZero, sizeof withZero, true, u"http://x/"},
        {withZero, sizeof withZero - 2, true, u"http://x/"},  // no terminator
        {withZero, 3, false, u""},                             // odd byte count
        {nullptr, 0, true, u""},
        {nullptr, 4, false, u""},
        {inner, sizeof inner, false, u""},  // a zero inside
        {big.data(), big.size() * 2, false, u""},
        {max.data(), max.size() * 2, true, max},
    };
    for (const auto& c : cases) {
        std::u16string text = u"unchanged";
        EXPECT_EQ(tamsolo::ReadChannelText(c.data, c.bytes, &text), c.ok) << c.bytes;
        if (c.ok) {
            EXPECT_EQ(text, c.text);
        }
    }
    EXPECT_FALSE(tamsolo::ReadChannelText(withZero, sizeof withZero, nullptr));
    EXPECT_FALSE(tamsolo::IsChannelCommand(0));
    EXPECT_TRUE(tamsolo::IsChannelCommand(1));
    EXPECT_TRUE(tamsolo::IsChannelCommand(3));
    EXPECT_FALSE(tamsolo::IsChannelCommand(4));
}

TEST(PageError, ServerErrorsNameTheirStatusOthersSayUnreachable) {
    struct Case {
        long status;
        const char16_t* headline;
        const char16_t* detail;
    } cases[] = {
        {404, u"游戏服务器暂时无法打开这个页面", u"服务器返回错误 404，请稍后重新连接。"},
        {500, u"游戏服务器暂时无法打开这个页面", u"服务器返回错误 500，请稍后重新连接。"},
        {599, u"游戏服务器暂时无法打开这个页面", u"服务器返回错误 599，请稍后重新连接。"},
        {static_cast<long>(0x800C0005), u"无法连接到游戏服务器", u"请检查网络连接，然后重新连接。"},
        {0, u"无法连接到游戏服务器", u"请检查网络连接，然后重新连接。"},
        {200, u"无法连接到游戏服务器", u"请检查网络连接，然后重新连接。"},
        {600, u"无法连接到游戏服务器", u"请检查网络连接，然后重新连接。"},
    };
    for (const auto& c : cases) {
        const auto text = tamsolo::PageErrorFor(c.status);
        EXPECT_EQ(text.headline, c.headline) << c.status;
        EXPECT_EQ(text.detail, c.detail) << c.status;
    }
}

TEST(PageError, OnlyServerAddressesGetTheNotice) {
    struct Case {
        const char16_t* url;
        bool server;
    } cases[] = {
        {u"http://127.0.0.1:18480/login.htm", true},
        {u"HTTPS://game.example/", true},
        {u"http://", true},
        {u"javascript:void(0)", false},
        {u"app://loadgame?x", false},
        {u"about:blank", false},
        {u"res://ieframe.dll/navcancl.htm", false},
        {u"http:/x", false},
        {u"htt", false},
        {u"", false},
    };
    for (const auto& c : cases) EXPECT_EQ(tamsolo::IsServerAddress(c.url), c.server);
}

}  // namespace
