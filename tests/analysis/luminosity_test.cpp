// Luminosity, the tolerant comparison, the collecting rule for colours of
// luminosity 0, and the order QuickSort gives on non-transitive keys.

#include "analysis/luminosity.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

// The float nearest to weighted / 1000, found by comparing the neighbours
// exactly: a float times 1000 is exact in double.
float NearestFloat(uint32_t weighted) {
    float best = static_cast<float>(weighted) / 1000.0f;
    for (int step = 0; step < 4; ++step) {
        for (float candidate : {std::nextafter(best, 0.0f), std::nextafter(best, 1e9f)}) {
            if (std::fabs(double{candidate} * 1000 - weighted) < std::fabs(double{best} * 1000 - weighted))
                best = candidate;
        }
    }
    return best;
}

std::vector<float> Keys(const TPixelData& pixelData) {
    std::vector<float> keys;
    for (const TLuminosityPair& pair : pixelData) keys.push_back(pair.Key);
    return keys;
}

TPixelData PairsOf(std::initializer_list<float> keys) {
    TPixelData pairs;
    TColor32 color = 1;
    for (float key : keys) pairs.push_back({key, color++});
    return pairs;
}

}  // namespace

TEST(Luminosity, IsTheNearestFloatForEveryColour) {
    std::vector<float> nearest(255001);
    for (uint32_t weighted = 0; weighted < nearest.size(); ++weighted) nearest[weighted] = NearestFloat(weighted);
    size_t wrong = 0;
    for (uint32_t rgb = 0; rgb < (1u << 24); ++rgb) {
        const uint32_t weighted = 299 * (rgb >> 16) + 587 * ((rgb >> 8) & 0xFF) + 114 * (rgb & 0xFF);
        // Alpha takes no part.
        const TColor32 color = rgb | (rgb * 2654435761u & 0xFF000000u);
        wrong += Luminosity(color) != nearest[weighted];
    }
    EXPECT_EQ(wrong, 0u);
    EXPECT_EQ(Luminosity(0xFFFFFFFF), 255.0f);
    EXPECT_EQ(Luminosity(0x00030002), 1.125f);
    EXPECT_EQ(Luminosity(0xFF000000), 0.0f);
}

TEST(Luminosity, ToleranceIsRelativeAboveOne) {
    EXPECT_TRUE(SameValue(2.0f, 2.0001f, 0));     // within 0.0002
    EXPECT_FALSE(SameValue(0.5f, 0.5002f, 0));    // 0.0001 below 1
    EXPECT_TRUE(SameValue(255.0f, 254.975f, 0));  // 0.0255 at 255
    EXPECT_FALSE(SameValue(255.0f, 254.97f, 0));
}

TEST(Luminosity, ToleranceShortcutAgreesWithTheRuleAtItsEdge) {
    // The rule done plainly, then pairs placed a few floats either side of the
    // tolerance's edge, where the shortcut has to defer to it.
    auto plain = [](float a, float b) {
        const float epsilon = std::max(static_cast<float>(std::min(std::fabs(a), std::fabs(b)) / 10000.0),
                                       static_cast<float>(1 / 10000.0));
        return std::fabs(double{a} - double{b}) <= epsilon;
    };
    size_t wrong = 0;
    for (float a = 0.001f; a < 300.0f; a = a * 1.01f + 0.0001f) {
        const float edge = a + std::max(a, 1.0f) / 10000;
        float b = edge;
        for (int i = 0; i < 8; ++i) b = std::nextafter(b, 0.0f);
        for (int i = 0; i < 16; ++i, b = std::nextafter(b, 1e9f)) {
            wrong += SameValue(a, b, 0) != plain(a, b);
            wrong += SameValue(b, a, 0) != plain(b, a);
        }
    }
    EXPECT_EQ(wrong, 0u);
}

TEST(Luminosity, QuickSortKeepsTheProceduresOrder) {
    struct Case {
        const char* name;
        TPixelData input;
        std::vector<float> expected;
    } cases[] = {
        // Neighbours lie within the tolerance (0.01), the outer pair does not.
        {"non-transitive chain", PairsOf({100.008f, 100.0f, 100.016f}), {100.016f, 100.0f, 100.008f}},
        {"two close keys stay", PairsOf({2.0f, 2.0001f}), {2.0f, 2.0001f}},
        {"two close keys stay, reversed", PairsOf({2.0001f, 2.0f}), {2.0001f, 2.0f}},
        {"two separated keys are exchanged", PairsOf({1.0f, 2.0f}), {2.0f, 1.0f}},
        {"zero ends last", PairsOf({0.0f, 0.114f, 255.0f, 29.07f}), {255.0f, 29.07f, 0.114f, 0.0f}},
        {"one entry", PairsOf({3.0f}), {3.0f}},
    };
    for (Case& c : cases) {
        SortByLuminosity(c.input);
        EXPECT_EQ(Keys(c.input), c.expected) << c.name;
    }
}

