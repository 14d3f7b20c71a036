// screenshot: one window's pixels (or the whole screen) saved as PNG with GDI+.
#include "ui/gdiplus_win.h"  // the launcher's own scoped GDI+ start
#include "framework/handle_win.h"
#include "probe.h"

namespace probe {
namespace {

bool PngEncoder(CLSID* clsid) {
    UINT count = 0, size = 0;
    if (Gdiplus::GetImageEncodersSize(&count, &size) != Gdiplus::Ok || size == 0) return false;
    std::vector<BYTE> buf(size);
    auto* codecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buf.data());
    if (Gdiplus::GetImageEncoders(count, size, codecs) != Gdiplus::Ok) return false;
    for (UINT i = 0; i < count; ++i) {
        if (codecs[i].MimeType && wcscmp(codecs[i].MimeType, L"image/png") == 0) {
            *clsid = codecs[i].Clsid;
            return true;
        }
    }
    return false;
}

bool SavePng(HBITMAP bitmap, const std::wstring& path) {
    CLSID png;
    if (!PngEncoder(&png)) return false;
    Gdiplus::Bitmap image(bitmap, nullptr);
    return image.GetLastStatus() == Gdiplus::Ok && image.Save(path.c_str(), &png, nullptr) == Gdiplus::Ok;
}

}  // namespace

// By default the pixels come from the screen where the window is shown (what a player sees,
// layered windows included); --print asks the window to draw itself with PrintWindow instead.
int CmdScreenshot(const Args& args) {
    const auto& p = args.Positional();
    HWND wnd = nullptr;
    if (p.size() != 2 || !ParseWindow(p[0], &wnd)) return Fail(kUsage, L"usage: screenshot HWND|0 OUT.png [--print]");
    RECT r = {0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    if (wnd) {
        if (!::IsWindow(wnd)) return Fail(kFailed, L"no such window");
        ::GetWindowRect(wnd, &r);
    }
    int width = r.right - r.left, height = r.bottom - r.top;
    if (width <= 0 || height <= 0) return Fail(kFailed, L"the window has no area");
    tamsolo::ui::GdiplusSession gdiplus;
    if (!gdiplus.Started()) return Fail(kFailed, L"GdiplusStartup failed");
    fw::WindowDc screen(nullptr);
    fw::MemoryDc mem(::CreateCompatibleDC(screen.Get()));
    fw::Bitmap bitmap(::CreateCompatibleBitmap(screen.Get(), width, height));
    if (!mem || !bitmap) return Fail(kFailed, L"cannot create a bitmap");
    {
        fw::Selection select(mem.Get(), bitmap.Get());
        BOOL drawn = wnd && args.Has(L"print")
                         ? ::PrintWindow(wnd, mem.Get(), 0)
                         : ::BitBlt(mem.Get(), 0, 0, width, height, screen.Get(), r.left, r.top, SRCCOPY | CAPTUREBLT);
        if (!drawn) return Fail(kFailed, L"cannot copy the pixels");
    }
    if (!SavePng(bitmap.Get(), p[1])) return Fail(kFailed, L"cannot write " + p[1]);
    Json().Str("file", p[1]).Num("width", width).Num("height", height).Print();
    return kOk;
}

}  // namespace probe
