// Conversion of decoded straight-alpha pixels into the colour-keyed bitmaps the skin kit
// draws with: fully transparent pixels become the key colour, soft edges are blended onto
// white ahead of time, opaque pixels are kept.
#pragma once

#include <cstdint>
#include <vector>

namespace tamsolo::ui {

constexpr std::uint32_t kKeyR = 255, kKeyG = 0, kKeyB = 255;

// One pixel. argb is 0xAARRGGBB (straight alpha); key is a Windows colour value 0x00BBGGRR.
// The result is a 32-bit DIB pixel 0x00RRGGBB (bytes blue, green, red, 0).
std::uint32_t ColorKeyPixel(std::uint32_t argb, std::uint32_t keyColorRef);

// A whole image: argbTopDown holds height rows of width pixels, top row first, rows
// strideInPixels apart. The result is width x height pixels, bottom row first, as a
// bottom-up DIB stores them. Empty when the sizes do not fit the buffer.
std::vector<std::uint32_t> ToColorKeyedPixels(const std::uint32_t* argbTopDown, int width,
                                              int height, int strideInPixels,
                                              std::uint32_t keyColorRef);

}  // namespace tamsolo::ui
