#include "ui/msgbox_layout.h"
#include "ui/progress_layout.h"

#include <gtest/gtest.h>

#include <climits>

using namespace tamsolo::ui;

TEST(ProgressFill, HalfWayDrawsBothEnds) {
    const FillPieces p = ProgressFillPieces(0, 390, 390, 0, 100, 50);
    EXPECT_EQ(p.length, 195);
    EXPECT_EQ(p.left.srcX, 0);
    EXPECT_EQ(p.left.destX, 0);
    EXPECT_EQ(p.left.width, 97);
    EXPECT_EQ(p.right.srcX, 390 - 98);
    EXPECT_EQ(p.right.destX, 97);
    EXPECT_EQ(p.right.width, 98);
}

TEST(ProgressFill, NothingAtZeroOrWithoutRangeAndNeverPastTheBar) {
    EXPECT_EQ(ProgressFillPieces(0, 390, 390, 0, 100, 0).length, 0);
    EXPECT_EQ(ProgressFillPieces(0, 390, 390, 0, 100, 0).left.width, 0);
    EXPECT_EQ(ProgressFillPieces(0, 390, 390, 0, 0, 50).length, 0);
    EXPECT_EQ(ProgressFillPieces(0, 390, 390, 0, 100, -5).length, 0);
    const FillPieces full = ProgressFillPieces(10, 390, 390, 0, 100, 1000);
    EXPECT_EQ(full.length, 390);
    EXPECT_EQ(full.right.srcX, 390 - 195);
    EXPECT_EQ(full.right.destX, 10 + 195);
    EXPECT_EQ(ProgressFillPieces(0, 390, 390, 0, 100, INT_MAX).length, 390);
}

TEST(ProgressFill, CentredFillAndPercentText) {
    EXPECT_EQ(CenteredFillRect({0, 0, 390, 21}, {380, 15}), (Rect{5, 3, 385, 18}));
    EXPECT_EQ(ProgressPercentText(0, 100, 50), u"50%");
    EXPECT_EQ(ProgressPercentText(0, 200, 50), u"25%");
    EXPECT_EQ(ProgressPercentText(0, 0, 50), u"0%");
}

TEST(MsgBoxLayout, SizeFollowsTextWithButtonMinimum) {
    // Narrow one-line text: two buttons of 57 plus margins.
    EXPECT_EQ(MsgBoxWindowSize(100, 17, 1, {57, 23}), (Size{174, 3 + 17 + 23 + 90}));
    // Wide text sets the width; two lines add three pixels each.
    EXPECT_EQ(MsgBoxWindowSize(300, 34, 2, {57, 23}), (Size{360, 6 + 34 + 23 + 90}));
    // Between the two buttons' width and that plus 60, the text still gets its margin.
    EXPECT_EQ(MsgBoxWindowSize(150, 17, 1, {57, 23}).cx, 210);
    EXPECT_EQ(MsgBoxWindowSize(114, 17, 1, {57, 23}).cx, 174);
}

TEST(MsgBoxLayout, ButtonsCentredAboveTheBottom) {
    const auto two = MsgBoxButtonRects(kMsgBoxYesNo, {174, 133}, {57, 23});
    ASSERT_EQ(two.size(), 2u);
    EXPECT_EQ(two[0], (Rect{20, 80, 77, 103}));
    EXPECT_EQ(two[1], (Rect{97, 80, 154, 103}));
    const auto one = MsgBoxButtonRects(99, {174, 133}, {57, 23});
    ASSERT_EQ(one.size(), 1u);
    EXPECT_EQ(one[0], (Rect{58, 80, 115, 103}));
}

TEST(MsgBoxLayout, StylesAndResults) {
    EXPECT_EQ(MsgBoxButtons(kMsgBoxYesNo)[1].caption, u"否");
    EXPECT_EQ(MsgBoxButtons(7).size(), 1u);  // unknown styles behave as OK only
    EXPECT_EQ(MsgBoxResultFor(kMsgBoxYesNo, kMsgBoxFirstButtonId), kResultYes);
    EXPECT_EQ(MsgBoxResultFor(kMsgBoxYesNo, kMsgBoxSecondButtonId), kResultNo);
    EXPECT_EQ(MsgBoxResultFor(kMsgBoxOkCancel, kMsgBoxSecondButtonId), kResultCancel);
    EXPECT_EQ(MsgBoxResultFor(kMsgBoxOk, kMsgBoxSecondButtonId), kResultCancel);  // no such button
}

TEST(MsgBoxLayout, LinesStackFromFixedTopAndDropCr) {
    const auto lines = MsgBoxLines(u"已成功移除\r\n或计算机重启后", 300, 200, 34);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].text, u"已成功移除");
    EXPECT_EQ(lines[0].left, 50);
    EXPECT_EQ(lines[0].top, 55);
    EXPECT_EQ(lines[1].text, u"或计算机重启后");
    EXPECT_EQ(lines[1].top, 55 + 17 + 3);
    EXPECT_EQ(MsgBoxLines(u"a\n", 100, 10, 34).size(), 2u);
    EXPECT_EQ(MsgBoxLineCount(u"a\nb\nc"), 3);
}
