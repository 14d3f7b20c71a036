#include "web/layeredpicture_win.h"

#include <objidl.h>

#include <algorithm>
namespace Gdiplus {
using std::max;
using std::min;
}  // namespace Gdiplus
#include <gdiplus.h>

#include <cstring>

#include "framework/handle_win.h"

namespace web {

namespace {

using namespace Gdiplus;

class GdiplusSession {
public:
    GdiplusSession() {
        GdiplusStartupInput input;
        ok_ = GdiplusStartup(&token_, &input, nullptr) == Ok;
    }
    ~GdiplusSession() {
        if (ok_) GdiplusShutdown(token_);
    }
    GdiplusSession(const GdiplusSession&) = delete;
    GdiplusSession& operator=(const GdiplusSession&) = delete;
    bool Started() const { return ok_; }

private:
    ULONG_PTR token_ = 0;
    bool ok_ = false;
};

class DecodedImage {
public:
    DecodedImage() = default;
    ~DecodedImage() {
        if (bitmap_) DllExports::GdipDisposeImage(bitmap_);
    }
    DecodedImage(const DecodedImage&) = delete;
    DecodedImage& operator=(const DecodedImage&) = delete;
    GpBitmap** Put() { return &bitmap_; }
    GpBitmap* Get() const { return bitmap_; }

private:
    GpBitmap* bitmap_ = nullptr;
};

// The resource bytes in a stream of their own (GDI+ may read a stream after the call).
fw::ComPtr<IStream> PngStream(HMODULE module, UINT id) {
    fw::ComPtr<IStream> stream;
    HRSRC res = ::FindResourceW(module, MAKEINTRESOURCEW(id), L"PNG");
    if (!res) return stream;
    const DWORD size = ::SizeofResource(module, res);
    HGLOBAL loaded = ::LoadResource(module, res);
    const void* data = loaded ? ::LockResource(loaded) : nullptr;
    if (!data || size == 0) return stream;
    HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, size);
    if (!memory) return stream;
    void* dest = ::GlobalLock(memory);
    if (!dest) {
        ::GlobalFree(memory);
        return stream;
    }
    std::memcpy(dest, data, size);
    ::GlobalUnlock(memory);
    if (FAILED(::CreateStreamOnHGlobal(memory, TRUE, stream.Put()))) ::GlobalFree(memory);
    return stream;
}

// A top-down 32-bit DIB holding the picture with premultiplied alpha, as UpdateLayeredWindow
// wants it. GDI+ does the premultiplying while it hands out the pixels.
HBITMAP PremultipliedDib(GpBitmap* image, int* width, int* height) {
    UINT w = 0, h = 0;
    if (DllExports::GdipGetImageWidth(image, &w) != Ok || DllExports::GdipGetImageHeight(image, &h) != Ok ||
        w == 0 || h == 0 || w > 16384 || h > 16384) {
        return nullptr;
    }
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = static_cast<LONG>(w);
    info.bmiHeader.biHeight = -static_cast<LONG>(h);
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
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
    fw::ComPtr<IStream> stream = PngStream(module, id);
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
