// Block transfers of the graphics layer: every source coding at equal size,
// nearest colours in indexed targets, stretching, clipping, masks, alpha.

#include <gtest/gtest.h>

#include <cstring>

#include "gdi_test_support.h"

using namespace testing_support;

namespace {

constexpr uint32_t Orange = 0x00FF8000;  // red FF, green 80, blue 00

std::vector<gdi::RGBQUAD> Ramp(int count) {
    std::vector<gdi::RGBQUAD> colors;
    for (int i = 0; i < count; ++i) colors.push_back(gdi::RGBQUAD{uint8_t(i * 16), uint8_t(i), uint8_t(255 - i), 0});
    colors[0] = gdi::RGBQUAD{0, 0, 0, 0};
    return colors;
}

uint32_t RampColor(int i) { return uint32_t(i * 16) | (uint32_t(i) << 8) | (uint32_t(255 - i) << 16); }

struct CodingCase {
    const char* Name;
    int BitCount;
    uint32_t Compression;
    uint32_t Masks[3];
    std::vector<gdi::RGBQUAD> Colors;
    std::vector<uint8_t> Row;  // four pixels
    std::vector<uint32_t> Expected;
};

std::vector<CodingCase> CodingCases() {
    return {
        {"1 bit", 1, gdi::BI_RGB, {}, {{0, 0, 0, 0}, {0x00, 0x80, 0xFF, 0}}, {0x90}, {Orange, 0, 0, Orange}},
        {"4 bits",
         4,
         gdi::BI_RGB,
         {},
         Ramp(16),
         {0x12, 0x3F},
         {RampColor(1), RampColor(2), RampColor(3), RampColor(15)}},
        // Index 200 lies beyond the 16-entry table: black.
        {"8 bits", 8, gdi::BI_RGB, {}, Ramp(16), {0, 5, 200, 7}, {0, RampColor(5), 0, RampColor(7)}},
        {"15 bits",
         16,
         gdi::BI_RGB,
         {},
         {},
         {0x00, 0x7C, 0xE0, 0x03, 0x1F, 0x00, 0x10, 0x42},
         {0xFF0000, 0x00FF00, 0x0000FF, 0x848484}},
        {"16 bits 5-6-5",
         16,
         gdi::BI_BITFIELDS,
         {0xF800, 0x07E0, 0x001F},
         {},
         {0x00, 0xF8, 0xE0, 0x07, 0x1F, 0x00, 0x10, 0x84},
         {0xFF0000, 0x00FF00, 0x0000FF, 0x848284}},
        {"24 bits",
         24,
         gdi::BI_RGB,
         {},
         {},
         {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12},
         {0x030201, 0x060504, 0x090807, 0x0C0B0A}},
        // 32-bit to 32-bit keeps the fourth byte.
        {"32 bits",
         32,
         gdi::BI_RGB,
         {},
         {},
         {1, 2, 3, 0x80, 4, 5, 6, 0, 7, 8, 9, 0xFF, 10, 11, 12, 1},
         {0x80030201, 0x00060504, 0xFF090807, 0x010C0B0A}},
        {"32 bits masks",
         32,
         gdi::BI_BITFIELDS,
         {0x0000FF00, 0x00FF0000, 0xFF000000},
         {},
         {9, 1, 2, 3, 9, 4, 5, 6, 9, 7, 8, 9, 9, 10, 11, 12},
         {0x010203, 0x040506, 0x070809, 0x0A0B0C}},
    };
}

TEST(BlockTransfer, EqualSizeCopyGivesEverySourceColourInBothRowOrders) {
    for (const CodingCase& coding : CodingCases()) {
        for (const bool topDown : {false, true}) {
            SCOPED_TRACE(std::string(coding.Name) + (topDown ? " top-down" : " bottom-up"));
            gdi::BitmapInfo info = Describe(4, topDown ? -2 : 2, coding.BitCount, coding.Colors, coding.Compression);
            std::memcpy(info.Masks, coding.Masks, sizeof info.Masks);
            Dib source = MakeDib(info);
            ASSERT_TRUE(source.Handle);
            std::memcpy(source.Bits, coding.Row.data(), coding.Row.size());  // first row in memory
            Dib target = MakeDib(Describe(4, -2, 32));
            ASSERT_TRUE(gdi::BitBlt(target.DC, 0, 0, 4, 2, source.DC, 0, 0, gdi::SRCCOPY));
            const auto* pixels = reinterpret_cast<const uint32_t*>(target.Bits);
            const int dataRow = topDown ? 0 : 1;
            for (int x = 0; x < 4; ++x) {
                EXPECT_EQ(pixels[dataRow * 4 + x], coding.Expected[x]) << "pixel " << x;
                EXPECT_EQ(pixels[(1 - dataRow) * 4 + x] & 0xFFFFFF, 0u) << "zero row, pixel " << x;
            }
        }
    }
}

TEST(BlockTransfer, IndexedTargetGetsExactOrNearestIndex) {
    // Pure red appears twice: the first entry wins.
    const std::vector<gdi::RGBQUAD> table = {
        {0, 0, 0, 0}, {0, 0, 255, 0}, {0, 0, 250, 0}, {0, 0, 255, 0}, {255, 255, 255, 0}};
    Dib target = MakeDib(Describe(4, -1, 8, table));
    Dib source = MakeDib(Describe(4, -1, 24));
    const uint8_t colors[] = {0, 0, 255, 5, 5, 245, 10, 10, 10, 255, 255, 255};
    std::memcpy(source.Bits, colors, sizeof colors);
    ASSERT_TRUE(gdi::BitBlt(target.DC, 0, 0, 4, 1, source.DC, 0, 0, gdi::SRCCOPY));
    EXPECT_EQ(std::vector<uint8_t>(target.Bits, target.Bits + 4), (std::vector<uint8_t>{1, 2, 0, 4}));

    // From another indexed table as well, and into 1- and 4-bit targets.
    Dib indexed = MakeDib(Describe(4, -1, 8, {{255, 255, 255, 0}, {0, 0, 251, 0}}));
    indexed.Bits[0] = 1, indexed.Bits[1] = 0, indexed.Bits[2] = 1, indexed.Bits[3] = 0;
    ASSERT_TRUE(gdi::BitBlt(target.DC, 0, 0, 4, 1, indexed.DC, 0, 0, gdi::SRCCOPY));
    EXPECT_EQ(std::vector<uint8_t>(target.Bits, target.Bits + 4), (std::vector<uint8_t>{2, 4, 2, 4}));
    Dib nibbles = MakeDib(Describe(4, -1, 4, table));
    ASSERT_TRUE(gdi::BitBlt(nibbles.DC, 0, 0, 4, 1, source.DC, 0, 0, gdi::SRCCOPY));
    EXPECT_EQ(nibbles.Bits[0], 0x12);
    EXPECT_EQ(nibbles.Bits[1], 0x04);
}

TEST(BlockTransfer, StretchSamplesNearestAndMirrors) {
    Dib source = MakeDib(Describe(2, -1, 32));
    const uint32_t two[] = {0x111111, 0x222222};
    std::memcpy(source.Bits, two, sizeof two);
    Dib target = MakeDib(Describe(4, -2, 32));
    ASSERT_TRUE(gdi::StretchBlt(target.DC, 0, 0, 4, 2, source.DC, 0, 0, 2, 1, gdi::SRCCOPY));
    const auto* pixels = reinterpret_cast<const uint32_t*>(target.Bits);
    EXPECT_EQ(std::vector<uint32_t>(pixels, pixels + 8),
              (std::vector<uint32_t>{0x111111, 0x111111, 0x222222, 0x222222, 0x111111, 0x111111, 0x222222, 0x222222}));
    ASSERT_TRUE(gdi::StretchBlt(target.DC, 4, 0, -4, 1, source.DC, 0, 0, 2, 1, gdi::SRCCOPY));
    EXPECT_EQ(std::vector<uint32_t>(pixels, pixels + 4),
              (std::vector<uint32_t>{0x222222, 0x222222, 0x111111, 0x111111}));
}

TEST(BlockTransfer, CopiesAreClippedToBothBitmaps) {
    Dib source = MakeDib(Describe(4, -4, 32));
    auto* in = reinterpret_cast<uint32_t*>(source.Bits);
    for (uint32_t i = 0; i < 16; ++i) in[i] = i + 1;
    Dib target = MakeDib(Describe(3, -3, 32));
    ASSERT_TRUE(gdi::BitBlt(target.DC, -2, -2, 4, 4, source.DC, 0, 0, gdi::SRCCOPY));
    ASSERT_TRUE(gdi::BitBlt(target.DC, 2, 2, 10, 10, source.DC, 3, 3, gdi::SRCCOPY));
    ASSERT_TRUE(gdi::BitBlt(target.DC, 1, 1, 2, 2, source.DC, -1, -1, gdi::SRCCOPY));  // only (0, 0) exists
    const auto* out = reinterpret_cast<const uint32_t*>(target.Bits);
    EXPECT_EQ(std::vector<uint32_t>(out, out + 9), (std::vector<uint32_t>{11, 12, 0, 15, 16, 0, 0, 0, 1}));
    // Stretching far out of range must not write outside either.
    ASSERT_TRUE(gdi::StretchBlt(target.DC, -100, -100, 1000, 1000, source.DC, -5, -5, 30, 30, gdi::SRCCOPY));
}

TEST(BlockTransfer, MaskBltKeepsTargetWhereMaskBitIsSet) {
    Dib source = MakeDib(Describe(4, -1, 24));
    std::memset(source.Bits, 0x77, 12);
    Dib target = MakeDib(Describe(4, -1, 32));
    std::memset(target.Bits, 0x11, 16);
    gdi::HBITMAP mask = gdi::CreateBitmap(4, 1, 1, 1);
    const uint8_t bits[4] = {0xA0, 0, 0, 0};  // pixels 0 and 2 keep the target
    ASSERT_EQ(gdi::SetDIBits(mask, 0, 1, bits, Describe(4, -1, 1, {{0, 0, 0, 0}, {255, 255, 255, 0}})), 1);
    ASSERT_TRUE(gdi::MaskBlt(target.DC, 0, 0, 4, 1, source.DC, 0, 0, mask, 0, 0, gdi::MASKBLT_TRANSPARENT));
    const auto* out = reinterpret_cast<const uint32_t*>(target.Bits);
    EXPECT_EQ(std::vector<uint32_t>(out, out + 4), (std::vector<uint32_t>{0x11111111, 0x777777, 0x11111111, 0x777777}));
}

TEST(BlockTransfer, ColourToMonochromeMarksBackgroundColourInSourceFormat) {
    // 5-6-5 cannot hold (0x13, 0x22, 0x31) exactly; the key matches as coded.
    gdi::BitmapInfo info = Describe(3, -1, 16, {}, gdi::BI_BITFIELDS);
    info.Masks[0] = 0xF800, info.Masks[1] = 0x07E0, info.Masks[2] = 0x001F;
    Dib source = MakeDib(info);
    const gdi::COLORREF key = gdi::RGB(0x13, 0x22, 0x31);
    ASSERT_NE(gdi::SetPixel(source.DC, 0, 0, key), gdi::CLR_INVALID);
    gdi::SetPixel(source.DC, 1, 0, gdi::RGB(0xFF, 0, 0));
    gdi::SetPixel(source.DC, 2, 0, key);
    gdi::HBITMAP mask = gdi::CreateBitmap(3, 1, 1, 1);
    gdi::HDC maskDC = gdi::CreateCompatibleDC();
    gdi::SelectObject(maskDC, mask);
    gdi::SetBkColor(source.DC, key);
    ASSERT_TRUE(gdi::BitBlt(maskDC, 0, 0, 3, 1, source.DC, 0, 0, gdi::SRCCOPY));
    uint8_t bits[4] = {};
    ASSERT_EQ(gdi::GetDIBits(mask, 0, 1, bits, Describe(3, -1, 1, {{0, 0, 0, 0}, {255, 255, 255, 0}})), 1);
    EXPECT_EQ(bits[0] & 0xE0, 0xA0);
}

TEST(BlockTransfer, AlphaBlendOfPremultipliedSource) {
    Dib source = MakeDib(Describe(3, -1, 32));
    const uint8_t pixels[] = {100, 50, 25, 128, 50, 0, 0, 128, 0, 0, 0, 0};
    std::memcpy(source.Bits, pixels, sizeof pixels);
    Dib target = MakeDib(Describe(3, -1, 32));
    const uint8_t under[] = {0, 0, 0, 0, 100, 100, 100, 255, 30, 60, 90, 200};
    std::memcpy(target.Bits, under, sizeof under);
    ASSERT_TRUE(gdi::AlphaBlend(target.DC, 0, 0, 3, 1, source.DC, 0, 0, 3, 1));
    // Onto zeros: the source exactly. Onto (100, 100, 100, 255): s + d × 127 / 255.
    // Transparent black leaves a coloured, partly transparent target as it was.
    EXPECT_EQ(std::vector<uint8_t>(target.Bits, target.Bits + 12),
              (std::vector<uint8_t>{100, 50, 25, 128, 100, 50, 50, 255, 30, 60, 90, 200}));
    Dib notThirtyTwo = MakeDib(Describe(2, -1, 24));
    EXPECT_FALSE(gdi::AlphaBlend(target.DC, 0, 0, 2, 1, notThirtyTwo.DC, 0, 0, 2, 1));
}

TEST(BlockTransfer, DescribedBlocksFollowTheirRowOrder) {
    Dib bitmap = MakeDib(Describe(2, -3, 32));
    const uint8_t a[8] = {1, 1, 1, 0, 2, 2, 2, 0}, b[8] = {3, 3, 3, 0, 4, 4, 4, 0};
    const uint8_t twoRows[16] = {5, 5, 5, 0, 6, 6, 6, 0, 7, 7, 7, 0, 8, 8, 8, 0};
    // The first scan line of a bottom-up block is the bitmap's bottom row.
    ASSERT_EQ(gdi::SetDIBits(bitmap.Handle, 0, 1, a, Describe(2, 3, 32)), 1);
    ASSERT_EQ(gdi::SetDIBits(bitmap.Handle, 0, 1, b, Describe(2, -3, 32)), 1);
    EXPECT_EQ(ReadAll(bitmap.Handle), (std::vector<uint32_t>{0x030303, 0x040404, 0, 0, 0x010101, 0x020202}));
    // Scan lines 1 and 2 of a bottom-up block: rows 1 and 0; 5 asked, 2 exist.
    ASSERT_EQ(gdi::SetDIBits(bitmap.Handle, 1, 5, twoRows, Describe(2, 3, 32)), 2);
    EXPECT_EQ(ReadAll(bitmap.Handle),
              (std::vector<uint32_t>{0x070707, 0x080808, 0x050505, 0x060606, 0x010101, 0x020202}));
    uint8_t bottomUp[16];
    ASSERT_EQ(gdi::GetDIBits(bitmap.Handle, 0, 2, bottomUp, Describe(2, 3, 32)), 2);
    EXPECT_EQ(bottomUp[0], 1);  // bottom row first
    EXPECT_EQ(bottomUp[8], 5);
    EXPECT_EQ(gdi::GetDIBits(bitmap.Handle, 3, 1, bottomUp, Describe(2, 3, 32)), 0);
    EXPECT_EQ(gdi::GetDIBits(bitmap.Handle, 0, 1, bottomUp, Describe(2, 3, 8)), 0) << "indexed block without table";
}

TEST(BlockTransfer, LinesLeaveTheirEndPointAndFillsTheirRightEdge) {
    Dib dib = MakeDib(Describe(12, -4, 32));
    ASSERT_TRUE(gdi::PatBlt(dib.DC, 0, 0, 12, 4, gdi::WHITENESS));
    gdi::SetPen(dib.DC, gdi::Pen{0});
    gdi::MoveToEx(dib.DC, 0, 0, nullptr);
    ASSERT_TRUE(gdi::LineTo(dib.DC, 10, 0));
    for (int x = 0; x < 12; ++x) EXPECT_EQ(gdi::GetPixel(dib.DC, x, 0), x < 10 ? 0u : 0xFFFFFFu) << x;
    gdi::MoveToEx(dib.DC, 3, 3, nullptr);
    ASSERT_TRUE(gdi::LineTo(dib.DC, 0, 0));  // backwards diagonal
    EXPECT_EQ(gdi::GetPixel(dib.DC, 3, 3), 0u);
    EXPECT_EQ(gdi::GetPixel(dib.DC, 1, 1), 0u);
    EXPECT_EQ(gdi::GetPixel(dib.DC, 0, 1), 0xFFFFFFu);
    ASSERT_TRUE(gdi::FillRect(dib.DC, gdi::RECT{5, 1, 7, 3}, gdi::Brush{gdi::RGB(1, 2, 3)}));
    EXPECT_EQ(gdi::GetPixel(dib.DC, 6, 2), gdi::RGB(1, 2, 3));
    EXPECT_EQ(gdi::GetPixel(dib.DC, 7, 2), 0xFFFFFFu);
    EXPECT_EQ(gdi::GetPixel(dib.DC, 6, 3), 0xFFFFFFu);
    EXPECT_EQ(gdi::GetPixel(dib.DC, 12, 0), gdi::CLR_INVALID);
}

}  // namespace
