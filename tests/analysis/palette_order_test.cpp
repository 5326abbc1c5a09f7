// The hue, count and first orders on crafted pictures with ties, the colour
// counts against a plain map, and the two lists a run writes.

#include <gtest/gtest.h>

#include <map>
#include <random>

#include "analysis/color_counts.h"
#include "analysis/distinct_colors.h"
#include "analysis/palette_lists.h"

namespace {

struct TAnalysed {
    std::unique_ptr<TBitmap32> Sample;
    size_t Distinct = 0;
    std::unique_ptr<TColorCounts> Counts;
};

TAnalysed Analysed(const std::vector<TColor32>& pixels, int width) {
    TBitmap32 bitmap;
    bitmap.SetSize(width, static_cast<int>(pixels.size()) / width);
    std::copy(pixels.begin(), pixels.end(), bitmap.Bits());
    TAnalysed picture;
    picture.Distinct = static_cast<size_t>(*CreateSampleColorImage(bitmap, picture.Sample));
    picture.Counts = std::make_unique<TColorCounts>(bitmap.Bits(), pixels.size(), picture.Distinct);
    return picture;
}

std::vector<TColor32> ColorsOf(const TPixelData& pairs) {
    std::vector<TColor32> colors;
    for (const auto& pair : pairs) colors.push_back(pair.Value);
    return colors;
}

TPaletteLists Lists(const TAnalysed& picture, TPaletteOrder order) {
    return OrderedPaletteLists(*picture.Sample, picture.Distinct, order, picture.Counts.get(), true);
}

constexpr TColor32 Red = 0xFFFF0000, DarkRed = 0xFF800000, Pink = 0xFFFF8080, Grey = 0xFF808080, White = 0xFFFFFFFF,
                   Green = 0xFF00FF00, Blue = 0xFF0000FF, Black = 0xFF000000, ClearBlack = 0x00000000,
                   HalfBlack = 0x80000000;

}  // namespace

TEST(PaletteOrder, HueKeysOfThePrimariesAndGreys) {
    const struct {
        TColor32 Color;
        double Hue, Saturation;
    } cases[] = {{Red, 0, 1},          {0xFFFFFF00, 60, 1},  {Green, 120, 1}, {0xFF00FFFF, 180, 1},  {Blue, 240, 1},
                 {0xFFFF00FF, 300, 1}, {0xFFFF0080, 330, 1}, {Grey, 0, 0},    {Pink, 0, 127.0 / 255}};
    for (const auto& c : cases) {
        const THueKey key = HueKeyOf(c.Color);
        EXPECT_NEAR(key.Hue, c.Hue, 0.2) << std::hex << c.Color;
        EXPECT_DOUBLE_EQ(key.Saturation, c.Saturation) << std::hex << c.Color;
    }
}

TEST(PaletteOrder, HueTiesFallBackToSaturationThenLuminosity) {
    // Red and dark red share hue and saturation: the brighter comes first.
    // Pink has red's hue but less saturation; the greys have hue 0 and no
    // saturation, so they lead, brightest first.
    const TAnalysed picture = Analysed({DarkRed, Blue, Red, Grey, Pink, Green, White, DarkRed}, 4);
    EXPECT_EQ(ColorsOf(Lists(picture, TPaletteOrder::Hue).Colors),
              (std::vector<TColor32>{White, Grey, Pink, Red, DarkRed, Green, Blue}));
}

TEST(PaletteOrder, CountTiesKeepTheLuminosityOrder) {
    // Blue and white three times each, red once, grey three times.
    const TAnalysed picture = Analysed({Blue, Red, White, Blue, Grey, White, Grey, Blue, White, Grey}, 10);
    EXPECT_EQ(ColorsOf(Lists(picture, TPaletteOrder::Count).Colors), (std::vector<TColor32>{White, Grey, Blue, Red}));
    EXPECT_EQ(picture.Counts->Of(Blue), 3u);
    EXPECT_EQ(picture.Counts->Of(Red), 1u);
    EXPECT_EQ(picture.Counts->Of(Green), 0u);
}

TEST(PaletteOrder, FirstFollowsThePicture) {
    const TAnalysed picture = Analysed({Grey, Grey, Blue, Black, Red, Blue, ClearBlack, Grey}, 4);
    const TPaletteLists lists = Lists(picture, TPaletteOrder::First);
    EXPECT_EQ(ColorsOf(lists.Colors), (std::vector<TColor32>{Grey, Blue, Black, Red, ClearBlack}));
    // The palette bitmap's entries: one for all black colours.
    EXPECT_EQ(ColorsOf(lists.Pairs), (std::vector<TColor32>{Grey, Blue, Black, Red}));
}

TEST(PaletteOrder, EveryBlackColourOnceAndNoZeroFilling) {
    // Three blacks of different alpha, in this order of first occurrence.
    const TAnalysed picture = Analysed({White, HalfBlack, Black, White, ClearBlack, Red, Red, Red}, 4);
    const TPaletteLists lists = Lists(picture, TPaletteOrder::Luminosity);
    EXPECT_EQ(ColorsOf(lists.Pairs), (std::vector<TColor32>{White, Red, HalfBlack}));
    EXPECT_EQ(ColorsOf(lists.Colors), (std::vector<TColor32>{White, Red, HalfBlack, Black, ClearBlack}));

    // Without a black colour, the bitmap's list ends with the sample's zero
    // filling, which is no colour of the picture.
    const TAnalysed noBlack = Analysed({White, Red, Red, Red}, 2);
    const TPaletteLists noBlackLists = Lists(noBlack, TPaletteOrder::Luminosity);
    EXPECT_EQ(ColorsOf(noBlackLists.Pairs), (std::vector<TColor32>{White, Red, ClearBlack}));
    EXPECT_EQ(ColorsOf(noBlackLists.Colors), (std::vector<TColor32>{White, Red}));
}

TEST(PaletteOrder, LuminosityIsExactlyTheQuickSortOrder) {
    std::mt19937 random(7);
    std::vector<TColor32> pixels(64 * 64);
    // Few distinct values so that many luminosities fall within the tolerance.
    for (TColor32& pixel : pixels) pixel = 0xFF000000 | ((random() % 40) * 0x010101 + random() % 3);
    const TAnalysed picture = Analysed(pixels, 64);
    TPixelData expected = CollectLuminosityPairs(*picture.Sample, picture.Distinct);
    SortByLuminosity(expected);
    const TPaletteLists lists = Lists(picture, TPaletteOrder::Luminosity);
    EXPECT_EQ(ColorsOf(lists.Pairs), ColorsOf(expected));
    EXPECT_EQ(lists.Colors.size(), picture.Distinct);
}

TEST(ColorCounts, MatchAPlainMapInBothStores) {
    std::mt19937 random(11);
    std::vector<TColor32> pixels(200000);
    // Runs and scattered alpha-and-red pairs, so that a small budget forces
    // the table.
    for (size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = i % 7 == 0 && i > 0 ? pixels[i - 1] : static_cast<TColor32>(random() % 3000) * 0x01030101u;
    std::map<TColor32, uint64_t> expected;
    for (TColor32 pixel : pixels) ++expected[pixel];
    for (size_t budget : {size_t{0}, size_t{1} << 18}) {
        const TColorCounts counts(pixels.data(), pixels.size(), expected.size(), budget);
        for (const auto& [color, count] : expected) ASSERT_EQ(counts.Of(color), count) << budget;
        EXPECT_EQ(counts.Of(0x12345678), 0u);
    }
}
