#include "mainwnd/pagelist.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "app/protocol.h"

using namespace tamsolo;

namespace {

PageList ThreePages() {
    PageList list;
    for (int i = 0; i < 3; ++i) {
        list.AddName(u"s" + std::u16string(1, static_cast<char16_t>(u'1' + i)) + u"服-x-acc");
        list.AddPage(static_cast<PageHandle>(100 + i));
    }
    return list;
}

std::vector<char> Bytes(const std::u16string& units) {
    std::vector<char> b(units.size() * 2);
    std::memcpy(b.data(), units.data(), b.size());
    return b;
}

}  // namespace

TEST(PageList, RegistrationTextsAreExactKeys) {
    PageList list;
    EXPECT_TRUE(list.AddName(u"1服-a-Player"));
    EXPECT_FALSE(list.AddName(u"1服-a-Player"));   // already logging in
    EXPECT_TRUE(list.AddName(u"1服-a-player"));    // letter case counts
    list.AddPage(100);
    EXPECT_FALSE(list.AddName(u"1服-a-Player"));   // already playing
    EXPECT_EQ(list.NameAt(0), u"1服-a-Player");
    EXPECT_EQ(list.NameAt(1), u"");
    EXPECT_EQ(list.NameAt(-1), u"");
}

// A text belongs to the process that sent it: its tab is the frame of that process, and a
// login that ends without a frame takes its text along.
TEST(PageList, TextsFollowTheirProcesses) {
    struct Step {
        char op;  // 'n' text from process, 'p' frame of process, 'd' process ended without frame
        PageProcess process;
        std::u16string text;
    };
    struct Case {
        const char* what;
        std::vector<Step> steps;
        std::vector<std::u16string> captions;
        std::u16string freeAgain;  // an account that may log in again afterwards
    } cases[] = {
        {"frames register in another order than their texts",
         {{'n', 7, u"1服-a-A"}, {'n', 8, u"2服-a-B"}, {'p', 8, u""}, {'p', 7, u""}},
         {u"2服-a-B", u"1服-a-A"}, u""},
        {"a login that died leaves no text behind for later tabs",
         {{'n', 7, u"1服-a-A"}, {'d', 7, u""}, {'n', 8, u"2服-a-B"}, {'p', 8, u""}},
         {u"2服-a-B"}, u"1服-a-A"},
        {"a frame whose process sent nothing takes no other process's text",
         {{'n', 7, u"1服-a-A"}, {'p', 9, u""}, {'p', 7, u""}},
         {u"", u"1服-a-A"}, u""},
        {"texts of unknown senders keep the order they came in",
         {{'n', 0, u"1服-a-A"}, {'n', 0, u"2服-a-B"}, {'p', 5, u""}, {'p', 6, u""}},
         {u"1服-a-A", u"2服-a-B"}, u""},
    };
    for (const Case& c : cases) {
        PageList list;
        PageHandle next = 100;
        for (const Step& s : c.steps) {
            if (s.op == 'n') {
                EXPECT_TRUE(list.AddName(s.text, s.process)) << c.what;
            } else if (s.op == 'p') {
                list.AddPage(next++, s.process);
            } else {
                list.DropWaitingNames(s.process);
            }
        }
        std::vector<std::u16string> captions;
        for (int t = 0; t < list.Count(); ++t) captions.push_back(list.NameAt(t));
        EXPECT_EQ(captions, c.captions) << c.what;
        EXPECT_TRUE(list.WaitingProcesses().empty()) << c.what;
        if (!c.freeAgain.empty()) {
            EXPECT_TRUE(list.AddName(c.freeAgain, 10)) << c.what;
        }
    }
}

TEST(PageList, NewPageBecomesCurrentAndTheFourthIsStillTaken) {
    PageList list = ThreePages();
    EXPECT_EQ(list.Count(), 3);
    EXPECT_EQ(list.Current(), 2);
    EXPECT_TRUE(list.Full());
    // The limit is checked only before a page process is started; a late frame is kept.
    list.AddPage(200);
    EXPECT_EQ(list.Count(), 4);
    EXPECT_EQ(list.CurrentPage(), 200u);
    EXPECT_TRUE(list.Holds(101));
    EXPECT_FALSE(list.Holds(999));
}

TEST(PageList, ClosingATab) {
    struct Case {
        const char* what;
        int current, close;
        std::vector<PageHandle> left;
        int newCurrent;
        std::u16string newCurrentName;
    } cases[] = {
        {"middle of three: the former third is current", 0, 1, {100, 102}, 1, u"s3服-x-acc"},
        {"rightmost: the new rightmost is current", 2, 2, {100, 101}, 1, u"s2服-x-acc"},
        {"leftmost", 2, 0, {101, 102}, 0, u"s2服-x-acc"},
    };
    for (const Case& c : cases) {
        PageList list = ThreePages();
        ASSERT_TRUE(list.Select(c.current));
        PageHandle removed = 0;
        ASSERT_TRUE(list.Remove(c.close, &removed)) << c.what;
        EXPECT_EQ(removed, static_cast<PageHandle>(100 + c.close)) << c.what;
        EXPECT_EQ(list.Pages(), c.left) << c.what;
        EXPECT_EQ(list.Current(), c.newCurrent) << c.what;
        EXPECT_EQ(list.NameAt(list.Current()), c.newCurrentName) << c.what;
        // The closed account may log in again.
        EXPECT_TRUE(list.AddName(u"s" + std::u16string(1, static_cast<char16_t>(u'1' + c.close)) + u"服-x-acc"))
            << c.what;
    }
}

