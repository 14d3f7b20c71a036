#include "web/pagecommand.h"

#include <gtest/gtest.h>

using namespace tamsolo;

namespace {

// "S12服-《x》abcdefg-player1" in UTF-8, every byte escaped.
std::string PercentEncodeUtf8(const std::string& utf8) {
    static const char* hex = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : utf8) {
        out += '%';
        out += hex[c >> 4];
        out += hex[c & 15];
    }
    return out;
}

std::u16string Ascii(const std::string& s) { return std::u16string(s.begin(), s.end()); }

}  // namespace

TEST(PageCommand, KindsAndPositions) {
    struct Case {
        std::u16string url;
        PageCommandKind kind;
    } cases[] = {
        {u"http://127.0.0.1/x", PageCommandKind::kNone},
        {u"APP://loadgame?x|y", PageCommandKind::kNone},  // "app:" must be exact
        {u"ap", PageCommandKind::kNone},
        {u"app:", PageCommandKind::kUnknown},
        {u"app://loadgame", PageCommandKind::kLoadGame},
        {u"app:XXloadgame", PageCommandKind::kLoadGame},  // 4 and 5 are not examined
        {u"app://exitgame", PageCommandKind::kExitGame},
        {u"app://exitgame/anything", PageCommandKind::kExitGame},
        {u"app://minimize", PageCommandKind::kMinimize},
        {u"app://minimizeNow", PageCommandKind::kMinimize},
        {u"app://minimiz", PageCommandKind::kUnknown},
        {u"app://reload", PageCommandKind::kUnknown},
        {u"app://entergame|hall", PageCommandKind::kUnknown},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ParsePageCommand(c.url).kind, c.kind) << std::string(c.url.begin(), c.url.end());
    }
}

TEST(PageCommand, LoadGameSplitsArgumentAndAddress) {
    struct Case {
        std::u16string url, argument, address;
    } cases[] = {
        {u"app://loadgame?S12服-《x》abcdefg-player1|http://127.0.0.1:18480/game.php?s=12",
         u"S12服-《x》abcdefg-player1", u"http://127.0.0.1:18480/game.php?s=12"},
        {u"app://loadgame", u"", u""},
        {u"app://loadgame?", u"", u""},
        {u"app://loadgame?abc", u"", u""},  // no "|": neither argument nor address
        {u"app://loadgame?|http://g/", u"", u"http://g/"},
        {u"app://loadgame?a|b|c", u"a", u"b|c"},  // the first "|" divides
        {u"app://loadgame#a|b", u"a", u"b"},       // the separator may be anything
        {u"app://loadgame|a|b", u"a", u"b"},       // a "|" at 14 is the separator, not the divider
    };
    for (const auto& c : cases) {
        const PageCommand p = ParsePageCommand(c.url);
        EXPECT_EQ(p.kind, PageCommandKind::kLoadGame);
        EXPECT_EQ(p.loginArgument, c.argument);
        EXPECT_EQ(p.gameAddress, c.address);
    }
}

TEST(PageCommand, RegistrationTextFromLoginArgument) {
    struct Case {
        std::u16string argument, server, middle, account, text;
    } cases[] = {
        {u"S12服-《x》abcdefg-player1", u"12", u"abcd", u"player1", u"12服-abcd-player1"},
        {u"", u"", u"", u"", u"服--"},
        {u"12服-mid-acc", u"12", u"mid", u"acc", u"12服-mid-acc"},
        {u"SsS3S服-m-a-b", u"s3", u"m", u"a-b", u"s3服-m-a-b"},  // only capital S goes; account keeps later dashes
        {u"12服-x》ab-acc", u"12", u"ab", u"acc", u"12服-ab-acc"},  // fewer than four after 》
        {u"12服-x》y》z-acc", u"12", u"y》z", u"acc", u"12服-y》z-acc"},
        {u"12服-noDash", u"12", u"", u"12服-noDash", u"12服--12服-noDash"},  // no "-" after the middle
        {u"abc-def", u"", u"bc", u"def", u"服-bc-def"},  // without 服- the middle starts at 1
        {u"a", u"", u"", u"a", u"服--a"},
        {u"服-m-a", u"", u"m", u"a", u"服-m-a"},
    };
    for (const auto& c : cases) {
        const Registration r = SplitLoginArgument(c.argument);
        EXPECT_EQ(r.server, c.server);
        EXPECT_EQ(r.middle, c.middle);
        EXPECT_EQ(r.account, c.account);
        EXPECT_EQ(r.Text(), c.text);
    }
}

TEST(PageCommand, PercentEncodedArgumentGivesTheSameRegistration) {
    const std::string utf8 = "S12\xE6\x9C\x8D-\xE3\x80\x8Ax\xE3\x80\x8B" "abcdefg-player1";  // S12服-《x》abcdefg-player1
    const std::u16string url = u"app://loadgame?" + Ascii(PercentEncodeUtf8(utf8)) + u"|http://g/";
    const PageCommand p = ParsePageCommand(url);
    ASSERT_TRUE(NeedsPercentDecoding(p.loginArgument));
    const std::string ansi(p.loginArgument.begin(), p.loginArgument.end());  // ASCII: the same in any code page
    EXPECT_EQ(SplitLoginArgument(DecodeLoginArgument(ansi)).Text(), u"12服-abcd-player1");
}

