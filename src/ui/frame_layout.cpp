#include "ui/frame_layout.h"

#include <algorithm>
#include <cstdlib>

namespace tamsolo::ui {

namespace {

void AddPiece(std::vector<BlitPiece>& out, int sx, int sy, int sw, int sh, int dx, int dy, int dw,
              int dh) {
    // A window smaller than its borders, or a skin smaller than its own borders, leaves some
    // pieces with no area; copying those would mirror or read outside the image.
    if (sw <= 0 || sh <= 0 || dw <= 0 || dh <= 0) return;
    out.push_back(BlitPiece{sx, sy, sw, sh, dx, dy, dw, dh});
}

}  // namespace

std::vector<BlitPiece> SkinPieces(Size image, Size window, int b, int titleHeight, bool nineSlice) {
    std::vector<BlitPiece> out;
    const int iw = image.cx, ih = image.cy, wn = window.cx, hn = window.cy;
    if (iw <= 0 || ih <= 0 || wn <= 0 || hn <= 0) return out;
    const int t = titleHeight == -1 ? b : titleHeight;

    if (nineSlice) {
        AddPiece(out, 0, 0, b, t, 0, 0, b, t);
        AddPiece(out, b, 0, iw - 2 * b, t, b, 0, wn - 2 * b, t);
        AddPiece(out, iw - b, 0, b, t, wn - b, 0, b, t);
        AddPiece(out, 0, t, b, ih - t - b, 0, t, b, hn - t - b);
        AddPiece(out, b, t, iw - 2 * b, ih - t - b, b, t, wn - 2 * b, hn - t - b);
        AddPiece(out, iw - b, t, b, ih - t - b, wn - b, t, b, hn - t - b);
        AddPiece(out, 0, ih - b, b, b, 0, hn - b, b, b);
        AddPiece(out, b, ih - b, iw - 2 * b, b, b, hn - b, wn - 2 * b, b);
        AddPiece(out, iw - b, ih - b, b, b, wn - b, hn - b, b, b);
        return out;
    }

    // The whole image at its natural size; only the part that lies inside both image and window.
    const int w = std::min(iw, wn), h = std::min(ih, hn);
    AddPiece(out, 0, 0, w, h, 0, 0, w, h);
    AddPiece(out, iw - b, 0, b, t, wn - b, 0, b, t);
    AddPiece(out, iw - b, t, b, ih - t - b, wn - b, t, b, hn - t - b);
    AddPiece(out, 0, ih - b, b, b, 0, hn - b, b, b);
    AddPiece(out, b, ih - b, iw - 2 * b, b, b, hn - b, wn - 2 * b, b);
    AddPiece(out, iw - b, ih - b, b, b, wn - b, hn - b, b, b);
    return out;
}

int AtSkinScale(int value, int dpi) {
    if (dpi <= 0 || dpi == kSkinDpi) return value;
    const long long scaled = static_cast<long long>(value) * kSkinDpi;
    // Halves round away from zero, as the system's MulDiv does.
    const long long half = dpi / 2;
    return static_cast<int>(scaled >= 0 ? (scaled + half) / dpi : -((-scaled + half) / dpi));
}

Rect AtSkinScale(const Rect& r, int dpi) {
    return Rect{AtSkinScale(r.left, dpi), AtSkinScale(r.top, dpi), AtSkinScale(r.right, dpi),
                AtSkinScale(r.bottom, dpi)};
}

std::vector<Point> RegionCutPixels(Size image, Size window,
                                   const std::function<bool(int, int)>& isKey) {
    std::vector<Point> cut;
    const int iw = image.cx, ih = image.cy, wn = window.cx, hn = window.cy;
    if (iw <= 0 || ih <= 0 || wn <= 0 || hn <= 0 || !isKey) return cut;
    const int cols = std::min(iw, 9);
    auto add = [&](int x, int y) {
        if (x >= 0 && y >= 0 && x < wn && y < hn) cut.push_back(Point{x, y});
    };
    for (int y = 0; y < std::min(ih, 9); ++y) {
        for (int x = 0; x < cols; ++x) {
            if (isKey(x, y)) add(x, y);
            if (isKey(iw - 1 - x, y)) add(wn - 1 - x, y);
        }
    }
    for (int y = std::max(0, ih - 9); y < ih; ++y) {
        for (int x = 0; x < cols; ++x) {
            if (isKey(x, y)) add(x, hn - ih + y);
            if (isKey(iw - 1 - x, y)) add(wn - 1 - x, hn - ih + y);
        }
    }
    std::sort(cut.begin(), cut.end());
    cut.erase(std::unique(cut.begin(), cut.end()), cut.end());
    return cut;
}

HitArea HitTestFrame(const HitTestInput& in) {
    const int x = in.pt.x, y = in.pt.y, w = in.client.cx, h = in.client.cy;
    const int b = in.border, t = in.titleHeight;
    if (in.maximized) return HitArea::Default;
    const bool inTitle = t == -1 || (y >= 0 && y < t);
    if (!in.resizable) return inTitle ? HitArea::Caption : HitArea::Default;

    const bool atTop = y >= 0 && y < b;
    const bool atBottom = y >= h - b && y < h;
    if (x >= 0 && x < b) return atTop ? HitArea::TopLeft : atBottom ? HitArea::BottomLeft : HitArea::Left;
    if (x >= w - b && x < w) {
        return atTop ? HitArea::TopRight : atBottom ? HitArea::BottomRight : HitArea::Right;
    }
    // The top sizing band is a thin fixed strip so the title bar stays easy to grab.
    if (y >= 0 && y < 3) return HitArea::Top;
    if (t == -1 || (y >= 3 && y < t)) return HitArea::Caption;
    if (atBottom) return HitArea::Bottom;
    return HitArea::Default;
}

int SizingEdge(HitArea area) {
    switch (area) {
        case HitArea::Left: return 1;
        case HitArea::Right: return 2;
        case HitArea::Top: return 3;
        case HitArea::TopLeft: return 4;
        case HitArea::TopRight: return 5;
        case HitArea::Bottom: return 6;
        case HitArea::BottomLeft: return 7;
        case HitArea::BottomRight: return 8;
        default: return 0;
    }
}

bool OnTitleRows(Point pt, int titleHeight) {
    return titleHeight == -1 || (pt.y >= 0 && pt.y < titleHeight);
}

Rect InitialRestoreRect(const Rect& work) {
    const int w = work.Width(), h = work.Height();
    return Rect{w / 8, h / 8, work.right - w / 8, work.bottom - h / 8};
}

Rect MaximizedRect(const Rect& work, int maxWidth, int maxHeight) {
    Rect r = work;
    if (r.Width() > maxWidth) {
        const int inset = (r.Width() - maxWidth) / 2;
        r.left += inset;
        r.right -= inset;
    }
    if (r.Height() > maxHeight) {
        const int inset = (r.Height() - maxHeight) / 2;
        r.top += inset;
        r.bottom -= inset;
    }
    return r;
}

CaptionButtonRects PlaceCaptionButtons(int clientRight, int rightMargin, int top, int spacing,
                                       Size close, Size maximize, Size minimize) {
    CaptionButtonRects r;
    int x = clientRight - rightMargin;
    r.close = Rect{x - close.cx, top, x, top + close.cy};
    const bool hasMax = maximize.cx > 0;
    if (hasMax) {
        x = x - close.cx - spacing;
        r.maximize = Rect{x - maximize.cx, top, x, top + maximize.cy};
    }
    if (minimize.cx > 0) {
        x = x - (hasMax ? maximize.cx : close.cx) - spacing;
        r.minimize = Rect{x - minimize.cx, top, x, top + minimize.cy};
    }
    return r;
}

std::vector<int> ReplaceCaptionButtons(int clientWidth, int rightMargin,
                                       const std::vector<ButtonSlot>& buttons) {
    std::vector<int> lefts(buttons.size(), 0);
    int x = clientWidth - rightMargin;
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        if (!buttons[i].exists) continue;
        x -= buttons[i].width;
        lefts[i] = x;
    }
    return lefts;
}

int TitleTextLeft(int border, bool iconDrawn) { return border + (iconDrawn ? 16 : 0) + 5; }

int TitleTextTop(int titleHeight, int fontHeight) {
    int y0 = (titleHeight - std::abs(fontHeight) + 1) / 2;
    if (y0 < 0) y0 = 6;
    return y0 - 2;
}

int TitleIconTop(int titleHeight) { return titleHeight == -1 ? 6 : (titleHeight - 15) / 2; }

}  // namespace tamsolo::ui
