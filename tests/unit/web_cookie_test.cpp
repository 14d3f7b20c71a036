#include "web/cookie.h"

#include <gtest/gtest.h>

using namespace tamsolo;

TEST(Cookie, FoundByItsExactName) {
    struct Case {
        std::u16string cookies;
        bool found;
    } cases[] = {
        {u"Pauth=xyz", true},
        {u"a=1; Pauth=xyz; b=2", true},
        {u"a=1;Pauth=xyz", true},
        {u"a=1; Pauth = xyz", true},
        {u"a=1; b=2", false},  // the system hands back every cookie, whatever name it was asked for
        {u"", false},
        // Other names that hold the name, and values that hold it.
        {u"XPauth=1", false},
        {u"Pauth2=1; b=2", false},
        {u"pauth=1", false},
        {u"a=Pauth=1", false},
        {u"a=x; Pauth", false},  // a value without a name
        // A cleared cookie is no sign-in.
        {u"Pauth=; b=2", false},
        {u"a=1; Pauth=  ", false},
        {u"Pauth=; Pauth=ok", true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(HasCookie(c.cookies, u"Pauth"), c.found) << std::string(c.cookies.begin(), c.cookies.end());
    }
}
