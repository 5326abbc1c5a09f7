// Creation and refusal of bitmaps and palettes, and the pixel limit.

#include <gtest/gtest.h>

#include <algorithm>

#include "gdi_test_support.h"

using namespace testing_support;

namespace {

TEST(Bitmaps, InvalidDescriptionsAreRefused) {
    struct Case {
        const char* Name;
        gdi::BitmapInfo Info;
    };
    std::vector<Case> cases = {
        {"zero width", Describe(0, 4, 24)},
        {"zero height", Describe(4, 0, 24)},
        {"3 bits", Describe(4, 4, 3)},
        {"run-length section", Describe(4, 4, 8, {}, gdi::BI_RLE8)},
        {"bit fields on 24 bits", Describe(4, 4, 24, {}, gdi::BI_BITFIELDS)},
        {"gapped mask", Describe(4, 4, 16, {}, gdi::BI_BITFIELDS)},
        {"overlapping masks", Describe(4, 4, 32, {}, gdi::BI_BITFIELDS)},
        {"core header", Describe(4, 4, 24)},
        {"two planes", Describe(4, 4, 24)},
    };
    const uint32_t gapped[3] = {0xF00F, 0x0060, 0x0001}, overlapping[3] = {0xFF0000, 0x01FF00, 0xFF};
    std::copy(gapped, gapped + 3, cases[5].Info.Masks);
    std::copy(overlapping, overlapping + 3, cases[6].Info.Masks);
    cases[7].Info.Header.biSize = 12;
    cases[8].Info.Header.biPlanes = 2;
    for (const Case& c : cases) {
        gdi::SetLastError(0);
        void* bits = reinterpret_cast<void*>(1);
        EXPECT_FALSE(gdi::CreateDIBSection(c.Info, &bits)) << c.Name;
        EXPECT_EQ(bits, nullptr) << c.Name;
        EXPECT_EQ(gdi::GetLastError(), gdi::ERROR_INVALID_PARAMETER) << c.Name;
    }
}

TEST(Bitmaps, PixelLimitIsCheckedBeforeAnythingIsAllocated) {
    EXPECT_TRUE(gdi::WithinPixelLimit(16384, 16384, 32));  // 2^28 pixels, exactly 1 GiB
    EXPECT_FALSE(gdi::WithinPixelLimit(16384, 16385, 1));  // one row of pixels too many
    EXPECT_FALSE(gdi::WithinPixelLimit(1 << 27, 3, 32));
    EXPECT_FALSE(gdi::WithinPixelLimit(INT32_MAX, INT32_MAX, 32));
    EXPECT_FALSE(gdi::WithinPixelLimit(-1, 1, 8));
    EXPECT_EQ(gdi::DibRowBytes(INT32_MAX, 32), int64_t{INT32_MAX} * 4);
    EXPECT_EQ(gdi::DibRowBytes(int64_t{INT32_MAX} + 1, 32), -1);
    EXPECT_EQ(gdi::DibRowBytes(3, 1), 4);
    EXPECT_EQ(gdi::DibRowBytes(5, 24), 16);

    gdi::SetLastError(0);
    EXPECT_FALSE(gdi::CreateDIBSection(Describe(65535, 65535, 32), nullptr));
    EXPECT_EQ(gdi::GetLastError(), gdi::ERROR_NOT_ENOUGH_MEMORY);
    gdi::SetLastError(0);
    EXPECT_FALSE(gdi::CreateBitmap(65535, 65535, 1, 32));
    EXPECT_EQ(gdi::GetLastError(), gdi::ERROR_NOT_ENOUGH_MEMORY);
    gdi::SetLastError(0);
    EXPECT_FALSE(gdi::CreateDIBitmap(Describe(INT32_MAX, 2, 8, {}, gdi::BI_RLE8), "\0\1", 2));
    EXPECT_EQ(gdi::GetLastError(), gdi::ERROR_NOT_ENOUGH_MEMORY);
    EXPECT_EQ(gdi::SystemErrorText(gdi::ERROR_NOT_ENOUGH_MEMORY),
              "Not enough memory resources are available to process this command.");
}

TEST(Bitmaps, SectionsDescribeThemselves) {
    EXPECT_FALSE(gdi::CreateDIBSection(Describe(5, -3, 16, {}, gdi::BI_BITFIELDS), nullptr)) << "no masks";
    gdi::BitmapInfo info = Describe(5, -3, 16, {}, gdi::BI_BITFIELDS);
    info.Masks[0] = 0xF800, info.Masks[1] = 0x07E0, info.Masks[2] = 0x1F;
    Dib dib = MakeDib(info);
    gdi::DibSection section;
    ASSERT_TRUE(gdi::GetDibSection(dib.Handle, section));
    EXPECT_EQ(section.Width, 5);
    EXPECT_EQ(section.Height, 3);
    EXPECT_EQ(section.Header.biHeight, -3);
    EXPECT_EQ(section.WidthBytes, 12);
    EXPECT_EQ(section.Masks[1], 0x07E0u);
    EXPECT_EQ(section.Bits, dib.Bits);
    for (int i = 0; i < 3 * 12; ++i) ASSERT_EQ(dib.Bits[i], 0) << "a new section is zero-filled";

    gdi::HBITMAP device = gdi::CreateBitmap(7, 2, 1, 32);
    EXPECT_FALSE(gdi::GetDibSection(device, section));
    EXPECT_EQ(section.Width, 7);
    EXPECT_EQ(section.BitsPixel, 32);
    EXPECT_EQ(section.Header.biSize, 0u);
    EXPECT_EQ(gdi::BitmapBitCount(gdi::CreateBitmap(7, 2, 1, 1)), 1);
}

TEST(Palettes, StandardPalettesHoldBlackAndWhite) {
    const auto halftone = gdi::GetPaletteEntries(gdi::CreateHalftonePalette());
    const auto system = gdi::GetPaletteEntries(gdi::SystemPalette16());
    ASSERT_EQ(halftone.size(), 256u);
    ASSERT_EQ(system.size(), 16u);
    for (const auto* entries : {&halftone, &system}) {
        auto has = [&](uint8_t r, uint8_t g, uint8_t b) {
            return std::any_of(entries->begin(), entries->end(), [&](const gdi::PALETTEENTRY& e) {
                return e.peRed == r && e.peGreen == g && e.peBlue == b;
            });
        };
        EXPECT_TRUE(has(0, 0, 0));
        EXPECT_TRUE(has(255, 255, 255));
        EXPECT_TRUE(has(255, 0, 0));
    }
    EXPECT_FALSE(gdi::CreatePalette({}));
    EXPECT_FALSE(gdi::CreatePalette(std::vector<gdi::PALETTEENTRY>(257)));
    EXPECT_EQ(gdi::GetSysColor(gdi::COLOR_WINDOW), 0xFFFFFFu);
    EXPECT_EQ(gdi::GetSysColor(gdi::COLOR_WINDOWTEXT), 0u);
}

}  // namespace
