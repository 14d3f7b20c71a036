#include "mainwnd/tabstrip.h"

namespace tamsolo {

ui::Rect TabRect(int t) {
    const int left = kTabLeft + kTabWidth * t;
    return ui::Rect{left, kTabTop, left + kTabWidth, kTabTop + kTabHeight};
}

ui::Rect TabCloseRect(int t) {
    const int right = kTabLeft + kTabWidth * (t + 1);
    return ui::Rect{right - kCloseSize, kTabTop, right, kTabTop + kCloseSize};
}

ui::Rect TabTextRect(int t) {
    const int left = kTabLeft + kTabWidth * t;
    return ui::Rect{left + 16, 8, left + kTabWidth - kCloseSize, 22};
}

bool InTabStrip(ui::Point p, int pages) {
    return pages > 0 && p.x > kTabLeft && p.x < kTabLeft + kTabWidth * pages && p.y >= kTabTop && p.y <= 24;
}

int TabAt(int x) { return (x - kTabLeft) / kTabWidth; }

bool OnTabClose(ui::Point p, int t) {
    const ui::Rect r = TabCloseRect(t);
    return p.x >= r.left && p.x < r.right && p.y < r.bottom;
}

ui::Rect StripAfterAdd(int pages) {
    return ui::Rect{kTabLeft, kTabTop, kTabLeft + kTabWidth * pages, kTabTop + kTabHeight};
}

ui::Rect StripAfterRemove(int pagesLeft) {
    return ui::Rect{kTabLeft, kTabTop, kTabLeft + kTabWidth * (pagesLeft + 1), kTabTop + kTabHeight};
}

int TabImageIndex(int t, int current, int hovered) {
    if (t == current) return 2;
    return t == hovered ? 1 : 0;
}

void TabHover::Set(int hovered, int closeState) {
    hovered_ = hovered;
    close_ = closeState;
}

HoverEffects TabHover::Move(ui::Point p, int pages, bool leftDown, bool caption) {
    HoverEffects fx;
    if (!InTabStrip(p, pages)) {
        if (hovered_ >= 0) fx.invalidate.push_back(TabRect(hovered_));
        hovered_ = -1;
        close_ = kNoHover;
        if (tipTab_ != -1) fx.tooltip = 0;
        tipTab_ = -1;
        return fx;
    }
    const int t = TabAt(p.x);
    int close = kTabHovered;
    if (OnTabClose(p, t)) close = leftDown ? kClosePressed : kCloseHovered;

    // The tooltip names the tab under the mouse, and stays away from the close button.
    const int wantTip = close == kTabHovered ? t : -1;
    if (wantTip != tipTab_) {
        fx.tooltip = wantTip == -1 ? 0 : 1;
        fx.tipTab = wantTip;
        tipTab_ = wantTip;
    }

    if (t != hovered_ || close != close_) {
        const int old = hovered_;
        if (old >= 0) fx.invalidate.push_back(t == old ? TabCloseRect(old) : TabRect(old));
        hovered_ = t;
        close_ = close;
        if (old != t) fx.invalidate.push_back(TabRect(t));
    }
    if (!tracking_ && !caption) fx.trackLeave = true;
    return fx;
}

HoverEffects TabHover::Leave(bool client) {
    HoverEffects fx;
    if (hovered_ >= 0) fx.invalidate.push_back(TabRect(hovered_));
    hovered_ = -1;
    close_ = kNoHover;
    if (tipTab_ != -1) fx.tooltip = 0;
    tipTab_ = -1;
    if (client) tracking_ = false;
    return fx;
}

}  // namespace tamsolo
