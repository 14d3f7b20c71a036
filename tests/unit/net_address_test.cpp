#include "net/address.h"

#include <gtest/gtest.h>

using namespace tamsolo;

namespace {

SplitAddress Split(const std::u16string& address, bool* ok = nullptr) {
    SplitAddress parts;
    const bool result = SplitHttpAddress(address, &parts);
    if (ok) *ok = result;
    return parts;
}

const std::u16string kDomains[3] = {u"kelvra.com", u"kelvra.cn", u"kelvracdn.com"};

bool Permitted(const std::u16string& address) { return IsPermittedAddress(address, kDomains, 3); }

}  // namespace

TEST(AddressSplit, HostPortAndObject) {
    auto p = Split(u"http://update.kelvra.com/update/ConfigTamsolo.htm");
    EXPECT_EQ(p.host, u"update.kelvra.com");
    EXPECT_EQ(p.port, 80);
    EXPECT_EQ(p.object, u"update/ConfigTamsolo.htm");

    p = Split(u"http://127.0.0.1:8080/a/b?c=d");
    EXPECT_EQ(p.host, u"127.0.0.1");
    EXPECT_EQ(p.port, 8080);
    EXPECT_EQ(p.object, u"a/b?c=d");

    // No slash: the rest is the host, the object is empty.
    p = Split(u"http://tj.kelvra.com:18480");
    EXPECT_EQ(p.host, u"tj.kelvra.com");
    EXPECT_EQ(p.port, 18480);
    EXPECT_EQ(p.object, u"");

    // A colon at the end keeps the default port.
    p = Split(u"http://www.kelvra.com:/x");
    EXPECT_EQ(p.host, u"www.kelvra.com");
    EXPECT_EQ(p.port, 80);
    // The port stops at the first non-digit.
    EXPECT_EQ(Split(u"http://h:8080abc/").port, 8080);
}

TEST(AddressSplit, RefusesWhatDoesNotFit) {
    bool ok = true;
    Split(u"http://", &ok);
    EXPECT_FALSE(ok);
    Split(u"http:/", &ok);
    EXPECT_FALSE(ok);
    Split(u"http:///object", &ok);
    EXPECT_FALSE(ok);
    Split(u"http://" + std::u16string(259, u'h') + u"/x", &ok);
    EXPECT_TRUE(ok);
    Split(u"http://" + std::u16string(260, u'h') + u"/x", &ok);
    EXPECT_FALSE(ok);
    Split(u"http://h/" + std::u16string(511, u'o'), &ok);
    EXPECT_TRUE(ok);
    Split(u"http://h/" + std::u16string(512, u'o'), &ok);
    EXPECT_FALSE(ok);
}

TEST(PermittedDomain, OperatorHostsPass) {
    EXPECT_TRUE(Permitted(u"http://kelvra.com/new.exe"));
    EXPECT_TRUE(Permitted(u"http://update.kelvra.com/new.exe"));
    EXPECT_TRUE(Permitted(u"http://a.b.kelvracdn.com:8080/new.exe"));
    EXPECT_TRUE(Permitted(u"http://dl.kelvra.cn"));
    EXPECT_TRUE(Permitted(u"HTTP://Update.KELVRA.com/new.exe"));
}

TEST(PermittedDomain, LookAlikesAndSubstringTricksFail) {
    EXPECT_FALSE(Permitted(u"http://attacker.example/?kelvra.com"));
    EXPECT_FALSE(Permitted(u"http://attacker.example/kelvra.com/new.exe"));
    EXPECT_FALSE(Permitted(u"http://kelvra.com.attacker.example/new.exe"));
    EXPECT_FALSE(Permitted(u"http://evilkelvra.com/new.exe"));
    EXPECT_FALSE(Permitted(u"http://kelvra.co/new.exe"));
    EXPECT_FALSE(Permitted(u"http://kelvra.com@attacker.example/new.exe"));
    EXPECT_FALSE(Permitted(u"http://attacker.example\\.kelvra.com/new.exe"));
    EXPECT_FALSE(Permitted(u"http://.kelvra.com.x/"));
    EXPECT_FALSE(Permitted(u"https://update.kelvra.com/new.exe"));
    EXPECT_FALSE(Permitted(u"ftp://a.kelvra.com/new.exe"));
    EXPECT_FALSE(Permitted(u""));
    // An empty domain in the list permits nothing.
    const std::u16string empty[1] = {u""};
    EXPECT_FALSE(IsPermittedAddress(u"http://x/", empty, 1));
}

TEST(HttpPrefix, IgnoresCaseAndNeedsAllSevenCharacters) {
    EXPECT_TRUE(HasHttpPrefix(u"http://a"));
    EXPECT_TRUE(HasHttpPrefix(u"HtTp://"));
    EXPECT_FALSE(HasHttpPrefix(u"https://a"));
    EXPECT_FALSE(HasHttpPrefix(u"http:/"));
    EXPECT_FALSE(HasHttpPrefix(u" http://a"));
}

TEST(Progress, PercentOfAnnouncedLength) {
    EXPECT_EQ(ProgressPercent(0, 1000), 0);
    EXPECT_EQ(ProgressPercent(512, 1000), 51);
    EXPECT_EQ(ProgressPercent(999, 1000), 99);
    EXPECT_EQ(ProgressPercent(1000, 1000), 100);
    EXPECT_EQ(ProgressPercent(1500, 1000), 100);
    // A zero length must not divide by zero; it is complete at once.
    EXPECT_EQ(ProgressPercent(0, 0), 100);
    // 100 MB does not overflow the multiplication.
    EXPECT_EQ(ProgressPercent(50ull << 20, 100ull << 20), 50);
}

TEST(NextReadSize, GrowsOnAFastLineShrinksOnASlowOneWithinBounds) {
    struct Case {
        std::uint32_t asked, got;
        double ms;
        std::uint32_t next;
    } const cases[] = {
        {512, 512, 1, 1024},             // filled at once: double
        {32768, 32768, 10, 65536},
        {kMostRead, kMostRead, 1, kMostRead},  // never above the most
        {4096, 4096, 100, 4096},         // neither quick nor slow: keep
        {4096, 100, 1, 4096},            // the body's end came first: keep
        {4096, 4096, 300, 2048},         // slow: halve
        {65536, 65536, 5000, 32768},
        {512, 512, 5000, kLeastRead},    // never below the least
    };
    for (const Case& c : cases) {
        EXPECT_EQ(NextReadSize(c.asked, c.got, c.ms), c.next) << c.asked << " " << c.got << " " << c.ms;
    }
}
