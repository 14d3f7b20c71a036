#include "ui/progress_layout.h"

#include <algorithm>

namespace tamsolo::ui {

FillPieces ProgressFillPieces(int fillLeft, int fillWidth, int fillImageWidth, int lower, int upper,
                              int position) {
    FillPieces p;
    const int range = upper - lower;
    if (range <= 0 || fillWidth <= 0) return p;
    const double exact = static_cast<double>(fillWidth) / range * position;
    // A position outside the range must not draw past the bar or read outside the image.
    int len = exact <= 0 ? 0 : exact >= fillWidth ? fillWidth : static_cast<int>(exact);
    len = std::min(len, std::max(fillImageWidth, 0));
    p.length = len;
    if (len == 0) return p;
    const int leftWidth = len / 2;
    const int rightWidth = len - leftWidth;
    p.left = FillPiece{0, fillLeft, leftWidth};
    p.right = FillPiece{fillImageWidth - rightWidth, fillLeft + leftWidth, rightWidth};
    return p;
}

Rect CenteredFillRect(const Rect& bar, Size fill) {
    Rect r;
    r.left = bar.left + (bar.Width() - fill.cx) / 2;
    r.top = bar.top + (bar.Height() - fill.cy) / 2;
    r.right = r.left + fill.cx;
    r.bottom = r.top + fill.cy;
    return r;
}

std::u16string ProgressPercentText(int lower, int upper, int position) {
    const int range = upper - lower;
    const long long pct = range > 0 ? static_cast<long long>(position) * 100 / range : 0;
    const std::string s = std::to_string(pct) + "%";
    return std::u16string(s.begin(), s.end());
}

}  // namespace tamsolo::ui
