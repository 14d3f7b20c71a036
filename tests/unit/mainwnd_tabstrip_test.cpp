#include "mainwnd/tabstrip.h"

#include <gtest/gtest.h>

#include <vector>

using namespace tamsolo;
using tamsolo::ui::Point;
using tamsolo::ui::Rect;

TEST(TabStrip, Geometry) {
    EXPECT_EQ(TabRect(0), (Rect{120, 3, 309, 25}));
    EXPECT_EQ(TabRect(2), (Rect{498, 3, 687, 25}));
    EXPECT_EQ(TabCloseRect(1), (Rect{485, 3, 498, 16}));
    EXPECT_EQ(TabTextRect(1), (Rect{325, 8, 485, 22}));
    EXPECT_EQ(StripAfterAdd(2), (Rect{120, 3, 498, 25}));
    EXPECT_EQ(StripAfterRemove(1), (Rect{120, 3, 498, 25}));  // covers the tab that went
    EXPECT_EQ(TabImageIndex(1, 1, 1), 2);
    EXPECT_EQ(TabImageIndex(0, 1, 0), 1);
    EXPECT_EQ(TabImageIndex(2, 1, 0), 0);
}

TEST(TabStrip, HitArea) {
    struct Case {
        Point p;
        int pages;
        bool in;
        int tab;
        bool close;
    } cases[] = {
        {{120, 10}, 1, false, 0, false},  // the left edge itself is outside
        {{121, 3}, 1, true, 0, false},
        {{308, 24}, 1, true, 0, false},
        {{121, 25}, 1, false, 0, false},
        {{121, 2}, 1, false, 0, false},
        {{309, 10}, 1, false, 0, false},  // past the only tab
        {{309, 10}, 2, true, 1, false},
        {{296, 3}, 2, true, 0, true},
        {{308, 15}, 2, true, 0, true},
        {{308, 16}, 2, true, 0, false},   // below the close square
        {{295, 5}, 2, true, 0, false},
        {{680, 4}, 3, true, 2, true},
        {{500, 10}, 0, false, 0, false},  // no pages, no strip
    };
    for (const Case& c : cases) {
        EXPECT_EQ(InTabStrip(c.p, c.pages), c.in) << c.p.x << "," << c.p.y << " n=" << c.pages;
        if (!c.in) continue;
        EXPECT_EQ(TabAt(c.p.x), c.tab) << c.p.x;
        EXPECT_EQ(OnTabClose(c.p, c.tab), c.close) << c.p.x << "," << c.p.y;
    }
}

TEST(TabHover, MovesAcrossTheStrip) {
    // One mouse path over three tabs; each step names what must be repainted and what the
    // tooltip does.
    struct Step {
        const char* what;
        Point p;
        bool leftDown;
        int hovered, close;
        std::vector<Rect> invalidate;
        int tooltip, tipTab;
    } steps[] = {
        {"onto tab 0", {130, 10}, false, 0, kTabHovered, {TabRect(0)}, 1, 0},
        {"within tab 0: nothing", {200, 12}, false, 0, kTabHovered, {}, -1, -1},
        {"onto its close button", {300, 5}, false, 0, kCloseHovered, {TabCloseRect(0)}, 0, -1},
        {"pressed on it", {301, 6}, true, 0, kClosePressed, {TabCloseRect(0)}, -1, -1},
        {"back onto the tab", {250, 10}, false, 0, kTabHovered, {TabCloseRect(0)}, 1, 0},
        {"over to tab 1", {320, 10}, false, 1, kTabHovered, {TabRect(0), TabRect(1)}, 1, 1},
        {"to tab 2's close", {680, 4}, false, 2, kCloseHovered, {TabRect(1), TabRect(2)}, 0, -1},
        {"out of the strip", {700, 40}, false, -1, kNoHover, {TabRect(2)}, -1, -1},
        {"still out: nothing", {700, 50}, false, -1, kNoHover, {}, -1, -1},
    };
    TabHover hover;
    for (const Step& s : steps) {
        const HoverEffects fx = hover.Move(s.p, 3, s.leftDown, true);
        EXPECT_EQ(hover.Hovered(), s.hovered) << s.what;
        EXPECT_EQ(hover.Close(), s.close) << s.what;
        EXPECT_EQ(fx.invalidate, s.invalidate) << s.what;
        EXPECT_EQ(fx.tooltip, s.tooltip) << s.what;
        if (fx.tooltip == 1) {
            EXPECT_EQ(fx.tipTab, s.tipTab) << s.what;
        }
        EXPECT_FALSE(fx.trackLeave) << s.what;  // over the caption the system tracks leaving
    }
}

TEST(TabHover, LeavingAndTracking) {
    TabHover hover;
    HoverEffects fx = hover.Move({130, 10}, 2, false, false);
    EXPECT_TRUE(fx.trackLeave);
    hover.SetTracking(true);
    fx = hover.Move({140, 10}, 2, false, false);
    EXPECT_FALSE(fx.trackLeave);  // asked once is enough

    fx = hover.Leave(false);
    EXPECT_EQ(fx.invalidate, (std::vector<Rect>{TabRect(0)}));
    EXPECT_EQ(fx.tooltip, 0);
    EXPECT_EQ(hover.Hovered(), -1);
    EXPECT_TRUE(hover.Tracking());  // the non-client leave keeps the client request
    fx = hover.Leave(true);
    EXPECT_TRUE(fx.invalidate.empty());
    EXPECT_FALSE(hover.Tracking());

    // Coming back over the same tab shows its tooltip again.
    fx = hover.Move({130, 10}, 2, false, true);
    EXPECT_EQ(fx.tooltip, 1);
    EXPECT_EQ(fx.tipTab, 0);

    // A tab removed under the mouse: the state is reset from outside, the next move repaints.
    hover.Reset();
    fx = hover.Move({130, 10}, 1, false, true);
    EXPECT_EQ(fx.invalidate, (std::vector<Rect>{TabRect(0)}));
}