TEST(PageCommand, PercentDecodingHasNoFixedLimit) {
    struct Case {
        std::string in, out;
    } cases[] = {
        {"a%20b", "a b"},
        {"%41%4a%4A", "AJJ"},
        {"100%", "100%"},       // a lone "%" stays
        {"%4", "%4"},
        {"%zz%41", "%zzA"},
        {"a+b", "a+b"},         // "+" is not an escape here
        {"%00x", std::string("\0x", 2)},
    };
    for (const auto& c : cases) EXPECT_EQ(PercentDecode(c.in), c.out) << c.in;

    // Far beyond the 255 bytes an older launcher decoded into: nothing is cut.
    std::string longAccount;
    for (int i = 0; i < 400; ++i) longAccount += "%41";
    EXPECT_EQ(DecodeLoginArgument(longAccount), std::u16string(400, u'A'));
}

TEST(PageCommand, Utf8DecodingReplacesMalformedBytes) {
    struct Case {
        std::string in;
        std::u16string out;
    } cases[] = {
        {"\xE6\x9C\x8D", u"服"},
        {"\xF0\x9F\x98\x80", u"\U0001F600"},
        {"\xE6\x9C", u"\uFFFD"},          // cut short
        {"\xC0\x80x", u"\uFFFD\uFFFDx"},  // overlong lead is never valid
        {"\xED\xA0\x80", u"\uFFFD"},      // a surrogate
        {"a\xFF" "b", u"a\uFFFDb"},
    };
    for (const auto& c : cases) EXPECT_EQ(Utf8ToUtf16(c.in), c.out);
}

TEST(PageCommand, OverlongLoginArgumentIsRefused) {
    EXPECT_TRUE(LoginArgumentFits(std::u16string(512, u'a')));
    EXPECT_FALSE(LoginArgumentFits(std::u16string(513, u'a')));
}

TEST(PageCommand, DuplicateMessageNamesAccountAndServer) {
    EXPECT_EQ(DuplicateAccountMessage(SplitLoginArgument(u"S12服-《x》abcdefg-player1")),
              u"账号 player1 已在 12服 登录，同一账号不能在一服重复登录");
}

TEST(EnterGame, FormAndName) {
    const std::u16string hall = u"http://hall.example/";
    struct Case {
        std::u16string url;
        bool isCommand, valid;
        std::u16string name, site;
    } cases[] = {
        {u"app://entergame|gamehall|http://x.example/dl", true, true, u"Gamehall", u"http://x.example/dl"},
        {u"app://entergame|gamehall", true, true, u"Gamehall", hall},
        {u"app://entergame|gamehall/", true, true, u"Gamehall", hall},  // browsers add a slash
        {u"app://entergame|Game_hall-2|HTTPS://x/", true, true, u"Game_hall-2", u"HTTPS://x/"},
        {u"app://entergame|9lives", true, true, u"9lives", hall},
        // A site the shell would run rather than browse keeps the default.
        {u"app://entergame|gamehall|file:///C:/x.exe", true, true, u"Gamehall", hall},
        {u"app://entergame|gamehall|C:\\Windows\\x.exe", true, true, u"Gamehall", hall},
        {u"app://entergame|gamehall|http://x/\" /c calc", true, true, u"Gamehall", hall},
        {u"app://entergame|gamehall|http:///x", true, true, u"Gamehall", hall},
        {u"app://entergame|gamehall|http://x/\x9B", true, true, u"Gamehall", hall},
        // Hostile or empty names: a command, cancelled, nothing started.
        {u"app://entergame|", true, false, u"", hall},
        {u"app://entergame||http://x/", true, false, u"", hall},
        {u"app://entergame|..\\..\\Windows\\calc", true, false, u"", hall},
        {u"app://entergame|a.b", true, false, u"", hall},
        {u"app://entergame|a b", true, false, u"", hall},
        {u"app://entergame|游戏", true, false, u"", hall},
        {u"app://entergame|" + std::u16string(65, u'a'), true, false, u"", hall},
        // The marker anywhere but at the start is no command.
        {u"http://x/?next=app://entergame|gamehall", false, false, u"", hall},
        {u"APP://entergame|gamehall", false, false, u"", hall},
    };
    for (const auto& c : cases) {
        const EnterGameCommand e = ParseEnterGame(c.url, hall);
        SCOPED_TRACE(std::string(c.url.begin(), c.url.end()));
        EXPECT_EQ(e.isCommand, c.isCommand);
        EXPECT_EQ(e.valid, c.valid);
        EXPECT_EQ(e.name, c.name);
        EXPECT_EQ(e.hallSite, c.site);
    }
    EXPECT_TRUE(ParseEnterGame(u"app://entergame|" + std::u16string(64, u'a'), hall).valid);
}

TEST(PageCommand, LoginButtonAreaNeverDrags) {
    struct Case {
        long x, y;
        bool inside;
    } cases[] = {
        {466, 10, true}, {516, 34, true}, {490, 20, true},
        {465, 20, false}, {517, 20, false}, {490, 9, false}, {490, 35, false}, {0, 0, false},
    };
    for (const auto& c : cases) EXPECT_EQ(InLoginButtonArea(c.x, c.y), c.inside) << c.x << "," << c.y;
}
