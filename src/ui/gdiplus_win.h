// GDI+ as the skin kit and the login picture use it: a scoped start of the decoder, a decoded
// image disposed with its scope, and a PNG resource as a stream the decoder can read.
#pragma once

#include <windows.h>
#include <objidl.h>

#include <algorithm>
namespace Gdiplus {
using std::max;
using std::min;
}  // namespace Gdiplus
#include <gdiplus.h>

#include "framework/handle_win.h"

namespace tamsolo::ui {

// One start of the decoder, stopped when the scope ends.
class GdiplusSession {
public:
    GdiplusSession() {
        Gdiplus::GdiplusStartupInput input;
        ok_ = Gdiplus::GdiplusStartup(&token_, &input, nullptr) == Gdiplus::Ok;
    }
    ~GdiplusSession() {
        if (ok_) Gdiplus::GdiplusShutdown(token_);
    }
    GdiplusSession(const GdiplusSession&) = delete;
    GdiplusSession& operator=(const GdiplusSession&) = delete;
    bool Started() const { return ok_; }

private:
    ULONG_PTR token_ = 0;
    bool ok_ = false;
};

// A decoded GDI+ image, disposed on scope exit.
class DecodedImage {
public:
    DecodedImage() = default;
    ~DecodedImage() {
        if (bitmap_) Gdiplus::DllExports::GdipDisposeImage(bitmap_);
    }
    DecodedImage(const DecodedImage&) = delete;
    DecodedImage& operator=(const DecodedImage&) = delete;
    Gdiplus::GpBitmap** Put() { return &bitmap_; }
    Gdiplus::GpBitmap* Get() const { return bitmap_; }

private:
    Gdiplus::GpBitmap* bitmap_ = nullptr;
};

// The bytes of the "PNG" resource id in a stream of their own (GDI+ may read a stream after
// the call that was given it); empty when the module has no such resource.
fw::ComPtr<IStream> PngResourceStream(HMODULE module, UINT id);

}  // namespace tamsolo::ui
