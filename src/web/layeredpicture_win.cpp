#include "web/layeredpicture_win.h"

#include "framework/handle_win.h"
#include "ui/draw_win.h"
#include "ui/gdiplus_win.h"

namespace web {

namespace {

using namespace Gdiplus;
using tamsolo::ui::DecodedImage;
using tamsolo::ui::GdiplusSession;

// A top-down 32-bit DIB holding the picture with premultiplied alpha, as UpdateLayeredWindow
// wants it. GDI+ does the premultiplying while it hands out the pixels.
HBITMAP PremultipliedDib(GpBitmap* image, int* width, int* height) {
    UINT w = 0, h = 0;
    if (DllExports::GdipGetImageWidth(image, &w) != Ok || DllExports::GdipGetImageHeight(image, &h) != Ok ||
        w == 0 || h == 0 || w > 16384 || h > 16384) {
        return nullptr;
    }
    BITMAPINFO info = tamsolo::ui::Dib32Info(static_cast<int>(w), static_cast<int>(h));
    void* bits = nullptr;
    fw::Bitmap dib(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!dib || !bits) return nullptr;
    GpRect rect(0, 0, static_cast<INT>(w), static_cast<INT>(h));
    BitmapData data{};
    data.Width = w;
    data.Height = h;
    data.Stride = static_cast<INT>(w * 4);
    data.PixelFormat = PixelFormat32bppPARGB;
    data.Scan0 = bits;
    // Read straight into the DIB's own rows.
    if (DllExports::GdipBitmapLockBits(image, &rect, ImageLockModeRead | ImageLockModeUserInputBuf,
                                       PixelFormat32bppPARGB, &data) != Ok) {
        return nullptr;
    }
    DllExports::GdipBitmapUnlockBits(image, &data);
    ::GdiFlush();
    *width = static_cast<int>(w);
    *height = static_cast<int>(h);
    return dib.Release();
}

}  // namespace

bool ShowLayeredPicture(HWND wnd, HMODULE module, UINT id, int* width, int* height) {
    GdiplusSession session;
    if (!wnd || !session.Started()) return false;
    fw::ComPtr<IStream> stream = tamsolo::ui::PngResourceStream(module, id);
    if (!stream) return false;
    DecodedImage image;
    if (DllExports::GdipCreateBitmapFromStream(stream.Get(), image.Put()) != Ok || !image.Get()) return false;
    int w = 0, h = 0;
    fw::Bitmap picture(PremultipliedDib(image.Get(), &w, &h));
    if (!picture) return false;

    fw::WindowDc screen(nullptr);
    fw::MemoryDc memory(::CreateCompatibleDC(screen.Get()));
    if (!memory) return false;
    fw::Selection select(memory.Get(), picture.Get());

    const LONG_PTR ex = ::GetWindowLongPtrW(wnd, GWL_EXSTYLE);
    if (!(ex & WS_EX_LAYERED)) ::SetWindowLongPtrW(wnd, GWL_EXSTYLE, ex | WS_EX_LAYERED);

    RECT r{};
    ::GetWindowRect(wnd, &r);
    POINT at{r.left, r.top};
    SIZE size{w, h};
    POINT origin{0, 0};
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    if (!::UpdateLayeredWindow(wnd, screen.Get(), &at, &size, memory.Get(), &origin, 0, &blend, ULW_ALPHA)) {
        return false;
    }
    if (width) *width = w;
    if (height) *height = h;
    return true;
}

}  // namespace web
