#include "ui/colorkey.h"

#include <gtest/gtest.h>

using namespace tamsolo::ui;

TEST(ColorKey, PixelRule) {
    const std::uint32_t magenta = 0xFF00FF;
    EXPECT_EQ(ColorKeyPixel(0xFF123456, magenta), 0x123456u);  // opaque kept
    EXPECT_EQ(ColorKeyPixel(0x00123456, magenta), 0xFF00FFu);  // transparent -> key
    EXPECT_EQ(ColorKeyPixel(0x00000000, 0x0000FF), 0xFF0000u);  // key given as 0x00BBGGRR
    // Half-transparent black over white: (128*(0-255)+65025)/255 = 127.
    EXPECT_EQ(ColorKeyPixel(0x80000000, magenta), 0x7F7F7Fu);
    // Channels composite independently; white stays white at any alpha.
    EXPECT_EQ(ColorKeyPixel(0x40FF0080, magenta), (255u << 16) | (191u << 8) | 223u);
    EXPECT_EQ(ColorKeyPixel(0x01FFFFFF, magenta), 0xFFFFFFu);
}

TEST(ColorKey, RowsAreFlippedBottomUpAndStrideHonoured) {
    // 2x2 image in a buffer 3 pixels wide; the third column is padding.
    const std::uint32_t src[] = {0xFF000001, 0xFF000002, 0xDEADBEEF,
                                 0xFF000003, 0x00000000, 0xDEADBEEF};
    const auto out = ToColorKeyedPixels(src, 2, 2, 3, 0xFF00FF);
    ASSERT_EQ(out.size(), 4u);
    EXPECT_EQ(out[0], 3u);  // bottom row first
    EXPECT_EQ(out[1], 0xFF00FFu);
    EXPECT_EQ(out[2], 1u);
    EXPECT_EQ(out[3], 2u);
    EXPECT_TRUE(ToColorKeyedPixels(src, 0, 2, 3, 0).empty());
    EXPECT_TRUE(ToColorKeyedPixels(src, 4, 2, 3, 0).empty());
    EXPECT_TRUE(ToColorKeyedPixels(nullptr, 2, 2, 2, 0).empty());
}
