// Scaling pictures once to the size they are shown at.
#include <gtest/gtest.h>

#include <vector>

#include "ui/scaled_image.h"

namespace {

// A source whose pixel (x, y) encodes its position, alpha 0, in rows of
// `stride` pixels (the slack filled with a colour that must never show).
std::vector<uint32_t> Numbered(int width, int height, int stride) {
    std::vector<uint32_t> pixels(static_cast<size_t>(stride) * height, 0x00ABCDEFu);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) pixels[static_cast<size_t>(y) * stride + x] = uint32_t(y) << 8 | uint32_t(x);
    return pixels;
}

uint32_t Opaque(int x, int y) { return 0xFF000000u | uint32_t(y) << 8 | uint32_t(x); }

}  // namespace

TEST(ScaledImage, NearestTakesThePixelUnderEachCellsCentreAndIgnoresTheFourthByte) {
    const std::vector<uint32_t> source = Numbered(8, 6, 11);
    const struct {
        QSize Size;
        int X, Y;              // a destination pixel
        int SourceX, SourceY;  // the pixel it must show
    } cases[] = {
        {{8, 6}, 7, 5, 7, 5},                            // same size: a plain copy
        {{8, 6}, 3, 0, 3, 0},     {{4, 3}, 0, 0, 1, 1},  // halved: the second of each pair
        {{4, 3}, 3, 2, 7, 5},     {{3, 2}, 1, 1, 4, 4},  // 8/3 and 6/2 per cell: centres at 4 and 4.5
        {{16, 12}, 15, 11, 7, 5},                        // enlarged: each pixel twice
        {{16, 12}, 2, 3, 1, 1},   {{1, 1}, 0, 0, 4, 3},
    };
    for (const auto& row : cases) {
        const QImage image = ScaleNearest(source.data(), 8, 6, 11, row.Size);
        ASSERT_EQ(image.size(), row.Size);
        EXPECT_EQ(image.pixel(row.X, row.Y), Opaque(row.SourceX, row.SourceY))
            << row.Size.width() << " x " << row.Size.height() << " at " << row.X << ", " << row.Y;
    }
}

TEST(ScaledImage, NothingToSampleGivesANullImage) {
    const std::vector<uint32_t> source = Numbered(2, 2, 2);
    EXPECT_TRUE(ScaleNearest(nullptr, 2, 2, 2, {2, 2}).isNull());
    EXPECT_TRUE(ScaleNearest(source.data(), 0, 2, 2, {2, 2}).isNull());
    EXPECT_TRUE(ScaleNearest(source.data(), 2, 2, 1, {2, 2}).isNull());  // rows overlapping
    EXPECT_TRUE(ScaleNearest(source.data(), 2, 2, 2, {0, 2}).isNull());
}

TEST(ScaledImage, FitKeepsTheAspectAndNeverEnlarges) {
    EXPECT_EQ(FitWithin({6000, 4000}, {200, 200}), QSize(200, 133));
    EXPECT_EQ(FitWithin({4000, 6000}, {200, 200}), QSize(133, 200));
    EXPECT_EQ(FitWithin({150, 100}, {200, 200}), QSize(150, 100));
    EXPECT_EQ(FitWithin({1, 5000}, {200, 200}), QSize(1, 200));  // not a 0-wide image
    EXPECT_EQ(FitWithin({0, 10}, {200, 200}), QSize());
}
