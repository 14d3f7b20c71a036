// The colour-key conversion of decoded pixels: any image size and row stride the decoder
// reports, over a pixel block exactly as large as those sizes say.
#include "fuzz_input.h"

#include <vector>

#include "ui/colorkey.h"

using namespace tamsolo::ui;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    const int width = in.ConsumeIntegralInRange(-4, 80);
    const int height = in.ConsumeIntegralInRange(-4, 80);
    const int stride = in.ConsumeBool() ? width + in.ConsumeIntegralInRange(-2, 16) : in.ConsumeIntegral<int>();
    const std::uint32_t key = in.ConsumeIntegral<std::uint32_t>() & 0xFFFFFF;
    const std::uint32_t single = in.ConsumeIntegral<std::uint32_t>();

    // The block ends right after the last pixel of the last row, so any read past it is caught.
    std::vector<std::uint32_t> pixels;
    const bool fits = width > 0 && height > 0 && stride >= width &&
                      static_cast<long long>(height - 1) * stride + width <= 1 << 13;
    if (fits) {
        pixels.resize(static_cast<std::size_t>(height - 1) * static_cast<std::size_t>(stride) +
                      static_cast<std::size_t>(width));
        for (std::uint32_t& p : pixels) p = in.ConsumeIntegral<std::uint32_t>();
    }
    const std::vector<std::uint32_t> out =
        ToColorKeyedPixels(fits ? pixels.data() : nullptr, width, height, stride, key);
    FUZZ_CHECK(out.empty() == !fits);
    if (fits) {
        FUZZ_CHECK(out.size() == static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                const std::uint32_t src = pixels[static_cast<std::size_t>(y) * stride + x];
                const std::uint32_t dst = out[static_cast<std::size_t>(height - 1 - y) * width + x];
                FUZZ_CHECK(dst == ColorKeyPixel(src, key));
            }
        }
    }

    const std::uint32_t p = ColorKeyPixel(single, key);
    FUZZ_CHECK((p >> 24) == 0);
    const std::uint32_t alpha = single >> 24;
    if (alpha == 255) FUZZ_CHECK(p == (single & 0xFFFFFF));
    if (alpha == 0) FUZZ_CHECK(p == (((key & 0xFF) << 16) | (key & 0xFF00) | ((key >> 16) & 0xFF)));
    // Blended onto white: never darker than the colour itself.
    for (int shift = 0; shift < 24; shift += 8) {
        if (alpha != 0) FUZZ_CHECK(((p >> shift) & 0xFF) >= ((single >> shift) & 0xFF));
    }
    return 0;
}