TEST(Luminosity, ExplicitEpsilonIncludesTheEdge) {
    // Differences of 0.25 and 0.5 are exact in float; the edge counts as same.
    EXPECT_TRUE(SameValue(1.5f, 1.75f, 0.25f));
    EXPECT_TRUE(SameValue(1.75f, 1.5f, 0.25f));
    EXPECT_FALSE(SameValue(1.5f, 1.75f, std::nextafter(0.25f, 0.0f)));
    EXPECT_TRUE(SameValue(-3.0f, -2.5f, 0.5f));
    EXPECT_EQ(CompareValue(1.5f, 1.75f, 0.25f), 0);
    EXPECT_EQ(CompareValue(1.5f, 1.75f, 0.125f), -1);
    EXPECT_EQ(CompareValue(1.75f, 1.5f, 0.125f), 1);
}

TEST(Luminosity, QuickSortOrderOfWorkedExamples) {
    // Keys 0.006 apart around 100, where the tolerance is 0.01: neighbours
    // compare equal, keys two steps apart do not. The expected orders were
    // traced by hand through the partitioning (first: middle pivot 100.012,
    // two exchanges, then the two pairs). Each entry's colour is its step, so
    // the colours must travel with their keys.
    const float step[] = {100.0f, 100.006f, 100.012f, 100.018f, 100.024f, 100.03f, 100.036f};
    auto pairsOf = [&](std::initializer_list<uint32_t> steps) {
        TPixelData pairs;
        for (uint32_t s : steps) pairs.push_back({step[s], s});
        return pairs;
    };
    struct Case {
        const char* name;
        TPixelData input;
        std::vector<TColor32> expected;
    } cases[] = {
        {"four, pivot at the lower middle", pairsOf({0, 2, 3, 1}), {3, 1, 2, 0}},
        {"four, reversed", pairsOf({3, 2, 1, 0}), {1, 2, 3, 0}},
        {"seven, two levels", pairsOf({5, 4, 2, 0, 3, 1, 6}), {6, 3, 4, 5, 2, 1, 0}},
    };
    for (Case& c : cases) {
        SortByLuminosity(c.input);
        std::vector<TColor32> colours;
        for (const TLuminosityPair& pair : c.input) {
            colours.push_back(pair.Value);
            EXPECT_EQ(pair.Key, step[pair.Value]) << c.name;
        }
        EXPECT_EQ(colours, c.expected) << c.name;
    }
    // Equal keys: every exchange of the sweep fires, so the order reverses.
    TPixelData equal;
    for (TColor32 colour : {0xFF0000FFu, 0xFF0000FEu, 0xFF0000FDu, 0xFF0000FCu}) equal.push_back({7.5f, colour});
    SortByLuminosity(equal);
    EXPECT_EQ(equal[0].Value, 0xFF0000FCu);
    EXPECT_EQ(equal[1].Value, 0xFF0000FDu);
    EXPECT_EQ(equal[2].Value, 0xFF0000FEu);
    EXPECT_EQ(equal[3].Value, 0xFF0000FFu);
}

TEST(Luminosity, SortOrdersSeparatedKeysAndMovesColoursWithThem) {
    // Keys 0.1 apart (beyond every tolerance), in a scrambled order.
    TPixelData pairs;
    for (uint32_t i = 0; i < 2550; ++i) {
        const uint32_t step = (i * 1597) % 2550 + 1;
        pairs.push_back({static_cast<float>(step) / 10, step});
    }
    SortByLuminosity(pairs);
    for (size_t i = 0; i < pairs.size(); ++i) {
        ASSERT_EQ(pairs[i].Value, 2550 - i) << i;
        ASSERT_EQ(pairs[i].Key, static_cast<float>(pairs[i].Value) / 10) << i;
    }
}

TEST(Luminosity, CollectingKeepsOneEntryOfLuminosityZero) {
    struct Case {
        const char* name;
        std::vector<TColor32> sample;
        size_t colourCount;  // before the zero tail
        std::vector<TColor32> expectedColours;
    } cases[] = {
        {"opaque black before transparent black",
         {0xFF808080, 0xFF000000, 0x00000000, 0, 0},
         3,
         {0xFF808080, 0xFF000000}},
        {"no black, with a zero tail", {0xFF808080, 0xFF0000FF, 0, 0}, 2, {0xFF808080, 0xFF0000FF, 0}},
        {"no black, every pixel distinct", {0xFF808080, 0xFF0000FF}, 2, {0xFF808080, 0xFF0000FF}},
        {"transparent black among the colours",
         {0xFF808080, 0x00000000, 0xFF0000FF, 0},
         3,
         {0xFF808080, 0, 0xFF0000FF}},
    };
    for (const Case& c : cases) {
        TBitmap32 sample(int(c.sample.size()), 1);
        std::copy(c.sample.begin(), c.sample.end(), sample.Bits());
        // Read to the end, and from a sample known to end in zeros.
        for (const TPixelData& pairs :
             {CollectLuminosityPairs(c.sample.data(), c.sample.size(), 2), CollectSamplePairs(sample, c.colourCount)}) {
            std::vector<TColor32> colours;
            for (const TLuminosityPair& pair : pairs) {
                colours.push_back(pair.Value);
                EXPECT_EQ(pair.Key, Luminosity(pair.Value)) << c.name;
            }
            EXPECT_EQ(colours, c.expectedColours) << c.name;
        }
    }
}
