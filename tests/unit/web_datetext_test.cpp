#include "web/datetext.h"

#include <gtest/gtest.h>

#include <string>

using namespace tamsolo;

TEST(DateText, FourDigitYearAndTwoDigitMonthAndDay) {
    EXPECT_EQ(DateText(2012, 5, 1), u"2012-05-01");
    EXPECT_EQ(DateText(987, 12, 31), u"0987-12-31");
}

TEST(DateComparison, PositiveWhenTheSecondIsLater) {
    struct Case {
        std::u16string a, b;
        int result;
    } cases[] = {
        {u"2012-05-01", u"2012-05-03 10:00", 2},
        {u"2012-05-03 10:00", u"2012-05-01", -2},
        {u"2012-5-1", u"2012-05-01", 0},
        {u"2012-05-01", u"2013-01-01", 1},        // the year decides before the month
        {u"2012-12-31", u"2012-01-31", -11},
        {u"2012-05-01", u"2012-05-01 anything at all", 0},
        {u"0002012-05-01", u"2012-05-01", 0},     // seven digits are still a part
        // What does not parse is earlier than any date that does, and equal to another such.
        {u"2012-05-01", u"20120501", -1},
        {u"20120501", u"2012-05-01", 1},
        {u"2012", u"2013", 0},
        {u"2012-05", u"2012-05-01", 1},
        {u"2012-05-01", u"", -1},
        {u"2012-05-01", u"12345678-05-01", -1},   // eight digits: over-long
        {u"2012-05-01", u"2012-123456789012-01", -1},
        {u"2012-05-01", u"2012-05-99999999999999999999", -1},
        {u"2012-05-01", u"2012-O5-01", -1},       // a letter O
        {u"2012-05-01", u"-2012-05-01", -1},
        {u"2012-05-01", u"2012--01", -1},
        {u"2012-05-01", u"2012-05-01-07", -1},
        {u"2012-05-01", u" 2012-05-01", -1},      // cut at its first blank: nothing left
        {u"2012-05-01", u"２０１２-05-01", -1},     // full-width digits
        {u"2012-05-01", std::u16string(5000, u'9') + u"-1-1", -1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CompareDateTexts(&c.a, &c.b), c.result)
            << std::string(c.a.begin(), c.a.end()) << " / " << std::string(c.b.begin(), c.b.end());
    }
}

TEST(DateComparison, MissingTexts) {
    const std::u16string date = u"2012-05-01";
    const std::u16string junk = u"x";
    EXPECT_EQ(CompareDateTexts(nullptr, nullptr), 0);
    EXPECT_EQ(CompareDateTexts(&date, nullptr), -1);
    EXPECT_EQ(CompareDateTexts(nullptr, &date), 1);
    EXPECT_EQ(CompareDateTexts(&date, &date), 0);
    EXPECT_EQ(CompareDateTexts(&junk, &junk), 0);
    EXPECT_EQ(CompareDateTexts(nullptr, &junk), 0);
}
