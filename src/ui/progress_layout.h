// Geometry of the image progress bar: the fill is drawn as a left and a right piece so both
// shaped ends of the fill image show at any length.
#pragma once

#include "ui/geometry.h"

#include <string>

namespace tamsolo::ui {

struct FillPiece {
    int srcX = 0;   // from the fill image
    int destX = 0;  // in the bar
    int width = 0;  // 0 = nothing to draw
};

struct FillPieces {
    int length = 0;  // total filled pixels
    FillPiece left;
    FillPiece right;
};

// fillLeft/fillWidth: the fill rectangle; fillImageWidth: width of the fill image.
// The filled length is (fillWidth / range) * position, truncated, and kept within the fill.
// A range of zero or less draws nothing.
FillPieces ProgressFillPieces(int fillLeft, int fillWidth, int fillImageWidth, int lower, int upper,
                              int position);

// The fill image's rectangle, centred in the bar.
Rect CenteredFillRect(const Rect& bar, Size fill);

// The percentage shown on the bar ("%d%%").
std::u16string ProgressPercentText(int lower, int upper, int position);

}  // namespace tamsolo::ui
