#include "ui/colorkey.h"

namespace tamsolo::ui {

namespace {

std::uint32_t OverWhite(std::uint32_t a, std::uint32_t c) {
    // a*(c-255) is never positive, so this stays within 0..255.
    const int v = (static_cast<int>(a) * (static_cast<int>(c) - 255) + 65025) / 255;
    return static_cast<std::uint32_t>(v);
}

}  // namespace

std::uint32_t ColorKeyPixel(std::uint32_t argb, std::uint32_t key) {
    const std::uint32_t a = argb >> 24;
    std::uint32_t r = (argb >> 16) & 0xFF, g = (argb >> 8) & 0xFF, b = argb & 0xFF;
    if (a == 0) {
        r = key & 0xFF;
        g = (key >> 8) & 0xFF;
        b = (key >> 16) & 0xFF;
    } else if (a != 255) {
        r = OverWhite(a, r);
        g = OverWhite(a, g);
        b = OverWhite(a, b);
    }
    return (r << 16) | (g << 8) | b;
}

std::vector<std::uint32_t> ToColorKeyedPixels(const std::uint32_t* src, int width, int height,
                                              int stride, std::uint32_t key) {
    std::vector<std::uint32_t> out;
    if (!src || width <= 0 || height <= 0 || stride < width) return out;
    out.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    for (int y = 0; y < height; ++y) {
        const std::uint32_t* row = src + static_cast<std::size_t>(y) * static_cast<std::size_t>(stride);
        std::uint32_t* dst = out.data() + static_cast<std::size_t>(height - 1 - y) * static_cast<std::size_t>(width);
        for (int x = 0; x < width; ++x) dst[x] = ColorKeyPixel(row[x], key);
    }
    return out;
}

}  // namespace tamsolo::ui
