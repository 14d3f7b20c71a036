// Drawing helpers shared by the skinned frame and controls: an off-screen canvas, the parent
// background trick that makes controls look transparent, colour-keyed copies and image lists.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "framework/handle_win.h"

namespace tamsolo::ui {

// The transparent colour of every skin image.
constexpr COLORREF kColorKey = RGB(255, 0, 255);

// An off-screen picture compatible with a DC: a memory DC with a bitmap of the given size
// selected, everything released on scope exit.
class Canvas {
public:
    Canvas(HDC compatibleWith, int width, int height);
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    explicit operator bool() const { return dc_ && bitmap_; }
    HDC Dc() const { return dc_.Get(); }
    int Width() const { return width_; }
    int Height() const { return height_; }
    // Copies the whole picture to dest at (x, y).
    void CopyTo(HDC dest, int x = 0, int y = 0) const;

private:
    fw::MemoryDc dc_;
    fw::Bitmap bitmap_;
    HGDIOBJ old_ = nullptr;
    int width_;
    int height_;
};

// Lets the parent paint its background into dc, shifted so the part under the control lands
// at dc's origin: the parent is sent WM_ERASEBKGND with the DC's origin moved by the control's
// offset from the parent.
void PaintParentBackground(HWND control, HDC dc);

// The header of a 32-bit colour bitmap: rows top row first, or bottom-up when asked.
BITMAPINFO Dib32Info(int width, int height, bool bottomUp = false);

// Size of a bitmap; {0, 0} for none.
SIZE BitmapSize(HBITMAP bitmap);

// A colour-keyed copy (magenta transparent), stretched when the sizes differ.
void KeyedCopy(HDC dest, int dx, int dy, int dw, int dh, HDC src, int sx, int sy, int sw, int sh);

// A device-independent copy of a bitmap, so an image list's masking (which blackens the key
// pixels of the bitmap it is given) never touches the caller's bitmap.
fw::Bitmap CopyBitmap(HBITMAP source);

// The display's dots per inch as this process sees them (96 at 100 %). A process declared
// unaware of the scale is told 96 by Windows, which then scales its windows itself; Wine tells
// the real figure and scales nothing.
int DisplayDpi();

// Asks for hover (after 10 ms) and leave notifications for a control; true when requested.
bool TrackHoverAndLeave(HWND control);

// Registers the common-control classes the kit uses (tooltips, progress bars) once per process.
void EnsureCommonControls();

// Owner of an image list.
struct ImageListTraits {
    using Type = HIMAGELIST;
    static Type Empty() { return nullptr; }
    static bool IsValid(Type h) { return h != nullptr; }
    static void Close(Type h) { ::ImageList_Destroy(h); }
};
using ImageList = fw::UniqueHandle<ImageListTraits>;

// An image list of `frames` equal frames cut from a horizontal strip, masked by magenta.
ImageList MakeFrameList(HBITMAP strip, int frames);

}  // namespace tamsolo::ui
