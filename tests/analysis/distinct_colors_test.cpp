// The distinct-colour count and sample, on crafted pixels and against a plain
// reference over random pictures (including ones that overflow the bit set's
// budget and take the fallback road).

#include "analysis/distinct_colors.h"

#include <gtest/gtest.h>

#include <random>
#include <unordered_set>
#include <vector>

namespace {

// The sample's definition, done slowly: each value once, in order of first
// occurrence.
std::vector<TColor32> FirstOccurrences(const std::vector<TColor32>& pixels) {
    std::unordered_set<TColor32> seen;
    std::vector<TColor32> result;
    for (TColor32 pixel : pixels)
        if (seen.insert(pixel).second) result.push_back(pixel);
    return result;
}

std::vector<TColor32> Collect(const std::vector<TColor32>& pixels) {
    std::vector<TColor32> out(pixels.size(), 0xDEADBEEF);
    out.resize(CollectFirstOccurrences(pixels.data(), pixels.size(), out.data()));
    return out;
}

std::unique_ptr<TBitmap32> BitmapOf(int width, int height, const std::vector<TColor32>& pixels) {
    auto bitmap = std::make_unique<TBitmap32>(width, height);
    std::copy(pixels.begin(), pixels.end(), bitmap->Bits());
    return bitmap;
}

}  // namespace

TEST(DistinctColors, CountsWholeValuesAlphaIncluded) {
    struct Case {
        const char* name;
        std::vector<TColor32> pixels;
        int64_t count;
    } cases[] = {
        {"one pixel", {0xFF102030}, 1},
        {"alpha alone differs", {0xFF102030, 0x00102030}, 2},
        {"one colour many times", std::vector<TColor32>(1000, 0x80FFFFFF), 1},
        {"black opaque and transparent", {0xFF000000, 0x00000000, 0xFF000000}, 2},
        {"colour 0 among others", {0, 1, 0, 2, 0xFFFFFFFF}, 4},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CountDistinct(c.pixels.data(), c.pixels.size()), c.count) << c.name;
        EXPECT_EQ(Collect(c.pixels), FirstOccurrences(c.pixels)) << c.name;
    }
}

TEST(DistinctColors, AgreesWithReferenceOnRandomPictures) {
    std::mt19937 random(42);
    struct Kind {
        const char* name;
        TColor32 mask;
        size_t size;
    } kinds[] = {
        {"opaque, every colour likely distinct", 0x00FFFFFF, 300000},
        {"few colours", 0x00030303, 100000},
        // Alpha and red vary freely: more 8 KiB blocks than the 32 MiB budget
        // holds, so both fallbacks run.
        {"scattered alpha and red", 0xFFFF00FF, 300000},
        {"every bit varies", 0xFFFFFFFF, 300000},
        // The same, but every fourth pixel (the ones a probe spread evenly
        // over this many would see) opaque: the set is tried and overflows.
        {"scattered between opaque pixels", 0xFFFF00FF, 300000},
        // More pixels than a table sized by them may take: counted first.
        {"large and scattered", 0xFFFF0000, (size_t{4} << 20) + 1000},
    };
    for (const Kind& kind : kinds) {
        std::vector<TColor32> pixels(kind.size);
        for (TColor32& pixel : pixels) pixel = (random() & kind.mask) | (kind.mask == 0x00FFFFFF ? 0xFF000000 : 0);
        if (std::string(kind.name) == "scattered between opaque pixels")
            for (size_t i = 0; i < pixels.size(); i += 4) pixels[i] |= 0xFF000000;
        // Repeat a stretch so that some colours come back after others.
        std::copy(pixels.begin(), pixels.begin() + 1000, pixels.end() - 1000);
        const std::vector<TColor32> expected = FirstOccurrences(pixels);
        EXPECT_EQ(CountDistinct(pixels.data(), pixels.size()), static_cast<int64_t>(expected.size())) << kind.name;
        EXPECT_EQ(Collect(pixels), expected) << kind.name;
    }
}

TEST(DistinctColors, SampleListsFirstOccurrencesThenZeros) {
    const TColor32 k = 0xFF112233, l = 0x80445566, m = 0xFF000000;
    std::unique_ptr<TBitmap32> sample;

    ASSERT_EQ(CreateSampleColorImage(*BitmapOf(2, 2, {k, l, k, m}), sample), 3);
    ASSERT_EQ(sample->Width(), 2);
    ASSERT_EQ(sample->Height(), 2);
    EXPECT_EQ(std::vector<TColor32>(sample->Bits(), sample->Bits() + 4), (std::vector<TColor32>{k, l, m, 0}));

    // A second sample replaces the first, from the current picture.
    ASSERT_EQ(CreateSampleColorImage(*BitmapOf(3, 1, {k, k, k}), sample), 1);
    ASSERT_EQ(sample->Width(), 3);
    EXPECT_EQ(std::vector<TColor32>(sample->Bits(), sample->Bits() + 3), (std::vector<TColor32>{k, 0, 0}));

    // No picture: nothing to count, and the earlier sample stays.
    EXPECT_FALSE(CountDistinctColors(TBitmap32()));
    TBitmap32* kept = sample.get();
    EXPECT_FALSE(CreateSampleColorImage(TBitmap32(), sample));
    EXPECT_EQ(sample.get(), kept);
}
