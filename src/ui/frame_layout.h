// Geometry of the skinned window frame: how a skin image is cut and spread over a window,
// which corner pixels shape the window, what the mouse is over, and where the window goes
// when it is maximised or restored.
#pragma once

#include "ui/geometry.h"

#include <functional>
#include <vector>

namespace tamsolo::ui {

// One copy from the skin image to the window. When the source and destination sizes differ
// the copy is a plain stretch.
struct BlitPiece {
    int sx = 0, sy = 0, sw = 0, sh = 0;
    int dx = 0, dy = 0, dw = 0, dh = 0;
    bool Stretched() const { return sw != dw || sh != dh; }
    bool operator==(const BlitPiece& o) const {
        return sx == o.sx && sy == o.sy && sw == o.sw && sh == o.sh && dx == o.dx && dy == o.dy &&
               dw == o.dw && dh == o.dh;
    }
};

// Pieces that paint a window of windowSize from a skin of imageSize, in drawing order.
// border is the skin's corner size; titleHeight -1 means "no title bar" and the top row is then
// as high as the border. Unsliced skins are drawn at their natural size and then get their
// right edge and bottom row stretched so a larger window still has a right and bottom border.
// Pieces that would be empty (window smaller than its borders) are left out.
std::vector<BlitPiece> SkinPieces(Size imageSize, Size windowSize, int border, int titleHeight,
                                  bool nineSlice);

// Window pixels to cut away so the window takes the shape of the skin's four 9x9 corners.
// isKey(x, y) tells whether image pixel (x, y) is the transparent key colour. Each corner of the
// image is anchored to the same corner of the window, whatever the window's size. Pixels that
// fall outside the window are dropped; the list is sorted and has no duplicates.
std::vector<Point> RegionCutPixels(Size imageSize, Size windowSize,
                                   const std::function<bool(int x, int y)>& isKey);

// Skins and the places code gives controls are pixels of a display at 100 % (96 dots per inch);
// a template's controls and font follow the display's scale instead. This brings a length or
// a rectangle of a display at `dpi` back to the skin's scale (rounded to the nearest pixel).
constexpr int kSkinDpi = 96;
int AtSkinScale(int value, int dpi);
Rect AtSkinScale(const Rect& r, int dpi);

enum class HitArea {
    Default,  // let the system answer (client area)
    Caption,
    Left,
    Right,
    Top,
    TopLeft,
    TopRight,
    Bottom,
    BottomLeft,
    BottomRight,
};

struct HitTestInput {
    Point pt;           // client coordinates
    Size client;
    int border = 3;
    int titleHeight = -1;
    bool maximized = false;
    bool resizable = false;
};

HitArea HitTestFrame(const HitTestInput& in);

// The interactive-sizing edge code (1 left ... 8 bottom-right) the system's SC_SIZE command
// takes for a border area; 0 for areas that do not size.
int SizingEdge(HitArea area);

// True when a client-area double-click of a maximised window lands on the title rows.
bool OnTitleRows(Point pt, int titleHeight);

// Where a window goes back to before the user has placed it: the work area shrunk by an
// eighth on each side (measured from the work area's own size, not offset by its origin).
Rect InitialRestoreRect(const Rect& workArea);

// The maximised rectangle: the work area, narrowed symmetrically to at most maxWidth and
// maxHeight so very large screens get a centred window.
Rect MaximizedRect(const Rect& workArea, int maxWidth, int maxHeight);

// Caption buttons, right-aligned from the right edge of the client area, placed when the skin
// is set: close always, then maximise and minimise when they exist (size 0 = none). spacing
// separates neighbours.
struct CaptionButtonRects {
    Rect close;
    Rect maximize;  // empty when there is no maximise button
    Rect minimize;  // empty when there is no minimise button
};
CaptionButtonRects PlaceCaptionButtons(int clientRight, int rightMargin, int top, int spacing,
                                       Size close, Size maximize, Size minimize);

// After a size change the existing buttons are pushed back against the right edge, touching,
// each keeping its top and size. tops/sizes in order close, maximise, minimise; a size of 0
// width means the button does not exist. Returns the new left edges in the same order.
struct ButtonSlot {
    bool exists = false;
    int width = 0;
};
std::vector<int> ReplaceCaptionButtons(int clientWidth, int rightMargin,
                                       const std::vector<ButtonSlot>& closeMaxMin);

// The left edge of the title text: after the border and the small icon when one is drawn.
int TitleTextLeft(int border, bool iconDrawn);
// The top of the title text for a font of the given (possibly negative) height.
int TitleTextTop(int titleHeight, int fontHeight);
// The top of the small icon in the title bar.
int TitleIconTop(int titleHeight);

}  // namespace tamsolo::ui
