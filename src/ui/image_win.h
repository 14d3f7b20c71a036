// Skin images: PNG resources and picture files turned into colour-keyed bitmaps, with GDI+
// as the decoder. Every function returns a bitmap the caller owns, or null on any failure.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

namespace tamsolo::ui {

// A bitmap resource of that id if the module has one; otherwise the "PNG" resource of that id,
// decoded and colour-keyed with magenta.
HBITMAP LoadSkinImage(HMODULE module, UINT id);

// A 32-bit bottom-up bitmap from decoded straight-alpha pixels (0xAARRGGBB, top row first):
// transparent pixels become the key, partly transparent ones are blended onto white.
// decodedImage is a GDI+ bitmap (GpBitmap*), passed untyped so callers need no GDI+ headers.
HBITMAP ToColorKeyedBitmap(void* decodedImage, COLORREF key);
HBITMAP MakeColorKeyedBitmap(const std::uint32_t* argbTopDown, int width, int height, int strideInPixels,
                             COLORREF key);

// A picture file (PNG, JPEG, ...) as a bitmap on white, with its size; width and height are 0
// and the result null when the file cannot be decoded.
HBITMAP LoadImageFile(const std::wstring& path, int* width, int* height);

}  // namespace tamsolo::ui
