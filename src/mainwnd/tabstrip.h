// The tab strip in the main window's title band: where each tab, its close button and its
// caption stand, and which tab and close button are lit while the mouse moves. Portable; the
// window carries out the invalidations and tooltip changes it is told.
#pragma once

#include <vector>

#include "ui/geometry.h"

namespace tamsolo {

constexpr int kTabLeft = 120;
constexpr int kTabWidth = 189;
constexpr int kTabTop = 3;
constexpr int kTabHeight = 22;
constexpr int kCloseSize = 13;

// Tab images: 0 normal, 1 hovered, 2 current. Close images: 0 normal, 1 hovered, 2 pressed.
enum CloseState { kNoHover = -1, kTabHovered = 0, kCloseHovered = 1, kClosePressed = 2 };

ui::Rect TabRect(int t);
ui::Rect TabCloseRect(int t);
ui::Rect TabTextRect(int t);
// The strip as far as n tabs reach: 120 < x < 120 + 189n, 3 <= y <= 24.
bool InTabStrip(ui::Point p, int pages);
// The tab under x; only meaningful inside the strip.
int TabAt(int x);
// Whether p (inside tab t) is on that tab's close button.
bool OnTabClose(ui::Point p, int t);
// The strip area repainted when a tab is added (n tabs now) or removed (n tabs left, the old
// last one included).
ui::Rect StripAfterAdd(int pages);
ui::Rect StripAfterRemove(int pagesLeft);
// Which tab image tab t shows.
int TabImageIndex(int t, int current, int hovered);

// What the window has to do after a hover update.
struct HoverEffects {
    std::vector<ui::Rect> invalidate;
    // -1 nothing; 0 hide the tooltip; 1 show it with the caption of tipTab.
    int tooltip = -1;
    int tipTab = -1;
    bool trackLeave = false;
};

class TabHover {
public:
    // The mouse is at p (client coordinates) with `pages` tabs; leftDown: the left button is
    // down now; caption: the frame's hit test reports the title band there (the system tracks
    // non-client leaving by itself then).
    HoverEffects Move(ui::Point p, int pages, bool leftDown, bool caption);
    // The mouse left the window (client: forget the leave request too).
    HoverEffects Leave(bool client);
    // A tab press, a close, a selection: state set from outside.
    void Set(int hovered, int closeState);
    void Reset() { Set(-1, kNoHover); }
    // The leave request was made (or not).
    void SetTracking(bool tracking) { tracking_ = tracking; }

    int Hovered() const { return hovered_; }
    int Close() const { return close_; }
    int TipTab() const { return tipTab_; }
    bool Tracking() const { return tracking_; }

private:
    int hovered_ = -1;
    int close_ = kNoHover;
    int tipTab_ = -1;
    bool tracking_ = false;
};

}  // namespace tamsolo
