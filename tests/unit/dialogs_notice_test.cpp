#include "dialogs/notice.h"

#include <gtest/gtest.h>

#include <string>

using namespace tamsolo;

namespace {

std::string N(const std::u16string& s) { return std::string(s.begin(), s.end()); }

const std::u16string kToday = u"2026-12-08";

}  // namespace

TEST(NoticeRecord, FieldsAreSplitAndCutToTheirKeptLengths) {
    NoticeRecord r;
    ASSERT_TRUE(ParseNoticeRecord(u"7|2026-12-31 23:59|标题|http://k.com/a|正文|http://k.com/p.jpg|2", &r));
    EXPECT_EQ(r.id, u"7");
    EXPECT_EQ(r.expiry, u"2026-12-31 23:59");
    EXPECT_EQ(r.title, u"标题");
    EXPECT_EQ(r.link, u"http://k.com/a");
    EXPECT_EQ(r.text, u"正文");
    EXPECT_EQ(r.picture, u"http://k.com/p.jpg");
    EXPECT_EQ(r.repeat, 2);

    const std::u16string x(600, u'x');
    ASSERT_TRUE(ParseNoticeRecord(x + u"|" + x + u"|" + x + u"|" + x + u"|" + x + u"|" + x + u"|1|2", &r));
    EXPECT_EQ(r.id.size(), 31u);
    EXPECT_EQ(r.expiry.size(), 31u);
    EXPECT_EQ(r.title.size(), 63u);
    EXPECT_EQ(r.link.size(), 511u);
    EXPECT_EQ(r.text.size(), 511u);
    EXPECT_EQ(r.picture.size(), 511u);
    EXPECT_EQ(r.repeat, 1);  // the last field runs to the end: "1|2" reads as 1

    EXPECT_FALSE(ParseNoticeRecord(u"1|2|3|4|5|6", &r));
    EXPECT_FALSE(ParseNoticeRecord(u"", &r));
    ASSERT_TRUE(ParseNoticeRecord(u"||||||", &r));
    EXPECT_EQ(r.repeat, 0);
}

TEST(NoticeRecord, RepeatCountReadsLikeADecimalNumber) {
    struct Case {
        std::u16string field;
        int repeat;
    } cases[] = {{u" 12abc", 12}, {u"x", 0}, {u"99999999999999999999", 2147483647}};
    for (const Case& c : cases) {
        NoticeRecord r;
        ASSERT_TRUE(ParseNoticeRecord(u"||||||" + c.field, &r));
        EXPECT_EQ(r.repeat, c.repeat) << N(c.field);
    }
}

TEST(NoticeDecision, ShowsNewCurrentNoticesOnly) {
    const std::u16string today = u"1|2026-12-08|t|l|x|p|0";
    struct Case {
        const char* what;
        std::u16string fetched, stored, flag;
        bool shown;
    } cases[] = {
        {"new, dated today", today, u"", u"", true},
        {"dated yesterday", u"1|2026-12-07|t|l|x|p|0", u"", u"", false},
        {"dated next year", u"1|2027-01-01|t|l|x|p|0", u"", u"", true},
        {"date without hyphens", u"1|20261231|t|l|x|p|0", u"", u"", false},
        {"over-long date field", u"1|2027-01-01 and a very long tail of text|t|l|x|p|0", u"", u"", true},
        {"dismissed", today, today, u"0", false},
        {"dismissed, stored text inside the new one", u"ab" + today, today, u"0", false},
        {"not dismissed", today, today, u"1", true},
        {"flag other than exactly 0", today, today, u"0 ", true},
        {"changed text after a dismissal", u"2|2026-12-08|t|l|x|p|0", today, u"0", true},
        {"too few fields", u"1|2026-12-08|t|l|x|p", u"", u"", false},
        {"only a line break", u"\r\n1|2026-12-08|t|l|x|p|0", u"", u"", false},
    };
    for (const Case& c : cases) {
        std::u16string accepted;
        NoticeRecord r;
        EXPECT_EQ(DecideNotice(c.fetched, c.stored, c.flag, kToday, &accepted, &r), c.shown) << c.what;
        if (c.shown) {
            EXPECT_EQ(accepted, NoticeFirstLine(c.fetched)) << c.what;
        }
    }
}

TEST(NoticeDecision, NoticeIsOneLineSoItCannotWriteMoreKeys) {
    std::u16string accepted;
    NoticeRecord r;
    ASSERT_TRUE(DecideNotice(u"1|2026-12-08|t|l|x||1\r\nPopEnable=1\n[Other]\rKey=v", u"", u"", kToday, &accepted, &r));
    EXPECT_EQ(accepted, u"1|2026-12-08|t|l|x||1");
    EXPECT_EQ(r.repeat, 1);
    // A break inside the fields leaves too few of them.
    EXPECT_FALSE(DecideNotice(u"1|2026-12-08|t\n|l|x||1", u"", u"", kToday, &accepted, &r));
}

TEST(NoticeLayoutChoice, ByPictureAndText) {
    NoticeRecord r;
    r.picture = u"p";
    r.text = u"t";
    EXPECT_EQ(ChooseNoticeLayout(r), NoticeLayout::PictureAndText);
    r.text.clear();
    EXPECT_EQ(ChooseNoticeLayout(r), NoticeLayout::PictureOnly);
    r.picture.clear();
    EXPECT_EQ(ChooseNoticeLayout(r), NoticeLayout::TextOnly);
    r.text = u"t";
    EXPECT_EQ(ChooseNoticeLayout(r), NoticeLayout::TextOnly);
}

TEST(NoticeText, ShortenedWithDots) {
    struct Case {
        std::u16string text;
        std::size_t keep;
        std::u16string shown;
    } cases[] = {
        {u"0123456789", 54, u"0123456789..."},
        {std::u16string(60, u'字'), 54, std::u16string(54, u'字') + u"..."},
        {std::u16string(80, u'a'), 71, std::u16string(71, u'a') + u"..."},
        // A character outside the basic plane across the cut is left out whole.
        {std::u16string(53, u'a') + u"\U0001F600z", 54, std::u16string(53, u'a') + u"..."},
    };
    for (const Case& c : cases) EXPECT_EQ(ShortenNoticeText(c.text, c.keep), c.shown) << N(c.text);
}

TEST(NoticeLink, OnlyWebAddressesAreOpened) {
    struct Case {
        std::u16string link;
        bool opened;
    } cases[] = {
        {u"http://www.kelvra.com/news", true},
        {u"HTTPS://www.kelvra.com/", true},
        {u"http://", false},
        {u"C:\\Windows\\system32\\calc.exe", false},
        {u"\\\\server\\share\\run.exe", false},
        {u"file:///C:/x.exe", false},
        {u"javascript:alert(1)", false},
        {u" http://www.kelvra.com", false},
        // The shell puts the link on the browser's command line: it must stay one argument.
        {u"https:// x", false},
        {u"http://x/ --new-window", false},
        {u"http://\"x", false},
        {u"http://x/\" -url file:///C:/", false},
        {u"http://\tx", false},
        {u"http://x/\x7F", false},
        {u"http://x/\x85", false},
        {u"http:///x", false},
        {u"http://?x", false},
        {u"http://www.kelvra.com/新闻?id=1#top", true},
    };
    for (const Case& c : cases) EXPECT_EQ(IsWebLink(c.link), c.opened) << N(c.link);
}
