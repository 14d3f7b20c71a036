#include "ui/image_win.h"

#include <cstring>
#include <vector>

#include "framework/handle_win.h"
#include "ui/colorkey.h"
#include "ui/draw_win.h"
#include "ui/gdiplus_win.h"

namespace tamsolo::ui {

namespace {

using namespace Gdiplus;

struct GlobalTraits {
    using Type = HGLOBAL;
    static Type Empty() { return nullptr; }
    static bool IsValid(Type h) { return h != nullptr; }
    static void Close(Type h) { ::GlobalFree(h); }
};
using GlobalMemory = fw::UniqueHandle<GlobalTraits>;

HBITMAP CreateTopDownOrBottomUpDib(int width, int height, bool bottomUp, void** bits) {
    BITMAPINFO info = Dib32Info(width, height, bottomUp);
    return ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, bits, nullptr, 0);
}


}  // namespace

// Copies a resource into a stream GDI+ can decode from; the stream owns the memory.
fw::ComPtr<IStream> PngResourceStream(HMODULE module, UINT id) {
    fw::ComPtr<IStream> stream;
    HRSRC res = ::FindResourceW(module, MAKEINTRESOURCEW(id), L"PNG");
    if (!res) return stream;
    const DWORD size = ::SizeofResource(module, res);
    HGLOBAL loaded = ::LoadResource(module, res);
    const void* data = loaded ? ::LockResource(loaded) : nullptr;
    if (!data || size == 0) return stream;
    GlobalMemory memory(::GlobalAlloc(GMEM_MOVEABLE, size));
    if (!memory) return stream;
    void* dest = ::GlobalLock(memory.Get());
    if (!dest) return stream;
    std::memcpy(dest, data, size);
    ::GlobalUnlock(memory.Get());
    if (SUCCEEDED(::CreateStreamOnHGlobal(memory.Get(), TRUE, stream.Put()))) memory.Release();
    return stream;
}

HBITMAP MakeColorKeyedBitmap(const std::uint32_t* argb, int width, int height, int stride, COLORREF key) {
    const std::vector<std::uint32_t> pixels = ToColorKeyedPixels(argb, width, height, stride, key);
    if (pixels.empty()) return nullptr;
    void* bits = nullptr;
    HBITMAP bitmap = CreateTopDownOrBottomUpDib(width, height, true, &bits);
    if (!bitmap || !bits) {
        if (bitmap) ::DeleteObject(bitmap);
        return nullptr;
    }
    std::memcpy(bits, pixels.data(), pixels.size() * sizeof(std::uint32_t));
    ::GdiFlush();
    return bitmap;
}

HBITMAP ToColorKeyedBitmap(void* decodedImage, COLORREF key) {
    GpBitmap* image = static_cast<GpBitmap*>(decodedImage);
    if (!image) return nullptr;
    UINT width = 0, height = 0;
    if (DllExports::GdipGetImageWidth(image, &width) != Ok || width == 0) return nullptr;
    if (DllExports::GdipGetImageHeight(image, &height) != Ok || height == 0) return nullptr;
    GpRect rect(0, 0, static_cast<INT>(width), static_cast<INT>(height));
    BitmapData data{};
    if (DllExports::GdipBitmapLockBits(image, &rect, ImageLockModeRead, PixelFormat32bppARGB, &data) != Ok) {
        return nullptr;
    }
    HBITMAP result = nullptr;
    if (data.Stride > 0 && data.Stride % 4 == 0) {
        result = MakeColorKeyedBitmap(static_cast<const std::uint32_t*>(data.Scan0), static_cast<int>(width),
                                      static_cast<int>(height), data.Stride / 4, key);
    }
    DllExports::GdipBitmapUnlockBits(image, &data);
    return result;
}

HBITMAP LoadSkinImage(HMODULE module, UINT id) {
    GdiplusSession session;
    if (::FindResourceW(module, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(2) /* RT_BITMAP */)) {
        HANDLE bitmap = ::LoadImageW(module, MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION);
        if (bitmap) return static_cast<HBITMAP>(bitmap);
    }
    if (!session.Started()) return nullptr;
    fw::ComPtr<IStream> stream = PngResourceStream(module, id);
    if (!stream) return nullptr;
    DecodedImage image;
    if (DllExports::GdipCreateBitmapFromStream(stream.Get(), image.Put()) != Ok || !image.Get()) return nullptr;
    HBITMAP result = ToColorKeyedBitmap(image.Get(), kKeyR | (kKeyG << 8) | (kKeyB << 16));
    if (!result) {
        // Fall back on the decoder's own conversion, blending onto magenta.
        HBITMAP fallback = nullptr;
        if (DllExports::GdipCreateHBITMAPFromBitmap(image.Get(), &fallback, 0xFFFF00FF) == Ok) result = fallback;
    }
    return result;
}

HBITMAP LoadImageFile(const std::wstring& path, int* width, int* height) {
    // Started once for the process, stopped at exit.
    static GdiplusSession session;
    if (width) *width = 0;
    if (height) *height = 0;
    if (!session.Started()) return nullptr;
    DecodedImage image;
    if (DllExports::GdipCreateBitmapFromFile(path.c_str(), image.Put()) != Ok || !image.Get()) return nullptr;
    UINT w = 0, h = 0;
    if (DllExports::GdipGetImageWidth(image.Get(), &w) != Ok || DllExports::GdipGetImageHeight(image.Get(), &h) != Ok ||
        w == 0 || h == 0) {
        return nullptr;
    }
    void* bits = nullptr;
    HBITMAP bitmap = CreateTopDownOrBottomUpDib(static_cast<int>(w), static_cast<int>(h), true, &bits);
    if (!bitmap) return nullptr;
    fw::MemoryDc dc(::CreateCompatibleDC(nullptr));
    bool drawn = false;
    if (dc) {
        fw::Selection select(dc.Get(), bitmap);
        RECT all{0, 0, static_cast<LONG>(w), static_cast<LONG>(h)};
        ::FillRect(dc.Get(), &all, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
        GpGraphics* graphics = nullptr;
        if (DllExports::GdipCreateFromHDC(dc.Get(), &graphics) == Ok) {
            drawn = DllExports::GdipDrawImageRectI(graphics, image.Get(), 0, 0, static_cast<INT>(w),
                                                   static_cast<INT>(h)) == Ok;
            DllExports::GdipDeleteGraphics(graphics);
        }
    }
    if (!drawn) {
        ::DeleteObject(bitmap);
        return nullptr;
    }
    if (width) *width = static_cast<int>(w);
    if (height) *height = static_cast<int>(h);
    return bitmap;
}

}  // namespace tamsolo::ui