TEST(PageList, IndicesOutOfRangeAreNeverUsed) {
    PageList list = ThreePages();
    PageHandle removed = 7;
    EXPECT_FALSE(list.Remove(3, &removed));
    EXPECT_FALSE(list.Remove(-1, &removed));
    EXPECT_EQ(removed, 7u);
    EXPECT_FALSE(list.Select(3));
    EXPECT_EQ(list.At(5), 0u);

    // A frame whose process never sent a text: removing it leaves the names alone.
    PageList unnamed;
    unnamed.AddPage(1);
    unnamed.AddPage(2);
    ASSERT_TRUE(unnamed.Remove(1, &removed));
    EXPECT_EQ(unnamed.Count(), 1);
    EXPECT_EQ(unnamed.NameAt(0), u"");
    ASSERT_TRUE(unnamed.Remove(0, &removed));
    EXPECT_EQ(unnamed.CurrentPage(), 0u);
    EXPECT_EQ(unnamed.Current(), 0);
}

TEST(PageList, SwitchingWrapsAndNeedsTwoPages) {
    PageList list = ThreePages();
    std::vector<int> seen;
    for (int i = 0; i < 4; ++i) {
        list.SelectNext();
        seen.push_back(list.Current());
    }
    EXPECT_EQ(seen, (std::vector<int>{0, 1, 2, 0}));
    PageList one;
    one.AddPage(5);
    one.SelectNext();
    EXPECT_EQ(one.Current(), 0);
    PageList none;
    none.SelectNext();
    EXPECT_EQ(none.CurrentPage(), 0u);
}

TEST(MinimumSize, GrowsWithThePages) {
    struct Case {
        int pages, w, h;
        bool changed;
        int wantW, wantH;
    } cases[] = {
        {0, 1, 1, false, 1, 1},          // before the first page: any size
        {1, 600, 500, true, 672, 500},
        {2, 800, 200, true, 861, 260},
        {2, 861, 260, false, 861, 260},  // exactly the minimum passes
        {3, 1280, 720, false, 1280, 720},
        {3, 1000, 100, true, 1050, 260},
    };
    for (const Case& c : cases) {
        int w = c.w, h = c.h;
        EXPECT_EQ(ApplyMinimumSize(c.pages, &w, &h), c.changed) << c.pages << " " << c.w << "x" << c.h;
        EXPECT_EQ(w, c.wantW);
        EXPECT_EQ(h, c.wantH);
    }
}

TEST(RegistrationRecord, OnlyWellFormedRecordsAreRead) {
    const std::u16string good = std::u16string(u"1服-a-b") + u'\0';
    std::vector<char> oversize = Bytes(std::u16string(kMaxRegistrationBytes / 2 + 1, u'x'));
    oversize[oversize.size() - 2] = 0;
    oversize[oversize.size() - 1] = 0;  // terminated, but one unit too long overall
    std::vector<char> padded = Bytes(std::u16string(u"ab") + u'\0' + u"junk");
    std::vector<char> odd = Bytes(good);
    odd.push_back('x');
    struct Case {
        const char* what;
        std::vector<char> bytes;
        bool null;
        bool ok;
        std::u16string text;
    } cases[] = {
        {"as the login page sends it", Bytes(good), false, true, u"1服-a-b"},
        {"text after the terminator is ignored", padded, false, true, u"ab"},
        {"no terminator", Bytes(u"abc"), false, false, u""},
        {"odd byte count", odd, false, false, u""},
        {"one byte", {'a'}, false, false, u""},
        {"no bytes", {}, false, false, u""},
        {"no data pointer", Bytes(good), true, false, u""},
        {"empty text", Bytes(std::u16string(1, u'\0')), false, false, u""},
        {"over the bound", oversize, false, false, u""},
    };
    for (const Case& c : cases) {
        std::u16string text = u"unchanged";
        // A heap copy of exactly the record's size, so ASan catches any read past it.
        std::vector<char> record(c.bytes);
        const void* data = c.null || record.empty() ? nullptr : record.data();
        EXPECT_EQ(ReadRegistrationRecord(data, record.size(), &text), c.ok) << c.what;
        EXPECT_EQ(text, c.ok ? c.text : u"unchanged") << c.what;
    }
    // The largest record accepted: exactly the bound with the terminator last.
    std::vector<char> largest = Bytes(std::u16string(kMaxRegistrationBytes / 2 - 1, u'y') + u'\0');
    std::u16string text;
    EXPECT_TRUE(ReadRegistrationRecord(largest.data(), largest.size(), &text));
    EXPECT_EQ(text.size(), kMaxRegistrationBytes / 2 - 1);
}
