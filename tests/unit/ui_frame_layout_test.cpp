#include "ui/frame_layout.h"

#include <gtest/gtest.h>

#include <set>

using namespace tamsolo::ui;

namespace {

BlitPiece P(int sx, int sy, int sw, int sh, int dx, int dy, int dw, int dh) {
    return BlitPiece{sx, sy, sw, sh, dx, dy, dw, dh};
}

}  // namespace

TEST(SkinPieces, NineSliceWithTitleBarSpreadsEdgesAndKeepsCorners) {
    // 30x51 skin, border 4, title 30, on a 200x120 window.
    const auto p = SkinPieces({30, 51}, {200, 120}, 4, 30, true);
    ASSERT_EQ(p.size(), 9u);
    EXPECT_EQ(p[0], P(0, 0, 4, 30, 0, 0, 4, 30));
    EXPECT_EQ(p[1], P(4, 0, 22, 30, 4, 0, 192, 30));
    EXPECT_EQ(p[2], P(26, 0, 4, 30, 196, 0, 4, 30));
    EXPECT_EQ(p[3], P(0, 30, 4, 17, 0, 30, 4, 86));
    EXPECT_EQ(p[4], P(4, 30, 22, 17, 4, 30, 192, 86));
    EXPECT_EQ(p[5], P(26, 30, 4, 17, 196, 30, 4, 86));
    EXPECT_EQ(p[6], P(0, 47, 4, 4, 0, 116, 4, 4));
    EXPECT_EQ(p[7], P(4, 47, 22, 4, 4, 116, 192, 4));
    EXPECT_EQ(p[8], P(26, 47, 4, 4, 196, 116, 4, 4));
    EXPECT_FALSE(p[0].Stretched());
    EXPECT_TRUE(p[4].Stretched());
}

TEST(SkinPieces, NoTitleBarUsesBorderAsTopRow) {
    const auto p = SkinPieces({30, 30}, {100, 80}, 3, -1, true);
    ASSERT_EQ(p.size(), 9u);
    EXPECT_EQ(p[0], P(0, 0, 3, 3, 0, 0, 3, 3));
    EXPECT_EQ(p[4], P(3, 3, 24, 24, 3, 3, 94, 74));  // centre: Hn - 2b high from Ih - 2b
    EXPECT_EQ(p[8], P(27, 27, 3, 3, 97, 77, 3, 3));
}

TEST(SkinPieces, UnslicedDrawsNaturalSizeThenRightAndBottomBorders) {
    const auto p = SkinPieces({250, 191}, {300, 200}, 3, 20, false);
    ASSERT_EQ(p.size(), 6u);
    EXPECT_EQ(p[0], P(0, 0, 250, 191, 0, 0, 250, 191));  // clipped to the image
    EXPECT_EQ(p[1], P(247, 0, 3, 20, 297, 0, 3, 20));
    EXPECT_EQ(p[2], P(247, 20, 3, 168, 297, 20, 3, 177));
    EXPECT_EQ(p[3], P(0, 188, 3, 3, 0, 197, 3, 3));
    EXPECT_EQ(p[4], P(3, 188, 244, 3, 3, 197, 294, 3));
    EXPECT_EQ(p[5], P(247, 188, 3, 3, 297, 197, 3, 3));
}

TEST(SkinPieces, DegenerateSizesGiveNoInvertedPieces) {
    EXPECT_TRUE(SkinPieces({0, 0}, {100, 100}, 3, 20, true).empty());
    EXPECT_TRUE(SkinPieces({30, 51}, {0, 0}, 3, 20, true).empty());
    for (const BlitPiece& piece : SkinPieces({30, 51}, {5, 10}, 4, 30, true)) {
        EXPECT_GT(piece.sw, 0);
        EXPECT_GT(piece.dw, 0);
        EXPECT_GT(piece.dh, 0);
    }
}

TEST(RegionCutPixels, OnlyCornerKeyPixelsCutAnchoredToWindowCorners) {
    // 30x51 skin whose only key pixels are (0,0), the top-right (29,0), the bottom-left (0,50),
    // one at (15,25) in the middle, and (12,0) just outside the 9-column corner.
    std::set<std::pair<int, int>> key = {{0, 0}, {29, 0}, {0, 50}, {15, 25}, {12, 0}};
    auto isKey = [&](int x, int y) { return key.count({x, y}) > 0; };
    const auto cut = RegionCutPixels({30, 51}, {400, 300}, isKey);
    const std::vector<Point> expected = {{0, 0}, {399, 0}, {0, 299}};
    EXPECT_EQ(cut, expected);
}

TEST(RegionCutPixels, SmallImagesAndSmallWindowsStayInBounds) {
    auto all = [](int, int) { return true; };
    // A 4x4 image: every pixel is in all four corners; results are unique and inside the window.
    const auto cut = RegionCutPixels({4, 4}, {4, 4}, all);
    EXPECT_EQ(cut.size(), 16u);
    // A window smaller than the image drops the pixels that fall outside it.
    for (const Point& pt : RegionCutPixels({30, 51}, {6, 6}, all)) {
        EXPECT_GE(pt.x, 0);
        EXPECT_GE(pt.y, 0);
        EXPECT_LT(pt.x, 6);
        EXPECT_LT(pt.y, 6);
    }
}

