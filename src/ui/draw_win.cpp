#include "ui/draw_win.h"

namespace tamsolo::ui {

BITMAPINFO Dib32Info(int width, int height, bool bottomUp) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = bottomUp ? height : -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

Canvas::Canvas(HDC compatibleWith, int width, int height)
    : dc_(::CreateCompatibleDC(compatibleWith)), width_(width > 0 ? width : 1), height_(height > 0 ? height : 1) {
    if (!dc_) return;
    // Always 32-bit colour, whatever the target is: a memory DC's "compatible" bitmap would be
    // monochrome, and a fixed format keeps colour-keyed copies exact.
    BITMAPINFO info = Dib32Info(width_, height_);
    void* bits = nullptr;
    bitmap_.Reset(::CreateDIBSection(dc_.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (bitmap_) old_ = ::SelectObject(dc_.Get(), bitmap_.Get());
}

Canvas::~Canvas() {
    if (old_) ::SelectObject(dc_.Get(), old_);
}

void Canvas::CopyTo(HDC dest, int x, int y) const {
    if (*this) ::BitBlt(dest, x, y, width_, height_, dc_.Get(), 0, 0, SRCCOPY);
}

void PaintParentBackground(HWND control, HDC dc) {
    HWND parent = ::GetParent(control);
    if (!parent) return;
    RECT self{}, outer{};
    ::GetWindowRect(control, &self);
    ::GetWindowRect(parent, &outer);
    POINT old{};
    ::SetWindowOrgEx(dc, self.left - outer.left, self.top - outer.top, &old);
    ::SendMessageW(parent, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    ::SetWindowOrgEx(dc, old.x, old.y, nullptr);
}

SIZE BitmapSize(HBITMAP bitmap) {
    BITMAP bm{};
    if (!bitmap || ::GetObjectW(bitmap, sizeof(bm), &bm) != sizeof(bm)) return SIZE{0, 0};
    return SIZE{bm.bmWidth, bm.bmHeight < 0 ? -bm.bmHeight : bm.bmHeight};
}

void KeyedCopy(HDC dest, int dx, int dy, int dw, int dh, HDC src, int sx, int sy, int sw, int sh) {
    if (dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0) return;
    ::GdiTransparentBlt(dest, dx, dy, dw, dh, src, sx, sy, sw, sh, kColorKey);
}

fw::Bitmap CopyBitmap(HBITMAP source) {
    if (!source) return fw::Bitmap();
    return fw::Bitmap(static_cast<HBITMAP>(::CopyImage(source, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
}

int DisplayDpi() {
    fw::WindowDc screen(nullptr);
    return screen ? ::GetDeviceCaps(screen.Get(), LOGPIXELSY) : 96;
}

bool TrackHoverAndLeave(HWND control) {
    TRACKMOUSEEVENT track{};
    track.cbSize = sizeof(track);
    track.dwFlags = TME_LEAVE | TME_HOVER;
    track.hwndTrack = control;
    track.dwHoverTime = 10;
    return ::TrackMouseEvent(&track) != FALSE;
}

void EnsureCommonControls() {
    static const bool registered = [] {
        INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES | ICC_PROGRESS_CLASS | ICC_BAR_CLASSES};
        return ::InitCommonControlsEx(&icc) != FALSE;
    }();
    (void)registered;
}

ImageList MakeFrameList(HBITMAP strip, int frames) {
    const SIZE size = BitmapSize(strip);
    const int frameWidth = frames > 0 ? size.cx / frames : 0;
    if (frameWidth <= 0 || size.cy <= 0) return ImageList();
    ImageList list(::ImageList_Create(frameWidth, size.cy, ILC_COLOR24 | ILC_MASK, frames, 0));
    fw::Bitmap copy = CopyBitmap(strip);
    if (!list || !copy || ::ImageList_AddMasked(list.Get(), copy.Get(), kColorKey) < 0) return ImageList();
    return list;
}

}  // namespace tamsolo::ui
