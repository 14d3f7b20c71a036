#include "ui/label_layout.h"

#include <gtest/gtest.h>

using namespace tamsolo::ui;

namespace {

// Every unit 10 pixels wide, "W" 25 wide: enough to tell the breaking rules apart.
int Measure(const std::u16string& s) {
    int w = 0;
    for (char16_t c : s) w += c == u'W' ? 25 : 10;
    return w;
}

using Lines = std::vector<std::u16string>;

}  // namespace

TEST(LabelLines, CrIsIgnoredAndLfBreaks) {
    EXPECT_EQ(BreakLabelLines(u"a\r\nb", 100, Measure), (Lines{u"a", u"b"}));
    EXPECT_EQ(BreakLabelLines(u"a\rb", 100, Measure), (Lines{u"ab"}));
    EXPECT_EQ(BreakLabelLines(u"a\n", 100, Measure), (Lines{u"a", u""}));
    EXPECT_EQ(BreakLabelLines(u"", 100, Measure), (Lines{u""}));
}

TEST(LabelLines, WrapsBeforeTheCharacterThatOverflows) {
    // 35 pixels hold three 10-pixel characters.
    EXPECT_EQ(BreakLabelLines(u"登录其他账号吧", 35, Measure), (Lines{u"登录其", u"他账号", u"吧"}));
    // Exactly full is not over.
    EXPECT_EQ(BreakLabelLines(u"abc", 30, Measure), (Lines{u"abc"}));
}

TEST(LabelLines, TooWideCharacterStandsAlone) {
    EXPECT_EQ(BreakLabelLines(u"aWb", 20, Measure), (Lines{u"a", u"W", u"b"}));
    EXPECT_EQ(BreakLabelLines(u"W", 20, Measure), (Lines{u"W"}));
}

TEST(LabelLines, SurrogatePairIsNotSplit) {
    const std::u16string pair = u"\U0001F600";
    const auto lines = BreakLabelLines(u"a" + pair + u"b", 25, Measure);
    EXPECT_EQ(lines, (Lines{u"a", pair, u"b"}));
}

TEST(LabelGrowth, GrowsToFitButNeverShrinks) {
    EXPECT_EQ(LabelHeightFor(3, 17, 3), 17 * 3 + 2 * 3);
    EXPECT_EQ(GrownLabelHeight(20, 3, 17, 3), 57);
    EXPECT_EQ(GrownLabelHeight(100, 3, 17, 3), 100);
    EXPECT_EQ(LabelTextAreaLeft(100, 14, false), 20);
    EXPECT_EQ(LabelTextAreaRight(100, 14, true), 80);
    EXPECT_EQ(LabelImageLeft(100, 14, true), 83);
}