TEST(HitTestFrame, FixedAndMaximisedWindows) {
    HitTestInput in{{50, 10}, {300, 200}, 4, 30, false, false};
    EXPECT_EQ(HitTestFrame(in), HitArea::Caption);
    in.pt = {0, 0};
    EXPECT_EQ(HitTestFrame(in), HitArea::Caption);  // fixed windows have no sizing corners
    in.pt = {50, 30};
    EXPECT_EQ(HitTestFrame(in), HitArea::Default);
    in.titleHeight = -1;
    EXPECT_EQ(HitTestFrame(in), HitArea::Caption);  // no title bar: drag from anywhere
    in.maximized = true;
    in.resizable = true;
    EXPECT_EQ(HitTestFrame(in), HitArea::Default);
}

TEST(HitTestFrame, ResizableBordersCornersAndThinTopBand) {
    HitTestInput in{{0, 0}, {300, 200}, 4, 30, false, true};
    auto at = [&](int x, int y) {
        in.pt = {x, y};
        return HitTestFrame(in);
    };
    EXPECT_EQ(at(0, 0), HitArea::TopLeft);
    EXPECT_EQ(at(3, 100), HitArea::Left);
    EXPECT_EQ(at(2, 199), HitArea::BottomLeft);
    EXPECT_EQ(at(299, 3), HitArea::TopRight);
    EXPECT_EQ(at(296, 100), HitArea::Right);
    EXPECT_EQ(at(299, 196), HitArea::BottomRight);
    EXPECT_EQ(at(100, 2), HitArea::Top);
    EXPECT_EQ(at(100, 3), HitArea::Caption);  // the top band is 3 pixels even with border 4
    EXPECT_EQ(at(100, 29), HitArea::Caption);
    EXPECT_EQ(at(100, 30), HitArea::Default);
    EXPECT_EQ(at(100, 196), HitArea::Bottom);
    EXPECT_EQ(SizingEdge(HitArea::Left), 1);
    EXPECT_EQ(SizingEdge(HitArea::BottomRight), 8);
    EXPECT_EQ(SizingEdge(HitArea::Caption), 0);
}

TEST(FrameRects, RestoreAndMaximise) {
    // The restore rectangle is measured from the work area's size, not shifted by its origin.
    EXPECT_EQ(InitialRestoreRect({0, 0, 1600, 872}), (Rect{200, 109, 1400, 763}));
    EXPECT_EQ(InitialRestoreRect({100, 0, 1700, 872}), (Rect{200, 109, 1500, 763}));
    EXPECT_EQ(MaximizedRect({0, 0, 1920, 1040}, 1440, 900), (Rect{240, 70, 1680, 970}));
    EXPECT_EQ(MaximizedRect({0, 0, 1024, 740}, 1024, 740), (Rect{0, 0, 1024, 740}));
}

TEST(FrameRects, BackToTheSkinsScale) {
    // A control of a template laid out at 150 %, back at 100 %, each edge to the nearest pixel.
    EXPECT_EQ(AtSkinScale(Rect{33, 92, 186, 110}, 144), (Rect{22, 61, 124, 73}));
    EXPECT_EQ(AtSkinScale(Rect{-3, 0, 3, 1}, 144), (Rect{-2, 0, 2, 1}));
    EXPECT_EQ(AtSkinScale(Rect{5, 6, 7, 8}, 96), (Rect{5, 6, 7, 8}));
    EXPECT_EQ(AtSkinScale(Rect{5, 6, 7, 8}, 0), (Rect{5, 6, 7, 8}));  // no scale known: as it is
}

TEST(CaptionButtons, SpacingOnSetSkinButTouchingAfterResize) {
    const auto r = PlaceCaptionButtons(300, 5, 1, 4, {33, 28}, {27, 28}, {27, 28});
    EXPECT_EQ(r.close, (Rect{262, 1, 295, 29}));
    EXPECT_EQ(r.maximize, (Rect{231, 1, 258, 29}));
    EXPECT_EQ(r.minimize, (Rect{200, 1, 227, 29}));
    // Without a maximise button the minimise button stands next to close.
    const auto r2 = PlaceCaptionButtons(300, 0, 0, 0, {33, 28}, {0, 0}, {27, 28});
    EXPECT_EQ(r2.minimize, (Rect{240, 0, 267, 28}));
    const auto lefts = ReplaceCaptionButtons(400, 5, {{true, 33}, {true, 27}, {true, 27}});
    EXPECT_EQ(lefts, (std::vector<int>{362, 335, 308}));
}

TEST(TitleText, Position) {
    EXPECT_EQ(TitleTextTop(30, -12), 7);
    EXPECT_EQ(TitleTextTop(-1, -12), 4);  // no title bar: fixed top
    EXPECT_EQ(TitleTextLeft(4, true), 25);
    EXPECT_EQ(TitleIconTop(30), 7);
    EXPECT_EQ(TitleIconTop(-1), 6);
}
