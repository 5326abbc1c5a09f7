// Pixel blocks read zero everywhere whichever way they were obtained, keep
// their memory when moved and give it back exactly once.

#include "pictures/gdi/pixel_block.h"

#include <gtest/gtest.h>

#include <cstring>
#include <utility>

namespace {

bool AllZero(const uint8_t* data, size_t size) {
    for (size_t i = 0; i < size; ++i)
        if (data[i] != 0) return false;
    return true;
}

// Every block is heap memory under AddressSanitizer.
constexpr size_t MappingSize = PixelBlock::MappedFrom == SIZE_MAX ? size_t{4} << 20 : PixelBlock::MappedFrom;

}  // namespace

TEST(PixelBlock, IsZeroFilledAndWritableOnBothSidesOfTheMappingSize) {
    for (size_t size : {size_t{1}, size_t{4096}, MappingSize - 1, MappingSize, MappingSize * 3 + 12345}) {
        PixelBlock block(size);
        ASSERT_NE(block.Data(), nullptr) << size;
        EXPECT_EQ(block.Mapped(), size >= PixelBlock::MappedFrom) << size;
        EXPECT_TRUE(AllZero(block.Data(), size)) << size;
        // Every byte up to the size asked for is ours.
        std::memset(block.Data(), 0xAB, size);
        EXPECT_EQ(block.Data()[size - 1], 0xAB) << size;
    }
}

TEST(PixelBlock, MappedBlocksStartOnAHugePageBoundary) {
    if (PixelBlock::MappedFrom == SIZE_MAX) GTEST_SKIP() << "no mapped blocks in this build";
    PixelBlock block(PixelBlock::MappedFrom * 2 + 1);
    ASSERT_TRUE(block.Mapped());
    EXPECT_EQ(reinterpret_cast<uintptr_t>(block.Data()) % (size_t{2} << 20), 0u);
}

TEST(PixelBlock, MovingHandsOverTheMemory) {
    for (size_t size : {size_t{64}, MappingSize}) {
        PixelBlock first(size);
        uint8_t* const data = first.Data();
        data[0] = 7;
        PixelBlock second(std::move(first));
        EXPECT_EQ(first.Data(), nullptr);
        EXPECT_EQ(second.Data(), data);
        PixelBlock third(16);
        third = std::move(second);  // frees third's own memory, takes second's
        EXPECT_EQ(second.Data(), nullptr);
        ASSERT_EQ(third.Data(), data);
        EXPECT_EQ(third.Data()[0], 7);
        EXPECT_EQ(third.Mapped(), size >= PixelBlock::MappedFrom);
    }
    EXPECT_EQ(PixelBlock(0).Data(), nullptr);
}
